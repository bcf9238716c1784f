#pragma once
#include "pcm/CPcmFormat.h"
#include <cstdint>
#include <memory>
#include <vector>

struct SwrContext;

// Brings the decoder's blocks to the layout the encoder takes: the one step
// between them that changes sample type, channels or (for an output that
// asks for another rate) the rate. Blocks that already fit pass untouched.
// - Depth: reduced to 16 bits (or 8) with TPDF dither from a fixed seed, so
//   that the same input gives the same bytes; to 24 or 32 bits rounded to
//   nearest; float is clipped only where it becomes integer.
// - Channels: kept (reordered for a Vorbis-order encoder), or mixed down
//   to stereo: centre and surrounds at -3 dB, the low-frequency channel
//   left out, scaled so that nothing clips.
// - Rate: libswresample at its best quality.
class CPCMBlockConverter {
  public:
    CPCMBlockConverter();
    ~CPCMBlockConverter();
    CPCMBlockConverter(const CPCMBlockConverter&) = delete;
    CPCMBlockConverter& operator=(const CPCMBlockConverter&) = delete;

    // False for a pair it cannot convert: an unknown sample type, more
    // channels in the target than in the source, or a failed resampler.
    bool Configure(const CPcmFormat& source, const CPcmFormat& target);
    bool IsPassThrough() const { return passThrough; }
    // Starts the stream again (a further pass reads it anew): the same
    // dither and an empty resampler, so that passes give the same samples.
    void Restart();

    // The converted block; a partial last frame is dropped. With pass-through
    // the input itself, else a buffer valid until the next call.
    int Convert(unsigned char* input, int inputBytes, unsigned char** output);
    // At the end of the stream: what the resampler still holds (0 without one).
    int Flush(unsigned char** output);

  private:
    void BuildChannelMap();
    double Read(const unsigned char* sample) const;
    void Write(double sample, unsigned char* out);
    int Quantize(const double* samples, size_t count);
    int Resample(const double* samples, int frames);
    double Dither();

    CPcmFormat source, target;
    bool passThrough = true;
    bool dither = false;
    double steps = 32768.0; // of the target's integers either side of zero
    uint32_t seed = 0;
    // Weight of each source channel in each target channel (target-major).
    std::vector<double> weights;
    std::unique_ptr<SwrContext, void (*)(SwrContext*)> resampler;
    std::vector<double> mixed, resampled;
    std::vector<unsigned char> block;
};
