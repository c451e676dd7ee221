#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <numeric>
#include <vector>

#include "framework/core/Random.h"

namespace random_test {

TEST(Random, SeedZeroGivesTheKnownSequence) {
    Random random(0, 0);
    EXPECT_EQ(random.nextInt(0, 100), 24);  // first draw -1155484576, floor-mod 100
    Random again(0, 0);
    EXPECT_EQ(again.nextInt(INT_MIN, INT_MAX), INT_MIN + (-1155484576LL + 4294967295LL));
    EXPECT_EQ(again.nextInt(-1000000, 0), -1000000 + 44600);  // draw -723955400
}

TEST(Random, OnlyTheLow48BitsOfTheSeedMatter) {
    Random low(7, 0);
    Random high(7, 0x10000);  // bit 48 of the seed
    Random other(7, 1);
    for (int i = 0; i < 20; ++i) {
        const int32_t value = low.nextInt(INT_MIN, INT_MAX);
        EXPECT_EQ(high.nextInt(INT_MIN, INT_MAX), value);
        EXPECT_NE(other.nextInt(INT_MIN, INT_MAX), value);
    }
}

TEST(Random, NextIntKeepsItsRangeRules) {
    Random random(12345, 0);
    std::array<int, 2> seen{};
    for (int i = 0; i < 1000; ++i) {
        EXPECT_EQ(random.nextInt(5, 6), 5);
        const int32_t bit = random.nextInt(0, 2);
        ASSERT_TRUE(bit == 0 || bit == 1);
        ++seen[bit];
        const int32_t below = random.nextInt(-3, 4);
        EXPECT_GE(below, -3);
        EXPECT_LT(below, 4);
        // A reversed range lands in (hi, lo]: the remainder takes the divisor's sign.
        const int32_t reversed = random.nextInt(10, 0);
        EXPECT_GT(reversed, 0);
        EXPECT_LE(reversed, 10);
    }
    EXPECT_GT(seen[0], 0);
    EXPECT_GT(seen[1], 0);
}

TEST(Random, WideRangesDoNotOverflow) {
    // hi - lo of the full int range does not fit in 32 bits; computed there it would wrap to
    // -1 and every draw would return lo.
    Random random(99, 0);
    int atLo = 0;
    for (int i = 0; i < 200; ++i) {
        const int32_t value = random.nextInt(INT_MIN, INT_MAX);
        EXPECT_LT(value, INT_MAX);
        atLo += value == INT_MIN;
        const int32_t wide = random.nextInt(-2000000000, 2000000000);
        EXPECT_GE(wide, -2000000000);
        EXPECT_LT(wide, 2000000000);
    }
    EXPECT_LT(atLo, 5);
}

TEST(Random, EmptyRangesAndZeroWeightsDoNotDivide) {
    Random random(1, 0);
    EXPECT_EQ(random.nextInt(7, 7), 7);
    EXPECT_EQ(random.nextInt(INT_MIN, INT_MIN), INT_MIN);
    const std::array<int32_t, 3> zeros{0, 0, 0};
    EXPECT_EQ(random.nextWeighted(zeros.data(), 3), 0);
    EXPECT_EQ(random.nextWeighted(nullptr, 0), 0);
    EXPECT_FLOAT_EQ(fmodFloor(2.5f, 0.0f), 2.5f);
}

TEST(Random, WeightedDrawFollowsTheRunningSums) {
    const std::array<int32_t, 3> weights{0, 3, 1};
    for (uint32_t seed = 0; seed < 200; ++seed) {
        Random weighted(seed, 0);
        Random plain(seed, 0);
        const int32_t r = plain.nextInt(0, 4);  // the same step, floor-mod the total
        const int32_t index = weighted.nextWeighted(weights.data(), 3);
        EXPECT_NE(index, 0);
        EXPECT_EQ(index, r < 3 ? 1 : 2) << "seed " << seed;
    }
    // Weights near the int limit add up without overflow.
    const std::array<int32_t, 2> huge{INT_MAX, INT_MAX};
    Random random(3, 0);
    for (int i = 0; i < 50; ++i) {
        const int32_t index = random.nextWeighted(huge.data(), 2);
        EXPECT_TRUE(index == 0 || index == 1);
    }
}

TEST(Random, NextBytesTakesDrawsLeastSignificantFirst) {
    Random random(0, 0);
    std::array<uint8_t, 6> bytes{};
    random.nextBytes(bytes.data(), bytes.size());
    // Draws 0xBB20B460 and 0xD4D95138; the last partial group uses the second's low bytes.
    EXPECT_EQ(bytes, (std::array<uint8_t, 6>{0x60, 0xB4, 0x20, 0xBB, 0x38, 0x51}));
    Random next(0, 0);
    next.nextBytes(bytes.data(), 5);
    EXPECT_EQ(next.nextInt(INT_MIN, INT_MAX), INT_MIN + 1033096058LL);
}

TEST(Random, NextFloatUsesTheTop24BitsAndNarrowsWideRanges) {
    Random random(0, 0);
    EXPECT_FLOAT_EQ(random.nextFloat(10.0f, 20.0f), 10.0f + 0.7309677600860596f);
    Random many(42, 0);
    for (int i = 0; i < 1000; ++i) {
        const float narrow = many.nextFloat(0.0f, 0.5f);
        EXPECT_GE(narrow, 0.0f);
        EXPECT_LT(narrow, 0.5f);
        const float wide = many.nextFloat(1.0f, 2.0f * 3.14159265f);
        EXPECT_GE(wide, 1.0f);
        EXPECT_LT(wide, 2.0f);
    }
}

TEST(FmodFloor, TakesTheSignOfTheDivisor) {
    EXPECT_FLOAT_EQ(fmodFloor(-5, 3), 1);
    EXPECT_FLOAT_EQ(fmodFloor(5, 3), 2);
    EXPECT_FLOAT_EQ(fmodFloor(-5, -3), -2);
    EXPECT_FLOAT_EQ(fmodFloor(5, -3), -1);
    EXPECT_FLOAT_EQ(fmodFloor(6, 3), 0);
    EXPECT_FLOAT_EQ(fmodFloor(-6, 3), 0);
    EXPECT_FLOAT_EQ(fmodFloor(0.75f, 0.5f), 0.25f);
}

TEST(ApproachTarget, AcceleratesBrakesAndNeverOvershoots) {
    float velocity = 0;
    float position = 0;
    approachTarget(velocity, position, 100, 1000, 500, 2000, 2000, false);
    EXPECT_FLOAT_EQ(velocity, 200);  // 2000 per second for 0.1 s
    EXPECT_FLOAT_EQ(position, 20);
    approachTarget(velocity, position, 1000, 1000, 500, 2000, 2000, false);
    EXPECT_FLOAT_EQ(velocity, 500);  // capped at the maximum speed
    EXPECT_FLOAT_EQ(position, 520);

    // Braking distance 500^2 / 4000 = 62.5 exceeds the 50 left: brake by 200.
    position = 950;
    approachTarget(velocity, position, 100, 1000, 500, 2000, 2000, false);
    EXPECT_FLOAT_EQ(velocity, 300);
    EXPECT_FLOAT_EQ(position, 980);

    // A long step would carry past the target: it ends on it, at rest.
    velocity = 300;
    position = 990;
    approachTarget(velocity, position, 100, 1000, 500, 2000, 10, false);
    EXPECT_FLOAT_EQ(position, 1000);
    EXPECT_FLOAT_EQ(velocity, 0);

    for (int frame = 0; frame < 200; ++frame) {
        approachTarget(velocity, position, 16, 0, 4000, 8000, 8000, true);
        EXPECT_GE(position, 0);
    }
    EXPECT_FLOAT_EQ(position, 0);
    EXPECT_FLOAT_EQ(velocity, 0);
}

TEST(ApproachTarget, ATargetBehindIsChasedOnlyWithReverse) {
    float velocity = 0;
    float position = 100;
    approachTarget(velocity, position, 100, 0, 500, 2000, 2000, false);
    EXPECT_FLOAT_EQ(velocity, 0);
    EXPECT_FLOAT_EQ(position, 100);
    approachTarget(velocity, position, 100, 0, 500, 2000, 2000, true);
    EXPECT_FLOAT_EQ(velocity, -200);
    EXPECT_FLOAT_EQ(position, 80);

    // No braking rate: no braking distance either, and never a 0 / 0.
    velocity = 0;
    approachTarget(velocity, position, 100, 1000, 500, 2000, 0, false);
    EXPECT_FALSE(std::isnan(velocity));
    EXPECT_FLOAT_EQ(velocity, 200);
}

TEST(ShuffleList, PermutesAndReplaysFromTheSeed) {
    std::vector<int> first(52);
    std::iota(first.begin(), first.end(), 0);
    std::vector<int> second = first;
    Random::createInstance(2024);
    shuffleList(first.begin(), first.end());
    const int32_t draw = Random::getInstance()->nextInt(0, 1000);
    Random::createInstance(2024);
    shuffleList(second.begin(), second.end());
    EXPECT_EQ(Random::getInstance()->nextInt(0, 1000), draw);
    Random::releaseInstance();
    EXPECT_EQ(Random::getInstance(), nullptr);

    EXPECT_EQ(first, second);
    std::vector<int> sorted = first;
    std::sort(sorted.begin(), sorted.end());
    std::vector<int> identity(52);
    std::iota(identity.begin(), identity.end(), 0);
    EXPECT_EQ(sorted, identity);
    EXPECT_NE(first, identity);

    std::vector<int> empty;
    shuffleList(empty.begin(), empty.end());
    std::vector<int> one{7};
    shuffleList(one.begin(), one.end());
    EXPECT_EQ(one, std::vector<int>{7});
}

}  // namespace random_test
