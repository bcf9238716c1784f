#pragma once
#include "encode/CEncoderOptions.h"
#include "encode/IAudioEncoder.h"
#include "framework/CHandleOwner.h"
#include <memory>

struct OggOpusEnc;

// "opus" behind the encoder interface: libopusenc, which resamples any
// rate to Opus's 48 kHz and marks the pre-skip and the end, so a decoder
// returns exactly the input's length. The tags go in as Vorbis comments,
// the cover as METADATA_BLOCK_PICTURE.
class COpusEncoder : public IAudioEncoder {
  public:
    explicit COpusEncoder(const COpusOptions& options) : options(options) {}
    bool TakeTags(const CTagRecord& record) override;
    int Open(const WAVEFORMATEX& format, const std::wstring& path) override;
    int Write(unsigned char* bytes, int count) override;
    int Finish() override;
    bool CoverLeftOut() const override { return coverLeftOut; }

  private:
    struct EncoderDeleter {
        void operator()(OggOpusEnc* encoder) const;
    };

    static int OnWrite(void* self, const unsigned char* bytes, int count);
    static int OnClose(void*) { return 0; } // the file is ours to close
    bool Configure();
    void SetSerialNumber(const unsigned char* bytes, int count);

    const COpusOptions options;
    CTagRecord tags;
    CFileHandle file;
    std::unique_ptr<OggOpusEnc, EncoderDeleter> encoder;
    int blockAlign = 0;
    bool started = false; // libopusenc's stream: by the first write
    bool coverLeftOut = false;
    bool writeFailed = false;
};
