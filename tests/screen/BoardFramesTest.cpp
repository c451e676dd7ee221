// Draws a 144-tile board into an 800 x 600 frame, left still for a while, and again after a pair
// fades out; checks that nothing but the pair's areas changed, and leaves both frames as PNG
// files under screenshots/ in the build tree for a person to look at: once with synthetic tiles,
// once with the game's own tile art when the build has made it.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "game/screen/LayoutRenderer.h"
#include "testsupport/platform/PictureWriter.h"
#include "testsupport/screen/SyntheticBoard.h"

namespace board_frames_test {

namespace fs = std::filesystem;
using screen_test::Frame;
using screen_test::Geometry;

// With the board pictures and geometry installed: the frames before and after.
void drawPairRemoval(const Geometry& g, const std::string& name) {
    RefHolder<Layout> layout = screen_test::makeLayout(screen_test::pyramid144());
    Frame frame;
    RefHolder<LayoutRenderer> renderer = screen_test::drawnBoard(layout.get(), frame, 80, 40);
    // A still stretch first, where the board has nothing to run.
    for (int t = 0; t < 100; t += 20) {
        renderer->update(20);
        frame.draw();
    }
    RefHolder<Image> before(Image::copyImage(frame.picture()));
    // A tile picked after it shows its tint in the next frame.
    renderer->addSelectTint(layout->getTileAt(15, 8, 3));
    renderer->update(20);
    frame.draw();
    EXPECT_FALSE(screen_test::samePicture(before.get(), frame.picture()));

    const std::vector<screen_test::Position> pair{{15, 8, 3}, {4, 2, 0}};
    for (const auto& p : pair) {
        renderer->addFadeOut(layout->getTileAt(p[0], p[1], p[2]), 2);
    }
    for (int t = 0; t <= 200; t += 20) {
        renderer->update(20);
        frame.draw();
    }

    // Only the areas of the pair, at the shift of any layer, may change.
    std::vector<Rect> areas;
    for (const auto& p : pair) {
        RenderTile* tile = renderer->findRenderTile(layout->getTileAt(p[0], p[1], p[2]));
        ASSERT_NE(tile, nullptr);
        EXPECT_TRUE(tile->isOutOfGrid());
        for (int z = 0; z < renderer->getLayerCount(); ++z) {
            areas.push_back({80 + tile->getColumn() * g.faceWidth / 2 - z * g.layerX,
                             40 + tile->getRow() * g.faceHeight / 2 - z * g.layerY,
                             g.faceWidth + g.layerX + g.shadowX,
                             g.faceHeight + g.layerY + g.shadowY});
        }
    }
    int changed = 0;
    for (int y = 0; y < 600; ++y) {
        for (int x = 0; x < 800; ++x) {
            if (screen_test::pixelAt(before.get(), x, y) ==
                screen_test::pixelAt(frame.picture(), x, y)) {
                continue;
            }
            ++changed;
            bool inside = false;
            for (const Rect& r : areas) {
                inside = inside || r.contains(x, y);
            }
            ASSERT_TRUE(inside) << "changed at " << x << ", " << y;
        }
    }
    EXPECT_GT(changed, g.faceWidth * g.faceHeight);

    const std::string folder = std::string(QUOVEL_BINARY_DIR) + "/screenshots";
    fs::create_directories(folder);
    EXPECT_TRUE(writeImagePng(folder + "/" + name + "-before.png", before.get()));
    EXPECT_TRUE(writeImagePng(folder + "/" + name + "-after.png", frame.picture()));
}

TEST(BoardFramesTest, APairFadesOutOfA144TileBoardOfSyntheticTiles) {
    const Geometry g{40, 50, 6, 6, 6, 6, 6, 6};
    screen_test::ScopedBoardArt art(
        g,
        {{"TILE_FADEOUT_TIME", 200}, {"TILE_SELECT_COLOR", 0xFF8C2A}, {"TILE_SELECT_ALPHA", 140}});
    drawPairRemoval(g, "board-synthetic");
}

TEST(BoardFramesTest, APairFadesOutOfA144TileBoardInTheGameArt) {
    Geometry g;
    std::unique_ptr<screen_test::ScopedBoardArt> art = screen_test::gameArt(
        fs::path(QUOVEL_BINARY_DIR) / "game/media", g, {{"TILE_FADEOUT_TIME", 200}});
    if (!art) {
        GTEST_SKIP() << "the build has not made the tile art";
    }
    drawPairRemoval(g, "board-art");
}

}  // namespace board_frames_test
