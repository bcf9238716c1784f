#include "AcmTestSupport.h"
#include "pcm/CPcmFormat.h"
#include "pcm/CWaveFileACM.h"
#include <cstring>
#include <gtest/gtest.h>

// The system's format chooser, answered from a second thread while the
// test's thread waits in the dialog.

namespace {

const WAVEFORMATEX Source = Pcm(44100, 2, 16);

} // namespace

TEST(Chooser, CancellingReturnsZero) {
    CWaveFileACM wave;
    wave.SetSourceFormat(&Source);
    ChooserDriver driver([](HWND dialog) { PressButton(dialog, IDCANCEL); });
    EXPECT_EQ(0, wave.ChooseFormat(nullptr));
    EXPECT_TRUE(driver.SawDialog());
}

TEST(Chooser, OpensOnTheCurrentTargetAndKeepsItWhenCancelled) {
    const Bytes alaw = SuggestedFormat(Source, WAVE_FORMAT_ALAW);
    CWaveFileACM wave;
    wave.SetSourceFormat(&Source);
    wave.SetDestFormat(AsFormat(alaw));
    std::wstring shownTag;
    ChooserDriver driver([&shownTag](HWND dialog) {
        shownTag = SelectedListText(dialog, ChooserTagList);
        PressButton(dialog, IDCANCEL);
    });
    EXPECT_EQ(0, wave.ChooseFormat(nullptr));
    ASSERT_TRUE(driver.SawDialog());
    EXPECT_EQ(L"A-Law", shownTag);
    EXPECT_EQ(alaw, RecordOf(*wave.GetDestFormat()));
}

TEST(Chooser, ChoosingPcmGivesARecordWithoutExtraSize) {
    CWaveFileACM wave;
    wave.SetSourceFormat(&Source);
    ChooserDriver driver([](HWND dialog) {
        SelectListItem(dialog, ChooserTagList, L"PCM");
        SelectListItem(dialog, ChooserAttributesList, L"8000 Hz; 8 bits; Mono");
        PressButton(dialog, IDOK);
    });
    ASSERT_EQ(1, wave.ChooseFormat(nullptr));
    ASSERT_TRUE(driver.SawDialog());
    const WAVEFORMATEX chosen = *wave.GetDestFormat();
    EXPECT_EQ(WAVE_FORMAT_PCM, chosen.wFormatTag);
    EXPECT_EQ(8000u, chosen.nSamplesPerSec);
    EXPECT_EQ(8, chosen.wBitsPerSample);
    EXPECT_EQ(0, chosen.cbSize);
}

TEST(Chooser, AnAnswerWithFormatTagZeroClearsTheTarget) {
    CWaveFileACM wave;
    wave.SetSourceFormat(nullptr); // the chooser starts from a record of tag 0
    ChooserDriver driver([](HWND dialog) {
        ClearListSelection(dialog, ChooserTagList);
        ClearListSelection(dialog, ChooserAttributesList);
        PressButton(dialog, IDOK);
    });
    EXPECT_EQ(0, wave.ChooseFormat(nullptr));
    ASSERT_TRUE(driver.SawDialog());
    EXPECT_EQ(&wave.GetSourceFormat(), wave.GetDestFormat());
}

TEST(Chooser, AChosenCodecFormatIsWhatTheFileHolds) {
    if (!AcmMediaAvailable())
        GTEST_SKIP() << "ZEP_TEST_ACM_MEDIA is not set";
    CWaveFileACM wave;
    wave.SetSourceFormat(&Source);
    ChooserDriver driver([](HWND dialog) {
        SelectListItem(dialog, ChooserTagList, L"IMA ADPCM");
        SelectListItem(dialog, ChooserAttributesList, L"22050 Hz; 4 bits; Mono");
        PressButton(dialog, IDOK);
    });
    ASSERT_EQ(1, wave.ChooseFormat(nullptr));
    ASSERT_TRUE(driver.SawDialog());
    const Bytes chosen = RecordOf(*wave.GetDestFormat());
    EXPECT_EQ(WAVE_FORMAT_IMA_ADPCM, AsFormat(chosen)->wFormatTag);
    EXPECT_EQ(22050u, AsFormat(chosen)->nSamplesPerSec);
    EXPECT_EQ(1, AsFormat(chosen)->nChannels);

    // Its PCM is 22,050 Hz mono, not the source: the conversion runs in two stages.
    const Written written = WriteInput(wave, "ima-22050-1.wav");
    EXPECT_EQ(chosen, Slice(written.file, 20, chosen.size()));
    // Frames at the file's 22,050 Hz, give or take a block's.
    const DWORD framesPerBlock = (AsFormat(chosen)->nBlockAlign - 4) * 2 + 1;
    EXPECT_NEAR(written.inputFrames / 2.0, FactValue(written.file), framesPerBlock);
    EXPECT_EQ(0u, DataSize(written.file) % AsFormat(chosen)->nBlockAlign);
}

// A source the ACM cannot take (24 bits, 5.1) opens the chooser on PCM, not
// on whatever tag comes first: Wine's chooser shows no such record, and
// selects the seed's tag only.
TEST(Chooser, AWideSourceOpensTheChooserOnPcm) {
    CPcmFormat surround;
    surround.rate = 48000;
    surround.channels = 6;
    surround.bits = 24;
    const WAVEFORMATEXTENSIBLE source = surround.Wave();
    CWaveFileACM wave;
    wave.SetSourceFormat(&source.Format);
    std::wstring shownTag;
    ChooserDriver driver([&](HWND dialog) {
        shownTag = SelectedListText(dialog, ChooserTagList);
        PressButton(dialog, IDCANCEL);
    });
    EXPECT_EQ(0, wave.ChooseFormat(nullptr));
    ASSERT_TRUE(driver.SawDialog());
    EXPECT_EQ(L"PCM", shownTag);
}
