#include "CFlacEncoder.h"
#include "framework/OutputFile.h"
#include "resources/ErrorNumbers.h"
#include "tags/TagText.h"
#include "tags/VorbisComments.h"
#include <algorithm>
#include <cstdio>
#include <thread>

namespace {

// The seek table is reserved before the length is known: a point every ten
// seconds for up to an hour, spread wider for longer files. Unused points
// stay placeholders, which every reader skips.
constexpr unsigned kSeekPoints = 360;
constexpr unsigned kSeekSpacingSeconds = 10;
// It is the first block after STREAMINFO: "fLaC", STREAMINFO's header and
// body, then its own header.
constexpr std::uint64_t kSeekPointsAt = 4 + 4 + FLAC__STREAM_METADATA_STREAMINFO_LENGTH + 4;
// Room for tags edited later, as the reference encoder leaves.
constexpr unsigned kPaddingBytes = 8192;

// A metadata block's length has 24 bits: libFLAC refuses a stream with a
// larger one, and a tag must never stop a conversion.
bool FitsBlock(const FLAC__StreamMetadata& block) {
    return block.length < (1u << FLAC__STREAM_METADATA_LENGTH_LEN);
}

void PutBigEndian(std::vector<unsigned char>& bytes, std::uint64_t value, int size) {
    for (int shift = 8 * (size - 1); shift >= 0; shift -= 8)
        bytes.push_back(static_cast<unsigned char>(value >> shift));
}

} // namespace

bool CFlacEncoder::TakeTags(const CTagRecord& record) {
    tags = record;
    return true;
}

// What the blocks cannot hold is left out: a cover too large for its
// block, comments too long for theirs.
std::vector<CFlacEncoder::CMetadata> CFlacEncoder::MakeMetadata() {
    std::vector<CMetadata> blocks;
    blocks.emplace_back(FLAC__metadata_object_new(FLAC__METADATA_TYPE_SEEKTABLE));
    FLAC__metadata_object_seektable_template_append_placeholders(blocks.back().get(), kSeekPoints);
    blocks.emplace_back(FLAC__metadata_object_new(FLAC__METADATA_TYPE_VORBIS_COMMENT));
    std::vector<std::pair<std::string, std::string>> comments = VorbisComments(tags);
    // FLAC's channel order has a layout for each count; another one is named
    // as the reference encoder names it.
    if (samples.channels >= 2 && samples.channelMask &&
        samples.channelMask != DefaultChannelMask(samples.channels)) {
        char mask[16];
        std::snprintf(mask, sizeof mask, "0x%04X", static_cast<unsigned>(samples.channelMask));
        comments.emplace_back("WAVEFORMATEXTENSIBLE_CHANNEL_MASK", mask);
    }
    for (const auto& comment : comments) {
        FLAC__StreamMetadata_VorbisComment_Entry entry;
        if (FLAC__metadata_object_vorbiscomment_entry_from_name_value_pair(
                &entry, comment.first.c_str(), comment.second.c_str()))
            FLAC__metadata_object_vorbiscomment_append_comment(blocks.back().get(), entry, false);
    }
    if (!FitsBlock(*blocks.back()))
        FLAC__metadata_object_vorbiscomment_resize_comments(blocks.back().get(), 0);
    const CTagPicture& cover = tags.frontCover;
    if (!cover.data.empty()) {
        CMetadata picture(FLAC__metadata_object_new(FLAC__METADATA_TYPE_PICTURE));
        std::string mimeType = cover.mimeType, description = Utf8Of(cover.description);
        picture->data.picture.type = FLAC__STREAM_METADATA_PICTURE_TYPE_FRONT_COVER;
        const char* illegal = nullptr;
        if (FLAC__metadata_object_picture_set_mime_type(picture.get(), mimeType.data(), true) &&
            FLAC__metadata_object_picture_set_description(
                picture.get(), reinterpret_cast<FLAC__byte*>(description.data()), true) &&
            FLAC__metadata_object_picture_set_data(
                picture.get(), const_cast<FLAC__byte*>(cover.data.data()),
                static_cast<FLAC__uint32>(cover.data.size()), true) &&
            FLAC__metadata_object_picture_is_legal(picture.get(), &illegal) &&
            FitsBlock(*picture))
            blocks.push_back(std::move(picture));
        else
            coverLeftOut = true;
    }
    blocks.emplace_back(FLAC__metadata_object_new(FLAC__METADATA_TYPE_PADDING));
    blocks.back()->length = kPaddingBytes;
    return blocks;
}

// Integers of 8 to 24 bits, up to 8 channels: what the conversion step
// brings every source to.
int CFlacEncoder::Open(const WAVEFORMATEX& format, const std::wstring& path) {
    CPcmFormat given;
    if (!CPcmFormat::Read(format, given) || given.floating || given.bits > 24 || given.channels > 8 ||
        !FLAC__format_sample_rate_is_valid(given.rate))
        return kFlacRefused;
    samples = given;
    encoder.reset(FLAC__stream_encoder_new());
    metadata = MakeMetadata();
    std::vector<FLAC__StreamMetadata*> blocks;
    for (const CMetadata& block : metadata)
        blocks.push_back(block.get());
    FLAC__StreamEncoder* flac = encoder.get();
    if (!flac || !FLAC__stream_encoder_set_channels(flac, static_cast<unsigned>(given.channels)) ||
        !FLAC__stream_encoder_set_bits_per_sample(flac, static_cast<unsigned>(given.bits)) ||
        !FLAC__stream_encoder_set_sample_rate(flac, given.rate) ||
        !FLAC__stream_encoder_set_compression_level(flac, static_cast<unsigned>(options.level)) ||
        !FLAC__stream_encoder_set_metadata(flac, blocks.data(), static_cast<unsigned>(blocks.size())))
        return kFlacRefused;
    // A build without threads encodes on one; the bytes are the same.
    FLAC__stream_encoder_set_num_threads(flac, Threads());
    file.Reset(CreateOutputFile(path, GENERIC_READ | GENERIC_WRITE, 0));
    if (!file)
        return kFlacFileError;
    if (options.verify && !verifier.Start(static_cast<unsigned>(given.channels)))
        return kFlacVerifyFailed;
    if (FLAC__stream_encoder_init_stream(flac, OnWrite, OnSeek, OnTell, nullptr, this) !=
        FLAC__STREAM_ENCODER_INIT_STATUS_OK)
        return ErrorOfState();
    return 0;
}

unsigned CFlacEncoder::Threads() const {
    if (options.threads > 0)
        return static_cast<unsigned>(options.threads);
    return std::max(1u, std::thread::hardware_concurrency());
}

// Little-endian samples widened for libFLAC; 8-bit ones are unsigned.
int CFlacEncoder::Write(unsigned char* bytes, int count) {
    if (!encoder)
        return kWriteFailed;
    const int size = samples.BytesPerSample();
    const unsigned frames = static_cast<unsigned>(count / samples.BytesPerFrame());
    widened.resize(static_cast<size_t>(frames) * static_cast<size_t>(samples.channels));
    for (size_t i = 0; i < widened.size(); ++i, bytes += size) {
        if (size == 1)
            widened[i] = bytes[0] - 128;
        else if (size == 2)
            widened[i] = static_cast<std::int16_t>(bytes[0] | bytes[1] << 8);
        else
            widened[i] = static_cast<std::int32_t>(
                             static_cast<std::uint32_t>(bytes[0] << 8 | bytes[1] << 16 | bytes[2] << 24)) >> 8;
    }
    if (options.verify)
        verifier.AddSamples(widened.data(), widened.size());
    if (!FLAC__stream_encoder_process_interleaved(encoder.get(), widened.data(), frames))
        return ErrorOfState();
    return 0;
}

// libFLAC writes STREAMINFO again with the exact length and checksum; the
// seek table is ours to fill after it.
int CFlacEncoder::Finish() {
    int result = 0;
    if (encoder && FLAC__stream_encoder_get_state(encoder.get()) == FLAC__STREAM_ENCODER_OK) {
        if (!FLAC__stream_encoder_finish(encoder.get()))
            result = ErrorOfState();
        else if (!FillSeekTable())
            result = kWriteFailed;
    } else {
        result = kWriteFailed;
    }
    if (options.verify && !verifier.Finish() && result == 0)
        result = kFlacVerifyFailed;
    encoder.reset();
    metadata.clear();
    if (file && !CloseHandle(file.Detach()) && result == 0)
        result = kWriteFailed;
    return result;
}

int CFlacEncoder::ErrorOfState() const {
    switch (FLAC__stream_encoder_get_state(encoder.get())) {
    case FLAC__STREAM_ENCODER_CLIENT_ERROR:
    case FLAC__STREAM_ENCODER_IO_ERROR:
        return kWriteFailed;
    default:
        return kFlacRefused;
    }
}

bool CFlacEncoder::FillSeekTable() {
    const std::uint64_t spacing = std::max<std::uint64_t>(
        std::uint64_t{kSeekSpacingSeconds} * samples.rate, (framedSamples + kSeekPoints - 1) / kSeekPoints);
    std::vector<unsigned char> points;
    unsigned filled = 0;
    for (size_t at = 0; at < frames.size() && filled < kSeekPoints; ++at) {
        const std::uint64_t next = at + 1 < frames.size() ? frames[at + 1].firstSample : framedSamples;
        if (frames[at].firstSample > filled * spacing || next <= filled * spacing)
            continue;
        PutBigEndian(points, frames[at].firstSample, 8);
        PutBigEndian(points, frames[at].offset, 8);
        PutBigEndian(points, next - frames[at].firstSample, 2);
        ++filled;
    }
    if (points.empty())
        return true;
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(kSeekPointsAt);
    return SetFilePointerEx(file.Get(), at, nullptr, FILE_BEGIN) &&
           WriteBytes(points.data(), points.size());
}

bool CFlacEncoder::WriteBytes(const void* bytes, size_t count) {
    DWORD written = 0;
    return WriteFile(file.Get(), bytes, static_cast<DWORD>(count), &written, nullptr) &&
           written == count;
}

FLAC__StreamEncoderWriteStatus CFlacEncoder::OnWrite(const FLAC__StreamEncoder*,
                                                     const FLAC__byte* bytes, size_t count,
                                                     uint32_t samples, uint32_t, void* self) {
    auto& me = *static_cast<CFlacEncoder*>(self);
    if (samples > 0) { // a frame; the header's blocks have none
        me.frames.push_back({me.framedSamples, me.frameBytes});
        me.frameBytes += count;
        me.framedSamples += samples;
    }
    // What is written again over the header at the end is no more stream.
    if (me.options.verify && !me.rewriting)
        me.verifier.AddBytes(bytes, count);
    return me.WriteBytes(bytes, count) ? FLAC__STREAM_ENCODER_WRITE_STATUS_OK
                                       : FLAC__STREAM_ENCODER_WRITE_STATUS_FATAL_ERROR;
}

FLAC__StreamEncoderSeekStatus CFlacEncoder::OnSeek(const FLAC__StreamEncoder*, FLAC__uint64 offset,
                                                   void* self) {
    static_cast<CFlacEncoder*>(self)->rewriting = true;
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(offset);
    return SetFilePointerEx(static_cast<CFlacEncoder*>(self)->file.Get(), at, nullptr, FILE_BEGIN)
               ? FLAC__STREAM_ENCODER_SEEK_STATUS_OK
               : FLAC__STREAM_ENCODER_SEEK_STATUS_ERROR;
}

FLAC__StreamEncoderTellStatus CFlacEncoder::OnTell(const FLAC__StreamEncoder*, FLAC__uint64* offset,
                                                   void* self) {
    LARGE_INTEGER zero{}, at{};
    if (!SetFilePointerEx(static_cast<CFlacEncoder*>(self)->file.Get(), zero, &at, FILE_CURRENT))
        return FLAC__STREAM_ENCODER_TELL_STATUS_ERROR;
    *offset = static_cast<FLAC__uint64>(at.QuadPart);
    return FLAC__STREAM_ENCODER_TELL_STATUS_OK;
}
