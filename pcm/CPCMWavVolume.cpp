#include "CPCMWavVolume.h"
#include <cstdint>

namespace {

// Truncation toward zero after the half is added. The value is clamped in
// double first, which clips exactly like clamping the truncated int but
// never converts an out-of-range double (any percentage is accepted).
int RoundClamped(double scaled, double low, double high) {
    double v = scaled + 0.5;
    if (v > high)
        v = high;
    if (v < low)
        v = low;
    return static_cast<int>(v);
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

} // namespace

void* CPCMWavVolume::ApplyVolume(void* data, int byteCount, int percent, int bitsPerSample) {
    if (percent == 100 || !data || byteCount <= 0)
        return data;
    const double factor = percent / 100.0;
    switch (bitsPerSample >> 3) {
    case 2:
        Scale16(static_cast<int16_t*>(data), byteCount / 2, factor);
        break;
    case 1:
        Scale8(static_cast<uint8_t*>(data), byteCount, factor);
        break;
    default:
        break;
    }
    return data;
}
