// Converts with ZEP.exe as a user does, only through its windows, and prints
// how long each conversion took: from pressing the button to the end, less
// the time ZEP's settings dialog or format chooser waited for its answer.
//
// Usage: zep_bench INSTALL_FOLDER JOB...
//   JOB: mp3 IN OUT | mp3-vbr IN OUT | pcm IN OUT | adpcm IN OUT | batch-mp3 FOLDER |
//        batch-pcm FOLDER
// MP3 is 128 kbit/s CBR joint stereo (as the bare gogo.dll loop and lame
// encode), mp3-vbr VBR quality 2 from 128 kbit/s; pcm and adpcm are 44.1 kHz stereo WAVE files. A batch converts
// every file of FOLDER into the same folder.
// Prints "seconds KIND VALUE" per job, in order; exits 1 at the first failure.
#include "acceptance/ZepUser.h"
#include "resdll/Res.h"
#include "resources/resource.h"
#include "support/WindowTestSupport.h"
#include <chrono>
#include <commctrl.h>
#include <cstdio>
#include <cwchar>
#include <functional>
#include <optional>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

constexpr DWORD kJobTimeoutMs = 30 * 60 * 1000; // an hour of audio to MP3, on a slow machine
constexpr DWORD kPollMs = 5;
constexpr int kCbrKbps = 128;
constexpr int kJointStereo = 2; // the mode list's entry, GOGO_MODE_JOINT_STEREO
// The install's Setting.ini names the branch "ZEPBench".
constexpr const wchar_t* kSettingsBranch = L"software\\ZEPBench";
constexpr const wchar_t* kSettingsKey = L"software\\ZEPBench\\ZEP\\data";

struct Kind {
    const wchar_t* name;
    int outputType;
    bool batch;
    const wchar_t* formatTag; // the format chooser's answer; null: the MP3 settings dialog
    const wchar_t* attributes;
    int vbrQuality = -1; // MP3: -1 for CBR
};

const Kind kKinds[] = {
    {L"mp3", 2, false, nullptr, nullptr},
    {L"mp3-vbr", 2, false, nullptr, nullptr, 2},
    {L"pcm", 0, false, L"PCM", L"44100 Hz; 16 bits; Stereo"},
    {L"adpcm", 0, false, L"IMA ADPCM", L"44100 Hz; 4 bits; Stereo"},
    {L"batch-mp3", 2, true, nullptr, nullptr},
    {L"batch-pcm", 0, true, L"PCM", L"44100 Hz; 16 bits; Stereo"},
};

const Kind* FindKind(const std::wstring& name) {
    for (const Kind& kind : kKinds)
        if (name == kind.name)
            return &kind;
    return nullptr;
}

// A job that cannot end well: ZEP has gone or shows an error box. The
// answered dialog may still be closing, and its labels look like a box's text.
bool JobFailed(const ZepUser& zep, HWND answered) {
    return zep.WaitForExit(0) != -1 ||
           zep.WaitForDialog(
               [&](HWND window) {
                   return window != answered && GetDlgItem(window, 0xFFFF) != nullptr;
               },
               0) != nullptr;
}

// Polls every few milliseconds: close enough to time the end, rare enough to
// leave the wineserver to ZEP. Gives up when the job fails or the time runs out.
bool PollUntil(const std::function<bool()>& condition, const std::function<bool()>& failed,
               Clock::time_point* when) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(kJobTimeoutMs);
    auto nextFailureCheck = Clock::now();
    for (;;) {
        if (condition()) {
            *when = Clock::now();
            return true;
        }
        const auto now = Clock::now();
        if (now > deadline)
            return false;
        if (now >= nextFailureCheck) {
            if (failed())
                return false;
            nextFailureCheck = now + std::chrono::milliseconds(500);
        }
        Sleep(kPollMs);
    }
}

int EntryWithData(HWND dialog, int listId, LRESULT data) {
    const LRESULT count = SendTo(dialog, listId, CB_GETCOUNT);
    for (int i = 0; i < count; ++i)
        if (SendTo(dialog, listId, CB_GETITEMDATA, static_cast<WPARAM>(i)) == data)
            return i;
    return -1;
}

bool Choose(HWND dialog, int listId, int index) {
    SelectEntry(dialog, listId, index);
    return index >= 0 && SelectedIndex(dialog, listId) == index;
}

bool ChooseByPrefix(HWND dialog, int listId, const std::wstring& prefix) {
    if (SelectEntryByPrefix(dialog, listId, prefix))
        return true;
    std::fwprintf(stderr, L"zep_bench: no entry \"%ls\" in list %d\n", prefix.c_str(), listId);
    return false;
}

// The MP3 settings dialog set to what the other encoders are given.
bool AnswerMp3Settings(HWND dialog, int vbrQuality) {
    const bool vbr = vbrQuality >= 0;
    SetCheck(dialog, IDC_GOGO_VBR, vbr);
    const int rateList = vbr ? IDC_GOGO_VBR_BPS : IDC_GOGO_CBR_BPS;
    return Choose(dialog, IDC_GOGO_MODE, kJointStereo) &&
           Choose(dialog, rateList, EntryWithData(dialog, rateList, kCbrKbps)) &&
           (!vbr || Choose(dialog, IDC_GOGO_QUALITY, vbrQuality)) &&
           IsItemChecked(dialog, IDC_GOGO_VBR) == vbr;
}

// The dialog a conversion of this kind opens before it starts.
HWND WaitForQuestion(const ZepUser& zep, const Kind& kind) {
    if (!kind.formatTag)
        return zep.WaitForDialogWith(IDC_GOGO_MODE);
    // The system's format chooser, found by its two lists.
    return zep.WaitForDialog(
        [](HWND window) { return GetDlgItem(window, 101) && GetDlgItem(window, 102); });
}

// The answer, short of pressing OK.
bool Answer(HWND dialog, const Kind& kind) {
    if (!kind.formatTag)
        return AnswerMp3Settings(dialog, kind.vbrQuality);
    return ChooseByPrefix(dialog, 101, kind.formatTag) &&
           ChooseByPrefix(dialog, 102, kind.attributes);
}

double Seconds(Clock::duration span) { return std::chrono::duration<double>(span).count(); }

// Starts a conversion, answers its question and waits until ended holds;
// the seconds of ZEP's own work.
std::optional<double> Timed(const ZepUser& zep, const Kind& kind,
                            const std::function<void()>& start,
                            const std::function<bool()>& ended) {
    const auto pressed = Clock::now();
    start();
    HWND question = WaitForQuestion(zep, kind);
    const auto asked = Clock::now();
    if (!question || !Answer(question, kind)) {
        std::fwprintf(stderr, L"zep_bench: %ls: ZEP asked nothing or took no answer\n", kind.name);
        return std::nullopt;
    }
    const auto answered = Clock::now();
    Click(question, IDOK);
    Clock::time_point end;
    if (!PollUntil(
            ended, [&] { return JobFailed(zep, question); }, &end))
        return std::nullopt;
    return Seconds(asked - pressed) + Seconds(end - answered);
}

std::optional<double> ConvertOne(ZepUser& zep, const Kind& kind, const std::wstring& input,
                                 const std::wstring& output) {
    DeleteFileW(output.c_str());
    zep.Enter(input, output, kind.outputType);
    // Cleared so that "100 %" shows the end of this job, not of the last one.
    SetItemText(zep.Main(), IDC_STATUS, L"");
    HWND convert = GetDlgItem(zep.Main(), IDC_CONVERT), stop = GetDlgItem(zep.Main(), IDC_STOP);
    auto ended = [&] {
        return IsWindowEnabled(convert) && !IsWindowEnabled(stop) &&
               zep.Text(IDC_STATUS) == L"100 %";
    };
    auto seconds = Timed(
        zep, kind, [&] { zep.Press(IDC_CONVERT); }, ended);
    // The stricter check of the tests: no dialog left and the output closed.
    if (!seconds || !zep.WaitForJobEnd(output, 30000) || zep.Text(IDC_STATUS) != L"100 %" ||
        !FileExists(output))
        return std::nullopt;
    return seconds;
}

// The folder the batch dialog shows when it opens: ZEP keeps the last one in
// its settings. Typing it into the dialog's folder chooser does not work
// under Wine, whose chooser takes only the folder selected in its tree.
bool SetLastBatchFolder(const std::wstring& folder) {
    const DWORD bytes = static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t));
    return RegSetKeyValueW(HKEY_CURRENT_USER, kSettingsKey, L"LASTDIR", REG_SZ, folder.c_str(),
                           bytes) == ERROR_SUCCESS;
}

std::wstring LastBatchFolder() {
    wchar_t folder[MAX_PATH * 4] = {};
    DWORD bytes = sizeof folder;
    if (RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, L"LASTDIR", RRF_RT_REG_SZ, nullptr, folder,
                     &bytes) != ERROR_SUCCESS)
        return std::wstring();
    return folder;
}

// A new batch dialog each time: its progress bar starts at 0.
HWND OpenBatch(const ZepUser& zep, const Kind& kind, const std::wstring& folder) {
    if (!SetLastBatchFolder(folder))
        return nullptr;
    SelectEntry(zep.Main(), IDC_OUTPUT_FORMAT, kind.outputType);
    HWND batch = zep.OpenBatch();
    auto shown = [&] { return ItemText(batch, IDC_BAT_FOLDER) == folder; };
    if (batch && WaitUntil(shown, 3000))
        return batch;
    std::fwprintf(stderr, L"zep_bench: no batch dialog showing the folder %ls\n", folder.c_str());
    return nullptr;
}

std::optional<double> ConvertBatch(const ZepUser& zep, const Kind& kind,
                                   const std::wstring& folder) {
    HWND batch = OpenBatch(zep, kind, folder);
    if (!batch)
        return std::nullopt;
    HWND start = GetDlgItem(batch, IDC_BAT_START);
    // Batch Start is disabled for the whole batch; the window state costs ZEP
    // nothing, the progress bar is asked only when it may be over.
    auto ended = [&] {
        return IsWindowEnabled(start) && SendTo(batch, IDC_BAT_PROGRESS, PBM_GETPOS) == 100;
    };
    auto seconds = Timed(
        zep, kind, [&] { Click(batch, IDC_BAT_START); }, ended);
    PostMessageW(batch, WM_SYSCOMMAND, SC_CLOSE, 0);
    // ZEP writes the folder back once the closed dialog is gone: the next
    // batch's folder must not be written before that.
    if (!WaitUntil([&] { return !IsWindow(batch) && LastBatchFolder() == folder; }))
        return std::nullopt;
    return seconds;
}

// Runs the job at argv[at]; at moves past its arguments.
std::optional<double> RunJob(ZepUser& zep, int argc, wchar_t** argv, int& at, const Kind** kind) {
    *kind = FindKind(argv[at]);
    const int arguments = *kind && (*kind)->batch ? 1 : 2;
    if (!*kind || at + arguments >= argc) {
        std::fwprintf(stderr, L"zep_bench: bad job at \"%ls\"\n", argv[at]);
        at = argc;
        return std::nullopt;
    }
    const int first = at + 1;
    at += arguments + 1;
    if ((*kind)->batch)
        return ConvertBatch(zep, **kind, argv[first]);
    return ConvertOne(zep, **kind, argv[first], argv[first + 1]);
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fwprintf(stderr, L"usage: zep_bench INSTALL_FOLDER JOB...\n");
        return 2;
    }
    // Every run starts from ZEP's default settings.
    RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsBranch);
    ZepUser zep(argv[1]);
    if (!zep.Started()) {
        std::fwprintf(stderr, L"zep_bench: ZEP did not start from %ls\n", argv[1]);
        return 1;
    }
    for (int at = 2; at < argc;) {
        const Kind* kind = nullptr;
        const std::optional<double> seconds = RunJob(zep, argc, argv, at, &kind);
        if (!seconds) {
            std::fwprintf(stderr, L"zep_bench: %ls failed\n", kind ? kind->name : L"a job");
            return 1;
        }
        std::wprintf(L"seconds %ls %.3f\n", kind->name, *seconds);
        std::fflush(stdout);
    }
    return zep.Close() == 0 ? 0 : 1;
}
