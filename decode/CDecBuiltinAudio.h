#pragma once
#include "CDecAudio.h"
#include "pcm/CPcmFormat.h"
#include "framework/CHandleOwner.h"
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct AVCodecContext;
struct AVFormatContext;
struct AVFrame;
struct AVIOContext;
struct AVPacket;
struct SwrContext;

// The decoder built into ZEP, over FFmpeg's libraries: it opens a file by
// its content, whatever its name, decodes the default audio stream on the
// caller's thread, and hands on exactly the source's samples: the encoder
// delay and padding that the container marks (a LAME header, an MP4 edit
// list or iTunSMPB, Ogg granule positions, Opus pre-skip) are cut. Blocks
// keep the source's own rate, channels and sample type; only a source of
// 17 to 24 bits that FFmpeg widens to 32 is packed back to 24.
class CDecBuiltinAudio : public CDecAudio {
  public:
    CDecBuiltinAudio();
    ~CDecBuiltinAudio() override;
    CDecBuiltinAudio(const CDecBuiltinAudio&) = delete;
    CDecBuiltinAudio& operator=(const CDecBuiltinAudio&) = delete;

    // 0; kUndecodable when the file holds no audio stream this build can
    // decode (an unknown container, a codec left out or protected).
    int Open(const wchar_t* path) override;
    int Read(unsigned char** data, int maximum) override;
    void Close() override;
    WAVEFORMATEX* GetFormat() override { return &format.Format; }
    // By the bytes of the file read so far.
    int GetProgress() override;
    // kDecodeAborted when reading the file failed midway; 0 at its end, and
    // for a file cut short, which gives what it holds.
    int GetEndError() override { return endError; }
    std::wstring Describe() const override;

  private:
    struct Deleters;

    static int OnRead(void* self, uint8_t* buffer, int size);
    static int64_t OnSeek(void* self, int64_t offset, int whence);
    int OpenStream();
    int64_t ExactLength() const;
    bool DecodeFrame();
    bool TakeFrame();
    void TakeSourceFormat();
    int HandOut(size_t bytes, unsigned char** data);
    size_t FrameBytes() const { return source.Format.nBlockAlign; }
    bool Interleave(const AVFrame* decoded);
    bool ResamplerTakes(const AVFrame* decoded) const;
    void Resample(const uint8_t* const* input, int samples);

    CFileHandle file;
    int64_t fileSize = 0;
    bool readFailed = false;
    std::unique_ptr<AVIOContext, void (*)(AVIOContext*)> io;
    std::unique_ptr<AVFormatContext, void (*)(AVFormatContext*)> container;
    std::unique_ptr<AVCodecContext, void (*)(AVCodecContext*)> codec;
    std::unique_ptr<AVPacket, void (*)(AVPacket*)> packet;
    std::unique_ptr<AVFrame, void (*)(AVFrame*)> frame;
    std::unique_ptr<SwrContext, void (*)(SwrContext*)> resampler;
    int stream = -1;
    std::wstring codecName;
    bool draining = false;
    bool ended = false;
    int endError = 0;
    int64_t samplesLeft = -1; // of the exact length, when the container says it

    WAVEFORMATEXTENSIBLE source = {};
    int sourceSampleFormat = -1; // FFmpeg's packed format the samples come in
    WAVEFORMATEXTENSIBLE format = {}; // of the blocks handed out
    bool packTo24 = false;
    // What the resampler was made for: planar samples, or a stream whose
    // format changes midway, brought to the first frame's.
    int resampledFormat = -1, resampledRate = 0, resampledChannels = 0;
    uint64_t resampledMask = 0;
    std::vector<uint8_t> interleaved; // the source's samples of the next block
    size_t handedOut = 0;             // bytes of it the last block holds
    std::vector<uint8_t> block;       // packed to 24 bits
};
