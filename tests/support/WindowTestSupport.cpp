#include "WindowTestSupport.h"
#include "framework/WindowText.h"
#include <algorithm>
#include <chrono>

std::wstring ClassNameOf(HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

std::wstring ControlText(HWND control) {
    LRESULT length = SendMessageW(control, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
    LRESULT copied =
        SendMessageW(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

std::wstring MenuItemText(HMENU menu, UINT position) {
    wchar_t text[128] = {};
    GetMenuStringW(menu, position, text, 128, MF_BYPOSITION);
    return text;
}

DWORD ProcessOf(HWND window) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return process;
}

bool IsDialogClass(HWND window) { return ClassNameOf(window) == L"#32770"; }

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (condition())
            return true;
        if (std::chrono::steady_clock::now() > end)
            return false;
        Sleep(20);
    }
}

namespace {

struct Search {
    const std::function<bool(HWND)>* match;
    HWND found;
};

BOOL CALLBACK Visit(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<Search*>(parameter);
    if (IsWindowVisible(window) && (*search->match)(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

HWND WaitForWindow(const std::function<bool(HWND)>& match, DWORD timeoutMs) {
    Search search = {&match, nullptr};
    WaitUntil(
        [&] {
            EnumWindows(Visit, reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr;
        },
        timeoutMs);
    return search.found;
}

HWND WaitForThreadDialog(DWORD threadId, const std::wstring& caption, DWORD timeoutMs) {
    return WaitForWindow(
        [&](HWND window) {
            return GetWindowThreadProcessId(window, nullptr) == threadId && IsDialogClass(window) &&
                   WindowText(window) == caption;
        },
        timeoutMs);
}

CMessageBoxAnswerer::CMessageBoxAnswerer() : watcher([this] { Watch(); }) {}

CMessageBoxAnswerer::~CMessageBoxAnswerer() {
    {
        std::lock_guard<std::mutex> guard(lock);
        stopping = true;
    }
    watcher.join();
}

void CMessageBoxAnswerer::Watch() {
    for (;;) {
        {
            std::lock_guard<std::mutex> guard(lock);
            if (stopping)
                return;
        }
        // A message box is a dialog with its text in the static control 0xFFFF.
        HWND box = ::WaitForWindow(
            [&](HWND window) {
                std::lock_guard<std::mutex> guard(lock);
                return ProcessOf(window) == GetCurrentProcessId() && IsDialogClass(window) &&
                       GetDlgItem(window, 0xFFFF) &&
                       std::find(answered.begin(), answered.end(), window) == answered.end();
            },
            50);
        if (!box)
            continue;
        std::lock_guard<std::mutex> guard(lock);
        answered.push_back(box);
        texts.push_back(WindowText(GetDlgItem(box, 0xFFFF)));
        captions.push_back(WindowText(box));
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
}

std::vector<std::wstring> CMessageBoxAnswerer::Texts() {
    std::lock_guard<std::mutex> guard(lock);
    return texts;
}

std::vector<std::wstring> CMessageBoxAnswerer::Captions() {
    std::lock_guard<std::mutex> guard(lock);
    return captions;
}

CTestProcess::CTestProcess(const std::wstring& program, const std::wstring& folder) {
    std::wstring line = L"\"" + program + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started = {};
    if (!CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &started))
        return;
    CloseHandle(started.hThread);
    process = started.hProcess;
    id = started.dwProcessId;
}

CTestProcess::~CTestProcess() {
    if (!process)
        return;
    if (WaitForSingleObject(process, 0) == WAIT_TIMEOUT)
        TerminateProcess(process, 1);
    CloseHandle(process);
}

HWND CTestProcess::WaitForWindow(const std::wstring& titlePrefix, DWORD timeoutMs) const {
    return ::WaitForWindow(
        [&](HWND window) {
            return ProcessOf(window) == id && WindowText(window).rfind(titlePrefix, 0) == 0;
        },
        timeoutMs);
}

long CTestProcess::WaitForExit(DWORD timeoutMs) const {
    DWORD code = 0;
    if (!process || WaitForSingleObject(process, timeoutMs) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(process, &code))
        return -1;
    return static_cast<long>(code);
}
