#include "ui/CBrowse.h"
#include "framework/WindowText.h"
#include "support/WindowTestSupport.h"
#include <gtest/gtest.h>

#include <shlobj.h>

namespace {

BOOL CALLBACK FindTitle(HWND child, LPARAM found) {
    if (WindowText(child) == L"フォルダの選択")
        *reinterpret_cast<bool*>(found) = true;
    return TRUE;
}

// Browses from this thread while a second thread answers the chooser.
std::wstring Browse(const std::wstring& initial, const std::function<void(HWND)>& answer,
                    bool* titled = nullptr) {
    DWORD thread = GetCurrentThreadId();
    CTestThread driver([&] {
        HWND chooser = WaitForWindow([&](HWND window) {
            return GetWindowThreadProcessId(window, nullptr) == thread && IsDialogClass(window);
        });
        if (!chooser)
            return;
        bool found = false;
        EnumChildWindows(chooser, FindTitle, reinterpret_cast<LPARAM>(&found));
        if (titled)
            *titled = found;
        answer(chooser);
    });
    CBrowse browse;
    return browse.Browse(initial, nullptr);
}

void PressOK(HWND chooser) { PostMessageW(chooser, WM_COMMAND, IDOK, 0); }

} // namespace

TEST(CBrowse, ADriveRootComesBackWithoutItsBackslash) {
    bool titled = false;
    std::wstring chosen = Browse(
        L"C:\\windows",
        [](HWND chooser) {
            SendMessageW(chooser, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(L"C:\\"));
            PressOK(chooser);
        },
        &titled);
    EXPECT_EQ(L"C:", chosen);
    EXPECT_TRUE(titled);
}

TEST(CBrowse, TheChooserOpensOnTheInitialFolder) {
    std::wstring chosen = Browse(L"C:\\windows\\system32", [](HWND chooser) {
        EXPECT_TRUE(WaitUntil([&] { return SelectedTreeItemText(chooser) == L"system32"; }));
        PressOK(chooser);
    });
    EXPECT_EQ(0, _wcsicmp(L"C:\\windows\\system32", chosen.c_str())) << chosen.size();
}

TEST(CBrowse, CancelKeepsTheInitialFolder) {
    std::wstring chosen = Browse(L"C:\\no such folder\\", [](HWND chooser) {
        PostMessageW(chooser, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(L"C:\\no such folder\\", chosen);
}
