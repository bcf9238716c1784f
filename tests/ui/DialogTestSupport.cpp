#include "DialogTestSupport.h"
#include "TestEnvironment.h"
#include <cstring>
#include <gtest/gtest.h>

#include <commctrl.h>
#include <shlobj.h>

namespace {

// The test programs set up the common controls as ZEP's start-up does.
const bool commonControlsReady = [] {
    INITCOMMONCONTROLSEX classes = {sizeof(classes), 0xFF};
    return InitCommonControlsEx(&classes) != FALSE;
}();

} // namespace

std::wstring InLanguage(const std::wstring& japanese, const std::wstring& english) {
    return ExpectedLanguage() == "ja" ? japanese : english;
}

// The receiver releases the block with DragFinish.
void DropFiles(HWND window, const std::vector<std::wstring>& paths) {
    std::wstring names;
    for (const std::wstring& path : paths)
        names += path + L'\0';
    names += L'\0';
    const size_t bytes = sizeof(DROPFILES) + names.size() * sizeof(wchar_t);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
    ASSERT_NE(nullptr, block);
    auto* drop = static_cast<DROPFILES*>(GlobalLock(block));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    memcpy(drop + 1, names.data(), names.size() * sizeof(wchar_t));
    GlobalUnlock(block);
    if (!PostMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(block), 0))
        GlobalFree(block);
}

CDialogScript::CDialogScript(std::function<void()> script)
    : uiThread(GetCurrentThreadId()), thread([this, script] { Run(script); }) {}

CDialogScript::~CDialogScript() { Join(); }

void CDialogScript::Join() {
    if (thread.joinable())
        thread.join();
}

void CDialogScript::Run(const std::function<void()>& script) {
    script();
    CloseLeftOverDialogs();
}

void CDialogScript::CloseLeftOverDialogs() {
    auto anyDialog = [this] { return WaitForWindow(uiThread, IsDialogShown, 0); };
    if (WaitUntil([&] { return anyDialog() == nullptr; }, 5000))
        return;
    ADD_FAILURE() << "a dialog was left open";
    for (int attempt = 0; attempt < 100; ++attempt) {
        HWND left = anyDialog();
        if (!left)
            return;
        PostMessageW(left, WM_CLOSE, 0, 0);
        Sleep(100);
    }
}

INT_PTR RunDialogWithScript(int controlId, const std::function<INT_PTR()>& run,
                            const std::function<void(HWND)>& script) {
    const DWORD ui = GetCurrentThreadId();
    CDialogScript driver([&] {
        HWND dialog = WaitForDialogWith(ui, controlId);
        ASSERT_NE(nullptr, dialog) << "no dialog with the control " << controlId;
        script(dialog);
    });
    const INT_PTR answer = run();
    driver.Join();
    return answer;
}
