#pragma once

#include "game/rules/Game.h"

// The game of threes (type 3): three free tiles with equal match keys are a match. Levels are
// built by removing random free triples whose members lie at the level's tile distance, so a
// layout must hold a multiple of three tiles.
class GameTriple : public Game {
    QUOVEL_TYPE(GameTriple)
public:
    // A new game, or one restored from a saved node.
    explicit GameTriple(PropertyNode* saved);

    // Three different tiles with equal match keys.
    static bool isTriple(Tile* a, Tile* b, Tile* c);

    bool canMatch(Tile* a, Tile* b) override;
    void dealTileDefs(FaceList& out) override;
    bool buildAttempt(Layout* layout, TileList& order) override;
    void save(PropertyNode* node) override;
    bool completesSelection() override;
    int32_t getTilesPerMatch() const override { return 3; }
};
