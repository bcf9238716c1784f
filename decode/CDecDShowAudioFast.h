#pragma once
#include "CDecDShowAudio.h"

// The decoder every conversion uses. Its graph ends in the pass-through
// filter and the system's File Writer (a scratch file in the temporary
// folder), so nothing waits for a device or a clock: the graph runs exactly
// as fast as the reader takes blocks.
class CDecDShowAudioFast : public CDecDShowAudio {
  public:
    CDecDShowAudioFast() = default;
    ~CDecDShowAudioFast() override = default;

    // 0; 5006 when the input cannot be connected to PCM; 5008 otherwise.
    int Open(const wchar_t* path) override;
    // Always 0: the graph runs from the start of the input.
    int Start(double time) override;

  private:
    int BuildSink(IBaseFilter* grabberFilter);
};
