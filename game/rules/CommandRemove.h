#pragma once

#include <cstdint>

#include "game/rules/Command.h"

class PropertyNode;

// Takes a matching group off the board and books its score (points per match times the bonus
// multiplier). Undo puts the tiles back and takes the score back; bonus bar, time bar and the
// game's counters keep what the removal gave them.
class CommandRemove : public Command {
    QUOVEL_TYPE(CommandRemove)
public:
    CommandRemove(int32_t points, int32_t multiplier, const std::vector<RefHolder<Tile>>& tiles);
    // From a saved node: "tiles" (each child built by its type word; children that are not
    // tiles are skipped) and "score". Points and multiplier are not saved.
    explicit CommandRemove(PropertyNode* saved);

    void execute(Game& game) override;
    void undo(Game& game) override;
    void save(PropertyVector* parent) override;
    std::vector<RefHolder<Tile>> getRemovedTiles() const override { return tiles; }

    int32_t getScore() const { return score; }
    int32_t getPoints() const { return points; }
    int32_t getMultiplier() const { return multiplier; }
    const std::vector<RefHolder<Tile>>& getTiles() const { return tiles; }

private:
    int32_t score;
    int32_t points = 0;
    int32_t multiplier = 0;
    std::vector<RefHolder<Tile>> tiles;
};
