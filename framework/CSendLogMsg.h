#pragma once
#include "CHWndList.h"
#include <string>

// Sends lines of text to the log window, starting the log program from the
// executable's folder when no such window is open.
class CSendLogMsg {
  public:
    virtual ~CSendLogMsg() = default;

    // True when a window whose title begins with windowName took the text.
    bool Send(const std::wstring& text, const std::wstring& windowName);

  private:
    CHWndList windows;
};

// Starts the command line as a process and waits, at most 10 s, until it is
// idle for input. False when the process could not be created.
bool RunProgram(const std::wstring& commandLine);
