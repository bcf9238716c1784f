#pragma once
#include "encode/CEncoderOptions.h"
#include "encode/CFlacVerifier.h"
#include "encode/IAudioEncoder.h"
#include "framework/CHandleOwner.h"
#include "pcm/CPcmFormat.h"
#include <FLAC/metadata.h>
#include <FLAC/stream_encoder.h>
#include <cstdint>
#include <memory>
#include <vector>

// "flac" behind the encoder interface: libFLAC at the options' level, one
// stream on the options' threads (the same bytes on any number), verified
// as it goes when asked. The tags go in as a Vorbis comment and
// the cover as a picture block; a seek table is reserved in the header and
// filled once the frames' places are known.
class CFlacEncoder : public IAudioEncoder {
  public:
    explicit CFlacEncoder(const CFlacOptions& options) : options(options) {}
    bool TakeTags(const CTagRecord& record) override;
    int Open(const WAVEFORMATEX& format, const std::wstring& path) override;
    int Write(unsigned char* bytes, int count) override;
    int Finish() override;
    bool CoverLeftOut() const override { return coverLeftOut; }

  private:
    struct EncoderDeleter {
        void operator()(FLAC__StreamEncoder* encoder) const { FLAC__stream_encoder_delete(encoder); }
    };
    struct MetadataDeleter {
        void operator()(FLAC__StreamMetadata* block) const { FLAC__metadata_object_delete(block); }
    };
    using CMetadata = std::unique_ptr<FLAC__StreamMetadata, MetadataDeleter>;
    struct CFrameMark {
        std::uint64_t firstSample;
        std::uint64_t offset; // from the first frame's start
    };

    static FLAC__StreamEncoderWriteStatus OnWrite(const FLAC__StreamEncoder*, const FLAC__byte* bytes,
                                                  size_t count, uint32_t samples, uint32_t,
                                                  void* self);
    static FLAC__StreamEncoderSeekStatus OnSeek(const FLAC__StreamEncoder*, FLAC__uint64 offset,
                                                void* self);
    static FLAC__StreamEncoderTellStatus OnTell(const FLAC__StreamEncoder*, FLAC__uint64* offset,
                                                void* self);
    bool WriteBytes(const void* bytes, size_t count);
    std::vector<CMetadata> MakeMetadata();
    int ErrorOfState() const;
    unsigned Threads() const;
    bool FillSeekTable();

    const CFlacOptions options;
    CTagRecord tags;
    bool coverLeftOut = false;
    CFileHandle file;
    std::vector<CMetadata> metadata; // outlives the encoder, which points to it
    std::unique_ptr<FLAC__StreamEncoder, EncoderDeleter> encoder;
    CPcmFormat samples;                // as the blocks come
    std::vector<FLAC__int32> widened; // a block widened for libFLAC
    CFlacVerifier verifier;
    bool rewriting = false; // libFLAC writes its header again at the end
    std::vector<CFrameMark> frames;
    std::uint64_t frameBytes = 0;    // of the frames written so far
    std::uint64_t framedSamples = 0; // per channel, in those frames
};
