#pragma once
#include <windows.h>

class CAudioInfo;

// The settings dialogs of the resource library, each on a copy of what it
// edits. Without the library (or its template) no dialog appears and the
// answer is that of Cancel.

// The MP3 settings dialog on a copy of settings, copied back only on OK.
// 0 for OK, -2 otherwise.
int EditMp3Settings(CAudioInfo& settings, HWND parent);

// The WMA settings dialog on a copy of settings, copied back only on OK.
// 0 for OK, -2 otherwise.
int EditWmaSettings(CAudioInfo& settings, HWND parent);

// The FLAC settings dialog on a copy of settings, copied back only on OK.
// 0 for OK, -2 otherwise.
int EditFlacSettings(CAudioInfo& settings, HWND parent);

// The Opus settings dialog on a copy of settings, copied back only on OK.
// 0 for OK, -2 otherwise.
int EditOpusSettings(CAudioInfo& settings, HWND parent);

// The volume dialog: the value it holds when closed, however it was
// closed; volume unchanged when the dialog cannot be shown.
int EditVolume(int volume, HWND parent);
