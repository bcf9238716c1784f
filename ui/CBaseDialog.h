#pragma once
#include "framework/CDialog.h"
#include <string>

// The base of every ZEP dialog. It gives them the application icon, dropped
// files one by one, tool tips that repeat a control's text, moving by
// dragging anywhere, Help and About in the system menu (and that menu on a
// right click), a close rule that respects a busy flag, the owner hidden
// while a sub-dialog is minimised, and the visual-style background.
// Enter, Escape and the buttons with IDs 1 and 2 end no dialog unless a
// derived one overrides OnOK or OnCancel again.
class CBaseDialog : public CDialog {
  public:
    // systemMenu 1 puts Help and About into the system menu and opens it on
    // a right click; childMode 1 is for a dialog embedded in its owner.
    CBaseDialog(UINT templateId, HWND owner, int systemMenu, int childMode);

    // Called once per dropped file, in the order the system reports them.
    virtual void OnDropFile(const std::wstring& path);
    virtual int IsIdle() const { return idle; }
    // Installs a menu of the program's resources; the window keeps it and
    // the menu it replaces is destroyed.
    virtual void SetMenuFromResource(UINT menuId);
    // fit non-zero widens the control to its text, within the dialog.
    virtual void SetItemText(int id, const std::wstring& text, int fit);
    // Shows the owner while this dialog has a size and hides it while minimised.
    virtual void OnSize(UINT type, int width, int height);
    // Runs once, after the dialog's initialisation has returned.
    virtual LRESULT OnInitDone() { return 0; }
    virtual void ApplyTheme();

  protected:
    BOOL OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override {}
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

    // 1 when the dialog may be closed; 0 while a long task runs.
    int idle = 1;
    HWND owner;
    int systemMenu;
    int childMode;
    // The text handed to the tool-tip control; it must outlive the request.
    std::wstring tipText;

  private:
    void CustomiseSystemMenu();
    void EnableToolTips();
    bool OnSysCommand(WPARAM command);
    void OnMouseMove(WPARAM keys);
    void OnClose();
    void OnDropFiles(HDROP drop);
    void OnContextMenu();
    LRESULT OnToolTipText(NMHDR* header);
    void FitToText(HWND control, const std::wstring& text);
};
