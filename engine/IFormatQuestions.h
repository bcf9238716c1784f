#pragma once
#include "encode/CEncoderOptions.h"
#include <windows.h>

#include <mmreg.h> // needs the types of windows.h

// What an output format may ask the user before a conversion (before a
// batch: once). Whoever drives the conversion answers; each answer is 0
// with the options completed, or kCancelled or an error number.
class IFormatQuestions {
  public:
    virtual ~IFormatQuestions() = default;
    virtual int AskMp3Settings(CEncoderOptions& options) = 0;
    virtual int AskWmaSettings(CEncoderOptions& options) = 0;
    virtual int AskFlacSettings(CEncoderOptions& options) = 0;
    virtual int AskOpusSettings(CEncoderOptions& options) = 0;
    // The codec and format to write the decoded PCM (source) in.
    virtual int AskWavFormat(const WAVEFORMATEX& source, CEncoderOptions& options) = 0;
};
