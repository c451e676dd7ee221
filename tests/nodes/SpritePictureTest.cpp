// Renders a small tree of sprites (anchors, frames, rotation, scale, alpha, additive blending,
// stretching and clipping) through the render pass into an 800 x 600 picture and saves it as
// "pictures/sprites.png" under the build tree for a person to look at.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>

#include "framework/core/GameTree.h"
#include "framework/core/Polygon.h"
#include "framework/nodes/Sprite.h"
#include "framework/platform/RenderTask.h"
#include "testsupport/platform/PictureWriter.h"
#include "testsupport/platform/PixelAccess.h"

using namespace testpixels;

namespace sprite_picture_test {

constexpr uint32_t PANEL_LIGHT = 0x3C5A78;
constexpr uint32_t PANEL_DARK = 0x32506E;
constexpr uint32_t MARKER_COLOR = 0xE04040;

// A 4-byte image that blends by its alpha.
RefHolder<Image> blendingImage(int32_t width, int32_t height) {
    RefHolder<Image> image = filled(width, height, 4, 0, 0);
    image->setUseAlphaChannel(true);
    return image;
}

// The panel: a checkerboard of two close tones.
RefHolder<Image> panelImage() {
    RefHolder<Image> image = filled(600, 400, 4, 0, 255);
    for (int32_t y = 0; y < 400; ++y) {
        for (int32_t x = 0; x < 600; ++x) {
            put(image.get(), x, y, ((x / 50 + y / 50) % 2) ? PANEL_DARK : PANEL_LIGHT, 255);
        }
    }
    return image;
}

// Four 64 x 64 frames side by side; frame k shows k + 1 white bars on its own color.
RefHolder<Image> frameStrip() {
    static constexpr uint32_t colors[4] = {0x2E8B57, 0xC08020, 0x7050C0, 0x20A0B0};
    RefHolder<Image> image = blendingImage(256, 64);
    for (int32_t frame = 0; frame < 4; ++frame) {
        for (int32_t y = 0; y < 64; ++y) {
            for (int32_t x = 0; x < 64; ++x) {
                const int32_t bar = (x - 6) / 12;
                const bool white = y >= 12 && y < 52 && x >= 6 && (x - 6) % 12 < 6 && bar <= frame;
                put(image.get(), frame * 64 + x, y, white ? 0xFFFFFF : colors[frame], 255);
            }
        }
    }
    return image;
}

// A ball whose alpha falls off toward the edge.
RefHolder<Image> ballImage(int32_t size, uint32_t color) {
    RefHolder<Image> image = blendingImage(size, size);
    const double half = size / 2.0;
    for (int32_t y = 0; y < size; ++y) {
        for (int32_t x = 0; x < size; ++x) {
            const double r = std::hypot(x + 0.5 - half, y + 0.5 - half) / half;
            const auto a = static_cast<uint8_t>(r >= 1.0 ? 0 : 255 * std::min(1.0, 3 * (1 - r)));
            put(image.get(), x, y, color, a);
        }
    }
    return image;
}

// An arrow pointing right, to show the turn of a rotated sprite.
RefHolder<Image> arrowImage() {
    RefHolder<Image> image = blendingImage(120, 40);
    RefHolder<Graphics> g = graphicsOf(image.get());
    g->setColor(0xFFF0E040);
    const Polygon head({{80, 0}, {119, 20}, {80, 39}});
    // Color drawing leaves the alpha alone: the shape is drawn into both.
    g->fillRect(0, 14, 80, 12);
    g->fillRectChannel(0, 255, 0, 14, 80, 12);
    g->fillPolygon(head, false);
    g->fillPolygonChannel(0, 255, head, false);
    return image;
}

// A node of the tree: appended to `parent`, which keeps the only reference.
template <class T>
T* attach(T* node, GameNode* parent) {
    GameNode::appendChild(node, parent);
    return node;
}

TEST(SpritePicture, TreeOfSpritesIsSavedForInspection) {
    RefHolder<Image> target = filled(800, 600, 4, 0, 255);
    RefHolder<Graphics> graphics = graphicsOf(target.get());
    for (int32_t y = 0; y < 600; ++y) {
        graphics->setColor(0xFF000000u | static_cast<uint32_t>(16 + y * 48 / 600) << 8 |
                           static_cast<uint32_t>(24 + y * 64 / 600));
        graphics->fillRect(0, y, 800, 1);
    }

    RefHolder<GameTree> tree(new GameTree());
    RefHolder<Image> panel = panelImage();
    // The panel's anchor is its centre, so its children are placed about the screen's middle.
    Sprite* board = attach(new Sprite(400, 300, panel.get()), tree.get());
    board->setAnchor(Sprite::ANCHOR_CENTER);

    // Corner markers, each anchored at the corner of its own that meets the panel's corner.
    RefHolder<Image> marker = filled(24, 24, 4, MARKER_COLOR, 255);
    const struct {
        int32_t x, y, anchor;
    } corners[] = {{-300, -200, Sprite::ANCHOR_TOP_LEFT},
                   {300, -200, Sprite::ANCHOR_TOP_RIGHT},
                   {-300, 200, Sprite::ANCHOR_BOTTOM_LEFT},
                   {300, 200, Sprite::ANCHOR_BOTTOM_RIGHT}};
    for (const auto& corner : corners) {
        attach(new Sprite(corner.x, corner.y, marker.get()), board)->setAnchor(corner.anchor);
    }

    // One strip, four sprites showing frames 0 to 3, anchored at their top middle.
    RefHolder<Image> strip = frameStrip();
    for (int32_t frame = 0; frame < 4; ++frame) {
        Sprite* shown = attach(new Sprite(-180 + frame * 120, -170, strip.get()), board);
        shown->setFrameCount(4, true);
        shown->setAnchor(Sprite::ANCHOR_TOP);
        shown->setFrame(frame);
    }

    // Turned about its centre, smoothly; its child turns nothing but moves with it.
    RefHolder<Image> arrow = arrowImage();
    Sprite* turned = attach(new Sprite(-170, 20, arrow.get()), board);
    turned->setAnchor(Sprite::ANCHOR_CENTER);
    turned->setRotation(-0.6f);
    turned->setSmooth(true);
    RefHolder<Image> dot = ballImage(24, 0xFFFFFF);
    attach(new Sprite(0, 50, dot.get()), turned)->setAnchor(Sprite::ANCHOR_CENTER);
    // Scaled up by half about its centre.
    Sprite* grown = attach(new Sprite(-20, 20, arrow.get()), board);
    grown->setAnchor(Sprite::ANCHOR_CENTER);
    grown->setScale(1.5f);

    // Three balls at falling alpha, then two additive glows over each other.
    RefHolder<Image> ball = ballImage(80, 0x40C0FF);
    for (int32_t k = 0; k < 3; ++k) {
        Sprite* faded = attach(new Sprite(120 + k * 60, 0, ball.get()), board);
        faded->setAnchor(Sprite::ANCHOR_CENTER);
        faded->setAlpha(255 - k * 90);
    }
    RefHolder<Image> glow = ballImage(90, 0x804010);
    attach(new AdditiveSprite(150, 110, glow.get()), board)->setAnchor(Sprite::ANCHOR_CENTER);
    attach(new AdditiveSprite(190, 110, glow.get()), board)->setAnchor(Sprite::ANCHOR_CENTER);

    // Frame 1 stretched wide about its centre, and frame 3 clipped to its left half.
    Sprite* wide = attach(new Sprite(-150, 130, strip.get()), board);
    wide->setFrameCount(4, true);
    wide->setFrame(1);
    wide->setAnchor(Sprite::ANCHOR_CENTER);
    wide->setStretchSize(160, 48);
    Sprite* clipped = attach(new Sprite(20, 100, strip.get()), board);
    clipped->setFrameCount(4, true);
    clipped->setFrame(3);
    clipped->setClipRect(Rect{20, 100, 32, 64});
    // Hidden: never drawn.
    attach(new Sprite(250, -120, marker.get()), board)->setVisible(false);

    RenderTask pass(tree.get());
    pass.render(graphics.get());

    const std::filesystem::path folder = std::filesystem::path(QUOVEL_BINARY_DIR) / "pictures";
    std::filesystem::create_directories(folder);
    const std::string path = (folder / "sprites.png").string();
    ASSERT_TRUE(writeImagePng(path, target.get())) << path;
    EXPECT_GT(std::filesystem::file_size(path), 5000u);

    const Image* picture = target.get();
    // The panel fills 100..699 x 100..499; the markers sit inside its four corners.
    EXPECT_EQ(colorAt(picture, 99, 300) & 0xFF0000, 0u);
    for (const auto& [x, y] : {std::pair{100, 100}, {699, 100}, {100, 499}, {699, 499}}) {
        EXPECT_EQ(colorAt(picture, x, y), MARKER_COLOR) << x << "," << y;
    }
    EXPECT_EQ(colorAt(picture, 100 + 24, 100), PANEL_LIGHT);
    // Frame k (its top middle at x 220 + 120 k, y 130) shows k + 1 bars.
    for (int32_t frame = 0; frame < 4; ++frame) {
        const int32_t left = 220 + frame * 120 - 32;
        int32_t bars = 0;
        for (int32_t x = left; x < left + 64; ++x) {
            bars +=
                colorAt(picture, x, 160) == 0xFFFFFF && colorAt(picture, x - 1, 160) != 0xFFFFFF;
        }
        EXPECT_EQ(bars, frame + 1) << "frame " << frame;
    }
    // The arrows keep their centres: turned smoothly, and scaled.
    EXPECT_EQ(colorAt(picture, 380, 320), 0xF0E040u);
    EXPECT_EQ(colorAt(picture, 380 + 80, 320), 0xF0E040u);
    EXPECT_NE(colorAt(picture, 380 + 95, 320), 0xF0E040u);
    const uint32_t turnedCentre = colorAt(picture, 230, 320);
    EXPECT_GT((turnedCentre >> 16) & 0xFF, 0xD0u);
    EXPECT_LT(turnedCentre & 0xFF, 0x80u);
    // Full, faded and fainter balls over the panel's light tone at their centres.
    const uint32_t full = colorAt(picture, 520, 300);
    const uint32_t faded = colorAt(picture, 580, 300);
    const uint32_t faint = colorAt(picture, 640, 300);
    EXPECT_EQ(full, 0x40C0FFu);
    EXPECT_GT(full & 0xFF, faded & 0xFF);
    EXPECT_GT(faded & 0xFF, faint & 0xFF);
    EXPECT_GT(faint & 0xFF, PANEL_LIGHT & 0xFF);
    // Where the glows overlap, they add up past either alone.
    EXPECT_GT((colorAt(picture, 570, 410) >> 16) & 0xFF, (colorAt(picture, 530, 410) >> 16) & 0xFF);
    // The stretched frame spans 160 pixels about x 250; the clip keeps 32 columns of frame 3.
    EXPECT_NE(colorAt(picture, 172, 430), colorAt(picture, 168, 430));
    EXPECT_EQ(colorAt(picture, 451, 456), 0x20A0B0u);
    EXPECT_NE(colorAt(picture, 452, 456), 0x20A0B0u);
    // The hidden marker left the panel alone.
    EXPECT_NE(colorAt(picture, 650, 180), MARKER_COLOR);
}

}  // namespace sprite_picture_test
