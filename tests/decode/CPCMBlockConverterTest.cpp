#include "decode/CPCMBlockConverter.h"
#include <cstring>
#include <gtest/gtest.h>
#include <ks.h>
#include <ksmedia.h>
#include <vector>

namespace {

WAVEFORMATEX Format(WORD tag, int channels, int bits) {
    WAVEFORMATEX format = {};
    format.wFormatTag = tag;
    format.nChannels = static_cast<WORD>(channels);
    format.nSamplesPerSec = 48000;
    format.wBitsPerSample = static_cast<WORD>(bits);
    format.nBlockAlign = static_cast<WORD>(channels * bits / 8);
    format.nAvgBytesPerSec = format.nBlockAlign * 48000;
    return format;
}

WAVEFORMATEXTENSIBLE Extensible(const GUID& subFormat, int channels, int bits, DWORD mask) {
    WAVEFORMATEXTENSIBLE format = {};
    format.Format = Format(WAVE_FORMAT_EXTENSIBLE, channels, bits);
    format.Format.cbSize = 22;
    format.Samples.wValidBitsPerSample = static_cast<WORD>(bits);
    format.dwChannelMask = mask;
    format.SubFormat = subFormat;
    return format;
}

template <class Sample>
std::vector<int16_t> Convert(const CPCMBlockConverter& converter, const std::vector<Sample>& in) {
    int inputBytes = static_cast<int>(in.size() * sizeof(Sample));
    std::vector<int16_t> out(static_cast<size_t>(converter.OutputBytes(inputBytes)) / 2);
    converter.Convert(reinterpret_cast<const BYTE*>(in.data()), inputBytes,
                      reinterpret_cast<BYTE*>(out.data()));
    return out;
}

std::vector<uint8_t> Pack24(const std::vector<int32_t>& values) {
    std::vector<uint8_t> bytes;
    for (int32_t v : values)
        for (int shift : {0, 8, 16})
            bytes.push_back(static_cast<uint8_t>(v >> shift));
    return bytes;
}

} // namespace

TEST(CPCMBlockConverter, SixteenBitMonoAndStereoPassUnchanged) {
    for (int channels : {1, 2}) {
        CPCMBlockConverter converter;
        WAVEFORMATEX format = Format(WAVE_FORMAT_PCM, channels, 16);
        ASSERT_TRUE(converter.Configure(&format, sizeof(format)));
        EXPECT_TRUE(converter.IsPassThrough());
        std::vector<int16_t> samples = {1, -2, 32767, -32768};
        EXPECT_EQ(samples, Convert(converter, samples));
    }
}

TEST(CPCMBlockConverter, EightBitIsCentredOn128) {
    CPCMBlockConverter converter;
    WAVEFORMATEX format = Format(WAVE_FORMAT_PCM, 1, 8);
    ASSERT_TRUE(converter.Configure(&format, sizeof(format)));
    EXPECT_FALSE(converter.IsPassThrough());
    EXPECT_EQ((std::vector<int16_t>{-32768, 0, 32512, -256}),
              Convert(converter, std::vector<uint8_t>{0, 128, 255, 127}));
}

TEST(CPCMBlockConverter, TwentyFourBitRoundsToNearestAndClips) {
    CPCMBlockConverter converter;
    WAVEFORMATEX format = Format(WAVE_FORMAT_PCM, 2, 24);
    ASSERT_TRUE(converter.Configure(&format, sizeof(format)));
    EXPECT_EQ((std::vector<int16_t>{32767, -32768, 2, 1, -1, 0}),
              Convert(converter, Pack24({0x7FFFFF, -0x800000, 384, 383, -383, 127})));
}

TEST(CPCMBlockConverter, ThirtyTwoBitIntegersAndFloats) {
    CPCMBlockConverter integers, singles, doubles;
    WAVEFORMATEX int32 = Format(WAVE_FORMAT_PCM, 2, 32);
    WAVEFORMATEX float32 = Format(WAVE_FORMAT_IEEE_FLOAT, 2, 32);
    WAVEFORMATEX float64 = Format(WAVE_FORMAT_IEEE_FLOAT, 1, 64);
    ASSERT_TRUE(integers.Configure(&int32, sizeof(int32)));
    ASSERT_TRUE(singles.Configure(&float32, sizeof(float32)));
    ASSERT_TRUE(doubles.Configure(&float64, sizeof(float64)));
    EXPECT_EQ((std::vector<int16_t>{32767, -32768, 1, 0}),
              Convert(integers, std::vector<int32_t>{INT32_MAX, INT32_MIN, 65536, 32767}));
    EXPECT_EQ((std::vector<int16_t>{32767, -32768, 16384, -16384, 32767, -32768}),
              Convert(singles, std::vector<float>{1.0f, -1.0f, 0.5f, -0.5f, 3.0f, -3.0f}));
    EXPECT_EQ((std::vector<int16_t>{8192, -32768}),
              Convert(doubles, std::vector<double>{0.25, -7.0}));
}

TEST(CPCMBlockConverter, ExtensibleFormatsAreReadByTheirSubFormat) {
    CPCMBlockConverter pcm, ieee;
    WAVEFORMATEXTENSIBLE pcm24 = Extensible(KSDATAFORMAT_SUBTYPE_PCM, 2, 24, 0x3);
    WAVEFORMATEXTENSIBLE float32 = Extensible(KSDATAFORMAT_SUBTYPE_IEEE_FLOAT, 1, 32, 0x4);
    ASSERT_TRUE(pcm.Configure(&pcm24.Format, sizeof(pcm24)));
    ASSERT_TRUE(ieee.Configure(&float32.Format, sizeof(float32)));
    EXPECT_EQ((std::vector<int16_t>{256, -256}), Convert(pcm, Pack24({65536, -65536})));
    EXPECT_EQ((std::vector<int16_t>{-16384}), Convert(ieee, std::vector<float>{-0.5f}));
    // An extensible header cut short is not trusted.
    EXPECT_FALSE(pcm.Configure(&pcm24.Format, sizeof(WAVEFORMATEX)));
}

TEST(CPCMBlockConverter, LayoutsThatCannotBecomePcmAreRefused) {
    CPCMBlockConverter converter;
    WAVEFORMATEX adpcm = Format(0x0011, 2, 4);
    WAVEFORMATEX twelveBit = Format(WAVE_FORMAT_PCM, 2, 12);
    WAVEFORMATEX noChannels = Format(WAVE_FORMAT_PCM, 0, 16);
    WAVEFORMATEXTENSIBLE otherSub = Extensible(KSDATAFORMAT_SUBTYPE_ALAW, 2, 8, 3);
    EXPECT_FALSE(converter.Configure(&adpcm, sizeof(adpcm)));
    EXPECT_FALSE(converter.Configure(&twelveBit, sizeof(twelveBit)));
    EXPECT_FALSE(converter.Configure(&noChannels, sizeof(noChannels)));
    EXPECT_FALSE(converter.Configure(&otherSub.Format, sizeof(otherSub)));
    EXPECT_FALSE(converter.Configure(nullptr, 0));
}

TEST(CPCMBlockConverter, SurroundIsMixedDownWithoutClipping) {
    CPCMBlockConverter converter;
    WAVEFORMATEXTENSIBLE surround = Extensible(KSDATAFORMAT_SUBTYPE_PCM, 6, 16, 0x3F);
    ASSERT_TRUE(converter.Configure(&surround.Format, sizeof(surround)));
    // Order: front left, front right, centre, low frequency, back left, back right.
    const int16_t full = 32767;
    std::vector<int16_t> frames = {
        full, 0,    0,    0,    0,    0,    // front left only
        0,    0,    full, 0,    0,    0,    // centre only
        0,    0,    0,    full, 0,    0,    // low frequency only
        0,    0,    0,    0,    0,    full, // back right only
        full, full, full, full, full, full, // everything at once
    };
    std::vector<int16_t> out = Convert(converter, frames);
    ASSERT_EQ(10u, out.size());
    const double scale = 1.0 + 2 * 0.70710678;
    EXPECT_NEAR(full / scale, out[0], 1);
    EXPECT_EQ(0, out[1]);
    EXPECT_EQ(out[2], out[3]);
    EXPECT_NEAR(full * 0.70710678 / scale, out[2], 1);
    EXPECT_EQ(0, out[4]);
    EXPECT_EQ(0, out[5]);
    EXPECT_EQ(0, out[6]);
    EXPECT_NEAR(full * 0.70710678 / scale, out[7], 1);
    EXPECT_NEAR(full, out[8], 1);
    EXPECT_NEAR(full, out[9], 1);
}

TEST(CPCMBlockConverter, PlainQuadUsesTheUsualSpeakerOrder) {
    CPCMBlockConverter converter;
    WAVEFORMATEX quad = Format(WAVE_FORMAT_PCM, 4, 16);
    ASSERT_TRUE(converter.Configure(&quad, sizeof(quad)));
    std::vector<int16_t> out = Convert(converter, std::vector<int16_t>{0, 0, 10000, 0});
    ASSERT_EQ(2u, out.size());
    EXPECT_NEAR(10000 * 0.70710678 / 1.70710678, out[0], 1);
    EXPECT_EQ(0, out[1]);
}

TEST(CPCMBlockConverter, APartialLastFrameIsDropped) {
    CPCMBlockConverter converter;
    WAVEFORMATEX format = Format(WAVE_FORMAT_PCM, 2, 24);
    ASSERT_TRUE(converter.Configure(&format, sizeof(format)));
    EXPECT_EQ(4, converter.OutputBytes(7));
    EXPECT_EQ(0, converter.OutputBytes(5));
}
