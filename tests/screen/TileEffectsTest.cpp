#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "game/rules/RenderTile.h"
#include "game/screen/LayoutRenderer.h"
#include "game/screen/TileModifiers.h"
#include "testsupport/screen/SyntheticBoard.h"

namespace tile_effects_test {

using screen_test::Geometry;
using screen_test::pixelAt;
using screen_test::ScopedBoardArt;

uint32_t greenOf(uint32_t pixel) {
    return (pixel >> 8) & 0xFFu;
}

RefHolder<RenderTile> plainTile() {
    RefHolder<RenderTile> tile(new RenderTile(0, 0, 0, 0, 0));
    tile->addModifier(new TileImage(tile.get()));
    return tile;
}

bool isPlain(RenderTile* tile) {
    return tile->getModifiers().size() == 1 && tile->getPicture() == LayoutRenderer::getTileImage();
}

// Runs 16 ms frames until the top modifier is no longer of type T; the time it took, or -1.
template <class T>
int runUntilReplaced(RenderTile* tile, int limitMs, std::vector<uint32_t>* faceGreens = nullptr) {
    for (int t = 16; t <= limitMs; t += 16) {
        tile->updateTopLook(16);
        if (dynamic_cast<T*>(tile->getTopModifier()) == nullptr) {
            return t;
        }
        if (faceGreens != nullptr) {
            faceGreens->push_back(greenOf(pixelAt(tile->getPicture(), 1, 1)));
        }
    }
    return -1;
}

TEST(TileEffectsTest, BlockedPulseReplacesATintSwingsTwiceAndEndsPlain) {
    ScopedBoardArt art(Geometry(), {{"TILE_BLOCKED_COLOR", 0xFF0000},
                                    {"TILE_BLOCKED_MIN_ALPHA", 0},
                                    {"TILE_BLOCKED_MAX_ALPHA", 100}});
    RefHolder<RenderTile> tile = plainTile();
    tile->addModifier(new TileImage(tile.get(), 0x0000FF, 128));
    tile->addModifier(new TileBlockedPulse(tile.get()));
    ASSERT_EQ(tile->getModifiers().size(), 1u);

    std::vector<uint32_t> greens;
    const int ended = runUntilReplaced<TileBlockedPulse>(tile.get(), 2000, &greens);
    // Up to alpha 100 in about 200 ms, down, up, down: about 800 ms.
    EXPECT_GE(ended, 800);
    EXPECT_LE(ended, 850);
    size_t strongest = 0;
    while (strongest + 1 < greens.size() && greens[strongest + 1] < greens[strongest]) {
        ++strongest;
    }
    EXPECT_NEAR(16 * (static_cast<int>(strongest) + 1), 200, 16);
    EXPECT_LT(greens[strongest], greenOf(screen_test::FACE));
    EXPECT_TRUE(isPlain(tile.get())) << "the pulse ends plain, not in the tint it replaced";
    EXPECT_TRUE(tile->isDirty());
}

TEST(TileEffectsTest, FadeOutWaitsUnlessTheMultiplierIsOneToThreeAndLeavesTheGrid) {
    ScopedBoardArt art;
    const Geometry g;
    for (int multiplier : {0, 1, 2, 3, 4}) {
        SCOPED_TRACE(multiplier);
        RefHolder<RenderTile> tile = plainTile();
        tile->addModifier(new TileFadeOut(tile.get(), multiplier, 400));
        EXPECT_TRUE(tile->isLocked());
        EXPECT_TRUE(tile->isSeeThrough());
        const bool waits = multiplier == 0 || multiplier == 4;
        for (int t = 0; t < (waits ? 450 : 0); t += 16) {
            tile->updateTopLook(16);
        }
        EXPECT_EQ(tile->getAlpha(), 255);
        tile->updateTopLook(16);
        const int alpha = tile->getAlpha();
        EXPECT_EQ(alpha, 384 * 255 / 400);
        Image* picture = tile->getPicture();
        EXPECT_EQ(pixelAt(picture, 1, 1) >> 24, static_cast<uint32_t>(alpha));
        EXPECT_EQ(pixelAt(picture, 1, g.faceHeight + 1) >> 24,
                  std::min<uint32_t>(alpha, screen_test::BOTTOM_SIDE >> 24));
        EXPECT_EQ(pixelAt(picture, g.faceWidth + 1, g.faceHeight + 1) >> 24, 0u);

        EXPECT_EQ(runUntilReplaced<TileFadeOut>(tile.get(), 1000), 384);
        EXPECT_TRUE(tile->isOutOfGrid());
        EXPECT_FALSE(tile->isLocked());
        EXPECT_FALSE(tile->isSeeThrough());
        EXPECT_TRUE(isPlain(tile.get()));
    }
}

TEST(TileEffectsTest, AFadeTimeOfZeroOrLessEndsTheFadeAtOnce) {
    ScopedBoardArt art;
    for (int fadeTime : {0, -5}) {
        RefHolder<RenderTile> tile = plainTile();
        tile->addModifier(new TileFadeOut(tile.get(), 1, fadeTime));
        EXPECT_EQ(tile->getAlpha(), 0);
        tile->updateTopLook(16);
        EXPECT_TRUE(tile->isOutOfGrid());
        EXPECT_FALSE(tile->isSeeThrough());
        EXPECT_TRUE(isPlain(tile.get()));
    }
}

TEST(TileEffectsTest, ClearingDropsALaidOverEffectOrFallsBackToPlain) {
    ScopedBoardArt art;
    RefHolder<RenderTile> tile = plainTile();
    tile->addModifier(new TileImage(tile.get(), 0x00FF00, 200));
    EXPECT_FALSE(isPlain(tile.get()));
    tile->clearModifiers();
    EXPECT_TRUE(isPlain(tile.get()));

    tile->addModifier(new TileHintPulse(tile.get()));
    TileModifier* base = tile->getTopModifier();
    tile->clearDirty();
    tile->removeModifier(new TileImage(tile.get(), 0x0000FF, 90));
    EXPECT_EQ(tile->getModifiers().size(), 2u);
    tile->clearModifiers();
    ASSERT_EQ(tile->getModifiers().size(), 1u);
    EXPECT_EQ(tile->getTopModifier(), base);
    EXPECT_TRUE(tile->isDirty());

    // The rules' looks: laid over, replaced on top, and a side-board fade-out that ends.
    tile->addLook({TileLook::TINTED, 0xFF0000, 100, 0});
    tile->replaceTopLook({TileLook::FADE_OUT, 0, 0, 48});
    ASSERT_EQ(tile->getModifiers().size(), 2u);
    EXPECT_EQ(tile->getModifiers()[0].get(), base);
    for (int i = 0; i < 3; ++i) {
        tile->updateTopLook(16);
    }
    EXPECT_TRUE(tile->isOutOfGrid());
    EXPECT_EQ(tile->getTopModifier(), base);
}

TEST(TileEffectsTest, DarkeningFlashAndHintPulseRunAtTheirOwnRates) {
    ScopedBoardArt art(Geometry(), {{"TILE_DARKEN_COLOR", 0x000000},
                                    {"TILE_DARKEN_ALPHA", 100},
                                    {"TILE_FLASH_COLOR", 0xFFFFFF},
                                    {"TILE_FLASH_MAX_ALPHA", 100},
                                    {"TILE_HINT_COLOR", 0x00FF00},
                                    {"TILE_HINT_MIN_ALPHA", 20},
                                    {"TILE_HINT_MAX_ALPHA", 60}});
    RefHolder<RenderTile> tile = plainTile();
    tile->addModifier(new TileDarken(tile.get()));
    EXPECT_EQ(runUntilReplaced<TileDarken>(tile.get(), 1000), 400);
    ASSERT_NE(dynamic_cast<TileImage*>(tile->getTopModifier()), nullptr);
    const uint32_t darkened = pixelAt(tile->getPicture(), 1, 1);
    EXPECT_LT(greenOf(darkened), greenOf(screen_test::FACE));

    tile->addModifier(new TileUndarken(tile.get()));
    EXPECT_EQ(pixelAt(tile->getPicture(), 1, 1), darkened) << "starts fully darkened";
    EXPECT_EQ(runUntilReplaced<TileUndarken>(tile.get(), 1000), 208);
    EXPECT_TRUE(isPlain(tile.get()));

    tile->addModifier(new TileFlash(tile.get()));
    EXPECT_EQ(runUntilReplaced<TileFlash>(tile.get(), 1000), 416);
    EXPECT_TRUE(isPlain(tile.get()));

    // The hint pulse swings between alphas 20 and 60 until replaced: green over red face.
    tile->addModifier(new TileHintPulse(tile.get()));
    std::vector<uint32_t> reds;
    for (int t = 0; t < 5000; t += 16) {
        tile->updateTopLook(16);
        ASSERT_NE(dynamic_cast<TileHintPulse*>(tile->getTopModifier()), nullptr);
        reds.push_back(pixelAt(tile->getPicture(), 1, 1) >> 16 & 0xFFu);
    }
    const uint32_t faceRed = screen_test::FACE >> 16 & 0xFFu;
    const auto [least, most] = std::minmax_element(reds.begin() + 40, reds.end());
    EXPECT_NEAR(*least, faceRed * (256 - 60) / 256, 2);
    EXPECT_NEAR(*most, faceRed * (256 - 20) / 256, 2);
}

}  // namespace tile_effects_test
