#pragma once
#include <string>
#include <windows.h>

#include <mmreg.h> // needs the types of windows.h

// What the conversion sees of any encoder: open the output for PCM of a
// format, write blocks, read the input again for each further pass, finish.
// Every operation answers 0 or the error number of what failed.
class IAudioEncoder {
  public:
    virtual ~IAudioEncoder() = default;

    virtual int Open(const WAVEFORMATEX& format, const std::wstring& path) = 0;
    // The block may be changed in place.
    virtual int Write(unsigned char* bytes, int count) = 0;
    // Whether the pass just written was an analysis pass, ended now: the
    // input is then read once more from its start.
    virtual bool EndPass(int& result) {
        result = 0;
        return false;
    }
    // Finishes and closes the output, whatever happened before.
    virtual int Finish() = 0;
};
