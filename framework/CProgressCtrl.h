#pragma once
#include <windows.h>

#include <commctrl.h>

// A progress bar control of a dialog. The dialog owns the control; this
// object only names it.
class CProgressCtrl {
  public:
    void Attach(HWND control) { hwnd = control; }
    HWND GetHwnd() const { return hwnd; }

    void SetRange(int lower, int upper) {
        if (hwnd)
            SendMessageW(hwnd, PBM_SETRANGE32, static_cast<WPARAM>(lower), upper);
    }
    // The previous position.
    int SetPos(int position) {
        return hwnd ? static_cast<int>(SendMessageW(hwnd, PBM_SETPOS, position, 0)) : 0;
    }
    int GetPos() const { return hwnd ? static_cast<int>(SendMessageW(hwnd, PBM_GETPOS, 0, 0)) : 0; }

  private:
    HWND hwnd = nullptr;
};
