#pragma once

// Handles the messages waiting for this thread, then lets the application
// do its idle work. Long work on the user-interface thread calls it between
// steps so that windows repaint and buttons can be pressed. Returns 1 when
// the application is quitting; the quit message is then posted again for
// the loop that owns it.
int PumpMessages();
// Dispatches the messages waiting for a thread that has no windows (a
// worker whose single-threaded COM objects post to it).
void DispatchThreadMessages();
