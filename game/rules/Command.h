#pragma once

#include <vector>

#include "framework/core/BaseObject.h"
#include "framework/core/RefHolder.h"
#include "game/rules/Tile.h"

class Game;
class PropertyNode;
class PropertyVector;

// A change of the board that the player can take back: removing a match or moving a tile to a
// side-board slot. The game runs each command once (Game::runCommand), keeps it in its undo
// history, and undoes the newest on request; the history is saved with the game, so restored
// commands are built back from the tree and can still be undone.
class Command : public BaseObject {
    QUOVEL_TYPE(Command)
public:
    virtual void execute(Game& game) = 0;
    virtual void undo(Game& game) = 0;
    // Appends the command's node to the parent (the game's "undo" vector).
    virtual void save(PropertyVector* parent) = 0;
    // The tiles the command took off the board.
    virtual std::vector<RefHolder<Tile>> getRemovedTiles() const = 0;
    // Whether the command was restored whole from a saved node; a broken one is dropped.
    virtual bool isUsable() const { return true; }
    // Finishes any animation that the command still waits for (a tile in flight lands).
    virtual void complete() {}
};
