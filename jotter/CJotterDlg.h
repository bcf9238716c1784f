#pragma once
#include "framework/CDialog.h"
#include <string>
#include <vector>

// Jotter's window: every line another program sends with WM_COPYDATA (UTF-16
// text) is appended to a read-only view, the newest kept in sight, and the
// lines can be saved to a text file. ZEP sends its errors here during a
// batch; it finds the window by its title, which begins with "Jotter".
class CJotterDlg : public CDialog {
  public:
    CJotterDlg();

  protected:
    BOOL OnInitDialog() override;
    // Enter and Escape must not throw the log away.
    void OnOK() override {}
    void OnCancel() override {}
    bool OnCommand(WORD id, WORD code, HWND control) override;
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

  private:
    void AppendLine(const std::wstring& line);
    void Clear();
    void FitView();
    void Save();

    std::vector<std::wstring> lines;
};
