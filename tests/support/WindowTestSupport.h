#pragma once
#include <windows.h>

#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// Helpers for tests that drive real windows: finding the windows that code
// under test opens (also modally, also in other processes), and answering
// them from a thread of the test's own.

std::wstring ClassNameOf(HWND window);
// A control's text also in another process, where GetWindowText reads nothing.
std::wstring ControlText(HWND control);
DWORD ProcessOf(HWND window);
DWORD ThreadOf(HWND window);
std::wstring MenuItemText(HMENU menu, UINT position);
bool IsDialogClass(HWND window);
// A visible dialog that still exists.
bool IsDialogShown(HWND window);

// Polls until the condition holds; false when the time ran out first.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 10000);

// The first visible top-level window that match accepts, polling until the
// time runs out; null when none appeared. A timeout of 0 does not wait.
HWND WaitForWindow(const std::function<bool(HWND)>& match, DWORD timeoutMs = 10000);
// The same among the top-level windows of one thread.
HWND WaitForWindow(DWORD thread, const std::function<bool(HWND)>& match, DWORD timeoutMs = 10000);

// A visible dialog of the given thread with the given caption.
HWND WaitForThreadDialog(DWORD threadId, const std::wstring& caption, DWORD timeoutMs = 10000);
// A visible dialog of the thread that has a control with this ID.
HWND WaitForDialogWith(DWORD thread, int controlId, DWORD timeoutMs = 10000);
// A visible dialog of the thread owned by owner (a message box, a file chooser).
HWND WaitForOwnedDialog(DWORD thread, HWND owner, DWORD timeoutMs = 10000);
// The same on the owner's own thread.
HWND WaitForOwnedDialog(HWND owner, DWORD timeoutMs = 10000);

// A dialog control's text; also in another process.
std::wstring ItemText(HWND dialog, int id);
// The text of the selected item of the window's tree view in this process (the folder a
// folder chooser shows); empty when there is none.
std::wstring SelectedTreeItemText(HWND window);
// Every text of a dialog's static controls, joined (a message box's message).
std::wstring StaticTexts(HWND dialog);
bool IsItemEnabled(HWND dialog, int id);
bool IsItemChecked(HWND dialog, int id);

// A drop-down list's selection and its entries' texts and item data.
int SelectedIndex(HWND dialog, int id);
DWORD_PTR SelectedData(HWND dialog, int id);
std::vector<std::wstring> Entries(HWND dialog, int id);
std::vector<DWORD_PTR> EntryData(HWND dialog, int id);

// Messages to a dialog's control, and its notification to the dialog, as
// the control itself would send it.
LRESULT SendTo(HWND dialog, int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
void Notify(HWND dialog, int id, WORD code);

// A button click as the dialog receives it; posted, so that a click that
// opens a modal dialog does not block the caller. Also in another process.
void Click(HWND dialog, int id);
// Typing into an edit box.
void SetItemText(HWND dialog, int id, const std::wstring& text);
// Checking a check box with the mouse.
void SetCheck(HWND dialog, int id, bool checked);
// Choosing an entry of a drop-down list.
void SelectEntry(HWND dialog, int id, int index);
// Choosing the first entry whose text begins with the prefix; false when
// there is none (the selection is then left as it was).
bool SelectEntryByPrefix(HWND dialog, int id, const std::wstring& prefix);

// A picture of the window as shown, as a BMP file named name + ".bmp" in the
// folder ZEP_SCREENSHOT_DIR names; nothing when it is not set. The window is
// first moved to a corner of the screen that depends on the language, so
// that test programs running side by side do not cover each other.
void SaveScreenshot(HWND window, const std::wstring& name);

// Runs work on a thread of its own and waits for it on destruction.
class CTestThread {
  public:
    explicit CTestThread(std::function<void()> work) : thread(std::move(work)) {}
    ~CTestThread() { thread.join(); }

  private:
    std::thread thread;
};

// While it lives, answers every message box of this process with its OK
// button and keeps the boxes' texts.
class CMessageBoxAnswerer {
  public:
    CMessageBoxAnswerer();
    ~CMessageBoxAnswerer();
    std::vector<std::wstring> Texts();
    std::vector<std::wstring> Captions();

  private:
    void Watch();

    std::mutex lock;
    std::vector<std::wstring> texts, captions;
    std::vector<HWND> answered;
    bool stopping = false;
    std::thread watcher;
};

// A program started for a test; ended by force on destruction if still running.
class CTestProcess {
  public:
    // folder empty: the test's current folder; arguments follow the program's quoted path.
    CTestProcess(const std::wstring& program, const std::wstring& folder = std::wstring(),
                 const std::wstring& arguments = std::wstring());
    ~CTestProcess();
    CTestProcess(const CTestProcess&) = delete;
    CTestProcess& operator=(const CTestProcess&) = delete;

    bool Started() const { return process != nullptr; }
    DWORD Id() const { return id; }
    // A visible top-level window of this process whose title begins with the prefix.
    HWND WaitForWindow(const std::wstring& titlePrefix, DWORD timeoutMs = 15000) const;
    // The exit code, or -1 when it did not end in time.
    long WaitForExit(DWORD timeoutMs = 10000) const;

  private:
    HANDLE process = nullptr;
    DWORD id = 0;
};
