#include "CFlacVerifier.h"
#include <algorithm>
#include <cstring>

namespace {

// Input samples the decoder may lag behind before the encoder waits: a
// few seconds of audio.
constexpr size_t kMostWaiting = 4 << 20;

// Consumed data is dropped once it is most of the buffer.
template <class T> void Compact(std::vector<T>& data, size_t& at) {
    if (at > 65536 && at * 2 > data.size()) {
        data.erase(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(at));
        at = 0;
    }
}

} // namespace

CFlacVerifier::~CFlacVerifier() { Finish(); }

bool CFlacVerifier::Start(unsigned streamChannels) {
    channels = streamChannels;
    decoder = FLAC__stream_decoder_new();
    if (!decoder || FLAC__stream_decoder_init_stream(decoder, OnRead, nullptr, nullptr, nullptr,
                                                     nullptr, OnFrame, nullptr, OnError, this) !=
                        FLAC__STREAM_DECODER_INIT_STATUS_OK) {
        if (decoder)
            FLAC__stream_decoder_delete(decoder);
        decoder = nullptr;
        return false;
    }
    thread = std::thread(&CFlacVerifier::Decode, this);
    return true;
}

void CFlacVerifier::AddSamples(const FLAC__int32* samples, size_t count) {
    std::unique_lock<std::mutex> held(lock);
    changed.wait(held, [&] { return failed || expected.size() - expectedAt < kMostWaiting; });
    Compact(expected, expectedAt);
    expected.insert(expected.end(), samples, samples + count);
    changed.notify_all();
}

void CFlacVerifier::AddBytes(const FLAC__byte* bytes, size_t count) {
    std::lock_guard<std::mutex> held(lock);
    Compact(encoded, encodedAt);
    encoded.insert(encoded.end(), bytes, bytes + count);
    changed.notify_all();
}

bool CFlacVerifier::Finish() {
    {
        std::lock_guard<std::mutex> held(lock);
        ended = true;
        changed.notify_all();
    }
    if (thread.joinable())
        thread.join();
    return decodedToEnd && !failed && expectedAt == expected.size();
}

void CFlacVerifier::Decode() {
    const bool decoded = FLAC__stream_decoder_process_until_end_of_stream(decoder) != 0 &&
                         FLAC__stream_decoder_get_state(decoder) == FLAC__STREAM_DECODER_END_OF_STREAM;
    FLAC__stream_decoder_delete(decoder);
    decoder = nullptr;
    std::lock_guard<std::mutex> held(lock);
    decodedToEnd = decoded;
    failed = failed || !decoded;
    changed.notify_all();
}

FLAC__StreamDecoderReadStatus CFlacVerifier::OnRead(const FLAC__StreamDecoder*, FLAC__byte* buffer,
                                                    size_t* bytes, void* self) {
    auto& me = *static_cast<CFlacVerifier*>(self);
    std::unique_lock<std::mutex> held(me.lock);
    me.changed.wait(held, [&] { return me.ended || me.encodedAt < me.encoded.size(); });
    const size_t count = std::min(*bytes, me.encoded.size() - me.encodedAt);
    *bytes = count;
    if (count == 0)
        return FLAC__STREAM_DECODER_READ_STATUS_END_OF_STREAM;
    std::memcpy(buffer, me.encoded.data() + me.encodedAt, count);
    me.encodedAt += count;
    return FLAC__STREAM_DECODER_READ_STATUS_CONTINUE;
}

FLAC__StreamDecoderWriteStatus CFlacVerifier::OnFrame(const FLAC__StreamDecoder*,
                                                      const FLAC__Frame* frame,
                                                      const FLAC__int32* const channel[], void* self) {
    auto& me = *static_cast<CFlacVerifier*>(self);
    std::lock_guard<std::mutex> held(me.lock);
    if (!me.Matches(*frame, channel)) {
        me.failed = true;
        me.changed.notify_all();
        return FLAC__STREAM_DECODER_WRITE_STATUS_ABORT;
    }
    me.changed.notify_all();
    return FLAC__STREAM_DECODER_WRITE_STATUS_CONTINUE;
}

// A frame's samples come after the input that makes them was added.
bool CFlacVerifier::Matches(const FLAC__Frame& frame, const FLAC__int32* const channel[]) {
    const size_t samples = frame.header.blocksize;
    if (frame.header.channels != channels ||
        expected.size() - expectedAt < samples * channels)
        return false;
    const FLAC__int32* input = expected.data() + expectedAt;
    for (size_t at = 0; at < samples; ++at)
        for (unsigned c = 0; c < channels; ++c)
            if (channel[c][at] != *input++)
                return false;
    expectedAt += samples * channels;
    return true;
}

void CFlacVerifier::OnError(const FLAC__StreamDecoder*, FLAC__StreamDecoderErrorStatus, void* self) {
    auto& me = *static_cast<CFlacVerifier*>(self);
    std::lock_guard<std::mutex> held(me.lock);
    me.failed = true;
    me.changed.notify_all();
}
