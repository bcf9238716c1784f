#include "CMyAboutDlg.h"
#include "framework/PathSplit.h"
#include "resdll/Res.h"
#include "ui/ShellOpen.h"
#include <vector>

namespace {

constexpr wchar_t kMakerPage[] = L"https://www.example.com/zep/";

std::wstring ExecutableVersion() {
    wchar_t path[520] = {};
    GetModuleFileNameW(nullptr, path, 520);
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeW(path, &ignored);
    std::vector<BYTE> block(size);
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    if (!size || !GetFileVersionInfoW(path, 0, size, block.data()) ||
        !VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&info), &length) || !info)
        return CMyAboutDlg::FormatVersion(0, 0);
    return CMyAboutDlg::FormatVersion(info->dwFileVersionMS, info->dwFileVersionLS);
}

} // namespace

CMyAboutDlg::CMyAboutDlg(COLORREF background, COLORREF text, HWND parent)
    : CBaseDialog(0, parent, 0, 0), textColour(text), backgroundColour(background),
      backgroundBrush(CreateSolidBrush(background)) {}

std::wstring CMyAboutDlg::FormatVersion(DWORD mostSignificant, DWORD leastSignificant) {
    return std::to_wstring(HIWORD(mostSignificant)) + L"." +
           std::to_wstring(LOWORD(mostSignificant)) + std::to_wstring(HIWORD(leastSignificant));
}

BOOL CMyAboutDlg::OnInitDialog() {
    CBaseDialog::OnInitDialog();
    ClipToEllipse();
    SetItemText(IDC_ABOUT_VERSION, ExecutableName() + L" Version " + ExecutableVersion(), 0);
    return TRUE;
}

void CMyAboutDlg::ClipToEllipse() {
    RECT client = {};
    GetClientRect(GetSafeHwnd(), &client);
    HRGN ellipse = CreateEllipticRgn(0, 0, client.right, client.bottom);
    // The window owns the region once it is set.
    if (ellipse && !SetWindowRgn(GetSafeHwnd(), ellipse, TRUE))
        DeleteObject(ellipse);
}

bool CMyAboutDlg::OnCommand(WORD id, WORD code, HWND control) {
    if (id != IDC_ABOUT_LINK || code != BN_CLICKED)
        return CBaseDialog::OnCommand(id, code, control);
    OpenInBackground(kMakerPage);
    return true;
}

bool CMyAboutDlg::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) {
    switch (message) {
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, textColour);
        SetBkColor(dc, backgroundColour);
        result = reinterpret_cast<INT_PTR>(backgroundBrush.Get());
        return true;
    }
    default:
        return CBaseDialog::HandleMessage(message, wParam, lParam, result);
    }
}
