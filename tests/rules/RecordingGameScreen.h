#pragma once

#include <string>
#include <vector>

#include "framework/core/RefHolder.h"
#include "framework/platform/Image.h"
#include "game/rules/Game.h"
#include "game/rules/Tile.h"
#include "testsupport/rules/HeadlessGameScreen.h"

namespace rules_test {

// A render tile that shows one fixed picture.
class PictureRenderTile : public HeadlessRenderTile {
public:
    PictureRenderTile(int32_t column, int32_t row, int32_t faceX, int32_t faceY, Image* picture,
                      int32_t alpha)
        : HeadlessRenderTile(column, row, 0, faceX, faceY), picture(picture), alpha(alpha) {}
    Image* getPicture() override { return picture.get(); }
    int32_t getAlpha() const override { return alpha; }

private:
    RefHolder<Image> picture;
    int32_t alpha;
};

// The headless screen that also writes down every request the rules make of the screen, one
// text per call ("showTileBlocked 10,4,0"), in order.
class RecordingGameScreen : public HeadlessGameScreen {
public:
    using HeadlessGameScreen::HeadlessGameScreen;

    static std::string where(const Tile* tile) {
        if (tile == nullptr) {
            return "-";
        }
        return std::to_string(tile->getGridX()) + "," + std::to_string(tile->getGridY()) + "," +
               std::to_string(tile->getGridZ());
    }
    void record(const std::string& call) { calls.push_back(call); }

    void addSuperHintTint(Tile* tile) override { record("addSuperHintTint " + where(tile)); }
    void clearModifiers(Tile* tile) override { record("clearModifiers " + where(tile)); }
    void addFadeOut(Tile* tile, int32_t chain) override {
        record("addFadeOut " + where(tile) + " " + std::to_string(chain));
    }
    void addBlockedPulse(Tile* tile) override { record("addBlockedPulse " + where(tile)); }
    void restoreRenderTile(Tile* tile) override { record("restoreRenderTile " + where(tile)); }
    RenderTile* createRenderTile(int32_t column, int32_t row, int32_t layer, int32_t faceX,
                                 int32_t faceY) override {
        record("createRenderTile " + std::to_string(column) + "," + std::to_string(row) + " " +
               std::to_string(faceX) + "," + std::to_string(faceY));
        if (tilePicture) {
            return new PictureRenderTile(column, row, faceX, faceY, tilePicture.get(), tileAlpha);
        }
        return HeadlessGameScreen::createRenderTile(column, row, layer, faceX, faceY);
    }
    void showTileFaceShine(Tile* tile, int32_t chain) override {
        record("showTileFaceShine " + where(tile) + " " + std::to_string(chain));
    }
    void addBonusPoints(int32_t points) override {
        record("addBonusPoints " + std::to_string(points));
        HeadlessGameScreen::addBonusPoints(points);
    }
    void removeTileEffect(Tile* tile) override { record("removeTileEffect " + where(tile)); }
    void showTileSelected(Tile* tile) override { record("showTileSelected " + where(tile)); }
    void showTileBlocked(Tile* tile) override { record("showTileBlocked " + where(tile)); }
    void markSuperHintTiles() override { record("markSuperHintTiles"); }
    void markFreeTiles() override { record("markFreeTiles"); }
    void enterGameWon() override { record("enterGameWon"); }
    void showHostHint(int32_t hint) override { record("showHostHint " + std::to_string(hint)); }
    void showSuperScore(int32_t, int32_t) override { record("showSuperScore"); }
    void showScoreFloater(int32_t multiplier, Tile* tile, int32_t points) override {
        record("showScoreFloater " + std::to_string(multiplier) + " " + where(tile) + " " +
               std::to_string(points));
    }
    // With the matches the player would be shown.
    void updateMatchesText() override {
        Game* game = Game::current();
        record("updateMatchesText " +
               std::to_string(game && game->getLayout() ? game->countMatches(nullptr) : -1));
    }
    void updateProgressLabel() override { record("updateProgressLabel"); }
    void resetHintPath() override { record("resetHintPath"); }
    void clearHoverTile() override { record("clearHoverTile"); }
    void restartScoreCount() override { record("restartScoreCount"); }
    RefHolder<Image> findImage(const std::string& section, const std::string& name) override {
        record("findImage " + section + " " + name);
        return HeadlessGameScreen::findImage(section, name);
    }

    std::vector<std::string> calls;
    // When set, render tiles show this picture with this alpha.
    RefHolder<Image> tilePicture;
    int32_t tileAlpha = 255;
};

}  // namespace rules_test
