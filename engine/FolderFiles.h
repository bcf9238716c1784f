#pragma once
#include <string>
#include <vector>

// The files of a folder as a batch converts them: every file directly in it
// (no folders, none of our temporary files), as full paths, in
// case-insensitive ascending order. A trailing backslash is allowed; an
// empty or missing folder has none.
std::vector<std::wstring> FolderFiles(const std::wstring& folder);
