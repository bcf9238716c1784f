#pragma once
#include <string>
#include <windows.h>

#include <mmreg.h> // needs the types of windows.h

// A step between the decoder and the encoder (the volume stage, the tag
// copy): the job runs its steps in order, without knowing what they do.
// Each operation answers 0 or the error number of what failed.
class IConversionStep {
  public:
    virtual ~IConversionStep() = default;
    // Before the encoder opens its output: the input and its decoded PCM.
    virtual int Begin(const std::wstring& input, const WAVEFORMATEX& format) = 0;
    // A block on its way to the encoder; it may be changed in place.
    virtual int Process(unsigned char* block, int count) = 0;
    // The encoder has finished the output at path, not yet in its place.
    virtual int Finish(const std::wstring& path) = 0;
};
