#include "engine/CPendingOutput.h"
#include "support/TestFiles.h"
#include <gtest/gtest.h>
#include <windows.h>

namespace {

const std::wstring& Folder() {
    static const std::wstring folder = [] {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        return std::wstring(temp) + L"pending-output\\";
    }();
    return folder;
}

// The folder's files as "name=contents;".
std::string Listing() {
    std::string listing;
    for (const std::wstring& name : FilesIn(Folder())) {
        listing += std::string(name.begin(), name.end()) + "=" + FileText(Folder() + name) + ";";
    }
    return listing;
}

void Clear() {
    SetFileAttributesW((Folder() + L"out.wav").c_str(), FILE_ATTRIBUTE_NORMAL);
    EmptyFolder(Folder());
}

} // namespace

// Whether an earlier file is there, and how the job ended, decides what the
// folder holds afterwards; nothing temporary is ever left.
TEST(CPendingOutput, ReplacesTheOutputOnlyWhenCommitted) {
    const std::wstring target = Folder() + L"out.wav";
    for (bool existing : {false, true}) {
        for (bool commit : {false, true}) {
            SCOPED_TRACE(std::string(existing ? "over a file, " : "new name, ") +
                         (commit ? "committed" : "discarded"));
            Clear();
            if (existing)
                WriteText(target, "old");
            {
                CPendingOutput pending;
                ASSERT_TRUE(pending.Begin(target));
                EXPECT_EQ(Folder(), pending.Path().substr(0, Folder().size()));
                WriteText(pending.Path(), "new");
                if (commit) {
                    EXPECT_TRUE(pending.Commit());
                }
            } // destroyed: an uncommitted file goes
            const char* expected = commit ? "out.wav=new;" : existing ? "out.wav=old;" : "";
            EXPECT_EQ(expected, Listing());
        }
    }
    Clear();
}

TEST(CPendingOutput, NeitherAReadOnlyFileNorAMissingFolderIsBegun) {
    Clear();
    const std::wstring target = Folder() + L"out.wav";
    WriteText(target, "old");
    SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_READONLY);
    CPendingOutput pending;
    EXPECT_FALSE(pending.Begin(target));
    EXPECT_FALSE(pending.Begin(Folder() + L"no such folder\\out.wav"));
    EXPECT_TRUE(pending.Path().empty());
    EXPECT_EQ("out.wav=old;", Listing());
    Clear();
}
