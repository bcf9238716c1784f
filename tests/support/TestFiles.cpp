#include "TestFiles.h"
#include <windows.h>

std::vector<std::wstring> FilesIn(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found = {};
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

void EmptyFolder(const std::wstring& folder) {
    CreateDirectoryW(folder.c_str(), nullptr);
    for (const std::wstring& name : FilesIn(folder))
        DeleteFileW((folder + L"\\" + name).c_str());
}
