#include "content/BoardModel.h"

#include <algorithm>
#include <array>
#include <deque>

namespace {

int cellIndex(int x, int y, int z) {
    return (x * 21 + y) * 7 + z;
}

// Exit points of a tile's 4 x 4 fine block (offsets from its origin) and their outward
// directions: three on each edge, corners excluded.
struct Exit {
    int dx, dy, nx, ny;
};
constexpr std::array<Exit, 12> EXITS = {{{1, 0, 0, -1},
                                         {2, 0, 0, -1},
                                         {3, 0, 0, -1},
                                         {4, 1, 1, 0},
                                         {4, 2, 1, 0},
                                         {4, 3, 1, 0},
                                         {1, 4, 0, 1},
                                         {2, 4, 0, 1},
                                         {3, 4, 0, 1},
                                         {0, 1, -1, 0},
                                         {0, 2, -1, 0},
                                         {0, 3, -1, 0}}};
constexpr int FINE_W = 86;
constexpr int FINE_H = 46;
constexpr int DIRS[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};

}  // namespace

bool BoardModel::place(int x, int y, int z) {
    if (x < 0 || x > 39 || y < 0 || y > 19 || z < 0 || z > 6) {
        return false;
    }
    for (int dx = 0; dx < 2; ++dx) {
        for (int dy = 0; dy < 2; ++dy) {
            if (grid[cellIndex(x + dx, y + dy, z)] >= 0) {
                return false;
            }
        }
    }
    int index = count();
    tiles.push_back({x, y, z});
    present.push_back(true);
    for (int dx = 0; dx < 2; ++dx) {
        for (int dy = 0; dy < 2; ++dy) {
            grid[cellIndex(x + dx, y + dy, z)] = index;
        }
    }
    return true;
}

int BoardModel::layerCount(int z) const {
    return static_cast<int>(
        std::count_if(tiles.begin(), tiles.end(), [z](const Tile& t) { return t.z == z; }));
}

int BoardModel::tileAt(int x, int y, int z) const {
    if (x < 0 || y < 0 || z < 0 || x > 40 || y > 20 || z > 6) {
        return -1;
    }
    int index = grid[cellIndex(x, y, z)];
    return index >= 0 && present[index] ? index : -1;
}

bool BoardModel::isFree(int index, bool river) const {
    const Tile& t = tiles[index];
    if (t.z < 6 && !(cellEmpty(t.x, t.y, t.z + 1) && cellEmpty(t.x + 1, t.y, t.z + 1) &&
                     cellEmpty(t.x, t.y + 1, t.z + 1) && cellEmpty(t.x + 1, t.y + 1, t.z + 1))) {
        return false;
    }
    bool left = t.x == 0 || (cellEmpty(t.x - 1, t.y, t.z) && cellEmpty(t.x - 1, t.y + 1, t.z));
    bool right = t.x >= 39 || (cellEmpty(t.x + 2, t.y, t.z) && cellEmpty(t.x + 2, t.y + 1, t.z));
    if (left || right) {
        return true;
    }
    if (!river) {
        return false;
    }
    bool up = t.y == 0 || (cellEmpty(t.x, t.y - 1, t.z) && cellEmpty(t.x + 1, t.y - 1, t.z));
    bool down = t.y >= 19 || (cellEmpty(t.x, t.y + 2, t.z) && cellEmpty(t.x + 1, t.y + 2, t.z));
    return up || down;
}

std::vector<int> BoardModel::reachableFrom(int a) const {
    const Tile& from = tiles[a];
    // Fine cells of the layer that hold a present tile.
    std::vector<bool> occupied(FINE_W * FINE_H, false);
    for (int x = 0; x < 41; ++x) {
        for (int y = 0; y < 21; ++y) {
            if (tileAt(x, y, from.z) >= 0) {
                for (int fx = 2 * x + 2; fx < 2 * x + 4; ++fx) {
                    for (int fy = 2 * y + 2; fy < 2 * y + 4; ++fy) {
                        occupied[fy * FINE_W + fx] = true;
                    }
                }
            }
        }
    }
    auto cellOccupied = [&](int fx, int fy) {
        return fx >= 0 && fy >= 0 && fx < FINE_W && fy < FINE_H && occupied[fy * FINE_W + fx];
    };
    auto isExitOfA = [&](int fx, int fy) {
        for (const Exit& e : EXITS) {
            if (fx == 2 * from.x + 2 + e.dx && fy == 2 * from.y + 2 + e.dy) {
                return true;
            }
        }
        return false;
    };
    auto pointFree = [&](int fx, int fy) {
        if (fx < 0 || fy < 0 || fx >= FINE_W || fy >= FINE_H) {
            return false;
        }
        if (isExitOfA(fx, fy)) {
            return true;
        }
        return !cellOccupied(fx - 1, fy - 1) && !cellOccupied(fx, fy - 1) &&
               !cellOccupied(fx - 1, fy) && !cellOccupied(fx, fy);
    };
    // Exit points of the other tiles of the layer, by point, with their outward direction.
    std::vector<std::vector<std::pair<int, int>>> exitsAt(FINE_W * FINE_H);
    for (int i = 0; i < count(); ++i) {
        if (i == a || !present[i] || tiles[i].z != from.z) {
            continue;
        }
        for (const Exit& e : EXITS) {
            int fx = 2 * tiles[i].x + 2 + e.dx, fy = 2 * tiles[i].y + 2 + e.dy;
            int dir = e.nx == 1 ? 0 : e.nx == -1 ? 1 : e.ny == 1 ? 2 : 3;
            exitsAt[fy * FINE_W + fx].push_back({i, dir});
        }
    }
    // Breadth-first over (point, direction, turns); a segment turns at most twice.
    std::vector<bool> seen(FINE_W * FINE_H * 4 * 3, false);
    std::vector<bool> found(count(), false);
    struct State {
        int fx, fy, dir, turns;
    };
    std::deque<State> queue;
    auto opposite = [](int dir) { return dir ^ 1; };
    auto step = [&](int fx, int fy, int dir, int turns) {
        int nx = fx + DIRS[dir][0], ny = fy + DIRS[dir][1];
        if (nx >= 0 && ny >= 0 && nx < FINE_W && ny < FINE_H) {
            // Entering another tile through its edge, against its outward direction.
            for (const auto& [tile, outward] : exitsAt[ny * FINE_W + nx]) {
                if (outward == opposite(dir)) {
                    found[tile] = true;
                }
            }
        }
        if (!pointFree(nx, ny)) {
            return;
        }
        int key = ((ny * FINE_W + nx) * 4 + dir) * 3 + turns;
        if (!seen[key]) {
            seen[key] = true;
            queue.push_back({nx, ny, dir, turns});
        }
    };
    for (const Exit& e : EXITS) {
        int dir = e.nx == 1 ? 0 : e.nx == -1 ? 1 : e.ny == 1 ? 2 : 3;
        step(2 * from.x + 2 + e.dx, 2 * from.y + 2 + e.dy, dir, 0);
    }
    while (!queue.empty()) {
        State s = queue.front();
        queue.pop_front();
        for (int dir = 0; dir < 4; ++dir) {
            if (dir == s.dir) {
                step(s.fx, s.fy, dir, s.turns);
            } else if (dir != opposite(s.dir) && s.turns < 2) {
                step(s.fx, s.fy, dir, s.turns + 1);
            }
        }
    }
    std::vector<int> out;
    for (int i = 0; i < count(); ++i) {
        if (found[i]) {
            out.push_back(i);
        }
    }
    return out;
}

bool BoardModel::connected(int a, int b) const {
    if (a == b || tiles[a].z != tiles[b].z) {
        return false;
    }
    std::vector<int> reach = reachableFrom(a);
    return std::find(reach.begin(), reach.end(), b) != reach.end();
}

bool BoardModel::clearsByFreeGroups(int perMatch, std::mt19937& random, int attempts) const {
    for (int attempt = 0; attempt < attempts; ++attempt) {
        BoardModel board = *this;
        int left = board.count();
        while (left > 0) {
            std::vector<int> free;
            for (int i = 0; i < board.count(); ++i) {
                if (board.present[i] && board.isFree(i, false)) {
                    free.push_back(i);
                }
            }
            if (static_cast<int>(free.size()) < perMatch) {
                break;
            }
            std::shuffle(free.begin(), free.end(), random);
            for (int k = 0; k < perMatch; ++k) {
                board.present[free[k]] = false;
            }
            left -= perMatch;
        }
        if (left == 0) {
            return true;
        }
    }
    return false;
}

bool BoardModel::clearsByPaths(std::mt19937& random) const {
    BoardModel board = *this;
    for (int z = 6; z >= 0; --z) {
        while (true) {
            std::vector<int> layer;
            for (int i = 0; i < board.count(); ++i) {
                if (board.present[i] && board.tiles[i].z == z) {
                    layer.push_back(i);
                }
            }
            if (layer.empty()) {
                break;
            }
            std::shuffle(layer.begin(), layer.end(), random);
            bool removed = false;
            for (int a : layer) {
                std::vector<int> partners = board.reachableFrom(a);
                if (!partners.empty()) {
                    int b = partners[random() % partners.size()];
                    board.present[a] = false;
                    board.present[b] = false;
                    removed = true;
                    break;
                }
            }
            if (!removed) {
                return false;
            }
        }
    }
    return true;
}
