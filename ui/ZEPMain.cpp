#include "ui/CZEPApp.h"

// Constructed during static initialisation, like the resource library's
// holder and the registered messages.
CZEPApp theApp;

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return theApp.Run(); }
