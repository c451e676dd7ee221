#pragma once

#include "game/rules/GameSplit.h"

// The speed game (type 5): the side board shows one tile at a time, a copy of a random free
// board tile, and the player matches board tiles against it. Any order of removal works, so
// the build takes the tiles in layout order.
class GameSpeed : public GameSplit {
    QUOVEL_TYPE(GameSpeed)
public:
    // A new game, or one restored from a saved node.
    explicit GameSpeed(PropertyNode* saved);

    // The side board's tile and the first free board tile that matches it.
    bool findHint(TileList& out) override;
    // The side board's tile with every free board tile that matches it.
    void findMatches(TileList& out, Layout* layout) override;
    bool buildAttempt(Layout* layout, TileList& order) override;
    // The rack is dealt again from the free tiles of `board`; there is no queue to keep.
    void dealSideBoard(Layout* board, const TileList& order, bool keep) override;
    // A copy of a random free board tile, or null when none is free.
    Tile* nextTile() override;
    void save(PropertyNode* node) override;
    // The clicked tile matches the side board's tile.
    bool completesSelection() override;

private:
    // A copy of a random free tile of the board, or null when none is free.
    static Tile* copyOfFreeTile(Layout* board);
    // The tile in the side board's first slot, or null.
    Tile* shownTile() const;
};
