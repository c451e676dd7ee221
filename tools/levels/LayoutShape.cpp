#include "tools/levels/LayoutShape.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace levels {

namespace {

int cellIndex(int x, int y, int z) {
    return (x * LayoutShape::ROWS + y) * LayoutShape::LAYERS + z;
}

}  // namespace

bool LayoutShape::occupied(int x, int y, int z) const {
    if (x < 0 || y < 0 || z < 0 || x >= COLUMNS || y >= ROWS || z >= LAYERS) {
        return false;
    }
    return cells[cellIndex(x, y, z)];
}

bool LayoutShape::add(int x, int y, int z) {
    if (x < 0 || x > 39 || y < 0 || y > 19 || z < 0 || z > 6) {
        return false;
    }
    for (int dx = 0; dx < 2; ++dx) {
        for (int dy = 0; dy < 2; ++dy) {
            if (occupied(x + dx, y + dy, z)) {
                return false;
            }
        }
    }
    for (int dx = 0; dx < 2; ++dx) {
        for (int dy = 0; dy < 2; ++dy) {
            cells[cellIndex(x + dx, y + dy, z)] = true;
        }
    }
    tiles.push_back({x, y, z});
    return true;
}

bool LayoutShape::removeTile(const TilePos& t) {
    auto it = std::find_if(tiles.begin(), tiles.end(), [&](const TilePos& p) {
        return p.x == t.x && p.y == t.y && p.z == t.z;
    });
    if (it == tiles.end()) {
        return false;
    }
    tiles.erase(it);
    for (int dx = 0; dx < 2; ++dx) {
        for (int dy = 0; dy < 2; ++dy) {
            cells[cellIndex(t.x + dx, t.y + dy, t.z)] = false;
        }
    }
    return true;
}

int LayoutShape::stackContacts() const {
    int contacts = 0;
    for (const TilePos& lower : tiles) {
        for (const TilePos& upper : tiles) {
            if (upper.z == lower.z + 1 && std::abs(upper.x - lower.x) < 2 &&
                std::abs(upper.y - lower.y) < 2) {
                ++contacts;
            }
        }
    }
    return contacts;
}

bool LayoutShape::remove(int x, int y, int z) {
    return removeTile({x, y, z});
}

void LayoutShape::block(int x, int y, int cols, int rows, int z) {
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) {
            add(x + 2 * c, y + 2 * r, z);
        }
    }
}

void LayoutShape::pattern(const std::vector<std::string>& lines, int x, int y, int z) {
    for (size_t r = 0; r < lines.size(); ++r) {
        for (size_t c = 0; c < lines[r].size(); ++c) {
            if (lines[r][c] == '#') {
                add(x + 2 * static_cast<int>(c), y + 2 * static_cast<int>(r), z);
            }
        }
    }
}

namespace {

bool hasTileAt(const std::vector<TilePos>& layer, int x, int y) {
    return std::any_of(layer.begin(), layer.end(),
                       [&](const TilePos& t) { return t.x == x && t.y == y; });
}

std::vector<TilePos> tilesOn(const std::vector<TilePos>& tiles, int z) {
    std::vector<TilePos> out;
    for (const TilePos& t : tiles) {
        if (t.z == z) {
            out.push_back(t);
        }
    }
    return out;
}

}  // namespace

void LayoutShape::stackAligned(int z) {
    std::vector<TilePos> layer = tilesOn(tiles, z);
    for (const TilePos& t : layer) {
        if (hasTileAt(layer, t.x - 2, t.y) && hasTileAt(layer, t.x + 2, t.y) &&
            hasTileAt(layer, t.x, t.y - 2) && hasTileAt(layer, t.x, t.y + 2)) {
            add(t.x, t.y, z + 1);
        }
    }
}

void LayoutShape::stackHalf(int z) {
    std::vector<TilePos> layer = tilesOn(tiles, z);
    for (const TilePos& t : layer) {
        if (hasTileAt(layer, t.x + 2, t.y) && hasTileAt(layer, t.x, t.y + 2) &&
            hasTileAt(layer, t.x + 2, t.y + 2)) {
            add(t.x + 1, t.y + 1, z + 1);
        }
    }
}

void LayoutShape::centre() {
    if (tiles.empty()) {
        return;
    }
    int minX = INT_MAX, maxX = INT_MIN, minY = INT_MAX, maxY = INT_MIN;
    for (const TilePos& t : tiles) {
        minX = std::min(minX, t.x);
        maxX = std::max(maxX, t.x);
        minY = std::min(minY, t.y);
        maxY = std::max(maxY, t.y);
    }
    int dx = (38 - (minX + maxX)) / 2;
    int dy = (18 - (minY + maxY)) / 2;
    std::vector<TilePos> old = tiles;
    tiles.clear();
    cells.fill(false);
    for (const TilePos& t : old) {
        add(t.x + dx, t.y + dy, t.z);
    }
}

bool LayoutShape::covered(const TilePos& t) const {
    for (int dx = 0; dx < 2; ++dx) {
        for (int dy = 0; dy < 2; ++dy) {
            if (occupied(t.x + dx, t.y + dy, t.z + 1)) {
                return true;
            }
        }
    }
    return false;
}

int LayoutShape::layerCount(int z) const {
    return static_cast<int>(
        std::count_if(tiles.begin(), tiles.end(), [z](const TilePos& t) { return t.z == z; }));
}

int LayoutShape::topLayer() const {
    int top = -1;
    for (const TilePos& t : tiles) {
        top = std::max(top, t.z);
    }
    return top;
}

int LayoutShape::mirrorSum() const {
    int minX = INT_MAX, maxX = INT_MIN;
    for (const TilePos& t : tiles) {
        minX = std::min(minX, t.x);
        maxX = std::max(maxX, t.x);
    }
    return minX + maxX;
}

const TilePos* LayoutShape::frontmostUncovered(int z) const {
    int sum = mirrorSum();
    // Prefer a tile on the mirror axis (keeps the shape symmetric), then the frontmost one.
    const TilePos* best = nullptr;
    for (const TilePos& t : tiles) {
        if (t.z != z || covered(t)) {
            continue;
        }
        bool onAxis = 2 * t.x == sum;
        bool bestOnAxis = best != nullptr && 2 * best->x == sum;
        if (best == nullptr || (onAxis && !bestOnAxis) || (onAxis == bestOnAxis && t.y > best->y)) {
            best = &t;
        }
    }
    return best;
}

void LayoutShape::evenLayers() {
    for (int z = topLayer(); z >= 0; --z) {
        if (layerCount(z) % 2 == 0) {
            continue;
        }
        if (const TilePos* best = frontmostUncovered(z)) {
            TilePos t = *best;
            removeTile(t);
        }
    }
}

void LayoutShape::fitMultiple(int m) {
    while (m > 1 && count() % m != 0) {
        int sum = mirrorSum();
        if (count() % 2 != 0) {
            // An odd count cannot be mended by pairs: drop one uncovered tile of the top layer.
            TilePos t = *frontmostUncovered(topLayer());
            removeTile(t);
            continue;
        }
        bool removed = false;
        for (int z = topLayer(); z >= 0 && !removed; --z) {
            // The outermost uncovered mirrored pair of this layer goes first.
            int bestDistance = -1;
            TilePos a{}, b{};
            for (const TilePos& t : tiles) {
                if (t.z != z || covered(t) || 2 * t.x >= sum) {
                    continue;
                }
                TilePos mirror{sum - t.x, t.y, z};
                if (!hasTileAt(tilesOn(tiles, z), mirror.x, mirror.y) || covered(mirror)) {
                    continue;
                }
                int distance = (sum - 2 * t.x) * 4 + t.y;
                if (distance > bestDistance) {
                    bestDistance = distance;
                    a = t;
                    b = mirror;
                }
            }
            if (bestDistance >= 0) {
                removeTile(a);
                removeTile(b);
                removed = true;
            }
        }
        if (!removed) {
            return;
        }
    }
}

std::vector<TilePos> LayoutShape::sorted() const {
    std::vector<TilePos> out = tiles;
    std::sort(out.begin(), out.end(), [](const TilePos& a, const TilePos& b) {
        if (a.z != b.z) {
            return a.z < b.z;
        }
        if (a.y != b.y) {
            return a.y < b.y;
        }
        return a.x < b.x;
    });
    return out;
}

}  // namespace levels
