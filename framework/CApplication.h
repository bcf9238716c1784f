#pragma once
#include <windows.h>

#include "framework/CHandleOwner.h"

class CDialog;

// The process's application object. Run calls InitInstance and runs a
// message loop only when InitInstance asks for one. While Run lasts, a
// message filter sees the messages that the system's own loops of dialogs,
// menus and message boxes handle, so the application can still react to
// them (accelerators, for one).
class CApplication {
  public:
    CApplication();
    virtual ~CApplication();
    CApplication(const CApplication&) = delete;
    CApplication& operator=(const CApplication&) = delete;

    // The most recently constructed application still alive, or null.
    static CApplication* Current();

    // The process's exit code.
    int Run();

    // Takes one message from the queue and handles it; false when it was
    // the quit message.
    virtual bool PumpMessage();
    // Called with 0, 1, 2, ... once the queue is empty; true while there is
    // more idle work to do.
    virtual bool OnIdle(LONG count);
    // Commands that no dialog handled (menu items, accelerators); true when handled.
    virtual bool OnCommand(UINT id);
    // True when the message is consumed and must not be handled further.
    virtual bool ProcessMessageFilter(int code, MSG* message);

    CDialog* GetMainWnd() const { return mainWindow; }
    void SetMainWnd(CDialog* window) { mainWindow = window; }

    // What PumpMessage does unless a derived application says otherwise.
    static bool PumpOneMessage(int& quitCode);

  protected:
    // False ends the application without a message loop.
    virtual bool InitInstance() { return true; }
    virtual int ExitInstance() { return quitCode; }

  private:
    static LRESULT CALLBACK MessageFilterHook(int code, WPARAM wParam, LPARAM lParam);
    void MessageLoop();

    CApplication* previous;
    CDialog* mainWindow = nullptr;
    CHookOwner filterHook;
    int quitCode = 0;
};
