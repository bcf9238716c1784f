#pragma once
#include "encode/CEncWMVWMA.h"
#include "encode/IAudioEncoder.h"

// "wma" behind the encoder interface: the Windows Media writer, whose
// profile the job has loaded; with two passes the first one analyses.
class CWmaEncoder : public IAudioEncoder {
  public:
    explicit CWmaEncoder(CEncWMVWMA& wma) : wma(wma) {}
    int Open(const WAVEFORMATEX& format, const std::wstring& path) override;
    int Write(unsigned char* bytes, int count) override;
    bool EndPass(int& result) override;
    int Finish() override;

  private:
    CEncWMVWMA& wma;
};
