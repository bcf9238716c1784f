#include "CBaseApp.h"
#include "framework/PathSplit.h"
#include "framework/CDialog.h"
#include "settings/Profile.h"
#include "ui/ShellOpen.h"

#include <commctrl.h>

int CBaseApp::InitBase(UINT acceleratorId) {
    INITCOMMONCONTROLSEX controls = {sizeof(controls), 0xFF};
    InitCommonControlsEx(&controls);
    CApplication::InitInstance();
    // Tables loaded from resources are freed with the executable.
    accelerators = LoadAcceleratorsW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(acceleratorId));
    SetProfileRegistryPosition(ReadRegistryPosition(ExecutableFolder()));
    return 0;
}

void CBaseApp::OpenHelpFile(const std::wstring& name) {
    OpenInBackground(ExecutableFolder() + name);
}

bool CBaseApp::ProcessMessageFilter(int code, MSG* message) {
    HWND mainWindow = GetMainWnd() ? GetMainWnd()->GetSafeHwnd() : nullptr;
    if (accelerators && mainWindow && TranslateAcceleratorW(mainWindow, accelerators, message))
        return true;
    return CApplication::ProcessMessageFilter(code, message);
}
