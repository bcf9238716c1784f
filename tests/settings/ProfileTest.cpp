#include "settings/Profile.h"
#include "TestRegistryBranch.h"
#include <gtest/gtest.h>

TEST(Profile, MissingValuesGiveTheDefault) {
    TestRegistryBranch branch;
    EXPECT_EQ(160, ProfileGetInt(L"DATA", L"cbr_bps", 160));
    EXPECT_EQ(L"dflt", ProfileGetString(L"DATA", L"wmaPRX", L"dflt"));
    EXPECT_EQ(L"", ProfileGetString(L"DATA", L"wmaPRX", nullptr));
}

TEST(Profile, ValuesLandInTheApplicationsBranchWithTheirTypes) {
    TestRegistryBranch branch;
    EXPECT_NE(0, ProfileWriteInt(L"DATA", L"VOL", -5));
    EXPECT_NE(0, ProfileWriteString(L"DATA", L"wmaPRX", L"C:\\p\\ファイル.prx"));
    EXPECT_EQ(L"software\\" + branch.position + L"\\settings_tests\\DATA",
              branch.SectionPath(L"DATA"));
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), branch.ValueType(L"DATA", L"VOL"));
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), branch.ValueType(L"DATA", L"wmaPRX"));
    // The stored string carries its terminating zero.
    EXPECT_EQ(std::wstring(L"C:\\p\\ファイル.prx") + L'\0', branch.RawBytes(L"DATA", L"wmaPRX"));
    EXPECT_EQ(-5, ProfileGetInt(L"DATA", L"VOL", 100));
    EXPECT_EQ(L"C:\\p\\ファイル.prx", ProfileGetString(L"DATA", L"wmaPRX", L""));
}

TEST(Profile, SectionNamesIgnoreCase) {
    TestRegistryBranch branch;
    ProfileWriteInt(L"data", L"Audio", 3);
    EXPECT_EQ(3, ProfileGetInt(L"DATA", L"Audio", 0));
    EXPECT_TRUE(branch.HasValue(L"DATA", L"Audio"));
}

TEST(Profile, AValueOfAnotherTypeReadsAsTheDefault) {
    TestRegistryBranch branch;
    ProfileWriteString(L"DATA", L"VOL", L"50");
    EXPECT_EQ(100, ProfileGetInt(L"DATA", L"VOL", 100));
    ProfileWriteInt(L"DATA", L"wmaPRX", 1);
    EXPECT_EQ(L"none", ProfileGetString(L"DATA", L"wmaPRX", L"none"));
}

TEST(Profile, StringsStoredWithoutTerminatorReadWhole) {
    TestRegistryBranch branch;
    ProfileWriteInt(L"DATA", L"probe", 0); // creates the section
    const wchar_t text[] = {L'a', L'b', L'c'};
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, branch.SectionPath(L"DATA").c_str(),
                                           0, KEY_SET_VALUE, &key));
    RegSetValueExW(key, L"raw", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), sizeof(text));
    RegCloseKey(key);
    EXPECT_EQ(L"abc", ProfileGetString(L"DATA", L"raw", L""));
}

TEST(Profile, NullTextDeletesTheValueAndNullKeyTheSection) {
    TestRegistryBranch branch;
    ProfileWriteString(L"DATA", L"wmaPRX", L"x");
    ProfileWriteInt(L"DATA", L"VOL", 7);
    EXPECT_NE(0, ProfileWriteString(L"DATA", L"wmaPRX", nullptr));
    EXPECT_FALSE(branch.HasValue(L"DATA", L"wmaPRX"));
    EXPECT_TRUE(branch.HasValue(L"DATA", L"VOL"));
    EXPECT_NE(0, ProfileWriteString(L"data", nullptr, nullptr));
    EXPECT_FALSE(branch.HasValue(L"DATA", L"VOL"));
    EXPECT_EQ(100, ProfileGetInt(L"DATA", L"VOL", 100));
}

TEST(Profile, AnEmptyRegistryPositionPutsTheBranchDirectlyUnderSoftware) {
    TestRegistryBranch branch;
    SetProfileRegistryPosition(L"");
    SetProfileApplicationName(branch.position); // unique, and removed with the branch
    ProfileWriteInt(L"DATA", L"VOL", 55);
    EXPECT_EQ(L"software\\" + branch.position + L"\\DATA", branch.SectionPath(L"DATA"));
    EXPECT_TRUE(branch.HasValue(L"DATA", L"VOL"));
}

TEST(Profile, TheApplicationNameIsTheExecutablesName) {
    EXPECT_EQ(L"settings_tests", GetProfileApplicationName());
}

TEST(Profile, ARenamedApplicationStartsFromDefaults) {
    TestRegistryBranch branch;
    ProfileWriteInt(L"DATA", L"VOL", 55);
    SetProfileApplicationName(L"renamed");
    EXPECT_EQ(100, ProfileGetInt(L"DATA", L"VOL", 100));
}

TEST(Profile, SettingIniNamesTheRegistryPosition) {
    TestFolder folder;
    EXPECT_EQ(L"KARU", ReadRegistryPosition(folder.path));
    folder.WriteFile(L"Setting.ini", "[OTHER]\r\nRegPos=No\r\n");
    EXPECT_EQ(L"KARU", ReadRegistryPosition(folder.path));
    folder.WriteFile(L"Setting.ini", "[save]\r\nregpos=MyCompany\r\n");
    EXPECT_EQ(L"MyCompany", ReadRegistryPosition(folder.path));
    folder.WriteFile(L"Setting.ini", "[SAVE]\r\nRegPos=\r\n");
    EXPECT_EQ(L"", ReadRegistryPosition(folder.path));
}

// The command-line converter reads ZEP's settings and leaves them as they were.
TEST(Profile, AReadOnlyStoreReadsButCreatesAndWritesNothing) {
    TestRegistryBranch branch;
    ProfileWriteInt(L"DATA", L"VOL", 50);
    SetProfileReadOnly(true);
    EXPECT_EQ(50, ProfileGetInt(L"DATA", L"VOL", 100));
    EXPECT_EQ(0, ProfileWriteInt(L"DATA", L"VOL", 70));
    EXPECT_EQ(0, ProfileWriteString(L"DATA", L"wmaPRX", L"x.prx"));
    EXPECT_EQ(0, ProfileWriteString(L"DATA", nullptr, nullptr));
    EXPECT_EQ(100, ProfileGetInt(L"OTHER", L"VOL", 100));
    SetProfileReadOnly(false);
    EXPECT_EQ(50, ProfileGetInt(L"DATA", L"VOL", 100));
    EXPECT_FALSE(branch.HasValue(L"DATA", L"wmaPRX"));
    HKEY other = nullptr;
    EXPECT_NE(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, branch.SectionPath(L"OTHER").c_str(),
                                           0, KEY_READ, &other))
        << "no key made by reading";
}
