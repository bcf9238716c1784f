#pragma once
#include "CLame.h"
#include "IFrameEncoder.h"

// The stream made by one LAME instance on the calling thread.
class CSingleEncoder : public IFrameEncoder {
  public:
    // Inside a WAVE file every frame must be audio; plain MP3 gets LAME's
    // header frame so players know the length and the gapless trim.
    int Open(const CGoGoConfig& config) { return lame.Open(config, !config.riffWave); }
    int Encode(const int* left, const int* right, int samples,
               std::vector<unsigned char>& out) override {
        return lame.Encode(left, right, samples, out);
    }
    int Flush(std::vector<unsigned char>& out) override { return lame.Flush(out); }
    std::vector<unsigned char> InfoFrame() override { return lame.InfoFrame(); }
    int FrameSamples() const override { return lame.FrameSamples(); }
    int Delay() const override { return lame.Delay(); }
    int Frames() const override { return lame.Frames(); }

  private:
    CLame lame;
};
