#pragma once

#include <cstdint>
#include <vector>

#include "framework/core/Rect.h"
#include "game/screen/BoardInput.h"

class GameNode;
class LayoutRenderer;
class PlayScreen;
class Tile;

// The tutorial hint ids (0-14 are the host's hints).
enum TutorialHint : int32_t {
    HINT_MULTIPLIER = 15,
    HINT_TIME_LOW = 16,
    HINT_BONUS_HALF = 17,
    HINT_FLOWERS = 18,
    HINT_SEASONS = 19,
    HINT_SPLIT_BOARD = 20,
    HINT_SPLIT_SIDEBOARD = 21,
    HINT_FREECELL_COVERING = 22,
    HINT_FREECELL_SIDEBOARD = 23,
    HINT_FREECELL_SHUFFLE = 24,
    HINT_RIVER_LAYERS = 25,
    HINT_RIVER_SAME_LAYER = 26,
    HINT_RIVER_PATH = 27,
    HINT_RIVER_NEIGHBOURS = 28,
};

// Decides when a tutorial hint applies and shows it: the board check (paced by the level flow's
// frame update), the click check before the game acts on a click, the after-click check and the
// shuffle check. Each returns true when it showed a hint, and false at once while the player's
// hints are off. Hints that point at tiles mark them for the player (pulsed, hinted, selected).
class HintTriggers : public BoardInput::Tutorial {
public:
    // Frames between two board checks, less one.
    static constexpr int32_t PACER_FRAMES = 20;
    static constexpr int32_t FREECELL_HINT_AFTER = 3;

    explicit HintTriggers(PlayScreen& scene) : scene(scene) {}

    // The level flow's frame: counts frames while no hint is open and examines the board on
    // every 22nd, when play runs and there is a game.
    void onFrame();
    bool checkBoard();
    // The click the game has just taken (its outcome and clicked tile); true when a hint showed
    // and the click's outcome is to be dropped.
    bool onClickTaken() override;
    // After the game acted on the click.
    bool afterClickActedOn() override;
    // The shuffle button; true when a hint showed and the shuffle is not to be done.
    bool onShuffle() override;

    // A board tile's screen rectangle; empty for a null tile or without a renderer.
    static Rect tileRect(const LayoutRenderer* renderer, const Tile* tile);

private:
    bool hintsOn() const;
    bool show(const Rect* rect, int32_t id, GameNode* target);
    // Pulses the free tile whose removal frees a covered one and points the hint at it.
    bool showCovering(int32_t id);
    // Deselects all, then pulses, hints and selects the tiles.
    void markTiles(const std::vector<Tile*>& tiles);
    bool checkBars();
    bool checkSpecialSuits();
    bool checkRiverPath();
    bool checkSplit();
    bool checkFreeCellSideBoard();
    bool checkRiver();

    PlayScreen& scene;
    int32_t pacer = 0;
};
