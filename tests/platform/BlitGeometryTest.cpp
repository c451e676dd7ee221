#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <random>
#include <utility>

#include "framework/platform/BlitGeometry.h"

namespace blit_geometry_test {

using Key = std::pair<int32_t, int32_t>;

struct Sampled {
    int32_t x0, y0, x1, y1;
    float fx, fy;
    bool operator==(const Sampled&) const = default;
};

std::map<Key, Sampled> collect(const BlitMapping& mapping) {
    std::map<Key, Sampled> samples;
    mapping.forEachPixel([&](int32_t x, int32_t y, const BlitSample& s) {
        samples[{x, y}] = Sampled{s.x0, s.y0, s.x1, s.y1, s.fx, s.fy};
    });
    return samples;
}

// The rotated mapping written plainly in 32-bit fixed point, for parameters small enough that
// nothing overflows and a source rectangle inside the image. Nearest sampling only.
std::map<Key, Sampled> referenceRotated(double angle, double scale, int32_t dx, int32_t dy,
                                        int32_t sx, int32_t sy, int32_t sw, int32_t sh, int32_t px,
                                        int32_t py, const Rect& clip) {
    std::map<Key, Sampled> samples;
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    const int32_t ox = dx + px - static_cast<int32_t>(scale * (px * c - py * s));
    const int32_t oy = dy + py - static_cast<int32_t>(scale * (py * c + px * s));
    double minX = 1e300, minY = 1e300, maxX = -1e300, maxY = -1e300;
    for (double u : {0.0, double(sw)}) {
        for (double v : {0.0, double(sh)}) {
            const double x = ox + scale * (u * c - v * s);
            const double y = oy + scale * (u * s + v * c);
            minX = std::min(minX, x);
            maxX = std::max(maxX, x);
            minY = std::min(minY, y);
            maxY = std::max(maxY, y);
        }
    }
    const Rect box =
        intersectRects(Rect{static_cast<int32_t>(minX), static_cast<int32_t>(minY),
                            static_cast<int32_t>(maxX - minX), static_cast<int32_t>(maxY - minY)},
                       clip);
    const double k = 1048576.0 / scale;
    const int32_t cu = static_cast<int32_t>(c * k);
    const int32_t su = static_cast<int32_t>(s * k);
    for (int32_t j = 0; j < box.h; ++j) {
        for (int32_t i = 0; i < box.w; ++i) {
            const int32_t bx = box.x + i - ox;
            const int32_t by = box.y + j - oy;
            const int32_t u = cu * bx + su * by;
            const int32_t v = -su * bx + cu * by;
            const int32_t iu = u >> 20;
            const int32_t iv = v >> 20;
            if (iu >= 0 && iu < sw && iv >= 0 && iv < sh) {
                samples[{box.x + i, box.y + j}] = Sampled{sx + iu, sy + iv, sx + iu, sy + iv, 0, 0};
            }
        }
    }
    return samples;
}

TEST(BlitGeometryTest, ClipBlitCutsToSourceTargetAndClip) {
    int32_t dx = 5, dy = 5, sx = -3, sy = 0, w = 10, h = 10;
    ASSERT_TRUE(clipBlit(dx, dy, sx, sy, w, h, 100, 80, 10, 10, Rect{0, 0, 100, 80}));
    EXPECT_EQ((std::vector<int32_t>{dx, dy, sx, sy, w, h}),
              (std::vector<int32_t>{8, 5, 0, 0, 7, 10}));
    dx = 100, dy = 0, sx = 0, sy = 0, w = 10, h = 10;
    EXPECT_FALSE(clipBlit(dx, dy, sx, sy, w, h, 100, 80, 10, 10, Rect{0, 0, 100, 80}));
    dx = -4, dy = 75, sx = 2, sy = 0, w = 30, h = 30;
    ASSERT_TRUE(clipBlit(dx, dy, sx, sy, w, h, 100, 80, 10, 10, Rect{0, 0, 100, 80}));
    EXPECT_EQ((std::vector<int32_t>{dx, dy, sx, sy, w, h}),
              (std::vector<int32_t>{0, 75, 6, 0, 4, 5}));
    dx = 0, dy = 0, sx = 0, sy = 0, w = 10, h = 10;
    ASSERT_TRUE(clipBlit(dx, dy, sx, sy, w, h, 100, 80, 10, 10, Rect{3, 4, 2, 50}));
    EXPECT_EQ((std::vector<int32_t>{dx, dy, sx, sy, w, h}),
              (std::vector<int32_t>{3, 4, 3, 4, 2, 6}));
    dx = 0, dy = 0, sx = 10, sy = 0, w = 10, h = 10;
    EXPECT_FALSE(clipBlit(dx, dy, sx, sy, w, h, 100, 80, 10, 10, Rect{0, 0, 100, 80}));
}

TEST(BlitGeometryTest, ClippedBlitsLieInsideEverythingAndKeepTheirAlignment) {
    std::mt19937 random(99);
    std::uniform_int_distribution<int32_t> any(INT32_MIN, INT32_MAX);
    std::uniform_int_distribution<int32_t> near(-40, 140);
    for (int round = 0; round < 20000; ++round) {
        const bool wild = round % 4 == 0;
        int32_t dx = wild ? any(random) : near(random), dy = near(random);
        int32_t sx = wild ? any(random) : near(random) / 4, sy = near(random) / 4;
        int32_t w = wild ? any(random) : near(random), h = near(random);
        const int64_t shiftX = int64_t{dx} - sx;
        const int64_t shiftY = int64_t{dy} - sy;
        const Rect clip{near(random) / 2, near(random) / 2, near(random), near(random)};
        const Rect inside = intersectRects(clip, Rect{0, 0, 100, 80});
        if (!clipBlit(dx, dy, sx, sy, w, h, 100, 80, 30, 20, inside)) {
            continue;
        }
        ASSERT_GT(w, 0);
        ASSERT_GT(h, 0);
        ASSERT_GE(sx, 0);
        ASSERT_LE(sx + w, 30);
        ASSERT_GE(sy, 0);
        ASSERT_LE(sy + h, 20);
        ASSERT_GE(dx, inside.x);
        ASSERT_LE(dx + w, inside.x + inside.w);
        ASSERT_GE(dy, inside.y);
        ASSERT_LE(dy + h, inside.y + inside.h);
        ASSERT_EQ(int64_t{dx} - sx, shiftX);
        ASSERT_EQ(int64_t{dy} - sy, shiftY);
    }
}

TEST(BlitGeometryTest, UnturnedUnscaledRotationIsAPlainBlit) {
    BlitMapping mapping;
    ASSERT_TRUE(mapping.setUpRotated(20, 20, 0.0, 1.0, 30, 40, 2, 3, 5, 4, 0, 0, false,
                                     Rect{0, 0, 100, 100}));
    const auto samples = collect(mapping);
    ASSERT_EQ(samples.size(), 20u);
    for (int32_t j = 0; j < 4; ++j) {
        for (int32_t i = 0; i < 5; ++i) {
            EXPECT_EQ(samples.at({30 + i, 40 + j}), (Sampled{2 + i, 3 + j, 2 + i, 3 + j, 0, 0}));
        }
    }
}

TEST(BlitGeometryTest, SmoothRotationAddsALeftAndTopBorder) {
    BlitMapping mapping;
    ASSERT_TRUE(mapping.setUpRotated(20, 20, 0.0, 1.0, 30, 40, 2, 3, 5, 4, 0, 0, true,
                                     Rect{0, 0, 100, 100}));
    const auto samples = collect(mapping);
    EXPECT_EQ(samples.size(), 30u);
    EXPECT_EQ(samples.at({29, 39}), (Sampled{2, 3, 2, 3, 0, 0}));
    EXPECT_EQ(samples.at({29, 42}), (Sampled{2, 5, 2, 6, 0, 0}));
    EXPECT_EQ(samples.at({34, 43}), (Sampled{6, 6, 6, 6, 0, 0}));
    EXPECT_EQ(samples.count({35, 40}), 0u);
    EXPECT_EQ(samples.count({30, 44}), 0u);
}

TEST(BlitGeometryTest, QuarterTurnIsClockwiseOnScreen) {
    BlitMapping mapping;
    ASSERT_TRUE(mapping.setUpRotated(8, 8, M_PI / 2, 1.0, 50, 50, 0, 0, 4, 2, 0, 0, false,
                                     Rect{0, 0, 100, 100}));
    const auto samples = collect(mapping);
    // Source (u, v) lands on (50 - v, 50 + u): source rows run down the columns left of the
    // origin, source columns down the rows. The box of the mapped corners spans columns 48
    // and 49, and column 48 maps to source row 2, past the rectangle.
    ASSERT_EQ(samples.size(), 4u);
    for (const auto& [pixel, sample] : samples) {
        EXPECT_EQ(pixel.first, 49);
        EXPECT_EQ(sample.x0, pixel.second - 50);
        EXPECT_EQ(sample.y0, 1);
    }
}

TEST(BlitGeometryTest, RotationMatchesThirtyTwoBitArithmeticWhereItFits) {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> angles(-7.0, 7.0);
    std::uniform_real_distribution<double> scales(0.3, 3.0);
    std::uniform_int_distribution<int32_t> small(-20, 60);
    std::uniform_int_distribution<int32_t> sizes(1, 12);
    for (int round = 0; round < 300; ++round) {
        const double angle = angles(random);
        const double scale = round % 5 == 0 ? -scales(random) : scales(random);
        const int32_t sw = sizes(random), sh = sizes(random);
        const int32_t sx = sizes(random) - 1, sy = sizes(random) - 1;
        const int32_t dx = small(random), dy = small(random);
        const int32_t px = sizes(random) - 3, py = sizes(random) - 3;
        const Rect clip{0, 0, 64, 48};
        BlitMapping mapping;
        const bool any =
            mapping.setUpRotated(40, 40, angle, scale, dx, dy, sx, sy, sw, sh, px, py, false, clip);
        const auto expected = referenceRotated(angle, scale, dx, dy, sx, sy, sw, sh, px, py, clip);
        if (!any) {
            EXPECT_TRUE(expected.empty());
            continue;
        }
        ASSERT_EQ(collect(mapping), expected) << "round " << round;
    }
}

TEST(BlitGeometryTest, LargeOffsetsAndTinyScalesComputeInSixtyFourBits) {
    // 3000 source pixels left of the box: 3000 << 20 overflows 32 bits.
    BlitMapping mapping;
    ASSERT_TRUE(mapping.setUpRotated(4000, 1, 0.0, 1.0, -3000, 0, 0, 0, 4000, 1, 0, 0, false,
                                     Rect{0, 0, 800, 600}));
    auto samples = collect(mapping);
    EXPECT_EQ(samples.size(), 800u);
    EXPECT_EQ(samples.at({0, 0}).x0, 3000);
    EXPECT_EQ(samples.at({799, 0}).x0, 3799);
    // A scale just above the limit: the inverse step no longer fits 32 bits.
    ASSERT_TRUE(mapping.setUpRotated(20000, 20000, 0.0, 0.0002, 10, 10, 0, 0, 20000, 20000, 0, 0,
                                     false, Rect{0, 0, 800, 600}));
    EXPECT_EQ(mapping.getBox(), (Rect{10, 10, 4, 4}));
    EXPECT_EQ(mapping.getColumnStepU(), 5242880000);
    samples = collect(mapping);
    EXPECT_EQ(samples.at({10, 10}).x0, 0);
    EXPECT_EQ(samples.at({13, 11}).x0, 15000);
    EXPECT_EQ(samples.at({13, 11}).y0, 5000);
    EXPECT_FALSE(mapping.setUpRotated(4, 4, 0.0, 0.00005, 10, 10, 0, 0, 4, 4, 0, 0, false,
                                      Rect{0, 0, 800, 600}));
    EXPECT_FALSE(mapping.setUpRotated(4, 4, NAN, 1.0, 10, 10, 0, 0, 4, 4, 0, 0, false,
                                      Rect{0, 0, 800, 600}));
    EXPECT_FALSE(mapping.setUpRotated(4, 4, 0.0, INFINITY, 10, 10, 0, 0, 4, 4, 0, 0, false,
                                      Rect{0, 0, 800, 600}));
    // Far-away pivots and huge scales neither wrap nor draw outside the clip.
    for (double scale : {1.0e9, -1.0e12, 3.0e15}) {
        if (mapping.setUpRotated(4, 4, 0.7, scale, INT32_MAX, INT32_MIN, 0, 0, 4, 4, INT32_MAX,
                                 INT32_MIN, true, Rect{0, 0, 800, 600})) {
            mapping.forEachPixel([](int32_t x, int32_t y, const BlitSample& s) {
                EXPECT_TRUE(x >= 0 && x < 800 && y >= 0 && y < 600);
                EXPECT_TRUE(s.x0 >= 0 && s.x1 < 4 && s.y0 >= 0 && s.y1 < 4);
            });
        }
    }
}

TEST(BlitGeometryTest, RotatedSourceIsCutToTheImageFirst) {
    // The source rectangle reaches two columns left of and past the image: only image pixels
    // are sampled, each at the place it would have had.
    BlitMapping mapping;
    ASSERT_TRUE(mapping.setUpRotated(4, 4, 0.0, 1.0, 10, 10, -2, 0, 8, 4, 0, 0, false,
                                     Rect{0, 0, 100, 100}));
    const auto samples = collect(mapping);
    EXPECT_EQ(samples.size(), 16u);
    EXPECT_EQ(samples.at({12, 10}).x0, 0);
    EXPECT_EQ(samples.at({15, 13}).x0, 3);
    EXPECT_EQ(samples.count({11, 10}), 0u);
    EXPECT_EQ(samples.count({16, 10}), 0u);
    for (bool smooth : {false, true}) {
        ASSERT_TRUE(mapping.setUpRotated(4, 4, 0.4, 1.7, 10, 10, -5, -5, 20, 20, 3, 3, smooth,
                                         Rect{0, 0, 100, 100}));
        mapping.forEachPixel([](int32_t, int32_t, const BlitSample& s) {
            EXPECT_TRUE(s.x0 >= 0 && s.x1 < 4 && s.y0 >= 0 && s.y1 < 4);
        });
    }
    EXPECT_FALSE(mapping.setUpRotated(4, 4, 0.0, 1.0, 10, 10, 4, 0, 3, 3, 0, 0, false,
                                      Rect{0, 0, 100, 100}));
}

TEST(BlitGeometryTest, StretchRepeatsSourcePixels) {
    BlitMapping mapping;
    ASSERT_TRUE(
        mapping.setUpStretched(2, 2, 0, 0, 2, 2, 10, 20, 4, 4, false, Rect{0, 0, 100, 100}));
    const auto samples = collect(mapping);
    ASSERT_EQ(samples.size(), 16u);
    for (int32_t j = 0; j < 4; ++j) {
        for (int32_t i = 0; i < 4; ++i) {
            const Sampled& s = samples.at({10 + i, 20 + j});
            EXPECT_EQ(s.x0, i / 2);
            EXPECT_EQ(s.y0, j / 2);
        }
    }
    EXPECT_FALSE(
        mapping.setUpStretched(2, 2, 0, 0, 2, 2, 10, 20, 0, 4, false, Rect{0, 0, 100, 100}));
    EXPECT_FALSE(
        mapping.setUpStretched(2, 2, 0, 0, 2, 2, -5, 20, 4, 4, false, Rect{0, 0, 100, 100}));
    EXPECT_FALSE(
        mapping.setUpStretched(2, 2, 0, 0, 2, 2, 10, -30, 4, 20, false, Rect{0, 0, 100, 100}));
}

TEST(BlitGeometryTest, StretchMatchesThirtyTwoBitArithmeticWhereItFits) {
    std::mt19937 random(11);
    std::uniform_int_distribution<int32_t> sizes(1, 40);
    std::uniform_int_distribution<int32_t> places(-30, 60);
    const Rect clip{0, 0, 64, 48};
    for (int round = 0; round < 300; ++round) {
        const int32_t sw = sizes(random), sh = sizes(random);
        const int32_t sx = sizes(random) % (41 - sw), sy = sizes(random) % (41 - sh);
        const int32_t dx = places(random), dy = places(random);
        const int32_t dw = sizes(random), dh = sizes(random);
        const int32_t stepX = static_cast<int32_t>(std::nearbyint(double(sw) / dw * 1048576));
        const int32_t stepY = static_cast<int32_t>(std::nearbyint(double(sh) / dh * 1048576));
        std::map<Key, Sampled> expected;
        for (int32_t y = std::max(dy, 0); y < std::min(dy + dh, 48); ++y) {
            for (int32_t x = std::max(dx, 0); x < std::min(dx + dw, 64); ++x) {
                const int32_t u = (x - dx) * stepX + sx * 1048576;
                const int32_t v = (y - dy) * stepY + sy * 1048576;
                expected[{x, y}] = Sampled{u >> 20, v >> 20, u >> 20, v >> 20, 0, 0};
            }
        }
        BlitMapping mapping;
        if (!mapping.setUpStretched(40, 40, sx, sy, sw, sh, dx, dy, dw, dh, false, clip)) {
            EXPECT_TRUE(expected.empty());
            continue;
        }
        ASSERT_EQ(collect(mapping), expected) << "round " << round;
    }
}

TEST(BlitGeometryTest, SmoothStretchInterpolatesExceptInTheLastColumnAndRow) {
    BlitMapping mapping;
    ASSERT_TRUE(mapping.setUpStretched(3, 3, 0, 0, 3, 3, 0, 0, 6, 6, true, Rect{0, 0, 50, 50}));
    const auto samples = collect(mapping);
    EXPECT_EQ(samples.at({1, 1}), (Sampled{0, 0, 1, 1, 0.5f, 0.5f}));
    EXPECT_EQ(samples.at({5, 2}), (Sampled{2, 1, 2, 2, 0.0f, 0.0f}));
    EXPECT_EQ(samples.at({5, 5}), (Sampled{2, 2, 2, 2, 0.0f, 0.0f}));
}

TEST(BlitGeometryTest, StretchedSourceIsCutToTheImageFirst) {
    // Source columns -2 to 1 of a 2-pixel image onto 8 columns: only the right half samples.
    BlitMapping mapping;
    ASSERT_TRUE(
        mapping.setUpStretched(2, 2, -2, 0, 4, 2, 10, 0, 8, 2, false, Rect{0, 0, 100, 100}));
    const auto samples = collect(mapping);
    ASSERT_EQ(samples.size(), 8u);
    EXPECT_EQ(samples.begin()->first, (Key{14, 0}));
    EXPECT_EQ(samples.at({14, 0}).x0, 0);
    EXPECT_EQ(samples.at({17, 1}).x0, 1);
    // A huge enlargement whose rounded step overshoots still samples inside the rectangle.
    ASSERT_TRUE(
        mapping.setUpStretched(5, 1, 2, 0, 1, 1, 0, 0, 3000, 1, true, Rect{0, 0, 4000, 10}));
    size_t count = 0;
    mapping.forEachPixel([&](int32_t, int32_t, const BlitSample& s) {
        ++count;
        EXPECT_EQ(s.x0, 2);
        EXPECT_EQ(s.x1, 2);
    });
    EXPECT_EQ(count, 3000u);
}

}  // namespace blit_geometry_test
