#pragma once

#include <string>
#include <vector>

#include "tools/levels/LayoutShape.h"

namespace levels {

// Game types as the level files number them.
enum GameType { kClassic = 0, kFreeCell = 1, kSplit = 2, kTriple = 3, kRiver = 4, kSpeed = 5 };

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
};

// The number of faces TileManager::dealDefs hands out for a count with the usual suits (regular
// sizes 9, 9, 9, 4, 3; special suits of 4): a layout is only usable when this equals its count.
int dealtFaces(int count, int copies, int groupSize);

std::vector<LayoutDesign> designLayouts();

}  // namespace levels
