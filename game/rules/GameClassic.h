#pragma once

#include "game/rules/Game.h"

// The classic game (type 0): any two free tiles with the same match key are a pair, and levels
// are built by removing random free pairs whose partners lie at the level's tile distance.
class GameClassic : public Game {
    QUOVEL_TYPE(GameClassic)
public:
    // A new game, or one restored from a saved node.
    explicit GameClassic(PropertyNode* saved);

    // Two different tiles with equal match keys; freeness is not part of the test. Shared by
    // the other modes that match by face alone.
    static bool sameFace(Tile* a, Tile* b);

    bool canMatch(Tile* a, Tile* b) override;
    bool buildAttempt(Layout* layout, TileList& order) override;
    void save(PropertyNode* node) override;
};
