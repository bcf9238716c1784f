#include "CDecBuiltinAudio.h"
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ks.h>
#include <ksmedia.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

namespace {

constexpr int kIoBufferBytes = 64 * 1024;
// Sample frames a block gathers at least: a few decoded frames, so that
// the steps and the encoder see blocks of a useful size.
constexpr size_t kBlockFrames = 8192;

void FreeIo(AVIOContext* io) {
    if (io)
        av_freep(&io->buffer);
    avio_context_free(&io);
}
void FreeContainer(AVFormatContext* container) { avformat_close_input(&container); }
void FreeCodec(AVCodecContext* codec) { avcodec_free_context(&codec); }
void FreePacket(AVPacket* packet) { av_packet_free(&packet); }
void FreeFrame(AVFrame* frame) { av_frame_free(&frame); }
void FreeResampler(SwrContext* resampler) { swr_free(&resampler); }

// The interleaved form of a decoded sample format, in a layout the block
// conversion reads: 64-bit integers become 32-bit.
AVSampleFormat PackedFormat(int decoded) {
    switch (av_get_packed_sample_fmt(static_cast<AVSampleFormat>(decoded))) {
    case AV_SAMPLE_FMT_U8:
        return AV_SAMPLE_FMT_U8;
    case AV_SAMPLE_FMT_S16:
        return AV_SAMPLE_FMT_S16;
    case AV_SAMPLE_FMT_FLT:
        return AV_SAMPLE_FMT_FLT;
    case AV_SAMPLE_FMT_DBL:
        return AV_SAMPLE_FMT_DBL;
    default:
        return AV_SAMPLE_FMT_S32;
    }
}

// FFmpeg's channel order is the wave format's speaker order.
DWORD ChannelMask(const AVChannelLayout& layout) {
    return layout.order == AV_CHANNEL_ORDER_NATIVE ? static_cast<DWORD>(layout.u.mask) : 0;
}

// "FLAC (Free Lossless Audio Codec)" is named "FLAC".
std::wstring ShortName(const AVCodec* codec) {
    std::string name = codec->long_name ? codec->long_name : codec->name;
    name = name.substr(0, name.find(" ("));
    return std::wstring(name.begin(), name.end());
}

} // namespace

CDecBuiltinAudio::CDecBuiltinAudio()
    : io(nullptr, FreeIo), container(nullptr, FreeContainer), codec(nullptr, FreeCodec),
      packet(nullptr, FreePacket), frame(nullptr, FreeFrame), resampler(nullptr, FreeResampler) {
    av_log_set_level(AV_LOG_QUIET);
}

CDecBuiltinAudio::~CDecBuiltinAudio() { Close(); }

void CDecBuiltinAudio::Close() {
    resampler.reset();
    frame.reset();
    packet.reset();
    codec.reset();
    container.reset();
    io.reset();
    file.Reset();
    fileSize = 0;
    readFailed = draining = ended = false;
    endError = 0;
    stream = -1;
    samplesLeft = -1;
    interleaved.clear();
    handedOut = 0;
    block.clear();
}

int CDecBuiltinAudio::OnRead(void* self, uint8_t* buffer, int size) {
    auto& me = *static_cast<CDecBuiltinAudio*>(self);
    DWORD read = 0;
    if (!::ReadFile(me.file.Get(), buffer, static_cast<DWORD>(size), &read, nullptr)) {
        me.readFailed = true;
        return AVERROR(EIO);
    }
    return read == 0 ? AVERROR_EOF : static_cast<int>(read);
}

int64_t CDecBuiltinAudio::OnSeek(void* self, int64_t offset, int whence) {
    auto& me = *static_cast<CDecBuiltinAudio*>(self);
    if (whence == AVSEEK_SIZE)
        return me.fileSize;
    LARGE_INTEGER to, at;
    to.QuadPart = offset;
    const DWORD method = (whence & 3) == SEEK_CUR ? FILE_CURRENT
                         : (whence & 3) == SEEK_END ? FILE_END
                                                    : FILE_BEGIN;
    return SetFilePointerEx(me.file.Get(), to, &at, method) ? at.QuadPart : AVERROR(EIO);
}

// The file's own handle under FFmpeg's reader, so that any path opens that
// Windows opens; the container is found by the content alone.
int CDecBuiltinAudio::Open(const wchar_t* path) {
    Close();
    file.Reset(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    LARGE_INTEGER size;
    if (!file || !GetFileSizeEx(file.Get(), &size) || size.QuadPart == 0)
        return kUndecodable;
    fileSize = size.QuadPart;
    auto* buffer = static_cast<unsigned char*>(av_malloc(kIoBufferBytes));
    io.reset(buffer ? avio_alloc_context(buffer, kIoBufferBytes, 0, this, OnRead, nullptr, OnSeek)
                    : nullptr);
    if (!io) {
        av_free(buffer);
        return kUndecodable;
    }
    AVFormatContext* opened = avformat_alloc_context();
    if (!opened)
        return kUndecodable;
    opened->pb = io.get();
    opened->flags |= AVFMT_FLAG_CUSTOM_IO;
    if (avformat_open_input(&opened, nullptr, nullptr, nullptr) < 0)
        return kUndecodable; // the context is freed by the failure
    container.reset(opened);
    if (int result = OpenStream()) {
        Close();
        return result;
    }
    return 0;
}

// The default audio stream and its decoder; the first frame tells the
// source's format.
int CDecBuiltinAudio::OpenStream() {
    if (avformat_find_stream_info(container.get(), nullptr) < 0)
        return kUndecodable;
    const AVCodec* decoder = nullptr;
    stream = av_find_best_stream(container.get(), AVMEDIA_TYPE_AUDIO, -1, -1, &decoder, 0);
    if (stream < 0 || !decoder)
        return kUndecodable;
    for (unsigned i = 0; i < container->nb_streams; ++i)
        container->streams[i]->discard = static_cast<int>(i) == stream ? AVDISCARD_DEFAULT : AVDISCARD_ALL;
    const AVStream* audio = container->streams[stream];
    codec.reset(avcodec_alloc_context3(decoder));
    packet.reset(av_packet_alloc());
    frame.reset(av_frame_alloc());
    if (!codec || !packet || !frame ||
        avcodec_parameters_to_context(codec.get(), audio->codecpar) < 0)
        return kUndecodable;
    codec->pkt_timebase = audio->time_base;
    codec->thread_count = 1;
    if (avcodec_open2(codec.get(), decoder, nullptr) < 0)
        return kUndecodable;
    codecName = ShortName(decoder);
    samplesLeft = ExactLength();
    // Without a single frame (an empty stream) the codec's own parameters
    // describe the nothing that follows.
    const bool first = DecodeFrame();
    if (!first && endError)
        return kUndecodable;
    TakeSourceFormat();
    CPcmFormat handed;
    if (!CPcmFormat::Read(&source.Format, sizeof source, handed))
        return kUndecodable;
    // FFmpeg widens 17 to 24 bits to 32, left-aligned: the top three bytes
    // hold them exactly.
    packTo24 = !handed.floating && handed.bits == 32 && source.Samples.wValidBitsPerSample <= 24;
    if (packTo24)
        handed.bits = 24;
    format = handed.Wave();
    return first ? (TakeFrame() ? 0 : kUndecodable) : 0;
}

// MP4 marks its encoder padding in iTunSMPB or the edit list's duration,
// which FFmpeg's reader leaves in; elsewhere the reader cuts what the
// container marks, and -1 says there is nothing more to cut.
int64_t CDecBuiltinAudio::ExactLength() const {
    const AVStream* audio = container->streams[stream];
    if (std::strncmp(container->iformat->name, "mov", 3) != 0)
        return -1;
    if (const AVDictionaryEntry* smpb = av_dict_get(container->metadata, "iTunSMPB", nullptr, 0)) {
        unsigned long long samples = 0; // after the priming and the padding
        if (std::sscanf(smpb->value, "%*x %*x %*x %llx", &samples) == 1 && samples)
            return static_cast<int64_t>(samples);
    }
    if (audio->duration <= 0 || audio->codecpar->sample_rate <= 0)
        return -1;
    return av_rescale_q(audio->duration, audio->time_base, AVRational{1, audio->codecpar->sample_rate});
}

// The next decoded frame into frame; false at the end of the stream.
bool CDecBuiltinAudio::DecodeFrame() {
    while (!ended) {
        const int received = avcodec_receive_frame(codec.get(), frame.get());
        if (received == 0)
            return true;
        // Drained, a decoder has nothing more to give, whatever it answers.
        if (received == AVERROR_EOF || draining) {
            ended = true;
            break;
        }
        const int read = av_read_frame(container.get(), packet.get());
        if (read < 0) {
            // The end of the file, also of one cut short; a failed read is
            // no end the output may take for the input's.
            if (readFailed)
                endError = kDecodeAborted;
            avcodec_send_packet(codec.get(), nullptr);
            draining = true;
            continue;
        }
        // A damaged packet is left out: its neighbours still decode.
        if (packet->stream_index == stream)
            avcodec_send_packet(codec.get(), packet.get());
        av_packet_unref(packet.get());
    }
    return false;
}

void CDecBuiltinAudio::TakeSourceFormat() {
    const bool decoded = frame->nb_samples > 0;
    const int decodedFormat = decoded ? frame->format : codec->sample_fmt;
    const AVChannelLayout& layout = decoded ? frame->ch_layout : codec->ch_layout;
    const int rate = decoded ? frame->sample_rate : codec->sample_rate;
    sourceSampleFormat = PackedFormat(decodedFormat);
    const int bytes = av_get_bytes_per_sample(static_cast<AVSampleFormat>(sourceSampleFormat));
    const bool isFloat = sourceSampleFormat == AV_SAMPLE_FMT_FLT || sourceSampleFormat == AV_SAMPLE_FMT_DBL;
    WAVEFORMATEX& wave = source.Format;
    wave.wFormatTag = WAVE_FORMAT_EXTENSIBLE;
    wave.nChannels = static_cast<WORD>(layout.nb_channels);
    wave.nSamplesPerSec = static_cast<DWORD>(rate);
    wave.wBitsPerSample = static_cast<WORD>(8 * bytes);
    wave.nBlockAlign = static_cast<WORD>(bytes * layout.nb_channels);
    wave.nAvgBytesPerSec = wave.nSamplesPerSec * wave.nBlockAlign;
    wave.cbSize = sizeof(WAVEFORMATEXTENSIBLE) - sizeof(WAVEFORMATEX);
    const int valid = codec->bits_per_raw_sample;
    source.Samples.wValidBitsPerSample =
        static_cast<WORD>(valid > 0 && valid < 8 * bytes && !isFloat ? valid : 8 * bytes);
    source.dwChannelMask = ChannelMask(layout);
    source.SubFormat = isFloat ? KSDATAFORMAT_SUBTYPE_IEEE_FLOAT : KSDATAFORMAT_SUBTYPE_PCM;
}

// The decoded frame, interleaved behind what the block holds so far.
// False when it cannot be brought to the source's format.
bool CDecBuiltinAudio::TakeFrame() {
    const bool taken = Interleave(frame.get());
    av_frame_unref(frame.get());
    return taken;
}

bool CDecBuiltinAudio::Interleave(const AVFrame* decoded) {
    const AVChannelLayout& layout = decoded->ch_layout;
    const int samples = decoded->nb_samples;
    if (samples <= 0)
        return true;
    const bool asIs = decoded->format == sourceSampleFormat &&
                      decoded->sample_rate == static_cast<int>(source.Format.nSamplesPerSec) &&
                      layout.nb_channels == source.Format.nChannels;
    if (asIs) {
        const size_t bytes = static_cast<size_t>(samples) * FrameBytes();
        interleaved.insert(interleaved.end(), decoded->data[0], decoded->data[0] + bytes);
        return true;
    }
    if (!ResamplerTakes(decoded)) {
        SwrContext* made = nullptr;
        AVChannelLayout output{};
        if (source.dwChannelMask)
            av_channel_layout_from_mask(&output, source.dwChannelMask);
        else
            av_channel_layout_default(&output, source.Format.nChannels);
        const int result = swr_alloc_set_opts2(
            &made, &output, static_cast<AVSampleFormat>(sourceSampleFormat),
            static_cast<int>(source.Format.nSamplesPerSec), &layout,
            static_cast<AVSampleFormat>(decoded->format), decoded->sample_rate, 0, nullptr);
        resampler.reset(made);
        if (result < 0 || swr_init(made) < 0) {
            resampler.reset();
            return false;
        }
        resampledFormat = decoded->format;
        resampledRate = decoded->sample_rate;
        resampledChannels = layout.nb_channels;
        resampledMask = ChannelMask(layout);
    }
    Resample(decoded->extended_data, samples);
    return true;
}

bool CDecBuiltinAudio::ResamplerTakes(const AVFrame* decoded) const {
    return resampler && decoded->format == resampledFormat && decoded->sample_rate == resampledRate &&
           decoded->ch_layout.nb_channels == resampledChannels &&
           ChannelMask(decoded->ch_layout) == resampledMask;
}

// nullptr: what the resampler still holds.
void CDecBuiltinAudio::Resample(const uint8_t* const* input, int samples) {
    const int room = swr_get_out_samples(resampler.get(), samples);
    if (room <= 0)
        return;
    const size_t at = interleaved.size();
    interleaved.resize(at + static_cast<size_t>(room) * FrameBytes());
    uint8_t* output = interleaved.data() + at;
    const int converted = swr_convert(resampler.get(), &output, room, input, samples);
    interleaved.resize(at + static_cast<size_t>(std::max(converted, 0)) *
                                FrameBytes());
}

int CDecBuiltinAudio::Read(unsigned char** data, int) {
    if (!codec)
        return -1;
    interleaved.erase(interleaved.begin(), interleaved.begin() + static_cast<std::ptrdiff_t>(handedOut));
    const size_t wanted = kBlockFrames * FrameBytes();
    while (interleaved.size() < wanted && DecodeFrame())
        if (!TakeFrame()) {
            endError = kDecodeAborted;
            ended = true;
        }
    if (ended && resampler)
        Resample(nullptr, 0);
    // Whatever is beyond the exact length goes with this block.
    handedOut = interleaved.size();
    size_t bytes = interleaved.size() - interleaved.size() % FrameBytes();
    if (samplesLeft >= 0) {
        bytes = std::min<size_t>(bytes, static_cast<size_t>(samplesLeft) * FrameBytes());
        samplesLeft -= static_cast<int64_t>(bytes / FrameBytes());
    }
    if (bytes == 0)
        return -1;
    return HandOut(bytes, data);
}

int CDecBuiltinAudio::HandOut(size_t bytes, unsigned char** data) {
    if (!packTo24) {
        *data = interleaved.data();
        return static_cast<int>(bytes);
    }
    const size_t samples = bytes / 4;
    block.resize(samples * 3);
    for (size_t i = 0; i < samples; ++i)
        std::memcpy(&block[3 * i], &interleaved[4 * i + 1], 3);
    *data = block.data();
    return static_cast<int>(block.size());
}

int CDecBuiltinAudio::GetProgress() {
    if (!io || fileSize <= 0)
        return 0;
    const int64_t at = avio_tell(io.get());
    return static_cast<int>(std::clamp<int64_t>(at * 100 / fileSize, 0, 100));
}

std::wstring CDecBuiltinAudio::Describe() const { return L"built-in (" + codecName + L")"; }
