#pragma once
#include "encode/CEncGOGO.h"
#include "encode/IAudioEncoder.h"
#include "settings/CAudioInfo.h"

// "mp3" and "Layer3-WAV" behind the encoder interface: gogo.dll with the
// settings as they are when the output opens.
class CMp3Encoder : public IAudioEncoder {
  public:
    CMp3Encoder(CEncGOGO& mp3, bool layer3Wav, const CAudioInfo& settings)
        : mp3(mp3), layer3Wav(layer3Wav), settings(settings) {}
    int Open(const WAVEFORMATEX& format, const std::wstring& path) override;
    int Write(unsigned char* bytes, int count) override;
    int Finish() override;

  private:
    CEncGOGO& mp3;
    bool layer3Wav;
    const CAudioInfo& settings;
};
