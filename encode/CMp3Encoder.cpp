#include "CMp3Encoder.h"
#include "resources/ErrorNumbers.h"

int CMp3Encoder::Open(const WAVEFORMATEX& format, const std::wstring& path) {
    return mp3.Start(format, path, layer3Wav ? 1 : 0, options);
}

int CMp3Encoder::Write(unsigned char* bytes, int count) {
    return mp3.Write(bytes, count) != 0 ? kWriteFailed : 0;
}

int CMp3Encoder::Finish() { return mp3.Finish() != 0 ? kWriteFailed : 0; }
