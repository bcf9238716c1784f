#include "FolderFiles.h"
#include "engine/CPendingOutput.h"
#include "framework/CHandleOwner.h"
#include <algorithm>
#include <windows.h>

namespace {

struct FindTraits {
    using Handle = HANDLE;
    static Handle Empty() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { FindClose(h); }
};

} // namespace

std::vector<std::wstring> FolderFiles(const std::wstring& folder) {
    std::vector<std::wstring> files;
    std::wstring base = folder;
    while (!base.empty() && base.back() == L'\\')
        base.pop_back();
    // An empty folder would search the root of the current drive.
    if (base.empty())
        return files;
    WIN32_FIND_DATAW found = {};
    CHandleOwner<FindTraits> search(FindFirstFileW((base + L"\\*.*").c_str(), &found));
    if (!search)
        return files;
    // Our temporary files are outputs in the making, of this run or another
    // (or left by a crash), never the user's inputs.
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
            !CPendingOutput::IsTemporaryName(found.cFileName))
            files.push_back(base + L"\\" + found.cFileName);
    } while (FindNextFileW(search.Get(), &found));
    // Equal paths keep their order.
    std::stable_sort(files.begin(), files.end(), [](const std::wstring& a, const std::wstring& b) {
        return _wcsicmp(a.c_str(), b.c_str()) < 0;
    });
    return files;
}
