#include "decode/CPCMBlockConverter.h"
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <ks.h>
#include <ksmedia.h>
#include <vector>

namespace {

CPcmFormat Format(int bits, int channels, bool floating = false, DWORD rate = 48000) {
    CPcmFormat format;
    format.bits = bits;
    format.channels = channels;
    format.floating = floating;
    format.rate = rate;
    return format;
}

template <class Sample>
std::vector<unsigned char> Bytes(const std::vector<Sample>& samples) {
    std::vector<unsigned char> bytes(samples.size() * sizeof(Sample));
    std::memcpy(bytes.data(), samples.data(), bytes.size());
    return bytes;
}

std::vector<unsigned char> Pack24(const std::vector<int32_t>& values) {
    std::vector<unsigned char> bytes;
    for (int32_t v : values)
        for (int shift : {0, 8, 16})
            bytes.push_back(static_cast<unsigned char>(v >> shift));
    return bytes;
}

std::vector<int32_t> Unpack(const std::vector<unsigned char>& bytes, int size) {
    std::vector<int32_t> values;
    for (size_t at = 0; at + size <= bytes.size(); at += size) {
        uint32_t raw = 0;
        std::memcpy(&raw, &bytes[at], size);
        values.push_back(static_cast<int32_t>(raw << (32 - 8 * size)) >> (32 - 8 * size));
    }
    return values;
}

// The whole stream through the converter, its held-back rest included.
std::vector<unsigned char> ConvertAll(CPCMBlockConverter& converter, std::vector<unsigned char> input) {
    unsigned char* out = nullptr;
    const int count = converter.Convert(input.data(), static_cast<int>(input.size()), &out);
    std::vector<unsigned char> result(out, out + count);
    const int rest = converter.Flush(&out);
    result.insert(result.end(), out, out + rest);
    return result;
}

} // namespace

TEST(CPCMBlockConverter, TheSameLayoutPassesUntouchedAndAPartialFrameIsDropped) {
    CPCMBlockConverter converter;
    ASSERT_TRUE(converter.Configure(Format(24, 2), Format(24, 2)));
    EXPECT_TRUE(converter.IsPassThrough());
    std::vector<unsigned char> block = Pack24({1, -2, 3});
    block.push_back(9);
    unsigned char* out = nullptr;
    EXPECT_EQ(6, converter.Convert(block.data(), static_cast<int>(block.size()), &out));
    EXPECT_EQ(block.data(), out);
}

// Wider integers and floats to 24 bits and to 16 without reduction: rounded
// to nearest and clipped, never truncated.
TEST(CPCMBlockConverter, DepthsRoundToNearestAndClip) {
    const struct {
        CPcmFormat from, to;
        std::vector<unsigned char> input;
        std::vector<int32_t> expected;
    } cases[] = {
        {Format(32, 1), Format(24, 1), Bytes<int32_t>({INT32_MAX, INT32_MIN, 383, 384, -384, -385}),
         {8388607, -8388608, 1, 2, -1, -2}},
        {Format(32, 1, true), Format(24, 1), Bytes<float>({1.0f, -1.0f, 3.0f, 0.5f, 1.4f / 8388608}),
         {8388607, -8388608, 8388607, 4194304, 1}},
        {Format(64, 1, true), Format(24, 1), Bytes<double>({-7.0, 0.25}), {-8388608, 2097152}},
        {Format(8, 1), Format(16, 1), {0, 128, 255, 127}, {-32768, 0, 32512, -256}},
        {Format(16, 1), Format(24, 1), Bytes<int16_t>({-32768, 1}), {-8388608, 256}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.from.bits);
        CPCMBlockConverter converter;
        ASSERT_TRUE(converter.Configure(c.from, c.to));
        EXPECT_EQ(c.expected, Unpack(ConvertAll(converter, c.input), c.to.BytesPerSample()));
    }
}

// Reduced to 16 bits the signal keeps what lies below the last bit on
// average (plain rounding would give 0 throughout), within one step of
// rounding; the same input gives the same bytes, also on a second pass.
TEST(CPCMBlockConverter, ReductionToSixteenBitsIsDitheredFromAFixedSeed) {
    CPCMBlockConverter converter;
    ASSERT_TRUE(converter.Configure(Format(24, 1), Format(16, 1)));
    const std::vector<unsigned char> input = Pack24(std::vector<int32_t>(20000, 64)); // 0.25 step
    const std::vector<unsigned char> first = ConvertAll(converter, input);
    double sum = 0;
    for (int32_t value : Unpack(first, 2)) {
        EXPECT_LE(std::abs(value), 1);
        sum += value;
    }
    EXPECT_NEAR(0.25, sum / 20000, 0.03);
    converter.Restart();
    EXPECT_EQ(first, ConvertAll(converter, input));
}

TEST(CPCMBlockConverter, SurroundIsMixedDownWithoutClippingAndTheLowFrequencyLeftOut) {
    CPCMBlockConverter converter;
    ASSERT_TRUE(converter.Configure(Format(16, 6), Format(16, 2)));
    // Order: front left, front right, centre, low frequency, back left, back right.
    const int16_t full = 32767;
    const std::vector<int16_t> frames = {
        full, 0,    0,    0,    0,    0,    // front left only
        0,    0,    full, 0,    0,    0,    // centre only
        0,    0,    0,    full, 0,    0,    // low frequency only
        0,    0,    0,    0,    0,    full, // back right only
        full, full, full, full, full, full, // everything at once
    };
    const std::vector<int32_t> out = Unpack(ConvertAll(converter, Bytes(frames)), 2);
    const double scale = 1.0 + 2 * 0.70710678, centre = full * 0.70710678 / scale;
    const std::vector<double> expected = {full / scale, 0, centre, centre, 0, 0, 0, centre, full, full};
    ASSERT_EQ(expected.size(), out.size());
    for (size_t i = 0; i < out.size(); ++i)
        EXPECT_NEAR(expected[i], out[i], 1) << i;
}

// Vorbis's order for 5.1: front left, centre, front right, back left,
// back right, low frequency.
TEST(CPCMBlockConverter, AVorbisOrderEncoderGetsItsChannelOrder) {
    CPcmFormat vorbis = Format(32, 6, true);
    vorbis.order = CPcmFormat::Order::Vorbis;
    CPCMBlockConverter converter;
    ASSERT_TRUE(converter.Configure(Format(16, 6), vorbis));
    const std::vector<unsigned char> out = ConvertAll(converter, Bytes<int16_t>({1, 2, 3, 4, 5, 6}));
    std::vector<float> samples(6);
    ASSERT_EQ(out.size(), 24u);
    std::memcpy(samples.data(), out.data(), out.size());
    for (int i = 0; i < 6; ++i)
        EXPECT_FLOAT_EQ(std::vector<float>({1, 3, 2, 5, 6, 4})[i] / 32768, samples[i]);
}

// One second at 96 kHz is one at 44.1 kHz, within a sample, at its level.
TEST(CPCMBlockConverter, ARateChangeKeepsLengthAndLevel) {
    std::vector<int32_t> sine(96000);
    for (size_t i = 0; i < sine.size(); ++i)
        sine[i] = static_cast<int32_t>(4000000 * std::sin(2 * 3.14159265358979 * 1000 * i / 96000.0));
    CPCMBlockConverter converter;
    ASSERT_TRUE(converter.Configure(Format(24, 1, false, 96000), Format(24, 1, false, 44100)));
    const std::vector<int32_t> out = Unpack(ConvertAll(converter, Pack24(sine)), 3);
    EXPECT_NEAR(44100.0, static_cast<double>(out.size()), 1.0);
    double power = 0;
    for (size_t i = 1000; i + 1000 < out.size(); ++i)
        power += static_cast<double>(out[i]) * out[i];
    EXPECT_NEAR(4000000 / std::sqrt(2.0), std::sqrt(power / (out.size() - 2000)), 4000);
}

TEST(CPCMBlockConverter, PairsItCannotConvertAreRefused) {
    CPCMBlockConverter converter;
    EXPECT_FALSE(converter.Configure(Format(12, 2), Format(16, 2)));
    EXPECT_FALSE(converter.Configure(Format(16, 2), Format(16, 6)));
    EXPECT_FALSE(converter.Configure(Format(16, 6), Format(16, 4)));
}
