#pragma once

#include <cstdint>
#include <vector>

class Layout;
class Tile;

// One straight piece of a connecting line, in fine units (a layout cell is two fine units, a
// tile four). It carries the middle and horizontal flags of the exit point it starts from.
struct PathSegment {
    int32_t x1 = 0;
    int32_t y1 = 0;
    int32_t x2 = 0;
    int32_t y2 = 0;
    int32_t dx = 0;
    int32_t dy = 0;
    int32_t length = 0;  // the larger of |dx| and |dy|
    bool middle = false;
    bool horizontal = false;

    // dx, dy and length from the end points.
    void measure();
    // Turns the fine end points into screen points of a board drawn from the origin.
    void toScreen(int32_t originX, int32_t originY);
};

using TilePath = std::vector<PathSegment>;

// Finds a line of at most three straight segments (two turns) joining two tiles of one layer
// through the empty space of that layer, including a margin of half a tile around the board.
// The search works on its own fine grid of 86 x 46 points built from the first tile's layer;
// only present tiles of that layer block. River allows a pair only when such a line exists, and
// the game screen draws the best line as the hint path.
class TilePathFinder {
public:
    static constexpr int32_t FINE_COLUMNS = 86;
    static constexpr int32_t FINE_ROWS = 46;
    static constexpr int32_t EXIT_POINTS = 12;

    TilePathFinder(const Layout& layout, const Tile& first, const Tile& second);

    // True when a path was found; the best one (or the first one in first-path mode) is then
    // available from the first tile to the second.
    bool search();
    // Stop at the first path found: enough for the callers that only ask whether one exists.
    void setFirstPathOnly(bool value) { firstPathOnly = value; }
    const TilePath& getPath() const { return best; }

    // An exit point of either tile, or a point of the fine grid none of whose four fine cells is
    // occupied. Points outside the fine grid are not free.
    bool isPointFree(int32_t fx, int32_t fy) const;

    static int32_t pathLength(const TilePath& path);
    // The ranking of two paths: middle exit points, fewer turns, balanced and long enough end
    // segments, then the shorter total. At a tie the best path stays.
    static bool isBetterPath(const TilePath& candidate, const TilePath& best);

    // Whether a line joins the two tiles (first-path mode).
    static bool areConnected(const Layout& layout, const Tile& first, const Tile& second);

private:
    // A ray from an exit point outwards: the exit point, its direction and the last free point.
    struct Ray {
        int32_t exitX;
        int32_t exitY;
        int32_t endX;
        int32_t endY;
        bool middle;
        bool horizontal;
    };

    static int32_t pointIndex(int32_t fx, int32_t fy) { return fy * FINE_COLUMNS + fx; }
    static bool inGrid(int32_t fx, int32_t fy) {
        return fx >= 0 && fx < FINE_COLUMNS && fy >= 0 && fy < FINE_ROWS;
    }
    bool isCellOccupied(int32_t fx, int32_t fy) const;
    void flagExitPoints(int32_t originX, int32_t originY, std::vector<uint8_t>& flags);
    void castRays(int32_t originX, int32_t originY, std::vector<Ray>& rays) const;
    // The piece of a ray from its exit point to a point on it.
    static PathSegment cut(const Ray& ray, int32_t x, int32_t y);
    // One or two segments when the rays touch, cross or overlap on one line.
    static bool raysMeet(const Ray& a, const Ray& b, TilePath& out);
    // Three segments when a free connector joins two parallel rays.
    bool joinParallel(const Ray& a, const Ray& b, TilePath& out) const;
    bool isConnectorFree(bool vertical, int32_t fixed, int32_t from, int32_t to) const;
    // Orients the best path from the first tile to the second and ends it in the tile centres.
    void orientBest();

    // Bytes, not packed bits: the rays test them point by point.
    std::vector<uint8_t> occupied;  // per fine cell
    std::vector<uint8_t> firstExits;
    std::vector<uint8_t> secondExits;
    int32_t firstX;
    int32_t firstY;
    int32_t secondX;
    int32_t secondY;
    TilePath best;
    bool firstPathOnly = false;
};
