#pragma once
#include <string>
#include <vector>

// The names of the files (not folders) in a folder, in no particular order.
std::vector<std::wstring> FilesIn(const std::wstring& folder);
// The folder, made if missing, without any file in it.
void EmptyFolder(const std::wstring& folder);
// A file holding exactly the text, made or emptied first.
void WriteText(const std::wstring& path, const std::string& text);
// A file's whole contents; empty when it cannot be read.
std::string FileText(const std::wstring& path);
