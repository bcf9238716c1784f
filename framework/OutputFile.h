#pragma once
#include <string>
#include <windows.h>

// Creates (or empties) an output file for writing, as CreateFileW with
// CREATE_ALWAYS does, but never over a file marked read-only: the system
// refuses that on Windows, while Wine run by root would write over it.
// INVALID_HANDLE_VALUE with ERROR_ACCESS_DENIED then.
HANDLE CreateOutputFile(const std::wstring& path, DWORD access, DWORD share);

// An existing file marked read-only: never to be written over or replaced.
bool IsReadOnlyFile(const std::wstring& path);
