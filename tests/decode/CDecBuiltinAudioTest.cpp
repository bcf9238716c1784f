// The built-in decoder against the host's own decoding of the same inputs,
// and the one choice between it and the system's filters.
#include "decode/CDecAnyAudio.h"
#include "decode/CDecBuiltinAudio.h"
#include "DecodedFile.h"
#include <algorithm>
#include "TestMedia.h"
#include "framework/CComInitialiser.h"
#include <gtest/gtest.h>

namespace {

class BuiltinDecoder : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!MediaAvailable())
            GTEST_SKIP() << "ZEP_TEST_MEDIA is not set";
    }
    CComInitialiser com; // for the system's filters
};

} // namespace

// Every layout comes in the source's own rate, channels and sample type
// (17 to 24 bits packed to 24), the whole file with its progress; brought to
// 16-bit stereo it is the host's conversion (exactly, or within rounding
// and dither).
TEST_F(BuiltinDecoder, EveryLayoutComesAsTheSourceHasIt) {
    const struct {
        const char* file;
        const char* reference;
        int channels, bits;
        bool floating;
        DWORD rate;
        int tolerance;
    } cases[] = {
        {"s16_stereo_44k.wav", "s16_stereo_44k.ref.raw", 2, 16, false, 44100, 0},
        {"s16_stereo_44k.flac", "s16_stereo_44k.ref.raw", 2, 16, false, 44100, 0},
        {"u8_mono_22k.wav", "u8_mono_22k.ref.raw", 1, 8, false, 22050, 0},
        {"s24_stereo_48k.wav", "s24_stereo_48k.ref.raw", 2, 24, false, 48000, 2},
        {"f32_stereo_44k.wav", "f32_stereo_44k.ref.raw", 2, 32, true, 44100, 2},
        {"s16_6ch_48k.wav", "s16_6ch_48k.ref.raw", 6, 16, false, 48000, 2},
        {"s16_stereo_44k.mp3", "s16_stereo_44k.mp3.ref.raw", 2, 32, true, 44100, 2},
        {"s16_stereo_44k.ogg", "s16_stereo_44k.ogg.ref.raw", 2, 32, true, 44100, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        CDecBuiltinAudio decoder;
        ASSERT_EQ(0, decoder.Open(MediaPath(c.file).c_str()));
        CPcmFormat handed;
        ASSERT_TRUE(CPcmFormat::Read(*decoder.GetFormat(), handed));
        EXPECT_EQ(c.channels, handed.channels);
        EXPECT_EQ(c.bits, handed.bits);
        EXPECT_EQ(c.floating, handed.floating);
        EXPECT_EQ(0u, decoder.Describe().find(L"built-in ("));
        Decoded decoded;
        decoded.format = handed.Wave();
        ReadToEnd(decoder, decoded);
        EXPECT_EQ(0, decoded.endError);
        EXPECT_EQ(100, decoded.progress.back());
        const std::vector<int16_t> reference = ReadRawSamples(c.reference);
        const std::vector<int16_t> samples = SixteenBitOf(decoded, std::min(c.channels, 2), c.rate);
        EXPECT_EQ(reference.size(), samples.size());
        EXPECT_LE(MaxDifference(reference, samples), c.tolerance);
    }
}

// What is no audio, or not there, does not open; a second file opens on
// the same decoder as the first did.
TEST_F(BuiltinDecoder, WhatIsNotAudioFailsToOpenAndTheDecoderOpensAgain) {
    CDecBuiltinAudio decoder;
    for (const char* file : {"not_audio.txt", "empty.wav", "no-such-file.wav", "."}) {
        SCOPED_TRACE(file);
        EXPECT_EQ(kUndecodable, decoder.Open(MediaPath(file).c_str()));
        unsigned char* block = nullptr;
        EXPECT_EQ(-1, decoder.Read(&block, 4096));
    }
    const Decoded twice = DecodeWith(decoder, MediaPath("s16_stereo_44k.flac"));
    EXPECT_EQ(ReadRawSamples("s16_stereo_44k.ref.raw"), ToSamples(twice.bytes));
}

// The built-in decoder first, the system's filters for a codec it leaves
// out (Speex) and for everything when asked; neither opens what is no audio.
TEST_F(BuiltinDecoder, TheChoiceFallsToTheSystemsFiltersForWhatItCannotDecode) {
    const struct {
        DecoderChoice choice;
        const char* file;
        const wchar_t* decoder; // Describe's start; null: the file does not open
    } cases[] = {
        {DecoderChoice::BuiltinFirst, "s16_stereo_44k.flac", L"built-in (FLAC)"},
        {DecoderChoice::BuiltinFirst, "speex.ogg", L"system"},
        {DecoderChoice::SystemOnly, "s16_stereo_44k.wav", L"system"},
        {DecoderChoice::BuiltinFirst, "not_audio.txt", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        CDecAnyAudio decoder(c.choice);
        const Decoded decoded = DecodeWith(decoder, MediaPath(c.file));
        if (!c.decoder) {
            EXPECT_NE(0, decoded.openResult);
            continue;
        }
        ASSERT_EQ(0, decoded.openResult);
        EXPECT_FALSE(decoded.bytes.empty());
        ASSERT_EQ(0, decoder.Open(MediaPath(c.file).c_str()));
        EXPECT_EQ(c.decoder, decoder.Describe());
    }
}
