#include "engine/CTimeMmanager.h"
#include <gtest/gtest.h>

namespace {

class ManualClock : public CTimeMmanager {
  public:
    explicit ManualClock(DWORD startAt) : now(startAt) {
        Start();
        ClearTotal();
    }
    DWORD now;

  protected:
    DWORD Now() const override { return now; }
};

} // namespace

TEST(CTimeMmanager, ElapsedCountsFromTheLastStart) {
    ManualClock clock(1000);
    clock.now = 1250;
    EXPECT_EQ(250u, clock.Elapsed());
    clock.Start();
    clock.now = 1300;
    EXPECT_EQ(50u, clock.Elapsed());
}

TEST(CTimeMmanager, ElapsedSurvivesTheClockWrappingAround) {
    ManualClock clock(0xFFFFFF00u);
    clock.now = 0x100;
    EXPECT_EQ(0x200u, clock.Elapsed());
}

TEST(CTimeMmanager, AddElapsedAccumulatesLapsUntilCleared) {
    ManualClock clock(0);
    clock.now = 300;
    EXPECT_EQ(300, clock.AddElapsed());
    clock.now = 500;
    clock.Start();
    clock.now = 650;
    EXPECT_EQ(450, clock.AddElapsed());
    EXPECT_EQ(450, clock.GetTotal());
    clock.ClearTotal();
    EXPECT_EQ(0, clock.GetTotal());
}

TEST(CTimeMmanager, OverLimitOnlyWhenElapsedExceedsIt) {
    ManualClock clock(100);
    clock.SetLimit(1000);
    clock.now = 1100;
    EXPECT_FALSE(clock.IsOverLimit());
    clock.now = 1101;
    EXPECT_TRUE(clock.IsOverLimit());
}

TEST(CTimeMmanager, FollowsTheMultimediaClock) {
    CTimeMmanager clock;
    EXPECT_EQ(0, clock.GetTotal());
    Sleep(60);
    DWORD elapsed = clock.Elapsed();
    EXPECT_GE(elapsed, 40u);
    EXPECT_LT(elapsed, 5000u);
}
