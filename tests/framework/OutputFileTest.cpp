#include "framework/OutputFile.h"
#include <gtest/gtest.h>

namespace {

std::wstring TempFile(const wchar_t* name) {
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    return std::wstring(folder) + name;
}

DWORD SizeOf(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    return GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) ? data.nFileSizeLow
                                                                            : ~0u;
}

void WriteKeep(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, "keep", 4, &written, nullptr);
    CloseHandle(file);
}

} // namespace

TEST(OutputFile, EmptiesAnExistingFileAndCreatesAMissingOne) {
    const std::wstring path = TempFile(L"output-file-plain.bin");
    WriteKeep(path);
    HANDLE file = CreateOutputFile(path, GENERIC_WRITE, FILE_SHARE_READ);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    CloseHandle(file);
    EXPECT_EQ(0u, SizeOf(path));
    DeleteFileW(path.c_str());
    file = CreateOutputFile(path, GENERIC_WRITE, FILE_SHARE_READ);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    CloseHandle(file);
    DeleteFileW(path.c_str());
}

TEST(OutputFile, NeverWritesOverAReadOnlyFile) {
    const std::wstring path = TempFile(L"output-file-read-only.bin");
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    WriteKeep(path);
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(INVALID_HANDLE_VALUE, CreateOutputFile(path, GENERIC_WRITE, FILE_SHARE_READ));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
    EXPECT_EQ(4u, SizeOf(path));
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(path.c_str());
}
