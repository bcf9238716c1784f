#include "jotter/CJotterDlg.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    CJotterDlg window;
    return window.DoModal() < 0 ? 1 : 0;
}
