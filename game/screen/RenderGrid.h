#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

class RenderTile;

// The board renderer's cells: which render tile covers each cell of the 41 x 21 x 7 grid. A
// render tile at (x, y, z) covers (x, y), (x + 1, y), (x, y + 1) and (x + 1, y + 1) of layer z.
// The cells do not own their tiles.
class RenderGrid {
public:
    static constexpr int32_t COLUMNS = 41;
    static constexpr int32_t ROWS = 21;
    static constexpr int32_t LAYERS = 7;

    static bool contains(int32_t x, int32_t y, int32_t z) {
        return x >= 0 && x < COLUMNS && y >= 0 && y < ROWS && z >= 0 && z < LAYERS;
    }
    // The render tile of a cell; null outside the grid or for an empty cell.
    RenderTile* at(int32_t x, int32_t y, int32_t z) const {
        return contains(x, y, z) ? cells[index(x, y, z)] : nullptr;
    }
    // Writes the tile (or null) into its four cells, those inside the grid.
    void cover(int32_t x, int32_t y, int32_t z, RenderTile* tile) {
        for (int32_t dx = 0; dx < 2; ++dx) {
            for (int32_t dy = 0; dy < 2; ++dy) {
                if (contains(x + dx, y + dy, z)) {
                    cells[index(x + dx, y + dy, z)] = tile;
                }
            }
        }
    }
    void clear() { cells.fill(nullptr); }

private:
    static size_t index(int32_t x, int32_t y, int32_t z) {
        return (static_cast<size_t>(x) * ROWS + static_cast<size_t>(y)) * LAYERS +
               static_cast<size_t>(z);
    }

    std::array<RenderTile*, static_cast<size_t>(COLUMNS) * ROWS * LAYERS> cells{};
};
