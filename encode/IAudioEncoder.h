#pragma once
#include "tags/CTagRecord.h"
#include <string>
#include <windows.h>

#include <mmreg.h> // needs the types of windows.h

// What the conversion sees of any encoder: open the output for PCM of a
// format, write blocks, read the input again for each further pass, finish.
// Every operation answers 0 or the error number of what failed.
class IAudioEncoder {
  public:
    virtual ~IAudioEncoder() = default;

    // Before Open: whether the encoder writes the tags into its output
    // itself (its format's own header); else they are added to the file
    // after it is finished.
    virtual bool TakeTags(const CTagRecord&) { return false; }

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
    // After Finish: whether the output holds the tags taken without their
    // front cover, which its format could not hold.
    virtual bool CoverLeftOut() const { return false; }
};
