#pragma once
#include "framework/CComboBox.h"
#include <string>

// Lists whose entries stand for numbers, as the settings dialogs use them.
// A list without a selection leaves the field it would set unchanged: an
// unknown stored value must survive a dialog closed with OK untouched.

// " 32kbps": a bit rate right-aligned to seven characters.
std::wstring RateText(int kbps);
void AddWithData(CComboBox& list, const std::wstring& text, DWORD_PTR data);
// Selects the first entry whose item data equals data, or none.
void SelectByData(CComboBox& list, DWORD_PTR data);
// field = the selected index, when there is a selection.
void TakeSelectedIndex(const CComboBox& list, int& field);
// field = the item data of the selection, when there is one.
void TakeSelectedData(const CComboBox& list, int& field);
