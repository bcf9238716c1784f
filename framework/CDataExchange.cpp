#include "CDataExchange.h"
#include "framework/PathSplit.h"
#include "framework/WindowText.h"
#include <cwchar>
#include <limits>

namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

bool ParseInt(const std::wstring& text, int& value) {
    size_t begin = 0, end = text.size();
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    while (end > begin && IsBlank(text[end - 1]))
        --end;
    size_t digits = begin < end && (text[begin] == L'-' || text[begin] == L'+') ? begin + 1 : begin;
    if (digits == end)
        return false;
    long long number = 0;
    for (size_t i = digits; i < end; ++i) {
        if (text[i] < L'0' || text[i] > L'9')
            return false;
        number = number * 10 + (text[i] - L'0');
        if (number > static_cast<long long>(std::numeric_limits<int>::max()) + 1)
            return false;
    }
    if (text[begin] == L'-')
        number = -number;
    if (number < std::numeric_limits<int>::min() || number > std::numeric_limits<int>::max())
        return false;
    value = static_cast<int>(number);
    return true;
}

} // namespace

CDataExchange::CDataExchange(HWND dialog, bool saveAndValidate)
    : dialog(dialog), saving(saveAndValidate) {}

HWND CDataExchange::Item(int id) const { return failed ? nullptr : GetDlgItem(dialog, id); }

void CDataExchange::Text(int id, std::wstring& value) {
    HWND control = Item(id);
    if (!control)
        return;
    if (saving)
        value = WindowText(control);
    else
        SetWindowTextW(control, value.c_str());
}

void CDataExchange::Text(int id, int& value) {
    HWND control = Item(id);
    if (!control)
        return;
    if (!saving) {
        SetWindowTextW(control, std::to_wstring(value).c_str());
        return;
    }
    // The framework's prompts are Japanese whatever the system language.
    if (!ParseInt(WindowText(control), value))
        Refuse(control, L"整数を入力してください。");
}

void CDataExchange::Check(int id, int& value) {
    HWND control = Item(id);
    if (!control)
        return;
    if (saving)
        value = static_cast<int>(SendMessageW(control, BM_GETCHECK, 0, 0));
    else
        SendMessageW(control, BM_SETCHECK, static_cast<WPARAM>(value), 0);
}

void CDataExchange::ComboIndex(int id, int& value) {
    HWND control = Item(id);
    if (!control)
        return;
    if (saving)
        value = static_cast<int>(SendMessageW(control, CB_GETCURSEL, 0, 0));
    else
        SendMessageW(control, CB_SETCURSEL, static_cast<WPARAM>(value), 0);
}

void CDataExchange::Refuse(HWND control, const wchar_t* prompt) {
    failed = true;
    MessageBoxW(dialog, prompt, ExecutableName().c_str(), MB_OK | MB_ICONEXCLAMATION);
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    SendMessageW(control, EM_SETSEL, 0, -1);
}
