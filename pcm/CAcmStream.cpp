#include "pcm/CAcmStream.h"
#include <cstring>

bool CAcmStream::Open(const WAVEFORMATEX* from, const WAVEFORMATEX* to) {
    Close();
    // The ACM takes the records as non-const but does not write them.
    lastResult =
        acmStreamOpen(stream.Receive(), nullptr, const_cast<WAVEFORMATEX*>(from),
                      const_cast<WAVEFORMATEX*>(to), nullptr, 0, 0, ACM_STREAMOPENF_NONREALTIME);
    if (lastResult != MMSYSERR_NOERROR)
        stream.Detach();
    return lastResult == MMSYSERR_NOERROR;
}

void CAcmStream::Close() {
    ClearHeader();
    stream.Reset();
}

bool CAcmStream::Convert(const BYTE* source, DWORD sourceLength, BYTE* dest, DWORD destLength,
                         DWORD flags, Result& result) {
    result = Result{};
    if (!IsOpen())
        return false;
    ClearHeader();
    // Some codecs leave bytes of their output untouched (Wine's IMA ADPCM
    // encoder the reserved byte of a mono block header): those must be zero,
    // not whatever the buffer held.
    std::memset(dest, 0, destLength);
    header.pbSrc = const_cast<BYTE*>(source);
    header.cbSrcLength = sourceLength;
    header.pbDst = dest;
    header.cbDstLength = destLength;
    lastResult = acmStreamPrepareHeader(stream.Get(), &header, 0);
    if (lastResult != MMSYSERR_NOERROR)
        return false;
    lastResult = acmStreamConvert(stream.Get(), &header, flags);
    const MMRESULT unprepared = acmStreamUnprepareHeader(stream.Get(), &header, 0);
    if (lastResult == MMSYSERR_NOERROR)
        lastResult = unprepared;
    if (lastResult != MMSYSERR_NOERROR)
        return false;
    result.used = header.cbSrcLengthUsed;
    result.produced = header.cbDstLengthUsed;
    // A driver reporting more than it was given would send us past a buffer.
    return result.used <= sourceLength && result.produced <= destLength;
}

DWORD CAcmStream::SizeQuery(DWORD bytes, bool fromDest) const {
    DWORD answer = 0;
    const DWORD flags = fromDest ? ACM_STREAMSIZEF_DESTINATION : ACM_STREAMSIZEF_SOURCE;
    if (!IsOpen() || acmStreamSize(stream.Get(), bytes, &answer, flags) != MMSYSERR_NOERROR)
        return 0;
    return answer;
}

void CAcmStream::ClearHeader() {
    ZeroMemory(&header, sizeof header);
    header.cbStruct = sizeof header;
}
