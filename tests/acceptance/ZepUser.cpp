#include "ZepUser.h"
#include "framework/WindowText.h"
#include "resdll/Res.h"
#include "resources/resource.h"
#include "support/WindowTestSupport.h"

#include <commctrl.h>

namespace {

// A message box is a dialog with its text in the static control 0xFFFF;
// the format chooser has one too, beside its two lists.
bool IsMessageBox(HWND window) {
    return GetDlgItem(window, 0xFFFF) != nullptr && GetDlgItem(window, 101) == nullptr;
}

} // namespace

bool FileExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool FileClosed(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    return true;
}

ZepUser::ZepUser(const std::wstring& installFolder) {
    const std::wstring program = installFolder + L"\\ZEP.exe";
    std::wstring line = L"\"" + program + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started = {};
    if (!CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        installFolder.c_str(), &startup, &started))
        return;
    CloseHandle(started.hThread);
    process = started.hProcess;
    processId = started.dwProcessId;
    main = ::WaitForWindow(
        [&](HWND window) {
            return ProcessOf(window) == processId && GetDlgItem(window, IDC_CONVERT) != nullptr;
        },
        30000);
}

ZepUser::~ZepUser() {
    if (!process)
        return;
    if (WaitForSingleObject(process, 0) == WAIT_TIMEOUT && Close() < 0)
        TerminateProcess(process, 1);
    CloseHandle(process);
}

void ZepUser::Enter(const std::wstring& input, const std::wstring& output, int outputType) {
    SetItemText(main, IDC_INPUT_PATH, input);
    SetItemText(main, IDC_OUTPUT_PATH, output);
    SelectEntry(main, IDC_OUTPUT_FORMAT, outputType);
}

std::wstring ZepUser::Text(int id) const { return ItemText(main, id); }

bool ZepUser::Enabled(int id) const { return IsItemEnabled(main, id); }

void ZepUser::Press(int id) const { Click(main, id); }

HWND ZepUser::WaitForDialog(const std::function<bool(HWND)>& match, DWORD timeoutMs) const {
    return ::WaitForWindow(
        [&](HWND window) {
            return window != main && ProcessOf(window) == processId && IsDialogClass(window) &&
                   match(window);
        },
        timeoutMs);
}

HWND ZepUser::WaitForDialogWith(int controlId, DWORD timeoutMs) const {
    return WaitForDialog([&](HWND window) { return GetDlgItem(window, controlId) != nullptr; },
                         timeoutMs);
}

bool ZepUser::AnyDialogShown() const {
    return WaitForDialog([](HWND) { return true; }, 0) != nullptr;
}

bool ZepUser::ConfirmSettings(int dialogControlId, const std::wstring& screenshot) {
    HWND dialog = WaitForDialogWith(dialogControlId);
    if (!dialog)
        return false;
    if (!screenshot.empty())
        SaveScreenshot(dialog, screenshot);
    Click(dialog, IDOK);
    return WaitUntil([&] { return !IsWindow(dialog); });
}

bool ZepUser::ChooseFormat(const std::wstring& tag, const std::wstring& attributes,
                           const std::wstring& screenshot) {
    // Found by its two lists: its title follows the system language.
    HWND chooser = WaitForDialog(
        [](HWND window) { return GetDlgItem(window, 101) && GetDlgItem(window, 102); });
    if (!chooser)
        return false;
    if (!SelectEntryByPrefix(chooser, 101, tag) || !SelectEntryByPrefix(chooser, 102, attributes))
        return false;
    if (!screenshot.empty())
        SaveScreenshot(chooser, screenshot);
    Click(chooser, IDOK);
    return WaitUntil([&] { return !IsWindow(chooser); });
}

ZepUser::Box ZepUser::AnswerBox(DWORD timeoutMs, const std::wstring& screenshot) {
    Box box;
    HWND window = WaitForDialog(IsMessageBox, timeoutMs);
    if (!window)
        return box;
    if (!screenshot.empty())
        SaveScreenshot(window, screenshot);
    box.shown = true;
    box.caption = WindowText(window);
    box.text = ItemText(window, 0xFFFF);
    Click(window, IDOK);
    WaitUntil([&] { return !IsWindow(window); });
    return box;
}

bool ZepUser::WaitForJobEnd(const std::wstring& output, DWORD timeoutMs) {
    auto ended = [&] {
        return Enabled(IDC_CONVERT) && !Enabled(IDC_STOP) && !AnyDialogShown() &&
               (output.empty() || !FileExists(output) || FileClosed(output));
    };
    // Seen twice in a row: a job between two of its stages looks ended for a moment.
    return WaitUntil([&] { return ended() && (Sleep(150), ended()); }, timeoutMs);
}

bool ZepUser::SetVolume(int percent) {
    Press(IDC_SETTING);
    HWND setting = WaitForDialogWith(IDC_SETTING_VOLUME);
    if (!setting)
        return false;
    Click(setting, IDC_SETTING_VOLUME);
    HWND volume = WaitForDialog([](HWND window) {
        return GetDlgItem(window, IDC_VOLUME) && !GetDlgItem(window, IDC_SETTING_VOLUME);
    });
    if (!volume)
        return false;
    SetItemText(volume, IDC_VOLUME, std::to_wstring(percent));
    Click(volume, IDOK);
    if (!WaitUntil([&] { return !IsWindow(volume); }))
        return false;
    Click(setting, IDOK);
    return WaitUntil([&] { return !IsWindow(setting); });
}

HWND ZepUser::OpenBatch() const {
    PostMessageW(main, WM_COMMAND, ID_BATCH, 0);
    return WaitForDialogWith(IDC_BAT_START);
}

bool ZepUser::RunBatch(HWND batch, const std::function<bool()>& answer, DWORD timeoutMs) {
    Click(batch, IDC_BAT_START);
    const bool answered = answer();
    return WaitUntil(
               [&] {
                   return SendMessageW(GetDlgItem(batch, IDC_BAT_PROGRESS), PBM_GETPOS, 0, 0) ==
                              100 &&
                          IsItemEnabled(batch, IDC_BAT_START);
               },
               timeoutMs) &&
           answered;
}

long ZepUser::Close(DWORD timeoutMs) {
    PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
    return WaitForExit(timeoutMs);
}

long ZepUser::WaitForExit(DWORD timeoutMs) const {
    DWORD code = 0;
    if (!process || WaitForSingleObject(process, timeoutMs) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(process, &code))
        return -1;
    return static_cast<long>(code);
}
