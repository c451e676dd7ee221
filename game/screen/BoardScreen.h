#pragma once

#include <cstdint>
#include <string>

#include "framework/core/RefHolder.h"
#include "game/rules/IGameScreen.h"
#include "game/screen/Floaters.h"

class BoardInput;
class PlayScreen;

// The rules' game screen on the game scene: the board renderer's tile lookup, tile looks and
// dirty rectangles, the marks of free and blocked tiles, the tile marks of the board input, the
// bars' chain counter, the side board's holder and pictures, the lifted tiles and the floaters
// (whose layer is the effect layer). The game scene owns it and sets it as the rules' screen for
// its whole life.
class BoardScreen : public IGameScreen {
public:
    BoardScreen(PlayScreen& play, BoardInput& input, Floaters& floaters);

    Floaters& getFloaters() { return floaters; }

    // Every layout tile counts as formerly free for the next marking.
    void resetFreeMarks();

    // IGameScreen.
    Tile* tileAtPoint(Layout* layout, int32_t x, int32_t y) override;
    void addSuperHintTint(Tile* tile) override;
    void clearModifiers(Tile* tile) override;
    void addFadeOut(Tile* tile, int32_t chainCounter) override;
    void addBlockedPulse(Tile* tile) override;
    void restoreRenderTile(Tile* tile) override;
    RenderTile* createRenderTile(int32_t column, int32_t row, int32_t layer, int32_t faceOffsetX,
                                 int32_t faceOffsetY) override;
    void showTileFaceShine(Tile* tile, int32_t chainCounter) override;
    void addDirtyRect(const Rect& area) override;
    void addBonusPoints(int32_t points) override;
    int32_t getChainCounter() const override;
    DisplayValue& getTimeValue() override;
    int32_t getSuperHintCounter() const override;
    void removeTileEffect(Tile* tile) override;
    void showTileSelected(Tile* tile) override;
    void showTileBlocked(Tile* tile) override;
    void markSuperHintTiles() override;
    void markFreeTiles() override;
    void enterGameWon() override;
    void showHostHint(int32_t hint) override;
    void showSuperScore(int32_t newScore, int32_t increment) override;
    void showScoreFloater(int32_t multiplier, Tile* tile, int32_t points) override;
    void updateMatchesText() override;
    void updateProgressLabel() override;
    void resetHintPath() override;
    void clearHoverTile() override;
    void restartScoreCount() override;
    GameNode* getSideBoardHolder() override;
    GameNode* getEffectLayer() override { return floaters.getLayer(); }
    bool isBoardShown() const override;
    bool drawsShadows() const override;
    RefHolder<Image> getShadowImage() override;
    RefHolder<Image> findImage(const std::string& section, const std::string& name) override;
    Image* getShownSymbols() override;
    GameNode* liftTile(Tile* tile) override;

private:
    PlayScreen& play;
    BoardInput& input;
    Floaters& floaters;
};
