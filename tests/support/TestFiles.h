#pragma once
#include <string>
#include <vector>

// The names of the files (not folders) in a folder, in no particular order.
std::vector<std::wstring> FilesIn(const std::wstring& folder);
// The folder, made if missing, without any file in it.
void EmptyFolder(const std::wstring& folder);
