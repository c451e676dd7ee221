#include "framework/platform/LineGeometry.h"

#include <algorithm>

std::optional<AxisSpan> clipAxisLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                                     const Rect& clip) {
    if (clip.isEmpty() || (x1 != x2 && y1 != y2)) {
        return std::nullopt;
    }
    const bool horizontal = y1 == y2;
    // Along the line: a (the moving coordinate); across it: the fixed one.
    const int32_t fixed = horizontal ? y1 : x1;
    const int64_t fixedLow = horizontal ? clip.y : clip.x;
    const int64_t fixedHigh = fixedLow + (horizontal ? clip.h : clip.w) - 1;
    if (fixed < fixedLow || fixed > fixedHigh) {
        return std::nullopt;
    }
    const int64_t low = horizontal ? clip.x : clip.y;
    const int64_t high = low + (horizontal ? clip.w : clip.h) - 1;
    int64_t a1 = horizontal ? x1 : y1;
    int64_t a2 = horizontal ? x2 : y2;
    if ((a1 < low && a2 < low) || (a1 > high && a2 > high)) {
        return std::nullopt;
    }
    a1 = std::clamp(a1, low, high);
    a2 = std::clamp(a2, low, high);
    const int32_t start = static_cast<int32_t>(std::min(a1, a2));
    const int32_t length = static_cast<int32_t>(std::max(a1, a2) - start + 1);
    if (horizontal) {
        return AxisSpan{start, fixed, length, true};
    }
    return AxisSpan{fixed, start, length, false};
}
