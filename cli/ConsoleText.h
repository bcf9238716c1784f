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
// From now on Ctrl+C and Ctrl+Break ask the conversion to stop, as the
// dialog's Stop does, instead of ending the program.
void CatchStopRequests();
bool StopRequested();
