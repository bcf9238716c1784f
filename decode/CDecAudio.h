#pragma once
#include <windows.h>

#include "resources/ErrorNumbers.h"
#include <string>

#include <mmreg.h> // needs the types of windows.h

// What the conversion sees of a decoder: open a file, ask for the PCM
// format, pull blocks until there are none, read the progress between blocks.
class CDecAudio {
  public:
    virtual ~CDecAudio() = default;

    // Percent of the input delivered so far, 0 to 100.
    virtual int GetProgress() = 0;
    // Stores a pointer to the next whole block and returns its byte count,
    // or -1 when there is no more. The block stays valid until the next
    // Read or Close and may be modified in place. maximum is a hint only.
    virtual int Read(unsigned char** data, int maximum) = 0;
    virtual void Close() = 0;
    // 0, or an error number.
    virtual int Open(const wchar_t* path) = 0;
    // The format of the blocks, the source's own as far as the decoder
    // knows it: integer PCM of 8 to 32 bits or float, any channels; a
    // WAVE_FORMAT_EXTENSIBLE record (cbSize 22) for more than two channels
    // or more than 16 bits.
    virtual WAVEFORMATEX* GetFormat() = 0;
    // Once Read has answered -1: 0 when the input reached its end, else the
    // error number of what cut it short. An output of a cut input is no
    // conversion of it.
    virtual int GetEndError() { return 0; }
    // What decodes the open file, as the user is told: "built-in (FLAC)",
    // "system".
    virtual std::wstring Describe() const = 0;
};
