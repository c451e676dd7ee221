// The drawing rules shared by both depths, checked on real pixels at 2 and 4 bytes per pixel, and
// a cross-check that the two depths draw the same colors.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "framework/core/Polygon.h"
#include "framework/platform/BlendRows.h"
#include "framework/platform/Graphics16.h"
#include "framework/platform/Graphics32.h"
#include "testsupport/platform/PixelAccess.h"

using namespace testpixels;

namespace drawing_depths_test {

constexpr uint32_t RED = 0xF80000;
constexpr uint32_t PURE_GREEN = 0x00FC00;
constexpr uint32_t GREY = 0x808080;

class DrawingDepthsTest : public ::testing::TestWithParam<int32_t> {
protected:
    int32_t depth = GetParam();
    RefHolder<Image> target = filled(32, 32, depth, 0x000000, 255);
    RefHolder<Graphics> g = graphicsOf(target.get());

    RefHolder<Image> source(int32_t w, int32_t h, bool withAlpha) {
        RefHolder<Image> image = filled(w, h, depth, 0, 255);
        for (int32_t y = 0; y < h; ++y) {
            for (int32_t x = 0; x < w; ++x) {
                put(image.get(), x, y, 0x080400u * static_cast<uint32_t>(x + 1) + 0x000008u * y,
                    255);
            }
        }
        image->setUseAlphaChannel(withAlpha);
        return image;
    }
    uint32_t at(int32_t x, int32_t y) const { return colorAt(target.get(), x, y); }
    int32_t changedPixels() const {
        int32_t count = 0;
        for (int32_t y = 0; y < 32; ++y) {
            for (int32_t x = 0; x < 32; ++x) {
                count += at(x, y) != 0 || alphaAt(target.get(), x, y) != 255;
            }
        }
        return count;
    }
};

TEST(DrawingDepths, ImagesMakeTheContextOfTheirDepth) {
    RefHolder<Image> wide{Image::createImage(2, 2, 4)};
    RefHolder<Image> narrow{Image::createImage(2, 2, 2)};
    RefHolder<Image> mask{Image::createImage(2, 2, 1)};
    RefHolder<Graphics> g32 = graphicsOf(wide.get());
    RefHolder<Graphics> g16 = graphicsOf(narrow.get());
    EXPECT_NE(objectCast<Graphics32>(g32.get()), nullptr);
    EXPECT_NE(objectCast<Graphics16>(g16.get()), nullptr);
    EXPECT_EQ(objectCast<Graphics32>(g16.get()), nullptr);
    EXPECT_EQ(g32->getImage(), wide.get());
    EXPECT_EQ(mask->createGraphics(), nullptr);
}

TEST_P(DrawingDepthsTest, AlphaIsClampedAndZeroAlphaChangesNothing) {
    EXPECT_EQ(g->setAlpha(-5), 0);
    EXPECT_EQ(g->setAlpha(300), 255);
    g->setAlpha(-5);
    g->setColor(0xFFFFFFFF);
    RefHolder<Image> withAlpha = source(4, 4, true);
    RefHolder<Image> opaque = source(4, 4, false);
    RefHolder<Image> mask = filled(4, 4, 1, 0, 255);
    g->drawPixel(1, 1);
    g->drawLine(0, 0, 20, 3);
    g->drawLine(0, 5, 20, 5);
    g->drawLineAA(1.5f, 1.5f, 20.0f, 9.0f);
    g->fillRect(0, 0, 32, 32);
    g->clear();
    for (Image* image : {withAlpha.get(), opaque.get(), mask.get()}) {
        g->blitWhole(image, 2, 2);
        g->blitRotated(image, 0.4, 2.0, 5, 5, 0, 0, 4, 4, 2, 2);
        g->blitStretched(image, 0, 0, 4, 4, 0, 0, 30, 30);
    }
    Polygon triangle({{0, 0}, {20, 0}, {0, 20}});
    g->fillPolygon(triangle, true);
    EXPECT_EQ(changedPixels(), 0);
    // The same calls at full alpha do draw.
    g->setAlpha(255);
    g->blitWhole(opaque.get(), 2, 2);
    EXPECT_EQ(changedPixels(), 16);
}

TEST_P(DrawingDepthsTest, ClipRectanglesStayInsideAndAnEmptyClipDrawsNothing) {
    g->setClipRect(-10, -10, 5000, 5000);
    EXPECT_EQ(*g->getClipRect(), (Rect{0, 0, 32, 32}));
    g->setClipRect(0, 0, 10, 10);
    g->clipTo(20, 20, 5, 5);
    EXPECT_TRUE(g->getClipRect()->isEmpty());
    g->setColor(0xFFFFFF);
    g->clear();
    g->drawLine(0, 0, 31, 0);
    g->drawPixel(25, 25);
    RefHolder<Image> opaque = source(4, 4, false);
    g->blitWhole(opaque.get(), 20, 20);
    g->copyRectWhole(opaque.get(), 20, 20);
    g->fillChannel(Channel::ALPHA, 3);
    EXPECT_EQ(changedPixels(), 0);
}

TEST_P(DrawingDepthsTest, BlitFromNegativeSourceColumnStartsAtColumnZero) {
    RefHolder<Image> opaque = source(6, 1, false);
    g->blit(opaque.get(), 2, 0, -3, 0, 6, 1);
    EXPECT_EQ(at(4, 0), 0u);
    for (int32_t i = 0; i < 3; ++i) {
        EXPECT_EQ(at(5 + i, 0), colorAt(opaque.get(), i, 0)) << i;
    }
    EXPECT_EQ(at(8, 0), 0u);
}

TEST_P(DrawingDepthsTest, BlitAtTheRightEdgeOrPastTheSourceIsCut) {
    RefHolder<Image> opaque = source(6, 1, false);
    g->blit(opaque.get(), 32, 0, 0, 0, 6, 1);
    EXPECT_EQ(changedPixels(), 0);
    g->blit(opaque.get(), 0, 1, 4, 0, 10, 1);
    EXPECT_EQ(at(0, 1), colorAt(opaque.get(), 4, 0));
    EXPECT_EQ(at(1, 1), colorAt(opaque.get(), 5, 0));
    EXPECT_EQ(at(2, 1), 0u);
    // Partly off the left and top edges of the target.
    RefHolder<Image> square = source(6, 6, false);
    g->blit(square.get(), -2, -5, 0, 0, 6, 6);
    EXPECT_EQ(at(0, 0), colorAt(square.get(), 2, 5));
    EXPECT_EQ(at(3, 0), colorAt(square.get(), 5, 5));
    EXPECT_EQ(at(4, 0), 0u);
}

TEST_P(DrawingDepthsTest, OffsetMovesClearButNotTheClip) {
    g->setClipRect(0, 0, 25, 30);
    g->setOffset(10, 20);
    g->setColor(PURE_GREEN);
    g->clear();
    EXPECT_EQ(*g->getClipRect(), (Rect{0, 0, 25, 30}));
    EXPECT_EQ(at(10, 20), PURE_GREEN);
    EXPECT_EQ(at(24, 29), PURE_GREEN);
    EXPECT_EQ(at(9, 20), 0u);
    EXPECT_EQ(at(10, 19), 0u);
    EXPECT_EQ(at(25, 29), 0u);
    EXPECT_EQ(at(24, 30), 0u);
}

TEST_P(DrawingDepthsTest, UnknownBlendModeDrawsOnlySourcesWithoutAlpha) {
    g->setBlendMode(2);
    RefHolder<Image> withAlpha = source(2, 2, true);
    g->blitWhole(withAlpha.get(), 0, 0);
    EXPECT_EQ(changedPixels(), 0);
    RefHolder<Image> opaque = source(2, 2, false);
    g->blitWhole(opaque.get(), 0, 0);
    EXPECT_EQ(at(1, 1), colorAt(opaque.get(), 1, 1));
    // A mask ignores the mode as well.
    g->setColor(RED);
    RefHolder<Image> mask = filled(1, 1, 1, 0, 255);
    g->blitWhole(mask.get(), 5, 5);
    EXPECT_NE(at(5, 5), 0u);
}

INSTANTIATE_TEST_SUITE_P(BothDepths, DrawingDepthsTest, ::testing::Values(2, 4),
                         [](const auto& info) { return std::to_string(info.param * 8) + "bit"; });

// Single random operations on fresh targets at both depths. Colors are chosen so that every
// 8-bit value is exactly a 5/6/5 field value; the results must then agree within one field step
// (the depths differ in uniform versus plain blending, the packed pair and quad rules and the
// rounding of interpolated samples, each worth at most one step). Alpha is not compared.
class CrossCheck {
public:
    explicit CrossCheck(uint32_t seed) : random(seed) {}

    uint32_t pick(uint32_t below) {
        return std::uniform_int_distribution<uint32_t>(0, below - 1)(random);
    }
    int32_t range(int32_t low, int32_t high) {
        return std::uniform_int_distribution<int32_t>(low, high)(random);
    }
    uint32_t color() { return ((pick(32) << 19) | (pick(64) << 10) | (pick(32) << 3)); }
    uint8_t alphaByte() {
        static constexpr uint8_t special[] = {0, 1, 5, 6, 127, 128, 250, 251, 252, 254, 255};
        return pick(2) ? special[pick(sizeof special)] : static_cast<uint8_t>(pick(256));
    }

    // A random 4-byte image and its 2-byte conversion.
    std::pair<RefHolder<Image>, RefHolder<Image>> imagePair(int32_t w, int32_t h) {
        RefHolder<Image> wide{Image::createImage(w, h, 4)};
        for (int32_t y = 0; y < h; ++y) {
            for (int32_t x = 0; x < w; ++x) {
                put(wide.get(), x, y, color(), alphaByte());
            }
        }
        wide->setUseAlphaChannel(pick(3) != 0);
        RefHolder<Image> narrow{Image::copyImage(wide.get())};
        narrow->setFollowsDisplayDepth(true);
        narrow->convert(2);
        return {wide, narrow};
    }

    std::mt19937 random;
};

TEST(DrawingCrossCheck, BothDepthsDrawTheSameColorsWithinOneFieldStep) {
    CrossCheck check(20240611);
    constexpr int32_t W = 24;
    constexpr int32_t H = 16;
    int32_t changed = 0;
    for (int32_t round = 0; round < 3000; ++round) {
        auto [target32, target16] = check.imagePair(W, H);
        const int32_t sw = check.range(1, 12);
        const int32_t sh = check.range(1, 12);
        auto [source32, source16] = check.imagePair(sw, sh);
        RefHolder<Image> mask{Image::createImage(sw, sh, 1)};
        for (int32_t i = 0; i < sw * sh; ++i) {
            mask->getAlphaPlane()[i] = check.alphaByte();
        }
        const bool useMask = check.pick(4) == 0;
        RefHolder<Graphics> g32 = graphicsOf(target32.get());
        RefHolder<Graphics> g16 = graphicsOf(target16.get());
        RefHolder<Image> before{Image::copyImage(target32.get())};

        const uint32_t color = check.color() | (uint32_t{check.alphaByte()} << 24);
        const int32_t alpha = check.alphaByte();
        const int32_t mode = static_cast<int32_t>(check.pick(2));
        const bool smooth = check.pick(2) != 0;
        const int32_t ox = check.range(-3, 3);
        const int32_t oy = check.range(-3, 3);
        const Rect clip{check.range(-2, 8), check.range(-2, 6), check.range(0, 30),
                        check.range(0, 20)};
        const int32_t op = static_cast<int32_t>(check.pick(9));
        const bool vertical = check.pick(2) != 0;
        const int32_t a = check.range(-4, W + 2);
        const int32_t b = check.range(-4, H + 2);
        const int32_t c = check.range(-4, W + 2);
        const int32_t d = check.range(-4, H + 2);
        const int32_t sx = check.range(-2, sw);
        const int32_t sy = check.range(-2, sh);
        const double angle = check.range(-628, 628) / 100.0;
        const double scale = check.range(-30, 30) / 10.0;
        for (Graphics* g : {g32.get(), g16.get()}) {
            Image* src = useMask ? mask.get() : (g == g32.get() ? source32.get() : source16.get());
            g->setColor(color);
            g->setAlpha(alpha);
            g->setBlendMode(mode);
            g->setSmooth(smooth);
            g->setOffset(ox, oy);
            g->setClipRectR(clip);
            switch (op) {
                case 0:
                    g->drawPixel(a, b);
                    break;
                case 1:
                    g->drawLine(a, b, vertical ? a : c, d);
                    break;
                case 2:
                    g->drawLineAA(a + 0.3f, b + 0.6f, c + 0.5f, d + 0.1f);
                    break;
                case 3:
                    g->fillRect(a, b, c, d);
                    break;
                case 4:
                    g->blit(src, a, b, sx, sy, sw, sh);
                    break;
                case 5:
                    g->copyRect(src, a, b, sx, sy, sw, sh);
                    break;
                case 6:
                    g->blitRotated(src, angle, scale, a, b, 0, 0, sw, sh, sw / 2, sh / 2);
                    break;
                case 7:
                    g->blitStretched(src, sx, sy, sw, sh, a, b, c, d);
                    break;
                case 8:
                    g->blitChannelMax(src, Channel::ALPHA, a, b, sx, sy, sw, sh);
                    break;
            }
        }
        for (int32_t y = 0; y < H; ++y) {
            for (int32_t x = 0; x < W; ++x) {
                const uint32_t wide = colorAt(target32.get(), x, y);
                const uint32_t narrow = colorAt(target16.get(), x, y);
                changed += wide != colorAt(before.get(), x, y);
                for (const auto& [shift, step] : {std::pair{16, 8}, {8, 4}, {0, 8}}) {
                    const int32_t fieldWide = static_cast<int32_t>((wide >> shift) & 0xFF) / step;
                    const int32_t fieldNarrow =
                        static_cast<int32_t>((narrow >> shift) & 0xFF) / step;
                    ASSERT_LE(std::abs(fieldWide - fieldNarrow), 1)
                        << "round " << round << " operation " << op << " at " << x << "," << y
                        << std::hex << " 32-bit " << wide << " 16-bit " << narrow;
                }
            }
        }
    }
    // The operations did draw: the comparison is not between untouched targets.
    EXPECT_GT(changed, 3000);
}

// Every vector build of the row loops against the portable loops, pixel for pixel: every width
// from empty to past two 32-byte steps, at every drawing alpha, from an odd start, over alpha
// bytes in runs of four that are all opaque, all clear, mixed or one short of opaque.
TEST(BlendRowLoops, VectorLoopsDrawWhatThePortableLoopsDraw) {
    std::mt19937 random(59);
    constexpr int32_t most = 41;
    std::vector<uint32_t> pixels(most + 1), colors(most + 1);
    std::vector<uint16_t> pixels16(most + 1), colors16(most + 1);
    std::vector<uint8_t> alphas(most + 1);
    const auto refill = [&] {
        for (int32_t i = 0; i <= most; ++i) {
            const uint32_t run = (i / 4 + random()) % 4;
            const uint32_t value = random() & 0xFF;
            alphas[i] = run == 0 ? 255 : run == 1 ? 0 : run == 2 ? value : (i % 4 ? 255 : value);
            colors[i] = (uint32_t{alphas[i]} << 24) | (random() & 0xFFFFFF);
            pixels[i] = random();
            colors16[i] = static_cast<uint16_t>(random());
            pixels16[i] = static_cast<uint16_t>(random());
        }
    };
    const blendrows::RowLoops& portable = blendrows::portable();
    int32_t checked = 0;
    for (const int bytes : {16, 32}) {
        const blendrows::RowLoops* vector = blendrows::vectors(bytes);
        if (!vector) {
            continue;
        }
        for (int32_t w = 0; w <= most - 1; ++w) {
            for (uint32_t a = w == most - 1 ? 0 : 250; a <= 256; ++a) {
                refill();
                // Both loops draw from the second pixel on, so no row starts aligned.
                const auto same = [&](auto draw, auto& target) {
                    auto expected = target;
                    draw(portable, expected.data() + 1);
                    draw(*vector, target.data() + 1);
                    EXPECT_EQ(target, expected)
                        << bytes << " bytes, width " << w << ", alpha " << a;
                };
                const uint8_t* m = alphas.data() + 1;
                const UnalignedPixel32* s = colors.data() + 1;
                const UnalignedPixel16* s16 = colors16.data() + 1;
                if (a < 256) {
                    same([&](auto& rows, auto* d) { rows.alpha32(d, s, w, a); }, pixels);
                    same([&](auto& rows, auto* d) { rows.add32(d, s, w, a); }, pixels);
                    same([&](auto& rows, auto* d) { rows.mask32(d, m, w, colors[0], a); }, pixels);
                    same([&](auto& rows, auto* d) { rows.alpha16(d, s16, m, w, a); }, pixels16);
                    same([&](auto& rows, auto* d) { rows.add16(d, s16, m, w, a); }, pixels16);
                    same([&](auto& rows, auto* d) { rows.mask16(d, m, w, colors16[0], a); },
                         pixels16);
                }
                same([&](auto& rows, auto* d) { rows.store32(d, s, w); }, pixels);
                same([&](auto& rows, auto* d) { rows.fill32(d, w, colors[0], a); }, pixels);
                same([&](auto& rows, auto* d) { rows.alphaFull16(d, s16, m, w); }, pixels16);
                same([&](auto& rows, auto* d) { rows.fixed16(d, s16, w, a); }, pixels16);
                same([&](auto& rows, auto* d) { rows.fill16(d, w, colors16[0], a); }, pixels16);
                ++checked;
            }
        }
    }
    EXPECT_GT(checked, 0);
}

}  // namespace drawing_depths_test
