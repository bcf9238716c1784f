#pragma once
#include "engine/IConversionStep.h"

// The volume stage: every block scaled to the volume in percent, in the
// decoder's own sample format.
class CVolumeStep : public IConversionStep {
  public:
    explicit CVolumeStep(int volume) : volume(volume) {}
    int Begin(const std::wstring&, const WAVEFORMATEX& format) override;
    int Process(unsigned char* block, int count) override;
    int Finish(const std::wstring&) override { return 0; }

  private:
    const int volume;
    int bitsPerSample = 16;
    bool floating = false;
};
