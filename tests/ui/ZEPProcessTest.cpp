#include "TestEnvironment.h"
#include "framework/PathSplit.h"
#include "framework/WindowText.h"
#include "resdll/Res.h"
#include "resources/resource.h"
#include "support/WindowTestSupport.h"
#include <gtest/gtest.h>

// ZEP.exe as a user starts it, from a folder with or without Res.dll and
// zep.chm beside it (the test run's promise says which).
namespace {

std::wstring Program() { return ExecutableFolder() + L"ZEP.exe"; }

long CloseAndWait(const CTestProcess& process, HWND main) {
    PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
    return process.WaitForExit();
}

HWND WaitForAbout(const CTestProcess& process, DWORD timeoutMs) {
    return WaitForWindow(
        [&](HWND window) {
            return ProcessOf(window) == process.Id() && WindowText(window) == L"About ZEP";
        },
        timeoutMs);
}

} // namespace

TEST(ZEPProgram, StartsWithItsMainWindowAndEndsWhenItCloses) {
    CTestProcess zep(Program());
    ASSERT_TRUE(zep.Started());
    HWND main = zep.WaitForWindow(L"ZEP");
    ASSERT_NE(nullptr, main);
    EXPECT_EQ(L"ZEP", WindowText(main));
    EXPECT_EQ(0, CloseAndWait(zep, main));
}

// Explorer's "Convert with ZEP" starts it with the file: input and output as a drop sets them.
TEST(ZEPProgram, AFileItIsStartedWithIsItsInput) {
    const std::wstring input = L"C:\\music\\\u66f2 one.flac";
    CTestProcess zep(Program(), L"", L"\"" + input + L"\"");
    HWND main = zep.WaitForWindow(L"ZEP");
    ASSERT_NE(nullptr, main);
    EXPECT_TRUE(WaitUntil([&] { return ItemText(main, IDC_INPUT_PATH) == input; }));
    EXPECT_EQ(L"C:\\music\\\u66f2 one.wav", ItemText(main, IDC_OUTPUT_PATH));
    EXPECT_EQ(0, CloseAndWait(zep, main));
}

TEST(ZEPProgram, F10OpensTheAboutBoxWithTheLibraryAndNothingWithout) {
    CTestProcess zep(Program());
    HWND main = zep.WaitForWindow(L"ZEP");
    ASSERT_NE(nullptr, main);
    PostMessageW(main, WM_KEYDOWN, VK_F10, 0);
    bool library = ExpectedResDll() != "absent";
    HWND about = WaitForAbout(zep, library ? 10000 : 2000);
    if (library) {
        ASSERT_NE(nullptr, about);
        EXPECT_EQ(L"ZEP Version 1.10", ItemText(about, IDC_ABOUT_VERSION));
        PostMessageW(about, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(about); }));
    } else {
        EXPECT_EQ(nullptr, about);
    }
    EXPECT_EQ(0, CloseAndWait(zep, main));
}

TEST(ZEPProgram, HelpOpensZepChmFromTheProgramsFolderWhateverTheCurrentFolder) {
    CTestProcess zep(Program(), L"C:\\windows");
    HWND main = zep.WaitForWindow(L"ZEP");
    ASSERT_NE(nullptr, main);
    PostMessageW(main, WM_COMMAND, ID_HELP_FINDER, 0);
    HWND viewer = WaitForWindow([&](HWND window) {
        return ProcessOf(window) != zep.Id() && WindowText(window) == L"ZEP Help";
    });
    ASSERT_NE(nullptr, viewer);
    PostMessageW(viewer, WM_CLOSE, 0, 0);
    EXPECT_EQ(0, CloseAndWait(zep, main));
}

TEST(ZEPProgram, ASecondCopyRunsIndependently) {
    CTestProcess first(Program());
    HWND firstMain = first.WaitForWindow(L"ZEP");
    CTestProcess second(Program());
    HWND secondMain = second.WaitForWindow(L"ZEP");
    ASSERT_NE(nullptr, firstMain);
    ASSERT_NE(nullptr, secondMain);
    EXPECT_NE(firstMain, secondMain);
    EXPECT_EQ(0, CloseAndWait(first, firstMain));
    DWORD_PTR answer = 0;
    EXPECT_TRUE(SendMessageTimeoutW(secondMain, WM_NULL, 0, 0, SMTO_BLOCK, 5000, &answer));
    EXPECT_TRUE(IsWindowVisible(secondMain));
    EXPECT_EQ(0, CloseAndWait(second, secondMain));
}
