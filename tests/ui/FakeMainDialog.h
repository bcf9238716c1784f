#pragma once
#include <windows.h>

#include "ui/CBATDlg.h"
#include <atomic>
#include <functional>
#include <string>
#include <vector>

// The main dialog's side of a batch, as the batch dialog relies on it: a
// window that takes each file of "WM_BATSTART_AUDIO" and converts it before
// returning, and stops a running conversion on the command of its Stop
// button (1206). A file that does not begin like a WAVE or MP3 file fails,
// and its error goes to the log window as three lines.
class FakeMainDialog {
  public:
    explicit FakeMainDialog(const std::wstring& logWindow);
    ~FakeMainDialog();
    FakeMainDialog(const FakeMainDialog&) = delete;
    FakeMainDialog& operator=(const FakeMainDialog&) = delete;

    HWND Window() const { return window; }
    // The batch dialog whose progress is recorded at the start of each file.
    void Watch(const CBATDlg& dialog) { batch = &dialog; }
    // Runs inside the conversion of file index (0-based).
    std::function<void(size_t index)> duringFile;
    // Handles messages, as a running conversion does between blocks, until
    // Stop is pressed or condition holds; false after timeoutMs.
    bool Convert(const std::function<bool()>& condition, DWORD timeoutMs = 10000);
    bool ConvertUntilStopped(DWORD timeoutMs = 10000);

    std::vector<std::wstring> files;
    std::vector<int> progressAtStart;
    std::atomic<int> filesStarted{0};
    std::atomic<int> stopCommands{0};

  private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void OnBatchFile(const wchar_t* path);
    void ReportFailure(const std::wstring& path);

    std::wstring logWindow;
    HWND window;
    const CBATDlg* batch = nullptr;
    bool stopRequested = false;
};
