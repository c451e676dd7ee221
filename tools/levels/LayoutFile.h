#pragma once

#include <string>
#include <vector>

#include "tools/levels/LayoutShape.h"

namespace levels {

// One side-board rack of a layout file: slot columns and rows and its place on the board
// panel.
struct RackSpec {
    int columns = 0;
    int rows = 0;
    int x = 0;
    int y = 0;
};

// What a layout file holds, as the tools see it.
struct LayoutFileData {
    std::string displayName;
    std::vector<TilePos> tiles;
    std::vector<RackSpec> racks;  // "sideboards" in order, or the one "sideboard"
};

// Writes the node "layout" (tiles, display-name key, side boards) as the game reads it.
bool writeLayoutFile(const std::string& path, const std::string& displayName,
                     const LayoutShape& shape, const std::vector<RackSpec>& racks);

// Reads a layout file back; false when it does not parse or holds no node "layout".
bool readLayoutFile(const std::string& path, LayoutFileData& out);

}  // namespace levels
