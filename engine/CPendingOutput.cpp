#include "CPendingOutput.h"
#include "framework/OutputFile.h"
#include "framework/PathSplit.h"
#include <cstdio>
#include <windows.h>

namespace {

// "~zep<process>-<n>.tmp": unique for this process, and CREATE_NEW makes
// sure no file of anybody else's is taken.
std::wstring TemporaryName(unsigned attempt) {
    wchar_t name[48];
    std::swprintf(name, 48, L"~zep%lx-%lx-%x.tmp", GetCurrentProcessId(), GetTickCount(), attempt);
    return name;
}

} // namespace

bool CPendingOutput::Begin(const std::wstring& path) {
    Discard();
    if (IsReadOnlyFile(path))
        return false;
    const std::wstring folder = PathFolder(path);
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        const std::wstring candidate = folder + TemporaryName(attempt);
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

bool CPendingOutput::Commit() {
    const bool moved = !temporary.empty() && !IsReadOnlyFile(target) &&
                       MoveFileExW(temporary.c_str(), target.c_str(),
                                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
    if (moved)
        temporary.clear();
    Discard();
    return moved;
}

void CPendingOutput::Discard() {
    if (!temporary.empty())
        DeleteFileW(temporary.c_str());
    temporary.clear();
    target.clear();
}
