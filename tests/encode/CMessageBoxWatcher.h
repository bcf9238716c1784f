#pragma once
#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>
#include <windows.h>

// Watches the constructing thread's windows from a second thread: reads the
// text and the visible buttons of every message box that appears there and
// closes it with OK, so no test waits for a user.
class CMessageBoxWatcher {
  public:
    struct Box {
        std::wstring text;
        int buttons;
    };

    CMessageBoxWatcher();
    ~CMessageBoxWatcher();
    // The boxes seen so far.
    std::vector<Box> Boxes();

  private:
    void Watch();
    static BOOL CALLBACK OnWindow(HWND window, LPARAM self);
    void Close(HWND box);

    DWORD watchedThread;
    std::atomic<bool> stop{false};
    std::mutex lock;
    std::vector<Box> boxes;
    std::vector<HWND> closed;
    std::thread watcher;
};
