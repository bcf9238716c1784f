#pragma once
#include <string>

// Path routines in the manner of the C run-time's path splitter (drive,
// directory with its trailing separator, name, extension), on strings of
// any length. A missing component is empty.
std::wstring SplitDrive(const std::wstring& path);
std::wstring SplitDir(const std::wstring& path);
std::wstring SplitName(const std::wstring& path);
// Drive and directory: ends with a separator when the path has a directory.
std::wstring PathFolder(const std::wstring& path);
// The path without its extension.
std::wstring PathStem(const std::wstring& path);
// A folder's path without the backslashes it may end in ("C:\" is "C:").
std::wstring WithoutTrailingBackslashes(std::wstring folder);

// The folder of the running executable, with its trailing backslash.
std::wstring ExecutableFolder();
// The running executable's file name without folder and extension.
std::wstring ExecutableName();
