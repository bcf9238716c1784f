#include "CPendingOutput.h"
#include "framework/OutputFile.h"
#include "framework/PathSplit.h"
#include <cstdio>
#include <cwchar>
#include <windows.h>

namespace {

const wchar_t kPrefix[] = L"~zep";
const wchar_t kSuffix[] = L".tmp";
constexpr unsigned kAttempts = 100;

// "~zep<process>-<n>.tmp": unique for this process, and CREATE_NEW makes
// sure no file of anybody else's is taken.
std::wstring TemporaryName(unsigned attempt) {
    wchar_t name[48];
    std::swprintf(name, 48, L"%ls%lx-%lx-%x%ls", kPrefix, GetCurrentProcessId(), GetTickCount(),
                  attempt, kSuffix);
    return name;
}

// A path that an API writes into a buffer it sizes first; empty on failure.
template <class Fill> std::wstring AskedPath(Fill fill) {
    const DWORD size = fill(nullptr, 0);
    std::wstring path(size, L'\0');
    if (size == 0 || fill(&path[0], size) != size - 1)
        return std::wstring();
    path.resize(size - 1);
    return path;
}

// The temporary name must not push a path the system takes past the
// length it takes without the long-path prefix: the folder's short form
// when that fits (a plain path, which every writer takes), else the
// folder's long-path form.
std::wstring TemporaryFolder(const std::wstring& folder, size_t nameLength) {
    if (folder.size() + nameLength < MAX_PATH)
        return folder;
    const std::wstring shorter = AskedPath([&](wchar_t* buffer, DWORD size) {
        return GetShortPathNameW(folder.c_str(), buffer, size);
    });
    if (!shorter.empty() && shorter.size() + nameLength < MAX_PATH)
        return shorter;
    const std::wstring full = AskedPath([&](wchar_t* buffer, DWORD size) {
        return GetFullPathNameW(folder.c_str(), size, buffer, nullptr);
    });
    if (full.empty() || full.compare(0, 4, L"\\\\?\\") == 0)
        return folder;
    if (full.compare(0, 2, L"\\\\") == 0)
        return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

} // namespace

bool CPendingOutput::Begin(const std::wstring& path) {
    Discard();
    if (IsReadOnlyFile(path))
        return false;
    for (unsigned attempt = 0; attempt < kAttempts; ++attempt) {
        const std::wstring name = TemporaryName(attempt);
        const std::wstring candidate = TemporaryFolder(PathFolder(path), name.size()) + name;
        HANDLE created = CreateFileW(candidate.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                     FILE_ATTRIBUTE_NORMAL, nullptr);
        if (created != INVALID_HANDLE_VALUE) {
            CloseHandle(created);
            target = path;
            temporary = candidate;
            return true;
        }
        if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS)
            return false;
    }
    return false;
}

bool CPendingOutput::Commit(const NextFreeName& nextFree) {
    bool moved = false;
    if (!temporary.empty()) {
        moved = nextFree ? MoveToFreeName(nextFree)
                         : !IsReadOnlyFile(target) &&
                               MoveFileExW(temporary.c_str(), target.c_str(),
                                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    }
    if (moved)
        temporary.clear();
    Discard();
    return moved;
}

// A move that does not replace fails on a taken name without touching the
// file there, so another program writing the same names at the same time
// never loses a file to us, nor we to it.
bool CPendingOutput::MoveToFreeName(const NextFreeName& nextFree) const {
    std::wstring name = target;
    for (unsigned attempt = 0; attempt < kAttempts; ++attempt) {
        if (MoveFileExW(temporary.c_str(), name.c_str(), MOVEFILE_WRITE_THROUGH))
            return true;
        if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS)
            return false;
        name = nextFree(name);
    }
    return false;
}

bool CPendingOutput::IsTemporaryName(const std::wstring& name) {
    const size_t prefix = std::wcslen(kPrefix), suffix = std::wcslen(kSuffix);
    return name.size() > prefix + suffix && _wcsnicmp(name.c_str(), kPrefix, prefix) == 0 &&
           _wcsicmp(name.c_str() + name.size() - suffix, kSuffix) == 0;
}

void CPendingOutput::Discard() {
    if (!temporary.empty())
        DeleteFileW(temporary.c_str());
    temporary.clear();
    target.clear();
}
