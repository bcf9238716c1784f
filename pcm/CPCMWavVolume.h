#pragma once

// The gain stage every PCM block passes between decoder and encoder.
class CPCMWavVolume {
  public:
    virtual ~CPCMWavVolume() = default;

    // Scales the samples in place by percent/100. Integers (8-bit unsigned,
    // 16, 24 and 32-bit signed) are rounded half up (toward zero for
    // negatives) and clipped to the sample range; floats (32 or 64 bits)
    // are scaled and stay unclipped, as whatever makes integers of them
    // clips. Percent 100 leaves every sample untouched.
    static void* ApplyVolume(void* data, int byteCount, int percent, int bitsPerSample,
                             bool floating = false);
};
