#include "ui/CZEPApp.h"
#include "TestEnvironment.h"
#include "framework/WindowText.h"
#include "resources/resource.h"
#include "support/WindowTestSupport.h"
#include <gtest/gtest.h>

namespace {

class CTestZEPApp : public CZEPApp {
  public:
    bool initResult = true;

  protected:
    bool InitInstance() override {
        initResult = CZEPApp::InitInstance();
        return initResult;
    }
};

} // namespace

TEST(CZEPApp, RegistersItsMessagesBeforeStartUp) {
    EXPECT_GE(WM_BATSTART_AUDIO, 0xC000u);
    EXPECT_EQ(RegisterWindowMessageW(L"WM_BATSTART_AUDIO"), WM_BATSTART_AUDIO);
    EXPECT_EQ(RegisterWindowMessageW(L"WM_TRAYNOTIFY"), WM_TRAYNOTIFY);
    EXPECT_NE(WM_BATSTART_AUDIO, WM_TRAYNOTIFY);
}

TEST(CZEPApp, RunsTheMainDialogAndEndsWhenItCloses) {
    CTestZEPApp application;
    DWORD thread = GetCurrentThreadId();
    HWND main = nullptr;
    std::wstring about, help;
    {
        CTestThread driver([&] {
            main = WaitForThreadDialog(thread, L"ZEP");
            if (!main)
                return;
            HMENU menu = GetSystemMenu(main, FALSE);
            help = MenuItemText(menu, 0);
            about = MenuItemText(menu, 1);
            PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
        });
        EXPECT_EQ(0, application.Run());
    }
    ASSERT_NE(nullptr, main);
    EXPECT_FALSE(application.initResult);
    EXPECT_FALSE(IsWindow(main));
    EXPECT_EQ(nullptr, application.GetMainWnd());
    EXPECT_EQ(L"Help\tF1", help);
    if (!ExpectedLanguage().empty()) {
        EXPECT_EQ(ExpectedLanguage() == "ja" ? L"バージョン情報...\tF10" : L"About...\tF10", about);
    }
}

TEST(CZEPApp, F10OpensTheAboutBoxOnlyWithTheLibrary) {
    CTestZEPApp application;
    DWORD thread = GetCurrentThreadId();
    HWND about = nullptr;
    std::wstring version;
    bool mainAlive = false;
    {
        CTestThread driver([&] {
            HWND main = WaitForThreadDialog(thread, L"ZEP");
            if (!main)
                return;
            PostMessageW(main, WM_KEYDOWN, VK_F10, 0);
            about = WaitForThreadDialog(thread, L"About ZEP",
                                        ExpectedResDll() == "absent" ? 1500 : 10000);
            if (about) {
                version = WindowText(GetDlgItem(about, 1032));
                PostMessageW(about, WM_COMMAND, IDOK, 0);
                WaitUntil([&] { return !IsWindow(about); });
            }
            DWORD_PTR answer = 0;
            mainAlive = SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_BLOCK, 5000, &answer) != 0;
            PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
        });
        application.Run();
    }
    EXPECT_TRUE(mainAlive);
    if (ExpectedResDll() == "absent") {
        EXPECT_EQ(nullptr, about);
    } else {
        ASSERT_NE(nullptr, about);
        EXPECT_EQ(L"ui_tests Version 1.10", version);
    }
}
