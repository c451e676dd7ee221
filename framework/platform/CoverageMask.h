#pragma once

#include <cstdint>
#include <vector>

#include "framework/core/Rect.h"

// Per-pixel coverage of one polygon fill over a target of width x height: 255 fully covered,
// 1 to 254 partly covered, 0 or less not covered. Only the rows the polygon can reach are
// stored; every other entry reads 0. Reads and writes outside the target are bounded: reads
// give 0 and writes are dropped, so no entry of one row can spill into the next.
class CoverageMask {
public:
    // A mask with no stored rows (an empty fill).
    CoverageMask(int32_t width, int32_t height);
    // Stores rows firstRow to lastRow (clamped to the target), all zero.
    CoverageMask(int32_t width, int32_t height, int32_t firstRow, int32_t lastRow);

    int32_t getWidth() const { return width; }
    int32_t getHeight() const { return height; }
    // The stored rows; firstRow > lastRow when there are none.
    int32_t getFirstRow() const { return firstRow; }
    int32_t getLastRow() const { return lastRow; }

    bool contains(int64_t x, int64_t y) const {
        return x >= 0 && y >= 0 && x < width && y < height;
    }
    int32_t get(int64_t x, int64_t y) const;
    // True when the entry is 0 or lies outside the target.
    bool isClear(int64_t x, int64_t y) const { return get(x, y) == 0; }
    void set(int64_t x, int64_t y, int32_t value);
    // Sets entries xl to xr of row y to 255, cut to the target.
    void fillSpan(int64_t y, int64_t xl, int64_t xr);
    // The stored entries of row y (width of them), or null when the row is not stored.
    const int32_t* row(int32_t y) const;

private:
    int32_t width;
    int32_t height;
    int32_t firstRow;
    int32_t lastRow;
    std::vector<int32_t> entries;
};

// Scan-converts the closed polygon through `points` into a coverage mask over a target of
// width x height, sampling rows and columns at pixel centres (+0.5) with even-odd spans. With
// `antialiased` the ends of every span are then softened. Fewer than three points, or a point
// that is not finite, gives an empty mask.
CoverageMask scanPolygon(const std::vector<PointF>& points, int32_t width, int32_t height,
                         bool antialiased);
