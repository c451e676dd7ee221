#pragma once

#include <cstdint>

#include "framework/core/Interface.h"
#include "game/rules/GameType.h"

class Tile;

// What tiles, layouts and side boards read of the running game: the game type of its level
// (River widens the free-tile rule; FreeCell, Split and Speed shape the side board) and the next
// tile for a side-board slot. The game implements it and registers itself as current.
class ICurrentGame : public Interface {
    QUOVEL_INTERFACE_TYPE(ICurrentGame)
public:
    // Game type of the current level.
    virtual GameType getLevelGameType() const = 0;
    // The tile to put in the next free side-board slot, or null when there is none. The side
    // board takes its own reference.
    virtual Tile* nextTile() = 0;
};

// The running game, or null; not owned (the game's own slot holds it).
ICurrentGame* getCurrentGame();
void setCurrentGame(ICurrentGame* game);
// The current game's level type, NO_GAME_TYPE without a game.
GameType getCurrentGameType();
