// Holds Wine's desktop for a whole test session. The desktop process is
// started by the first program that needs it and inherits that program's
// standard handles; a test runner would then wait on its pipes until the
// desktop closes, a second after its last user ends. Started first, with no
// pipes, and living until the session ends, this keeps one desktop for all.
// Usage: keep_desktop.exe READY-FILE (made once the desktop is there).
#include <windows.h>

#include <shellapi.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    GetDesktopWindow(); // starts the desktop process and waits for it
    int count = 0;
    LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
    if (count > 1) {
        CloseHandle(CreateFileW(args[1], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    }
    LocalFree(args);
    Sleep(INFINITE);
    return 0;
}
