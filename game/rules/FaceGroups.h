#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "framework/core/RefHolder.h"
#include "game/rules/Tile.h"
#include "game/rules/TileDef.h"

// Deals the faces of a tile list back out in matching groups: the last tile is taken off, then
// the first remaining tiles that `matches` accepts with it, until the group is full; the faces
// of the group go out in that order. A tile whose group cannot be filled gives its face at the
// end of the list, so that it shifts no later group off its place. Every game type that deals in
// matching groups uses it, the base game with pairs by canMatch. `matches` accepts only tiles
// of the same match key (every game type's canMatch asks for the same face first). The list is
// left empty.
void dealFacesInGroups(std::vector<RefHolder<Tile>>& tiles, int32_t groupSize,
                       const std::function<bool(Tile*, Tile*)>& matches,
                       std::vector<RefHolder<TileDef>>& out);

// The face of a tile as a face record.
RefHolder<TileDef> faceOf(const Tile* tile);

// Face records handed out one per face (records never change): a deal of a few hundred tiles,
// or a builder that deals a hundred times per level, makes a few dozen records, not one per
// tile. A face outside suits and values 0 to 15 gets a record of its own.
class SharedFaces {
public:
    RefHolder<TileDef> of(int32_t suit, int32_t value);

private:
    static constexpr int32_t SUITS = 16;
    static constexpr int32_t VALUES = 16;
    std::array<RefHolder<TileDef>, static_cast<size_t>(SUITS) * VALUES> records;
};

// Whether the list holds the tile.
bool containsTile(const std::vector<RefHolder<Tile>>& list, const Tile* tile);

// For each tile of `tiles`, whether `list` holds it.
std::vector<char> listedIn(const std::vector<RefHolder<Tile>>& tiles,
                           const std::vector<RefHolder<Tile>>& list);

// Takes the tile out of the list wherever it stands.
void eraseTile(std::vector<RefHolder<Tile>>& list, const Tile* tile);

// The tiles of a list grouped by match key: for the tile at position i, the positions of every
// tile with its key, in list order (i among them). Lets a match search look only at tiles that
// can pair, where comparing every pair would be quadratic in the free tiles.
class MatchKeyGroups {
public:
    explicit MatchKeyGroups(const std::vector<RefHolder<Tile>>& tiles);
    // Positions with the key of the tile at position i, ascending.
    const size_t* begin(size_t i) const { return order.data() + first[groupOf[i]]; }
    const size_t* end(size_t i) const { return order.data() + first[groupOf[i] + 1]; }

private:
    std::vector<size_t> order;    // positions sorted by (key, position)
    std::vector<size_t> first;    // start of each group in order, and one past the last
    std::vector<size_t> groupOf;  // group of each position
};
