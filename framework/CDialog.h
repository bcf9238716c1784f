#pragma once
#include <windows.h>

class CDataExchange;

// A modal dialog from a template. Every message reaches HandleMessage
// first; it hands the usual ones to the hooks below. Commands the dialog
// does not handle go on to the application object.
class CDialog {
  public:
    explicit CDialog(UINT templateId, HWND parent = nullptr);
    virtual ~CDialog() = default;
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;

    // Runs the template of the program's own resources; -1 when it cannot be shown.
    INT_PTR DoModal();
    // Runs an in-memory template, e.g. one found in a resource library;
    // resources names the module whose icons and bitmaps the template refers to.
    INT_PTR RunModalIndirect(const DLGTEMPLATE* dialogTemplate, HWND parent,
                             HINSTANCE resources = nullptr);

    HWND GetSafeHwnd() const { return hwnd; }
    UINT GetTemplateId() const { return templateId; }
    HWND GetDlgItem(int id) const { return hwnd ? ::GetDlgItem(hwnd, id) : nullptr; }
    void EndDialog(INT_PTR result);
    // Fields from the controls (saveAndValidate) or the other way round;
    // false when a control's content was refused.
    bool UpdateData(bool saveAndValidate = true);

  protected:
    // Writes the fields to the controls; true puts the focus on the first control.
    virtual BOOL OnInitDialog();
    virtual void DoDataExchange(CDataExchange&) {}
    // Ends with OK once the fields have taken the controls' contents.
    virtual void OnOK();
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    // WM_COMMAND; true when handled.
    virtual bool OnCommand(WORD id, WORD code, HWND control);
    // Returns true when the message was handled; result is then the dialog procedure's answer,
    // TRUE unless the handler sets it.
    virtual bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result);
    // The answer to a message that the dialog manager takes from DWLP_MSGRESULT (WM_NOTIFY).
    void SetMessageResult(LRESULT result);

  private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    UINT templateId;
    HWND parent;
    HWND hwnd = nullptr;
};
