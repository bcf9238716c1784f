#pragma once
#include "CGoGoConfig.h"
#include <cstdint>
#include <lame/lame.h>
#include <vector>

// One MP3 stream being encoded by LAME: reads PCM through the caller's input
// function one frame at a time, hands the frames to the output function, and
// at the end rewrites the stream's beginning (LAME's VBR header, or the
// Layer-3 WAVE header with the final sizes).
class CGoGoCoder {
  public:
    CGoGoCoder() = default;
    ~CGoGoCoder();
    CGoGoCoder(const CGoGoCoder&) = delete;
    CGoGoCoder& operator=(const CGoGoCoder&) = delete;

    // config must have passed Check.
    int Open(const CGoGoConfig& config);
    int ProcessFrame();
    // Encodes what LAME still holds and completes the header; the coder is
    // spent afterwards.
    int Close();

  private:
    int ApplySettings(const CGoGoConfig& config);
    void ApplyMode(int mode);
    void SizeBuffers();
    int ReadFrame(int* frames);
    int WithoutFill(int frames) const;
    int Emit(const unsigned char* bytes, int count);
    int CompleteHeader();
    int WriteHeader(bool complete);
    uint32_t SampleLength() const;

    lame_global_flags* lame = nullptr;
    GOGO_INPUT input{};
    GOGO_OUTPUT_FUNC output = nullptr;
    bool riffWave = false;
    bool vbr = false;
    int bitrate = 0;
    int outputRate = 0;
    int blockAlign = 0;
    int outputChannels = 0;
    int frameSamples = 0;
    uint64_t inputLeft = 0; // bytes, when the caller gave the length
    uint64_t samplesRead = 0;
    uint64_t streamBytes = 0; // MP3 bytes after any header
    bool ended = false;
    int failure = GOGO_OK;
    std::vector<unsigned char> pcm;
    std::vector<int> left, right;
    std::vector<unsigned char> mp3;
};
