#pragma once
#include "CEncWMV.h"

// The Windows Media writer fed with PCM: one audio input, samples timed by
// the bytes passed so far, and for a profile that needs it a preprocessing
// pass before the writing pass.
class CEncWMVWMA : public CEncWMV {
  public:
    CEncWMVWMA() = default;
    explicit CEncWMVWMA(const WMFactory& factory) : CEncWMV(factory) {}

    // Ends the preprocessing pass, so the writing pass starts again at time
    // 0, and clears the two-pass flag. 0, or 813.
    int EndPass() override;
    // Begins the preprocessing pass when the two-pass flag is set. 0, or 810.
    int BeginPass() override;
    HRESULT SetAudioInput(int samplesPerSec, int channels, int bitsPerSample) override;
    // One block of PCM in the input format. 0; 814 when the writer says the
    // profile needs another number of passes; 809 for any other failure.
    virtual int WriteAudio(const BYTE* bytes, int count);

  protected:
    // PCM bytes handed to the writer in the current pass.
    LONGLONG byteTotal = 0;
    WAVEFORMATEX inputFormat = {};

  private:
    HRESULT FillSample(const BYTE* bytes, DWORD count, CComPtr<INSSBuffer>& sample);
    HRESULT PassSample(QWORD time, INSSBuffer* sample);
};
