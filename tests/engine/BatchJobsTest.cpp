#include "engine/BatchJobs.h"
#include "encode/CGoGoStab.h"
#include "engine/OutputNaming.h"
#include <gtest/gtest.h>

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
