#include "PumpMessages.h"
#include "framework/CApplication.h"

int PumpMessages() {
    CApplication* application = CApplication::Current();
    MSG waiting;
    while (PeekMessageW(&waiting, nullptr, 0, 0, PM_NOREMOVE)) {
        int quitCode = 0;
        bool running =
            application ? application->PumpMessage() : CApplication::PumpOneMessage(quitCode);
        if (!running) {
            PostQuitMessage(0);
            return 1;
        }
    }
    for (LONG count = 0; application && application->OnIdle(count); ++count) {
    }
    return 0;
}

void DispatchThreadMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&message);
}
