#include <gtest/gtest.h>

#include <deque>

#include "game/rules/DisplayValue.h"

namespace display_value_test {

TEST(DisplayValue, StartsClampedAtTheInitialNumber) {
    DisplayValue time(40000, 0, 30000);
    EXPECT_EQ(time.getValue(), 30000);
    EXPECT_EQ(time.getShown(), 30000);
    EXPECT_TRUE(time.isClamped());
    EXPECT_TRUE(time.getPending().empty());
}

TEST(DisplayValue, ALossBelowTheMinimumStopsThereAndStaysPending) {
    DisplayValue score(30, 0, 0x7FFFFFFF);
    score.add(-50);
    EXPECT_EQ(score.getValue(), 0);
    EXPECT_EQ(score.getShown(), 30);
    EXPECT_EQ(score.getPending(), std::deque<int32_t>{-50});
}

TEST(DisplayValue, ArrivalsMoveTheShownValueAndRemoveTheOldestEqualDelta) {
    DisplayValue score(0, 0, 0x7FFFFFFF);
    score.add(100);
    score.add(250);
    score.add(100);
    EXPECT_EQ(score.getValue(), 450);
    EXPECT_EQ(score.getShown(), 0);

    score.arrive(100);
    EXPECT_EQ(score.getShown(), 100);
    EXPECT_EQ(score.getPending(), (std::deque<int32_t>{250, 100}));
    score.arrive(100);
    EXPECT_EQ(score.getPending(), std::deque<int32_t>{250});

    // A delta that matches nothing still moves the shown value.
    score.arrive(7);
    EXPECT_EQ(score.getShown(), 207);
    EXPECT_EQ(score.getPending(), std::deque<int32_t>{250});
}

TEST(DisplayValue, AddImmediateMovesBothAndLeavesNothingPending) {
    DisplayValue time(1000, 0, 30000);
    time.add(5);
    time.addImmediate(300);
    EXPECT_EQ(time.getValue(), 1305);
    EXPECT_EQ(time.getShown(), 1300);
    EXPECT_EQ(time.getPending(), std::deque<int32_t>{5});
}

TEST(DisplayValue, SetDropsDeltasThatNeverArrived) {
    DisplayValue score(0, 0, 1000);
    score.add(10);
    score.add(20);
    score.set(5000);
    EXPECT_EQ(score.getValue(), 1000);
    EXPECT_EQ(score.getShown(), 1000);
    EXPECT_TRUE(score.getPending().empty());
}

TEST(DisplayValue, ALargeGainSaturatesInsteadOfWrapping) {
    DisplayValue score(0x7FFFFF00, 0, 0x7FFFFFFF);
    score.add(0x7FFFFFFF);
    EXPECT_EQ(score.getValue(), 0x7FFFFFFF);
    score.arrive(0x7FFFFFFF);
    EXPECT_EQ(score.getShown(), 0x7FFFFFFF);

    DisplayValue loose(0, INT32_MIN, INT32_MAX);
    loose.setClamped(false);
    loose.add(INT32_MAX);
    loose.add(INT32_MAX);
    EXPECT_EQ(loose.getValue(), INT32_MAX);
    loose.add(INT32_MIN);
    loose.add(INT32_MIN);
    loose.add(INT32_MIN);
    EXPECT_EQ(loose.getValue(), INT32_MIN);
}

}  // namespace display_value_test
