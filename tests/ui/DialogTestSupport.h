#pragma once
#include <windows.h>

#include "support/WindowTestSupport.h"

#include <functional>
#include <string>
#include <thread>
#include <vector>

// Driving real dialogs from a second thread while the test's own thread sits
// in their modal loops. Clicks are posted, so a click that opens another
// modal dialog does not block the driver; other changes are sent and have
// taken effect when the call returns.

// "ja" texts when the test run promised a Japanese system, else English.
std::wstring InLanguage(const std::wstring& japanese, const std::wstring& english);

// The first visible top-level window of the thread that satisfies match,
// waiting for it up to timeoutMs; null when none appeared.
HWND WaitForWindow(DWORD thread, const std::function<bool(HWND)>& match, DWORD timeoutMs = 10000);
// A visible dialog of the thread that has a control with this ID.
HWND WaitForDialogWith(DWORD thread, int controlId, DWORD timeoutMs = 10000);
// A visible dialog of the thread owned by owner (a message box, a file chooser).
HWND WaitForOwnedDialog(DWORD thread, HWND owner, DWORD timeoutMs = 10000);
bool IsDialogShown(HWND window);

std::wstring TextOf(HWND window);
std::wstring ItemText(HWND dialog, int id);
// Every text of a dialog's static controls, joined (a message box's message).
std::wstring StaticTexts(HWND dialog);
bool IsItemEnabled(HWND dialog, int id);
bool IsItemChecked(HWND dialog, int id);

int SelectedIndex(HWND dialog, int id);
DWORD_PTR SelectedData(HWND dialog, int id);
std::vector<std::wstring> Entries(HWND dialog, int id);
std::vector<DWORD_PTR> EntryData(HWND dialog, int id);

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
