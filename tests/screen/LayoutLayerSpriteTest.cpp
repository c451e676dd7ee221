#include <gtest/gtest.h>

#include <vector>

#include "framework/core/BasicProperties.h"
#include "game/rules/Layout.h"
#include "game/rules/Tile.h"
#include "game/screen/LayoutRenderer.h"
#include "testsupport/screen/SyntheticBoard.h"

namespace layout_layer_sprite_test {

using screen_test::FACE;
using screen_test::Frame;
using screen_test::Geometry;
using screen_test::makeLayout;
using screen_test::pixelAt;
using screen_test::ScopedBoardArt;

// Every pixel of two pictures, with the first difference named.
void expectSamePixels(const Image* a, const Image* b, const char* what) {
    ASSERT_EQ(a->getWidth(), b->getWidth()) << what;
    ASSERT_EQ(a->getHeight(), b->getHeight()) << what;
    for (int32_t y = 0; y < a->getHeight(); ++y) {
        for (int32_t x = 0; x < a->getWidth(); ++x) {
            ASSERT_EQ(pixelAt(a, x, y), pixelAt(b, x, y)) << what << " at " << x << ", " << y;
        }
    }
}

RefHolder<Image> layerCopy(LayoutRenderer* renderer, size_t layer) {
    return RefHolder<Image>(Image::copyImage(renderer->getLayerSprites()[layer]->getImage()));
}

class LayoutLayerSpriteTest : public ::testing::Test {
protected:
    // A renderer of the layout in a frame, drawn once.
    static RefHolder<LayoutRenderer> drawn(Layout* layout, Frame& frame) {
        return screen_test::drawnBoard(layout, frame, 40, 30);
    }

    ScopedBoardArt art{Geometry(), {{"TILE_FADEOUT_TIME", 96}}};
    Geometry g;
};

// At either display depth, dirty repaints after a pair fades out of the 144-tile board give the
// layers and the frame that a fresh build without the pair gives.
class DirtyRepaintTest : public ::testing::TestWithParam<int32_t> {};

TEST_P(DirtyRepaintTest, RepaintingDirtyAreasGivesTheSamePicturesAsAFreshBuild) {
    ScopedBoardArt art(Geometry(), {{"TILE_FADEOUT_TIME", 96}}, GetParam());
    RefHolder<Layout> layout = makeLayout(screen_test::pyramid144());
    // A top tile and a corner tile of the bottom layer leave the board frame by frame.
    const std::vector<screen_test::Position> pair{{15, 8, 3}, {4, 2, 0}};
    Frame played;
    RefHolder<LayoutRenderer> renderer = screen_test::drawnBoard(layout.get(), played, 40, 30);
    for (const auto& p : pair) {
        renderer->addFadeOut(layout->getTileAt(p[0], p[1], p[2]), 1);
    }
    for (int frame = 0; frame < 8; ++frame) {
        renderer->update(16);
        played.draw();
    }

    Frame fresh;
    RefHolder<LayoutRenderer> expected(new LayoutRenderer());
    expected->build(layout.get(), {});
    for (const auto& p : pair) {
        expected->positionRenderTile(p[0] - 4, p[1] - 2, p[2]);
    }
    expected->setPosition(40, 30);
    GameNode::appendChild(expected.get(), fresh.root());
    fresh.draw();

    ASSERT_EQ(renderer->getLayerCount(), 4);
    for (size_t z = 0; z < 4; ++z) {
        const LayoutLayerSprite* a = renderer->getLayerSprites()[z].get();
        const LayoutLayerSprite* b = expected->getLayerSprites()[z].get();
        EXPECT_EQ(a->getX(), b->getX());
        EXPECT_EQ(a->getY(), b->getY());
        EXPECT_EQ(a->getImage()->getBytesPerPixel(), GetParam());
        EXPECT_TRUE(screen_test::samePicture(a->getImage(), b->getImage())) << "layer " << z;
    }
    EXPECT_TRUE(screen_test::samePicture(played.picture(), fresh.picture()));
    // Not blank: the face of the second tile of the top row is opaque.
    Image* lowest = renderer->getLayerSprites()[0]->getImage();
    const Geometry g;
    EXPECT_EQ(*lowest->getAlphaAddress(g.faceWidth + g.shadowX + g.faceWidth - 2,
                                       g.shadowY + g.faceHeight - 2),
              255);
}

INSTANTIATE_TEST_SUITE_P(DisplayDepths, DirtyRepaintTest, ::testing::Values(4, 2));

TEST_F(LayoutLayerSpriteTest, AreasOutsideTheDirtyRectanglesAreLeftAloneCornersIncluded) {
    // The empty cell (4, 4) between a tile above and one to the left gets a corner piece.
    RefHolder<Layout> layout = makeLayout({{4, 2, 0}, {2, 4, 0}});
    Frame frame;
    RefHolder<LayoutRenderer> renderer = drawn(layout.get(), frame);
    RefHolder<Image> before = layerCopy(renderer.get(), 0);
    const int cornerX = 2 * g.faceWidth / 2 + g.shadowX;
    const int cornerY = 2 * g.faceHeight / 2 + g.shadowY;
    EXPECT_NE(pixelAt(before.get(), cornerX, cornerY) >> 24, 0u);

    RefHolder<RenderTile> faraway(new RenderTile(30, 15, 0, 0, 0));
    for (int i = 0; i < 3; ++i) {
        renderer->computeTileRect(faraway.get());
        frame.draw();
    }
    expectSamePixels(renderer->getLayerSprites()[0]->getImage(), before.get(), "untouched");
    renderer->computeTileRect(renderer->findRenderTile(layout->getTileAt(4, 2, 0)));
    frame.draw();
    expectSamePixels(renderer->getLayerSprites()[0]->getImage(), before.get(), "repainted");
}

TEST_F(LayoutLayerSpriteTest, TilesInTheLastColumnAndRowKeepTheirRightAndLowerHalves) {
    RefHolder<Layout> layout = makeLayout({{0, 0, 0}, {39, 19, 0}});
    Frame frame;
    RefHolder<LayoutRenderer> renderer = drawn(layout.get(), frame);
    const Image* picture = renderer->getLayerSprites()[0]->getImage();
    const int right = 39 * g.faceWidth / 2 + g.shadowX + g.faceWidth - 1;
    const int bottom = 19 * g.faceHeight / 2 + g.shadowY + g.faceHeight - 1;
    EXPECT_EQ(pixelAt(picture, right, bottom), FACE);
    EXPECT_EQ(pixelAt(picture, right + 1, bottom), screen_test::RIGHT_SIDE);
    EXPECT_EQ(pixelAt(picture, right - g.faceWidth + 1, bottom), FACE);
    EXPECT_EQ(pixelAt(picture, right, bottom - g.faceHeight + 1), FACE);
}

TEST_F(LayoutLayerSpriteTest, AFadingTileUncoversWhatItHidAndCastsNoShadow) {
    RefHolder<Layout> layout = makeLayout({{4, 4, 0}, {4, 4, 1}});
    Frame frame;
    RefHolder<LayoutRenderer> renderer = drawn(layout.get(), frame);
    // In the face's top-left quarter, clear of its own shadow strips and of the symbol.
    const int faceX = g.shadowX + 4;
    const int faceY = g.shadowY + 4;
    EXPECT_EQ(pixelAt(renderer->getLayerSprites()[0]->getImage(), faceX, faceY) >> 24, 0u)
        << "hidden under the upper tile";
    EXPECT_EQ(pixelAt(renderer->getLayerSprites()[1]->getImage(), 1, 1), screen_test::SHADOW);

    renderer->addFadeOut(layout->getTileAt(4, 4, 1), 2);
    renderer->update(16);
    frame.draw();
    EXPECT_EQ(pixelAt(renderer->getLayerSprites()[0]->getImage(), faceX, faceY), FACE);
    EXPECT_EQ(pixelAt(renderer->getLayerSprites()[1]->getImage(), 1, 1) >> 24, 0u);
    EXPECT_EQ(pixelAt(renderer->getLayerSprites()[1]->getImage(), faceX, faceY) >> 24,
              static_cast<uint32_t>(80 * 255 / 96))
        << "the tile itself still shows, fading";
}

TEST_F(LayoutLayerSpriteTest, ShadingTintsTilePicturesNotSymbolsAndHiddenSymbolsLeaveBlankTiles) {
    RefHolder<Layout> layout = makeLayout({{2, 2, 0}, {2, 2, 1}, {6, 2, 1}, {12, 2, 2}});
    Frame frame;
    RefHolder<LayoutRenderer> renderer = drawn(layout.get(), frame);
    const Image* upper = renderer->getLayerSprites()[1]->getImage();
    // Layer 1's second tile: its face and the middle of its symbol.
    const int faceX = 2 * g.faceWidth + g.shadowX + 1;
    const int faceY = g.shadowY + 1;
    const int symbolX = 2 * g.faceWidth + g.shadowX + g.faceWidth / 2;
    const int symbolY = g.shadowY + g.faceHeight / 2;
    const uint32_t symbol = pixelAt(upper, symbolX, symbolY);
    EXPECT_EQ(pixelAt(upper, faceX, faceY), FACE);
    EXPECT_NE(symbol, FACE);

    BasicProperties::instance()->setInteger("LAYER_ALPHA0", 0);
    BasicProperties::instance()->setInteger("LAYER_COLOR0", 0x0000FF);
    BasicProperties::instance()->setInteger("LAYER_ALPHA1", 128);
    BasicProperties::instance()->setInteger("LAYER_COLOR1", 0x0000FF);
    renderer->applyLayerShading();
    RefHolder<Image> lowerBefore = layerCopy(renderer.get(), 0);
    renderer->showSymbols();
    frame.draw();
    const uint32_t shaded = pixelAt(upper, faceX, faceY);
    EXPECT_EQ(shaded >> 24, 0xFFu);
    EXPECT_GT(shaded & 0xFFu, FACE & 0xFFu);
    EXPECT_LT(shaded >> 16 & 0xFFu, FACE >> 16 & 0xFFu);
    EXPECT_EQ(pixelAt(upper, symbolX, symbolY), symbol);
    expectSamePixels(renderer->getLayerSprites()[0]->getImage(), lowerBefore.get(), "alpha 0");

    renderer->hideSymbols();
    frame.draw();
    EXPECT_EQ(pixelAt(upper, symbolX, symbolY), shaded);
    renderer->showSymbols();
    frame.draw();
    EXPECT_EQ(pixelAt(upper, symbolX, symbolY), symbol);
}

}  // namespace layout_layer_sprite_test
