#pragma once
#include <array>
#include <cstdint>

// The start of a Layer-3 WAVE file: RIFF header, "fmt " with an
// MPEGLAYER3WAVEFORMAT (format tag 0x55), "fact" with the length in samples,
// and the "data" chunk header. The MP3 frames follow it.
class CLayer3WaveHeader {
  public:
    static const int Size = 70;

    uint16_t channels = 2;
    uint32_t samplesPerSecond = 44100;
    uint32_t averageBytesPerSecond = 0;
    uint16_t blockSize = 0; // bytes of one frame
    uint16_t codecDelay = 0;
    uint32_t sampleLength = 0; // per channel
    uint32_t dataSize = 0;     // MP3 bytes, without the pad byte
    bool padded = false;       // a pad byte follows an odd-sized data chunk

    std::array<unsigned char, Size> Bytes() const;
};
