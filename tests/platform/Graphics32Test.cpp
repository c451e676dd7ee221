#include "framework/platform/Graphics32.h"

#include <gtest/gtest.h>

#include <map>
#include <utility>

#include "framework/platform/LineGeometry.h"
#include "framework/platform/PixelRules.h"
#include "testsupport/platform/PixelAccess.h"

using namespace testpixels;

namespace graphics32_test {

class Graphics32Test : public ::testing::Test {
protected:
    RefHolder<Image> target = filled(16, 8, 4, 0x000000, 255);
    RefHolder<Graphics> g = graphicsOf(target.get());

    uint32_t at(int32_t x, int32_t y) const { return get32(target.get(), x, y); }
};

TEST(PixelRules32, BlendShiftsTowardMinusInfinityAndKeepsTheTargetAlpha) {
    // Blue 255 toward 0 by 128: 255 + (-255 * 128 >> 8) = 255 - 128.
    EXPECT_EQ(pixel32::blend(0xFF0000FF, 0x00FF0000, 128), 0xFF7F007Fu);
    EXPECT_EQ(pixel32::blend(0x12345678, 0xFFABCDEF, 0), 0x12345678u);
    EXPECT_EQ(pixel32::blend(0x12345678, 0xFFABCDEF, 256), 0x12ABCDEFu);
    // Checked against the signed formula for every byte pair at a few weights.
    for (uint32_t k : {1u, 77u, 128u, 254u, 255u}) {
        for (int s = 0; s < 256; s += 5) {
            for (int d = 0; d < 256; d += 3) {
                const int expected = d + (((s - d) * static_cast<int>(k)) >> 8);
                EXPECT_EQ(pixel32::blend(static_cast<uint32_t>(d) << 8,
                                         static_cast<uint32_t>(s) << 8, k) >>
                              8,
                          static_cast<uint32_t>(expected));
            }
        }
    }
}

TEST(PixelRules32, UniformTouchesAllFourBytesAndAddSaturates) {
    for (uint32_t a : {1u, 100u, 200u, 255u}) {
        for (int s = 0; s < 256; s += 15) {
            for (int d = 0; d < 256; d += 17) {
                const uint32_t expected = d + ((s * a) >> 8) - ((d * a) >> 8);
                const uint32_t result = pixel32::uniform(0x01010101u * d, 0x01010101u * s, a);
                EXPECT_EQ(result, 0x01010101u * expected) << a << " " << s << " " << d;
            }
        }
    }
    EXPECT_EQ(pixel32::add(0x40F0F0F0, 0x80808080, 127), 0x40FFFFFFu);
    EXPECT_EQ(pixel32::add(0x40102030, 0x00010203, 256), 0x40112233u);
    EXPECT_EQ(pixel32::writeChannel(0x11223344, 2, 0x1AB), 0x1122AB44u);
}

TEST_F(Graphics32Test, DrawPixelStoresOrBlendsAndKeepsAlpha) {
    set32(target.get(), 1, 1, 0xFF0000FF);
    g->setColor(0x00FF0000);
    g->setAlpha(128);
    g->drawPixel(1, 1);
    EXPECT_EQ(at(1, 1), 0xFF7F007Fu);
    set32(target.get(), 2, 1, 0x55000000);
    g->setAlpha(255);
    g->drawPixel(2, 1);
    EXPECT_EQ(at(2, 1), 0x55FF0000u);
    g->setAlpha(0);
    g->drawPixel(3, 1);
    EXPECT_EQ(at(3, 1), 0xFF000000u);
}

TEST_F(Graphics32Test, FillRectStoresColorButKeepsEachPixelsAlpha) {
    set32(target.get(), 2, 2, 0xAA000000);
    g->setColor(0x12ABCDEF);
    g->fillRect(2, 2, 3, 2);
    EXPECT_EQ(at(2, 2), 0xAAABCDEFu);
    EXPECT_EQ(at(4, 3), 0xFFABCDEFu);
    EXPECT_EQ(at(5, 3), 0xFF000000u);
    EXPECT_EQ(at(2, 4), 0xFF000000u);
    g->setColor(0xFFFFFFFF);
    g->setAlpha(128);
    g->fillRect(0, 0, 1, 1);
    EXPECT_EQ(at(0, 0), 0xFF7F7F7Fu);
}

TEST_F(Graphics32Test, OpaquePerPixelAlphaBlitIsExactOnlyForPairs) {
    RefHolder<Image> source = filled(3, 1, 4, 0xFFFFFF, 255);
    g->blitWhole(source.get(), 0, 0);
    EXPECT_EQ(at(0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(at(1, 0), 0xFFFFFFFFu);
    // The unpaired third pixel blends by 254: 255 * 254 >> 8 = 253.
    EXPECT_EQ(at(2, 0), 0xFFFDFDFDu);
    // A pair with one pixel below full opacity blends both.
    put(source.get(), 1, 0, 0xFFFFFF, 128);
    g->blitWhole(source.get(), 0, 1);
    EXPECT_EQ(at(0, 1), 0xFFFDFDFDu);
    EXPECT_EQ(at(1, 1), 0xFF7E7E7Eu);
    // Pairs start at the clipped left edge.
    put(source.get(), 1, 0, 0xFFFFFF, 255);
    g->setClipRect(1, 0, 100, 100);
    g->blitWhole(source.get(), 0, 2);
    EXPECT_EQ(at(0, 2), 0xFF000000u);
    EXPECT_EQ(at(1, 2), 0xFFFFFFFFu);
    EXPECT_EQ(at(2, 2), 0xFFFFFFFFu);
}

TEST_F(Graphics32Test, AdditiveBlitAddsScaledSourceAndPairsAddWhole) {
    set32(target.get(), 0, 0, 0xFFF0F0F0);
    RefHolder<Image> source = filled(1, 1, 4, 0x808080, 128);
    g->setBlendMode(BlendMode::ADDITIVE);
    g->blitWhole(source.get(), 0, 0);
    EXPECT_EQ(at(0, 0), 0xFFFFFFFFu);
    // 1 * 254 >> 8 is 0, but a pair of full opacity adds the whole source.
    RefHolder<Image> faint = filled(3, 1, 4, 0x010101, 255);
    g->blitWhole(faint.get(), 0, 1);
    EXPECT_EQ(at(0, 1), 0xFF010101u);
    EXPECT_EQ(at(1, 1), 0xFF010101u);
    EXPECT_EQ(at(2, 1), 0xFF000000u);
    g->setBlendMode(2);
    g->blitWhole(source.get(), 5, 5);
    EXPECT_EQ(at(5, 5), 0xFF000000u);
}

TEST_F(Graphics32Test, SourcesWithoutAlphaStoreOrBlendUniformly) {
    RefHolder<Image> source = filled(2, 1, 4, 0xC0C0C0, 0x40);
    source->setUseAlphaChannel(false);
    g->setBlendMode(7);  // ignored for sources without alpha
    g->blitWhole(source.get(), 0, 0);
    EXPECT_EQ(at(0, 0), 0xFFC0C0C0u);
    g->setAlpha(128);
    g->blitWhole(source.get(), 0, 1);
    // Every byte, alpha included: d + (s * 128 >> 8) - (d * 128 >> 8).
    EXPECT_EQ(at(0, 1), 0xA0606060u);
}

TEST_F(Graphics32Test, MaskBlitDrawsTheColorThroughTheMask) {
    RefHolder<Image> mask = filled(3, 1, 1, 0, 0);
    alpha(mask.get(), 1, 0) = 255;
    alpha(mask.get(), 2, 0) = 128;
    g->setColor(0xFF00FF00);
    g->blitWhole(mask.get(), 0, 0);
    EXPECT_EQ(at(0, 0), 0xFF000000u);
    EXPECT_EQ(at(1, 0), 0xFF00FD00u);  // 255 * 254 >> 8
    EXPECT_EQ(at(2, 0), 0xFF007E00u);  // ea = 127: 255 * 127 >> 8
}

TEST_F(Graphics32Test, CopyRectCopiesAlphaWhereBlitDoesNot) {
    RefHolder<Image> source = filled(2, 2, 4, 0x123456, 0x77);
    source->setUseAlphaChannel(false);
    g->copyRectWhole(source.get(), 0, 0);
    g->blitWhole(source.get(), 4, 0);
    EXPECT_EQ(at(1, 1), 0x77123456u);
    EXPECT_EQ(at(5, 1), 0xFF123456u);
    // A mask source becomes the alpha bytes.
    RefHolder<Image> mask = filled(1, 1, 1, 0, 0x33);
    g->copyRectWhole(mask.get(), 0, 0);
    EXPECT_EQ(at(0, 0), 0x33123456u);
}

TEST_F(Graphics32Test, CopyRectWithinOneImageMovesOverlappingRowsIntact) {
    for (int32_t x = 0; x < 6; ++x) {
        set32(target.get(), x, 0, 0xFF000000u | static_cast<uint32_t>(x + 1));
    }
    g->copyRect(target.get(), 1, 0, 0, 0, 5, 1);
    for (int32_t x = 1; x < 6; ++x) {
        EXPECT_EQ(at(x, 0), 0xFF000000u | static_cast<uint32_t>(x)) << x;
    }
    g->copyRect(target.get(), 0, 0, 2, 0, 4, 1);
    for (int32_t x = 0; x < 4; ++x) {
        EXPECT_EQ(at(x, 0), 0xFF000000u | static_cast<uint32_t>(x + 2)) << x;
    }
}

TEST_F(Graphics32Test, ChannelOperationsWriteOneByte) {
    set32(target.get(), 0, 0, 0x10203040);
    g->setPixelChannel(Channel::RED, 0xEE, 0, 0);
    EXPECT_EQ(at(0, 0), 0x10EE3040u);
    g->fillRectChannel(Channel::ALPHA, 0x80, 0, 0, 2, 1);
    EXPECT_EQ(at(0, 0), 0x80EE3040u);
    EXPECT_EQ(at(1, 0), 0x80000000u);
    g->fillChannel(Channel::BLUE, 9);
    EXPECT_EQ(at(0, 0), 0x80EE3009u);
    EXPECT_EQ(at(15, 7), 0xFF000009u);

    RefHolder<Image> mask = filled(2, 1, 1, 0, 0xC0);
    alpha(mask.get(), 1, 0) = 0x20;
    g->blitChannelMax(mask.get(), Channel::ALPHA, 0, 0, 0, 0, 2, 1);
    EXPECT_EQ(at(0, 0), 0xC0EE3009u);
    EXPECT_EQ(at(1, 0), 0x80000009u);
    g->blitChannelMin(mask.get(), Channel::ALPHA, 0, 0, 0, 0, 2, 1);
    EXPECT_EQ(at(0, 0), 0xC0EE3009u);
    EXPECT_EQ(at(1, 0), 0x20000009u);
    RefHolder<Image> wide = filled(1, 1, 4, 0xAABBCC, 0x11);
    g->blitChannel(wide.get(), Channel::GREEN, 0, 0, 0, 0, 1, 1);
    EXPECT_EQ(at(0, 0), 0xC0EEBB09u);
    // The channel blits also read the alpha plane of 2-byte images.
    RefHolder<Image> narrow = filled(1, 1, 2, 0xFFFFFF, 0x42);
    g->blitChannel(narrow.get(), Channel::RED, 0, 0, 0, 0, 1, 1);
    EXPECT_EQ(at(0, 0), 0xC042BB09u);
}

TEST_F(Graphics32Test, ChannelsOutsideTheFourDrawNothing) {
    RefHolder<Image> mask = filled(2, 2, 1, 0, 0x99);
    for (int32_t channel : {-1, 4, 100}) {
        g->setPixelChannel(channel, 0x55, 0, 0);
        g->fillRectChannel(channel, 0x55, 0, 0, 4, 4);
        g->blitChannel(mask.get(), channel, 0, 0, 0, 0, 2, 2);
        g->blitChannelMin(mask.get(), channel, 0, 0, 0, 0, 2, 2);
        g->blitChannelMax(mask.get(), channel, 0, 0, 0, 0, 2, 2);
    }
    for (int32_t y = 0; y < 4; ++y) {
        for (int32_t x = 0; x < 4; ++x) {
            EXPECT_EQ(at(x, y), 0xFF000000u);
        }
    }
}

TEST_F(Graphics32Test, BlitsOfAnotherDepthDrawNothing) {
    RefHolder<Image> narrow = filled(4, 4, 2, 0xFFFFFF, 255);
    narrow->setUseAlphaChannel(false);
    g->blitWhole(narrow.get(), 0, 0);
    g->copyRectWhole(narrow.get(), 0, 0);
    g->blitRotated(narrow.get(), 0.3, 1.0, 0, 0, 0, 0, 4, 4, 2, 2);
    g->blitStretched(narrow.get(), 0, 0, 4, 4, 0, 0, 8, 8);
    for (int32_t y = 0; y < 8; ++y) {
        for (int32_t x = 0; x < 8; ++x) {
            EXPECT_EQ(at(x, y), 0xFF000000u);
        }
    }
}

TEST_F(Graphics32Test, AxisLinesAreClippedSpansAndOthersFollowBresenham) {
    g->setColor(0xFFFFFF);
    g->setClipRect(2, 0, 100, 100);
    g->drawLine(-5, 1, 5, 1);
    for (int32_t x = 0; x < 8; ++x) {
        EXPECT_EQ(at(x, 1), x >= 2 && x <= 5 ? 0xFFFFFFFFu : 0xFF000000u) << x;
    }
    g->resetClip();
    g->setAlpha(128);
    g->drawLine(0, 3, 3, 4);
    EXPECT_EQ(at(0, 3), 0xFF7F7F7Fu);
    EXPECT_EQ(at(1, 3), 0xFF7F7F7Fu);
    EXPECT_EQ(at(2, 4), 0xFF7F7F7Fu);
    EXPECT_EQ(at(3, 4), 0xFF7F7F7Fu);
    EXPECT_EQ(at(2, 3), 0xFF000000u);
}

TEST_F(Graphics32Test, AntialiasedLineBlendsByCoverageNotByAlpha) {
    g->setColor(0xFFFFFF);
    g->setAlpha(10);
    g->setOffset(1, 0);
    g->drawLineAA(1.2f, 1.7f, 12.6f, 5.1f);
    std::map<std::pair<int32_t, int32_t>, uint32_t> expected;
    traceLineAA(2.2f, 1.7f, 13.6f, 5.1f, *g->getClipRect(), 16, 8,
                [&](int32_t x, int32_t y, int32_t weight) {
                    const uint32_t before = expected.count({x, y}) ? expected[{x, y}] : 0xFF000000u;
                    expected[{x, y}] = pixel32::blend(before, 0xFFFFFF, weight);
                });
    ASSERT_FALSE(expected.empty());
    for (int32_t y = 0; y < 8; ++y) {
        for (int32_t x = 0; x < 16; ++x) {
            const auto found = expected.find({x, y});
            EXPECT_EQ(at(x, y), found == expected.end() ? 0xFF000000u : found->second);
        }
    }
    g->setAlpha(0);
    g->drawLineAA(1.0f, 0.0f, 9.0f, 7.0f);
    EXPECT_EQ(at(5, 3), 0xFF000000u);
}

TEST_F(Graphics32Test, RotatedBlitThresholdsAndTinyScale) {
    RefHolder<Image> source = filled(4, 1, 4, 0xFFFFFF, 255);
    put(source.get(), 0, 0, 0xFFFFFF, 5);    // ea 4: nothing
    put(source.get(), 1, 0, 0xFFFFFF, 7);    // ea 6: blend by 6
    put(source.get(), 2, 0, 0xFFFFFF, 252);  // ea 251: stored
    put(source.get(), 3, 0, 0xFFFFFF, 251);  // ea 250: blend by 250
    g->blitRotated(source.get(), 0.0, 0.00005, 0, 0, 0, 0, 4, 1, 0, 0);
    EXPECT_EQ(at(0, 0), 0xFF000000u);
    g->blitRotated(source.get(), 0.0, 1.0, 0, 0, 0, 0, 4, 1, 0, 0);
    EXPECT_EQ(at(0, 0), 0xFF000000u);
    EXPECT_EQ(at(1, 0), 0xFF050505u);
    EXPECT_EQ(at(2, 0), 0xFFFFFFFFu);
    EXPECT_EQ(at(3, 0), 0xFFF9F9F9u);
    // Stretched with nearest sampling blends by ea with no thresholds.
    g->blitStretched(source.get(), 0, 0, 4, 1, 0, 1, 4, 1);
    EXPECT_EQ(at(0, 1), 0xFF030303u);
    EXPECT_EQ(at(2, 1), 0xFFFAFAFAu);
}

TEST_F(Graphics32Test, RotatedBlitAtAngleZeroMatchesBlitAndSmoothAddsLeftTopBorder) {
    RefHolder<Image> source = filled(3, 3, 4, 0x000000, 255);
    source->setUseAlphaChannel(false);
    for (int32_t i = 0; i < 9; ++i) {
        put(source.get(), i % 3, i / 3, 0x101010u * (i + 1), 255);
    }
    RefHolder<Image> expected = filled(16, 8, 4, 0x000000, 255);
    RefHolder<Graphics> reference = graphicsOf(expected.get());
    reference->blit(source.get(), 5, 2, 0, 0, 3, 3);
    g->blitRotated(source.get(), 0.0, 1.0, 5, 2, 0, 0, 3, 3, 1, 1);
    for (int32_t y = 0; y < 8; ++y) {
        for (int32_t x = 0; x < 16; ++x) {
            EXPECT_EQ(at(x, y), get32(expected.get(), x, y)) << x << "," << y;
        }
    }
    g->clear();
    g->setSmooth(true);
    g->blitRotated(source.get(), 0.0, 1.0, 5, 2, 0, 0, 3, 3, 1, 1);
    EXPECT_EQ(at(4, 1), 0xFF101010u);  // edge sample above and left
    EXPECT_EQ(at(5, 2), 0xFF101010u);
    EXPECT_EQ(at(7, 4), 0xFF909090u);
    EXPECT_EQ(at(8, 4), 0xFF000000u);  // no border right or below
    EXPECT_EQ(at(7, 5), 0xFF000000u);
}

TEST_F(Graphics32Test, StretchedBlitRepeatsPixelsAndInterpolatesWhenSmooth) {
    RefHolder<Image> source = filled(2, 2, 4, 0x000000, 255);
    source->setUseAlphaChannel(false);
    put(source.get(), 1, 0, 0x808080, 255);
    put(source.get(), 0, 1, 0x404040, 255);
    put(source.get(), 1, 1, 0xC0C0C0, 255);
    g->blitStretched(source.get(), 0, 0, 2, 2, 0, 0, 4, 4);
    for (int32_t y = 0; y < 4; ++y) {
        for (int32_t x = 0; x < 4; ++x) {
            EXPECT_EQ(at(x, y), get32(source.get(), x / 2, y / 2) | 0xFF000000u);
        }
    }
    g->setSmooth(true);
    g->blitStretched(source.get(), 0, 0, 2, 2, 8, 0, 4, 4);
    EXPECT_EQ(at(8, 0), 0xFF000000u);
    EXPECT_EQ(at(9, 0), 0xFF404040u);   // half way to 0x80
    EXPECT_EQ(at(11, 3), 0xFFC0C0C0u);  // last row and column take the nearest pixel
}

TEST_F(Graphics32Test, EveryOperationLocksAndUnlocksItsImages) {
    RefHolder<Image> source = filled(2, 2, 4, 0xFFFFFF, 255);
    g->blitWhole(source.get(), 0, 0);
    g->fillRect(0, 0, 2, 2);
    g->drawPixel(0, 0);
    EXPECT_FALSE(target->isLocked());
    EXPECT_FALSE(source->isLocked());
    // A packed source is unpacked by its lock and then drawn.
    put(source.get(), 0, 0, 0x123456, 255);
    source->setUseAlphaChannel(false);
    ASSERT_TRUE(source->pack());
    g->blitWhole(source.get(), 4, 4);
    EXPECT_EQ(at(4, 4), 0xFF123456u);
}

}  // namespace graphics32_test
