#pragma once
#include <string>
#include <windows.h>

// Whether the standard handle is a console (not a file or a pipe).
bool IsConsole(DWORD standardHandle);
// A line on standard error: to a console as it is, elsewhere as UTF-8.
// Without its line end when partial (a progress line written over).
void WriteError(const std::wstring& text, bool partial = false);
// The same on standard output.
void WriteOutput(const std::wstring& text);
// From now on Ctrl+C, Ctrl+Break, a closed console, a log-off and a
// shut-down interrupt the conversions instead of ending the program at once.
void CatchStopRequests();
bool StopRequested();
