#include "framework/platform/Graphics16.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "framework/platform/DisplayDepth.h"
#include "framework/platform/ImageDD.h"
#include "framework/platform/PixelRules.h"
#include "testsupport/platform/PixelAccess.h"

using namespace testpixels;

namespace graphics16_test {

constexpr uint16_t rgb565(uint32_t r, uint32_t g, uint32_t b) {
    return static_cast<uint16_t>((r << 11) | (g << 5) | b);
}

// A 2-byte image that lost its alpha plane: channel-0 drawing must leave it alone.
class PlanelessImage : public Image {
public:
    PlanelessImage() {
        width = 4;
        height = 4;
        allocate(2);
        setAlphaPlane(nullptr);
    }
};

class Graphics16Test : public ::testing::Test {
protected:
    RefHolder<Image> target = filled(16, 8, 2, 0x000000, 0x5A);
    RefHolder<Graphics> g = graphicsOf(target.get());

    uint16_t at(int32_t x, int32_t y) const { return get16(target.get(), x, y); }
    void expectAlphaPlaneUntouched() {
        for (int32_t y = 0; y < 8; ++y) {
            for (int32_t x = 0; x < 16; ++x) {
                ASSERT_EQ(alpha(target.get(), x, y), 0x5A) << x << "," << y;
            }
        }
    }
};

TEST(PixelRules16, FieldArithmetic) {
    EXPECT_EQ(pixel16::fromColor(0xFFFFFFFF), 0xFFFF);
    EXPECT_EQ(pixel16::fromColor(0x00070307), 0x0000);
    EXPECT_EQ(pixel16::fromColor(0x80FF8040), 0xFC08);
    // Blue 31 toward 0 by 128: 31 + (-31 * 128 >> 8) = 31 - 16.
    EXPECT_EQ(pixel16::blend(rgb565(0, 0, 31), rgb565(31, 0, 0), 128), rgb565(15, 0, 15));
    for (uint32_t k : {1u, 100u, 253u, 255u}) {
        for (int s = 0; s < 64; ++s) {
            for (int d = 0; d < 64; d += 3) {
                const int expected = d + (((s - d) * static_cast<int>(k)) >> 8);
                EXPECT_EQ(pixel16::blend(rgb565(0, d, 0), rgb565(0, s, 0), k) >> 5, expected);
            }
        }
    }
    EXPECT_EQ(pixel16::add(rgb565(30, 60, 1), rgb565(31, 63, 16), 254), rgb565(31, 63, 16));
    EXPECT_EQ(pixel16::writeField(0xFFFF, 2, 0), rgb565(31, 0, 31));
}

TEST_F(Graphics16Test, SetColorComputesTheNativeColor) {
    g->setColor(0xFFFFFFFF);
    EXPECT_EQ(g->getNativeColor(), 0xFFFFu);
    g->setColor(0xFF070307);
    EXPECT_EQ(g->getNativeColor(), 0u);
    EXPECT_EQ(g->getColor(), 0xFF070307u);
}

TEST_F(Graphics16Test, ColorDrawingNeverChangesTheAlphaPlane) {
    g->setColor(0xFFFFFF);
    g->drawPixel(0, 0);
    EXPECT_EQ(at(0, 0), 0xFFFF);
    g->setAlpha(128);
    g->fillRect(1, 0, 3, 3);
    EXPECT_EQ(at(1, 0), rgb565(15, 31, 15));
    g->drawLine(0, 5, 15, 5);
    g->drawLine(0, 6, 9, 7);
    g->drawLineAA(1.5f, 1.5f, 14.0f, 6.0f);
    RefHolder<Image> source = filled(4, 4, 2, 0xFFFFFF, 200);
    g->blitWhole(source.get(), 8, 0);
    g->setBlendMode(BlendMode::ADDITIVE);
    g->blitWhole(source.get(), 10, 2);
    g->blitRotated(source.get(), 0.5, 1.5, 4, 2, 0, 0, 4, 4, 2, 2);
    g->blitStretched(source.get(), 0, 0, 4, 4, 0, 0, 16, 8);
    expectAlphaPlaneUntouched();
}

TEST_F(Graphics16Test, AlphaPlaneSourceAtFullAlphaLandsExactlyAtAnyWidth) {
    for (int32_t width = 1; width <= 9; ++width) {
        RefHolder<Image> source = filled(width, 1, 2, 0x000000, 255);
        for (int32_t x = 0; x < width; ++x) {
            set16(source.get(), x, 0, static_cast<uint16_t>(0x1234 * (x + 1)));
        }
        g->blitWhole(source.get(), 0, 0);
        for (int32_t x = 0; x < width; ++x) {
            EXPECT_EQ(at(x, 0), get16(source.get(), x, 0)) << width << " " << x;
        }
    }
    // At alpha 254 each pixel blends by 255 * 254 >> 8 = 253.
    RefHolder<Image> white = filled(5, 1, 2, 0xFFFFFF, 255);
    g->setAlpha(254);
    g->blitWhole(white.get(), 0, 1);
    for (int32_t x = 0; x < 5; ++x) {
        EXPECT_EQ(at(x, 1), pixel16::blend(0, 0xFFFF, 253));
        EXPECT_EQ(at(x, 1), rgb565(30, 62, 30));
    }
}

TEST_F(Graphics16Test, QuadsOfFullAlphaStoreWhileMixedQuadsBlendBy255) {
    RefHolder<Image> source = filled(9, 1, 2, 0xFFFFFF, 255);
    alpha(source.get(), 3, 0) = 128;
    alpha(source.get(), 5, 0) = 0;
    alpha(source.get(), 6, 0) = 0;
    alpha(source.get(), 7, 0) = 0;
    g->blitWhole(source.get(), 0, 0);
    EXPECT_EQ(at(0, 0), rgb565(30, 62, 30));
    EXPECT_EQ(at(2, 0), rgb565(30, 62, 30));
    EXPECT_EQ(at(3, 0), rgb565(15, 31, 15));
    // Second quad mixes 255 and 0.
    EXPECT_EQ(at(4, 0), rgb565(30, 62, 30));
    EXPECT_EQ(at(5, 0), 0);
    // The remaining pixel stores at 255.
    EXPECT_EQ(at(8, 0), 0xFFFF);
    // A quad of four 255s stores.
    RefHolder<Image> opaque = filled(4, 1, 2, 0xFFFFFF, 255);
    g->blitWhole(opaque.get(), 0, 2);
    EXPECT_EQ(at(3, 2), 0xFFFF);
}

TEST_F(Graphics16Test, BlendModesAndSourcesWithoutAlpha) {
    RefHolder<Image> source = filled(2, 1, 2, 0x808080, 128);  // fields 16, 32, 16
    g->setBlendMode(BlendMode::ADDITIVE);
    g->blitWhole(source.get(), 0, 0);
    // ea = 127: 16 * 127 >> 8 = 7, 32 * 127 >> 8 = 15.
    EXPECT_EQ(at(0, 0), rgb565(7, 15, 7));
    g->blitWhole(source.get(), 0, 0);
    EXPECT_EQ(at(1, 0), rgb565(14, 30, 14));
    g->setBlendMode(2);
    g->blitWhole(source.get(), 0, 1);
    EXPECT_EQ(at(0, 1), 0);
    // Without alpha the mode is ignored: stored at 255, blended by alpha below.
    source->setUseAlphaChannel(false);
    g->blitWhole(source.get(), 0, 1);
    EXPECT_EQ(at(0, 1), rgb565(16, 32, 16));
    g->setAlpha(128);
    g->blitWhole(source.get(), 0, 2);
    EXPECT_EQ(at(0, 2), rgb565(8, 16, 8));
    // Alpha below 255 in mode 0 blends by ea.
    source->setUseAlphaChannel(true);
    g->setBlendMode(BlendMode::ALPHA);
    g->blitWhole(source.get(), 0, 3);
    EXPECT_EQ(at(0, 3), rgb565(4, 8, 4));  // ea = 128 * 128 >> 8 = 64
}

TEST_F(Graphics16Test, MaskBlitUsesTheNativeColor) {
    RefHolder<Image> mask = filled(2, 1, 1, 0, 0);
    alpha(mask.get(), 1, 0) = 255;
    g->setColor(0xFFFFFF);
    g->blitWhole(mask.get(), 0, 0);
    EXPECT_EQ(at(0, 0), 0);
    EXPECT_EQ(at(1, 0), rgb565(30, 62, 30));
    expectAlphaPlaneUntouched();
}

TEST_F(Graphics16Test, ChannelWritesUseFieldValuesAndTheAlphaPlane) {
    g->setPixelChannel(Channel::RED, 200, 0, 0);
    EXPECT_EQ(at(0, 0), rgb565(8, 0, 0));
    g->setPixelChannel(Channel::GREEN, 200, 0, 0);
    EXPECT_EQ(at(0, 0), rgb565(8, 8, 0));
    g->fillRectChannel(Channel::BLUE, 33, 0, 0, 2, 1);
    EXPECT_EQ(at(0, 0), rgb565(8, 8, 1));
    EXPECT_EQ(at(1, 0), rgb565(0, 0, 1));
    g->setPixelChannel(Channel::ALPHA, 7, 2, 0);
    EXPECT_EQ(alpha(target.get(), 2, 0), 7);
    g->fillRectChannel(Channel::ALPHA, 9, 3, 1, 2, 2);
    EXPECT_EQ(alpha(target.get(), 4, 2), 9);
    EXPECT_EQ(alpha(target.get(), 5, 2), 0x5A);
    EXPECT_EQ(at(4, 2), 0);
}

TEST_F(Graphics16Test, ChannelBlitsWriteTheAlphaPlaneOnly) {
    RefHolder<Image> wide = filled(2, 1, 4, 0xABCDEF, 0x31);
    g->blitChannel(wide.get(), Channel::GREEN, 0, 0, 0, 0, 2, 1);
    EXPECT_EQ(alpha(target.get(), 0, 0), 0x31);
    EXPECT_EQ(at(0, 0), 0);
    RefHolder<Image> mask = filled(2, 1, 1, 0, 0x80);
    g->blitChannelMax(mask.get(), Channel::ALPHA, 0, 0, 0, 0, 2, 1);
    EXPECT_EQ(alpha(target.get(), 0, 0), 0x80);
    g->blitChannelMin(wide.get(), Channel::BLUE, 0, 0, 0, 0, 2, 1);
    EXPECT_EQ(alpha(target.get(), 0, 0), 0x31);
    // Channels other than 0 from 1- and 2-byte sources draw nothing.
    RefHolder<Image> narrow = filled(2, 1, 2, 0xFFFFFF, 0xEE);
    g->blitChannel(narrow.get(), Channel::RED, 4, 0, 0, 0, 2, 1);
    g->blitChannelMax(mask.get(), Channel::BLUE, 4, 0, 0, 0, 2, 1);
    EXPECT_EQ(alpha(target.get(), 4, 0), 0x5A);
    g->blitChannel(narrow.get(), Channel::ALPHA, 4, 0, 0, 0, 2, 1);
    EXPECT_EQ(alpha(target.get(), 4, 0), 0xEE);
    EXPECT_EQ(at(4, 0), 0);
}

TEST_F(Graphics16Test, ChannelsOutsideTheFourDrawNothing) {
    RefHolder<Image> wide = filled(2, 2, 4, 0xFFFFFF, 0x11);
    for (int32_t channel : {-1, 4, 1000}) {
        g->setPixelChannel(channel, 0xFFFF, 0, 0);
        g->fillRectChannel(channel, 0xFFFF, 0, 0, 4, 4);
        g->blitChannel(wide.get(), channel, 0, 0, 0, 0, 2, 2);
        g->blitChannelMax(wide.get(), channel, 0, 0, 0, 0, 2, 2);
    }
    for (int32_t y = 0; y < 4; ++y) {
        for (int32_t x = 0; x < 4; ++x) {
            EXPECT_EQ(at(x, y), 0);
        }
    }
    expectAlphaPlaneUntouched();
}

TEST(Graphics16Planeless, ChannelZeroWithoutAnAlphaPlaneDrawsNothing) {
    RefHolder<Image> image{new PlanelessImage()};
    ASSERT_EQ(image->getAlphaPlane(), nullptr);
    RefHolder<Image> mask = filled(4, 4, 1, 0, 0x80);
    RefHolder<Graphics> g = graphicsOf(image.get());
    g->setPixelChannel(Channel::ALPHA, 1, 0, 0);
    g->fillChannel(Channel::ALPHA, 2);
    g->blitChannelWhole(mask.get(), Channel::ALPHA, 0, 0);
    g->blitChannelMaxWhole(mask.get(), Channel::ALPHA, 0, 0);
    g->copyRectWhole(mask.get(), 0, 0);
    // Color drawing still works.
    g->setColor(0xFFFFFF);
    g->fillRect(0, 0, 1, 1);
    EXPECT_EQ(get16(image.get(), 0, 0), 0xFFFF);
}

TEST(Graphics16Surface, BackBufferHasAnAlphaPlaneAndCopyRectSkipsItForSurfaces) {
    setDisplayBytesPerPixel(2);
    auto memory = std::make_shared<std::vector<uint8_t>>(8 * 4 * 2);
    std::vector<uint8_t> plane(8 * 4, 0x10);
    EXPECT_EQ(ImageDD::createSurface(SurfaceMemory{memory->data(), nullptr, 8, 4, 16, 2, memory}),
              nullptr);
    RefHolder<Image> surface{
        ImageDD::createSurface(SurfaceMemory{memory->data(), plane.data(), 8, 4, 16, 2, memory})};
    setDisplayBytesPerPixel(4);
    ASSERT_TRUE(surface);
    RefHolder<Graphics> g = graphicsOf(surface.get());
    ASSERT_TRUE(g);
    g->fillChannel(Channel::ALPHA, 0x44);
    EXPECT_EQ(plane[31], 0x44);

    RefHolder<Image> memoryImage = filled(2, 2, 2, 0xFFFFFF, 0x99);
    g->copyRectWhole(memoryImage.get(), 1, 1);
    const auto surfaceAt = [&](int32_t x, int32_t y) {
        uint16_t value;
        std::memcpy(&value, memory->data() + y * 16 + x * 2, 2);
        return value;
    };
    EXPECT_EQ(surfaceAt(1, 1), 0xFFFF);
    EXPECT_EQ(surfaceAt(0, 0), 0);
    EXPECT_EQ(plane[1 * 8 + 1], 0x44);
    // Between memory images the alpha plane is copied as well.
    RefHolder<Image> other = filled(4, 4, 2, 0x000000, 0x00);
    RefHolder<Graphics> og = graphicsOf(other.get());
    og->copyRectWhole(memoryImage.get(), 1, 1);
    EXPECT_EQ(get16(other.get(), 2, 2), 0xFFFF);
    EXPECT_EQ(alpha(other.get(), 2, 2), 0x99);
    EXPECT_EQ(alpha(other.get(), 3, 3), 0x00);
    // From a surface the color only.
    RefHolder<Image> third = filled(8, 4, 2, 0x000000, 0x00);
    graphicsOf(third.get())->copyRectWhole(surface.get(), 0, 0);
    EXPECT_EQ(get16(third.get(), 1, 1), 0xFFFF);
    EXPECT_EQ(alpha(third.get(), 1, 1), 0x00);
}

TEST_F(Graphics16Test, BlitsOfAnotherDepthDrawNothing) {
    RefHolder<Image> wide = filled(4, 4, 4, 0xFFFFFF, 255);
    g->blitWhole(wide.get(), 0, 0);
    g->copyRectWhole(wide.get(), 0, 0);
    g->blitRotated(wide.get(), 0.3, 1.0, 0, 0, 0, 0, 4, 4, 2, 2);
    g->blitStretched(wide.get(), 0, 0, 4, 4, 0, 0, 8, 8);
    for (int32_t y = 0; y < 8; ++y) {
        for (int32_t x = 0; x < 8; ++x) {
            EXPECT_EQ(at(x, y), 0);
        }
    }
    expectAlphaPlaneUntouched();
}

TEST_F(Graphics16Test, RotatedThresholdsUseTheSourceAlphaPlane) {
    RefHolder<Image> source = filled(3, 1, 2, 0xFFFFFF, 5);  // ea 4: nothing
    alpha(source.get(), 1, 0) = 252;                         // ea 251: stored
    alpha(source.get(), 2, 0) = 128;                         // ea 127
    g->blitRotated(source.get(), 0.0, 1.0, 0, 0, 0, 0, 3, 1, 0, 0);
    EXPECT_EQ(at(0, 0), 0);
    EXPECT_EQ(at(1, 0), 0xFFFF);
    EXPECT_EQ(at(2, 0), rgb565(15, 31, 15));
    g->blitStretched(source.get(), 0, 0, 3, 1, 0, 1, 6, 2);
    EXPECT_EQ(at(2, 2), rgb565(30, 61, 30));  // blends by 251, no threshold
}

TEST_F(Graphics16Test, AxisLinesStoreTheNativeColor) {
    g->setColor(0x00F800);
    g->setClipRect(2, 0, 100, 100);
    g->drawLine(-5, 1, 5, 1);
    g->drawLine(7, 9, 7, -3);
    for (int32_t x = 0; x < 8; ++x) {
        EXPECT_EQ(at(x, 1), (x >= 2 && x <= 5) || x == 7 ? rgb565(0, 62, 0) : 0) << x;
    }
    EXPECT_EQ(at(7, 0), rgb565(0, 62, 0));
    EXPECT_EQ(at(7, 7), rgb565(0, 62, 0));
}

}  // namespace graphics16_test
