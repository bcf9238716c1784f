#pragma once
#include "encode/IAudioEncoder.h"
#include "engine/COutputFormat.h"
#include "engine/IConversionStep.h"

// The tag copy: the input's tags and front cover, with the values the user
// set over them, into the output. An encoder that writes tags itself takes
// them before it opens; else they go into the finished file.
class CTagStep : public IConversionStep {
  public:
    CTagStep(const COutputFormat& format, const CTagOptions& options, IAudioEncoder& encoder)
        : format(format), options(options), encoder(encoder) {}
    int Begin(const std::wstring& input, const WAVEFORMATEX&) override;
    int Process(unsigned char*, int) override { return 0; }
    int Finish(const std::wstring& path) override;
    // After Finish: the output holds the tags without the input's cover.
    bool CoverLeftOut() const { return coverLeftOut; }

  private:
    const COutputFormat& format;
    const CTagOptions& options;
    IAudioEncoder& encoder;
    CTagRecord record;
    bool written = false; // by the encoder
    bool coverLeftOut = false;
};
