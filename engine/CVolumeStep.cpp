#include "CVolumeStep.h"
#include "pcm/CPCMWavVolume.h"

int CVolumeStep::Begin(const std::wstring&, const WAVEFORMATEX& format) {
    bitsPerSample = format.wBitsPerSample;
    return 0;
}

int CVolumeStep::Process(unsigned char* block, int count) {
    CPCMWavVolume::ApplyVolume(block, count, volume, bitsPerSample);
    return 0;
}
