#pragma once

// The gain stage every PCM block passes between decoder and encoder.
class CPCMWavVolume {
  public:
    virtual ~CPCMWavVolume() = default;

    // Scales 16-bit signed or 8-bit unsigned samples in place by percent/100,
    // rounding half up (toward zero for negatives) and clipping to the sample
    // range. Percent 100 and other sample widths leave the data untouched.
    static void* ApplyVolume(void* data, int byteCount, int percent, int bitsPerSample);
};
