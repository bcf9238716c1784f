#include "CVolumeStep.h"
#include "pcm/CPCMWavVolume.h"
#include "pcm/CPcmFormat.h"

int CVolumeStep::Begin(const std::wstring&, const WAVEFORMATEX& format) {
    CPcmFormat samples;
    floating = CPcmFormat::Read(format, samples) && samples.floating;
    bitsPerSample = format.wBitsPerSample;
    return 0;
}

int CVolumeStep::Process(unsigned char* block, int count) {
    CPCMWavVolume::ApplyVolume(block, count, volume, bitsPerSample, floating);
    return 0;
}
