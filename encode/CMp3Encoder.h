#pragma once
#include "encode/CEncGOGO.h"
#include "encode/CEncoderOptions.h"
#include "encode/IAudioEncoder.h"

// "mp3" and "Layer3-WAV" behind the encoder interface: gogo.dll with the
// options it was made with.
class CMp3Encoder : public IAudioEncoder {
  public:
    CMp3Encoder(CEncGOGO& mp3, bool layer3Wav, const CMp3Options& options)
        : mp3(mp3), layer3Wav(layer3Wav), options(options) {}
    int Open(const WAVEFORMATEX& format, const std::wstring& path) override;
    int Write(unsigned char* bytes, int count) override;
    int Finish() override;

  private:
    CEncGOGO& mp3;
    bool layer3Wav;
    const CMp3Options options;
};
