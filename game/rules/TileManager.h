#pragma once

#include <cstdint>
#include <vector>

#include "framework/core/BaseObject.h"
#include "framework/core/RefHolder.h"
#include "game/rules/TileDef.h"
#include "game/rules/TileSuit.h"

class PropertyVector;
class Random;

// The suits of tile faces, read once from the global "suitDefs", and the dealer that hands out
// the faces a level needs. Suits 0 to 4 are the regular suits; 5 and 6, the flowers and the
// seasons, are the special suits that the dealer hands out in groups.
class TileManager : public BaseObject {
    QUOVEL_TYPE(TileManager)
public:
    static constexpr int32_t FLOWER_SUIT = 5;
    static constexpr int32_t SEASON_SUIT = 6;
    // A suit larger than this cannot be told apart by the match key (suit << 8) + value.
    static constexpr int32_t MAX_SUIT_SIZE = 256;

    // The suits are the factory-built children of `suitDefs` (a node or a vector, null for
    // none), numbered in order; children that are not suits are skipped.
    explicit TileManager(PropertyVector* suitDefs);

    // Makes the singleton from BasicProperties' "suitDefs" (holding one reference).
    static void createInstance();
    static void releaseInstance();
    // The singleton, or null before createInstance.
    static TileManager* instance();

    int32_t getSuitCount() const { return static_cast<int32_t>(suits.size()); }
    // The suit of that number, or null when there is none.
    TileSuit* getSuit(int32_t number) const;
    // Whether tiles of that suit match as a whole; false for a suit number without a suit.
    bool matchesAsWhole(int32_t number) const;

    // Appends faces for `count` tiles: the special suits in groups of `groupSize`, every face of
    // the first `regularSuits` suits in multiples of 2 x `copies`, and, for what is left, random
    // distinct regular faces `copies` at a time. Draws come from the program's generator.
    // Missing suits and suits of size below 1 are left out; the deal never runs forever.
    void dealDefs(int32_t count, int32_t copies, int32_t groupSize, int32_t regularSuits,
                  std::vector<RefHolder<TileDef>>& out) const;

private:
    struct Deal;

    // The size the dealer uses: 0 for a missing suit or one of an unusable size.
    int32_t usableSize(int32_t number) const;

    std::vector<RefHolder<TileSuit>> suits;
};
