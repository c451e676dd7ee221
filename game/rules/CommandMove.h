#pragma once

#include <cstdint>

#include "game/rules/Command.h"

class GameNode;
class SideBoard;
class TileFlight;

// Moves a tile into a side-board slot (the free cells). The tile leaves the board at once and
// flies to its slot; when it lands the side board takes it. Undo puts it back where it was.
// A move that is saved, undone or dropped while its tile is still flying lands it first.
class CommandMove : public Command {
    QUOVEL_TYPE(CommandMove)
public:
    // Keeps the tile and its present place as the previous position.
    CommandMove(int32_t targetColumn, int32_t targetRow, Tile* tile);
    // From a saved node: "tile", "x", "y", "lx", "ly", "lz" (and "lsideboard" when the tile
    // came from a slot). A node without a tile gives an unusable command.
    explicit CommandMove(PropertyNode* saved);
    ~CommandMove() override;

    void execute(Game& game) override;
    void undo(Game& game) override;
    void save(PropertyVector* parent) override;
    std::vector<RefHolder<Tile>> getRemovedTiles() const override { return {}; }
    bool isUsable() const override { return tile.get() != nullptr; }
    void complete() override;

    Tile* getTile() const { return tile.get(); }
    int32_t getTargetColumn() const { return targetColumn; }
    int32_t getTargetRow() const { return targetRow; }
    int32_t getPreviousX() const { return previousX; }
    int32_t getPreviousY() const { return previousY; }
    int32_t getPreviousZ() const { return previousZ; }
    bool isInFlight() const { return flight.get() != nullptr; }
    // The tile came from another slot rather than from the board.
    bool isFromSideBoard() const { return fromSideBoard; }

private:
    friend class TileFlight;
    // The tile reaches its slot: the side board takes it.
    void land();
    // The screen's picture of the flying tile goes.
    void dropFlyingSprite();

    RefHolder<Tile> tile;
    int32_t targetColumn = 0;
    int32_t targetRow = 0;
    int32_t previousX = 0;
    int32_t previousY = 0;
    int32_t previousZ = 0;
    // The tile came from another slot rather than from the board.
    bool fromSideBoard = false;
    // The side board that takes the tile when it lands.
    RefHolder<SideBoard> targetBoard;
    RefHolder<TileFlight> flight;
    // The screen's sprite of the tile while it flies; null when the screen shows none.
    RefHolder<GameNode> flyingSprite;
};
