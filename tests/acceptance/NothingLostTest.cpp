// Nothing the user owns is lost: a batch never writes over a file of its
// folder, and a conversion that fails leaves the folder as it found it.
// The host checks the outputs and the inputs afterwards (check-acceptance.sh).
#include "AcceptancePaths.h"
#include "ZepUser.h"
#include "resdll/Res.h"
#include "resources/resource.h"
#include "support/TestFiles.h"
#include "support/WindowTestSupport.h"
#include <gtest/gtest.h>

#include <algorithm>
#include <commctrl.h>

namespace {

class NothingLost : public ::testing::Test {
  protected:
    void SetUp() override {
        ForgetSettings();
        CreateDirectoryW(OutputPath(L"").c_str(), nullptr);
    }
    void TearDown() override { ForgetSettings(); }

    // A fresh copy of the named input folder (named copy when given)
    // converted by a batch to the output type, jobs files at a time when
    // given; answer replies to the question asked first.
    static void ConvertFolder(const wchar_t* name, int type, bool (*answer)(ZepUser&), int jobs = 0,
                              const std::wstring& copy = std::wstring()) {
        const std::wstring folder = OutputPath(copy.empty() ? name : copy);
        ASSERT_TRUE(CopyFolder(InputPath(name), folder));
        RememberBatchFolder(folder);
        if (jobs > 0)
            RememberBatchJobs(jobs);
        ZepUser zep(InstallFolder(L"full"));
        ASSERT_TRUE(zep.Started());
        SelectEntry(zep.Main(), IDC_OUTPUT_FORMAT, type);
        HWND batch = zep.OpenBatch();
        ASSERT_NE(nullptr, batch);
        EXPECT_TRUE(zep.RunBatch(
            batch, [&] { return answer(zep); }, 120000));
        PostMessageW(batch, WM_SYSCOMMAND, SC_CLOSE, 0);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(batch); }));
        EXPECT_EQ(0, zep.Close());
    }
};

std::vector<std::wstring> SortedFilesIn(const std::wstring& folder) {
    std::vector<std::wstring> names = FilesIn(folder);
    std::sort(names.begin(), names.end());
    return names;
}

bool ChoosePcm(ZepUser& zep) { return zep.ChooseFormat(L"PCM", L"44100 Hz; 16 bits; Stereo"); }
bool ConfirmMp3(ZepUser& zep) { return zep.ConfirmSettings(IDC_GOGO_MODE); }

} // namespace

// a.flac, a.mp3 and a.wav all name a.wav as their output.
TEST_F(NothingLost, ABatchOfOneStemInThreeFormatsConvertsEachBesideTheOthers) {
    ConvertFolder(L"stems3", 0, ChoosePcm);
    for (const wchar_t* name : {L"a_conv.wav", L"a_conv2.wav", L"a_conv3.wav"})
        EXPECT_TRUE(FileExists(OutputPath(L"stems3\\") + name)) << "no output " << name;
}

TEST_F(NothingLost, ABatchWhereEveryNameIsTakenConvertsAllTwelve) {
    ConvertFolder(L"taken12", 2, ConfirmMp3);
    EXPECT_EQ(24u, FilesIn(OutputPath(L"taken12")).size());
}

// Four at a time, the batch writes the names and the bytes one at a time writes.
TEST_F(NothingLost, AParallelBatchWritesWhatOneAtATimeWrites) {
    const struct {
        int type;
        bool (*answer)(ZepUser&);
    } outputs[] = {{0, ChoosePcm}, {2, ConfirmMp3}};
    for (const auto& output : outputs) {
        const std::wstring type = std::to_wstring(output.type);
        const std::wstring one = OutputPath(L"one-" + type), four = OutputPath(L"four-" + type);
        ConvertFolder(L"taken12", output.type, output.answer, 1, L"one-" + type);
        ConvertFolder(L"taken12", output.type, output.answer, 4, L"four-" + type);
        const std::vector<std::wstring> names = SortedFilesIn(one);
        EXPECT_EQ(24u, names.size()) << type;
        ASSERT_EQ(names, SortedFilesIn(four)) << type;
        for (const std::wstring& name : names)
            EXPECT_EQ(FileText(one + L"\\" + name), FileText(four + L"\\" + name)) << name;
    }
}

// Stop ends both running files as a single Stop would; the host checks them.
TEST_F(NothingLost, StoppingAParallelBatchLeavesWholeFilesAndStartsNoMore) {
    const std::wstring folder = OutputPath(L"long4");
    ASSERT_TRUE(CopyFolder(InputPath(L"long4"), folder));
    RememberBatchFolder(folder);
    RememberBatchJobs(2);
    ZepUser zep(InstallFolder(L"full"));
    ASSERT_TRUE(zep.Started());
    SelectEntry(zep.Main(), IDC_OUTPUT_FORMAT, 2);
    HWND batch = zep.OpenBatch();
    ASSERT_NE(nullptr, batch);
    Click(batch, IDC_BAT_START);
    ASSERT_TRUE(ConfirmMp3(zep));
    Sleep(800);
    Click(batch, IDC_STOP);
    EXPECT_TRUE(WaitUntil([&] { return IsItemEnabled(batch, IDC_BAT_START); }, 30000));
    EXPECT_EQ(0, SendMessageW(GetDlgItem(batch, IDC_BAT_PROGRESS), PBM_GETPOS, 0, 0));
    PostMessageW(batch, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(batch); }));
    EXPECT_EQ(0, zep.Close());
    for (const std::wstring& name : FilesIn(folder))
        EXPECT_TRUE(name.size() > 4 && (name.substr(name.size() - 4) == L".mp3" ||
                                        name.substr(name.size() - 5) == L".flac"))
            << name;
}

// Wine's Microsoft ADPCM codec only decodes: the conversion fails when it
// opens, over an existing file and to a new name alike.
TEST_F(NothingLost, AFailedConversionLeavesTheFolderAsItFoundIt) {
    const std::wstring folder = OutputPath(L"failed");
    EmptyFolder(folder);
    const std::wstring keep = folder + L"\\keep.wav", fresh = folder + L"\\new.wav";
    ASSERT_TRUE(CopyFileW(InputPath(L"in\\tone16.wav").c_str(), keep.c_str(), FALSE));
    ZepUser zep(InstallFolder(L"full"));
    ASSERT_TRUE(zep.Started());
    for (const std::wstring& output : {keep, fresh}) {
        zep.Enter(InputPath(L"in\\tone16.wav"), output, 0);
        zep.Press(IDC_CONVERT);
        ASSERT_TRUE(zep.ChooseFormat(L"Microsoft ADPCM", L"44100 Hz"));
        EXPECT_EQ(L"Error No.6006", zep.AnswerBox().caption);
        EXPECT_TRUE(zep.WaitForJobEnd());
    }
    EXPECT_EQ(0, zep.Close());
    EXPECT_EQ(std::vector<std::wstring>{L"keep.wav"}, FilesIn(folder));
}
