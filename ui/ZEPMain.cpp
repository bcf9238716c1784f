#include "engine/PathSplit.h"
#include "framework/CDialog.h"
#include "resources/resource.h"
#include "settings/Profile.h"
#include <commctrl.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    INITCOMMONCONTROLSEX controls = {sizeof(controls), 0xFF};
    InitCommonControlsEx(&controls);
    SetProfileRegistryPosition(ReadRegistryPosition(ExecutableFolder()));
    CDialog mainDialog(IDD_ZEP_DIALOG);
    mainDialog.DoModal();
    return 0;
}
