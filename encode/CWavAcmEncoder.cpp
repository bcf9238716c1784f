#include "CWavAcmEncoder.h"
#include "resources/ErrorNumbers.h"

int CWavAcmEncoder::Open(const WAVEFORMATEX&, const std::wstring& path) {
    return wav.OpenWrite(path) ? 0 : kWavFileError;
}

int CWavAcmEncoder::Write(unsigned char* bytes, int count) {
    return wav.Write(bytes, count) < 0 ? kWriteFailed : 0;
}

// A close that cannot finish the file leaves it incomplete: a failure too.
int CWavAcmEncoder::Finish() { return wav.Close() == 0 ? kWriteFailed : 0; }
