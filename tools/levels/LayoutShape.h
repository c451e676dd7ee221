#pragma once

#include <array>
#include <string>
#include <vector>

namespace levels {

// One tile of a layout: the grid column, row and layer of its top-left cell.
struct TilePos {
    int x = 0;
    int y = 0;
    int z = 0;
};

// A board shape being drawn: tiles on the 40 x 20 x 7 layout grid, each covering 2 x 2 cells
// of its layer. Drawing helpers refuse tiles that leave the grid or overlap another tile, so
// every shape the designer writes is a legal layout.
class LayoutShape {
public:
    static constexpr int COLUMNS = 41;
    static constexpr int ROWS = 21;
    static constexpr int LAYERS = 7;

    // Places one tile; false (nothing placed) outside 0..39 x 0..19 x 0..6 or over a tile.
    bool add(int x, int y, int z);
    bool remove(int x, int y, int z);

    // A cols x rows block of touching tiles with its first tile at (x, y).
    void block(int x, int y, int cols, int rows, int z);
    // One tile per '#' of the picture, characters two columns apart, lines two rows apart.
    void pattern(const std::vector<std::string>& lines, int x, int y, int z);
    // Raises a layer above z over every tile whose four side neighbours are on z too.
    void stackAligned(int z);
    // Raises a layer above z half a tile in, over every square of four touching tiles.
    void stackHalf(int z);
    // Moves the shape so that its used extent sits in the middle of the grid.
    void centre();

    // Removes tiles nothing lies on, keeping the shape mirror-symmetric where it is, until
    // every layer holds an even number of tiles.
    void evenLayers();
    // Removes mirrored pairs of uncovered tiles from the top down until the count is a
    // multiple of m (the count must be even first).
    void fitMultiple(int m);

    bool occupied(int x, int y, int z) const;
    bool covered(const TilePos& t) const;
    int count() const { return static_cast<int>(tiles.size()); }
    int layerCount(int z) const;
    // Pairs of a tile and a tile of the next layer that lies over part of it.
    int stackContacts() const;
    int topLayer() const;
    const std::vector<TilePos>& all() const { return tiles; }
    // Tiles sorted by layer, row and column, the order the layout file lists them in.
    std::vector<TilePos> sorted() const;

private:
    int mirrorSum() const;  // min x + max x: the mirror of column x is mirrorSum() - x
    bool removeTile(const TilePos& t);
    const TilePos* frontmostUncovered(int z) const;

    std::vector<TilePos> tiles;
    std::array<bool, COLUMNS * ROWS * LAYERS> cells{};
};

}  // namespace levels
