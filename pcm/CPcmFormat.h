#pragma once
#include <string>
#include <windows.h>

#include <mmreg.h> // needs the types of windows.h

// A layout of interleaved samples as decoders deliver and encoders take it:
// the rate, the channels with their speakers, and the sample type.
struct CPcmFormat {
    // The order of the channels: the wave format's (its speaker bits from
    // the lowest), or Vorbis's, which Ogg codecs take for 3 to 8 channels.
    enum class Order { Wave, Vorbis };

    DWORD rate = 44100;
    int channels = 2;
    DWORD channelMask = 0; // the speakers; 0: the usual ones for the count
    int bits = 16;         // 8 (unsigned), 16, 24 or 32 integers; 32 or 64 float
    bool floating = false;
    Order order = Order::Wave;

    int BytesPerSample() const { return bits / 8; }
    int BytesPerFrame() const { return bits / 8 * channels; }
    // The mask, or the usual one for the channel count.
    DWORD Speakers() const;
    bool SameSamples(const CPcmFormat& other) const;

    // False for what is not integer PCM or float, or an unusual sample size.
    static bool Read(const WAVEFORMATEX* wave, size_t bytes, CPcmFormat& format);
    // A record whose cbSize tells its length.
    static bool Read(const WAVEFORMATEX& wave, CPcmFormat& format) {
        return Read(&wave, sizeof(WAVEFORMATEX) + wave.cbSize, format);
    }
    // The wave format record: WAVE_FORMAT_EXTENSIBLE, with the mask and the
    // valid bits, for more than two channels or more than 16 bits; the plain
    // record (cbSize 0) otherwise.
    WAVEFORMATEXTENSIBLE Wave() const;
    // "96 kHz 24-bit 5.1", "44.1 kHz 16-bit stereo", "48 kHz 32-bit float mono".
    std::wstring Describe() const;
};

// Describe of a wave format record; empty for one that is no PCM.
std::wstring DescribeWave(const WAVEFORMATEX& wave);

// The usual speakers for a channel count when a format names none.
DWORD DefaultChannelMask(int channels);
