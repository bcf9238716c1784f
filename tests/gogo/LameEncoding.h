#pragma once
#include <string>
#include <vector>

// Streams encoded by LAME itself, as one encoder instance of the split
// encoder writes them, from one endless deterministic signal.
struct LameSettings {
    int rate;
    int channels;
    int kbps; // 0: VBR
    bool crc;
    std::string Name() const;
};

struct LameStream {
    std::vector<unsigned char> music; // the frames, without the info frame
    std::vector<unsigned char> infoFrame; // empty unless asked for
    int delay = 0;
    int padding = 0;
    int frameSamples = 0;
};

// Samples [first, first + count) of the signal, interleaved, as 16-bit
// little-endian PCM.
std::vector<unsigned char> SignalPcm(long first, long count, int channels, int rate);

// Samples [first, first + count) of the signal. With infoFrame, LAME
// writes its info frame, returned apart from the music.
LameStream EncodeWithLame(const LameSettings& settings, long first, long count,
                          bool infoFrame = false);

// Streams of every kind the split encoder makes: MPEG-1, 2 and 2.5, mono and
// stereo, CBR and VBR, with and without CRC.
const std::vector<LameSettings>& LameKinds();
