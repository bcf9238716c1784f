#pragma once
#include <string>
#include <vector>
#include <windows.h>

// The top-level windows of the desktop, and the search for one by its title.
class CHWndList {
  public:
    // The first top-level window whose title, trimmed of surrounding white
    // space, begins with the prefix (case-sensitive); null when none does.
    HWND FindByTitle(const std::wstring& prefix);

    const std::vector<HWND>& Windows() const { return windows; }

  private:
    static BOOL CALLBACK AddWindow(HWND window, LPARAM list);

    std::vector<HWND> windows;
};
