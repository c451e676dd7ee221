#include <gtest/gtest.h>

#include <cmath>

#include "framework/core/Polygon.h"

namespace polygon_test {

TEST(PolygonTest, BoundsRoundTheExtremes) {
    Polygon polygon;
    EXPECT_EQ(polygon.getBounds(), (Rect{0, 0, 0, 0}));
    polygon.addPoint(1.4f, -2.6f);
    polygon.addPoint(10.6f, 3.5f);
    polygon.addPoint(-0.5f, 0.0f);
    EXPECT_EQ(polygon.getBounds(), (Rect{0, -3, 11, 7}));
    EXPECT_EQ(polygon.getBoundsRect(), (Rect{0, -3, 11, 7}));
    Polygon huge({{-3.0e38f, 0}, {3.0e38f, 1}});
    const Rect bounds = huge.getBounds();
    EXPECT_EQ(bounds.x, INT32_MIN);
    EXPECT_EQ(bounds.w, INT32_MAX);
}

TEST(PolygonTest, ClosedWhenTheLastPointRepeatsTheFirst) {
    EXPECT_FALSE(Polygon({{0, 0}, {4, 0}, {4, 3}}).isClosed());
    EXPECT_TRUE(Polygon({{0, 0}, {4, 0}, {4, 3}, {0.0005f, -0.0005f}}).isClosed());
    EXPECT_FALSE(Polygon({{0, 0}}).isClosed());
    EXPECT_FALSE(Polygon({{0, 0}, {NAN, 1}}).isFinite());
}

TEST(PolygonTest, LengthSumsTheSegments) {
    EXPECT_FLOAT_EQ(Polygon({{0, 0}, {3, 4}, {3, 10}}).computeLengths(), 11.0f);
    EXPECT_FLOAT_EQ(Polygon({{0, 0}, {3, 4}, {0, 0}}).computeLengths(), 10.0f);
    EXPECT_FLOAT_EQ(Polygon().computeLengths(), 0.0f);
}

TEST(PolygonTest, BuildFollowsTheHermiteCurve) {
    const Polygon line({{0, 0}, {10, 0}, {20, 0}});
    // Flat ends: each segment eases in and out; shared samples appear once.
    const auto samples = line.build(0, 2, 2, true);
    ASSERT_EQ(samples.size(), 5u);
    EXPECT_FLOAT_EQ(samples[0].x, 0.0f);
    EXPECT_FLOAT_EQ(samples[2].x, 10.0f);
    EXPECT_FLOAT_EQ(samples[4].x, 20.0f);
    // Middle of segment 0: p0 0, p1 10, m0 0, m1 20 -> 0.125 * (-20 + 20) ... = 2.5 + 5.0 - 2.5.
    EXPECT_FLOAT_EQ(samples[1].x, 0.5f * 0 + 0.5f * 10 + 0.125f * (0 - 20));
    EXPECT_TRUE(line.build(2, 1, 4, false).empty());
    EXPECT_TRUE(line.build(0, 5, 4, false).empty());
    EXPECT_TRUE(line.build(0, 2, 0, false).empty());
}

}  // namespace polygon_test
