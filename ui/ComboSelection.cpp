#include "ComboSelection.h"
#include <cwchar>

std::wstring RateText(int kbps) {
    wchar_t text[16] = {};
    swprintf(text, 16, L"%3dkbps", kbps);
    return text;
}

void AddWithData(CComboBox& list, const std::wstring& text, DWORD_PTR data) {
    int index = list.AddString(text);
    if (index >= 0)
        list.SetItemData(index, data);
}

void SelectByData(CComboBox& list, DWORD_PTR data) {
    int count = list.GetCount();
    for (int i = 0; i < count; ++i) {
        if (list.GetItemData(i) == data) {
            list.SetCurSel(i);
            return;
        }
    }
    list.SetCurSel(-1);
}

void TakeSelectedIndex(const CComboBox& list, int& field) {
    int selected = list.GetCurSel();
    if (selected >= 0)
        field = selected;
}

void TakeSelectedData(const CComboBox& list, int& field) {
    int selected = list.GetCurSel();
    if (selected >= 0)
        field = static_cast<int>(list.GetItemData(selected));
}
