#include "game/rules/TilePathFinder.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <utility>

#include "game/rules/Layout.h"
#include "game/rules/Tile.h"
#include "game/rules/TuningConstants.h"

namespace {

// The twelve exit points of a tile as offsets from its origin, with the direction a ray leaves
// them in: top edge, right edge, bottom edge, left edge; the second of each edge is its middle.
struct ExitPoint {
    int32_t x;
    int32_t y;
    int32_t dirX;
    int32_t dirY;
};

constexpr ExitPoint EXITS[TilePathFinder::EXIT_POINTS] = {
    {1, 0, 0, -1}, {2, 0, 0, -1}, {3, 0, 0, -1}, {4, 1, 1, 0},  {4, 2, 1, 0},  {4, 3, 1, 0},
    {1, 4, 0, 1},  {2, 4, 0, 1},  {3, 4, 0, 1},  {0, 1, -1, 0}, {0, 2, -1, 0}, {0, 3, -1, 0}};

// A segment between two points, stored with x1 <= x2 and y1 <= y2 as rays are.
PathSegment between(int32_t xa, int32_t ya, int32_t xb, int32_t yb, bool middle, bool horizontal) {
    PathSegment segment;
    segment.x1 = std::min(xa, xb);
    segment.y1 = std::min(ya, yb);
    segment.x2 = std::max(xa, xb);
    segment.y2 = std::max(ya, yb);
    segment.middle = middle;
    segment.horizontal = horizontal;
    segment.measure();
    return segment;
}

// The span of a ray along its own axis.
std::pair<int32_t, int32_t> spanOf(int32_t from, int32_t to) {
    return {std::min(from, to), std::max(from, to)};
}

int32_t middleCount(const TilePath& path) {
    return (path.front().middle ? 1 : 0) + (path.back().middle ? 1 : 0);
}

// Vertical by its end points; a segment of length 0 by the exit point it starts from.
bool isVertical(const PathSegment& segment) {
    if (segment.x1 == segment.x2 && segment.y1 != segment.y2) {
        return true;
    }
    return segment.y1 == segment.y2 && segment.x1 == segment.x2 && !segment.horizontal;
}

}  // namespace

void PathSegment::measure() {
    dx = x2 - x1;
    dy = y2 - y1;
    length = std::max(std::abs(dx), std::abs(dy));
}

void PathSegment::toScreen(int32_t originX, int32_t originY) {
    const int32_t faceWidth = tuning().TILE_FACE_WIDTH;
    const int32_t faceHeight = tuning().TILE_FACE_HEIGHT;
    // Integer division truncates towards zero, also for points in the margin left of the board.
    x1 = originX + (x1 - 2) * faceWidth / 4;
    y1 = originY + (y1 - 2) * faceHeight / 4;
    x2 = originX + (x2 - 2) * faceWidth / 4;
    y2 = originY + (y2 - 2) * faceHeight / 4;
    measure();
}

TilePathFinder::TilePathFinder(const Layout& layout, const Tile& first, const Tile& second)
    : occupied(static_cast<size_t>(FINE_COLUMNS) * FINE_ROWS, 0),
      firstExits(occupied.size(), 0),
      secondExits(occupied.size(), 0),
      firstX(2 * first.getGridX() + 2),
      firstY(2 * first.getGridY() + 2),
      secondX(2 * second.getGridX() + 2),
      secondY(2 * second.getGridY() + 2) {
    const int32_t layer = first.getGridZ();
    for (int32_t y = 0; y < Layout::ROWS; ++y) {
        // Only the cells that hold a tile can be occupied.
        for (uint64_t cells = layout.getOccupiedCells(y, layer); cells != 0; cells &= cells - 1) {
            const int32_t x = std::countr_zero(cells);
            if (layout.getTileAt(x, y, layer) == nullptr) {
                continue;
            }
            for (int32_t fy = 2 * y + 2; fy < 2 * y + 4; ++fy) {
                for (int32_t fx = 2 * x + 2; fx < 2 * x + 4; ++fx) {
                    occupied[pointIndex(fx, fy)] = 1;
                }
            }
        }
    }
    flagExitPoints(firstX, firstY, firstExits);
    flagExitPoints(secondX, secondY, secondExits);
}

void TilePathFinder::flagExitPoints(int32_t originX, int32_t originY, std::vector<uint8_t>& flags) {
    for (const ExitPoint& exit : EXITS) {
        const int32_t fx = originX + exit.x;
        const int32_t fy = originY + exit.y;
        if (inGrid(fx, fy)) {
            flags[pointIndex(fx, fy)] = 1;
        }
    }
}

bool TilePathFinder::isCellOccupied(int32_t fx, int32_t fy) const {
    return inGrid(fx, fy) && occupied[pointIndex(fx, fy)];
}

bool TilePathFinder::isPointFree(int32_t fx, int32_t fy) const {
    if (!inGrid(fx, fy)) {
        return false;
    }
    const int32_t index = pointIndex(fx, fy);
    if (firstExits[index] || secondExits[index]) {
        return true;
    }
    return !isCellOccupied(fx - 1, fy - 1) && !isCellOccupied(fx, fy - 1) &&
           !isCellOccupied(fx - 1, fy) && !isCellOccupied(fx, fy);
}

void TilePathFinder::castRays(int32_t originX, int32_t originY, std::vector<Ray>& rays) const {
    for (int32_t i = 0; i < EXIT_POINTS; ++i) {
        const ExitPoint& exit = EXITS[i];
        Ray ray{originX + exit.x, originY + exit.y, originX + exit.x,
                originY + exit.y, i % 3 == 1,       exit.dirX != 0};
        while (isPointFree(ray.endX + exit.dirX, ray.endY + exit.dirY)) {
            ray.endX += exit.dirX;
            ray.endY += exit.dirY;
        }
        if (ray.endX != ray.exitX || ray.endY != ray.exitY) {
            rays.push_back(ray);
        }
    }
}

PathSegment TilePathFinder::cut(const Ray& ray, int32_t x, int32_t y) {
    return between(ray.exitX, ray.exitY, x, y, ray.middle, ray.horizontal);
}

bool TilePathFinder::raysMeet(const Ray& a, const Ray& b, TilePath& out) {
    if (a.horizontal == b.horizontal) {
        // On one line, touching or overlapping: one straight segment between the exit points.
        const bool sameLine = a.horizontal ? a.exitY == b.exitY : a.exitX == b.exitX;
        if (!sameLine) {
            return false;
        }
        const auto spanA = a.horizontal ? spanOf(a.exitX, a.endX) : spanOf(a.exitY, a.endY);
        const auto spanB = a.horizontal ? spanOf(b.exitX, b.endX) : spanOf(b.exitY, b.endY);
        if (std::max(spanA.first, spanB.first) > std::min(spanA.second, spanB.second)) {
            return false;
        }
        out.push_back(between(a.exitX, a.exitY, b.exitX, b.exitY, a.middle, a.horizontal));
        return true;
    }
    const Ray& vertical = a.horizontal ? b : a;
    const Ray& horizontal = a.horizontal ? a : b;
    const auto spanX = spanOf(horizontal.exitX, horizontal.endX);
    const auto spanY = spanOf(vertical.exitY, vertical.endY);
    const int32_t crossX = vertical.exitX;
    const int32_t crossY = horizontal.exitY;
    if (crossX < spanX.first || crossX > spanX.second || crossY < spanY.first ||
        crossY > spanY.second) {
        return false;
    }
    out.push_back(cut(a, crossX, crossY));
    out.push_back(cut(b, crossX, crossY));
    return true;
}

bool TilePathFinder::isConnectorFree(bool vertical, int32_t fixed, int32_t from, int32_t to) const {
    for (int32_t i = std::min(from, to); i <= std::max(from, to); ++i) {
        if (!(vertical ? isPointFree(fixed, i) : isPointFree(i, fixed))) {
            return false;
        }
    }
    return true;
}

bool TilePathFinder::joinParallel(const Ray& a, const Ray& b, TilePath& out) const {
    if (a.horizontal != b.horizontal) {
        return false;
    }
    // Rays along x are joined by vertical connectors at shared x positions, and vice versa.
    const int32_t fixedA = a.horizontal ? a.exitY : a.exitX;
    const int32_t fixedB = a.horizontal ? b.exitY : b.exitX;
    if (fixedA == fixedB) {
        return false;
    }
    const auto spanA = a.horizontal ? spanOf(a.exitX, a.endX) : spanOf(a.exitY, a.endY);
    const auto spanB = a.horizontal ? spanOf(b.exitX, b.endX) : spanOf(b.exitY, b.endY);
    const int32_t low = std::max(spanA.first, spanB.first);
    const int32_t high = std::min(spanA.second, spanB.second);
    for (int32_t position = low; position <= high; ++position) {
        if (!isConnectorFree(a.horizontal, position, fixedA, fixedB)) {
            continue;
        }
        if (a.horizontal) {
            out.push_back(cut(a, position, fixedA));
            out.push_back(between(position, fixedA, position, fixedB, false, false));
            out.push_back(cut(b, position, fixedB));
        } else {
            out.push_back(cut(a, fixedA, position));
            out.push_back(between(fixedA, position, fixedB, position, false, true));
            out.push_back(cut(b, fixedB, position));
        }
        return true;
    }
    return false;
}

bool TilePathFinder::search() {
    best.clear();
    std::vector<Ray> raysA;
    std::vector<Ray> raysB;
    castRays(firstX, firstY, raysA);
    castRays(secondX, secondY, raysB);
    for (const Ray& a : raysA) {
        for (const Ray& b : raysB) {
            TilePath candidate;
            if (!raysMeet(a, b, candidate) && !joinParallel(a, b, candidate)) {
                continue;
            }
            if (isBetterPath(candidate, best)) {
                best = std::move(candidate);
            }
            if (firstPathOnly && !best.empty()) {
                return true;
            }
        }
    }
    if (best.empty()) {
        return false;
    }
    if (!firstPathOnly) {
        orientBest();
    }
    return true;
}

void TilePathFinder::orientBest() {
    for (size_t i = 0; i < best.size(); ++i) {
        PathSegment& segment = best[i];
        bool swap;
        if (i == 0) {
            swap =
                !inGrid(segment.x1, segment.y1) || !firstExits[pointIndex(segment.x1, segment.y1)];
        } else {
            swap = segment.x1 != best[i - 1].x2 || segment.y1 != best[i - 1].y2;
        }
        if (swap) {
            std::swap(segment.x1, segment.x2);
            std::swap(segment.y1, segment.y2);
        }
        segment.measure();
    }
    PathSegment& head = best.front();
    if (isVertical(head)) {
        head.y1 = firstY + 2;
    } else {
        head.x1 = firstX + 2;
    }
    head.measure();
    PathSegment& tail = best.back();
    if (isVertical(tail)) {
        tail.y2 = secondY + 2;
    } else {
        tail.x2 = secondX + 2;
    }
    tail.measure();
}

int32_t TilePathFinder::pathLength(const TilePath& path) {
    int32_t total = 0;
    for (const PathSegment& segment : path) {
        total += segment.length;
    }
    return total;
}

bool TilePathFinder::isBetterPath(const TilePath& candidate, const TilePath& best) {
    if (candidate.empty()) {
        return false;
    }
    if (best.empty()) {
        return true;
    }
    if (middleCount(candidate) != middleCount(best)) {
        return middleCount(candidate) > middleCount(best);
    }
    if (candidate.size() != best.size()) {
        return candidate.size() < best.size();
    }
    const auto imbalance = [](const TilePath& path) {
        return std::abs(path.front().length - path.back().length);
    };
    if (imbalance(candidate) != imbalance(best)) {
        return imbalance(candidate) < imbalance(best);
    }
    const auto longEnds = [](const TilePath& path) {
        return path.front().length >= 2 && path.back().length >= 2;
    };
    if (longEnds(candidate) != longEnds(best)) {
        return longEnds(candidate);
    }
    if (!longEnds(candidate)) {
        const auto shorterEnd = [](const TilePath& path) {
            return std::min(path.front().length, path.back().length);
        };
        if (shorterEnd(candidate) != shorterEnd(best)) {
            return shorterEnd(candidate) > shorterEnd(best);
        }
    }
    return pathLength(candidate) < pathLength(best);
}

bool TilePathFinder::areConnected(const Layout& layout, const Tile& first, const Tile& second) {
    TilePathFinder finder(layout, first, second);
    finder.setFirstPathOnly(true);
    return finder.search();
}
