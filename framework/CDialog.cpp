#include "CDialog.h"
#include "framework/CApplication.h"
#include "framework/CDataExchange.h"

CDialog::CDialog(UINT templateId, HWND parent) : templateId(templateId), parent(parent) {}

INT_PTR CDialog::DoModal() {
    return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId), parent,
                           DialogProc, reinterpret_cast<LPARAM>(this));
}

INT_PTR CDialog::RunModalIndirect(const DLGTEMPLATE* dialogTemplate, HWND owner,
                                  HINSTANCE resources) {
    return DialogBoxIndirectParamW(resources ? resources : GetModuleHandleW(nullptr),
                                   dialogTemplate, owner, DialogProc,
                                   reinterpret_cast<LPARAM>(this));
}

void CDialog::EndDialog(INT_PTR result) {
    if (hwnd)
        ::EndDialog(hwnd, result);
}

bool CDialog::UpdateData(bool saveAndValidate) {
    CDataExchange exchange(hwnd, saveAndValidate);
    DoDataExchange(exchange);
    return !exchange.Failed();
}

BOOL CDialog::OnInitDialog() {
    UpdateData(false);
    return TRUE;
}

void CDialog::OnOK() {
    if (UpdateData(true))
        EndDialog(IDOK);
}

void CDialog::SetMessageResult(LRESULT result) { SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, result); }

bool CDialog::OnCommand(WORD id, WORD code, HWND) {
    // Clicks, menu items (code 0) and accelerators (code 1); other notifications are not commands.
    if (code > 1)
        return false;
    if (id == IDOK) {
        OnOK();
        return true;
    }
    if (id == IDCANCEL) {
        OnCancel();
        return true;
    }
    CApplication* application = CApplication::Current();
    return application && application->OnCommand(id);
}

bool CDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) {
    switch (message) {
    case WM_INITDIALOG:
        result = OnInitDialog();
        return true;
    case WM_COMMAND:
        return OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
    default:
        return false;
    }
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
        reinterpret_cast<CDialog*>(lParam)->hwnd = hwnd;
    }
    auto* self = reinterpret_cast<CDialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    if (!self)
        return FALSE;
    // Handled messages answer TRUE unless their handler says otherwise.
    INT_PTR result = TRUE;
    bool handled = false;
    try {
        handled = self->HandleMessage(message, wParam, lParam, result);
    } catch (...) {
        // Nothing may unwind through the system's dialog manager.
        handled = false;
    }
    if (message == WM_NCDESTROY)
        self->hwnd = nullptr;
    return handled ? result : FALSE;
}
