#include "CFormDialog.h"
#include "FrameworkTestIds.h"
#include <stdexcept>

CFormDialog::CFormDialog(Script script) : CDialog(IDD_TEST_FORM), script(std::move(script)) {}

void CFormDialog::Post(UINT message, WPARAM wParam, LPARAM lParam) {
    PostMessageW(GetSafeHwnd(), message, wParam, lParam);
}

void CFormDialog::SetControlText(int id, const std::wstring& value) {
    SetWindowTextW(GetDlgItem(id), value.c_str());
}

BOOL CFormDialog::OnInitDialog() {
    HWND combo = GetDlgItem(IDC_FORM_LIST);
    for (const wchar_t* item : {L"zero", L"one", L"two"})
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    CDialog::OnInitDialog();
    Post(kScriptStep);
    return TRUE;
}

void CFormDialog::DoDataExchange(CDataExchange& exchange) {
    exchange.Bind(IDC_FORM_LIST, list);
    exchange.Bind(IDC_FORM_PROGRESS, progress);
    exchange.Text(IDC_FORM_TEXT, text);
    exchange.Text(IDC_FORM_NUMBER, number);
    exchange.Check(IDC_FORM_CHECK, check);
    exchange.ComboIndex(IDC_FORM_LIST, choice);
}

void CFormDialog::OnOK() {
    CDialog::OnOK();
    afterOK.emplace_back(number, check);
}

bool CFormDialog::OnCommand(WORD id, WORD code, HWND control) {
    if (throwingCommand && id == throwingCommand)
        throw std::runtime_error("a handler failed");
    return CDialog::OnCommand(id, code, control);
}

bool CFormDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) {
    messages.push_back(message);
    if (message == kScriptStep && script) {
        Script step = std::move(script);
        step(*this);
        return true;
    }
    return CDialog::HandleMessage(message, wParam, lParam, result);
}
