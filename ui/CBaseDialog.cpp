#include "CBaseDialog.h"
#include "framework/CHandleOwner.h"
#include "framework/WindowText.h"
#include "resources/resource.h"
#include "ui/Language.h"
#include <algorithm>

#include <commctrl.h>
#include <shellapi.h>

namespace {

// Posted to itself at the end of the initialisation.
constexpr UINT kInitDoneMessage = 0x7E8;

struct DropTraits {
    using Handle = HDROP;
    static Handle Empty() { return nullptr; }
    static void Close(Handle h) { DragFinish(h); }
};

POINT CursorPosition() {
    POINT cursor = {};
    GetCursorPos(&cursor);
    return cursor;
}

} // namespace

CBaseDialog::CBaseDialog(UINT templateId, HWND owner, int systemMenu, int childMode)
    : CDialog(templateId, owner), owner(owner), systemMenu(systemMenu), childMode(childMode) {}

void CBaseDialog::OnDropFile(const std::wstring&) {}

BOOL CBaseDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    HWND hwnd = GetSafeHwnd();
    if (systemMenu == 1)
        CustomiseSystemMenu();
    HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
    SendMessageW(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageW(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    DragAcceptFiles(hwnd, TRUE);
    EnableToolTips();
    if (HWND cancel = GetDlgItem(IDCANCEL); cancel && IsJapanese())
        SetWindowTextW(cancel, L"キャンセル");
    ApplyTheme();
    PostMessageW(hwnd, kInitDoneMessage, 0, 0);
    return TRUE;
}

// Keeps Move, Minimize and Close of the standard menu and puts Help, About
// and a separator before them.
void CBaseDialog::CustomiseSystemMenu() {
    HWND hwnd = GetSafeHwnd();
    HMENU menu =
        (GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_SYSMENU) ? GetSystemMenu(hwnd, FALSE) : nullptr;
    if (!menu)
        return;
    for (UINT position : {0, 1, 2, 2})
        DeleteMenu(menu, position, MF_BYPOSITION);
    InsertMenuW(menu, 0, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
    std::wstring about = PickLanguage(L"バージョン情報", L"About") + L"...\tF10";
    InsertMenuW(menu, 0, MF_BYPOSITION | MF_STRING, ID_APP_ABOUT, about.c_str());
    InsertMenuW(menu, 0, MF_BYPOSITION | MF_STRING, ID_HELP_FINDER, L"Help\tF1");
}

// The tips ask for their text when shown, so they follow the controls' current texts.
void CBaseDialog::EnableToolTips() {
    HWND hwnd = GetSafeHwnd();
    HWND tips = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!tips)
        return;
    for (HWND child = GetWindow(hwnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        TOOLINFOW tool = {};
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = hwnd;
        tool.uId = reinterpret_cast<UINT_PTR>(child);
        tool.lpszText = LPSTR_TEXTCALLBACKW;
        SendMessageW(tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

bool CBaseDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) {
    switch (message) {
    case WM_SYSCOMMAND:
        // A dialog procedure answers TRUE for a command it took; FALSE would let
        // the dialog manager carry out Close even while busy.
        result = TRUE;
        return OnSysCommand(wParam);
    case WM_MOUSEMOVE:
        OnMouseMove(wParam);
        return false;
    case WM_CLOSE:
        OnClose();
        result = 0;
        return true;
    case WM_DROPFILES:
        OnDropFiles(reinterpret_cast<HDROP>(wParam));
        result = 0;
        return true;
    case WM_SIZE:
        OnSize(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
        return false;
    case kInitDoneMessage:
        SetMessageResult(OnInitDone());
        result = TRUE;
        return true;
    case WM_CONTEXTMENU:
        OnContextMenu();
        result = 0;
        return true;
    case WM_NOTIFY:
        if (reinterpret_cast<NMHDR*>(lParam)->code != TTN_GETDISPINFOW)
            break;
        SetMessageResult(OnToolTipText(reinterpret_cast<NMHDR*>(lParam)));
        result = TRUE;
        return true;
    }
    return CDialog::HandleMessage(message, wParam, lParam, result);
}

bool CBaseDialog::OnSysCommand(WPARAM command) {
    HWND hwnd = GetSafeHwnd();
    if (LOWORD(command) == ID_HELP_FINDER || LOWORD(command) == ID_APP_ABOUT) {
        PostMessageW(hwnd, WM_COMMAND, LOWORD(command), 0);
        return true;
    }
    if (command != SC_CLOSE)
        return false;
    // While busy the title bar's close button and the menu's Close do nothing.
    if (idle == 1)
        SendMessageW(hwnd, WM_CLOSE, 0, 0);
    return true;
}

// Dragging with the left button alone moves the window (or, when embedded, its owner).
void CBaseDialog::OnMouseMove(WPARAM keys) {
    HWND target = childMode ? owner : GetSafeHwnd();
    if (keys != MK_LBUTTON || !target)
        return;
    ReleaseCapture();
    POINT cursor = CursorPosition();
    SendMessageW(target, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(cursor.x, cursor.y));
}

void CBaseDialog::OnClose() {
    UpdateData(true);
    // A size while "minimised" shows the owner again.
    SendMessageW(GetSafeHwnd(), WM_SIZE, SIZE_MINIMIZED, MAKELPARAM(1, 1));
    EndDialog(IDCANCEL);
}

void CBaseDialog::OnDropFiles(HDROP handle) {
    CHandleOwner<DropTraits> drop(handle);
    SetForegroundWindow(GetSafeHwnd());
    UINT count = DragQueryFileW(drop.Get(), 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        // Sized to the name, so that no long path arrives cut.
        UINT length = DragQueryFileW(drop.Get(), i, nullptr, 0);
        std::wstring path(length + 1, L'\0');
        path.resize(DragQueryFileW(drop.Get(), i, path.data(), length + 1));
        OnDropFile(path);
    }
}

void CBaseDialog::OnSize(UINT, int width, int height) {
    if (!owner || childMode)
        return;
    ShowWindow(owner, (width || height) ? SW_SHOW : SW_HIDE);
    RECT frame = {};
    GetWindowRect(GetSafeHwnd(), &frame);
    PostMessageW(owner, WM_SIZE, SIZE_RESTORED,
                 MAKELPARAM(frame.right - frame.left, frame.bottom - frame.top));
}

// The chosen entry is carried out as the system menu's own command, so
// Close keeps to the busy rule.
void CBaseDialog::OnContextMenu() {
    HWND hwnd = GetSafeHwnd();
    HMENU menu = systemMenu == 1 ? GetSystemMenu(hwnd, FALSE) : nullptr;
    if (!menu)
        return;
    POINT cursor = CursorPosition();
    UINT command = static_cast<UINT>(TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, cursor.x,
                                                    cursor.y, 0, hwnd, nullptr));
    if (command)
        SendMessageW(hwnd, WM_SYSCOMMAND, command, 0);
}

LRESULT CBaseDialog::OnToolTipText(NMHDR* header) {
    auto* request = reinterpret_cast<NMTTDISPINFOW*>(header);
    tipText.clear();
    request->lpszText = tipText.data();
    if (!(request->uFlags & TTF_IDISHWND))
        return 0;
    HWND control = GetDlgItem(GetDlgCtrlID(reinterpret_cast<HWND>(header->idFrom)));
    if (!control)
        return 0;
    tipText = WindowText(control);
    request->lpszText = tipText.data();
    return tipText.empty() ? 0 : 1;
}

void CBaseDialog::SetMenuFromResource(UINT menuId) {
    HMENU menu = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(menuId));
    if (!menu)
        return;
    HMENU replaced = GetMenu(GetSafeHwnd());
    SetMenu(GetSafeHwnd(), menu);
    if (replaced)
        DestroyMenu(replaced);
}

void CBaseDialog::SetItemText(int id, const std::wstring& text, int fit) {
    HWND control = GetDlgItem(id);
    if (!control)
        return;
    SetWindowTextW(control, text.c_str());
    if (fit)
        FitToText(control, text);
}

void CBaseDialog::FitToText(HWND control, const std::wstring& text) {
    SIZE extent = {};
    if (HDC dc = GetDC(control)) {
        HGDIOBJ font = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
        SelectObject(dc, font);
        ReleaseDC(control, dc);
    }
    RECT box = {}, dialog = {};
    GetWindowRect(control, &box);
    GetWindowRect(GetSafeHwnd(), &dialog);
    box.right = std::min(std::max(box.right, box.left + extent.cx + 7), dialog.right);
    box.bottom = std::min(std::max(box.bottom, box.top + extent.cy), dialog.bottom);
    MapWindowPoints(nullptr, GetSafeHwnd(), reinterpret_cast<POINT*>(&box), 2);
    MoveWindow(control, box.left, box.top, box.right - box.left, box.bottom - box.top, TRUE);
}

// The tab-page texture gives dialogs the themed background on Windows XP and later.
void CBaseDialog::ApplyTheme() {
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    if (!GetVersionExW(&version) ||
        !(version.dwMajorVersion > 5 || (version.dwMajorVersion == 5 && version.dwMinorVersion)))
        return;
    CModuleOwner uxtheme(LoadLibraryW(L"uxtheme.dll"));
    if (!uxtheme)
        return;
    using EnableTexture = HRESULT(WINAPI*)(HWND, DWORD);
    auto enable = reinterpret_cast<EnableTexture>(
        reinterpret_cast<void (*)()>(GetProcAddress(uxtheme.Get(), "EnableThemeDialogTexture")));
    if (enable)
        enable(GetSafeHwnd(), 6);
}
