#pragma once
// The multimedia headers need the types of <windows.h> first.
#include <windows.h>

#include "framework/CHandleOwner.h"
#include <mmreg.h>
#include <msacm.h>

struct AcmStreamTraits {
    using Handle = HACMSTREAM;
    static Handle Empty() { return nullptr; }
    static void Close(Handle h) { acmStreamClose(h, 0); }
};

// One non-real-time ACM stream with its stream header. Every conversion
// prepares the header over the buffers it is given, converts and unprepares,
// so the buffers may change from one call to the next.
class CAcmStream {
  public:
    CAcmStream() { ClearHeader(); }
    CAcmStream(const CAcmStream&) = delete;
    CAcmStream& operator=(const CAcmStream&) = delete;

    bool Open(const WAVEFORMATEX* from, const WAVEFORMATEX* to);
    void Close();
    bool IsOpen() const { return static_cast<bool>(stream); }
    MMRESULT GetLastResult() const { return lastResult; }

    // Source bytes that fill destBytes of output, and the other way round;
    // 0 when the ACM cannot say (too few bytes for one block, for instance).
    DWORD SourceSizeFor(DWORD destBytes) const { return SizeQuery(destBytes, true); }
    DWORD DestSizeFor(DWORD sourceBytes) const { return SizeQuery(sourceBytes, false); }

    struct Result {
        DWORD used = 0;     // source bytes the ACM took
        DWORD produced = 0; // bytes it wrote to the destination
    };
    bool Convert(const BYTE* source, DWORD sourceLength, BYTE* dest, DWORD destLength, DWORD flags,
                 Result& result);

  private:
    DWORD SizeQuery(DWORD bytes, bool fromDest) const;
    void ClearHeader();

    CHandleOwner<AcmStreamTraits> stream;
    ACMSTREAMHEADER header;
    MMRESULT lastResult = MMSYSERR_NOERROR;
};
