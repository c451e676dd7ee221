#pragma once
// The builds the shipped game can ask for: every level of the four level files and every layout
// a casino or roof series can reach, at the first and the last step where it can stand, each with
// the game type it is played in, with the shipped tile suits. Shared by the content test and the
// build bench; both run from the game's folder.

#include <cstdint>
#include <string>
#include <vector>

#include "framework/core/RefHolder.h"
#include "game/rules/Game.h"
#include "game/rules/Layout.h"
#include "game/rules/Level.h"

class LevelCatalog;

namespace content_test {

// One build: a level with the values of its step and its layout, untouched by the builds.
struct ShippedBuild {
    std::string where;  // every place of the building that asks for this same build
    int32_t gameType = 0;
    RefHolder<Level> level;
    RefHolder<Layout> layout;
};

// Reads "suitDefs" from media/properties/mahjong.xml into the global values and makes the tile
// manager from them, as start-up does; false when the file gives no suits.
bool loadShippedSuits();
// Releases the tile manager and the global values.
void releaseShippedSuits();

// Every distinct build of a game type in the loaded catalogue; builds with the same layout and
// build values are listed once, with all their places. A series or place that gives no level is
// listed with game type -1.
std::vector<ShippedBuild> shippedBuilds(const LevelCatalog& catalog, int32_t gameType);

// Starts the build as a new level does, on a fresh copy of its layout, drawing from `seed`. The
// new game is current and is returned (null when the type makes none). The time the level took
// to set up (dealing and building) goes to `buildMilliseconds` when given.
Game* startBuild(const ShippedBuild& build, uint32_t seed, double* buildMilliseconds = nullptr);

// The fingerprint of no build (the FNV-1a offset basis).
constexpr uint64_t NO_BUILD_FINGERPRINT = 0xcbf29ce484222325ULL;
// Mixes into `hash` (FNV-1a) the faces the game's build dealt, board then side board, with their
// places, and the match list it offers first: a change to the builders' speed must leave both
// the same for every level and seed.
void fingerprintBuild(uint64_t& hash, Game& game);

}  // namespace content_test
