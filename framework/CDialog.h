#pragma once
#include <windows.h>

// A modal dialog from a template. Derived classes override the hooks;
// every message reaches HandleMessage first.
class CDialog {
  public:
    explicit CDialog(UINT templateId, HWND parent = nullptr);
    virtual ~CDialog() = default;
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;

    // Runs the template of the program's own resources; -1 when it cannot be shown.
    INT_PTR DoModal();
    // Runs an in-memory template, e.g. one found in a resource library.
    INT_PTR RunModalIndirect(const DLGTEMPLATE* dialogTemplate, HWND parent);

    HWND GetSafeHwnd() const { return hwnd; }
    UINT GetTemplateId() const { return templateId; }
    void EndDialog(INT_PTR result);

  protected:
    virtual BOOL OnInitDialog() { return TRUE; }
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    // Returns true when the message was handled; result is then the dialog procedure's answer.
    virtual bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result);

  private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    UINT templateId;
    HWND parent;
    HWND hwnd = nullptr;
};
