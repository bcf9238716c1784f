#include "COpusEncoder.h"
#include "framework/OutputFile.h"
#include "pcm/CPcmFormat.h"
#include "resources/ErrorNumbers.h"
#include "tags/TagText.h"
#include "tags/VorbisComments.h"
#include <opus/opusenc.h>

namespace {

struct CommentsDeleter {
    void operator()(OggOpusComments* comments) const { ope_comments_destroy(comments); }
};
using CComments = std::unique_ptr<OggOpusComments, CommentsDeleter>;

constexpr int kFrontCover = 3;

// A cover libopusenc cannot read (neither PNG, JPEG nor GIF) is left out:
// the sound matters more than a damaged picture.
CComments MakeComments(const CTagRecord& tags, bool& coverLeftOut) {
    CComments comments(ope_comments_create());
    if (!comments)
        return comments;
    for (const auto& comment : VorbisComments(tags))
        ope_comments_add(comments.get(), comment.first.c_str(), comment.second.c_str());
    const CTagPicture& cover = tags.frontCover;
    if (!cover.data.empty())
        coverLeftOut =
            ope_comments_add_picture_from_memory(
                comments.get(), reinterpret_cast<const char*>(cover.data.data()), cover.data.size(),
                kFrontCover,
                cover.description.empty() ? nullptr : Utf8Of(cover.description).c_str()) != OPE_OK;
    return comments;
}

} // namespace

void COpusEncoder::EncoderDeleter::operator()(OggOpusEnc* encoder) const {
    ope_encoder_destroy(encoder);
}

bool COpusEncoder::TakeTags(const CTagRecord& record) {
    tags = record;
    return true;
}

// Float samples; up to 8 channels, in Vorbis's order, in the mapping
// players know; mono and stereo in the simplest one.
int COpusEncoder::Open(const WAVEFORMATEX& format, const std::wstring& path) {
    CPcmFormat samples;
    if (!CPcmFormat::Read(format, samples) || !samples.floating || samples.bits != 32 ||
        samples.channels > 8)
        return kOpusRefused;
    blockAlign = samples.BytesPerFrame();
    CComments comments = MakeComments(tags, coverLeftOut);
    if (!comments)
        return kOpusRefused;
    file.Reset(CreateOutputFile(path, GENERIC_WRITE, 0));
    if (!file)
        return kOpusFileError;
    const OpusEncCallbacks callbacks{OnWrite, OnClose};
    int error = OPE_OK;
    encoder.reset(ope_encoder_create_callbacks(&callbacks, this, comments.get(),
                                               static_cast<opus_int32>(format.nSamplesPerSec),
                                               format.nChannels, format.nChannels > 2 ? 1 : 0,
                                               &error));
    return encoder && error == OPE_OK && Configure() ? 0 : kOpusRefused;
}

bool COpusEncoder::Configure() {
    OggOpusEnc* opus = encoder.get();
    return ope_encoder_ctl(opus, OPUS_SET_BITRATE(options.kbps * 1000)) == OPE_OK &&
           ope_encoder_ctl(opus, OPUS_SET_VBR(options.mode != COpusOptions::Cbr)) == OPE_OK &&
           ope_encoder_ctl(opus, OPUS_SET_VBR_CONSTRAINT(options.mode ==
                                                         COpusOptions::ConstrainedVbr)) == OPE_OK;
}

// Ogg streams carry a serial number, random by default; one taken from the
// first audio instead makes the same input give the same bytes, while
// files of different sound still differ.
void COpusEncoder::SetSerialNumber(const unsigned char* bytes, int count) {
    std::uint32_t hash = 2166136261u;
    for (int i = 0; i < count; ++i)
        hash = (hash ^ bytes[i]) * 16777619u;
    ope_encoder_ctl(encoder.get(), OPE_SET_SERIALNO(static_cast<opus_int32>(hash & 0x7FFFFFFF)));
}

int COpusEncoder::Write(unsigned char* bytes, int count) {
    if (!encoder)
        return kWriteFailed;
    if (!started)
        SetSerialNumber(bytes, count);
    started = true;
    const int frames = count / blockAlign;
    const int result =
        ope_encoder_write_float(encoder.get(), reinterpret_cast<const float*>(bytes), frames);
    return result != OPE_OK || writeFailed ? kWriteFailed : 0;
}

// libopusenc learns where its stream ends from the writes: drained before
// any, it reads an end never set and asserts. An empty input (or one
// stopped before its first block) writes no sample first, and the stream
// is a valid one of no samples.
int COpusEncoder::Finish() {
    if (encoder && !started) {
        SetSerialNumber(nullptr, 0);
        const float none[8] = {};
        started = ope_encoder_write_float(encoder.get(), none, 0) == OPE_OK;
    }
    const bool drained = encoder && started && ope_encoder_drain(encoder.get()) == OPE_OK;
    encoder.reset();
    const bool closed = !file || CloseHandle(file.Detach());
    return drained && closed && !writeFailed ? 0 : kWriteFailed;
}

int COpusEncoder::OnWrite(void* self, const unsigned char* bytes, int count) {
    auto& me = *static_cast<COpusEncoder*>(self);
    DWORD written = 0;
    if (!WriteFile(me.file.Get(), bytes, static_cast<DWORD>(count), &written, nullptr) ||
        written != static_cast<DWORD>(count))
        me.writeFailed = true;
    return me.writeFailed ? 1 : 0;
}
