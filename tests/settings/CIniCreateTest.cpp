#include "settings/CIniCreate.h"
#include "TestRegistryBranch.h"
#include <gtest/gtest.h>

namespace {
bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}
} // namespace

TEST(CIniCreate, CreateRemovesAnExistingFileEvenWhenReadOnly) {
    TestFolder folder;
    std::wstring path = folder.path + L"a.ini";
    folder.WriteFile(L"a.ini", "[S]\r\nk=1\r\n");
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
    CIniCreate ini;
    EXPECT_EQ(0, ini.Create(path));
    EXPECT_FALSE(Exists(path));
    EXPECT_EQ(0, ini.Create(path));
    // The remembered path is where later writes go.
    EXPECT_NE(0, ini.WriteInt(L"S", L"k", 2));
    EXPECT_EQ(2, ini.GetInt(L"S", L"k", 0));
}

TEST(CIniCreate, CreateReportsWhatCannotBeDeleted) {
    TestFolder folder;
    std::wstring path = folder.path + L"dir.ini";
    CreateDirectoryW(path.c_str(), nullptr);
    CIniCreate ini;
    EXPECT_EQ(1, ini.Create(path));
}

TEST(CIniCreate, OpenTouchesNoFile) {
    TestFolder folder;
    CIniCreate ini;
    ini.Open(folder.path + L"none.ini");
    EXPECT_EQ(7, ini.GetInt(L"S", L"k", 7));
    EXPECT_EQ(L"dflt", ini.GetString(L"S", L"k", L"dflt"));
    EXPECT_FALSE(Exists(folder.path + L"none.ini"));
}

TEST(CIniCreate, FollowsTheSystemIniRules) {
    TestFolder folder;
    folder.WriteFile(L"r.ini", "[Save]\r\nRegPos=Somewhere\r\nNumber=42abc\r\nNegative=-17\r\n"
                               "Text=x\r\nEmpty=\r\n");
    CIniCreate ini;
    ini.Open(folder.path + L"r.ini");
    EXPECT_EQ(L"Somewhere", ini.GetString(L"SAVE", L"regpos", L"KARU"));
    EXPECT_EQ(42, ini.GetInt(L"save", L"NUMBER", 0));
    EXPECT_EQ(-17, ini.GetInt(L"Save", L"Negative", 0));
    EXPECT_EQ(0, ini.GetInt(L"Save", L"Text", 5));
    EXPECT_EQ(L"", ini.GetString(L"Save", L"Empty", L"KARU"));
    EXPECT_EQ(L"KARU", ini.GetString(L"Save", L"Missing", L"KARU"));
    EXPECT_EQ(9, ini.GetInt(L"Other", L"Number", 9));
}

TEST(CIniCreate, WritesThatReadBack) {
    TestFolder folder;
    CIniCreate ini;
    ini.Open(folder.path + L"w.ini");
    EXPECT_NE(0, ini.WriteInt(L"S", L"n", -42));
    EXPECT_NE(0, ini.WriteString(L"S", L"t", L"text"));
    EXPECT_EQ(-42, ini.GetInt(L"S", L"n", 0));
    EXPECT_EQ(L"-42", ini.GetString(L"S", L"n", L""));
    EXPECT_EQ(L"text", ini.GetString(L"S", L"t", L""));
}

TEST(CIniCreate, ReadsUnicodeFiles) {
    TestFolder folder;
    std::wstring text = L"\xFEFF[SAVE]\r\nRegPos=日本語の会社\r\n";
    folder.WriteFile(L"u.ini",
                     std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2));
    CIniCreate ini;
    ini.Open(folder.path + L"u.ini");
    EXPECT_EQ(L"日本語の会社", ini.GetString(L"SAVE", L"RegPos", L"KARU"));
}

TEST(CIniCreate, LongValuesAreCutTo519Characters) {
    TestFolder folder;
    folder.WriteFile(L"l.ini", "[S]\r\nk=" + std::string(700, 'x') + "\r\n");
    CIniCreate ini;
    ini.Open(folder.path + L"l.ini");
    EXPECT_EQ(std::wstring(519, L'x'), ini.GetString(L"S", L"k", L""));
}
