#include "ui/CBATDlg.h"
#include "DialogTestSupport.h"
#include "FakeMainDialog.h"
#include "SettingsTestSupport.h"
#include "TestLogWindow.h"
#include "resdll/Res.h"
#include "resources/resource.h"
#include "settings/CAudioInfo.h"
#include "settings/Profile.h"
#include "ui/EditSettings.h"
#include <memory>

#include <commctrl.h>

namespace {

// A clock the test moves by hand.
class CFakeClock : public CTimeMmanager {
  public:
    CFakeClock() { Start(); }
    std::atomic<DWORD> now{5000};

  protected:
    DWORD Now() const override { return now; }
};

// A log window of this process alone, so that test programs running side by
// side never receive each other's lines.
std::wstring LogTitle() { return L"ZepBatchLog" + std::to_wstring(GetCurrentProcessId()); }

// A folder to convert: files of the given names, a sub-folder with a file
// of its own, all removed afterwards.
class BatchFolder {
  public:
    explicit BatchFolder(const std::vector<std::wstring>& names) {
        for (const std::wstring& name : names)
            files.WriteFile(name, Content(name));
        CreateDirectoryW(Sub().c_str(), nullptr);
        WriteFileAt(Sub() + L"\\d.wav");
    }
    ~BatchFolder() {
        DeleteFileW((Sub() + L"\\d.wav").c_str());
        RemoveDirectoryW(Sub().c_str());
    }
    // Without a trailing backslash, as the folder chooser answers.
    std::wstring Path() const { return files.path.substr(0, files.path.size() - 1); }
    std::wstring File(const std::wstring& name) const { return files.path + name; }

  private:
    static std::string Content(const std::wstring& name) {
        const std::wstring extension = name.substr(name.find_last_of(L'.') + 1);
        if (_wcsicmp(extension.c_str(), L"wav") == 0)
            return std::string("RIFF\x24\0\0\0WAVE", 12);
        if (_wcsicmp(extension.c_str(), L"mp3") == 0)
            return "ID3";
        return "plain text";
    }
    void WriteFileAt(const std::wstring& path) const {
        HANDLE file =
            CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        CloseHandle(file);
    }
    std::wstring Sub() const { return files.path + L"sub"; }

    TestFolder files;
};

HWND WaitForBatchDialog(DWORD ui) { return WaitForDialogWith(ui, IDC_BAT_START); }

int ProgressOf(HWND dialog) {
    return static_cast<int>(SendMessageW(GetDlgItem(dialog, IDC_BAT_PROGRESS), PBM_GETPOS, 0, 0));
}

bool IsIdle(HWND dialog) {
    return IsItemEnabled(dialog, IDC_BAT_START) && !IsItemEnabled(dialog, IDC_STOP);
}

std::wstring InitialStatus() {
    return InLanguage(L"バッチ処理開始ボタンを押してください", L"Please push Batch-Start button. ");
}

// Drops the folder, runs the batch to its end and closes the dialog;
// progress is where the bar stood at the end.
void RunBatchOn(DWORD ui, const std::wstring& folder, const FakeMainDialog& mainDialog,
                int fileCount, int& progress) {
    HWND dialog = WaitForBatchDialog(ui);
    ASSERT_NE(nullptr, dialog);
    DropFiles(dialog, {folder});
    ASSERT_TRUE(WaitUntil([&] { return ItemText(dialog, IDC_BAT_FOLDER) == folder; }));
    Click(dialog, IDC_BAT_START);
    ASSERT_TRUE(WaitUntil([&] { return mainDialog.filesStarted == fileCount && IsIdle(dialog); }));
    progress = ProgressOf(dialog);
    PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
}

} // namespace

TEST(CBATDlg, OpensIdleOnTheRememberedFolderWithTheTextsOfTheLanguage) {
    TestRegistryBranch branch;
    ProfileWriteString(L"data", L"LASTDIR", L"C:\\music");
    ProfileWriteString(L"data", L"OutputFolder", L"D:\\mp3");
    ProfileWriteString(L"data", L"NamePattern", L"<artist>\\<title>");
    ProfileWriteInt(L"data", L"ExistingOutput", 2);
    ProfileWriteInt(L"data", L"Subfolders", 1);
    FakeMainDialog mainDialog(LogTitle());
    CBATDlg batch(mainDialog.Window());
    const DWORD ui = GetCurrentThreadId();
    CDialogScript driver([&] {
        HWND dialog = WaitForBatchDialog(ui);
        ASSERT_NE(nullptr, dialog);
        EXPECT_EQ(InLanguage(L"バッチ処理", L"Bat Encode"), ControlText(dialog));
        EXPECT_EQ(
            InLanguage(L"ファイル群のあるフォルダパス。このフォルダ内のファイルを全部変換します",
                       L"Folder Path with file group. All files in this folder are converted. "),
            ItemText(dialog, IDC_BAT_FOLDER_LABEL));
        EXPECT_EQ(InLanguage(L"進行状況", L"Progress"), ItemText(dialog, IDC_PROGRESS_GROUP));
        EXPECT_EQ(InitialStatus(), ItemText(dialog, IDC_STATUS));
        EXPECT_EQ(InLanguage(L"停止(&S)", L"Stop(&S)"), ItemText(dialog, IDC_STOP));
        EXPECT_EQ(InLanguage(L"バッチ処理開始(&B)", L"Batch Start(&B)"),
                  ItemText(dialog, IDC_BAT_START));
        EXPECT_EQ(L"C:\\music", ItemText(dialog, IDC_BAT_FOLDER));
        // The folder's choices below, as they were left.
        EXPECT_EQ(InLanguage(L"下のフォルダも含める(&I)", L"Include subfolders(&I)"),
                  ItemText(dialog, IDC_BAT_SUBFOLDERS));
        EXPECT_EQ(InLanguage(L"既存の出力", L"Existing outputs"),
                  ItemText(dialog, IDC_BAT_EXISTING_LABEL));
        EXPECT_EQ(InLanguage(L"出力先フォルダ (空欄: 各入力と同じフォルダ)",
                             L"Output folder (empty: beside each input)"),
                  ItemText(dialog, IDC_BAT_OUTPUT_LABEL));
        const std::vector<std::wstring> existing = Entries(dialog, IDC_BAT_EXISTING);
        ASSERT_EQ(3u, existing.size());
        EXPECT_EQ(InLanguage(L"次の空いている名前で作る", L"Next free name"), existing[0]);
        EXPECT_EQ(InLanguage(L"入力が新しければ更新", L"Update when the input is newer"),
                  existing[2]);
        EXPECT_TRUE(IsItemChecked(dialog, IDC_BAT_SUBFOLDERS));
        EXPECT_EQ(L"D:\\mp3", ItemText(dialog, IDC_BAT_OUTPUT));
        EXPECT_EQ(L"<artist>\\<title>", ItemText(dialog, IDC_BAT_PATTERN));
        EXPECT_EQ(2, SelectedIndex(dialog, IDC_BAT_EXISTING));
        EXPECT_TRUE(IsIdle(dialog));
        EXPECT_EQ(0, ProgressOf(dialog));
        // Enter and Escape end nothing.
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
        SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        EXPECT_TRUE(IsDialogShown(dialog));
        if (ResDllHandle.GetModule())
            SaveScreenshot(dialog, L"batch-" + InLanguage(L"ja", L"en"));
        PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    EXPECT_EQ(IDCANCEL, batch.DoModal());
    EXPECT_TRUE(mainDialog.files.empty());
}

TEST(CBATDlg, ConvertsEveryFileOfTheFolderInCaseInsensitiveOrderAndGoesOnAfterAFailure) {
    TestRegistryBranch branch;
    BatchFolder folder({L"b.MP3", L"A.wav", L"c.txt"});
    TestLogWindow log(LogTitle());
    FakeMainDialog mainDialog(LogTitle());
    int progressAtEnd = -1;
    {
        CBATDlg batch(mainDialog.Window());
        mainDialog.Watch(batch);
        const DWORD ui = GetCurrentThreadId();
        CDialogScript driver([&] { RunBatchOn(ui, folder.Path(), mainDialog, 3, progressAtEnd); });
        EXPECT_EQ(IDCANCEL, batch.DoModal());
    }
    const std::vector<std::wstring> expected = {folder.File(L"A.wav"), folder.File(L"b.MP3"),
                                                folder.File(L"c.txt")};
    EXPECT_EQ(expected, mainDialog.files);
    EXPECT_EQ((std::vector<int>{0, 33, 66}), mainDialog.progressAtStart);
    EXPECT_EQ(100, progressAtEnd);
    ASSERT_EQ(3u, log.lines.size());
    EXPECT_EQ(folder.File(L"c.txt"), log.lines[0]);
    EXPECT_EQ(0u, log.lines[1].find(L"Error No.0915 - "));
    EXPECT_EQ(L"", log.lines[2]);
    // The folder is remembered.
    EXPECT_EQ(folder.Path(), ProfileGetString(L"data", L"LASTDIR", nullptr));
}

// A pattern that would climb out of the output folder is refused before
// anything starts; the choices then taken walk the tree and are remembered.
TEST(CBATDlg, APatternThatLeavesTheOutputFolderIsRefusedAndTheTreeIsWalked) {
    TestRegistryBranch branch;
    BatchFolder folder({L"a.wav"});
    FakeMainDialog mainDialog(LogTitle());
    CMessageBoxAnswerer boxes;
    {
        CBATDlg batch(mainDialog.Window());
        mainDialog.Watch(batch);
        const DWORD ui = GetCurrentThreadId();
        CDialogScript driver([&] {
            HWND dialog = WaitForBatchDialog(ui);
            ASSERT_NE(nullptr, dialog);
            SetItemText(dialog, IDC_BAT_PATTERN, L"..\\<title>");
            SetCheck(dialog, IDC_BAT_SUBFOLDERS, true);
            SelectEntry(dialog, IDC_BAT_EXISTING, 1);
            DropFiles(dialog, {folder.Path()});
            ASSERT_TRUE(WaitUntil([&] { return ItemText(dialog, IDC_BAT_FOLDER) == folder.Path(); }));
            Click(dialog, IDC_BAT_START);
            EXPECT_TRUE(WaitUntil([&] { return boxes.Texts().size() == 1 && IsIdle(dialog); }));
            PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        });
        EXPECT_EQ(IDCANCEL, batch.DoModal());
        ASSERT_EQ(1u, boxes.Texts().size());
        EXPECT_NE(std::wstring::npos, boxes.Texts()[0].find(L".."));
        EXPECT_TRUE(mainDialog.files.empty());
    }
    EXPECT_EQ(L"..\\<title>", ProfileGetString(L"data", L"NamePattern", nullptr));
    ProfileWriteString(L"data", L"NamePattern", L"");
    CBATDlg batch(mainDialog.Window());
    mainDialog.Watch(batch);
    const DWORD ui = GetCurrentThreadId();
    int progress = 0;
    CDialogScript driver([&] { RunBatchOn(ui, folder.Path(), mainDialog, 2, progress); });
    EXPECT_EQ(IDCANCEL, batch.DoModal());
    EXPECT_EQ((std::vector<std::wstring>{folder.File(L"a.wav"), folder.File(L"sub\\d.wav")}),
              mainDialog.files);
    EXPECT_EQ(1, ProfileGetInt(L"data", L"Subfolders", 0));
    EXPECT_EQ(1, ProfileGetInt(L"data", L"ExistingOutput", 0));
}

TEST(CBATDlg, StopDuringTheSecondOfFiveFilesEndsTheBatchThere) {
    TestRegistryBranch branch;
    BatchFolder folder({L"1.wav", L"2.wav", L"3.wav", L"4.wav", L"5.wav"});
    FakeMainDialog mainDialog(LogTitle());
    mainDialog.duringFile = [&](size_t index) {
        if (index == 1) {
            EXPECT_TRUE(mainDialog.ConvertUntilStopped());
        }
    };
    CBATDlg batch(mainDialog.Window());
    mainDialog.Watch(batch);
    const DWORD ui = GetCurrentThreadId();
    CDialogScript driver([&] {
        HWND dialog = WaitForBatchDialog(ui);
        ASSERT_NE(nullptr, dialog);
        DropFiles(dialog, {folder.Path()});
        ASSERT_TRUE(WaitUntil([&] { return ItemText(dialog, IDC_BAT_FOLDER) == folder.Path(); }));
        Click(dialog, IDC_BAT_START);
        ASSERT_TRUE(WaitUntil([&] { return mainDialog.filesStarted == 2; }));
        EXPECT_FALSE(IsItemEnabled(dialog, IDC_BAT_START));
        EXPECT_TRUE(IsItemEnabled(dialog, IDC_STOP));
        // While running, the close button does nothing.
        SendMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        EXPECT_TRUE(IsDialogShown(dialog));
        Click(dialog, IDC_STOP);
        ASSERT_TRUE(WaitUntil([&] { return IsIdle(dialog); }));
        EXPECT_EQ(20, ProgressOf(dialog));
        PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    EXPECT_EQ(IDCANCEL, batch.DoModal());
    EXPECT_EQ(2u, mainDialog.files.size());
    EXPECT_EQ(1, mainDialog.stopCommands);
}

TEST(CBATDlg, TheStatusShowsTheFileAndTheElapsedTimeEverySecond) {
    TestRegistryBranch branch;
    BatchFolder folder({L"01.wav", L"02.wav", L"03.wav", L"04.wav", L"05.wav", L"06.wav", L"07.wav",
                        L"08.wav", L"09.wav", L"10.wav"});
    FakeMainDialog mainDialog(LogTitle());
    auto clock = std::make_unique<CFakeClock>();
    CFakeClock& time = *clock;
    CBATDlg batch(mainDialog.Window(), std::move(clock));
    std::wstring statusDuringFile4;
    mainDialog.duringFile = [&](size_t index) {
        if (index != 3)
            return;
        time.now += (1 * 3600 + 2 * 60 + 3) * 1000;
        HWND dialog = batch.GetSafeHwnd();
        // The next tick of the one-second timer shows it.
        EXPECT_TRUE(mainDialog.Convert([&] { return ItemText(dialog, IDC_STATUS)[0] == L'4'; }));
        statusDuringFile4 = ItemText(dialog, IDC_STATUS);
    };
    const DWORD ui = GetCurrentThreadId();
    int progressAtEnd = -1;
    CDialogScript driver([&] { RunBatchOn(ui, folder.Path(), mainDialog, 10, progressAtEnd); });
    EXPECT_EQ(IDCANCEL, batch.DoModal());
    EXPECT_EQ(L"4/10  01:02:03", statusDuringFile4);
    EXPECT_EQ(10u, mainDialog.files.size());
    EXPECT_EQ(100, progressAtEnd);
}

TEST(CBATDlg, AMissingFolderAPlainFileOrNoFolderConvertNothing) {
    TestRegistryBranch branch;
    BatchFolder folder({L"a.wav"});
    FakeMainDialog mainDialog(LogTitle());
    CBATDlg batch(mainDialog.Window());
    const DWORD ui = GetCurrentThreadId();
    CDialogScript driver([&] {
        HWND dialog = WaitForBatchDialog(ui);
        ASSERT_NE(nullptr, dialog);
        EXPECT_EQ(L"", ItemText(dialog, IDC_BAT_FOLDER));
        for (const std::wstring& path :
             {std::wstring(), folder.Path() + L"\\missing", folder.File(L"a.wav")}) {
            if (!path.empty()) {
                DropFiles(dialog, {path});
            }
            ASSERT_TRUE(WaitUntil([&] { return ItemText(dialog, IDC_BAT_FOLDER) == path; }));
            SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_BAT_START, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_BAT_START)));
            EXPECT_TRUE(IsIdle(dialog));
            EXPECT_EQ(InitialStatus(), ItemText(dialog, IDC_STATUS));
        }
        PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    EXPECT_EQ(IDCANCEL, batch.DoModal());
    EXPECT_TRUE(mainDialog.files.empty());
}

TEST(CBATDlg, OfSeveralDroppedPathsTheLastIsKeptAndRemembered) {
    TestRegistryBranch branch;
    FakeMainDialog mainDialog(LogTitle());
    const DWORD ui = GetCurrentThreadId();
    {
        CBATDlg batch(mainDialog.Window());
        CDialogScript driver([&] {
            HWND dialog = WaitForBatchDialog(ui);
            ASSERT_NE(nullptr, dialog);
            DropFiles(dialog, {L"C:\\one", L"C:\\two", L"C:\\three"});
            EXPECT_TRUE(
                WaitUntil([&] { return ItemText(dialog, IDC_BAT_FOLDER) == L"C:\\three"; }));
            PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        });
        EXPECT_EQ(IDCANCEL, batch.DoModal());
    }
    EXPECT_EQ(L"C:\\three", ProfileGetString(L"data", L"LASTDIR", nullptr));
    CBATDlg reopened(mainDialog.Window());
    CDialogScript driver([&] {
        HWND dialog = WaitForBatchDialog(ui);
        ASSERT_NE(nullptr, dialog);
        EXPECT_EQ(L"C:\\three", ItemText(dialog, IDC_BAT_FOLDER));
        PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    EXPECT_EQ(IDCANCEL, reopened.DoModal());
}

TEST(CBATDlg, TheFolderChooserOpensOnTheFolderAndItsAnswerIsTaken) {
    TestRegistryBranch branch;
    BatchFolder folder({L"a.wav"});
    // The chooser answers without the trailing backslash; a cancel keeps the text as it was.
    const std::wstring initial = folder.Path() + L"\\sub\\";
    ProfileWriteString(L"data", L"LASTDIR", initial.c_str());
    FakeMainDialog mainDialog(LogTitle());
    const DWORD ui = GetCurrentThreadId();
    {
        CBATDlg batch(mainDialog.Window());
        CDialogScript driver([&] {
            HWND dialog = WaitForBatchDialog(ui);
            ASSERT_NE(nullptr, dialog);
            Click(dialog, IDC_BAT_BROWSE);
            HWND chooser = WaitForOwnedDialog(ui, dialog);
            ASSERT_NE(nullptr, chooser);
            Click(chooser, IDCANCEL);
            ASSERT_TRUE(WaitUntil([&] { return !IsWindow(chooser); }));
            EXPECT_EQ(initial, ItemText(dialog, IDC_BAT_FOLDER));
            Click(dialog, IDC_BAT_BROWSE);
            chooser = WaitForOwnedDialog(ui, dialog);
            ASSERT_NE(nullptr, chooser);
            // As a user would, answer once the chooser shows the folder.
            ASSERT_TRUE(WaitUntil([&] { return SelectedTreeItemText(chooser) == L"sub"; }))
                << "the chooser shows " << SelectedTreeItemText(chooser);
            Click(chooser, IDOK);
            EXPECT_TRUE(WaitUntil(
                [&] { return ItemText(dialog, IDC_BAT_FOLDER) == folder.Path() + L"\\sub"; }));
            PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        });
        EXPECT_EQ(IDCANCEL, batch.DoModal());
    }
    // Remembered once the dialog is gone.
    EXPECT_EQ(folder.Path() + L"\\sub", ProfileGetString(L"data", L"LASTDIR", nullptr));
}

// The main dialog asks for the encoder settings in a batch only until they
// are first confirmed; the dialog then runs nested inside the batch.
TEST(CBATDlg, ASettingsDialogOpenedForAFileRunsInsideTheBatch) {
    REQUIRE_RES_DLL();
    TestRegistryBranch branch;
    BatchFolder folder({L"a.wav", L"b.wav", L"c.wav"});
    FakeMainDialog mainDialog(LogTitle());
    CAudioInfo settings;
    int batchState = 1;
    std::atomic<int> asked{0};
    mainDialog.duringFile = [&](size_t) {
        if (batchState == 1) {
            ++asked;
            if (EditMp3Settings(settings, mainDialog.Window()) == 0)
                batchState = 2;
        }
    };
    CBATDlg batch(mainDialog.Window());
    const DWORD ui = GetCurrentThreadId();
    CDialogScript driver([&] {
        HWND dialog = WaitForBatchDialog(ui);
        ASSERT_NE(nullptr, dialog);
        DropFiles(dialog, {folder.Path()});
        ASSERT_TRUE(WaitUntil([&] { return ItemText(dialog, IDC_BAT_FOLDER) == folder.Path(); }));
        Click(dialog, IDC_BAT_START);
        HWND mp3 = WaitForDialogWith(ui, IDC_GOGO_VBR_BPS);
        ASSERT_NE(nullptr, mp3);
        SelectEntry(mp3, IDC_GOGO_CBR_BPS, 13);
        Click(mp3, IDOK);
        ASSERT_TRUE(WaitUntil([&] { return IsIdle(dialog) && mainDialog.filesStarted == 3; }));
        PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    EXPECT_EQ(IDCANCEL, batch.DoModal());
    EXPECT_EQ(1, asked);
    EXPECT_EQ(3u, mainDialog.files.size());
    EXPECT_EQ(320, settings.cbr_bps);
}
