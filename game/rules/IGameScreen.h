#pragma once

#include <cstdint>
#include <string>

#include "framework/core/Interface.h"
#include "framework/core/Rect.h"
#include "framework/core/RefHolder.h"

class DisplayValue;
class GameNode;
class Image;
class Layout;
class RenderTile;
class Tile;

// Everything the rules ask of the game screen: the board renderer's tile lookup and tile looks,
// the bonus and time bars, the game scene's reactions to clicks and matches, and what the side
// board needs to draw its rack. The game scene implements it; HeadlessGameScreen lets the rules
// run without a screen in tests and benches.
class IGameScreen : public Interface {
    QUOVEL_INTERFACE_TYPE(IGameScreen)
public:
    // Board renderer.
    // The tile under the screen point (grid cells first, then the side-board sprites), or null.
    virtual Tile* tileAtPoint(Layout* layout, int32_t x, int32_t y) = 0;
    virtual void addSuperHintTint(Tile* tile) = 0;
    // Back to the plain look.
    virtual void clearModifiers(Tile* tile) = 0;
    virtual void addFadeOut(Tile* tile, int32_t chainCounter) = 0;
    virtual void addBlockedPulse(Tile* tile) = 0;
    // Puts the render tile of a tile that an undo brought back into its grid cells again.
    virtual void restoreRenderTile(Tile* tile) = 0;
    // A new render tile (unreferenced) for a side-board slot tile.
    virtual RenderTile* createRenderTile(int32_t column, int32_t row, int32_t layer,
                                         int32_t faceOffsetX, int32_t faceOffsetY) = 0;
    virtual void showTileFaceShine(Tile* tile, int32_t chainCounter) = 0;
    // Adds a screen rectangle to the board renderer's dirty rectangles.
    virtual void addDirtyRect(const Rect& area) = 0;

    // Bonus bar and time bar.
    // Counts a match of that many points: the bonus bar fills and its chain counter rises by
    // one, to at most 99.
    virtual void addBonusPoints(int32_t points) = 0;
    // The chain counter; the score multiplier of a match is the counter minus one.
    virtual int32_t getChainCounter() const = 0;
    // The time bar's time (initial 30000, bounds 0 and 30000).
    virtual DisplayValue& getTimeValue() = 0;

    // Game scene.
    // Above 0 while a super hint runs.
    virtual int32_t getSuperHintCounter() const = 0;
    virtual void removeTileEffect(Tile* tile) = 0;
    virtual void showTileSelected(Tile* tile) = 0;
    virtual void showTileBlocked(Tile* tile) = 0;
    virtual void markSuperHintTiles() = 0;
    virtual void markFreeTiles() = 0;
    virtual void enterGameWon() = 0;
    virtual void showHostHint(int32_t hint) = 0;
    // A score increment reached the shown score, which now stands at `newScore`.
    virtual void showSuperScore(int32_t newScore, int32_t increment) = 0;
    virtual void showScoreFloater(int32_t multiplier, Tile* tile, int32_t points) = 0;
    virtual void updateMatchesText() = 0;
    virtual void updateProgressLabel() = 0;
    // Takes away the path shown to a hovered matching tile and restarts its appear timer.
    virtual void resetHintPath() = 0;
    virtual void clearHoverTile() = 0;
    // Restarts the score label's count-up from the number it shows.
    virtual void restartScoreCount() = 0;
    // The node that holds the layout's side board; null when none.
    virtual GameNode* getSideBoardHolder() = 0;
    // The effect layer: a node whose modifiers (and those of its children) the screen ticks
    // every frame; null when the screen has none.
    virtual GameNode* getEffectLayer() = 0;

    // Side-board drawing.
    // Whether the game scene (or the target of a running transition) is current with its
    // board renderer; the side board redraws its picture only then.
    virtual bool isBoardShown() const = 0;
    virtual bool drawsShadows() const = 0;
    // The renderer's tile shadow picture, or null.
    // Both referenced before the resource data lock is released.
    virtual RefHolder<Image> getShadowImage() = 0;
    // A picture of a resource section, or null when it is missing.
    virtual RefHolder<Image> findImage(const std::string& section, const std::string& name) = 0;
    // The symbol sheet of the player's tile set, which slot tiles are drawn with; null while the
    // board hides its symbols (pause) or when the screen has none.
    virtual Image* getShownSymbols() = 0;

    // A tile about to fly to a side-board slot: it leaves the board's picture (its render tile
    // leaves the grid) and the screen shows a sprite of it, face and symbol, at its place in the
    // effect layer. The sprite, or null when the screen draws none.
    virtual GameNode* liftTile(Tile* tile) = 0;
};

// The screen the rules talk to: the one set, else the fallback's. With neither, the rules were
// run outside any game screen: the program stops.
IGameScreen& getGameScreen();
// Not owned; null goes back to the fallback.
void setGameScreen(IGameScreen* screen);
// What stands in while no screen is set; the test support makes it a process-wide headless
// screen. The shipped program has none.
void setFallbackGameScreen(IGameScreen& (*screen)());
