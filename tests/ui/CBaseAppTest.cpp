#include "ui/CBaseApp.h"
#include "CTestBaseDialog.h"
#include "framework/WindowText.h"
#include "resources/resource.h"
#include "settings/Profile.h"
#include "support/WindowTestSupport.h"
#include <atomic>
#include <gtest/gtest.h>

#include <commctrl.h>

namespace {

// Runs a test dialog as its main window after the shared start-up.
class CShellTestApp : public CBaseApp {
  public:
    std::deque<CTestBaseDialog::Step> steps;
    std::atomic<int> aboutCommands{0};
    bool OnCommand(UINT id) override {
        aboutCommands += id == ID_APP_ABOUT;
        return true;
    }

  protected:
    bool InitInstance() override {
        InitBase(IDR_ACCELERATOR);
        CTestBaseDialog main(std::move(steps));
        SetMainWnd(&main);
        main.DoModal();
        SetMainWnd(nullptr);
        return false;
    }
};

void Close(CTestBaseDialog& dialog) {
    SendMessageW(dialog.GetSafeHwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
}

// Waits for the viewer of zep.chm (another process) and closes it.
bool HelpViewerAppeared() {
    HWND viewer = WaitForWindow([](HWND window) {
        return ProcessOf(window) != GetCurrentProcessId() && WindowText(window) == L"ZEP Help";
    });
    if (viewer)
        PostMessageW(viewer, WM_CLOSE, 0, 0);
    return viewer != nullptr;
}

} // namespace

TEST(CBaseApp, StartUpSetsUpControlsAcceleratorsAndTheRegistryBranch) {
    SetProfileRegistryPosition(L"SomewhereElse");
    CShellTestApp application;
    bool progressClass = false;
    application.steps = {[&](CTestBaseDialog& main) {
                             WNDCLASSEXW type = {};
                             type.cbSize = sizeof(type);
                             progressClass = GetClassInfoExW(nullptr, PROGRESS_CLASSW, &type);
                             PostMessageW(main.GetSafeHwnd(), WM_KEYDOWN, VK_F10, 0);
                             main.Next();
                         },
                         // F10 is About of the system menu, which posts the command on.
                         [](CTestBaseDialog& main) { main.Next(); },
                         [](CTestBaseDialog& main) { Close(main); }};
    EXPECT_EQ(0, application.Run());
    EXPECT_TRUE(progressClass);
    EXPECT_EQ(1, application.aboutCommands.load()) << "F10 is About";
    // No Setting.ini lies beside the tests.
    EXPECT_EQ(L"KARU", GetProfileRegistryPosition());
}

// A box owned by the main window disables it, and accelerators do not reach
// disabled windows; a box of its own leaves the main window enabled.
TEST(CBaseApp, F10WorksWhileAMessageBoxRuns) {
    CShellTestApp application;
    DWORD thread = GetCurrentThreadId();
    std::wstring boxText;
    CTestThread driver([&] {
        HWND box = WaitForWindow([&](HWND window) {
            return GetWindowThreadProcessId(window, nullptr) == thread &&
                   GetDlgItem(window, 0xFFFF) != nullptr;
        });
        if (!box)
            return;
        boxText = WindowText(GetDlgItem(box, 0xFFFF));
        PostMessageW(GetDlgItem(box, IDOK), WM_KEYDOWN, VK_F10, 0);
        WaitUntil([&] { return application.aboutCommands > 0; });
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    });
    application.steps = {[](CTestBaseDialog& main) {
        MessageBoxW(nullptr, L"waiting", L"box", MB_OK);
        Close(main);
    }};
    application.Run();
    EXPECT_EQ(L"waiting", boxText);
    EXPECT_EQ(1, application.aboutCommands.load());
}

TEST(CBaseApp, HelpOpensTheFileBesideTheExecutableWhateverTheCurrentFolder) {
    wchar_t previous[520] = {};
    GetCurrentDirectoryW(520, previous);
    ASSERT_TRUE(SetCurrentDirectoryW(L"C:\\windows"));
    CShellTestApp application;
    application.OpenHelpFile(L"zep.chm");
    bool appeared = HelpViewerAppeared();
    SetCurrentDirectoryW(previous);
    EXPECT_TRUE(appeared) << "no viewer of zep.chm appeared";
}
