#include "CPCMBlockConverter.h"
#include <algorithm>
#include <cmath>
#include <cstring>
#include <ks.h>
#include <ksmedia.h>

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

namespace {

constexpr double kMinus3dB = 0.70710678118654752;
constexpr uint32_t kDitherSeed = 0x2545F491;

void FreeResampler(SwrContext* resampler) { swr_free(&resampler); }

// Left and right weight of one speaker in a stereo mix-down: centre
// speakers go to both sides at -3 dB, surrounds to their side at -3 dB,
// the low-frequency channel is left out.
void SpeakerWeights(DWORD speaker, double& left, double& right) {
    switch (speaker) {
    case SPEAKER_FRONT_LEFT:
    case SPEAKER_FRONT_LEFT_OF_CENTER:
        left = 1.0, right = 0.0;
        break;
    case SPEAKER_FRONT_RIGHT:
    case SPEAKER_FRONT_RIGHT_OF_CENTER:
        left = 0.0, right = 1.0;
        break;
    case SPEAKER_FRONT_CENTER:
        left = right = kMinus3dB;
        break;
    case SPEAKER_LOW_FREQUENCY:
        left = right = 0.0;
        break;
    case SPEAKER_BACK_LEFT:
    case SPEAKER_SIDE_LEFT:
        left = kMinus3dB, right = 0.0;
        break;
    case SPEAKER_BACK_RIGHT:
    case SPEAKER_SIDE_RIGHT:
        left = 0.0, right = kMinus3dB;
        break;
    default:
        left = right = 0.5;
        break; // back centre, top speakers, unnamed channels
    }
}

// Where each channel of the usual wave layouts goes in Vorbis's order
// (front left, centre, front right, surrounds, low frequency last).
int VorbisPosition(int channels, int channel) {
    static const int kOrder[9][8] = {{0},
                                     {0},
                                     {0, 1},
                                     {0, 2, 1},
                                     {0, 1, 2, 3},
                                     {0, 2, 1, 3, 4},
                                     {0, 2, 1, 5, 3, 4},
                                     {0, 2, 1, 6, 5, 3, 4},
                                     {0, 2, 1, 7, 5, 6, 3, 4}};
    return channels <= 8 ? kOrder[channels][channel] : channel;
}

bool KnownSamples(const CPcmFormat& format) {
    return format.floating ? format.bits == 32 || format.bits == 64
                           : format.bits == 8 || format.bits == 16 || format.bits == 24 ||
                                 format.bits == 32;
}

} // namespace

CPCMBlockConverter::CPCMBlockConverter() : resampler(nullptr, FreeResampler) {}
CPCMBlockConverter::~CPCMBlockConverter() = default;

bool CPCMBlockConverter::Configure(const CPcmFormat& from, const CPcmFormat& to) {
    if (!KnownSamples(from) || !KnownSamples(to) || from.channels < 1 || from.channels > 32 ||
        to.channels < 1 || to.channels > from.channels || (to.channels < from.channels && to.channels > 2))
        return false;
    source = from;
    target = to;
    passThrough = source.SameSamples(target);
    // Rounding a signal with more resolution than the target holds to its
    // nearest step leaves distortion that follows the signal; dither turns
    // it into a steady noise floor. 24 bits and more need none.
    steps = std::ldexp(1.0, target.bits - 1);
    dither = !target.floating && target.bits <= 16 &&
             (source.floating || source.bits > target.bits || source.rate != target.rate);
    BuildChannelMap();
    Restart();
    return !passThrough && source.rate != target.rate ? resampler != nullptr : true;
}

void CPCMBlockConverter::Restart() {
    seed = kDitherSeed;
    resampler.reset();
    if (passThrough || source.rate == target.rate)
        return;
    SwrContext* made = nullptr;
    AVChannelLayout layout{};
    av_channel_layout_default(&layout, target.channels);
    if (swr_alloc_set_opts2(&made, &layout, AV_SAMPLE_FMT_DBL, static_cast<int>(target.rate), &layout,
                            AV_SAMPLE_FMT_DBL, static_cast<int>(source.rate), 0, nullptr) < 0)
        return;
    resampler.reset(made);
    // Its best: a long filter, finely interpolated.
    av_opt_set_int(made, "filter_size", 64, 0);
    av_opt_set_int(made, "phase_shift", 14, 0);
    av_opt_set_int(made, "linear_interp", 1, 0);
    av_opt_set_int(made, "exact_rational", 1, 0);
    if (swr_init(made) < 0)
        resampler.reset();
}

// Channels kept go to their place (in Vorbis's order where the target asks);
// a mix-down assigns the mask's speakers to the channels in order, and the
// weights are scaled down together so that full scale on every channel
// cannot clip.
void CPCMBlockConverter::BuildChannelMap() {
    const int from = source.channels, to = target.channels;
    weights.assign(static_cast<size_t>(from * to), 0.0);
    if (from == to) {
        const bool vorbis = target.order == CPcmFormat::Order::Vorbis &&
                            source.order == CPcmFormat::Order::Wave;
        for (int channel = 0; channel < from; ++channel)
            weights[(vorbis ? VorbisPosition(from, channel) : channel) * from + channel] = 1.0;
        return;
    }
    double sums[2] = {};
    DWORD remaining = source.Speakers();
    for (int channel = 0; channel < from; ++channel) {
        const DWORD speaker = remaining & (~remaining + 1); // lowest set bit, 0 when none is left
        remaining &= ~speaker;
        double left = 0.5, right = 0.5;
        if (from > 2)
            SpeakerWeights(speaker, left, right);
        if (to == 1)
            left = right = (left + right) / 2;
        weights[channel] = left;
        sums[0] += left;
        if (to == 2) {
            weights[from + channel] = right;
            sums[1] += right;
        }
    }
    const double scale = std::max(1.0, std::max(sums[0], sums[1]));
    for (double& weight : weights)
        weight /= scale;
}

// A sample as a fraction of full scale, -1.0 .. just under 1.0.
double CPCMBlockConverter::Read(const unsigned char* p) const {
    switch (source.bits + (source.floating ? 1 : 0)) {
    case 8:
        return (p[0] - 128) / 128.0;
    case 16:
        return static_cast<int16_t>(p[0] | p[1] << 8) / 32768.0;
    case 24:
        return static_cast<int32_t>(static_cast<uint32_t>(p[0] << 8 | p[1] << 16 | p[2] << 24)) /
               2147483648.0;
    case 32: {
        int32_t v;
        std::memcpy(&v, p, 4);
        return v / 2147483648.0;
    }
    case 33: {
        float v;
        std::memcpy(&v, p, 4);
        return v;
    }
    default: {
        double v;
        std::memcpy(&v, p, 8);
        return v;
    }
    }
}

// Triangular noise of one step's width either side, from two uniform draws.
double CPCMBlockConverter::Dither() {
    auto next = [this] {
        seed ^= seed << 13;
        seed ^= seed >> 17;
        seed ^= seed << 5;
        return seed / 4294967296.0;
    };
    const double first = next();
    return first - next();
}

void CPCMBlockConverter::Write(double sample, unsigned char* out) {
    if (target.floating) {
        if (target.bits == 32) {
            const float single = static_cast<float>(sample);
            std::memcpy(out, &single, 4);
        } else {
            std::memcpy(out, &sample, 8);
        }
        return;
    }
    double v = std::floor(sample * steps + (dither ? Dither() : 0.0) + 0.5);
    v = std::min(steps - 1, std::max(-steps, v));
    const int64_t value = static_cast<int64_t>(v) + (target.bits == 8 ? 128 : 0);
    for (int byte = 0; byte < target.BytesPerSample(); ++byte)
        out[byte] = static_cast<unsigned char>(value >> (8 * byte));
}

int CPCMBlockConverter::Quantize(const double* samples, size_t count) {
    const size_t size = static_cast<size_t>(target.BytesPerSample());
    block.resize(count * size);
    for (size_t i = 0; i < count; ++i)
        Write(samples[i], block.data() + i * size);
    return static_cast<int>(block.size());
}

int CPCMBlockConverter::Resample(const double* samples, int frames) {
    if (!resampler)
        return 0;
    const int room = swr_get_out_samples(resampler.get(), frames);
    if (room <= 0)
        return 0;
    resampled.resize(static_cast<size_t>(room) * target.channels);
    auto* out = reinterpret_cast<uint8_t*>(resampled.data());
    auto* in = reinterpret_cast<const uint8_t*>(samples);
    const int made = swr_convert(resampler.get(), &out, room, samples ? &in : nullptr, frames);
    return made > 0 ? Quantize(resampled.data(), static_cast<size_t>(made) * target.channels) : 0;
}

int CPCMBlockConverter::Convert(unsigned char* input, int inputBytes, unsigned char** output) {
    const int frames = inputBytes / source.BytesPerFrame();
    if (passThrough) {
        *output = input;
        return frames * source.BytesPerFrame();
    }
    const int from = source.channels, to = target.channels, size = source.BytesPerSample();
    mixed.resize(static_cast<size_t>(frames) * to);
    double frame[32];
    for (int at = 0; at < frames; ++at, input += source.BytesPerFrame()) {
        for (int channel = 0; channel < from; ++channel)
            frame[channel] = Read(input + channel * size);
        for (int out = 0; out < to; ++out) {
            double sum = 0.0;
            for (int channel = 0; channel < from; ++channel)
                sum += frame[channel] * weights[out * from + channel];
            mixed[static_cast<size_t>(at) * to + out] = sum;
        }
    }
    const int bytes = resampler ? Resample(mixed.data(), frames) : Quantize(mixed.data(), mixed.size());
    *output = block.data();
    return bytes;
}

int CPCMBlockConverter::Flush(unsigned char** output) {
    const int bytes = Resample(nullptr, 0);
    *output = block.data();
    return bytes;
}
