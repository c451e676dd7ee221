#pragma once

#include <cstdint>

#include "framework/core/Interface.h"

class Tile;

// What tiles, layouts and side boards read of the running game: the game type of its level
// (River widens the free-tile rule; FreeCell, Split and Speed shape the side board) and the next
// tile for a side-board slot. The game implements it and registers itself as current.
class ICurrentGame : public Interface {
    QUOVEL_INTERFACE_TYPE(ICurrentGame)
public:
    // Game type of the current level: 0 Classic, 1 FreeCell, 2 Split, 3 Triple, 4 River, 5 Speed.
    virtual int32_t getLevelGameType() const = 0;
    // The tile to put in the next free side-board slot, or null when there is none. The side
    // board takes its own reference.
    virtual Tile* nextTile() = 0;
};

// The running game, or null; not owned (the game's own slot holds it).
ICurrentGame* getCurrentGame();
void setCurrentGame(ICurrentGame* game);
// The current game's level type, -1 without a game.
int32_t getCurrentGameType();
