// ZEP.exe under bad input and rough handling: every failure ends in a box
// with its number, no output is left half-written, no input is changed
// (check-acceptance.sh compares every input's checksum) and the program
// always ends when closed.
#include "AcceptancePaths.h"
#include "ZepUser.h"
#include "resdll/Res.h"
#include "resources/resource.h"
#include "support/WindowTestSupport.h"
#include <gtest/gtest.h>
#include <random>

namespace {

const wchar_t* const kPcmStereo = L"44100 Hz; 16 bits; Stereo";

class BadInput : public ::testing::Test {
  protected:
    void SetUp() override {
        ForgetSettings();
        CreateDirectoryW(OutputPath(L"").c_str(), nullptr);
        CreateDirectoryW(OutputPath(L"bad").c_str(), nullptr);
    }
    void TearDown() override { ForgetSettings(); }

    // Converts to PCM WAV; the box's caption, or empty when none was shown.
    static std::wstring ConvertToWav(ZepUser& zep, const std::wstring& input,
                                     const std::wstring& output) {
        zep.Enter(input, output, 0);
        zep.Press(IDC_CONVERT);
        ZepUser::Box box;
        if (zep.ChooseFormat(L"PCM", kPcmStereo))
            box = zep.AnswerBox(3000);
        EXPECT_TRUE(zep.WaitForJobEnd(output));
        return box.caption;
    }

    static std::wstring ConvertToMp3(ZepUser& zep, const std::wstring& input,
                                     const std::wstring& output) {
        zep.Enter(input, output, 2);
        zep.Press(IDC_CONVERT);
        EXPECT_TRUE(zep.ConfirmSettings(IDC_GOGO_MODE));
        ZepUser::Box box = zep.AnswerBox(3000);
        EXPECT_TRUE(zep.WaitForJobEnd(output));
        return box.caption;
    }
};

std::string Narrow(const std::wstring& text) {
    std::string narrow;
    for (wchar_t c : text)
        narrow += c < 128 ? static_cast<char>(c) : '?';
    return narrow;
}

} // namespace

TEST_F(BadInput, InputsThatCannotBeDecodedShow915AndWriteNothing) {
    ZepUser zep(InstallFolder(L"full"));
    ASSERT_TRUE(zep.Started());
    for (const wchar_t* name : {L"bad\\empty.wav", L"bad\\folder.wav", L"bad\\missing.wav",
                                L"bad\\empty.flac", L"bad\\folder.m4a"}) {
        SCOPED_TRACE(Narrow(name));
        const std::wstring output = OutputPath(L"bad\\undecodable.wav");
        DeleteFileW(output.c_str());
        zep.Enter(InputPath(name), output, 0);
        zep.Press(IDC_CONVERT);
        ZepUser::Box box = zep.AnswerBox();
        EXPECT_EQ(L"Error No.0915", box.caption);
        EXPECT_TRUE(zep.WaitForJobEnd());
        EXPECT_FALSE(FileExists(output));
    }
    EXPECT_EQ(0, zep.Close());
}

// The system's MP3 parser finds frame headers in noise and decodes them;
// under a FLAC's name, neither decoder takes it.
TEST_F(BadInput, RandomBytesEndCleanly) {
    ZepUser zep(InstallFolder(L"full"));
    ASSERT_TRUE(zep.Started());
    const std::wstring output = OutputPath(L"bad\\noise-out.mp3");
    DeleteFileW(output.c_str());
    EXPECT_EQ(L"", ConvertToMp3(zep, InputPath(L"bad\\noise.mp3"), output));
    EXPECT_EQ(L"100 %", zep.Text(IDC_STATUS));
    zep.Enter(InputPath(L"bad\\noise.flac"), OutputPath(L"bad\\noise-flac.wav"), 0);
    zep.Press(IDC_CONVERT);
    EXPECT_EQ(L"Error No.0915", zep.AnswerBox().caption);
    EXPECT_TRUE(zep.WaitForJobEnd());
    EXPECT_FALSE(FileExists(OutputPath(L"bad\\noise-flac.wav")));
    EXPECT_EQ(0, zep.Close());
}

TEST_F(BadInput, TruncatedAndLyingFilesGiveWhatTheyHold) {
    ZepUser zep(InstallFolder(L"full"));
    ASSERT_TRUE(zep.Started());
    for (const wchar_t* name : {L"truncated.wav", L"lying.wav", L"truncated.flac", L"lying.flac",
                                L"truncated.m4a"}) {
        SCOPED_TRACE(Narrow(name));
        std::wstring stem(name);
        stem.replace(stem.find(L'.'), 1, L"-");
        const std::wstring output = OutputPath(L"bad\\" + stem + L"-out.wav");
        EXPECT_EQ(L"", ConvertToWav(zep, InputPath(L"bad\\" + std::wstring(name)), output));
        EXPECT_EQ(L"100 %", zep.Text(IDC_STATUS));
        EXPECT_TRUE(FileExists(output));
    }
    EXPECT_EQ(0, zep.Close());
}

TEST_F(BadInput, OutputsThatCannotBeWrittenShowTheirNumbers) {
    const std::wstring readOnly = OutputPath(L"bad\\read-only.wav");
    const std::wstring readOnlyMp3 = OutputPath(L"bad\\read-only.mp3");
    for (const std::wstring& path : {readOnly, readOnlyMp3}) {
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        HANDLE file =
            CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(file, "keep", 4, &written, nullptr);
        CloseHandle(file);
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
    }
    const std::wstring input = InputPath(L"in\\tone16.wav");
    const std::wstring noFolder = OutputPath(L"bad\\no such folder\\out.wav");
    ZepUser zep(InstallFolder(L"full"));
    ASSERT_TRUE(zep.Started());
    EXPECT_EQ(L"Error No.6006", ConvertToWav(zep, input, noFolder));
    EXPECT_EQ(L"Error No.6001",
              ConvertToMp3(zep, input, OutputPath(L"bad\\no such folder\\out.mp3")));
    EXPECT_EQ(L"Error No.6006", ConvertToWav(zep, input, readOnly));
    EXPECT_EQ(L"Error No.6001", ConvertToMp3(zep, input, readOnlyMp3));
    EXPECT_EQ(0, zep.Close());
    EXPECT_FALSE(FileExists(OutputPath(L"bad\\no such folder")));
    for (const std::wstring& path : {readOnly, readOnlyMp3}) {
        WIN32_FILE_ATTRIBUTE_DATA data = {};
        ASSERT_TRUE(GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data));
        EXPECT_EQ(4u, data.nFileSizeLow) << "the read-only file was changed";
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

// However the output names the input, the input is never written over.
// (A copy of this language's own: the outputs land beside it.)
TEST_F(BadInput, AnOutputNamingTheInputGoesBesideIt) {
    const std::wstring input = OutputPath(L"case.wav");
    ASSERT_TRUE(CopyFileW(InputPath(L"case.wav").c_str(), input.c_str(), FALSE));
    const std::wstring conv = OutputPath(L"case_conv.wav");
    const std::wstring upper = OutputPath(L"CASE.WAV");
    std::wstring slashes = input;
    for (wchar_t& c : slashes)
        if (c == L'\\')
            c = L'/';
    const std::wstring dotted = OutputPath(L"bad\\..\\case.wav");
    ZepUser zep(InstallFolder(L"full"));
    ASSERT_TRUE(zep.Started());
    for (const std::wstring& output : {upper, slashes, dotted}) {
        SCOPED_TRACE(Narrow(output));
        DeleteFileW(conv.c_str());
        EXPECT_EQ(L"", ConvertToWav(zep, input, output));
        EXPECT_EQ(L"100 %", zep.Text(IDC_STATUS));
        EXPECT_TRUE(FileExists(conv));
    }
    DeleteFileW(conv.c_str());
    EXPECT_EQ(0, zep.Close());
}

TEST_F(BadInput, JapaneseAndVeryLongPathsConvert) {
    const std::wstring japanese = InputPath(L"日本語のフォルダ\\音声ファイル.wav");
    const std::wstring deep =
        InputPath(L"long\\" + std::wstring(120, L'a') + L"\\" + std::wstring(120, L'b') + L"\\" +
                  std::wstring(40, L'c') + L".wav");
    ASSERT_GT(deep.size(), 260u);
    ZepUser zep(InstallFolder(L"full"));
    ASSERT_TRUE(zep.Started());
    const std::wstring outputs[] = {OutputPath(L"日本語の出力.mp3"), OutputPath(L"long-out.mp3")};
    EXPECT_EQ(L"", ConvertToMp3(zep, japanese, outputs[0]));
    EXPECT_EQ(L"100 %", zep.Text(IDC_STATUS));
    EXPECT_EQ(L"", ConvertToMp3(zep, deep, outputs[1]));
    EXPECT_EQ(L"100 %", zep.Text(IDC_STATUS));
    for (const std::wstring& output : outputs)
        EXPECT_TRUE(FileExists(output));
    EXPECT_EQ(0, zep.Close());
}

TEST_F(BadInput, WithoutTheResourceLibraryFailuresStillShowTheirNumbers) {
    ZepUser zep(InstallFolder(L"no-res"));
    ASSERT_TRUE(zep.Started());
    const std::wstring output = OutputPath(L"no-res.wav");
    zep.Enter(InputPath(L"bad\\empty.wav"), output, 0);
    zep.Press(IDC_CONVERT);
    ZepUser::Box box = zep.AnswerBox();
    EXPECT_EQ(L"Error No.0915", box.caption);
    EXPECT_EQ(L"Error No.0915", box.text);
    EXPECT_TRUE(zep.WaitForJobEnd());
    // The encoders need no resource library.
    EXPECT_EQ(L"", ConvertToWav(zep, InputPath(L"in\\tone16.wav"), output));
    EXPECT_EQ(L"100 %", zep.Text(IDC_STATUS));
    EXPECT_EQ(0, zep.Close());
}

TEST_F(BadInput, AMissingOrDamagedMp3LibrarySaysSoAndWritesNothing) {
    for (const wchar_t* variant : {L"no-gogo", L"broken-gogo"}) {
        SCOPED_TRACE(Narrow(variant));
        ZepUser zep(InstallFolder(variant));
        ASSERT_TRUE(zep.Started());
        const std::wstring output = OutputPath(L"bad\\" + std::wstring(variant) + L".mp3");
        DeleteFileW(output.c_str());
        zep.Enter(InputPath(L"in\\tone16.wav"), output, 2);
        zep.Press(IDC_CONVERT);
        EXPECT_TRUE(zep.ConfirmSettings(IDC_GOGO_MODE));
        ZepUser::Box box = zep.AnswerBox();
        EXPECT_EQ(L"It failed in reading GOGO.DLL", box.text);
        EXPECT_TRUE(zep.WaitForJobEnd(output));
        EXPECT_FALSE(FileExists(output));
        EXPECT_EQ(0, zep.Close());
    }
}

// Stop pressed at any moment leaves a whole, playable file of what was done.
TEST_F(BadInput, StopAtRandomMomentsLeavesValidFiles) {
    CreateDirectoryW(OutputPath(L"stop").c_str(), nullptr);
    std::mt19937 random(20261208);
    std::uniform_int_distribution<int> moment(0, 1500);
    ZepUser zep(InstallFolder(L"full"));
    ASSERT_TRUE(zep.Started());
    const int types[] = {0, 2, 1, 2};
    for (int run = 0; run < 20; ++run) {
        SCOPED_TRACE(run);
        const int type = types[run % 4];
        const std::wstring output =
            OutputPath(L"stop\\stop-" + std::to_wstring(run) + (type == 2 ? L".mp3" : L".wav"));
        DeleteFileW(output.c_str());
        zep.Enter(InputPath(L"long60.wav"), output, type);
        zep.Press(IDC_CONVERT);
        ASSERT_TRUE(type == 0 ? zep.ChooseFormat(L"PCM", kPcmStereo)
                              : zep.ConfirmSettings(IDC_GOGO_MODE));
        Sleep(static_cast<DWORD>(moment(random)));
        zep.Press(IDC_STOP);
        EXPECT_TRUE(zep.WaitForJobEnd(output, 30000));
        EXPECT_FALSE(zep.AnyDialogShown());
        EXPECT_TRUE(FileExists(output));
    }
    EXPECT_EQ(0, zep.Close());
}

TEST_F(BadInput, ClosingTheWindowDuringAConversionEndsTheProgramWithAWholeFile) {
    const std::wstring output = OutputPath(L"closed-during.mp3");
    DeleteFileW(output.c_str());
    ZepUser zep(InstallFolder(L"full"));
    ASSERT_TRUE(zep.Started());
    zep.Enter(InputPath(L"long60.wav"), output, 2);
    zep.Press(IDC_CONVERT);
    ASSERT_TRUE(zep.ConfirmSettings(IDC_GOGO_MODE));
    ASSERT_TRUE(WaitUntil([&] { return zep.Enabled(IDC_STOP); }));
    Sleep(300);
    EXPECT_EQ(0, zep.Close(60000));
    EXPECT_TRUE(FileClosed(output));
}

TEST_F(BadInput, ABatchOfTwoHundredFilesConvertsEveryOne) {
    const std::wstring folder = OutputPath(L"batch200");
    ASSERT_TRUE(CopyFolder(InputPath(L"batch200"), folder));
    RememberBatchFolder(folder);
    ZepUser zep(InstallFolder(L"full"));
    ASSERT_TRUE(zep.Started());
    SelectEntry(zep.Main(), IDC_OUTPUT_FORMAT, 0);
    HWND batch = zep.OpenBatch();
    ASSERT_NE(nullptr, batch);
    ASSERT_EQ(folder, ItemText(batch, IDC_BAT_FOLDER));
    EXPECT_TRUE(zep.RunBatch(
        batch, [&] { return zep.ChooseFormat(L"PCM", L"22050 Hz; 16 bits; Mono"); }, 600000));
    PostMessageW(batch, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(batch); }));
    EXPECT_EQ(0, zep.Close());
    int converted = 0;
    for (int n = 1; n <= 200; ++n) {
        wchar_t name[32];
        swprintf(name, 32, L"\\file%03d_conv.wav", n);
        converted += FileExists(folder + name) ? 1 : 0;
    }
    EXPECT_EQ(200, converted);
}
