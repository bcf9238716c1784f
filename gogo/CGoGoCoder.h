#pragma once
#include "CGoGoConfig.h"
#include "IFrameEncoder.h"
#include <cstdint>
#include <memory>
#include <vector>

// One MP3 stream being encoded: reads PCM through the caller's input
// function one frame at a time, has one LAME instance (or several threads)
// encode it, hands the frames to the output function, and at the end
// rewrites the stream's beginning (LAME's info frame, or the Layer-3 WAVE
// header with the final sizes). The caller's functions are only ever called
// on the caller's thread.
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
    void SizeBuffers();
    int ReadFrame(int* frames);
    int WithoutFill(int frames) const;
    int Emit(const unsigned char* bytes, int count);
    int EncodeSilence();
    std::vector<unsigned char> WithoutSamples(const std::vector<unsigned char>& info) const;
    int CompleteHeader();
    int WriteHeader(bool complete);
    uint32_t SampleLength() const;

    std::unique_ptr<IFrameEncoder> frames;
    GOGO_INPUT input{};
    GOGO_COUNTED_INPUT_FUNC countedRead = nullptr;
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
