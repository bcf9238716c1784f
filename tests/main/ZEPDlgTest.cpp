#include "DialogTestSupport.h"
#include "MainDialogDriver.h"
#include "TestLogWindow.h"
#include "TestMedia.h"
#include "TestRegistryBranch.h"
#include "decode/CDecAnyAudio.h"
#include "framework/CHWndList.h"
#include "resdll/Res.h"
#include "resources/resource.h"
#include "settings/Profile.h"
#include "support/TestFiles.h"
#include "tags/TagReader.h"
#include "tags/TagWriter.h"
#include "ui/CResDllHandle.h"
#include "ui/CZEPApp.h"
#include "ui/ErrorMessages.h"
#include "ui/Language.h"
#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

#include <msacm.h>

namespace {

// Outputs for the host's checks.
std::wstring OutputPath(const std::string& name) { return MainOutputPath(name); }

// Ten minutes of FLAC to PCM take the built-in decoder well under a second;
// through the system's filters the job surely still runs when the test
// acts on it midway.
void UseSlowDecoder(CTestZEPDlg& dialog) {
    dialog.makeDecoder = [] { return new CDecAnyAudio(DecoderChoice::SystemOnly); };
}

bool FileExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

class MainDialog : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!MediaAvailable())
            GTEST_SKIP() << "ZEP_TEST_MEDIA is not set";
    }
    // Input and output set as a user types them, output format chosen.
    static void Prepare(HWND window, const std::wstring& input, const std::wstring& output,
                        int type) {
        SetItemText(window, IDC_INPUT_PATH, input);
        SetItemText(window, IDC_OUTPUT_PATH, output);
        SelectEntry(window, IDC_OUTPUT_FORMAT, type);
    }
    TestRegistryBranch registry;
};

WAVEFORMATEX Pcm(DWORD rate, WORD channels) {
    WAVEFORMATEX format = {WAVE_FORMAT_PCM,
                           channels,
                           rate,
                           rate * channels * 2u,
                           static_cast<WORD>(channels * 2),
                           16,
                           0};
    return format;
}

} // namespace

TEST_F(MainDialog, FirstStartSelectsWavAcmAndShowsThePromptAndClosingRemembersTheList) {
    std::wstring selected, status, menu;
    {
        CTestZEPDlg dialog;
        RunMainDialog(dialog, [&](HWND window) {
            HWND list = GetDlgItem(window, IDC_OUTPUT_FORMAT);
            wchar_t text[64] = {};
            SendMessageW(list, CB_GETLBTEXT, SendMessageW(list, CB_GETCURSEL, 0, 0),
                         reinterpret_cast<LPARAM>(text));
            selected = text;
            status = ItemText(window, IDC_STATUS);
            wchar_t batch[64] = {};
            GetMenuStringW(GetMenu(window), ID_BATCH, batch, 64, MF_BYCOMMAND);
            menu = batch;
            SelectEntry(window, IDC_OUTPUT_FORMAT, 2);
        });
    }
    EXPECT_EQ(L"WAV(ACM)", selected);
    EXPECT_EQ(LoadPairedString(10047, 10048), status);
    EXPECT_EQ(PickLanguage(L"バッチ処理(&B)", L"Bat(&B)"), menu);
    EXPECT_EQ(2, ProfileGetInt(L"data", L"Audio", -1));
    CTestZEPDlg again;
    int type = -1;
    RunMainDialog(again, [&](HWND window) {
        type = static_cast<int>(
            SendMessageW(GetDlgItem(window, IDC_OUTPUT_FORMAT), CB_GETCURSEL, 0, 0));
    });
    EXPECT_EQ(2, type);
}

TEST_F(MainDialog, EnterAndEscapeLeaveTheDialogOpen) {
    CTestZEPDlg dialog;
    bool stillOpen = false;
    RunMainDialog(dialog, [&](HWND window) {
        PostMessageW(window, WM_COMMAND, IDOK, 0);
        PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
        Sleep(300);
        stillOpen = IsWindowVisible(window) != 0;
    });
    EXPECT_TRUE(stillOpen);
}

TEST_F(MainDialog, ChangingTheListRenamesTheOutputOnlyWithAnInput) {
    CTestZEPDlg dialog;
    std::wstring withInput, withoutInput;
    RunMainDialog(dialog, [&](HWND window) {
        SelectEntry(window, IDC_OUTPUT_FORMAT, 3);
        withoutInput = ItemText(window, IDC_OUTPUT_PATH);
        DropFiles(window, {L"C:\\m\\x.wav", L"C:\\m\\a.wav"});
        // The drop is posted: it has arrived once it named an output.
        WaitUntil([&] { return !ItemText(window, IDC_OUTPUT_PATH).empty(); });
        SetItemText(window, IDC_OUTPUT_PATH, L"");
        SelectEntry(window, IDC_OUTPUT_FORMAT, 2);
        withInput = ItemText(window, IDC_OUTPUT_PATH);
    });
    EXPECT_EQ(L"", withoutInput);
    EXPECT_EQ(L"C:\\m\\a.mp3", withInput);
    EXPECT_EQ(2, dialog.OutputType());
}

TEST_F(MainDialog, AnEmptyInputShows6001AndChangesNothing) {
    const DWORD thread = GetCurrentThreadId();
    CTestZEPDlg dialog;
    bool convertEnabled = false;
    ShownBox box;
    RunMainDialog(dialog, [&](HWND window) {
        Click(window, IDC_CONVERT);
        box = AnswerMessageBox(thread, window);
        WaitForJobs(dialog, 1);
        convertEnabled = IsItemEnabled(window, IDC_CONVERT);
    });
    EXPECT_EQ(L"Error No.6001", box.caption);
    EXPECT_NE(std::wstring::npos, box.text.find(L"Error No.6001"));
    EXPECT_TRUE(convertEnabled);
    EXPECT_FALSE(dialog.HasDecoder());
}

TEST_F(MainDialog, AnUndecodableInputShows915AndKeepsNoDecoder) {
    const DWORD thread = GetCurrentThreadId();
    CTestZEPDlg dialog;
    std::wstring output = OutputPath("never-written.wav");
    ShownBox box;
    RunMainDialog(dialog, [&](HWND window) {
        Prepare(window, MediaPath("not_audio.txt"), output, 0);
        Click(window, IDC_CONVERT);
        box = AnswerMessageBox(thread, window);
        WaitForJobs(dialog, 1);
    });
    EXPECT_EQ(L"Error No.0915", box.caption);
    // The text comes from the resource library in the system's language.
    EXPECT_NE(std::wstring::npos, box.text.find(LoadResPairedString(10269, 10270)));
    EXPECT_FALSE(dialog.HasDecoder());
    EXPECT_FALSE(FileExists(output));
}

TEST_F(MainDialog, WavAcmToPcmThroughTheRealChooser) {
    const DWORD thread = GetCurrentThreadId();
    CTestZEPDlg dialog;
    std::wstring status;
    bool answered = false;
    RunMainDialog(dialog, [&](HWND window) {
        Prepare(window, MediaPath("s16_stereo_44k.wav"), OutputPath("main-pcm.wav"), 0);
        Click(window, IDC_CONVERT);
        answered = AnswerFormatChooser(thread, L"PCM", L"44100 Hz; 16 bits; Stereo");
        WaitForJobs(dialog, 1);
        status = ItemText(window, IDC_STATUS);
    });
    EXPECT_TRUE(answered);
    EXPECT_EQ(L"100 %", status);
    EXPECT_TRUE(FileExists(OutputPath("main-pcm.wav")));
}

TEST_F(MainDialog, WavAcmToImaAdpcmWithTheRememberedBatchFormat) {
    WAVEFORMATEX source = Pcm(44100, 2);
    std::vector<unsigned char> ima(64);
    auto* target = reinterpret_cast<WAVEFORMATEX*>(ima.data());
    target->wFormatTag = WAVE_FORMAT_IMA_ADPCM;
    ASSERT_EQ(0u, acmFormatSuggest(nullptr, &source, target, static_cast<DWORD>(ima.size()),
                                   ACM_FORMATSUGGESTF_WFORMATTAG));
    CTestZEPDlg dialog;
    dialog.SetBatchState(2);
    dialog.RememberBatchFormat(*target);
    std::wstring status;
    RunMainDialog(dialog, [&](HWND window) {
        Prepare(window, MediaPath("s16_stereo_44k.flac"), OutputPath("main-ima.wav"), 0);
        Convert(dialog, window);
        status = ItemText(window, IDC_STATUS);
    });
    EXPECT_EQ(L"100 %", status);
    EXPECT_TRUE(FileExists(OutputPath("main-ima.wav")));
}

TEST_F(MainDialog, StopInTheMiddleKeepsTheLastPercentAndAShorterFile) {
    CTestZEPDlg dialog;
    UseSlowDecoder(dialog);
    dialog.SetBatchState(2);
    dialog.RememberBatchFormat(Pcm(44100, 2));
    std::wstring running, stopped;
    bool stopEnabledWhileRunning = false, stopEnabledAfter = true;
    RunMainDialog(dialog, [&](HWND window) {
        Prepare(window, MediaPath("long_600s.flac"), OutputPath("main-stopped.wav"), 0);
        Click(window, IDC_CONVERT);
        // The status line gains its time text with the first timer tick.
        WaitUntil([&] { return ItemText(window, IDC_STATUS).find(L'(') != std::wstring::npos; },
                  30000);
        running = ItemText(window, IDC_STATUS);
        stopEnabledWhileRunning = IsItemEnabled(window, IDC_STOP);
        Click(window, IDC_STOP);
        WaitForJobs(dialog, 1, 60000);
        stopped = ItemText(window, IDC_STATUS);
        stopEnabledAfter = IsItemEnabled(window, IDC_STOP);
    });
    EXPECT_TRUE(stopEnabledWhileRunning);
    EXPECT_FALSE(stopEnabledAfter);
    EXPECT_NE(std::wstring::npos, running.find(L'%'));
    EXPECT_NE(std::wstring::npos, running.find(L"(00:00:"));
    EXPECT_NE(std::wstring::npos, running.find(LoadResPairedString(10065, 10066) + L"00:"));
    EXPECT_NE(L"100 %", stopped);
    EXPECT_TRUE(FileExists(OutputPath("main-stopped.wav")));
}

TEST_F(MainDialog, AListWithoutSelectionConvertsNothing) {
    CTestZEPDlg dialog;
    std::wstring output = OutputPath("main-no-type.wav");
    bool convertEnabled = false;
    RunMainDialog(dialog, [&](HWND window) {
        Prepare(window, MediaPath("s16_stereo_44k.wav"), output, -1);
        Convert(dialog, window);
        convertEnabled = IsItemEnabled(window, IDC_CONVERT);
    });
    EXPECT_EQ(-1, dialog.OutputType());
    EXPECT_TRUE(convertEnabled);
    EXPECT_EQ(1, dialog.Finished());
    EXPECT_FALSE(FileExists(output));
}

namespace {} // namespace

TEST_F(MainDialog, ABatchErrorGoesToTheLogWindowAsThreeLinesWithoutABox) {
    TestLogWindow jotter(L"Jotter - test");
    CTestZEPDlg dialog;
    dialog.SetBatchState(1);
    // Named as audio: a text is passed over without a word.
    const std::wstring input = MainOutputPath("not_audio.wav");
    ASSERT_TRUE(CopyFileW(MediaPath("not_audio.txt").c_str(), input.c_str(), FALSE));
    CTestBatch batch({input});
    RunMainDialog(dialog,
                  [&](HWND window) { SendMessageW(window, WM_BATSTART_AUDIO, batch.File(0), 0); });
    ASSERT_EQ(3u, jotter.lines.size());
    EXPECT_EQ(input, jotter.lines[0]);
    EXPECT_EQ(0u, jotter.lines[1].find(L"Error No.0915"));
    EXPECT_EQ(L"", jotter.lines[2]);
    // A box would have kept the message waiting: it returned with the job done.
    EXPECT_EQ(1, dialog.jobsDone);
}

// The saved Decoder value chooses the decoder of the dialog's jobs, and of
// the batch's, which make theirs the same way.
TEST_F(MainDialog, TheSavedDecoderValueChoosesTheDecoder) {
    CTestZEPDlg dialog;
    EXPECT_EQ(L"built-in (FLAC)", dialog.DecoderFor(MediaPath("s16_stereo_44k.flac"), 0));
    EXPECT_EQ(L"system", dialog.DecoderFor(MediaPath("s16_stereo_44k.flac"), 1));
}

// An output that cannot hold the input's cover is one line in the batch's
// log; the file still converts.
TEST_F(MainDialog, ABatchsCoverLeftOutIsOneLineInTheLogWindow) {
    TestLogWindow jotter(L"Jotter - test");
    CTestZEPDlg dialog;
    dialog.SetBatchState(2); // the batch's question answered
    const std::wstring input = OutputPath("junk_cover.flac");
    ASSERT_TRUE(CopyFileW(MediaPath("junk_cover.flac").c_str(), input.c_str(), FALSE));
    CTestBatch batch({input});
    RunMainDialog(dialog, [&](HWND window) {
        Prepare(window, input, L"", 5);
        SendMessageW(window, WM_BATSTART_AUDIO, batch.File(0), 0);
    });
    ASSERT_EQ(1u, jotter.lines.size());
    EXPECT_EQ(CoverLeftOutText(input), jotter.lines[0]);
    EXPECT_TRUE(FileExists(OutputPath("junk_cover.opus")));
}

TEST_F(MainDialog, ShowsItsCaptionsInTheSystemLanguageAndLeavesAScreenshot) {
    CTestZEPDlg dialog;
    std::wstring input, convert;
    RunMainDialog(dialog, [&](HWND window) {
        input = ItemText(window, IDC_INPUT_GROUP);
        convert = ItemText(window, IDC_CONVERT);
        Sleep(300); // let it paint
        SaveScreenshot(window, InLanguage(L"main-dialog-ja", L"main-dialog-en"));
    });
    EXPECT_EQ(InLanguage(L"入力ファイル名[音源ファイル]", L"Input Path[Audio File]"), input);
    EXPECT_EQ(InLanguage(L"変換(&C)", L"Conversion(&C)"), convert);
}

namespace {

HWND WaitForMp3Settings(DWORD thread, DWORD timeoutMs = 10000) {
    return WaitForDialogWith(thread, IDC_GOGO_VBR_BPS, timeoutMs);
}

} // namespace

TEST_F(MainDialog, Mp3AndLayer3WaveAfterTheSettingsDialog) {
    const DWORD thread = GetCurrentThreadId();
    CTestZEPDlg dialog;
    std::wstring mp3Status, waveStatus;
    bool askedTwice = true;
    RunMainDialog(dialog, [&](HWND window) {
        Prepare(window, MediaPath("s16_stereo_44k.ogg"), OutputPath("main-mp3.wav"), 2);
        Click(window, IDC_CONVERT);
        HWND settings = WaitForMp3Settings(thread);
        askedTwice = settings != nullptr;
        Click(settings, IDOK);
        WaitForJobs(dialog, 1);
        mp3Status = ItemText(window, IDC_STATUS);
        Prepare(window, MediaPath("s16_stereo_44k.wav"), OutputPath("main-layer3.mp3"), 1);
        Click(window, IDC_CONVERT);
        settings = WaitForMp3Settings(thread);
        askedTwice = askedTwice && settings != nullptr;
        Click(settings, IDOK);
        WaitForJobs(dialog, 2);
        waveStatus = ItemText(window, IDC_STATUS);
    });
    // Outside a batch every job asks; the list alone decides the extension.
    EXPECT_TRUE(askedTwice);
    EXPECT_EQ(L"100 %", mp3Status);
    EXPECT_EQ(L"100 %", waveStatus);
    EXPECT_TRUE(FileExists(OutputPath("main-mp3.mp3")));
    EXPECT_TRUE(FileExists(OutputPath("main-layer3.wav")));
}

TEST_F(MainDialog, CancellingTheMp3SettingsEndsSilently) {
    const DWORD thread = GetCurrentThreadId();
    CTestZEPDlg dialog;
    const std::wstring output = OutputPath("main-cancelled.mp3");
    std::wstring status;
    HWND box = nullptr;
    RunMainDialog(dialog, [&](HWND window) {
        Prepare(window, MediaPath("s16_stereo_44k.wav"), output, 2);
        Click(window, IDC_CONVERT);
        Click(WaitForMp3Settings(thread), IDCANCEL);
        WaitForJobs(dialog, 1);
        box = WaitForOwnedDialog(thread, window, 500);
        status = ItemText(window, IDC_STATUS);
    });
    EXPECT_EQ(nullptr, box);
    // The progress timer may have ticked while the settings dialog was open;
    // no block was converted either way.
    EXPECT_TRUE(status == LoadPairedString(10047, 10048) || status.find(L"  0 %") == 0)
        << status.size();
    EXPECT_FALSE(FileExists(output));
    EXPECT_TRUE(dialog.HasDecoder());
}

TEST_F(MainDialog, WmaEndsWithItsErrorOnThisPlatform) {
    const DWORD thread = GetCurrentThreadId();
    CTestZEPDlg dialog;
    ShownBox box;
    bool convertEnabled = false;
    RunMainDialog(dialog, [&](HWND window) {
        Prepare(window, MediaPath("s16_stereo_44k.wav"), OutputPath("main.wma"), 3);
        Click(window, IDC_CONVERT);
        Click(WaitForDialogWith(thread, IDC_WMA_TWO_PASS), IDOK);
        box = AnswerMessageBox(thread, window, 20000);
        WaitForJobs(dialog, 1);
        convertEnabled = IsItemEnabled(window, IDC_CONVERT);
    });
    // Wine's Windows Media writer has no system profiles.
    EXPECT_EQ(L"Error No.3001", box.caption);
    EXPECT_TRUE(convertEnabled);
}

// Each output with a settings dialog: the entry in the list, a control of its dialog.
TEST_F(MainDialog, InABatchOnlyTheFirstFileAsksForSettings) {
    const DWORD thread = GetCurrentThreadId();
    const struct {
        int entry, control;
    } outputs[] = {{2, IDC_GOGO_VBR_BPS}, {4, IDC_FLAC_LEVEL}, {5, IDC_OPUS_BITRATE}};
    for (const auto& output : outputs) {
        CTestZEPDlg dialog;
        dialog.SetBatchState(1);
        CTestBatch batch({MediaPath("u8_mono_22k.wav"), MediaPath("s24_stereo_48k.wav")});
        HWND firstDialog = nullptr, secondDialog = nullptr;
        RunMainDialog(dialog, [&](HWND window) {
            SelectEntry(window, IDC_OUTPUT_FORMAT, output.entry);
            PostMessageW(window, WM_BATSTART_AUDIO, batch.File(0), 0);
            firstDialog = WaitForDialogWith(thread, output.control, 10000);
            Click(firstDialog, IDOK);
            WaitForJobs(dialog, 1);
            PostMessageW(window, WM_BATSTART_AUDIO, batch.File(1), 0);
            secondDialog = WaitForDialogWith(thread, output.control, 1500);
            if (secondDialog)
                Click(secondDialog, IDCANCEL);
            WaitForJobs(dialog, 2);
        });
        EXPECT_NE(nullptr, firstDialog) << output.entry;
        EXPECT_EQ(nullptr, secondDialog) << output.entry;
        EXPECT_EQ(2, dialog.jobsDone) << output.entry;
    }
}

TEST_F(MainDialog, WavAcmToImaAdpcmThroughTheRealChooser) {
    const DWORD thread = GetCurrentThreadId();
    CTestZEPDlg dialog;
    bool answered = false;
    std::wstring status;
    RunMainDialog(dialog, [&](HWND window) {
        Prepare(window, MediaPath("s16_stereo_44k.wav"), OutputPath("main-ima-chosen.wav"), 0);
        Click(window, IDC_CONVERT);
        answered = AnswerFormatChooser(thread, L"IMA ADPCM", L"44100 Hz; 4 bits; Stereo");
        WaitForJobs(dialog, 1);
        status = ItemText(window, IDC_STATUS);
    });
    EXPECT_TRUE(answered);
    EXPECT_EQ(L"100 %", status);
    EXPECT_TRUE(FileExists(OutputPath("main-ima-chosen.wav")));
}

namespace {

// Errors shown on the dialog's own thread; each box is read and closed.
std::vector<ShownBox> ShowErrors(CTestZEPDlg& dialog, const std::vector<int>& numbers) {
    const DWORD thread = GetCurrentThreadId();
    std::vector<ShownBox> shown;
    RunMainDialog(dialog, [&](HWND window) {
        for (int number : numbers) {
            int before = dialog.jobsDone;
            PostMessageW(window, CTestZEPDlg::ShowErrorMessage, static_cast<WPARAM>(number), 0);
            shown.push_back(
                AnswerMessageBox(thread, window, number == 0 || number == -2 ? 500 : 10000));
            WaitForJobs(dialog, before + 1);
        }
    });
    return shown;
}

} // namespace

TEST_F(MainDialog, ErrorHeadingsAndTextsAndSilentNumbers) {
    CTestZEPDlg dialog;
    std::vector<ShownBox> shown = ShowErrors(dialog, {915, 6001, -41, 12345, 0, -2});
    ASSERT_EQ(6u, shown.size());
    EXPECT_EQ(L"Error No.0915", shown[0].caption);
    EXPECT_EQ(L"Error No.6001", shown[1].caption);
    EXPECT_EQ(L"Error No.-041", shown[2].caption);
    EXPECT_EQ(L"Error No.12345", shown[3].caption);
    EXPECT_NE(std::wstring::npos, shown[3].text.find(LoadResPairedString(10271, 10272)));
    EXPECT_EQ(L"", shown[4].caption);
    EXPECT_EQ(L"", shown[5].caption);
}

TEST_F(MainDialog, WithoutTheResourceLibraryAFailureStillShowsItsNumber) {
    ResDllHandle.Free();
    CTestZEPDlg dialog;
    std::vector<ShownBox> shown = ShowErrors(dialog, {915});
    ResDllHandle.Load(L"Res.dll");
    ASSERT_EQ(1u, shown.size());
    EXPECT_EQ(L"Error No.0915", shown[0].caption);
    EXPECT_NE(std::wstring::npos, shown[0].text.find(L"Error No.0915"));
    EXPECT_EQ(1, dialog.Finished());
}

TEST_F(MainDialog, InABatchWithoutALogWindowTheBoxAppears) {
    CTestZEPDlg dialog;
    dialog.SetBatchState(1);
    std::vector<ShownBox> shown = ShowErrors(dialog, {915});
    ASSERT_EQ(1u, shown.size());
    EXPECT_EQ(L"Error No.0915", shown[0].caption);
}

namespace {

// A writer that reports an analysis pass, as a two-pass profile does.
class CAnalysingWriter : public CEncWMVWMA {
  public:
    int GetTwoPass() const override { return 1; }
};

} // namespace

TEST_F(MainDialog, TheAnalysisPassPrefixesThePercent) {
    CTestZEPDlg dialog;
    dialog.UseWmaWriter(new CAnalysingWriter);
    std::wstring status;
    RunMainDialog(dialog, [&](HWND window) {
        SendMessageW(window, WM_TIMER, 1, 0);
        status = ItemText(window, IDC_STATUS);
    });
    EXPECT_EQ(0u, status.find(LoadResPairedString(10001, 10002) + L"  0 % (00:00:00"));
}

TEST_F(MainDialog, ABatchFileArrivingDuringAJobIsIgnored) {
    CTestZEPDlg dialog;
    UseSlowDecoder(dialog);
    dialog.SetBatchState(2);
    dialog.RememberBatchFormat(Pcm(44100, 2));
    const std::wstring running = MediaPath("long_600s.flac");
    CTestBatch intruder({MediaPath("s16_stereo_44k.wav")});
    std::wstring inputDuringJob;
    RunMainDialog(dialog, [&](HWND window) {
        Prepare(window, running, OutputPath("main-reentry.wav"), 0);
        Click(window, IDC_CONVERT);
        WaitUntil([&] { return IsItemEnabled(window, IDC_STOP); });
        SendMessageW(window, WM_BATSTART_AUDIO, intruder.File(0), 0);
        inputDuringJob = ItemText(window, IDC_INPUT_PATH);
        Click(window, IDC_STOP);
        WaitForJobs(dialog, 2, 60000);
    });
    EXPECT_EQ(running, inputDuringJob);
    EXPECT_FALSE(FileExists(OutputPath("s16_stereo_44k.wav")));
}

namespace {

// A fresh folder of the tests' outputs holding copies of media files, each
// titled with its number.
std::vector<std::wstring> CopiesIn(const std::string& folder, const std::string& media, int count) {
    const std::wstring path = OutputPath(folder) + L"\\";
    EmptyFolder(path);
    std::vector<std::wstring> copies;
    for (int n = 0; n < count; ++n) {
        copies.push_back(path + std::to_wstring(n) + L".wav");
        CopyFileW(MediaPath(media).c_str(), copies.back().c_str(), FALSE);
        CTagRecord record;
        record.title = std::to_wstring(n);
        WriteWaveTags(copies.back(), record);
    }
    return copies;
}

// A batch handed over whole, as the batch dialog hands it: script answers
// what the dialog asks meanwhile; returns when the batch has ended.
LRESULT RunWholeBatch(HWND window, const CTestBatch& batch, const std::function<void()>& script) {
    LRESULT taken = 0;
    std::thread sender([&] { taken = SendMessageW(window, WM_BATSTART_FILES, batch.Whole(), 0); });
    script();
    sender.join();
    return taken;
}

LONGLONG FileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return (static_cast<LONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

WORD WaveFormatTag(const std::wstring& path) {
    const std::string bytes = FileText(path);
    return bytes.size() > 22 ? static_cast<WORD>(static_cast<unsigned char>(bytes[20]) |
                                                 static_cast<unsigned char>(bytes[21]) << 8)
                             : 0;
}

} // namespace

// Registered messages have the same number in every program: what another
// program's broadcast carries is never followed.
TEST_F(MainDialog, BatchMessagesCarryingNoBatchOfOursAreIgnored) {
    CTestZEPDlg dialog;
    const std::wstring notOurs = MediaPath("s16_stereo_44k.wav");
    LRESULT results[4] = {1, 1, 1, 1};
    std::wstring input;
    RunMainDialog(dialog, [&](HWND window) {
        const WPARAM carried[] = {0x10, reinterpret_cast<WPARAM>(notOurs.c_str())};
        for (int n = 0; n < 2; ++n) {
            results[2 * n] = SendMessageW(window, WM_BATSTART_FILES, carried[n], 0);
            results[2 * n + 1] = SendMessageW(window, WM_BATSTART_AUDIO, carried[n], 0);
        }
        input = ItemText(window, IDC_INPUT_PATH);
    });
    for (LRESULT result : results)
        EXPECT_EQ(0, result);
    EXPECT_EQ(L"", input);
}

// Each Batch Start asks anew and converts with its own answer, in one and
// the same batch dialog.
TEST_F(MainDialog, EachBatchStartConvertsWithItsOwnAnswer) {
    const DWORD thread = GetCurrentThreadId();
    ProfileWriteInt(L"data", L"BatchJobs", 2);
    CTestZEPDlg dialog;
    CTestBatch first(CopiesIn("batch-first", "s16_stereo_44k.wav", 2));
    CTestBatch second(CopiesIn("batch-second", "s16_stereo_44k.wav", 2));
    RunMainDialog(dialog, [&](HWND window) {
        SelectEntry(window, IDC_OUTPUT_FORMAT, 0);
        RunWholeBatch(window, first,
                      [&] { AnswerFormatChooser(thread, L"PCM", L"44100 Hz; 16 bits; Stereo"); });
        RunWholeBatch(window, second, [&] {
            AnswerFormatChooser(thread, L"IMA ADPCM", L"44100 Hz; 4 bits; Stereo");
        });
    });
    // Each output carries its own input's tags.
    for (const CTestBatch* batch : {&first, &second}) {
        const WORD tag = batch == &first ? WAVE_FORMAT_PCM : WAVE_FORMAT_IMA_ADPCM;
        for (size_t n = 0; n < batch->files.size(); ++n) {
            const std::wstring& input = batch->files[n];
            const std::wstring output = input.substr(0, input.size() - 4) + L"_conv.wav";
            EXPECT_EQ(tag, WaveFormatTag(output));
            EXPECT_EQ(std::to_wstring(n), ReadTags(output).title);
        }
        EXPECT_EQ(2, batch->finished);
    }
}

// The batch's Stop pressed while its question is open ends it before any
// file; the main window's Stop stops the running files and the batch goes on.
TEST_F(MainDialog, TheBatchsStopEndsItAndTheMainWindowsStopOnlyTheRunningFiles) {
    const DWORD thread = GetCurrentThreadId();
    ProfileWriteInt(L"data", L"BatchJobs", 2);
    CTestZEPDlg dialog;
    CTestBatch stoppedAtTheQuestion(CopiesIn("batch-stopped", "s16_stereo_44k.wav", 2));
    CTestBatch goesOn(CopiesIn("batch-goes-on", "long_60s.wav", 3));
    auto output = [](const std::wstring& input) {
        return input.substr(0, input.size() - 4) + L".mp3";
    };
    RunMainDialog(dialog, [&](HWND window) {
        SelectEntry(window, IDC_OUTPUT_FORMAT, 2);
        RunWholeBatch(window, stoppedAtTheQuestion, [&] {
            HWND settings = WaitForMp3Settings(thread);
            stoppedAtTheQuestion.stopped = true;
            SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_STOP, BN_CLICKED), 0);
            Click(settings, IDOK);
        });
        RunWholeBatch(window, goesOn, [&] {
            Click(WaitForMp3Settings(thread), IDOK);
            WaitUntil([&] { return IsItemEnabled(window, IDC_STOP); });
            Sleep(300); // both workers are converting
            Click(window, IDC_STOP);
        });
    });
    for (const std::wstring& input : stoppedAtTheQuestion.files)
        EXPECT_FALSE(FileExists(output(input)));
    EXPECT_EQ(0, stoppedAtTheQuestion.finished);
    const LONGLONG whole = FileSize(output(goesOn.files[2]));
    EXPECT_GT(whole, 60 * 16000 * 95 / 100); // 60 s at 128 kbit/s
    EXPECT_LT(std::min(FileSize(output(goesOn.files[0])), FileSize(output(goesOn.files[1]))),
              whole * 9 / 10);
    EXPECT_EQ(3, goesOn.finished);
}
