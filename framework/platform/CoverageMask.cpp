#include "framework/platform/CoverageMask.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "framework/core/NumberClamp.h"

CoverageMask::CoverageMask(int32_t width, int32_t height)
    : width(std::max(width, 0)), height(std::max(height, 0)), firstRow(0), lastRow(-1) {}

CoverageMask::CoverageMask(int32_t width, int32_t height, int32_t first, int32_t last)
    : CoverageMask(width, height) {
    firstRow = std::max(first, 0);
    lastRow = std::min(last, this->height - 1);
    if (firstRow <= lastRow && this->width > 0) {
        entries.assign(static_cast<size_t>(lastRow - firstRow + 1) * this->width, 0);
    } else {
        firstRow = 0;
        lastRow = -1;
    }
}

int32_t CoverageMask::get(int64_t x, int64_t y) const {
    if (!contains(x, y) || y < firstRow || y > lastRow) {
        return 0;
    }
    return entries[static_cast<size_t>(y - firstRow) * width + static_cast<size_t>(x)];
}

void CoverageMask::set(int64_t x, int64_t y, int32_t value) {
    if (contains(x, y) && y >= firstRow && y <= lastRow) {
        entries[static_cast<size_t>(y - firstRow) * width + static_cast<size_t>(x)] = value;
    }
}

void CoverageMask::fillSpan(int64_t y, int64_t xl, int64_t xr) {
    if (y < firstRow || y > lastRow) {
        return;
    }
    xl = std::max<int64_t>(xl, 0);
    xr = std::min<int64_t>(xr, int64_t{width} - 1);
    if (xl > xr) {
        return;
    }
    int32_t* start = entries.data() + static_cast<size_t>(y - firstRow) * width;
    std::fill(start + xl, start + xr + 1, 255);
}

const int32_t* CoverageMask::row(int32_t y) const {
    if (y < firstRow || y > lastRow) {
        return nullptr;
    }
    return entries.data() + static_cast<size_t>(y - firstRow) * width;
}

namespace {

// An edge crossing the current scan line: x at the line's centre, its change per line, and
// the edge's index (from point index to index + 1, the last joining back to point 0).
struct ActiveEdge {
    double x;
    double dx;
    size_t index;
};

// Walks rows `from` to `to`, keeping the list of edges that cross each row's centre, and hands
// each pair of edges (sorted by x) to `onPair`(row, left, right); both then advance a row.
template <class OnPair>
void walkEdges(const std::vector<PointF>& points, const std::vector<size_t>& byY, int32_t from,
               int32_t to, OnPair&& onPair) {
    const size_t n = points.size();
    std::vector<ActiveEdge> active;
    size_t nextPoint = 0;
    const auto insertEdge = [&](size_t edge, double sampleY) {
        PointF p = points[edge];
        PointF q = points[(edge + 1) % n];
        if (p.y >= q.y) {
            std::swap(p, q);
        }
        if (q.y == p.y) {
            return;
        }
        const double dx = (static_cast<double>(q.x) - p.x) / (static_cast<double>(q.y) - p.y);
        active.push_back(ActiveEdge{p.x + dx * (sampleY - p.y), dx, edge});
    };
    const auto removeEdge = [&](size_t edge) {
        auto found = std::find_if(active.begin(), active.end(),
                                  [edge](const ActiveEdge& e) { return e.index == edge; });
        if (found != active.end()) {
            active.erase(found);
        }
    };
    for (int32_t y = from; y <= to; ++y) {
        const double centre = y + 0.5;
        while (nextPoint < n && points[byY[nextPoint]].y <= centre) {
            const size_t i = byY[nextPoint++];
            const size_t previous = i == 0 ? n - 1 : i - 1;
            const size_t next = i + 1 == n ? 0 : i + 1;
            if (points[previous].y <= y - 0.5) {
                removeEdge(previous);
            } else if (points[previous].y > centre) {
                insertEdge(previous, centre);
            }
            if (points[next].y <= y - 0.5) {
                removeEdge(i);
            } else if (points[next].y > centre) {
                insertEdge(i, centre);
            }
        }
        // Stable with a strict comparison: edges at equal x keep their insertion order.
        std::stable_sort(active.begin(), active.end(),
                         [](const ActiveEdge& a, const ActiveEdge& b) { return a.x < b.x; });
        for (size_t k = 0; k + 1 < active.size(); k += 2) {
            onPair(y, active[k], active[k + 1]);
            active[k].x += active[k].dx;
            active[k + 1].x += active[k + 1].dx;
        }
    }
}

// 255 shared out over the pixels a shallow edge crosses in one row.
int32_t shallowStep(double slope) {
    return static_cast<int32_t>(255 / (int64_t{ceilToInt32(slope)} + 1));
}

int32_t cutCoverage(double coverage) {
    return truncToInt32(std::min(coverage * 255.0, 255.0));
}

// Softens both ends of one span of the antialiasing pass.
void softenSpan(CoverageMask& mask, int32_t y, const ActiveEdge& left, const ActiveEdge& right) {
    const int32_t width = mask.getWidth();
    const int64_t xl = std::max(truncToInt32(left.x), 0);
    const int64_t xr = std::min(truncToInt32(right.x - 0.000001), width);
    if (xl > xr) {
        return;
    }
    const double leftSlope = std::fabs(left.dx);
    if (leftSlope > 1) {
        const int32_t step = shallowStep(leftSlope);
        int32_t level = 0;
        for (int64_t k = 0; k < leftSlope && xl + k <= xr; ++k) {
            level += step;
            const int64_t column = xl + k;
            const bool open = left.dx >= 0 ? mask.isClear(column, y + 1)
                                           : mask.isClear(column + 1, int64_t{y} - 1);
            if (open) {
                mask.set(column, y, level);
            }
        }
    } else {
        mask.set(xl, y, cutCoverage(1.0 - (left.x - xl) - leftSlope / 2));
    }
    const double rightSlope = std::fabs(right.dx);
    if (rightSlope > 1) {
        const int32_t step = shallowStep(rightSlope);
        int32_t level = 0;
        for (int64_t k = 0; k < rightSlope && xr + 1 - k >= xl; ++k) {
            level += step;
            const int64_t column = xr + 1 - k;
            const bool open = right.dx < 0 ? mask.isClear(column, y + 1)
                                           : mask.isClear(column - 1, int64_t{y} - 1);
            if (open) {
                mask.set(column, y, level);
            }
        }
    } else if (xr != width) {
        mask.set(xr, y, cutCoverage(rightSlope / 2 + (right.x - xr)));
    }
}

}  // namespace

CoverageMask scanPolygon(const std::vector<PointF>& points, int32_t width, int32_t height,
                         bool antialiased) {
    if (points.size() < 3 || width <= 0 || height <= 0) {
        return CoverageMask(width, height);
    }
    double minY = points[0].y;
    double maxY = points[0].y;
    for (const PointF& point : points) {
        if (!std::isfinite(point.x) || !std::isfinite(point.y)) {
            return CoverageMask(width, height);
        }
        minY = std::min<double>(minY, point.y);
        maxY = std::max<double>(maxY, point.y);
    }
    const int32_t fillFrom = std::max(ceilToInt32(minY - 0.5), 0);
    const int32_t fillTo = std::min(floorToInt32(maxY - 0.5), height - 1);
    const int32_t softenFrom = std::max(truncToInt32(minY - 0.5), 0);
    const int32_t softenTo = std::min(truncToInt32(maxY - 0.5), height - 1);
    CoverageMask mask(width, height, antialiased ? std::min(fillFrom, softenFrom) : fillFrom,
                      antialiased ? std::max(fillTo, softenTo) : fillTo);

    std::vector<size_t> byY(points.size());
    std::iota(byY.begin(), byY.end(), size_t{0});
    std::stable_sort(byY.begin(), byY.end(),
                     [&points](size_t a, size_t b) { return points[a].y < points[b].y; });

    walkEdges(points, byY, fillFrom, fillTo,
              [&mask](int32_t y, const ActiveEdge& left, const ActiveEdge& right) {
                  mask.fillSpan(y, ceilToInt32(left.x - 0.5), floorToInt32(right.x - 0.5));
              });
    if (antialiased) {
        walkEdges(points, byY, softenFrom, softenTo,
                  [&mask](int32_t y, const ActiveEdge& left, const ActiveEdge& right) {
                      softenSpan(mask, y, left, right);
                  });
    }
    return mask;
}
