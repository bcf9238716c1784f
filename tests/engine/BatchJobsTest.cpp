#include "engine/BatchJobs.h"
#include "encode/CGoGoStab.h"
#include "engine/OutputNaming.h"
#include <gtest/gtest.h>
#include <windows.h>

namespace {
int notices = 0;
} // namespace

// Beside the tests there is no gogo.dll: the conversion that needs it tells
// the user once; asking how many MP3 files may run at a time must not too.
TEST(BatchJobs, AskingNeverTellsOfAMissingMp3Library) {
    CGoGoStab::SetNotice([](const wchar_t*) { ++notices; });
    EXPECT_GE(BatchJobs(OutputMp3, 2), 1);
    EXPECT_EQ(0, notices);
    // The library is missing indeed, or the count would prove nothing.
    CGoGoStab probe;
    EXPECT_NE(0, probe.Load());
    EXPECT_EQ(1, notices);
    CGoGoStab::SetNotice(nullptr);
}

// One at a time, a file takes what is configured; several at a time, one
// thread each until fewer files than processors are left to start.
TEST(BatchJobs, AFilesMp3ThreadsShareTheProcessorsAmongTheLastFiles) {
    SYSTEM_INFO system = {};
    GetSystemInfo(&system);
    const int processors = static_cast<int>(system.dwNumberOfProcessors);
    const struct {
        int configured, jobs;
        size_t left;
        int threads;
    } cases[] = {
        {0, 1, 100, 0}, // one at a time: as configured
        {3, 1, 1, 3},
        {0, 2, static_cast<size_t>(processors), 1}, // every processor busy
        {0, 2, 1, processors},                      // the last file alone
        {1, 2, 1, 1},                               // never above what is configured
    };
    for (const auto& test : cases)
        EXPECT_EQ(test.threads, FileThreads(test.configured, test.jobs, test.left))
            << test.configured << ", " << test.jobs << ", " << test.left;
}
