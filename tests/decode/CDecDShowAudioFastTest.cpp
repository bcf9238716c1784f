#include "decode/CDecDShowAudioFast.h"
#include "DecodedFile.h"
#include "TestMedia.h"
#include "framework/CComInitialiser.h"
#include <gtest/gtest.h>

namespace {

Decoded DecodeFile(const std::string& name) {
    CDecDShowAudioFast decoder;
    return DecodeWith(decoder, MediaPath(name));
}

class FastDecoder : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!MediaAvailable())
            GTEST_SKIP() << "ZEP_TEST_MEDIA is not set";
    }
};

} // namespace

TEST_F(FastDecoder, SixteenBitWavArrivesByteForByte) {
    Decoded decoded = DecodeFile("s16_stereo_44k.wav");
    ASSERT_EQ(0, decoded.openResult);
    std::vector<int16_t> reference = ReadRawSamples("s16_stereo_44k.ref.raw");
    EXPECT_TRUE(SixteenBitOf(decoded, 2, 44100) == reference);
    EXPECT_TRUE(ToSamples(decoded.bytes) == reference);
    EXPECT_GT(decoded.blocks, 1);
}

TEST_F(FastDecoder, TheEndIsSeenWithoutWaitingOutTheGuard) {
    Decoded decoded = DecodeFile("s16_stereo_44k.wav");
    ASSERT_EQ(0, decoded.openResult);
    EXPECT_LT(decoded.endDelayMs, 1000u);
    EXPECT_EQ(0, decoded.endError) << "a whole input is no error";
}

TEST_F(FastDecoder, ProgressRisesFromZeroToNearlyHundred) {
    Decoded decoded = DecodeFile("s16_stereo_44k.wav");
    ASSERT_EQ(0, decoded.openResult);
    ASSERT_GT(decoded.progress.size(), 2u);
    EXPECT_EQ(0, decoded.progress.front());
    EXPECT_GE(decoded.progress.back(), 95);
    EXPECT_LE(decoded.progress.back(), 100);
    for (size_t i = 1; i < decoded.progress.size(); ++i)
        EXPECT_GE(decoded.progress[i], decoded.progress[i - 1]);
}

// As the filters connect them; brought to 16 bits, within rounding and dither.
TEST_F(FastDecoder, OtherSampleFormatsBecomeTheHostsSixteenBit) {
    struct Case {
        const char* file;
        int channels;
        DWORD rate;
        int tolerance; // against the host's own conversion
    } cases[] = {
        {"u8_mono_22k", 1, 22050, 0},
        {"s24_stereo_48k", 2, 48000, 2},
        {"f32_stereo_44k", 2, 44100, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        Decoded decoded = DecodeFile(std::string(c.file) + ".wav");
        ASSERT_EQ(0, decoded.openResult);
        std::vector<int16_t> samples = SixteenBitOf(decoded, c.channels, c.rate);
        std::vector<int16_t> reference = ReadRawSamples(std::string(c.file) + ".ref.raw");
        EXPECT_EQ(reference.size(), samples.size());
        EXPECT_LE(MaxDifference(reference, samples), c.tolerance);
    }
}

TEST_F(FastDecoder, SixChannelsAreMixedDownToStereo) {
    Decoded decoded = DecodeFile("s16_6ch_48k.wav");
    ASSERT_EQ(0, decoded.openResult);
    std::vector<int16_t> samples = SixteenBitOf(decoded, 2, 48000);
    std::vector<int16_t> reference = ReadRawSamples("s16_6ch_48k.ref.raw");
    EXPECT_EQ(reference.size(), samples.size());
    // The host mixes with the same -3 dB centre and surround weights and the
    // same normalisation; only rounding differs.
    EXPECT_LE(MaxDifference(reference, samples), 2);
}

TEST_F(FastDecoder, FlacIsLossless) {
    Decoded decoded = DecodeFile("s16_stereo_44k.flac");
    ASSERT_EQ(0, decoded.openResult);
    EXPECT_TRUE(SixteenBitOf(decoded, 2, 44100) == ReadRawSamples("s16_stereo_44k.ref.raw"));
}

TEST_F(FastDecoder, LossyInputsDecodeToTheirLengthAndContent) {
    for (const char* file : {"s16_stereo_44k.mp3", "s16_stereo_44k.ogg"}) {
        SCOPED_TRACE(file);
        Decoded decoded = DecodeFile(file);
        ASSERT_EQ(0, decoded.openResult);
        std::vector<int16_t> reference = ReadRawSamples(std::string(file) + ".ref.raw");
        std::vector<int16_t> samples = SixteenBitOf(decoded, 2, 44100);
        // Within the codec's delay and padding: two MP3 frames either way.
        EXPECT_NEAR(static_cast<double>(reference.size()), static_cast<double>(samples.size()),
                    2 * 2 * 1152.0);
        EXPECT_GT(BestAlignedSnr(reference, samples, 2, 2400), 30.0);
    }
}

TEST_F(FastDecoder, WhatIsNotAudioFailsToOpen) {
    EXPECT_EQ(5006, DecodeFile("not_audio.txt").openResult);
    EXPECT_NE(0, DecodeFile("empty.wav").openResult);
    EXPECT_NE(0, DecodeFile("no-such-file.wav").openResult);
}

namespace {
class GraphShowingDecoder : public CDecDShowAudioFast {
  public:
    bool Holds(const wchar_t* filterName) {
        CComPtr<IBaseFilter> filter;
        return graph && graph->FindFilterByName(filterName, filter.Receive()) == S_OK;
    }
};
} // namespace

// The second graph of a kind of stream takes the parser the first one found.
TEST_F(FastDecoder, OpeningAgainRestartsFromTheBeginning) {
    GraphShowingDecoder decoder;
    Decoded first, second;
    ASSERT_EQ(0, decoder.Open(MediaPath("s16_stereo_44k.wav").c_str()));
    ReadToEnd(decoder, first);
    ASSERT_EQ(0, decoder.Open(MediaPath("s16_stereo_44k.wav").c_str()));
    EXPECT_TRUE(decoder.Holds(L"Parser"));
    EXPECT_EQ(0, decoder.GetProgress());
    ReadToEnd(decoder, second);
    EXPECT_EQ(ReadRawSamples("s16_stereo_44k.ref.raw").size() * 2, second.bytes.size());
    EXPECT_TRUE(first.bytes == second.bytes);
}

TEST_F(FastDecoder, ClosingWhileTheProducerIsParkedReturnsPromptly) {
    CDecDShowAudioFast decoder;
    ASSERT_EQ(0, decoder.Open(MediaPath("long_60s.wav").c_str()));
    unsigned char* block = nullptr;
    for (int i = 0; i < 20; ++i)
        ASSERT_GT(decoder.Read(&block, 2048), 0);
    DWORD before = GetTickCount();
    decoder.Close();
    EXPECT_LT(GetTickCount() - before, 1000u);
    // A closed decoder has no graph: nothing more arrives, and it says so at once.
    EXPECT_EQ(-1, decoder.Read(&block, 2048));
    EXPECT_LT(GetTickCount() - before, 1000u);
}

TEST_F(FastDecoder, DestroyingWhileTheProducerIsParkedReturnsPromptly) {
    DWORD before = 0;
    {
        CDecDShowAudioFast decoder;
        ASSERT_EQ(0, decoder.Open(MediaPath("long_60s.wav").c_str()));
        unsigned char* block = nullptr;
        ASSERT_GT(decoder.Read(&block, 2048), 0);
        before = GetTickCount();
    }
    EXPECT_LT(GetTickCount() - before, 1000u);
}

TEST_F(FastDecoder, TwoDecodersRunSideBySide) {
    CDecDShowAudioFast a, b;
    ASSERT_EQ(0, a.Open(MediaPath("s16_stereo_44k.wav").c_str()));
    ASSERT_EQ(0, b.Open(MediaPath("s16_stereo_44k.flac").c_str()));
    Decoded fromA, fromB;
    unsigned char* block = nullptr;
    for (int count; (count = a.Read(&block, 2048)) > 0;) {
        fromA.bytes.insert(fromA.bytes.end(), block, block + count);
        if ((count = b.Read(&block, 2048)) > 0)
            fromB.bytes.insert(fromB.bytes.end(), block, block + count);
    }
    ReadToEnd(b, fromB);
    std::vector<int16_t> reference = ReadRawSamples("s16_stereo_44k.ref.raw");
    EXPECT_TRUE(ToSamples(fromA.bytes) == reference);
    EXPECT_TRUE(ToSamples(fromB.bytes) == reference);
}

namespace {
// A graph that never runs delivers nothing: only the guard ends the wait.
class NeverStartingDecoder : public CDecDShowAudioFast {
  public:
    int Start(double) override {
        mediaControl = graph.As<IMediaControl>(IID_IMediaControl);
        return 0;
    }
};
} // namespace

TEST_F(FastDecoder, ASourceThatSendsNothingEndsAfterTheGuard) {
    NeverStartingDecoder decoder;
    ASSERT_EQ(0, decoder.Open(MediaPath("s16_stereo_44k.wav").c_str()));
    unsigned char* block = nullptr;
    DWORD before = GetTickCount();
    EXPECT_EQ(-1, decoder.Read(&block, 2048));
    DWORD waited = GetTickCount() - before;
    EXPECT_GE(waited, CDecDShowAudio::kBlockWaitMs - 100);
    EXPECT_LT(waited, CDecDShowAudio::kBlockWaitMs + 2000);
    EXPECT_EQ(kDecodeNotRunning, decoder.GetEndError());
}

namespace {
// After its first block the graph reports an error, as a failing filter
// does; or its streaming thread hangs in the callback, as a stuck decoder does.
class FailingDecoder : public CDecDShowAudioFast {
  public:
    enum class Failure { Abort, Stall };
    explicit FailingDecoder(Failure failure)
        : failure(failure), release(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    ~FailingDecoder() override {
        SetEvent(release.Get()); // the hung thread must end before the graph can stop
        Close();
    }
    int OnSample(double time, const BYTE* data, long length) override {
        if (delivered++ == 1 && failure == Failure::Stall)
            WaitForSingleObject(release.Get(), 20000);
        return CDecDShowAudioFast::OnSample(time, data, length);
    }
    int Read(unsigned char** data, int maximum) override {
        if (delivered >= 1 && failure == Failure::Abort && !aborted) {
            aborted = true;
            graph.As<IMediaEventSink>(IID_IMediaEventSink)->Notify(EC_ERRORABORT, E_FAIL, 0);
        }
        return CDecDShowAudioFast::Read(data, maximum);
    }

  private:
    Failure failure;
    std::atomic<int> delivered{0};
    bool aborted = false;
    CKernelHandle release;
};
} // namespace

TEST_F(FastDecoder, AGraphThatFailsOrHangsMidwayIsNoEndOfTheInput) {
    for (auto failure : {FailingDecoder::Failure::Abort, FailingDecoder::Failure::Stall}) {
        FailingDecoder decoder(failure);
        ASSERT_EQ(0, decoder.Open(MediaPath("long_60s.wav").c_str()));
        Decoded decoded;
        ReadToEnd(decoder, decoded);
        EXPECT_EQ(failure == FailingDecoder::Failure::Abort ? kDecodeAborted : kDecodeStalled,
                  decoded.endError);
        EXPECT_LT(decoded.bytes.size(), 60u * 44100 * 4);
    }
}

namespace {
// A decoder whose probe found no duration, partway through its input.
class UnmeasuredDecoder : public CDecDShowAudioFast {
  public:
    UnmeasuredDecoder(double seconds, double at) {
        duration = seconds;
        position = at;
    }
};
} // namespace

TEST(DecoderProgress, IsZeroWithoutADurationAndNeverAboveHundred) {
    EXPECT_EQ(0, UnmeasuredDecoder(0.0, 5.0).GetProgress());
    EXPECT_EQ(49, UnmeasuredDecoder(10.0, 4.99).GetProgress());
    EXPECT_EQ(100, UnmeasuredDecoder(10.0, 10.4).GetProgress());
}
