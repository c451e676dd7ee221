#pragma once

#include "game/rules/Game.h"

// The river game (type 4): two tiles match only on the same layer, with equal match keys, when
// a line of at most three segments joins them through the empty space of their layer. The
// free-tile rule is widened for this type (an empty upper or lower side frees a tile too).
// Levels are built layer by layer from the top, removing random joined pairs.
class GameRiver : public Game {
    QUOVEL_TYPE(GameRiver)
public:
    // Random draws for a joined pair on a layer before the build looks at every pair of it.
    static constexpr int32_t MAX_PAIR_DRAWS = 400;

    // A new game, or one restored from a saved node (the attempt counter is not saved).
    explicit GameRiver(PropertyNode* saved);

    bool canMatch(Tile* a, Tile* b) override;
    // Pairs of equal match keys; layer and path play no part.
    void dealTileDefs(FaceList& out) override;
    // Top layer first; fails when a layer's remaining tiles hold no free joined pair.
    bool buildAttempt(Layout* layout, TileList& order) override;
    void save(PropertyNode* node) override;
    // Counts clicks that pair equal faces on different layers.
    void onTileClicked(int32_t x, int32_t y) override;
    void resetHintCounters() override { attemptCounter = 0; }

    int32_t getAttemptCounter() const { return attemptCounter; }

private:
    // Both free and joined by a path on the layout.
    static bool isRemovablePair(Layout* layout, Tile* a, Tile* b);

    int32_t attemptCounter = 0;
};
