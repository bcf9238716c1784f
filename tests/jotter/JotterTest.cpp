#include "framework/PathSplit.h"
#include "jotter/JotterResource.h"
#include "support/WindowTestSupport.h"
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

// Jotter.exe as ZEP starts it and talks to it: a separate process that
// takes lines through WM_COPYDATA.
namespace {

void SendLine(HWND window, const std::wstring& line) {
    COPYDATASTRUCT data = {};
    data.cbData = static_cast<DWORD>((line.size() + 1) * sizeof(wchar_t));
    data.lpData = const_cast<wchar_t*>(line.c_str());
    SendMessageW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
}

class JotterTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(jotter.Started());
        window = jotter.WaitForWindow(L"Jotter");
        ASSERT_NE(nullptr, window);
        view = GetDlgItem(window, IDC_JOTTER_VIEW);
        ASSERT_NE(nullptr, view);
    }
    void TearDown() override {
        if (window)
            PostMessageW(window, WM_CLOSE, 0, 0);
        EXPECT_EQ(0, jotter.WaitForExit());
    }

    CTestProcess jotter{ExecutableFolder() + L"Jotter.exe"};
    HWND window = nullptr;
    HWND view = nullptr;
};

const std::wstring kLines[] = {
    L"C:\\music\\曲.ogg", L"Error No.0915 - 入力ファイルを開けないか、デコードできませんでした。",
    L""};

std::string FileBytes(const std::wstring& path) {
    std::ifstream file(std::string(path.begin(), path.end()), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

} // namespace

TEST_F(JotterTest, ItsWindowIsResizableAndTheViewReadOnly) {
    EXPECT_TRUE(GetWindowLongPtrW(window, GWL_STYLE) & WS_THICKFRAME);
    EXPECT_TRUE(GetWindowLongPtrW(view, GWL_STYLE) & ES_READONLY);
    EXPECT_TRUE(GetWindowLongPtrW(view, GWL_STYLE) & ES_MULTILINE);
    SetWindowPos(window, nullptr, 0, 0, 700, 500, SWP_NOMOVE | SWP_NOZORDER);
    // The view fills the window's client area.
    EXPECT_TRUE(WaitUntil([&] {
        RECT client = {}, shown = {};
        GetClientRect(window, &client);
        GetWindowRect(view, &shown);
        return client.right > 600 && shown.right - shown.left == client.right &&
               shown.bottom - shown.top == client.bottom;
    }));
}

TEST_F(JotterTest, ShowsEveryLineItIsSent) {
    for (const auto& line : kLines)
        SendLine(window, line);
    EXPECT_EQ(kLines[0] + L"\r\n" + kLines[1] + L"\r\n\r\n", ControlText(view));
}

TEST_F(JotterTest, KeepsTheNewestLineInSight) {
    for (int i = 0; i < 80; ++i)
        SendLine(window, L"line " + std::to_wstring(i));
    LRESULT lines = SendMessageW(view, EM_GETLINECOUNT, 0, 0);
    LRESULT first = SendMessageW(view, EM_GETFIRSTVISIBLELINE, 0, 0);
    EXPECT_EQ(81, lines);
    EXPECT_GT(first, 40);
}

TEST_F(JotterTest, NeverReadsBeyondTheDataItIsGiven) {
    const wchar_t unterminated[] = {L'a', L'b', L'c'};
    COPYDATASTRUCT data = {};
    data.cbData = 5; // two and a half characters, no terminating zero
    data.lpData = const_cast<wchar_t*>(unterminated);
    SendMessageW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
    COPYDATASTRUCT empty = {};
    SendMessageW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&empty));
    EXPECT_EQ(L"ab\r\n\r\n", ControlText(view));
}

TEST_F(JotterTest, SavesTheLinesToATextFile) {
    for (const auto& line : kLines)
        SendLine(window, line);
    wchar_t folder[520] = {};
    GetTempPathW(520, folder);
    std::wstring path = std::wstring(folder) + L"jotter-test.txt";
    DeleteFileW(path.c_str());
    PostMessageW(window, WM_COMMAND, ID_JOTTER_SAVE, 0);
    HWND chooser = WaitForWindow([&](HWND candidate) {
        return ProcessOf(candidate) == jotter.Id() && candidate != window &&
               IsDialogClass(candidate);
    });
    ASSERT_NE(nullptr, chooser);
    // The file name field: an edit of its own or the edit of a combo box.
    HWND name = GetDlgItem(chooser, 0x480);
    if (!name)
        name = GetDlgItem(chooser, 0x47C);
    ASSERT_NE(nullptr, name);
    SetWindowTextW(name, path.c_str());
    PostMessageW(chooser, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(
        WaitUntil([&] { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }));
    WaitUntil([&] { return !IsWindow(chooser); });
    std::string expected = "\xEF\xBB\xBF"
                           "C:\\music\\\xE6\x9B\xB2.ogg\r\n";
    std::string saved = FileBytes(path);
    EXPECT_EQ(expected, saved.substr(0, expected.size()));
    EXPECT_EQ("\r\n\r\n", saved.substr(saved.size() - 4));
    DeleteFileW(path.c_str());
}
