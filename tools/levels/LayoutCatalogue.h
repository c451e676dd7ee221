#pragma once

#include <string>
#include <vector>

#include "tools/levels/LayoutShape.h"

namespace levels {

// Classic and Triple deal faces again while a tile lies under a tile it matches, and after 100
// such deals fall back on a deal that was never proven winnable. A deal avoids every such pair
// with a chance of about e^(-1.2 r) for a stacking risk r (the 1.2 is measured on the game's
// builder: its orders repeat a face over a stacked pair a little more often than independent
// draws would), so at r = 2 all 100 deals fail in fewer than one build in 10,000.
constexpr double MAX_STACKING_RISK = 2.0;

// Game types as the level files number them.
enum GameType { CLASSIC = 0, FREE_CELL = 1, SPLIT = 2, TRIPLE = 3, RIVER = 4, SPEED = 5 };

// One authored layout: its file name under media/levels/, its title, its shape, and whether
// its layers are open enough for River (the designer's judgement; the content test proves it).
struct LayoutDesign {
    std::string file;
    std::string title;
    LayoutShape shape;
    bool riverFriendly = false;

    std::string textKey() const;
    // Ordering of difficulty: more tiles and higher stacks are harder.
    int rank() const { return shape.count() + 12 * shape.topLayer(); }
    bool fits(GameType type) const;
    // The expected number of stacked tile pairs that get faces of one key in a deal of
    // `copies` and `groupSize` (TileManager::dealDefs) taken off `perMatch` tiles at a time.
    double stackingRisk(int copies, int groupSize, int perMatch) const;
};

// The tiles per match key that TileManager::dealDefs hands out for a count with the shipped suits
// (regular sizes 9, 9, 9, 4, 3: 34 faces, then two special suits of 4 that match as a whole).
// Which regular faces the dealer picks last is random; they are counted as the first ones.
std::vector<int> dealtKeyCounts(int count, int copies, int groupSize);

// The number of faces the dealer hands out: a layout is only usable when this is its count.
int dealtFaces(int count, int copies, int groupSize);

std::vector<LayoutDesign> designLayouts();

}  // namespace levels
