#include "PathSplit.h"
#include <windows.h>

namespace {

struct PathParts {
    size_t driveEnd = 0; // one past "C:"
    size_t dirEnd = 0;   // one past the last separator
    size_t nameEnd = 0;  // where the extension's dot starts
};

PathParts Split(const std::wstring& path) {
    PathParts parts;
    if (path.size() >= 2 && path[1] == L':')
        parts.driveEnd = 2;
    size_t lastSeparator = path.find_last_of(L"\\/");
    parts.dirEnd = lastSeparator == std::wstring::npos || lastSeparator < parts.driveEnd
                       ? parts.driveEnd
                       : lastSeparator + 1;
    size_t dot = path.find_last_of(L'.');
    parts.nameEnd = dot == std::wstring::npos || dot < parts.dirEnd ? path.size() : dot;
    return parts;
}

std::wstring ModulePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (length == 0)
            return std::wstring();
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

} // namespace

std::wstring SplitDrive(const std::wstring& path) { return path.substr(0, Split(path).driveEnd); }

std::wstring SplitDir(const std::wstring& path) {
    PathParts parts = Split(path);
    return path.substr(parts.driveEnd, parts.dirEnd - parts.driveEnd);
}

std::wstring SplitName(const std::wstring& path) {
    PathParts parts = Split(path);
    return path.substr(parts.dirEnd, parts.nameEnd - parts.dirEnd);
}

std::wstring PathFolder(const std::wstring& path) { return path.substr(0, Split(path).dirEnd); }

std::wstring PathStem(const std::wstring& path) { return path.substr(0, Split(path).nameEnd); }

std::wstring ExecutableFolder() { return PathFolder(ModulePath()); }

std::wstring ExecutableName() { return SplitName(ModulePath()); }

std::wstring WithoutTrailingBackslashes(std::wstring folder) {
    while (!folder.empty() && folder.back() == L'\\')
        folder.pop_back();
    return folder;
}
