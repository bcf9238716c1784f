#include "pcm/CPcmFormat.h"
#include <gtest/gtest.h>

// A layout read back from its own record, and its text as the user sees it.
TEST(CPcmFormat, ReadsItsOwnRecordAndDescribesIt) {
    const struct {
        DWORD rate;
        int channels, bits;
        bool floating;
        const wchar_t* text;
    } cases[] = {{96000, 6, 24, false, L"96 kHz 24-bit 5.1"},
                 {44100, 2, 16, false, L"44.1 kHz 16-bit stereo"},
                 {48000, 1, 32, true, L"48 kHz 32-bit float mono"},
                 {22050, 8, 8, false, L"22.05 kHz 8-bit 7.1"}};
    for (const auto& c : cases) {
        CPcmFormat format;
        format.rate = c.rate;
        format.channels = c.channels;
        format.bits = c.bits;
        format.floating = c.floating;
        const WAVEFORMATEXTENSIBLE wave = format.Wave();
        EXPECT_EQ(c.channels > 2 || c.bits > 16 ? WAVE_FORMAT_EXTENSIBLE : WAVE_FORMAT_PCM,
                  wave.Format.wFormatTag);
        CPcmFormat read;
        ASSERT_TRUE(CPcmFormat::Read(wave.Format, read)) << c.text;
        EXPECT_TRUE(read.SameSamples(format)) << c.text;
        EXPECT_EQ(c.text, read.Describe());
    }
    WAVEFORMATEX adpcm = {0x0011, 2, 44100, 44100, 2048, 4, 0};
    CPcmFormat none;
    EXPECT_FALSE(CPcmFormat::Read(adpcm, none));
    EXPECT_EQ(L"", DescribeWave(adpcm));
}
