#include "FolderFiles.h"
#include "engine/CPendingOutput.h"
#include "framework/CHandleOwner.h"
#include "framework/FileIdentity.h"
#include "framework/PathSplit.h"
#include <algorithm>
#include <windows.h>

namespace {

struct FolderEntries {
    std::vector<std::wstring> files, folders;
};

void SortPaths(std::vector<std::wstring>& paths) {
    // Equal paths keep their order.
    std::stable_sort(paths.begin(), paths.end(), [](const std::wstring& a, const std::wstring& b) {
        return _wcsicmp(a.c_str(), b.c_str()) < 0;
    });
}

// base has no trailing backslash and is not empty.
FolderEntries EntriesOf(const std::wstring& base) {
    FolderEntries entries;
    WIN32_FIND_DATAW found = {};
    CFindHandle search(FindFirstFileW(LongPathForm(base + L"\\*").c_str(), &found));
    if (!search)
        return entries;
    // Our temporary files are outputs in the making, of this run or another
    // (or left by a crash), never the user's inputs.
    do {
        const std::wstring name = found.cFileName;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (name != L"." && name != L"..")
                entries.folders.push_back(base + L"\\" + name);
        } else if (!CPendingOutput::IsTemporaryName(name)) {
            entries.files.push_back(base + L"\\" + name);
        }
    } while (FindNextFileW(search.Get(), &found));
    SortPaths(entries.files);
    SortPaths(entries.folders);
    return entries;
}

class CTreeWalk {
  public:
    explicit CTreeWalk(const std::wstring& leaveOut) : leftOut(IdentityOf(leaveOut)) {}

    // A folder below whose identity cannot be read is not walked: nothing
    // would tell its second visit from its first.
    void Walk(const std::wstring& folder, bool top) {
        const FileIdentity identity = IdentityOf(folder);
        if ((!identity.known && !top) || identity.SameAs(leftOut))
            return;
        for (const FileIdentity& walked : seen)
            if (identity.SameAs(walked))
                return;
        seen.push_back(identity);
        FolderEntries entries = EntriesOf(folder);
        files.insert(files.end(), entries.files.begin(), entries.files.end());
        for (const std::wstring& below : entries.folders)
            Walk(below, false);
    }

    std::vector<std::wstring> files;

  private:
    const FileIdentity leftOut;
    std::vector<FileIdentity> seen;
};

} // namespace

std::vector<std::wstring> FolderFiles(const std::wstring& folder) {
    const std::wstring base = WithoutTrailingBackslashes(folder);
    // An empty folder would search the root of the current drive.
    return base.empty() ? std::vector<std::wstring>() : EntriesOf(base).files;
}

std::vector<std::wstring> FolderTree(const std::wstring& folder, const std::wstring& leaveOut) {
    const std::wstring base = WithoutTrailingBackslashes(folder);
    if (base.empty())
        return {};
    CTreeWalk walk(leaveOut);
    walk.Walk(base, true);
    return walk.files;
}

bool IsPlainlyNotAudio(const std::wstring& path) {
    static const wchar_t* const extensions[] = {
        L"jpg", L"jpeg",    L"png", L"gif",  L"bmp",  L"tif",  L"tiff", L"webp",
        L"ico", L"heic",    L"txt", L"nfo",  L"cue",  L"log",  L"md5",  L"sfv",
        L"ffp", L"accurip", L"m3u", L"m3u8", L"pls",  L"xspf", L"wpl",  L"pdf",
        L"doc", L"docx",    L"rtf", L"htm",  L"html", L"xml",  L"json", L"ini",
        L"db",  L"url",     L"lnk", L"zip",  L"rar",  L"7z",   L"par2", L"torrent"};
    const size_t dot = path.find_last_of(L".\\");
    if (dot == std::wstring::npos || path[dot] != L'.')
        return false;
    const std::wstring extension = path.substr(dot + 1);
    for (const wchar_t* known : extensions)
        if (_wcsicmp(extension.c_str(), known) == 0)
            return true;
    return false;
}
