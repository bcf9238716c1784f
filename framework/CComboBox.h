#pragma once
#include <windows.h>

#include <string>

// A drop-down list control of a dialog. The dialog owns the control; this
// object only names it.
class CComboBox {
  public:
    void Attach(HWND control) { hwnd = control; }
    HWND GetHwnd() const { return hwnd; }

    // The new item's index, or a negative value on failure.
    int AddString(const std::wstring& text);
    int GetCount() const;
    int GetCurSel() const;
    // -1 selects nothing; returns the index selected, or -1.
    int SetCurSel(int index);
    std::wstring GetLBText(int index) const;
    void SetItemData(int index, DWORD_PTR data);
    DWORD_PTR GetItemData(int index) const;
    void ResetContent();

  private:
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;

    HWND hwnd = nullptr;
};
