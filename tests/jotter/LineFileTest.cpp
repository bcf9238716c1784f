#include "jotter/LineFile.h"
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

#include <windows.h>

namespace {

std::wstring TempFile(const wchar_t* name) {
    wchar_t folder[520] = {};
    GetTempPathW(520, folder);
    return std::wstring(folder) + name;
}

std::string Read(const std::wstring& path) {
    std::ifstream file(std::string(path.begin(), path.end()), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

} // namespace

TEST(SaveLines, WritesUtf8WithAByteOrderMarkAndCrLfAfterEveryLine) {
    std::wstring path = TempFile(L"line-file-test.txt");
    ASSERT_TRUE(SaveLines(path, {L"one", L"日本", L""}));
    EXPECT_EQ("\xEF\xBB\xBFone\r\n\xE6\x97\xA5\xE6\x9C\xAC\r\n\r\n", Read(path));
    ASSERT_TRUE(SaveLines(path, {}));
    EXPECT_EQ("\xEF\xBB\xBF", Read(path)) << "an existing file is replaced";
    DeleteFileW(path.c_str());
}

TEST(SaveLines, ReportsAFileItCannotWrite) {
    EXPECT_FALSE(SaveLines(TempFile(L"no such folder\\x.txt"), {L"lost"}));
}
