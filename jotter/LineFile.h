#pragma once
#include <string>
#include <vector>

// Writes the lines to a UTF-8 text file (with byte-order mark, each line
// ended by CR LF), replacing any file there. False when it could not be written whole.
bool SaveLines(const std::wstring& path, const std::vector<std::wstring>& lines);
