#pragma once
#include <windows.h>

#include <string>

// The system's folder chooser, opened on a given folder.
class CBrowse {
  public:
    virtual ~CBrowse() = default;

    // The chosen folder without trailing backslashes (a drive root comes back
    // as "C:"), or initialFolder unchanged when the user cancels.
    std::wstring Browse(const std::wstring& initialFolder, HWND owner);

  protected:
    // Selects the initial folder once the chooser is up.
    virtual void OnBrowseInit(HWND chooser);

    std::wstring initialFolder;

  private:
    static int CALLBACK ChooserEvent(HWND chooser, UINT event, LPARAM, LPARAM self);
};
