#include "game/rules/Layout.h"

#include <algorithm>

#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PropertyNode.h"
#include "framework/core/PropertyStore.h"
#include "framework/core/PropertyValue.h"
#include "framework/core/Random.h"
#include "game/rules/GameType.h"
#include "game/rules/ICurrentGame.h"

QUOVEL_DEFINE_TYPE(Layout, &BaseObject::typeRecord)

namespace {

const char* const NO_NAME = "TEXT_LAYOUT_NONAME";

// Only these game types play with a side board.
bool typeHasSideBoard(GameType gameType) {
    return isGameTypeOf(gameType, {TYPE_FREECELL, TYPE_SPLIT, TYPE_SPEED});
}

}  // namespace

Layout::Layout(PropertyNode* node, GameType gameType, int32_t sideBoardIndex)
    : cells(static_cast<size_t>(COLUMNS) * ROWS * LAYERS), displayName(NO_NAME) {
    ObjectFactoryContainer* factory = ObjectFactoryContainer::instance();
    PropertyVector* tiles = node->getChildVector("tiles");
    for (int32_t i = 0; i < tiles->getChildCount(); ++i) {
        RefHolder<BaseObject> made(factory->createObject(tiles->getChildAt(i)));
        if (Tile* tile = objectCast<Tile>(made.get())) {
            // A tile whose cells would leave the grid is skipped.
            placeTile(tile, tile->getGridX(), tile->getGridY(), tile->getGridZ());
        }
    }

    if (node->getChild("displayname") != nullptr) {
        displayName = node->getChildValue("displayname")->getValue();
        if (displayName.empty()) {
            displayName = NO_NAME;
        }
    }

    if (typeHasSideBoard(gameType)) {
        PropertyNode* definition = nullptr;
        if (AbstractProperty* single = node->getChild("sideboard")) {
            definition = nodeOrDummy(single);
        } else if (AbstractProperty* list = node->getChild("sideboards");
                   list != nullptr && list->isVector() && sideBoardIndex > -1) {
            definition = nodeOrDummy(vectorOrDummy(list)->getChildAt(sideBoardIndex));
        }
        if (definition != nullptr) {
            RefHolder<BaseObject> made(factory->create("SideBoard", definition));
            if (SideBoard* board = objectCast<SideBoard>(made.get())) {
                sideBoard = board;
                board->setPosition(board->getX(), board->getY());
            }
        }
    }

    if (node->getChild("originalTileCount") != nullptr) {
        startingTileCount = node->getChildValue("originalTileCount")->getInt();
    } else {
        startingTileCount = tileCount;
    }
}

Layout::Layout(const Layout& other)
    : BaseObject(other),
      cells(static_cast<size_t>(COLUMNS) * ROWS * LAYERS),
      displayName(other.displayName) {
    other.forEachTile([this](Tile* tile) {
        RefHolder<Tile> copy(new Tile(*tile));
        placeTile(copy.get(), tile->getGridX(), tile->getGridY(), tile->getGridZ());
    });
    tileCount = other.tileCount;
    startingTileCount = other.tileCount;
    if (other.sideBoard) {
        sideBoard = new SideBoard(*other.sideBoard);
    }
}

Layout::~Layout() {
    clearGrid();
    tileCount = 0;
}

Layout* Layout::findByName(const std::string& path, GameType gameType, int32_t sideBoardIndex) {
    RefHolder<PropertyStore> store(new PropertyStore(path));
    store->load();
    return new Layout(store->getChildNode("layout"), gameType, sideBoardIndex);
}

void Layout::save(PropertyNode* node) const {
    node->addChild(new PropertyValue("tileCount", tileCount, true));
    node->addChild(new PropertyValue("displayname", displayName, true));
    auto* tiles = new PropertyVector("tiles");
    node->addChild(tiles);
    forEachTile([tiles](Tile* tile) {
        auto* child = new PropertyNode("", "Tile");
        tiles->addChild(child);
        tile->save(child);
    });
    if (sideBoard) {
        auto* board = new PropertyNode("sideboard", "SideBoard");
        node->addChild(board);
        sideBoard->save(board);
    }
    node->addChild(new PropertyValue("originalTileCount", startingTileCount, true));
}

bool Layout::placeTile(Tile* tile, int32_t x, int32_t y, int32_t z) {
    if (x < 0 || x > MAX_TILE_X || y < 0 || y > MAX_TILE_Y || z < 0 || z > MAX_TILE_Z) {
        return false;
    }
    if (tile != nullptr && !tile->isOnSideBoard() && tile->getGridX() == x &&
        tile->getGridY() == y && tile->getGridZ() == z && getCell(x, y, z) == tile &&
        getCell(x + 1, y, z) == tile && getCell(x, y + 1, z) == tile &&
        getCell(x + 1, y + 1, z) == tile) {
        return true;  // already in place: taking it out and back would leave all as it is
    }
    // The grid may hold the only other reference, which the removals below drop.
    RefHolder<Tile> hold(tile);
    if (tile != nullptr && !tile->isOnSideBoard() &&
        getCell(tile->getGridX(), tile->getGridY(), tile->getGridZ()) == tile) {
        removeTile(tile);  // moving within the grid: never stored twice, never counted twice
    }
    const int32_t xs[4] = {x, x + 1, x, x + 1};
    const int32_t ys[4] = {y, y, y + 1, y + 1};
    for (int i = 0; i < 4; ++i) {
        RefHolder<Tile>& cell = cells[cellIndex(xs[i], ys[i], z)];
        if (Tile* occupant = cell.get()) {
            removeTile(occupant);
            if (cell.get() == occupant) {
                setCell(xs[i], ys[i], z, nullptr);  // a tile whose position names another cell
            }
        }
    }
    if (tile == nullptr) {
        return true;
    }
    for (int i = 0; i < 4; ++i) {
        setCell(xs[i], ys[i], z, tile);
    }
    tile->setGridPosition(x, y, z);
    ++tileCount;
    return true;
}

void Layout::placeTiles(const std::vector<RefHolder<Tile>>& tiles) {
    for (const RefHolder<Tile>& tile : tiles) {
        if (tile) {
            placeTile(tile.get(), tile->getGridX(), tile->getGridY(), tile->getGridZ());
        }
    }
}

void Layout::removeTile(Tile* tile) {
    if (tile == nullptr) {
        return;
    }
    RefHolder<Tile> hold(tile);
    const int32_t x = tile->getGridX();
    const int32_t y = tile->getGridY();
    const int32_t z = tile->getGridZ();
    if (tile->isOnSideBoard()) {
        if (sideBoard && sideBoard->getTileAt(x, y) == tile) {
            sideBoard->removeTile(x, y);
        }
        return;
    }
    // Only the tile's own cells are cleared, and it counts only when it was in the grid.
    bool wasInGrid = false;
    const int32_t xs[4] = {x, x + 1, x, x + 1};
    const int32_t ys[4] = {y, y, y + 1, y + 1};
    for (int i = 0; i < 4; ++i) {
        if (inGrid(xs[i], ys[i], z) && cells[cellIndex(xs[i], ys[i], z)].get() == tile) {
            setCell(xs[i], ys[i], z, nullptr);
            wasInGrid = true;
        }
    }
    if (wasInGrid) {
        --tileCount;
    }
}

void Layout::clear() {
    clearGrid();
    tileCount = 0;
}

void Layout::clearGrid() {
    for (int32_t z = 0; z < LAYERS; ++z) {
        for (int32_t y = 0; y < ROWS; ++y) {
            for (uint64_t bits = occupied[rowIndex(y, z)]; bits != 0; bits &= bits - 1) {
                cells[cellIndex(std::countr_zero(bits), y, z)].reset();
            }
        }
    }
    occupied.fill(0);
}

void Layout::setCell(int32_t x, int32_t y, int32_t z, Tile* tile) {
    cells[cellIndex(x, y, z)] = tile;
    const uint64_t bit = uint64_t{1} << x;
    uint64_t& row = occupied[rowIndex(y, z)];
    row = tile != nullptr ? row | bit : row & ~bit;
}

Tile* Layout::getCell(int32_t x, int32_t y, int32_t z) const {
    return inGrid(x, y, z) ? cells[cellIndex(x, y, z)].get() : nullptr;
}

Tile* Layout::getTileAt(int32_t x, int32_t y, int32_t z) const {
    Tile* tile = getCell(x, y, z);
    return tile != nullptr && tile->isPresent() ? tile : nullptr;
}

bool Layout::isCellEmpty(int32_t x, int32_t y, int32_t z) const {
    return getTileAt(x, y, z) == nullptr;
}

bool Layout::isLeftEmpty(int32_t x, int32_t y, int32_t z) const {
    return x <= 0 || (isCellEmpty(x - 1, y, z) && isCellEmpty(x - 1, y + 1, z));
}

bool Layout::isRightEmpty(int32_t x, int32_t y, int32_t z) const {
    return x >= MAX_TILE_X || (isCellEmpty(x + 2, y, z) && isCellEmpty(x + 2, y + 1, z));
}

bool Layout::isUpEmpty(int32_t x, int32_t y, int32_t z) const {
    return y <= 0 || (isCellEmpty(x, y - 1, z) && isCellEmpty(x + 1, y - 1, z));
}

bool Layout::isDownEmpty(int32_t x, int32_t y, int32_t z) const {
    return y >= MAX_TILE_Y || (isCellEmpty(x, y + 2, z) && isCellEmpty(x + 1, y + 2, z));
}

bool Layout::isTileFree(const Tile* tile) const {
    if (tile == nullptr) {
        return false;
    }
    if (tile->isOnSideBoard()) {
        return true;
    }
    const int32_t x = tile->getGridX();
    const int32_t y = tile->getGridY();
    const int32_t z = tile->getGridZ();
    if (z < MAX_TILE_Z && !(isCellEmpty(x, y, z + 1) && isCellEmpty(x + 1, y, z + 1) &&
                            isCellEmpty(x, y + 1, z + 1) && isCellEmpty(x + 1, y + 1, z + 1))) {
        return false;
    }
    if (isLeftEmpty(x, y, z) || isRightEmpty(x, y, z)) {
        return true;
    }
    return getCurrentGameType() == TYPE_RIVER && (isUpEmpty(x, y, z) || isDownEmpty(x, y, z));
}

Layout::CellRows Layout::getPresentCells() const {
    CellRows present{};
    for (size_t row = 0; row < present.size(); ++row) {
        const int32_t y = static_cast<int32_t>(row % ROWS);
        const int32_t z = static_cast<int32_t>(row / ROWS);
        for (uint64_t bits = occupied[row]; bits != 0; bits &= bits - 1) {
            const int32_t x = std::countr_zero(bits);
            present[row] |= getTileAt(x, y, z) != nullptr ? uint64_t{1} << x : 0;
        }
    }
    return present;
}

bool Layout::isFreeAmong(const CellRows& present, int32_t x, int32_t y, int32_t z, bool river) {
    const uint64_t pair = uint64_t{3} << x;
    const auto row = [&present](int32_t rowY, int32_t rowZ) {
        return rowY >= 0 && rowY < ROWS && rowZ < LAYERS ? present[rowIndex(rowY, rowZ)] : 0;
    };
    if (z < MAX_TILE_Z && ((row(y, z + 1) | row(y + 1, z + 1)) & pair) != 0) {
        return false;
    }
    const uint64_t beside = row(y, z) | row(y + 1, z);
    if (x <= 0 || ((beside >> (x - 1)) & 1) == 0) {
        return true;
    }
    if (x >= MAX_TILE_X || ((beside >> (x + 2)) & 1) == 0) {
        return true;
    }
    return river && (y <= 0 || (row(y - 1, z) & pair) == 0 || y >= MAX_TILE_Y ||
                     (row(y + 2, z) & pair) == 0);
}

int32_t Layout::tilesIn(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t z,
                        const Tile* found[2]) const {
    found[0] = getTileAt(x1, y1, z);
    found[1] = getTileAt(x2, y2, z);
    if (found[0] == nullptr || found[0] == found[1]) {
        found[0] = found[1];
        found[1] = nullptr;
    }
    return (found[0] != nullptr ? 1 : 0) + (found[1] != nullptr ? 1 : 0);
}

bool Layout::isFreeAfterOneRemoval(const Tile* tile) const {
    if (tile == nullptr || tile->isOnSideBoard() || isTileFree(tile) ||
        getCurrentGameType() == TYPE_RIVER) {
        return false;
    }
    const int32_t x = tile->getGridX();
    const int32_t y = tile->getGridY();
    const int32_t z = tile->getGridZ();
    const Tile* above = nullptr;
    if (z < MAX_TILE_Z) {
        const int32_t xs[4] = {x, x + 1, x, x + 1};
        const int32_t ys[4] = {y, y, y + 1, y + 1};
        for (int i = 0; i < 4; ++i) {
            const Tile* found = getTileAt(xs[i], ys[i], z + 1);
            if (found == nullptr) {
                continue;
            }
            if (above != nullptr && found != above) {
                return false;
            }
            above = found;
        }
    }
    const Tile* left[2];
    const Tile* right[2];
    const int32_t leftCount = tilesIn(x - 1, y, x - 1, y + 1, z, left);
    const int32_t rightCount = tilesIn(x + 2, y, x + 2, y + 1, z, right);
    if (above != nullptr) {
        return isTileFree(above) && (leftCount == 0 || rightCount == 0);
    }
    return (leftCount == 1 && isTileFree(left[0])) || (rightCount == 1 && isTileFree(right[0]));
}

void Layout::getTilesFreeAfterOneRemoval(std::vector<RefHolder<Tile>>& out) const {
    forEachTile([this, &out](Tile* tile) {
        if (isFreeAfterOneRemoval(tile)) {
            out.emplace_back(tile);
        }
    });
}

void Layout::getAllTiles(std::vector<RefHolder<Tile>>& out) const {
    forEachTile([&out](Tile* tile) { out.emplace_back(tile); });
}

void Layout::getFreeTiles(std::vector<RefHolder<Tile>>& out) const {
    forEachTile([this, &out](Tile* tile) {
        if (isTileFree(tile)) {
            out.emplace_back(tile);
        }
    });
}

int32_t Layout::countFreeTiles() const {
    int32_t count = 0;
    forEachTile([this, &count](Tile* tile) { count += isTileFree(tile) ? 1 : 0; });
    return count;
}

void Layout::getTilesOnLayer(int32_t layer, std::vector<RefHolder<Tile>>& out) const {
    forEachTile([layer, &out](Tile* tile) {
        if (tile->getGridZ() == layer) {
            out.emplace_back(tile);
        }
    });
}

int32_t Layout::getNeighbours(const Tile* tile, std::vector<RefHolder<Tile>>& out) const {
    if (tile == nullptr) {
        return 0;
    }
    const int32_t x = tile->getGridX();
    const int32_t y = tile->getGridY();
    const int32_t z = tile->getGridZ();
    const int32_t cellsAround[12][3] = {
        {x - 1, y, z}, {x - 1, y + 1, z}, {x + 2, y, z},     {x + 2, y + 1, z},
        {x, y - 1, z}, {x + 1, y - 1, z}, {x, y + 2, z},     {x + 1, y + 2, z},
        {x, y, z + 1}, {x, y + 1, z + 1}, {x + 1, y, z + 1}, {x + 1, y + 1, z + 1}};
    std::vector<Tile*> seen;
    for (const auto& cell : cellsAround) {
        Tile* found = getTileAt(cell[0], cell[1], cell[2]);
        if (found != nullptr && std::find(seen.begin(), seen.end(), found) == seen.end()) {
            seen.push_back(found);
            out.emplace_back(found);
        }
    }
    return static_cast<int32_t>(seen.size());
}

Tile* Layout::findFreeCoveringTile() const {
    if (!sideBoard) {
        return nullptr;
    }
    int32_t column = -1;
    int32_t row = -1;
    sideBoard->findFreeSlot(column, row);
    if (column < 0) {
        return nullptr;
    }
    std::vector<RefHolder<Tile>> candidates;
    getTilesFreeAfterOneRemoval(candidates);
    shuffleList(candidates.begin(), candidates.end());
    for (const RefHolder<Tile>& tile : candidates) {
        std::vector<RefHolder<Tile>> neighbours;
        const int32_t z = tile->getGridZ();
        if (getNeighbours(tile.get(), neighbours) > sideBoard->getCapacity() || z >= MAX_TILE_Z) {
            continue;
        }
        const int32_t x = tile->getGridX();
        const int32_t y = tile->getGridY();
        const int32_t xs[4] = {x, x, x + 1, x + 1};
        const int32_t ys[4] = {y, y + 1, y, y + 1};
        for (int i = 0; i < 4; ++i) {
            Tile* above = getTileAt(xs[i], ys[i], z + 1);
            if (above != nullptr && isTileFree(above)) {
                return above;
            }
        }
    }
    return nullptr;
}

int32_t Layout::usedExtent(bool columns) const {
    int32_t extent = 0;
    for (int32_t x = 0; x < COLUMNS; ++x) {
        for (int32_t y = 0; y < ROWS; ++y) {
            for (int32_t z = 0; z < LAYERS; ++z) {
                if (cells[cellIndex(x, y, z)]) {
                    extent = std::max(extent, (columns ? x : y) + 1);
                }
            }
        }
    }
    return extent;
}

int32_t Layout::getUsedWidth() const {
    return usedExtent(true);
}

int32_t Layout::getUsedHeight() const {
    return usedExtent(false);
}
