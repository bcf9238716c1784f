#include "ui/CMyAboutDlg.h"
#include "TestEnvironment.h"
#include "framework/WindowText.h"
#include "resdll/Res.h"
#include "support/WindowTestSupport.h"
#include "ui/CResDllHandle.h"
#include <gtest/gtest.h>

TEST(CMyAboutDlg, TheVersionReadsMajorDotMinorThenBuild) {
    EXPECT_EQ(L"6.00", CMyAboutDlg::FormatVersion(MAKELONG(0, 6), MAKELONG(1, 0)));
    EXPECT_EQ(L"1.23", CMyAboutDlg::FormatVersion(MAKELONG(2, 1), MAKELONG(4, 3)));
    EXPECT_EQ(L"2.1015", CMyAboutDlg::FormatVersion(MAKELONG(10, 2), MAKELONG(0, 15)));
}

namespace {

struct AboutSeen {
    HWND window = nullptr;
    std::wstring version;
    int region = ERROR;
    bool cornerClipped = false;
    bool clientIsWholeWindow = false;
    COLORREF background = CLR_INVALID, text = CLR_INVALID;
    bool icon = false, link = false;
};

// Reads the About box of the given thread and ends it with Escape.
AboutSeen ReadAndEscape(DWORD thread, DWORD timeoutMs) {
    AboutSeen seen;
    seen.window = WaitForThreadDialog(thread, L"About ZEP", timeoutMs);
    if (!seen.window)
        return seen;
    HWND version = GetDlgItem(seen.window, IDC_ABOUT_VERSION);
    seen.version = WindowText(version);
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    seen.region = GetWindowRgn(seen.window, region);
    seen.cornerClipped = !PtInRegion(region, 1, 1);
    DeleteObject(region);
    RECT client = {}, frame = {};
    GetClientRect(seen.window, &client);
    GetWindowRect(seen.window, &frame);
    seen.clientIsWholeWindow =
        client.right == frame.right - frame.left && client.bottom == frame.bottom - frame.top;
    HDC dc = GetDC(version);
    auto brush = reinterpret_cast<HBRUSH>(SendMessageW(seen.window, WM_CTLCOLORSTATIC,
                                                       reinterpret_cast<WPARAM>(dc),
                                                       reinterpret_cast<LPARAM>(version)));
    LOGBRUSH fill = {};
    if (brush && GetObjectW(brush, sizeof(fill), &fill))
        seen.background = fill.lbColor;
    seen.text = GetTextColor(dc);
    ReleaseDC(version, dc);
    for (HWND child = GetWindow(seen.window, GW_CHILD); child;
         child = GetWindow(child, GW_HWNDNEXT))
        seen.icon |= SendMessageW(child, STM_GETICON, 0, 0) != 0;
    seen.link = GetDlgItem(seen.window, IDC_ABOUT_LINK) != nullptr;
    PostMessageW(GetDlgItem(seen.window, IDOK), WM_KEYDOWN, VK_ESCAPE, 0);
    return seen;
}

} // namespace

TEST(CMyAboutDlg, ShowsNameAndVersionInAWhiteEllipseFromTheLibrary) {
    if (ExpectedResDll() != "present")
        GTEST_SKIP() << "needs Res.dll beside the executable";
    DWORD thread = GetCurrentThreadId();
    AboutSeen seen;
    INT_PTR result = 0;
    {
        CTestThread reader([&] { seen = ReadAndEscape(thread, 10000); });
        CMyAboutDlg about(RGB(0xFF, 0xFF, 0xFF), RGB(0, 0, 0), nullptr);
        result = ResDllHandle.RunDialog(about, IDD_ABOUTBOX);
    }
    ASSERT_NE(nullptr, seen.window);
    EXPECT_EQ(IDCANCEL, result);
    EXPECT_EQ(L"ui_tests Version 1.10", seen.version);
    EXPECT_EQ(COMPLEXREGION, seen.region);
    EXPECT_TRUE(seen.cornerClipped);
    EXPECT_TRUE(seen.clientIsWholeWindow) << "no frame or title bar outside the ellipse";
    EXPECT_EQ(RGB(0xFF, 0xFF, 0xFF), seen.background);
    EXPECT_EQ(RGB(0, 0, 0), seen.text);
    EXPECT_TRUE(seen.icon) << "icon 135 of the library";
    EXPECT_TRUE(seen.link);
}

TEST(CMyAboutDlg, WithoutTheLibraryNothingAppears) {
    if (ExpectedResDll() != "absent")
        GTEST_SKIP() << "needs a run without Res.dll";
    CMyAboutDlg about(RGB(0xFF, 0xFF, 0xFF), RGB(0, 0, 0), nullptr);
    EXPECT_EQ(-1, ResDllHandle.RunDialog(about, IDD_ABOUTBOX));
    EXPECT_EQ(nullptr, about.GetSafeHwnd());
}
