#include "engine/ProgressText.h"
#include <gtest/gtest.h>

TEST(ProgressText, StartsAtZeroWithNoRemainingTime) {
    EXPECT_EQ(L"  0 % (00:00:00 / left 00:00:00)", ProgressText(0.0, 0, L" / left ", L""));
    EXPECT_EQ(L"  0 % (00:00:04-00:00:00)", ProgressText(0.0, 4500, L"-", L""));
}

TEST(ProgressText, ExtrapolatesTheRemainingTimeFromTheWorkSoFar) {
    // 25 % after 10 s: 30 s to go.
    EXPECT_EQ(L" 25 % (00:00:10 / 00:00:30)", ProgressText(25.0, 10000, L" / ", L""));
    EXPECT_EQ(L"100 % (00:01:40 / 00:00:00)", ProgressText(100.0, 100000, L" / ", L""));
    // 0.999 s x 50.4 / 49.6 = 1.015 s: one whole second left.
    EXPECT_EQ(L" 50 % (00:00:00 / 00:00:01)", ProgressText(49.6, 999, L" / ", L""));
}

TEST(ProgressText, HoursAreNotCappedAndTimesTruncate) {
    EXPECT_EQ(L" 50 % (01:02:05 / 01:02:05)", ProgressText(50.0, 3725900, L" / ", L""));
    EXPECT_EQ(L" 10 % (100:00:00 / 900:00:00)", ProgressText(10.0, 360000000u, L" / ", L""));
}

TEST(ProgressText, ThePrefixGoesInFrontOfThePercent) {
    EXPECT_EQ(L"Preprocessing  12 % (00:00:01 / 00:00:07)",
              ProgressText(12.0, 1000, L" / ", L"Preprocessing "));
}
