#pragma once
#include "framework/CHandleOwner.h"
#include "ui/CBaseDialog.h"

// The About box, run from the resource library's template: an ellipse in
// its own colours with the program's name and version and a link to the
// maker's web page.
class CMyAboutDlg : public CBaseDialog {
  public:
    CMyAboutDlg(COLORREF background, COLORREF text, HWND parent);

    // A fixed file version as "%d.%d%d": 6.0.0.1 reads 6.00.
    static std::wstring FormatVersion(DWORD mostSignificant, DWORD leastSignificant);

  protected:
    BOOL OnInitDialog() override;
    void OnOK() override { EndDialog(IDOK); }
    void OnCancel() override { EndDialog(IDCANCEL); }
    bool OnCommand(WORD id, WORD code, HWND control) override;
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

  private:
    void ClipToEllipse();

    COLORREF textColour;
    COLORREF backgroundColour;
    CGdiObjectOwner backgroundBrush;
};
