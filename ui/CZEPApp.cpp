#include "CZEPApp.h"
#include "resdll/Res.h"
#include "resources/resource.h"
#include "ui/CBaseDialog.h"
#include "ui/CMyAboutDlg.h"
#include "ui/CResDllHandle.h"
#include "ui/CZEPDlg.h"
#include <shellapi.h>

const UINT WM_BATSTART_AUDIO = RegisterWindowMessageW(L"WM_BATSTART_AUDIO");
const UINT WM_BATSTART_FILES = RegisterWindowMessageW(L"WM_BATSTART_FILES");
const UINT WM_TRAYNOTIFY = RegisterWindowMessageW(L"WM_TRAYNOTIFY");

namespace {

// The one file path ZEP may be started with (Explorer's "Convert with ZEP"):
// empty without one.
std::wstring StartInput() {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    const std::wstring input = arguments && count >= 2 ? arguments[1] : L"";
    LocalFree(arguments);
    return input;
}

} // namespace

bool CZEPApp::InitInstance() {
    InitBase(IDR_ACCELERATOR);
    CZEPDlg mainDialog;
    mainDialog.StartWith(StartInput());
    SetMainWnd(&mainDialog);
    mainDialog.DoModal();
    SetMainWnd(nullptr);
    return false;
}

bool CZEPApp::OnCommand(UINT id) {
    static const struct {
        UINT id;
        void (CZEPApp::*handler)();
    } commands[] = {
        {ID_HELP_FINDER, &CZEPApp::OnHelp},
        {ID_APP_ABOUT, &CZEPApp::OnAppAbout},
    };
    for (const auto& command : commands) {
        if (command.id == id) {
            (this->*command.handler)();
            return true;
        }
    }
    return CBaseApp::OnCommand(id);
}

void CZEPApp::OnHelp() { OpenHelpFile(L"zep.chm"); }

// Without the resource library the About box does not appear.
void CZEPApp::OnAppAbout() {
    CMyAboutDlg about(RGB(0xFF, 0xFF, 0xFF), RGB(0, 0, 0), nullptr);
    ResDllHandle.RunDialog(about, IDD_ABOUTBOX);
}
