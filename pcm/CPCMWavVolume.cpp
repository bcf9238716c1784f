#include "CPCMWavVolume.h"
#include <cstdint>
#include <cstring>

namespace {

// Truncation toward zero after the half is added. The value is clamped in
// double first, which clips exactly like clamping the truncated int but
// never converts an out-of-range double (any percentage is accepted).
int64_t RoundClamped(double scaled, double low, double high) {
    double v = scaled + 0.5;
    if (v > high)
        v = high;
    if (v < low)
        v = low;
    return static_cast<int64_t>(v);
}

void Scale16(int16_t* samples, int count, double factor) {
    for (int i = 0; i < count; ++i)
        samples[i] = static_cast<int16_t>(RoundClamped(samples[i] * factor, -32768.0, 32767.0));
}

// 8-bit samples are unsigned about a centre of 127.
void Scale8(uint8_t* samples, int count, double factor) {
    for (int i = 0; i < count; ++i)
        samples[i] =
            static_cast<uint8_t>(RoundClamped((samples[i] - 127) * factor, -127.0, 128.0) + 127);
}

// Little-endian samples of 3 or 4 bytes, whatever their alignment.
void ScaleWide(unsigned char* bytes, int count, int size, double factor) {
    const double high = size == 3 ? 8388607.0 : 2147483647.0;
    for (int i = 0; i < count; ++i, bytes += size) {
        uint32_t raw = 0;
        std::memcpy(&raw, bytes, static_cast<size_t>(size));
        const int32_t sample = static_cast<int32_t>(raw << (32 - 8 * size)) >> (32 - 8 * size);
        const auto scaled = static_cast<uint32_t>(RoundClamped(sample * factor, -high - 1, high));
        std::memcpy(bytes, &scaled, static_cast<size_t>(size));
    }
}

template <class Float>
void ScaleFloat(unsigned char* bytes, int count, double factor) {
    for (int i = 0; i < count; ++i, bytes += sizeof(Float)) {
        Float sample;
        std::memcpy(&sample, bytes, sizeof sample);
        sample = static_cast<Float>(sample * factor);
        std::memcpy(bytes, &sample, sizeof sample);
    }
}

} // namespace

void* CPCMWavVolume::ApplyVolume(void* data, int byteCount, int percent, int bitsPerSample,
                                 bool floating) {
    if (percent == 100 || !data || byteCount <= 0)
        return data;
    const double factor = percent / 100.0;
    auto* bytes = static_cast<unsigned char*>(data);
    const int width = bitsPerSample >> 3;
    if (floating) {
        if (width == 4)
            ScaleFloat<float>(bytes, byteCount / 4, factor);
        else if (width == 8)
            ScaleFloat<double>(bytes, byteCount / 8, factor);
        return data;
    }
    switch (width) {
    case 1:
        Scale8(bytes, byteCount, factor);
        break;
    case 2:
        Scale16(static_cast<int16_t*>(data), byteCount / 2, factor);
        break;
    case 3:
    case 4:
        ScaleWide(bytes, byteCount / width, width, factor);
        break;
    default:
        break;
    }
    return data;
}
