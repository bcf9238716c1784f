#include "CApplication.h"
#include <string>

namespace {

CApplication* current = nullptr;

// The filter code this pump reports for messages outside any dialog.
constexpr int kPumpFilterCode = MSGF_USER;

bool IsDialogWindow(HWND window) {
    wchar_t name[16] = {};
    return GetClassNameW(window, name, 16) > 0 && std::wstring(name) == L"#32770";
}

void Dispatch(MSG& message) {
    HWND root = message.hwnd ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    // The dialog manager calls the message filter itself.
    if (root && IsDialogWindow(root)) {
        if (IsDialogMessageW(root, &message))
            return;
    } else if (CallMsgFilterW(&message, kPumpFilterCode)) {
        return;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

} // namespace

CApplication::CApplication() : previous(current) { current = this; }

CApplication::~CApplication() {
    if (current == this)
        current = previous;
}

CApplication* CApplication::Current() { return current; }

int CApplication::Run() {
    filterHook.Reset(
        SetWindowsHookExW(WH_MSGFILTER, MessageFilterHook, nullptr, GetCurrentThreadId()));
    if (InitInstance())
        MessageLoop();
    int exitCode = ExitInstance();
    filterHook.Reset();
    return exitCode;
}

void CApplication::MessageLoop() {
    for (;;) {
        MSG waiting;
        for (LONG count = 0; !PeekMessageW(&waiting, nullptr, 0, 0, PM_NOREMOVE) && OnIdle(count);
             ++count) {
        }
        if (!PumpMessage())
            return;
    }
}

bool CApplication::PumpOneMessage(int& quitCode) {
    MSG message;
    BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) {
        quitCode = static_cast<int>(message.wParam);
        return false;
    }
    if (got > 0)
        Dispatch(message);
    return true;
}

bool CApplication::PumpMessage() { return PumpOneMessage(quitCode); }

bool CApplication::OnIdle(LONG) { return false; }

bool CApplication::OnCommand(UINT) { return false; }

bool CApplication::ProcessMessageFilter(int, MSG*) { return false; }

LRESULT CALLBACK CApplication::MessageFilterHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code >= 0 && current) {
        bool consumed = false;
        try {
            consumed = current->ProcessMessageFilter(code, reinterpret_cast<MSG*>(lParam));
        } catch (...) {
            // Nothing may unwind through the system's message loops.
        }
        if (consumed)
            return 1;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
