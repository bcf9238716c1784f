#include "engine/OutputNaming.h"
#include <gtest/gtest.h>

TEST(OutputNaming, AnEmptyOutputFollowsTheInputWithTheTypesExtension) {
    EXPECT_EQ(L"C:\\m\\song.wav", DecideOutputPath(OutputWavAcm, L"C:\\m\\song.mp3", L""));
    EXPECT_EQ(L"C:\\m\\song.mp3", DecideOutputPath(OutputMp3, L"C:\\m\\song.ogg", L""));
    EXPECT_EQ(L"C:\\m\\song.wav", DecideOutputPath(OutputLayer3Wav, L"C:\\m\\song.ogg", L""));
}

TEST(OutputNaming, AnOutputThatWouldBeTheInputGetsConv) {
    EXPECT_EQ(L"C:\\m\\song_conv.wav", DecideOutputPath(OutputWavAcm, L"C:\\m\\song.wav", L""));
    // Letter case does not matter; the new name is built from the input.
    EXPECT_EQ(L"c:\\m\\song_conv.wma",
              DecideOutputPath(OutputWma, L"c:\\m\\song.wma", L"C:\\m\\SONG.WMA"));
    // Only the text is compared: another spelling of the same file is not caught.
    EXPECT_EQ(L"C:/m/song.wav",
              DecideOutputPath(OutputWavAcm, L"C:\\m\\song.wav", L"C:/m/song.wav"));
}

TEST(OutputNaming, TheExtensionIsForcedToTheType) {
    EXPECT_EQ(L"D:\\x\\out.mp3",
              DecideOutputPath(OutputMp3, L"C:\\m\\song.wav", L"D:\\x\\out.wav"));
    EXPECT_EQ(L"C:\\m\\out.mp3", DecideOutputPath(OutputMp3, L"C:\\m\\song.wav", L"C:\\m\\out"));
    EXPECT_EQ(L"C:\\m.d\\out.wma", DecideOutputPath(OutputWma, L"C:\\a.wav", L"C:\\m.d\\out"));
}

TEST(OutputNaming, ATypeOutsideTheListLeavesTheOutput) {
    EXPECT_EQ(L"D:\\x\\out.ogg", DecideOutputPath(-1, L"C:\\m\\song.wav", L"D:\\x\\out.ogg"));
    EXPECT_EQ(L"C:\\m\\song.wav", DecideOutputPath(4, L"C:\\m\\song.wav", L""));
    EXPECT_EQ(L"", OutputExtension(4));
}

TEST(OutputNaming, ADroppedInputSetsTheOutputWithoutTheConvCheck) {
    EXPECT_EQ(L"C:\\m\\song.wav", DroppedOutputPath(OutputWavAcm, L"C:\\m\\song.wav", L"x.mp3"));
    EXPECT_EQ(L"C:\\m\\b.wma", DroppedOutputPath(OutputWma, L"C:\\m\\b.flac", L""));
    EXPECT_EQ(L"keep.mp3", DroppedOutputPath(7, L"C:\\m\\b.flac", L"keep.mp3"));
}

TEST(OutputNaming, LongAndJapanesePathsKeepEveryCharacter) {
    std::wstring folder = L"C:\\" + std::wstring(700, L'f') + L"\\";
    std::wstring name = L"\u97f3\u697d" + std::wstring(600, L'n');
    EXPECT_EQ(folder + name + L"_conv.wav",
              DecideOutputPath(OutputWavAcm, folder + name + L".wav", L""));
}
