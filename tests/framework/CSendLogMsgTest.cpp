#include "framework/CSendLogMsg.h"
#include <gtest/gtest.h>
#include <vector>

namespace {

// A top-level window of this process that records the lines it is sent.
class LogWindow {
  public:
    explicit LogWindow(const std::wstring& title) {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = Procedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"ZepTestLogWindow";
        RegisterClassW(&windowClass);
        window = CreateWindowW(L"ZepTestLogWindow", title.c_str(), WS_OVERLAPPED, 0, 0, 100, 100,
                               nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&lines));
    }
    ~LogWindow() { DestroyWindow(window); }

    HWND window;
    std::vector<std::wstring> lines;

  private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_COPYDATA) {
            auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
            auto* lines = reinterpret_cast<std::vector<std::wstring>*>(
                GetWindowLongPtrW(window, GWLP_USERDATA));
            const auto* text = static_cast<const wchar_t*>(data->lpData);
            // The record carries the terminating zero.
            EXPECT_EQ(0, data->dwData);
            EXPECT_EQ(L'\0', text[data->cbData / 2 - 1]);
            lines->push_back(text);
            return TRUE;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }
};

// A name no other window of the test run carries.
std::wstring UniqueName() { return L"ZepLog" + std::to_wstring(GetCurrentProcessId()); }

} // namespace

TEST(CHWndList, FindsATitleThatBeginsWithThePrefixAfterBlanks) {
    LogWindow log(L"   " + UniqueName() + L" - lines  ");
    CHWndList list;
    EXPECT_EQ(log.window, list.FindByTitle(UniqueName()));
    EXPECT_FALSE(list.Windows().empty());
}

TEST(CHWndList, IgnoresOtherCharactersBeforeThePrefixAndCase) {
    LogWindow other(L"x" + UniqueName());
    CHWndList list;
    EXPECT_EQ(nullptr, list.FindByTitle(UniqueName()));
    EXPECT_EQ(nullptr, list.FindByTitle(L"ZEPLOG" + std::to_wstring(GetCurrentProcessId())));
}

TEST(CSendLogMsg, SendsEachLineWithItsTerminatorInOrder) {
    LogWindow log(UniqueName());
    CSendLogMsg sender;
    EXPECT_TRUE(sender.Send(L"C:\\m\\song.ogg", UniqueName()));
    EXPECT_TRUE(sender.Send(L"Error No.0915 - \u30c7\u30b3\u30fc\u30c9", UniqueName()));
    EXPECT_TRUE(sender.Send(L"", UniqueName()));
    ASSERT_EQ(3u, log.lines.size());
    EXPECT_EQ(L"C:\\m\\song.ogg", log.lines[0]);
    EXPECT_EQ(L"Error No.0915 - \u30c7\u30b3\u30fc\u30c9", log.lines[1]);
    EXPECT_EQ(L"", log.lines[2]);
}

TEST(CSendLogMsg, WithoutWindowOrProgramNothingIsSent) {
    CSendLogMsg sender;
    EXPECT_FALSE(sender.Send(L"line", UniqueName()));
}

TEST(RunProgram, StartsAProgramAndRefusesAMissingOne) {
    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    EXPECT_TRUE(RunProgram(L"\"" + std::wstring(system) + L"\\cmd.exe\" /c exit"));
    EXPECT_FALSE(RunProgram(L"\"C:\\no such folder\\nothing.exe\""));
}
