#pragma once
#include "encode/CEncWMVWMA.h"
#include "encode/CEncoderOptions.h"
#include "encode/IAudioEncoder.h"

// "wma" behind the encoder interface: the Windows Media writer, whose
// profile the job has loaded; with two passes the first one analyses.
class CWmaEncoder : public IAudioEncoder {
  public:
    explicit CWmaEncoder(CEncWMVWMA& wma) : wma(wma) {}

    // Loads the profile the options name: a system profile of format
    // version 4.0 or 7.0, or a profile file with its two-pass flag.
    static int LoadProfile(CEncWMVWMA& wma, const CWmaOptions& options);
    // The writer puts the tags into the file's header.
    bool TakeTags(const CTagRecord& record) override;
    int Open(const WAVEFORMATEX& format, const std::wstring& path) override;
    int Write(unsigned char* bytes, int count) override;
    bool EndPass(int& result) override;
    int Finish() override;
    bool CoverLeftOut() const override { return wma.CoverLeftOut(); }

  private:
    CEncWMVWMA& wma;
};
