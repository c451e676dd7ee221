#pragma once

#include <map>
#include <string>
#include <vector>

#include "framework/core/BaseObject.h"
#include "framework/core/GameNode.h"
#include "framework/core/RefHolder.h"
#include "framework/platform/Image.h"
#include "game/rules/DisplayValue.h"
#include "game/rules/IGameScreen.h"
#include "game/rules/RenderTile.h"

// A render tile without pictures: it keeps its stack of looks and runs fade-outs against the
// clock, so that side-board slots empty when a fade-out ends as they do on screen.
class HeadlessRenderTile : public RenderTile {
    QUOVEL_TYPE(HeadlessRenderTile)
public:
    using RenderTile::RenderTile;

    void addLook(const TileLook& look) override;
    void replaceTopLook(const TileLook& look) override;
    void updateTopLook(int32_t elapsedMs) override;
    Image* getPicture() override { return nullptr; }
    int32_t getAlpha() const override { return 255; }

    const std::vector<TileLook>& getLooks() const { return looks; }

private:
    std::vector<TileLook> looks;
    int32_t topElapsed = 0;
};

// The game screen without a screen, for tests and benches (a process-wide one stands in while
// no screen is set): drawing requests do nothing, but the state that the rules read is kept.
// Screen points map to grid cells by a fixed cell size from an origin (the topmost present tile
// of the cell wins), then to side-board tiles by their sprite rectangles; the bonus chain
// counter rises with each match up to 99; the time bar holds its value; the super-hint counter
// is set by the caller; the effect layer runs when the caller ticks it.
class HeadlessGameScreen : public BaseObject, public IGameScreen {
    QUOVEL_TYPE(HeadlessGameScreen)
public:
    static constexpr int32_t MAX_CHAIN_COUNTER = 99;

    // A screen point (x, y) lies in cell ((x - originX) / cellWidth, (y - originY) / cellHeight);
    // sizes below 1 count as 1.
    explicit HeadlessGameScreen(int32_t cellWidth = 1, int32_t cellHeight = 1, int32_t originX = 0,
                                int32_t originY = 0);

    Tile* tileAtPoint(Layout* layout, int32_t x, int32_t y) override;
    void addSuperHintTint(Tile*) override {}
    void clearModifiers(Tile*) override {}
    void addFadeOut(Tile*, int32_t) override {}
    void addBlockedPulse(Tile*) override {}
    void restoreRenderTile(Tile*) override {}
    RenderTile* createRenderTile(int32_t column, int32_t row, int32_t layer, int32_t faceOffsetX,
                                 int32_t faceOffsetY) override;
    void showTileFaceShine(Tile*, int32_t) override {}
    void addDirtyRect(const Rect& area) override { dirtyRects.push_back(area); }
    // The dirty rectangles asked for so far.
    const std::vector<Rect>& getDirtyRects() const { return dirtyRects; }

    void addBonusPoints(int32_t points) override;
    int32_t getChainCounter() const override { return chainCounter; }
    void setChainCounter(int32_t value) { chainCounter = value; }
    // Points handed to the bonus bar so far.
    int64_t getBonusPoints() const { return bonusPoints; }
    DisplayValue& getTimeValue() override { return timeValue; }

    int32_t getSuperHintCounter() const override { return superHintCounter; }
    void setSuperHintCounter(int32_t value) { superHintCounter = value; }
    void removeTileEffect(Tile*) override {}
    void showTileSelected(Tile*) override {}
    void showTileBlocked(Tile*) override {}
    void markSuperHintTiles() override {}
    void markFreeTiles() override {}
    void enterGameWon() override {}
    void showHostHint(int32_t) override {}
    void showSuperScore(int32_t, int32_t) override {}
    void showScoreFloater(int32_t, Tile*, int32_t) override {}
    void updateMatchesText() override {}
    void updateProgressLabel() override {}
    void resetHintPath() override {}
    void clearHoverTile() override {}
    void restartScoreCount() override {}
    GameNode* getSideBoardHolder() override { return nullptr; }
    GameNode* getEffectLayer() override { return effectLayer.get(); }
    // One frame of the effect layer, as the game screen's frame runs it.
    void tickEffects(int32_t elapsedMs);

    bool isBoardShown() const override { return boardShown; }
    void setBoardShown(bool value) { boardShown = value; }
    bool drawsShadows() const override { return shadowImage.get() != nullptr; }
    RefHolder<Image> getShadowImage() override { return shadowImage; }
    // With a shadow picture the screen draws shadows.
    void setShadowImage(Image* image) { shadowImage = image; }
    RefHolder<Image> findImage(const std::string& section, const std::string& name) override;
    // Slot tiles are drawn without symbols, and a moving tile flies without a sprite of its own.
    Image* getShownSymbols() override { return nullptr; }
    GameNode* liftTile(Tile*) override { return nullptr; }
    // Makes a picture available to findImage.
    void addImage(const std::string& section, const std::string& name, Image* image);

private:
    int32_t cellWidth;
    int32_t cellHeight;
    int32_t originX;
    int32_t originY;
    int32_t chainCounter = 0;
    int64_t bonusPoints = 0;
    DisplayValue timeValue{30000, 0, 30000};
    int32_t superHintCounter = 0;
    bool boardShown = false;
    RefHolder<Image> shadowImage;
    RefHolder<GameNode> effectLayer;
    std::vector<Rect> dirtyRects;
    std::map<std::string, RefHolder<Image>> images;  // by section + "/" + name
};

// From then on the rules talk to a process-wide headless screen wherever none is set.
void installHeadlessGameScreen();
