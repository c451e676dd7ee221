#pragma once

#include <cstdint>
#include <string>

#include "framework/core/Rect.h"
#include "framework/core/RefHolder.h"
#include "game/rules/TilePathFinder.h"

class GameNode;
class LayoutRenderer;
class Sprite;
class Tile;

// The game screen's board input: the hover, the clicks and the right click on the board, the
// window's focus messages, the tile marks and the hint path drawn between two tiles (on its own
// layer, which the screen places in its tree).
class BoardInput {
public:
    // What the input reads of the screen it serves.
    class Screen {
    public:
        // Board input is taken only in play.
        virtual bool isPlaying() const = 0;
        virtual LayoutRenderer* getRenderer() const = 0;
        // A running super hint tints every match; its marks let the hover path through.
        virtual int32_t getSuperHintTimeLeft() const = 0;

    protected:
        ~Screen() = default;
    };

    // The tutorial hints a click or the shuffle button may show; true when one showed and the
    // click's outcome or the shuffle is to be dropped.
    class Tutorial {
    public:
        // The click the game has just taken.
        virtual bool onClickTaken() = 0;
        // After the game acted on the click.
        virtual bool afterClickActedOn() = 0;
        virtual bool onShuffle() = 0;

    protected:
        ~Tutorial() = default;
    };

    BoardInput(Screen& screen, Tutorial& tutorial);

    bool onMouseMove(int32_t x, int32_t y);
    bool onLeftButtonDown(int32_t x, int32_t y);
    bool onRightButtonDown();
    // Focus loss and the window's deactivation hold the game at the next frame.
    void onWindowMessage(uint32_t message);
    bool isFocusLost() const { return focusLost; }
    bool isDeactivatedThisFrame() const { return deactivatedThisFrame; }
    void forgetFocusLoss() { focusLost = false; }
    void endFrame() { deactivatedThisFrame = false; }

    void updateHover(int32_t x, int32_t y);
    void deselectAll();
    void clearHover();
    // Forgets the hovered tile and the path for a new level.
    void reset();
    Tile* getHoveredTile() const { return hoveredTile.get(); }
    // The River's path from the selection to the hovered tile shows after a delay.
    void advanceHoverPath(int32_t elapsedMs);

    // Tile marks.
    void showTileSelected(Tile* tile);
    void showTileBlocked(Tile* tile);
    static void removeTileEffect(Tile* tile);
    void markHintTile(Tile* tile);
    // Asked by the shuffle first: true when a tutorial hint showed instead, and the shuffle is
    // not to be done.
    bool shuffleHintShown();

    // The hint path.
    void clearHintPath(bool resetHoverTime);
    void showHintPath(Tile* from, Tile* to);
    GameNode* getHintPathLayer() const { return hintPathLayer.get(); }
    const TilePath& getPathSegments() const { return pathSegments; }

private:
    void markHover(Tile* tile);
    // Restores a tile that leaves the hover: the super-hint tint while one runs, else plain.
    void restoreLook(Tile* tile);
    // Makes a path piece transparent; it fades in after `delay` ms.
    static void fadeInPathPiece(Sprite* piece, int32_t delay);
    void addPathSegments(const Rect& a, const Rect& b, bool horizontal, bool backwards,
                         const std::string& prefix, float& delay);

    Screen& screen;
    Tutorial& tutorial;
    // Made with the input, for its whole life.
    const RefHolder<GameNode> hintPathLayer;
    RefHolder<Tile> hoveredTile;
    int32_t hoverTime = 0;
    bool deactivatedThisFrame = false;
    bool focusLost = false;
    TilePath pathSegments;
};
