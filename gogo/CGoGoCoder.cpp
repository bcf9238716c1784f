#include "CGoGoCoder.h"
#include "CInfoFrame.h"
#include "CLayer3WaveHeader.h"
#include "CSingleEncoder.h"
#include "CSplitEncoder.h"
#include "PcmUnpack.h"
#include <algorithm>

CGoGoCoder::~CGoGoCoder() = default;

int CGoGoCoder::Open(const CGoGoConfig& config) {
    input = config.input;
    countedRead = config.countedRead;
    output = config.output;
    riffWave = config.riffWave;
    vbr = config.vbr;
    bitrate = vbr ? config.HighestBitrate() : config.bitrate;
    outputRate = config.OutputRate();
    blockAlign = static_cast<int>(input.channels * input.bitsPerSample / 8);
    outputChannels = input.channels == 1 || config.mode == GOGO_MODE_MONO ? 1 : 2;
    inputLeft = input.length;
    int result = GOGO_OK;
    if (config.Split()) {
        auto split = std::make_unique<CSplitEncoder>(config, config.Workers());
        result = split->Open();
        frames = std::move(split);
    } else {
        auto single = std::make_unique<CSingleEncoder>();
        result = single->Open(config);
        frames = std::move(single);
    }
    if (result)
        return result;
    SizeBuffers();
    return riffWave ? WriteHeader(false) : GOGO_OK;
}

void CGoGoCoder::SizeBuffers() {
    frameSamples = frames->FrameSamples();
    pcm.resize(static_cast<size_t>(frameSamples * blockAlign));
    left.resize(static_cast<size_t>(frameSamples));
    right.resize(static_cast<size_t>(frameSamples));
}

int CGoGoCoder::ProcessFrame() {
    if (!frames)
        return GOGO_ERR_ORDER;
    if (failure)
        return failure;
    if (ended)
        return GOGO_END;
    int samples = 0;
    int last = ReadFrame(&samples);
    UnpackPcm(pcm.data(), samples, static_cast<int>(input.channels),
              static_cast<int>(input.bitsPerSample), left.data(), right.data());
    mp3.clear();
    if (int result = frames->Encode(left.data(), right.data(), samples, mp3))
        return failure = result;
    samplesRead += static_cast<uint64_t>(samples);
    if (int result = Emit(mp3.data(), static_cast<int>(mp3.size())))
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
    int last = 0;
    if (countedRead) {
        unsigned long delivered = 0;
        last = countedRead(pcm.data(), static_cast<unsigned long>(want), &delivered);
        *frames = static_cast<int>(std::min<uint64_t>(delivered, want) /
                                   static_cast<uint64_t>(blockAlign));
    } else {
        last = input.read(pcm.data(), static_cast<unsigned long>(want));
    }
    if (known) {
        inputLeft -= want;
        if (inputLeft < static_cast<uint64_t>(blockAlign))
            last = 1;
    } else if (last && !countedRead) {
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
    if (!frames)
        return GOGO_ERR_ORDER;
    int result = failure;
    mp3.clear();
    if (!result && samplesRead == 0)
        result = EncodeSilence();
    if (!result)
        result = frames->Flush(mp3);
    if (!result)
        result = Emit(mp3.data(), static_cast<int>(mp3.size()));
    if (!result)
        result = CompleteHeader();
    frames.reset();
    return result;
}

// A decoder looks for two frames in a row before it takes a stream as
// MP3, and LAME flushes an empty input to one: a frame of silence gives it
// more, and the info frame then says that they play no sample.
int CGoGoCoder::EncodeSilence() {
    std::fill(left.begin(), left.end(), 0);
    std::fill(right.begin(), right.end(), 0);
    return frames->Encode(left.data(), right.data(), frameSamples, mp3);
}

std::vector<unsigned char> CGoGoCoder::WithoutSamples(const std::vector<unsigned char>& bytes) const {
    CInfoFrame info;
    if (!info.Read(bytes.data(), bytes.size()))
        return bytes;
    info.SetDelayAndPadding(frames->Delay(), frames->Frames() * frameSamples - frames->Delay());
    return info.Bytes();
}

int CGoGoCoder::CompleteHeader() {
    if (riffWave) {
        static unsigned char pad = 0; // RIFF chunks have even sizes
        if (streamBytes % 2 && output(&pad, 1) != 0)
            return GOGO_ERR_WRITE;
        return WriteHeader(true);
    }
    std::vector<unsigned char> info = frames->InfoFrame();
    if (info.empty())
        return GOGO_OK;
    if (samplesRead == 0)
        info = WithoutSamples(info);
    output(nullptr, 0);
    return output(info.data(), static_cast<unsigned long>(info.size())) ? GOGO_ERR_WRITE : GOGO_OK;
}

// The placeholder at the start carries the sizes known then; the complete one
// replaces it through the output function's rewind.
int CGoGoCoder::WriteHeader(bool complete) {
    CLayer3WaveHeader header;
    header.channels = static_cast<uint16_t>(outputChannels);
    header.samplesPerSecond = static_cast<uint32_t>(outputRate);
    header.codecDelay = static_cast<uint16_t>(frames->Delay());
    int perFrame = outputRate >= 32000 ? 144000 : 72000;
    header.blockSize = static_cast<uint16_t>(perFrame * bitrate / outputRate);
    header.averageBytesPerSecond = static_cast<uint32_t>(bitrate * 125);
    if (complete) {
        header.dataSize = static_cast<uint32_t>(std::min<uint64_t>(streamBytes, 0xFFFFFFB8u));
        header.padded = streamBytes % 2 != 0;
        header.sampleLength = SampleLength();
        const int written = frames->Frames();
        if (vbr && written > 0 && header.sampleLength > 0) {
            header.blockSize = static_cast<uint16_t>(streamBytes / static_cast<uint64_t>(written));
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
