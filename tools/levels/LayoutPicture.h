#pragma once

#include <cstdint>
#include <vector>

#include "tools/levels/LayoutFile.h"

namespace levels {

// An RGBA picture of a layout for review: every tile a shaded box colored by its layer,
// higher layers shifted up and left as the game draws them, the side-board racks as slot
// outlines in a strip below the board.
struct LayoutPicture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;
};

LayoutPicture drawLayoutPicture(const LayoutFileData& layout);

}  // namespace levels
