// The grey and hue passes compared pixel by pixel on synthetic pictures of both depths, and
// the colour conversions at known values.
#include <gtest/gtest.h>

#include <cstdint>

#include "framework/core/RefHolder.h"
#include "framework/platform/Image.h"
#include "game/visuals/ImageEffects.h"

namespace image_effects_test {

uint32_t& pixelRef32(Image* image, int32_t x, int32_t y) {
    return reinterpret_cast<uint32_t*>(image->getPixels() + y * image->getPitch())[x];
}

uint16_t& pixelRef16(Image* image, int32_t x, int32_t y) {
    return reinterpret_cast<uint16_t*>(image->getPixels() + y * image->getPitch())[x];
}

// A 4 x 2 picture: pure red, white, a half-transparent blue-green and a dark grey-purple, twice.
RefHolder<Image> colours32() {
    RefHolder<Image> image(Image::createImage(4, 2, 4));
    const uint32_t row[4] = {0xFFFF0000u, 0xFFFFFFFFu, 0x8000C0A0u, 0xFF402050u};
    for (int32_t y = 0; y < 2; ++y) {
        for (int32_t x = 0; x < 4; ++x) {
            pixelRef32(image.get(), x, y) = row[x];
        }
    }
    return image;
}

TEST(ImageEffects, GreyPassOnBothDepthsIsClippedAndLeavesTheImageUnlocked) {
    RefHolder<Image> image = colours32();
    // Reaches past every edge: only the pixels inside change.
    greyImageRect(image.get(), 1, -5, 100, 7);
    EXPECT_FALSE(image->isLocked());
    EXPECT_EQ(pixelRef32(image.get(), 0, 0), 0xFFFF0000u);
    EXPECT_EQ(pixelRef32(image.get(), 1, 0), 0xFFFFFFFFu);
    // (0 * 3 + 192 * 6 + 160) / 10 = 131, alpha kept.
    EXPECT_EQ(pixelRef32(image.get(), 2, 0), 0x80838383u);
    // (64 * 3 + 32 * 6 + 80) / 10 = 46.
    EXPECT_EQ(pixelRef32(image.get(), 3, 0), 0xFF2E2E2Eu);
    EXPECT_EQ(pixelRef32(image.get(), 2, 1), 0x80838383u);
    greyImageRect(image.get(), 0, 1, 1, 1);
    EXPECT_EQ(pixelRef32(image.get(), 0, 1), 0xFF4C4C4Cu);  // red gives 76
    EXPECT_EQ(pixelRef32(image.get(), 0, 0), 0xFFFF0000u);

    RefHolder<Image> small(Image::createImage(2, 1, 2));
    pixelRef16(small.get(), 0, 0) = 0xF800;  // red 31
    pixelRef16(small.get(), 1, 0) = 0xFFFF;  // white
    small->getAlphaPlane()[0] = 200;
    greyImageRect(small.get(), -1, 0, 10, 10);
    // grey5 = 93 / 10 = 9: 9 in red and blue, 18 in green.
    EXPECT_EQ(pixelRef16(small.get(), 0, 0), (9 << 11) | (18 << 5) | 9);
    EXPECT_EQ(pixelRef16(small.get(), 1, 0), (31 << 11) | (62 << 5) | 31);
    EXPECT_EQ(small->getAlphaPlane()[0], 200);
    EXPECT_FALSE(small->isLocked());
}

TEST(ImageEffects, ColourConversionsAtKnownValues) {
    float h = -1.0f;
    float s = -1.0f;
    float v = -1.0f;
    ColorUtil::rgbToHsv(255, 0, 0, h, s, v);
    EXPECT_FLOAT_EQ(h, 0.0f);
    EXPECT_FLOAT_EQ(s, 1.0f);
    EXPECT_NEAR(v, 1.0f, 1e-6);
    ColorUtil::rgbToHsv(0, 0, 255, h, s, v);
    EXPECT_NEAR(h, 4.0f / 6.0f, 1e-6);
    ColorUtil::rgbToHsv(0, 0, 0, h, s, v);
    EXPECT_EQ(s, 0.0f);
    EXPECT_EQ(h, 0.0f);
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
    ColorUtil::hsvToRgb(0.3f, 0.0f, 0.5f, r, g, b);
    EXPECT_FLOAT_EQ(r, 0.5f * 255.0f + 0.5f);
    EXPECT_FLOAT_EQ(g, r);
    EXPECT_FLOAT_EQ(b, r);
    // Hue 1/3 is pure green; the hue wraps, so 4/3 is the same.
    ColorUtil::hsvToRgb(4.0f / 3.0f, 1.0f, 1.0f, r, g, b);
    EXPECT_EQ(static_cast<int>(r), 0);
    EXPECT_EQ(static_cast<int>(g), 255);
    EXPECT_EQ(static_cast<int>(b), 0);
}

TEST(ImageEffects, HueShiftFollowsTheMaskAndRefusesAMaskOfAnotherSize) {
    RefHolder<Image> image = colours32();
    RefHolder<Image> mask(Image::createImage(4, 2, 1));
    for (int32_t x = 0; x < 4; ++x) {
        *mask->getAlphaAddress(x, 0) = 255;  // top row shifted, bottom row masked off
    }
    // A whole turn: every colour comes back as it was.
    shiftImageHue(image.get(), mask.get(), 1.0f);
    RefHolder<Image> untouched = colours32();
    for (int32_t y = 0; y < 2; ++y) {
        for (int32_t x = 0; x < 4; ++x) {
            EXPECT_EQ(pixelRef32(image.get(), x, y), pixelRef32(untouched.get(), x, y))
                << x << "," << y;
        }
    }
    // A third of a turn: red becomes green in the top row only, alpha kept.
    shiftImageHue(image.get(), mask.get(), 1.0f / 3.0f);
    EXPECT_EQ(pixelRef32(image.get(), 0, 0), 0xFF00FF00u);
    EXPECT_EQ(pixelRef32(image.get(), 1, 0), 0xFFFFFFFFu);
    EXPECT_EQ(pixelRef32(image.get(), 2, 0) >> 24, 0x80u);
    EXPECT_EQ(pixelRef32(image.get(), 0, 1), 0xFFFF0000u);
    EXPECT_FALSE(image->isLocked());
    EXPECT_FALSE(mask->isLocked());

    RefHolder<Image> smallMask(Image::createImage(2, 2, 1));
    shiftImageHue(image.get(), smallMask.get(), 0.5f);
    EXPECT_EQ(pixelRef32(image.get(), 0, 0), 0xFF00FF00u);

    // 2 bytes per pixel: red 565 turns green.
    RefHolder<Image> small(Image::createImage(1, 1, 2));
    pixelRef16(small.get(), 0, 0) = 0xF800;
    RefHolder<Image> oneMask(Image::createImage(1, 1, 1));
    *oneMask->getAlphaAddress(0, 0) = 1;
    shiftImageHue(small.get(), oneMask.get(), 1.0f / 3.0f);
    EXPECT_EQ(pixelRef16(small.get(), 0, 0), 0x07C0);
}

}  // namespace image_effects_test
