#include "CSendLogMsg.h"
#include "framework/CHandleOwner.h"
#include "framework/PathSplit.h"
#include <vector>

bool RunProgram(const std::wstring& commandLine) {
    // CreateProcessW may write into the command line.
    std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
    line.push_back(L'\0');
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return false;
    CKernelHandle processHandle(process.hProcess), threadHandle(process.hThread);
    WaitForInputIdle(process.hProcess, 10000);
    return true;
}

bool CSendLogMsg::Send(const std::wstring& text, const std::wstring& windowName) {
    HWND window = windows.FindByTitle(windowName);
    if (!window) {
        // Quoted, so that a folder with blanks cannot start another program.
        RunProgram(L"\"" + ExecutableFolder() + windowName + L".exe\"");
        window = windows.FindByTitle(windowName);
    }
    if (!window)
        return false;
    COPYDATASTRUCT data = {};
    data.cbData = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    data.lpData = const_cast<wchar_t*>(text.c_str());
    SendMessageW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
    return true;
}
