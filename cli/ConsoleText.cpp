#include "ConsoleText.h"
#include <atomic>
#include <mutex>
#include <string>

namespace {

std::atomic<bool> stopRequested{false};

// After the handler returns from a closed console, a log-off or a shut-down,
// the system ends the process: it waits here while the conversions remove
// their temporary files, until the program ends (the system's own limit is
// about five seconds).
constexpr DWORD kEndingGraceMs = 10000;

BOOL WINAPI OnControl(DWORD event) {
    stopRequested = true;
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT)
        Sleep(kEndingGraceMs);
    return TRUE;
}

// One text at a time, so that the lines of several threads do not mix.
void Write(DWORD standardHandle, const std::wstring& text) {
    static std::mutex writing;
    std::lock_guard<std::mutex> guard(writing);
    HANDLE handle = GetStdHandle(standardHandle);
    DWORD written = 0;
    if (IsConsole(standardHandle)) {
        WriteConsoleW(handle, text.c_str(), static_cast<DWORD>(text.size()), &written, nullptr);
        return;
    }
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                          nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &utf8[0], bytes,
                        nullptr, nullptr);
    WriteFile(handle, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
}

} // namespace

bool IsConsole(DWORD standardHandle) {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(standardHandle), &mode) != 0;
}

void WriteError(const std::wstring& text, bool partial) {
    Write(STD_ERROR_HANDLE, partial ? text : text + L"\n");
}

void WriteOutput(const std::wstring& text) { Write(STD_OUTPUT_HANDLE, text + L"\n"); }

void CatchStopRequests() { SetConsoleCtrlHandler(OnControl, TRUE); }

bool StopRequested() { return stopRequested; }
