#include "AcmTestSupport.h"
#include "pcm/CWaveFileACM.h"
#include <gtest/gtest.h>

// Conversions of a real PCM input into files that the host's decoders check
// afterwards (check-acm-output.sh); here the file's header and frame count.

namespace {

const WAVEFORMATEX Source = Pcm(44100, 2, 16);

Written Convert(const Bytes& target, const std::string& outputName) {
    CWaveFileACM wave;
    wave.SetSourceFormat(&Source);
    if (!target.empty())
        wave.SetDestFormat(AsFormat(target));
    return WriteInput(wave, outputName);
}

class ConversionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!AcmMediaAvailable())
            GTEST_SKIP() << "ZEP_TEST_ACM_MEDIA is not set";
    }
};

} // namespace

TEST_F(ConversionTest, PcmToTheSamePcmIsCopiedByteForByte) {
    const Written written = Convert(RecordOf(Source), "pcm-same.wav");
    const Bytes input = ReadWholeFile(AcmMediaPath(AcmInputName));
    EXPECT_EQ(16u, FormatChunkSize(written.file));
    EXPECT_EQ(written.inputFrames, FactValue(written.file));
    EXPECT_EQ(input, Slice(written.file, 56, input.size()));
    EXPECT_EQ(56 + input.size(), written.file.size());
}

TEST_F(ConversionTest, PcmToAnotherRateAndChannelCount) {
    const Written written = Convert(RecordOf(Pcm(22050, 1, 16)), "pcm-22050-1.wav");
    EXPECT_EQ(16u, FormatChunkSize(written.file));
    // "fact" counts frames at the file's own rate.
    EXPECT_NEAR(written.inputFrames / 2.0, FactValue(written.file), 2.0);
    // Half the frames, of one 16-bit channel each.
    EXPECT_NEAR(written.inputFrames, DataSize(written.file), 8.0);
}

// In one stage where the codec's PCM is the source, in two elsewhere; the
// mono files have block headers that Wine's encoder leaves partly unwritten.
TEST_F(ConversionTest, ImaAdpcmInMonoAndStereoAtTwoRates) {
    struct Case {
        DWORD rate;
        WORD channels;
    };
    for (const Case& c : {Case{44100, 2}, Case{44100, 1}, Case{22050, 2}}) {
        const std::string name =
            "ima-" + std::to_string(c.rate) + "-" + std::to_string(c.channels) + ".wav";
        SCOPED_TRACE(name);
        const Bytes ima = DriverFormat(WAVE_FORMAT_IMA_ADPCM, c.rate, c.channels);
        ASSERT_FALSE(ima.empty());
        const Written written = Convert(ima, name);
        EXPECT_EQ(ima, Slice(written.file, 20, ima.size()));
        const WAVEFORMATEX& format = *AsFormat(ima);
        const DWORD framesPerBlock = (format.nBlockAlign - 4u * c.channels) * 2 / c.channels + 1;
        const double frames = written.inputFrames * static_cast<double>(c.rate) / 44100;
        EXPECT_GE(FactValue(written.file), frames - 2);
        EXPECT_LT(FactValue(written.file), frames + framesPerBlock);
        EXPECT_EQ(0u, DataSize(written.file) % format.nBlockAlign);
    }
}

TEST_F(ConversionTest, ALaw) {
    const Written written = Convert(SuggestedFormat(Source, WAVE_FORMAT_ALAW), "alaw-44100-2.wav");
    EXPECT_EQ(written.inputFrames, FactValue(written.file));
    EXPECT_EQ(written.inputFrames * 2, DataSize(written.file));
}

TEST_F(ConversionTest, MuLaw) {
    const Written written =
        Convert(SuggestedFormat(Source, WAVE_FORMAT_MULAW), "mulaw-44100-2.wav");
    EXPECT_EQ(written.inputFrames, FactValue(written.file));
    EXPECT_EQ(written.inputFrames * 2, DataSize(written.file));
}

TEST_F(ConversionTest, Gsm610ThroughTheCodecsOwnPcmInTwoStages) {
    const Bytes gsm = DriverFormat(WAVE_FORMAT_GSM610, 8000, 1);
    ASSERT_FALSE(gsm.empty());
    const Written written = Convert(gsm, "gsm-8000-1.wav");
    EXPECT_EQ(gsm, Slice(written.file, 20, gsm.size()));
    // Frames at the file's 8 kHz, give or take the 320 of a 65-byte block.
    EXPECT_NEAR(written.inputFrames * 8000.0 / 44100, FactValue(written.file), 320.0);
    EXPECT_EQ(0u, DataSize(written.file) % 65);
}

TEST_F(ConversionTest, MsAdpcm) {
    const Bytes msadpcm = SuggestedFormat(Source, WAVE_FORMAT_ADPCM);
    ASSERT_FALSE(msadpcm.empty());
    if (RunningOnWine()) {
        CWaveFileACM wave;
        wave.SetSourceFormat(&Source);
        wave.SetDestFormat(AsFormat(msadpcm));
        EXPECT_EQ(0, wave.OpenWrite(AcmOutputPath("msadpcm-44100-2.wav")));
        return;
    }
    const Written written = Convert(msadpcm, "msadpcm-44100-2.wav");
    EXPECT_NEAR(written.inputFrames, FactValue(written.file), 2048.0);
}

TEST_F(ConversionTest, ReadsAnImaFileAsTheHostDecodesIt) {
    CWaveFileACM reader;
    ASSERT_EQ(1, reader.OpenRead(AcmMediaPath("host-ima.wav")));
    EXPECT_EQ(WAVE_FORMAT_IMA_ADPCM, reader.GetDestFormat()->wFormatTag);
    EXPECT_EQ(0, std::memcmp(&Source, &reader.GetSourceFormat(), 16));
    // Small requests, and requests of more than a whole output buffer.
    Bytes decoded, block(600000);
    const int requests[] = {100, 4096, 600000, 3, 250000};
    for (size_t i = 0;; ++i) {
        const int got = reader.Read(block.data(), requests[i % std::size(requests)]);
        ASSERT_GE(got, 0);
        if (got == 0)
            break;
        decoded.insert(decoded.end(), block.begin(), block.begin() + got);
    }
    EXPECT_EQ(1, reader.Close());
    const Bytes host = ReadWholeFile(AcmMediaPath("host-ima.ref.raw"));
    ASSERT_EQ(host.size(), decoded.size());
    // Wine's decoder rounds its steps differently from the host's (measured:
    // 58.6 dB, no sample off by more than 60).
    EXPECT_GT(SnrDb(ToSamples(host), ToSamples(decoded)), 50.0);
}

TEST_F(ConversionTest, ReadsAnMsAdpcmFileAsTheHostDecodesIt) {
    CWaveFileACM reader;
    ASSERT_EQ(1, reader.OpenRead(AcmMediaPath("host-msadpcm.wav")));
    EXPECT_EQ(WAVE_FORMAT_ADPCM, reader.GetDestFormat()->wFormatTag);
    Bytes decoded, block(7777);
    for (int got; (got = reader.Read(block.data(), 7777)) > 0;)
        decoded.insert(decoded.end(), block.begin(), block.begin() + got);
    const Bytes host = ReadWholeFile(AcmMediaPath("host-msadpcm.ref.raw"));
    ASSERT_EQ(host.size(), decoded.size());
    EXPECT_GT(SnrDb(ToSamples(host), ToSamples(decoded)), 60.0);
}
