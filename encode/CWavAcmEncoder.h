#pragma once
#include "encode/IAudioEncoder.h"
#include "pcm/CWaveFileACM.h"

// "WAV(ACM)" behind the encoder interface: the WAVE writer, whose formats
// the job has set, opened on the path.
class CWavAcmEncoder : public IAudioEncoder {
  public:
    explicit CWavAcmEncoder(CWaveFileACM& wav) : wav(wav) {}
    int Open(const WAVEFORMATEX&, const std::wstring& path) override;
    int Write(unsigned char* bytes, int count) override;
    int Finish() override;

  private:
    CWaveFileACM& wav;
};
