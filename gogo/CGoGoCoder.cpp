#include "CGoGoCoder.h"
#include "CLayer3WaveHeader.h"
#include "PcmUnpack.h"
#include <algorithm>

CGoGoCoder::~CGoGoCoder() {
    if (lame)
        lame_close(lame);
}

int CGoGoCoder::Open(const CGoGoConfig& config) {
    input = config.input;
    output = config.output;
    riffWave = config.riffWave;
    vbr = config.vbr;
    bitrate = vbr ? config.VbrHighest() : config.bitrate;
    outputRate = config.OutputRate();
    blockAlign = static_cast<int>(input.channels * input.bitsPerSample / 8);
    outputChannels = input.channels == 1 || config.mode == GOGO_MODE_MONO ? 1 : 2;
    inputLeft = input.length;
    lame = lame_init();
    if (!lame)
        return GOGO_ERR_MEMORY;
    if (int result = ApplySettings(config))
        return result;
    SizeBuffers();
    return riffWave ? WriteHeader(false) : GOGO_OK;
}

int CGoGoCoder::ApplySettings(const CGoGoConfig& config) {
    lame_set_num_channels(lame, static_cast<int>(input.channels));
    lame_set_in_samplerate(lame, static_cast<int>(input.samplesPerSecond));
    lame_set_out_samplerate(lame, outputRate);
    ApplyMode(input.channels == 1 ? GOGO_MODE_MONO : config.mode);
    if (vbr) {
        lame_set_VBR(lame, vbr_default);
        lame_set_VBR_q(lame, config.vbrQuality);
        lame_set_VBR_min_bitrate_kbps(lame, config.VbrLowest());
        lame_set_VBR_max_bitrate_kbps(lame, config.VbrHighest());
    } else {
        lame_set_VBR(lame, vbr_off);
        lame_set_brate(lame, config.bitrate);
    }
    // Inside a WAVE file every frame must be audio; plain MP3 gets LAME's
    // header frame so players know the length and the gapless trim.
    lame_set_bWriteVbrTag(lame, riffWave ? 0 : 1);
    lame_set_write_id3tag_automatic(lame, 0);
    return lame_init_params(lame) < 0 ? GOGO_ERR_ENCODER : GOGO_OK;
}

void CGoGoCoder::ApplyMode(int mode) {
    static const MPEG_mode kModes[] = {MONO, STEREO, JOINT_STEREO, JOINT_STEREO, DUAL_CHANNEL};
    lame_set_mode(lame, kModes[mode]);
    lame_set_force_ms(lame, mode == GOGO_MODE_MID_SIDE ? 1 : 0);
}

void CGoGoCoder::SizeBuffers() {
    frameSamples = lame_get_framesize(lame);
    pcm.resize(static_cast<size_t>(frameSamples * blockAlign));
    left.resize(static_cast<size_t>(frameSamples));
    right.resize(static_cast<size_t>(frameSamples));
    mp3.resize(static_cast<size_t>(frameSamples * 5 / 4 + 7200)); // LAME's worst case
}

int CGoGoCoder::ProcessFrame() {
    if (!lame)
        return GOGO_ERR_ORDER;
    if (failure)
        return failure;
    if (ended)
        return GOGO_END;
    int frames = 0;
    int last = ReadFrame(&frames);
    UnpackPcm(pcm.data(), frames, static_cast<int>(input.channels),
              static_cast<int>(input.bitsPerSample), left.data(), right.data());
    int* second = input.channels == 2 ? right.data() : left.data();
    int bytes = lame_encode_buffer_int(lame, left.data(), second, frames, mp3.data(),
                                       static_cast<int>(mp3.size()));
    if (bytes < 0)
        return failure = GOGO_ERR_ENCODER;
    samplesRead += static_cast<uint64_t>(frames);
    if (int result = Emit(mp3.data(), bytes))
        return result;
    ended = last != 0;
    return ended ? GOGO_END : GOGO_OK;
}

// One frame's worth of input (less when a known length ends sooner). Returns
// the input function's end flag.
int CGoGoCoder::ReadFrame(int* frames) {
    uint64_t want = pcm.size();
    bool known = input.length != GOGO_UNKNOWN_LENGTH;
    if (known)
        want = std::min(want, inputLeft - inputLeft % static_cast<uint64_t>(blockAlign));
    *frames = static_cast<int>(want / static_cast<uint64_t>(blockAlign));
    if (want == 0)
        return 1;
    int last = input.read(pcm.data(), static_cast<unsigned long>(want));
    if (known) {
        inputLeft -= want;
        if (inputLeft < static_cast<uint64_t>(blockAlign))
            last = 1;
    } else if (last) {
        *frames = WithoutFill(*frames);
    }
    return last;
}

// The input function zero-fills what it cannot deliver: on the last read,
// trailing sample frames of zero bytes are that fill, not audio.
int CGoGoCoder::WithoutFill(int frames) const {
    while (frames > 0) {
        auto first = pcm.begin() + (frames - 1) * blockAlign;
        if (std::any_of(first, first + blockAlign, [](unsigned char b) { return b != 0; }))
            break;
        --frames;
    }
    return frames;
}

int CGoGoCoder::Emit(const unsigned char* bytes, int count) {
    if (count <= 0)
        return GOGO_OK;
    if (output(const_cast<unsigned char*>(bytes), static_cast<unsigned long>(count)) != 0)
        return failure = GOGO_ERR_WRITE;
    streamBytes += static_cast<uint64_t>(count);
    return GOGO_OK;
}

int CGoGoCoder::Close() {
    if (!lame)
        return GOGO_ERR_ORDER;
    int result = failure;
    if (!result) {
        int bytes = lame_encode_flush(lame, mp3.data(), static_cast<int>(mp3.size()));
        result = bytes < 0 ? GOGO_ERR_ENCODER : Emit(mp3.data(), bytes);
    }
    if (!result)
        result = CompleteHeader();
    lame_close(lame);
    lame = nullptr;
    return result;
}

int CGoGoCoder::CompleteHeader() {
    if (riffWave) {
        static unsigned char pad = 0; // RIFF chunks have even sizes
        if (streamBytes % 2 && output(&pad, 1) != 0)
            return GOGO_ERR_WRITE;
        return WriteHeader(true);
    }
    size_t size = lame_get_lametag_frame(lame, mp3.data(), mp3.size());
    if (size == 0 || size > mp3.size())
        return GOGO_OK;
    output(nullptr, 0);
    return output(mp3.data(), static_cast<unsigned long>(size)) ? GOGO_ERR_WRITE : GOGO_OK;
}

// The placeholder at the start carries the sizes known then; the complete one
// replaces it through the output function's rewind.
int CGoGoCoder::WriteHeader(bool complete) {
    CLayer3WaveHeader header;
    header.channels = static_cast<uint16_t>(outputChannels);
    header.samplesPerSecond = static_cast<uint32_t>(outputRate);
    header.codecDelay = static_cast<uint16_t>(lame_get_encoder_delay(lame));
    int perFrame = outputRate >= 32000 ? 144000 : 72000;
    header.blockSize = static_cast<uint16_t>(perFrame * bitrate / outputRate);
    header.averageBytesPerSecond = static_cast<uint32_t>(bitrate * 125);
    if (complete) {
        header.dataSize = static_cast<uint32_t>(std::min<uint64_t>(streamBytes, 0xFFFFFFB8u));
        header.padded = streamBytes % 2 != 0;
        header.sampleLength = SampleLength();
        int frames = lame_get_frameNum(lame);
        if (vbr && frames > 0 && header.sampleLength > 0) {
            header.blockSize = static_cast<uint16_t>(streamBytes / static_cast<uint64_t>(frames));
            header.averageBytesPerSecond = static_cast<uint32_t>(
                streamBytes * static_cast<uint64_t>(outputRate) / header.sampleLength);
        }
        output(nullptr, 0);
    }
    auto bytes = header.Bytes();
    if (output(bytes.data(), CLayer3WaveHeader::Size) != 0)
        return failure = GOGO_ERR_WRITE;
    return GOGO_OK;
}

uint32_t CGoGoCoder::SampleLength() const {
    uint64_t samples = samplesRead * static_cast<uint64_t>(outputRate) / input.samplesPerSecond;
    return static_cast<uint32_t>(std::min<uint64_t>(samples, 0xFFFFFFFFu));
}
