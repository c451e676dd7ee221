#include <gtest/gtest.h>

#include <tuple>
#include <utility>
#include <vector>

#include "framework/platform/LineGeometry.h"

namespace line_geometry_test {

using Points = std::vector<std::pair<int32_t, int32_t>>;
using Weighted = std::vector<std::tuple<int32_t, int32_t, int32_t>>;

Points linePoints(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    Points points;
    traceLine(x1, y1, x2, y2, [&](int32_t x, int32_t y) { points.emplace_back(x, y); });
    return points;
}

Weighted traceAA(float x1, float y1, float x2, float y2, const Rect& clip, int32_t w, int32_t h) {
    Weighted plotted;
    traceLineAA(x1, y1, x2, y2, clip, w, h,
                [&](int32_t x, int32_t y, int32_t weight) { plotted.emplace_back(x, y, weight); });
    return plotted;
}

TEST(LineGeometryTest, BresenhamPointsIncludeBothEnds) {
    EXPECT_EQ(linePoints(0, 0, 3, 3), (Points{{0, 0}, {1, 1}, {2, 2}, {3, 3}}));
    EXPECT_EQ(linePoints(0, 0, 3, 1), (Points{{0, 0}, {1, 0}, {2, 1}, {3, 1}}));
    EXPECT_EQ(linePoints(3, 1, 0, 0), (Points{{3, 1}, {2, 1}, {1, 0}, {0, 0}}));
    EXPECT_EQ(linePoints(0, 0, 1, 3), (Points{{0, 0}, {0, 1}, {1, 2}, {1, 3}}));
    EXPECT_EQ(linePoints(7, -2, 7, -2), (Points{{7, -2}}));
    // Ends at the edges of the int32 range neither wrap nor stop early.
    EXPECT_EQ(linePoints(INT32_MAX - 1, INT32_MIN, INT32_MAX, INT32_MIN).size(), 2u);
}

TEST(LineGeometryTest, AxisLinesAreClampedIntoTheClip) {
    const Rect clip{2, 0, 100, 100};
    EXPECT_EQ(clipAxisLine(-5, 0, 5, 0, clip), (AxisSpan{2, 0, 4, true}));
    EXPECT_EQ(clipAxisLine(5, 0, -5, 0, clip), (AxisSpan{2, 0, 4, true}));
    EXPECT_EQ(clipAxisLine(-50, 3, 500, 3, clip), (AxisSpan{2, 3, 100, true}));
    EXPECT_EQ(clipAxisLine(10, 120, 10, -7, clip), (AxisSpan{10, 0, 100, false}));
    EXPECT_EQ(clipAxisLine(4, 4, 4, 4, clip), (AxisSpan{4, 4, 1, true}));
    // Row or column outside, both ends beyond one side, or a slanted line: nothing.
    EXPECT_FALSE(clipAxisLine(0, 100, 50, 100, clip));
    EXPECT_FALSE(clipAxisLine(1, 0, 1, 50, clip));
    EXPECT_FALSE(clipAxisLine(-9, 5, 1, 5, clip));
    EXPECT_FALSE(clipAxisLine(102, 5, 300, 5, clip));
    EXPECT_FALSE(clipAxisLine(0, 0, 5, 5, clip));
    EXPECT_FALSE(clipAxisLine(0, 0, 5, 0, Rect{0, 0, 0, 10}));
    EXPECT_EQ(clipAxisLine(INT32_MIN, 1, INT32_MAX, 1, clip), (AxisSpan{2, 1, 100, true}));
}

TEST(LineGeometryTest, AntialiasedLineNeedsBothEndsInsideTheClip) {
    const Rect clip{0, 0, 20, 20};
    EXPECT_TRUE(traceAA(2, 3, 25, 9, clip, 20, 20).empty());
    EXPECT_TRUE(traceAA(-1.5f, 3, 10, 9, clip, 20, 20).empty());
    EXPECT_TRUE(traceAA(2, 3, NAN, 9, clip, 20, 20).empty());
    EXPECT_FALSE(traceAA(2, 3, 19.9f, 9, clip, 20, 20).empty());
}

TEST(LineGeometryTest, AntialiasedHorizontalLinesByDirection) {
    const Rect clip{0, 0, 20, 20};
    // Given left to right with no slope: the row below the minor coordinate, fully covered.
    Weighted expected;
    for (int32_t x = 2; x <= 8; ++x) {
        expected.emplace_back(x, 6, 255);
    }
    EXPECT_EQ(traceAA(2, 5, 8, 5, clip, 20, 20), expected);
    // Given right to left: the minor row itself with the fractional coverage.
    expected.clear();
    for (int32_t x = 2; x <= 8; ++x) {
        expected.emplace_back(x, 5, 0);
    }
    EXPECT_EQ(traceAA(8, 5, 2, 5, clip, 20, 20), expected);
}

TEST(LineGeometryTest, AntialiasedSteepLineSharesCoverageBetweenColumns) {
    const Weighted plotted = traceAA(5.25f, 2, 5.25f, 6, Rect{0, 0, 20, 20}, 20, 20);
    ASSERT_EQ(plotted.size(), 10u);
    for (size_t k = 0; k < plotted.size(); k += 2) {
        EXPECT_EQ(std::get<0>(plotted[k]), 5);
        EXPECT_EQ(std::get<2>(plotted[k]), 191);
        EXPECT_EQ(std::get<0>(plotted[k + 1]), 6);
        EXPECT_EQ(std::get<2>(plotted[k + 1]), 63);
        EXPECT_EQ(std::get<1>(plotted[k]), std::get<1>(plotted[k + 1]));
    }
}

TEST(LineGeometryTest, AntialiasedPixelsStayInsideTheTarget) {
    // Lines along the last row and column, and along row and column 0, which is never drawn.
    const Rect clip{0, 0, 10, 8};
    for (const auto& line : std::vector<std::vector<float>>{{0, 7.9f, 9.9f, 7.9f},
                                                            {9.9f, 7.9f, 0, 7.2f},
                                                            {9.9f, 0, 9.9f, 7.9f},
                                                            {0, 0, 9.9f, 0},
                                                            {0, 0, 9.9f, 7.9f},
                                                            {9.9f, 0, 0, 7.9f},
                                                            {0.2f, 7.9f, 2.9f, 0}}) {
        for (const auto& [x, y, weight] :
             traceAA(line[0], line[1], line[2], line[3], clip, 10, 8)) {
            EXPECT_GT(x, -1);
            EXPECT_LT(x, 10);
            EXPECT_GT(y, -1);
            EXPECT_LT(y, 8);
            EXPECT_GE(weight, 0);
            EXPECT_LE(weight, 255);
        }
    }
}

}  // namespace line_geometry_test
