#include "DialogTestSupport.h"
#include "TestEnvironment.h"
#include <cstdio>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>

#include <commctrl.h>
#include <shlobj.h>

namespace {

// The test programs set up the common controls as ZEP's start-up does.
const bool commonControlsReady = [] {
    INITCOMMONCONTROLSEX classes = {sizeof(classes), 0xFF};
    return InitCommonControlsEx(&classes) != FALSE;
}();

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

struct Search {
    const std::function<bool(HWND)>* match;
    HWND found;
};

BOOL CALLBACK Visit(HWND window, LPARAM search) {
    auto* state = reinterpret_cast<Search*>(search);
    if (IsWindowVisible(window) && (*state->match)(window)) {
        state->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND FindWindowOf(DWORD thread, const std::function<bool(HWND)>& match) {
    Search search{&match, nullptr};
    EnumThreadWindows(thread, Visit, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

BOOL CALLBACK CollectStatic(HWND child, LPARAM texts) {
    if (ClassOf(child) == L"Static")
        *reinterpret_cast<std::wstring*>(texts) += TextOf(child);
    return TRUE;
}

} // namespace

std::wstring InLanguage(const std::wstring& japanese, const std::wstring& english) {
    return ExpectedLanguage() == "ja" ? japanese : english;
}

HWND WaitForWindow(DWORD thread, const std::function<bool(HWND)>& match, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindWindowOf(thread, match)) != nullptr; }, timeoutMs);
    return found;
}

bool IsDialogShown(HWND window) {
    return IsWindow(window) && IsWindowVisible(window) && ClassOf(window) == L"#32770";
}

HWND WaitForDialogWith(DWORD thread, int controlId, DWORD timeoutMs) {
    return WaitForWindow(
        thread, [&](HWND w) { return IsDialogShown(w) && GetDlgItem(w, controlId); }, timeoutMs);
}

HWND WaitForOwnedDialog(DWORD thread, HWND owner, DWORD timeoutMs) {
    return WaitForWindow(
        thread, [&](HWND w) { return IsDialogShown(w) && GetWindow(w, GW_OWNER) == owner; },
        timeoutMs);
}

std::wstring TextOf(HWND window) {
    int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), length + 1)));
    return text;
}

std::wstring ItemText(HWND dialog, int id) { return TextOf(GetDlgItem(dialog, id)); }

std::wstring StaticTexts(HWND dialog) {
    std::wstring texts;
    EnumChildWindows(dialog, CollectStatic, reinterpret_cast<LPARAM>(&texts));
    return texts;
}

bool IsItemEnabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }

bool IsItemChecked(HWND dialog, int id) { return SendTo(dialog, id, BM_GETCHECK) == BST_CHECKED; }

int SelectedIndex(HWND dialog, int id) {
    return static_cast<int>(SendTo(dialog, id, CB_GETCURSEL));
}

DWORD_PTR SelectedData(HWND dialog, int id) {
    LRESULT selected = SendTo(dialog, id, CB_GETCURSEL);
    return static_cast<DWORD_PTR>(
        SendTo(dialog, id, CB_GETITEMDATA, static_cast<WPARAM>(selected)));
}

std::vector<std::wstring> Entries(HWND dialog, int id) {
    std::vector<std::wstring> entries;
    const int count = static_cast<int>(SendTo(dialog, id, CB_GETCOUNT));
    for (int i = 0; i < count; ++i) {
        LRESULT length = SendTo(dialog, id, CB_GETLBTEXTLEN, static_cast<WPARAM>(i));
        std::wstring text(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
        LRESULT copied = SendTo(dialog, id, CB_GETLBTEXT, static_cast<WPARAM>(i),
                                reinterpret_cast<LPARAM>(text.data()));
        text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
        entries.push_back(text);
    }
    return entries;
}

std::vector<DWORD_PTR> EntryData(HWND dialog, int id) {
    std::vector<DWORD_PTR> data;
    const int count = static_cast<int>(SendTo(dialog, id, CB_GETCOUNT));
    for (int i = 0; i < count; ++i)
        data.push_back(
            static_cast<DWORD_PTR>(SendTo(dialog, id, CB_GETITEMDATA, static_cast<WPARAM>(i))));
    return data;
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
    auto anyDialog = [this] { return FindWindowOf(uiThread, IsDialogShown); };
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
