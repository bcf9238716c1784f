#include "CComboBox.h"

LRESULT CComboBox::Send(UINT message, WPARAM wParam, LPARAM lParam) const {
    return hwnd ? SendMessageW(hwnd, message, wParam, lParam) : CB_ERR;
}

int CComboBox::AddString(const std::wstring& text) {
    return static_cast<int>(Send(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
}

int CComboBox::GetCount() const { return static_cast<int>(Send(CB_GETCOUNT)); }

int CComboBox::GetCurSel() const { return static_cast<int>(Send(CB_GETCURSEL)); }

int CComboBox::SetCurSel(int index) {
    return static_cast<int>(Send(CB_SETCURSEL, static_cast<WPARAM>(index)));
}

std::wstring CComboBox::GetLBText(int index) const {
    LRESULT length = Send(CB_GETLBTEXTLEN, static_cast<WPARAM>(index));
    if (length <= 0)
        return std::wstring();
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    LRESULT copied =
        Send(CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

void CComboBox::SetItemData(int index, DWORD_PTR data) {
    Send(CB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(data));
}

DWORD_PTR CComboBox::GetItemData(int index) const {
    return static_cast<DWORD_PTR>(Send(CB_GETITEMDATA, static_cast<WPARAM>(index)));
}

void CComboBox::ResetContent() { Send(CB_RESETCONTENT); }
