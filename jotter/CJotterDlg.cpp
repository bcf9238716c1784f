#include "CJotterDlg.h"
#include "jotter/JotterResource.h"
#include "jotter/LineFile.h"
#include "ui/Language.h"

#include <commdlg.h>

namespace {

// The text up to its terminating zero, never beyond the bytes the sender declared.
std::wstring LineFromCopyData(const COPYDATASTRUCT* data) {
    if (!data || !data->lpData)
        return std::wstring();
    const auto* text = static_cast<const wchar_t*>(data->lpData);
    size_t limit = data->cbData / sizeof(wchar_t), length = 0;
    while (length < limit && text[length])
        ++length;
    return std::wstring(text, length);
}

} // namespace

CJotterDlg::CJotterDlg() : CDialog(IDD_JOTTER) {}

BOOL CJotterDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    HWND hwnd = GetSafeHwnd();
    HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_JOTTER_ICON));
    SendMessageW(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    if (IsJapanese()) {
        HMENU english = GetMenu(hwnd);
        SetMenu(hwnd,
                LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_JOTTER_MENU_JAPANESE)));
        DestroyMenu(english);
    }
    // A multi-line edit holds about 32 000 characters unless told otherwise.
    SendMessageW(GetDlgItem(IDC_JOTTER_VIEW), EM_SETLIMITTEXT, 0, 0);
    FitView();
    return TRUE;
}

bool CJotterDlg::OnCommand(WORD id, WORD code, HWND control) {
    switch (id) {
    case ID_JOTTER_SAVE:
        Save();
        return true;
    case ID_JOTTER_CLEAR:
        Clear();
        return true;
    case ID_JOTTER_EXIT:
        EndDialog(IDOK);
        return true;
    default:
        return CDialog::OnCommand(id, code, control);
    }
}

bool CJotterDlg::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) {
    switch (message) {
    case WM_COPYDATA:
        AppendLine(LineFromCopyData(reinterpret_cast<const COPYDATASTRUCT*>(lParam)));
        SetMessageResult(TRUE);
        return true;
    case WM_SIZE:
        FitView();
        return false;
    case WM_GETMINMAXINFO:
        reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = {240, 160};
        return true;
    case WM_CLOSE:
        EndDialog(IDCANCEL);
        return true;
    default:
        return CDialog::HandleMessage(message, wParam, lParam, result);
    }
}

void CJotterDlg::AppendLine(const std::wstring& line) {
    lines.push_back(line);
    HWND view = GetDlgItem(IDC_JOTTER_VIEW);
    int end = GetWindowTextLengthW(view);
    SendMessageW(view, EM_SETSEL, end, end);
    std::wstring shown = line + L"\r\n";
    SendMessageW(view, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(shown.c_str()));
    SendMessageW(view, EM_SCROLLCARET, 0, 0);
}

void CJotterDlg::Clear() {
    lines.clear();
    SetDlgItemTextW(GetSafeHwnd(), IDC_JOTTER_VIEW, L"");
}

void CJotterDlg::FitView() {
    RECT client = {};
    GetClientRect(GetSafeHwnd(), &client);
    MoveWindow(GetDlgItem(IDC_JOTTER_VIEW), 0, 0, client.right, client.bottom, TRUE);
}

void CJotterDlg::Save() {
    wchar_t path[520] = L"Jotter.txt";
    OPENFILENAMEW choice = {};
    choice.lStructSize = sizeof(choice);
    choice.hwndOwner = GetSafeHwnd();
    choice.lpstrFilter = L"*.txt\0*.txt\0*.*\0*.*\0";
    choice.lpstrFile = path;
    choice.nMaxFile = 520;
    choice.lpstrDefExt = L"txt";
    choice.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    if (!GetSaveFileNameW(&choice))
        return;
    if (!SaveLines(path, lines))
        MessageBoxW(
            GetSafeHwnd(),
            PickLanguage(L"ファイルに保存できませんでした。", L"The lines could not be saved.")
                .c_str(),
            L"Jotter", MB_OK | MB_ICONEXCLAMATION);
}
