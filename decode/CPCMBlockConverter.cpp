#include "CPCMBlockConverter.h"
#include <cmath>
#include <cstdint>
#include <cstring>
#include <ks.h>
#include <ksmedia.h>

namespace {

// Speaker positions of the wave format's channel mask.
enum : DWORD {
    FrontLeft = 0x1,
    FrontRight = 0x2,
    FrontCenter = 0x4,
    LowFrequency = 0x8,
    BackLeft = 0x10,
    BackRight = 0x20,
    FrontLeftOfCenter = 0x40,
    FrontRightOfCenter = 0x80,
    BackCenter = 0x100,
    SideLeft = 0x200,
    SideRight = 0x400,
};

// The usual layouts for a channel count when the format names none.
DWORD DefaultMask(int channels) {
    switch (channels) {
    case 3:
        return FrontLeft | FrontRight | FrontCenter;
    case 4:
        return FrontLeft | FrontRight | BackLeft | BackRight;
    case 5:
        return FrontLeft | FrontRight | FrontCenter | BackLeft | BackRight;
    case 6:
        return FrontLeft | FrontRight | FrontCenter | LowFrequency | BackLeft | BackRight;
    case 7:
        return FrontLeft | FrontRight | FrontCenter | LowFrequency | BackCenter | SideLeft |
               SideRight;
    case 8:
        return FrontLeft | FrontRight | FrontCenter | LowFrequency | BackLeft | BackRight |
               SideLeft | SideRight;
    default:
        return 0;
    }
}

constexpr double kMinus3dB = 0.70710678118654752;

// Left and right weight of one speaker in a stereo mix-down: centre
// speakers go to both sides at -3 dB, surrounds to their side at -3 dB,
// the low-frequency channel is left out.
void SpeakerWeights(DWORD speaker, double& left, double& right) {
    switch (speaker) {
    case FrontLeft:
    case FrontLeftOfCenter:
        left = 1.0, right = 0.0;
        break;
    case FrontRight:
    case FrontRightOfCenter:
        left = 0.0, right = 1.0;
        break;
    case FrontCenter:
        left = right = kMinus3dB;
        break;
    case LowFrequency:
        left = right = 0.0;
        break;
    case BackLeft:
    case SideLeft:
        left = kMinus3dB, right = 0.0;
        break;
    case BackRight:
    case SideRight:
        left = 0.0, right = kMinus3dB;
        break;
    default:
        left = right = 0.5;
        break; // back centre, top speakers, unnamed channels
    }
}

int16_t ToSigned16(double fullScale) {
    double v = std::floor(fullScale * 32768.0 + 0.5);
    if (v > 32767.0)
        v = 32767.0;
    if (v < -32768.0)
        v = -32768.0;
    return static_cast<int16_t>(v);
}

} // namespace

bool CPCMBlockConverter::Configure(const WAVEFORMATEX* source, size_t formatBytes) {
    if (!source || formatBytes < sizeof(WAVEFORMAT) + sizeof(WORD) || source->nChannels == 0 ||
        source->nChannels > 32)
        return false;
    WORD tag = source->wFormatTag;
    DWORD mask = 0;
    if (tag == WAVE_FORMAT_EXTENSIBLE) {
        if (formatBytes < sizeof(WAVEFORMATEXTENSIBLE))
            return false;
        auto* extensible = reinterpret_cast<const WAVEFORMATEXTENSIBLE*>(source);
        mask = extensible->dwChannelMask;
        if (IsEqualGUID(extensible->SubFormat, KSDATAFORMAT_SUBTYPE_PCM))
            tag = WAVE_FORMAT_PCM;
        else if (IsEqualGUID(extensible->SubFormat, KSDATAFORMAT_SUBTYPE_IEEE_FLOAT))
            tag = WAVE_FORMAT_IEEE_FLOAT;
        else
            return false;
    }
    const int bits = source->wBitsPerSample;
    if (tag == WAVE_FORMAT_PCM && bits == 8)
        kind = SampleKind::Unsigned8;
    else if (tag == WAVE_FORMAT_PCM && bits == 16)
        kind = SampleKind::Signed16;
    else if (tag == WAVE_FORMAT_PCM && bits == 24)
        kind = SampleKind::Signed24;
    else if (tag == WAVE_FORMAT_PCM && bits == 32)
        kind = SampleKind::Signed32;
    else if (tag == WAVE_FORMAT_IEEE_FLOAT && bits == 32)
        kind = SampleKind::Float32;
    else if (tag == WAVE_FORMAT_IEEE_FLOAT && bits == 64)
        kind = SampleKind::Float64;
    else
        return false;

    sourceChannels = source->nChannels;
    bytesPerSample = bits / 8;
    outputChannels = sourceChannels > 2 ? 2 : sourceChannels;
    passThrough = kind == SampleKind::Signed16 && sourceChannels <= 2;
    if (sourceChannels > 2)
        BuildMixdown(mask ? mask : DefaultMask(sourceChannels));
    return true;
}

// Assigns the set bits of the mask to the channels in order; channels
// beyond the mask's speakers count as unnamed. The weights are scaled down
// together so that a full-scale signal on every channel cannot clip.
void CPCMBlockConverter::BuildMixdown(DWORD channelMask) {
    double leftSum = 0.0, rightSum = 0.0;
    DWORD remaining = channelMask;
    for (int channel = 0; channel < sourceChannels; ++channel) {
        DWORD speaker = remaining & (~remaining + 1); // lowest set bit, 0 when none is left
        remaining &= ~speaker;
        SpeakerWeights(speaker, leftWeight[channel], rightWeight[channel]);
        leftSum += leftWeight[channel];
        rightSum += rightWeight[channel];
    }
    double scale = leftSum > rightSum ? leftSum : rightSum;
    if (scale < 1.0)
        scale = 1.0;
    for (int channel = 0; channel < sourceChannels; ++channel) {
        leftWeight[channel] /= scale;
        rightWeight[channel] /= scale;
    }
}

int CPCMBlockConverter::OutputBytes(int inputBytes) const {
    if (passThrough)
        return inputBytes;
    int frames = inputBytes / (bytesPerSample * sourceChannels);
    return frames * outputChannels * 2;
}

// A sample as a fraction of full scale, -1.0 .. just under 1.0.
double CPCMBlockConverter::ReadSample(const BYTE* p) const {
    switch (kind) {
    case SampleKind::Unsigned8:
        return (p[0] - 128) / 128.0;
    case SampleKind::Signed16:
        return static_cast<int16_t>(p[0] | p[1] << 8) / 32768.0;
    case SampleKind::Signed24:
        return static_cast<int32_t>(static_cast<uint32_t>(p[0] << 8 | p[1] << 16 | p[2] << 24)) /
               2147483648.0;
    case SampleKind::Signed32: {
        int32_t v;
        std::memcpy(&v, p, 4);
        return v / 2147483648.0;
    }
    case SampleKind::Float32: {
        float v;
        std::memcpy(&v, p, 4);
        return v;
    }
    case SampleKind::Float64: {
        double v;
        std::memcpy(&v, p, 8);
        return v;
    }
    }
    return 0.0;
}

void CPCMBlockConverter::Convert(const BYTE* input, int inputBytes, BYTE* output) const {
    if (passThrough) {
        std::memcpy(output, input, static_cast<size_t>(inputBytes));
        return;
    }
    const int frameBytes = bytesPerSample * sourceChannels;
    const int frames = inputBytes / frameBytes;
    auto* out = reinterpret_cast<int16_t*>(output);
    for (int frame = 0; frame < frames; ++frame, input += frameBytes) {
        if (sourceChannels <= 2) {
            for (int channel = 0; channel < sourceChannels; ++channel)
                *out++ = ToSigned16(ReadSample(input + channel * bytesPerSample));
            continue;
        }
        double left = 0.0, right = 0.0;
        for (int channel = 0; channel < sourceChannels; ++channel) {
            double sample = ReadSample(input + channel * bytesPerSample);
            left += sample * leftWeight[channel];
            right += sample * rightWeight[channel];
        }
        *out++ = ToSigned16(left);
        *out++ = ToSigned16(right);
    }
}
