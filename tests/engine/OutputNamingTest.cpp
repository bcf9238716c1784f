#include "engine/CBatchPlan.h"
#include "engine/COutputFormat.h"
#include "engine/OutputNaming.h"
#include <gtest/gtest.h>
#include <windows.h>

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
    // A file that does not exist can only be compared by its text.
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
    const int outside = static_cast<int>(OutputFormats().size());
    EXPECT_EQ(L"C:\\m\\song.wav", DecideOutputPath(outside, L"C:\\m\\song.wav", L""));
    EXPECT_EQ(L"", OutputExtension(outside));
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

TEST(OutputNaming, AnotherSpellingOfTheInputFileGetsConvToo) {
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    const std::wstring input = std::wstring(folder) + L"naming-input.wav";
    HANDLE file = CreateFileW(input.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    CloseHandle(file);
    std::wstring slashes = input;
    for (wchar_t& c : slashes)
        if (c == L'\\')
            c = L'/';
    const std::wstring dotted = std::wstring(folder) + L"sub\\..\\naming-input.wav";
    const std::wstring conv = std::wstring(folder) + L"naming-input_conv.wav";
    EXPECT_EQ(conv, DecideOutputPath(0, input, slashes));
    EXPECT_EQ(conv, DecideOutputPath(1, input, dotted));
    // Another existing file is not the input.
    EXPECT_EQ(std::wstring(folder) + L"other.wav",
              DecideOutputPath(0, input, std::wstring(folder) + L"other.wav"));
    DeleteFileW(input.c_str());
}

TEST(OutputNaming, ABatchTakesTheFirstFreeConvName) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"naming-batch\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    auto touch = [&](const wchar_t* name) {
        CloseHandle(CreateFileW((folder + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                0, nullptr));
    };
    const std::wstring input = folder + L"a.flac";
    EXPECT_EQ(folder + L"a.wav", UnusedOutputPath(input, folder + L"a.wav")) << "a free name";
    touch(L"a.wav");
    EXPECT_EQ(folder + L"a_conv.wav", UnusedOutputPath(input, folder + L"a.wav"));
    touch(L"a_conv.wav");
    touch(L"a_conv2.wav");
    EXPECT_EQ(folder + L"a_conv3.wav", UnusedOutputPath(input, folder + L"a.wav"));
    // An output that already names the input's _conv goes on counting.
    EXPECT_EQ(folder + L"a_conv3.wav", UnusedOutputPath(folder + L"a.wav", folder + L"a_conv.wav"));
    for (const wchar_t* name : {L"a_conv.wav", L"a_conv2.wav"})
        DeleteFileW((folder + name).c_str());
    // Named all before any is written, as one after another would name them.
    const std::vector<std::wstring> inputs = {folder + L"a.flac", folder + L"a.mp3",
                                              folder + L"a.wav"};
    const std::vector<std::wstring> outputs = {folder + L"a_conv.wav", folder + L"a_conv2.wav",
                                               folder + L"a_conv3.wav"};
    const CBatchPlan plan(OutputWavAcm, folder, inputs, CBatchChoices(), CNamePattern::Unknown());
    std::vector<std::wstring> planned;
    for (const CBatchPlan::Item& item : plan.Items())
        planned.push_back(item.output);
    EXPECT_EQ(outputs, planned);
    DeleteFileW((folder + L"a.wav").c_str());
    RemoveDirectoryW(folder.c_str());
}
