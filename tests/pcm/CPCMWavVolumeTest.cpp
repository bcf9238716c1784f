#include "pcm/CPCMWavVolume.h"
#include <climits>
#include <cstdint>
#include <gtest/gtest.h>
#include <vector>

namespace {

std::vector<int16_t> Apply16(std::vector<int16_t> samples, int percent) {
    CPCMWavVolume::ApplyVolume(samples.data(), static_cast<int>(samples.size() * 2), percent, 16);
    return samples;
}

std::vector<uint8_t> Apply8(std::vector<uint8_t> samples, int percent) {
    CPCMWavVolume::ApplyVolume(samples.data(), static_cast<int>(samples.size()), percent, 8);
    return samples;
}

std::vector<uint8_t> AllBytes() {
    std::vector<uint8_t> bytes(256);
    for (int i = 0; i < 256; ++i)
        bytes[i] = static_cast<uint8_t>(i);
    return bytes;
}

} // namespace

TEST(CPCMWavVolume, HundredPercentLeavesEveryWidthUntouched) {
    std::vector<uint8_t> bytes = AllBytes();
    for (int bits : {8, 16, 24, 32, 64}) {
        for (bool floating : {false, true}) {
            std::vector<uint8_t> copy = bytes;
            EXPECT_EQ(copy.data(), CPCMWavVolume::ApplyVolume(copy.data(), 255, 100, bits, floating));
            EXPECT_EQ(bytes, copy) << bits << " bits";
        }
    }
}

// 24 and 32-bit integers round and clip as 16-bit ones do; floats scale
// and are not clipped.
TEST(CPCMWavVolume, WideIntegersRoundAndClipAndFloatsScale) {
    auto bytesOf = [](const auto& values, int size) {
        std::vector<uint8_t> bytes;
        for (auto value : values)
            for (int at = 0; at < size; ++at)
                bytes.push_back(reinterpret_cast<const uint8_t*>(&value)[at]);
        return bytes;
    };
    const std::vector<int32_t> wide = {3, -3, -5, 8388607, -8388608};
    const struct {
        int bits, percent;
        bool floating;
        std::vector<uint8_t> input, expected;
    } cases[] = {
        {24, 50, false, bytesOf(wide, 3), bytesOf(std::vector<int32_t>{2, -1, -2, 4194304, -4194303}, 3)},
        {24, 200, false, bytesOf(wide, 3), bytesOf(std::vector<int32_t>{6, -5, -9, 8388607, -8388608}, 3)},
        {32, 200, false, bytesOf(std::vector<int32_t>{INT32_MAX, INT32_MIN, -3}, 4),
         bytesOf(std::vector<int32_t>{INT32_MAX, INT32_MIN, -5}, 4)},
        {32, 50, true, bytesOf(std::vector<float>{1.0f, -0.25f}, 4), bytesOf(std::vector<float>{0.5f, -0.125f}, 4)},
        {32, 300, true, bytesOf(std::vector<float>{0.5f}, 4), bytesOf(std::vector<float>{1.5f}, 4)},
        {64, 50, true, bytesOf(std::vector<double>{-1.0}, 8), bytesOf(std::vector<double>{-0.5}, 8)},
    };
    for (const auto& c : cases) {
        std::vector<uint8_t> block = c.input;
        CPCMWavVolume::ApplyVolume(block.data(), static_cast<int>(block.size()), c.percent, c.bits,
                                   c.floating);
        EXPECT_EQ(c.expected, block) << c.bits << " bits at " << c.percent << " %";
    }
}

TEST(CPCMWavVolume, ZeroPercentSilences) {
    EXPECT_EQ((std::vector<int16_t>{0, 0, 0}), Apply16({32767, -32768, 5}, 0));
    EXPECT_EQ((std::vector<uint8_t>{127, 127, 127}), Apply8({0, 255, 128}, 0));
}

TEST(CPCMWavVolume, SixteenBitRoundsHalfUpAndNegativesTowardZero) {
    EXPECT_EQ((std::vector<int16_t>{2, -1, -2, 1, 0}), Apply16({3, -3, -5, 1, 0}, 50));
    // 27 * 0.1 + 0.5 = 3.2; -27 * 0.1 + 0.5 = -2.2
    EXPECT_EQ((std::vector<int16_t>{3, -2}), Apply16({27, -27}, 10));
}

TEST(CPCMWavVolume, SixteenBitClipsToTheSampleRange) {
    EXPECT_EQ((std::vector<int16_t>{32767, -32768, 2000}), Apply16({20000, -20000, 1000}, 200));
}

TEST(CPCMWavVolume, NegativePercentInvertsPolarity) {
    EXPECT_EQ((std::vector<int16_t>{-999, 1000, 32767}), Apply16({1000, -1000, -32768}, -100));
}

TEST(CPCMWavVolume, EightBitScalesAboutCentre127) {
    EXPECT_EQ((std::vector<uint8_t>{128, 127, 191, 64, 127}), Apply8({128, 126, 255, 0, 127}, 50));
    EXPECT_EQ((std::vector<uint8_t>{255, 0, 127, 129}), Apply8({255, 0, 127, 128}, 200));
}

TEST(CPCMWavVolume, ExtremePercentagesClipInsteadOfOverflowing) {
    for (int percent : {INT_MAX, 6553601, -6553600, INT_MIN}) {
        const bool positive = percent > 0;
        EXPECT_EQ((std::vector<int16_t>{positive ? int16_t(32767) : int16_t(-32768),
                                        positive ? int16_t(-32768) : int16_t(32767), 0}),
                  Apply16({1, -1, 0}, percent))
            << percent;
        EXPECT_EQ(
            (std::vector<uint8_t>{uint8_t(positive ? 255 : 0), uint8_t(positive ? 0 : 255), 127}),
            Apply8({128, 126, 127}, percent))
            << percent;
    }
}

TEST(CPCMWavVolume, OddByteCountLeavesTheLastByteAlone) {
    uint8_t block[5] = {0x10, 0x00, 0x20, 0x00, 0x77};
    CPCMWavVolume::ApplyVolume(block, 5, 50, 16);
    EXPECT_EQ(0x08, block[0]);
    EXPECT_EQ(0x10, block[2]);
    EXPECT_EQ(0x77, block[4]);
}

TEST(CPCMWavVolume, EmptyBlocksAndOtherWidthsAreUnchanged) {
    uint8_t one = 200;
    CPCMWavVolume::ApplyVolume(&one, 0, 50, 8);
    EXPECT_EQ(200, one);
    EXPECT_EQ(nullptr, CPCMWavVolume::ApplyVolume(nullptr, 16, 50, 16));

    std::vector<uint8_t> bytes = AllBytes();
    for (int bits : {4, 0}) {
        std::vector<uint8_t> copy = bytes;
        CPCMWavVolume::ApplyVolume(copy.data(), 256, 37, bits);
        EXPECT_EQ(bytes, copy) << bits << " bits";
    }
}

TEST(CPCMWavVolume, WidthComesFromWholeBytes) {
    // 12-bit samples travel in one byte per the width rule; 20-bit in two.
    EXPECT_EQ((std::vector<uint8_t>{191}), [] {
        std::vector<uint8_t> b{255};
        CPCMWavVolume::ApplyVolume(b.data(), 1, 50, 12);
        return b;
    }());
    int16_t sample = 1000;
    CPCMWavVolume::ApplyVolume(&sample, 2, 50, 20);
    EXPECT_EQ(500, sample);
}
