#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "framework/platform/CoverageMask.h"

namespace coverage_mask_test {

// Even-odd test of the pixel centre (x + 0.5, y + 0.5) against the closed polygon, with the
// half-open rule for edges that end on the sample row.
bool centreInside(const std::vector<PointF>& points, int32_t x, int32_t y) {
    const double cx = x + 0.5;
    const double cy = y + 0.5;
    bool inside = false;
    for (size_t i = 0; i < points.size(); ++i) {
        const PointF& a = points[i];
        const PointF& b = points[(i + 1) % points.size()];
        const double low = std::min(a.y, b.y);
        const double high = std::max(a.y, b.y);
        if (low <= cy && cy < high) {
            const double crossing = a.x + (cy - a.y) * (double(b.x) - a.x) / (double(b.y) - a.y);
            if (crossing <= cx) {
                inside = !inside;
            }
        }
    }
    return inside;
}

void expectMatchesOracle(const std::vector<PointF>& points, int32_t width, int32_t height) {
    const CoverageMask mask = scanPolygon(points, width, height, false);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            ASSERT_EQ(mask.get(x, y) == 255, centreInside(points, x, y))
                << "pixel " << x << ", " << y;
        }
    }
}

TEST(CoverageMaskTest, TriangleSamplesPixelCentres) {
    const CoverageMask mask = scanPolygon({{0, 0}, {4, 0}, {0, 4}}, 10, 10, false);
    const int expectedWidths[] = {4, 3, 2, 1, 0};
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 10; ++x) {
            EXPECT_EQ(mask.get(x, y), x < expectedWidths[y] ? 255 : 0) << x << ", " << y;
        }
    }
}

TEST(CoverageMaskTest, SpansPastTheRightEdgeStopAtTheLastColumn) {
    const CoverageMask mask = scanPolygon({{5, 1}, {40, 1}, {40, 3}, {5, 3}}, 10, 6, false);
    for (int x = 0; x < 10; ++x) {
        EXPECT_EQ(mask.get(x, 1), x >= 5 ? 255 : 0);
        EXPECT_EQ(mask.get(x, 2), x >= 5 ? 255 : 0);
        EXPECT_EQ(mask.get(x, 3), 0);
        EXPECT_EQ(mask.get(x, 0), 0);
    }
    EXPECT_EQ(mask.get(10, 1), 0);
}

TEST(CoverageMaskTest, ConcaveAndSelfTouchingShapesMatchTheEvenOddRule) {
    // A comb: many points share each y, so both sorts see long runs of equal keys.
    std::vector<PointF> comb;
    for (int tooth = 0; tooth < 40; ++tooth) {
        comb.push_back({tooth * 2.0f + 0.3f, 1.2f});
        comb.push_back({tooth * 2.0f + 1.3f, 14.7f});
    }
    comb.push_back({80.3f, 20.6f});
    comb.push_back({0.3f, 20.6f});
    expectMatchesOracle(comb, 90, 24);
    // A star whose points cross each other.
    std::vector<PointF> star;
    for (int k = 0; k < 5; ++k) {
        const double angle = k * 4.0 * M_PI / 5.0;
        star.push_back({static_cast<float>(20.1 + 18 * std::sin(angle)),
                        static_cast<float>(20.2 - 18 * std::cos(angle))});
    }
    expectMatchesOracle(star, 40, 40);
}

TEST(CoverageMaskTest, RandomPolygonsMatchTheEvenOddRule) {
    std::mt19937 random(12345);
    std::uniform_real_distribution<float> xs(-10.0f, 50.0f);
    std::uniform_real_distribution<float> ys(-10.0f, 40.0f);
    for (int round = 0; round < 200; ++round) {
        std::vector<PointF> points(3 + round % 9);
        for (PointF& point : points) {
            point = {xs(random), ys(random)};
        }
        expectMatchesOracle(points, 40, 30);
    }
}

TEST(CoverageMaskTest, AntialiasedWritesStayInsideTheMask) {
    // A shallow right edge beyond the last column on every row down to the last: the softening
    // walks from columns W + 1 and W leftwards. Those writes must not land in the next row's
    // first columns, nor past the end of the mask on the last row.
    const CoverageMask mask = scanPolygon({{3, 0}, {60, 10}, {3, 10}}, 10, 10, true);
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 3; ++x) {
            EXPECT_EQ(mask.get(x, y), 0) << x << ", " << y;
        }
        for (int x = 0; x < 10; ++x) {
            EXPECT_LE(mask.get(x, y), 255);
        }
    }
    // The same at the bottom edge with a falling shallow edge.
    const CoverageMask lower = scanPolygon({{2, 4}, {90, 16}, {2, 30}}, 10, 10, true);
    for (int y = 4; y < 10; ++y) {
        EXPECT_EQ(lower.get(0, y), 0);
        EXPECT_EQ(lower.get(1, y), 0);
        EXPECT_GT(lower.get(5, y), 0);
    }
}

TEST(CoverageMaskTest, AntialiasingSoftensOnlyTheEnds) {
    const CoverageMask plain = scanPolygon({{2.5f, 1}, {30, 4}, {12, 19.5f}}, 32, 24, false);
    const CoverageMask soft = scanPolygon({{2.5f, 1}, {30, 4}, {12, 19.5f}}, 32, 24, true);
    int softened = 0;
    for (int y = 0; y < 24; ++y) {
        for (int x = 0; x < 32; ++x) {
            const int32_t value = soft.get(x, y);
            EXPECT_LE(value, 255);
            if (value > 0 && value < 255) {
                ++softened;
            }
            // Deep inside the shape nothing changes.
            if (plain.get(x - 2, y) == 255 && plain.get(x + 2, y) == 255 &&
                plain.get(x, y - 1) == 255 && plain.get(x, y + 1) == 255) {
                EXPECT_EQ(value, 255);
            }
        }
    }
    EXPECT_GT(softened, 10);
}

TEST(CoverageMaskTest, DegenerateInputGivesAnEmptyMask) {
    EXPECT_GT(scanPolygon({{0, 0}, {5, 0}}, 10, 10, false).getFirstRow(),
              scanPolygon({{0, 0}, {5, 0}}, 10, 10, false).getLastRow());
    const CoverageMask nan = scanPolygon({{0, 0}, {NAN, 3}, {0, 8}}, 10, 10, true);
    EXPECT_EQ(nan.row(0), nullptr);
    const CoverageMask inf = scanPolygon({{0, 0}, {INFINITY, 3}, {0, 8}}, 10, 10, false);
    EXPECT_EQ(inf.row(2), nullptr);
    EXPECT_EQ(scanPolygon({{0, 0}, {5, 0}, {0, 5}}, 0, 10, false).row(0), nullptr);
    // Far outside the target: no rows at all.
    EXPECT_EQ(scanPolygon({{0, 50}, {5, 50}, {0, 55}}, 10, 10, true).row(9), nullptr);
}

TEST(CoverageMaskTest, HugeCoordinatesAreClampedNotConverted) {
    const CoverageMask mask =
        scanPolygon({{-3.0e38f, -3.0e38f}, {3.0e38f, -3.0e38f}, {0, 3.0e38f}}, 16, 12, true);
    for (int y = 0; y < 12; ++y) {
        for (int x = 0; x < 16; ++x) {
            EXPECT_LE(mask.get(x, y), 255);
        }
    }
    EXPECT_EQ(mask.get(8, 6), 255);
}

}  // namespace coverage_mask_test
