#pragma once
#include <windows.h>

#include "support/WindowTestSupport.h"

#include <functional>
#include <string>
#include <thread>
#include <vector>

// Driving real dialogs from a second thread while the test's own thread sits
// in their modal loops; finding, reading and working their windows is
// WindowTestSupport's.

// "ja" texts when the test run promised a Japanese system, else English.
std::wstring InLanguage(const std::wstring& japanese, const std::wstring& english);

// Files dropped from the shell onto window, in this order.
void DropFiles(HWND window, const std::vector<std::wstring>& paths);

// Runs a script on its own thread while the constructing thread runs
// dialogs. Once the script has returned, every dialog of that thread still
// shown after a grace period is a failure and is closed, so that a failed
// script cannot hang the test run.
class CDialogScript {
  public:
    explicit CDialogScript(std::function<void()> script);
    ~CDialogScript();
    CDialogScript(const CDialogScript&) = delete;
    CDialogScript& operator=(const CDialogScript&) = delete;

    void Join();

  private:
    void Run(const std::function<void()>& script);
    void CloseLeftOverDialogs();

    DWORD uiThread;
    std::thread thread;
};

// Calls run while script drives run's dialog with controlId; returns once the script has ended.
INT_PTR RunDialogWithScript(int controlId, const std::function<INT_PTR()>& run,
                            const std::function<void(HWND)>& script);
