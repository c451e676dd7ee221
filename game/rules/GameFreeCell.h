#pragma once

#include "game/rules/Game.h"

// The free-cell game (type 1): the layout's side board is a rack of free cells in which the
// player parks one selected tile at a time. A parked tile is free and pairs with any free tile
// of the board or with another parked tile; the game is stuck only when no match is left and
// every cell is taken.
class GameFreeCell : public Game {
    QUOVEL_TYPE(GameFreeCell)
public:
    // A new game, or one restored from a saved node ("hintCounter" too).
    explicit GameFreeCell(PropertyNode* saved);

    bool canMatch(Tile* a, Tile* b) override;
    // Pairs of free board tiles, then parked tiles with free board tiles, then parked pairs.
    void findMatches(TileList& out, Layout* layout) override;
    // Partners for the parked tiles first, then the other tiles in random pairs.
    void dealTileDefs(FaceList& out) override;
    // Takes one board tile off for every parked tile that needs a board partner, then removes
    // random free pairs as the classic game does.
    bool buildAttempt(Layout* layout, TileList& order) override;
    // Puts an undone tile back into the cell it recorded.
    void restoreSideBoardTile(Layout* layout, Tile* tile) override;
    void save(PropertyNode* node) override;
    // With one tile selected, a click on an empty cell moves it there (outcome 7).
    void onTileClicked(int32_t x, int32_t y) override;
    bool isStuck(int32_t matchCount) override;

    // The board tiles that partner the parked tiles needing one, in side-board order: a parked
    // tile pairs first with an earlier unpaired parked tile of its key, else with the first
    // board tile of that key not yet taken.
    static TileList findParkedPartners(Layout* layout);

    // The host's hint counter of this type, raised and read by the game screen.
    int32_t getHintCounter() const { return hintCounter; }
    void setHintCounter(int32_t value) { hintCounter = value; }

private:
    int32_t hintCounter = 0;
};
