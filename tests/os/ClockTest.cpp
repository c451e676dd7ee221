#include <gtest/gtest.h>

#include "framework/os/SystemClock.h"
#include "testsupport/os/FakeClock.h"

namespace clock_test {

TEST(UtcTime, ConvertsUnixSeconds) {
    const UtcTime epoch = utcTimeFromUnix(0);
    EXPECT_EQ(epoch.year, 1970);
    EXPECT_EQ(epoch.month, 1);
    EXPECT_EQ(epoch.day, 1);
    EXPECT_EQ(epoch.dayOfWeek, 4);

    // 2026-12-07 04:36:37 UTC, a Monday.
    const UtcTime day = utcTimeFromUnix(1796618197, 250);
    EXPECT_EQ(day.year, 2026);
    EXPECT_EQ(day.month, 12);
    EXPECT_EQ(day.day, 7);
    EXPECT_EQ(day.dayOfWeek, 1);
    EXPECT_EQ(day.hour, 4);
    EXPECT_EQ(day.minute, 36);
    EXPECT_EQ(day.second, 37);
    EXPECT_EQ(day.millisecond, 250);
}

TEST(FakeClock, IntervalsSurviveTheWrap) {
    FakeClock clock;
    clock.set(0xFFFFFFF0u);
    const uint32_t before = clock.milliseconds();
    clock.advance(0x20);
    EXPECT_LT(clock.milliseconds(), before);
    EXPECT_EQ(clock.milliseconds() - before, 0x20u);
}

TEST(FakeClock, SleepsMoveTimeAndAreRecorded) {
    FakeClock clock;
    clock.setUnixBase(1000);
    clock.sleep(16);
    clock.sleep(1500);
    EXPECT_EQ(clock.sleeps, (std::vector<uint32_t>{16, 1500}));
    EXPECT_EQ(clock.milliseconds(), 1516u);
    EXPECT_EQ(clock.unixSeconds(), 1001);
    EXPECT_EQ(clock.utcTime().millisecond, 516);
}

TEST(SystemClock, MovesForwardAcrossASleep) {
    SystemClock clock;
    const uint32_t before = clock.milliseconds();
    const uint32_t tickBefore = clock.tickCount();
    clock.sleep(20);
    EXPECT_GE(clock.milliseconds() - before, 20u);
    EXPECT_GE(clock.tickCount() - tickBefore, 19u);
    EXPECT_GT(clock.unixSeconds(), 1700000000);
    EXPECT_GE(clock.utcTime().year, 2023);
}

}  // namespace clock_test
