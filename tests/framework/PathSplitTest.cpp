#include "framework/PathSplit.h"
#include <gtest/gtest.h>

TEST(PathSplit, SplitsDriveDirectoryAndName) {
    const std::wstring path = L"C:\\m\\sub\\song.take1.ogg";
    EXPECT_EQ(L"C:", SplitDrive(path));
    EXPECT_EQ(L"\\m\\sub\\", SplitDir(path));
    EXPECT_EQ(L"song.take1", SplitName(path));
    EXPECT_EQ(L"C:\\m\\sub\\", PathFolder(path));
    EXPECT_EQ(L"C:\\m\\sub\\song.take1", PathStem(path));
}

TEST(PathSplit, MissingComponentsAreEmpty) {
    EXPECT_EQ(L"", SplitDrive(L"song.wav"));
    EXPECT_EQ(L"", SplitDir(L"song.wav"));
    EXPECT_EQ(L"", PathFolder(L"song.wav"));
    EXPECT_EQ(L"C:\\m\\out", PathStem(L"C:\\m\\out"));
    EXPECT_EQ(L"C:\\m.d\\out", PathStem(L"C:\\m.d\\out"));
    EXPECT_EQ(L"C:", PathFolder(L"C:song.wav"));
    EXPECT_EQ(L"", SplitName(L"C:\\m\\"));
}

TEST(PathSplit, AcceptsForwardSlashesAndLongPaths) {
    EXPECT_EQ(L"/tmp/a/", SplitDir(L"/tmp/a/b.wav"));
    std::wstring longName(2000, L'x');
    std::wstring path = L"D:\\" + longName + L"\\" + longName + L".wav";
    EXPECT_EQ(longName, SplitName(path));
    EXPECT_EQ(L"D:\\" + longName + L"\\" + longName, PathStem(path));
}

TEST(PathSplit, TheExecutableIsFound) {
    std::wstring folder = ExecutableFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(L'\\', folder.back());
    EXPECT_EQ(L"framework_tests", ExecutableName());
}
