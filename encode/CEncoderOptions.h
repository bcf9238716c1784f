#pragma once
#include <string>
#include <utility>
#include <vector>
#include <windows.h>

#include <mmreg.h> // needs the types of windows.h

// What the encoders and the volume stage are told: plain values, copied
// from the user's saved settings (or the command line) by whoever drives
// the conversion. Nothing below the user interface reads or writes the
// settings store.
struct CMp3Options {
    int channelMode = 1; // 0 mono, 1 stereo, 2 joint stereo, 3 mid/side, 4 dual channel
    int cbrKbps = 160;   // the constant bit rate
    int vbr = 0;         // a variable bit rate when non-zero
    int vbrQuality = 0;  // 0 (best) .. 9
    int vbrKbps = 160;   // the bit rate in VBR mode
    // The stream split into blocks, joined again: its bytes the same on any
    // number of threads (0: one per processor).
    bool split = false;
    int threads = 1;
};

struct CWmaOptions {
    int select = 1;    // 0 a system profile of format version 4.0, 1 of 7.0, 2 a profile file
    int profile4 = 11; // 1-based system profiles
    int profile7 = 24;
    std::wstring profileFile;
    int twoPass = 0; // two passes with a profile file
};

struct CFlacOptions {
    int level = 5;      // compression level 0 (fastest) .. 8 (smallest)
    bool verify = true; // the encoder decodes what it wrote and compares it
    int bits = 0;       // 16 or 24; 0: the source's own
    int rate = 0;       // 44100 or 48000; 0: the source's own
    int threads = 0;    // one stream encoded on them (0: one per processor)
};

struct COpusOptions {
    enum Mode { Vbr = 0, ConstrainedVbr = 1, Cbr = 2 };
    int kbps = 160; // 6 .. 510
    int mode = Vbr;
};

// What of the input's tags goes into the output.
struct CTagOptions {
    bool copy = true; // the input's own tags
    // Fields set over them (name, value), as the command line's --tag gives them.
    std::vector<std::pair<std::wstring, std::wstring>> values;
};

struct CEncoderOptions {
    CMp3Options mp3;
    CWmaOptions wma;
    CFlacOptions flac;
    COpusOptions opus;
    CTagOptions tags;
    // The WAV output's format: a WAVEFORMATEX with its extra bytes; empty:
    // the decoded PCM as it is.
    std::vector<unsigned char> wavFormat;
    int volume = 100; // percent

    // Keeps a copy of the WAV output's format with its extra bytes.
    void SetWavFormat(const WAVEFORMATEX& format) {
        const auto* bytes = reinterpret_cast<const unsigned char*>(&format);
        wavFormat.assign(bytes, bytes + sizeof(WAVEFORMATEX) + format.cbSize);
    }
};
