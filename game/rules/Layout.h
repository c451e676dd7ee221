#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <string>
#include <vector>

#include "framework/core/BaseObject.h"
#include "framework/core/RefHolder.h"
#include "game/rules/GameType.h"
#include "game/rules/SideBoard.h"
#include "game/rules/Tile.h"

class PropertyNode;

// The board of a level: a grid of 41 x 21 cells in 7 layers in which every tile fills 2 x 2
// cells of its layer, the tile counts, an optional side board and a display name. It decides
// which tiles are free, answers the position queries of the game types and the level builder,
// and reads and writes the layout form that layout files and saved games use.
class Layout : public BaseObject {
    QUOVEL_TYPE(Layout)
public:
    static constexpr int32_t COLUMNS = 41;
    static constexpr int32_t ROWS = 21;
    static constexpr int32_t LAYERS = 7;
    // A tile's top-left cell must lie within these, so that its four cells are in the grid.
    static constexpr int32_t MAX_TILE_X = COLUMNS - 2;
    static constexpr int32_t MAX_TILE_Y = ROWS - 2;
    static constexpr int32_t MAX_TILE_Z = LAYERS - 1;

    // Reads "tiles", "displayname", the side board (only for FreeCell, Split and Speed:
    // "sideboard", else entry `sideBoardIndex` of "sideboards") and "originalTileCount". Tiles
    // outside the grid and entries that are not tiles are skipped.
    Layout(PropertyNode* node, GameType gameType, int32_t sideBoardIndex);
    // The working copy: copies of every grid tile and of the side board.
    Layout(const Layout& other);
    Layout& operator=(const Layout&) = delete;
    ~Layout() override;

    // The layout of the file's node "layout"; an unreadable file gives an empty layout. The
    // caller takes the reference.
    static Layout* findByName(const std::string& path, GameType gameType, int32_t sideBoardIndex);
    // Writes "tileCount", "displayname", "tiles", "sideboard" (when there is one) and
    // "originalTileCount" into the node.
    void save(PropertyNode* node) const;

    // Removes the tiles in the four target cells, then (for a tile) stores it there and sets its
    // grid position. False, with nothing changed, when the cells would leave the grid.
    bool placeTile(Tile* tile, int32_t x, int32_t y, int32_t z);
    // placeTile of every tile at its own grid position.
    void placeTiles(const std::vector<RefHolder<Tile>>& tiles);
    // Takes a grid tile out of its cells, or a side-board tile out of its slot.
    void removeTile(Tile* tile);
    // Empties the grid; the side board keeps its tiles.
    void clear();

    // The tile whose cells include (x, y, z), present or hidden; null outside the grid.
    Tile* getCell(int32_t x, int32_t y, int32_t z) const;
    // The tile of a cell that is not empty, else null.
    Tile* getTileAt(int32_t x, int32_t y, int32_t z) const;
    // Outside the grid, without a tile, or holding a hidden tile.
    bool isCellEmpty(int32_t x, int32_t y, int32_t z) const;
    bool isTileFree(const Tile* tile) const;
    bool isLeftEmpty(int32_t x, int32_t y, int32_t z) const;
    bool isRightEmpty(int32_t x, int32_t y, int32_t z) const;
    bool isUpEmpty(int32_t x, int32_t y, int32_t z) const;
    bool isDownEmpty(int32_t x, int32_t y, int32_t z) const;
    // Whether a blocked tile becomes free when one single other tile is removed.
    bool isFreeAfterOneRemoval(const Tile* tile) const;
    void getTilesFreeAfterOneRemoval(std::vector<RefHolder<Tile>>& out) const;

    // Queries over the grid tiles in grid order: x fastest, then y, then z.
    void getAllTiles(std::vector<RefHolder<Tile>>& out) const;
    void getFreeTiles(std::vector<RefHolder<Tile>>& out) const;
    int32_t countFreeTiles() const;
    void getTilesOnLayer(int32_t layer, std::vector<RefHolder<Tile>>& out) const;
    // The distinct tiles beside the tile on its layer and on the four cells above it.
    int32_t getNeighbours(const Tile* tile, std::vector<RefHolder<Tile>>& out) const;
    // For the tutorial: a free tile lying on a tile that one removal would free, when the side
    // board has a free slot; null otherwise.
    Tile* findFreeCoveringTile() const;
    // The largest occupied column + 1 (row + 1) over all layers; 0 when empty.
    int32_t getUsedWidth() const;
    int32_t getUsedHeight() const;

    int32_t getTileCount() const { return tileCount; }
    int32_t getStartingTileCount() const { return startingTileCount; }
    void setStartingTileCount(int32_t count) { startingTileCount = count; }
    const std::string& getDisplayName() const { return displayName; }
    SideBoard* getSideBoard() const { return sideBoard.get(); }
    void setSideBoard(SideBoard* board) { sideBoard = board; }

    // Bit x set for each column x of row y of layer z whose cell holds a tile (hidden or not);
    // 0 for a row or layer outside the grid.
    uint64_t getOccupiedCells(int32_t y, int32_t z) const {
        return y >= 0 && y < ROWS && z >= 0 && z < LAYERS ? occupied[rowIndex(y, z)] : 0;
    }

    // One bit per cell of a present tile, a word per row of a layer (index rowIndex(y, z)).
    using CellRows = std::array<uint64_t, static_cast<size_t>(ROWS) * LAYERS>;
    CellRows getPresentCells() const;
    // isTileFree's rule for a grid tile at (x, y, z) among the present cells `present` (River's
    // rule also frees a tile whose cells above or below are empty): for searches that take tiles
    // off a copy of the cells instead of the grid.
    static bool isFreeAmong(const CellRows& present, int32_t x, int32_t y, int32_t z, bool river);
    static size_t rowIndex(int32_t y, int32_t z) {
        return static_cast<size_t>(z) * ROWS + static_cast<size_t>(y);
    }

    // Calls fn(tile) for every grid tile in grid order. Only occupied cells are visited; the
    // occupancy is read afresh at each step, so fn may change the grid as it goes.
    template <class Fn>
    void forEachTile(Fn fn) const {
        for (int32_t z = 0; z < LAYERS; ++z) {
            for (int32_t y = 0; y < ROWS; ++y) {
                const uint64_t& row = occupied[rowIndex(y, z)];
                for (uint64_t bits = row; bits != 0;) {
                    const int32_t x = std::countr_zero(bits);
                    Tile* tile = cells[cellIndex(x, y, z)].get();
                    if (tile != nullptr && tile->getGridX() == x && tile->getGridY() == y &&
                        tile->getGridZ() == z) {
                        fn(tile);
                    }
                    bits = x + 1 < COLUMNS ? row & (~uint64_t{0} << (x + 1)) : 0;
                }
            }
        }
    }

private:
    static bool inGrid(int32_t x, int32_t y, int32_t z) {
        return x >= 0 && x < COLUMNS && y >= 0 && y < ROWS && z >= 0 && z < LAYERS;
    }
    static size_t cellIndex(int32_t x, int32_t y, int32_t z) {
        return (static_cast<size_t>(x) * ROWS + static_cast<size_t>(y)) * LAYERS +
               static_cast<size_t>(z);
    }
    // Every change of a cell goes through here, so that the occupancy stays true.
    void setCell(int32_t x, int32_t y, int32_t z, Tile* tile);
    // The distinct non-empty tiles of two cells of a layer; returns how many.
    int32_t tilesIn(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t z,
                    const Tile* found[2]) const;
    void clearGrid();
    // The largest occupied column (or row) + 1.
    int32_t usedExtent(bool columns) const;

    int32_t tileCount = 0;
    RefHolder<SideBoard> sideBoard;
    int32_t startingTileCount = 0;
    std::vector<RefHolder<Tile>> cells;
    // One bit per cell holding a tile, a word per row of a layer: the grid queries visit only
    // occupied cells instead of all 6,027.
    CellRows occupied{};
    std::string displayName;
};
