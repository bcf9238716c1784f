#include "engine/CPendingOutput.h"
#include "engine/FolderFiles.h"
#include "engine/OutputNaming.h"
#include "support/TestFiles.h"
#include <algorithm>
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

// The folder's files as "name=contents;", in the order of their names.
std::string Listing() {
    std::vector<std::wstring> names = FilesIn(Folder());
    std::sort(names.begin(), names.end());
    std::string listing;
    for (const std::wstring& name : names) {
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

// Another program (a second run over the same folder) may take a batch
// output's name while it is written: neither file is lost.
TEST(CPendingOutput, ABatchOutputNeverReplacesAFileThatTookItsNameMeanwhile) {
    Clear();
    CPendingOutput pending;
    ASSERT_TRUE(pending.Begin(Folder() + L"out.wav"));
    WriteText(pending.Path(), "ours");
    WriteText(Folder() + L"out.wav", "theirs");
    WriteText(Folder() + L"in_conv.wav", "theirs too");
    EXPECT_TRUE(pending.Commit(BatchNextFreeName(Folder() + L"in.flac")));
    EXPECT_EQ("in_conv.wav=theirs too;in_conv2.wav=ours;out.wav=theirs;", Listing());
    Clear();
}

// A temporary file, left by a crash or being written by another run, is no
// input of a batch.
TEST(CPendingOutput, ItsTemporaryFilesAreNoInputs) {
    Clear();
    CPendingOutput pending;
    ASSERT_TRUE(pending.Begin(Folder() + L"out.wav"));
    WriteText(Folder() + L"a.wav", "input");
    EXPECT_EQ(std::vector<std::wstring>{Folder() + L"a.wav"}, FolderFiles(Folder()));
    pending.Discard();
    Clear();
}

// A target just short of the system's path limit is written as it was
// before temporary names: the temporary path stays within the limit, or
// takes the long-path form.
TEST(CPendingOutput, ATargetNearThePathLimitGetsATemporaryPathTheSystemTakes) {
    const std::wstring deep = Folder() + std::wstring(120, L'd') + L"\\" +
                              std::wstring(MAX_PATH - 16 - Folder().size() - 121, L'e') + L"\\";
    CreateDirectoryW((Folder() + std::wstring(120, L'd')).c_str(), nullptr);
    CreateDirectoryW(deep.c_str(), nullptr);
    const std::wstring target = deep + L"x.wav";
    ASSERT_LT(target.size(), size_t(MAX_PATH));
    ASSERT_GT(target.size(), size_t(MAX_PATH - 20));
    CPendingOutput pending;
    ASSERT_TRUE(pending.Begin(target));
    EXPECT_TRUE(pending.Path().size() < MAX_PATH || pending.Path().compare(0, 4, L"\\\\?\\") == 0)
        << pending.Path().size();
    WriteText(pending.Path(), "new");
    EXPECT_TRUE(pending.Commit());
    EXPECT_EQ("new", FileText(target));
    DeleteFileW(target.c_str());
}
