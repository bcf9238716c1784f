// The conversion job without any window: a real decoder and the real
// encoders, or a recording one, driven by a listener of the test's own.
#include "engine/CConversionJob.h"
#include "CTwoPassWriter.h"
#include "MainDialogDriver.h"
#include "TestMedia.h"
#include "TestRegistryBranch.h"
#include "decode/CDecDShowAudioFast.h"
#include "encode/CMp3Encoder.h"
#include "encode/CWavAcmEncoder.h"
#include "encode/CWmaEncoder.h"
#include "engine/CVolumeStep.h"
#include "settings/Profile.h"
#include <cmath>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace {

class CCountingListener : public IConversionListener {
  public:
    int stopAfter = -1; // blocks; -1: never
    int stopResult = 0;
    int blocks = 0, turns = 0;
    void BetweenBlocks() override { ++turns; }
    bool Stopped() override { return stopAfter >= 0 && blocks >= stopAfter; }
    void Progress(double) override { ++blocks; }
    int StopResult() override { return stopResult; }
};

class CRecordingEncoder : public IAudioEncoder {
  public:
    int failAt = -1; // the block whose write fails; -1: none
    int writes = 0;
    std::vector<unsigned char> bytes;
    int Open(const WAVEFORMATEX&, const std::wstring&) override { return 0; }
    int Write(unsigned char* block, int count) override {
        if (writes++ == failAt)
            return kWriteFailed;
        bytes.insert(bytes.end(), block, block + count);
        return 0;
    }
    int Finish() override { return 0; }
};

DWORD FileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    return GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) ? data.nFileSizeLow : 0;
}

class ConversionJob : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!MediaAvailable())
            GTEST_SKIP() << "ZEP_TEST_MEDIA is not set";
        ASSERT_EQ(0, decoder.Open(input.c_str()));
    }
    int Convert(IAudioEncoder& encoder, int volume = 100, const std::wstring& output = L"") {
        if (int opened = encoder.Open(*decoder.GetFormat(), output))
            return opened;
        CVolumeStep step(volume);
        step.Begin(input, *decoder.GetFormat());
        CConversionJob job(decoder, encoder, {&step}, listener);
        return CConversionJob::Finish(encoder, job.Run(input));
    }

    TestRegistryBranch registry;
    const std::wstring input = MediaPath("s16_stereo_44k.wav");
    CDecDShowAudioFast decoder;
    CCountingListener listener;
    const size_t inputBytes = ReadRawSamples("s16_stereo_44k.ref.raw").size() * 2;
};

} // namespace

TEST_F(ConversionJob, ATenSecondWavReachesEachEncoderWhole) {
    const WAVEFORMATEX pcm = *decoder.GetFormat();
    CWaveFileACM wave;
    wave.SetSourceFormat(&pcm);
    wave.SetDestFormat(&pcm);
    CEncGOGO gogo;
    CMp3Options options;
    CWavAcmEncoder wav(wave);
    CMp3Encoder mp3(gogo, false, options), layer3(gogo, true, options);
    struct Case {
        const char* name;
        IAudioEncoder& encoder;
        DWORD atLeast; // bytes of the output file
    };
    for (const Case& c : {Case{"job-pcm.wav", wav, DWORD(inputBytes)}, Case{"job.mp3", mp3, 150000},
                          Case{"job-layer3.wav", layer3, 150000}}) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(0, decoder.Open(input.c_str()));
        const std::wstring output = MainOutputPath(c.name);
        EXPECT_EQ(0, Convert(c.encoder, 100, output));
        EXPECT_GE(FileSize(output), c.atLeast);
        EXPECT_GE(listener.turns, 1);
    }
    // The analysis pass and the encoding pass each read the whole input.
    ASSERT_EQ(0, decoder.Open(input.c_str()));
    CTwoPassWriter writer;
    CWmaEncoder wma(writer);
    EXPECT_EQ(0, Convert(wma, 100, MainOutputPath("job.wma")));
    EXPECT_EQ(2 * inputBytes, writer.written);
}

TEST_F(ConversionJob, EndsBeforeTheNextBlockWhenStoppedAndWithTheNumberOfAFailedWrite) {
    CRecordingEncoder stopped, failing;
    listener.stopAfter = 5;
    EXPECT_EQ(0, Convert(stopped));
    EXPECT_EQ(5, stopped.writes);

    ASSERT_EQ(0, decoder.Open(input.c_str()));
    listener = CCountingListener();
    failing.failAt = 3;
    EXPECT_EQ(kWriteFailed, Convert(failing));
    EXPECT_EQ(4, failing.writes) << "nothing is read after the failure";

    // An interrupted program's stop is its failure: nothing is put in place.
    ASSERT_EQ(0, decoder.Open(input.c_str()));
    listener = CCountingListener();
    listener.stopAfter = 2;
    listener.stopResult = kInterrupted;
    EXPECT_EQ(kInterrupted, Convert(stopped));
}

TEST_F(ConversionJob, TheVolumeIsAppliedOncePerBlock) {
    CRecordingEncoder encoder;
    EXPECT_EQ(0, Convert(encoder, 50));
    const std::vector<int16_t> reference = ReadRawSamples("s16_stereo_44k.ref.raw");
    const std::vector<int16_t> got = ToSamples(encoder.bytes);
    ASSERT_EQ(reference.size(), got.size());
    int off = 0;
    for (size_t i = 0; i < got.size(); ++i)
        off += std::abs(got[i] - reference[i] * 0.5) > 1.0;
    EXPECT_EQ(0, off) << "samples not at half their level";
}

// The user may change the settings while a conversion runs (in a second
// window, or between a batch's files): no conversion writes them back.
TEST_F(ConversionJob, NoConversionWritesTheSavedSettings) {
    ProfileWriteInt(L"DATA", L"cbr_bps", 96);
    {
        CEncGOGO gogo;
        CMp3Options options;
        options.cbrKbps = 128;
        CMp3Encoder mp3(gogo, false, options);
        EXPECT_EQ(0, Convert(mp3, 100, MainOutputPath("job-128.mp3")));
    }
    EXPECT_EQ(96, ProfileGetInt(L"DATA", L"cbr_bps", 0));
}
