#pragma once
#include <windows.h>

#include <string>
#include <vector>

// A top-level window of the constructing thread, titled like a running log
// program, that records every line sent to it with WM_COPYDATA.
class TestLogWindow {
  public:
    explicit TestLogWindow(const std::wstring& title);
    ~TestLogWindow();
    TestLogWindow(const TestLogWindow&) = delete;
    TestLogWindow& operator=(const TestLogWindow&) = delete;

    std::vector<std::wstring> lines;

  private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND window;
};
