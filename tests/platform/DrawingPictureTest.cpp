// Draws one small scene at both depths and saves it as PNG under the build tree
// ("pictures/drawing-32bit.png" and "pictures/drawing-16bit.png") for a person to look at.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "framework/core/Polygon.h"
#include "testsupport/platform/PictureWriter.h"
#include "testsupport/platform/PixelAccess.h"

using namespace testpixels;

namespace drawing_picture_test {

constexpr int32_t W = 256;
constexpr int32_t H = 160;

// A 48 x 48 ball: color rings with alpha falling off toward the edge.
RefHolder<Image> ball(int32_t depth) {
    RefHolder<Image> image{Image::createImage(48, 48, 4)};
    for (int32_t y = 0; y < 48; ++y) {
        for (int32_t x = 0; x < 48; ++x) {
            const double r = std::hypot(x - 23.5, y - 23.5) / 24.0;
            const uint32_t a = r >= 1.0 ? 0 : static_cast<uint32_t>(255 * (1.0 - r * r));
            const uint32_t ring = (static_cast<uint32_t>(r * 6) % 2) ? 0xF0C040 : 0x3070F0;
            set32(image.get(), x, y, (a << 24) | ring);
        }
    }
    if (depth == 2) {
        image->setFollowsDisplayDepth(true);
        image->convert(2);
    }
    return image;
}

// A checkerboard with a white top-left corner, to show the turn of a rotated blit.
RefHolder<Image> boardPicture(int32_t depth) {
    RefHolder<Image> image = filled(32, 32, depth, 0, 255);
    for (int32_t y = 0; y < 32; ++y) {
        for (int32_t x = 0; x < 32; ++x) {
            const bool corner = x < 8 && y < 8;
            put(image.get(), x, y,
                corner ? 0xFFFFFF : (((x / 4 + y / 4) % 2) ? 0xE02020 : 0x202020), 255);
        }
    }
    image->setUseAlphaChannel(false);
    return image;
}

void drawScene(Graphics* g, int32_t depth) {
    // Background: a vertical gradient of fills.
    for (int32_t y = 0; y < H; ++y) {
        g->setColor(0xFF000000u | (static_cast<uint32_t>(y * 255 / H) << 8) | 0x20);
        g->drawLine(0, y, W - 1, y);
    }
    // Translucent rectangles over each other.
    g->setColor(0xFFFF0000);
    g->setAlpha(160);
    g->fillRect(10, 10, 60, 40);
    g->setColor(0xFF0000FF);
    g->fillRect(40, 30, 60, 40);
    g->setAlpha(255);
    // A fan of plain and antialiased lines.
    g->setColor(0xFFFFFFFF);
    for (int32_t k = 0; k < 8; ++k) {
        const double angle = k * 0.2;
        g->drawLine(120, 10, 120 + static_cast<int32_t>(60 * std::cos(angle)),
                    10 + static_cast<int32_t>(60 * std::sin(angle)));
        g->drawLineAA(190.0f, 10.0f, 190.0f + 60.0f * static_cast<float>(std::cos(angle)),
                      10.0f + 60.0f * static_cast<float>(std::sin(angle)));
    }
    // An antialiased star.
    Polygon star;
    for (int32_t k = 0; k < 5; ++k) {
        const double angle = k * 4.0 * M_PI / 5.0;
        star.addPoint(static_cast<float>(40 + 28 * std::sin(angle)),
                      static_cast<float>(118 - 28 * std::cos(angle)));
    }
    g->setColor(0xFFFFE000);
    g->fillPolygon(star, true);
    // Per-pixel alpha, additive and rotated bilinear blits.
    RefHolder<Image> sprite = ball(depth);
    g->blitWhole(sprite.get(), 80, 90);
    g->setBlendMode(BlendMode::ADDITIVE);
    g->blitWhole(sprite.get(), 105, 100);
    g->setBlendMode(BlendMode::ALPHA);
    RefHolder<Image> checks = boardPicture(depth);
    g->setSmooth(true);
    g->blitRotated(checks.get(), 0.5, 1.3, 170, 90, 0, 0, 32, 32, 16, 16);
    g->setSmooth(false);
    g->blitStretched(checks.get(), 0, 0, 32, 32, 215, 95, 36, 60);
    // Text-like mask through the color.
    RefHolder<Image> stripes = filled(40, 12, 1, 0, 0);
    for (int32_t x = 0; x < 40; ++x) {
        for (int32_t y = 0; y < 12; ++y) {
            alpha(stripes.get(), x, y) = static_cast<uint8_t>((x % 5) < 3 ? y * 21 : 0);
        }
    }
    g->setColor(0xFF00FFFF);
    g->blitWhole(stripes.get(), 10, 145);
}

TEST(DrawingPicture, SceneAtBothDepthsIsSavedForInspection) {
    const std::filesystem::path folder = std::filesystem::path(QUOVEL_BINARY_DIR) / "pictures";
    std::filesystem::create_directories(folder);
    std::vector<RefHolder<Image>> pictures;
    for (int32_t depth : {4, 2}) {
        RefHolder<Image> target = filled(W, H, depth, 0, 255);
        drawScene(graphicsOf(target.get()).get(), depth);
        const std::string path =
            (folder / ("drawing-" + std::to_string(depth * 8) + "bit.png")).string();
        ASSERT_TRUE(writeImagePng(path, target.get())) << path;
        EXPECT_GT(std::filesystem::file_size(path), 1000u);
        pictures.push_back(target);
    }
    // The two depths show the same picture, up to the fields' precision.
    int32_t far = 0;
    for (int32_t y = 0; y < H; ++y) {
        for (int32_t x = 0; x < W; ++x) {
            const uint32_t a = colorAt(pictures[0].get(), x, y);
            const uint32_t b = colorAt(pictures[1].get(), x, y);
            for (int shift : {0, 8, 16}) {
                far += std::abs(static_cast<int32_t>((a >> shift) & 0xFF) -
                                static_cast<int32_t>((b >> shift) & 0xFF)) > 24;
            }
        }
    }
    EXPECT_EQ(far, 0);
}

}  // namespace drawing_picture_test
