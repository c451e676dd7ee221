#pragma once

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <utility>

#include "framework/core/NumberClamp.h"
#include "framework/core/Rect.h"

// Depth-independent line geometry: the points, spans and coverage weights that the drawing
// contexts turn into pixels.

// Bresenham line from (x1, y1) to (x2, y2), both ends included; `plot`(x, y) is called for
// each point in order. Ties of the two extents step along x.
template <class Plot>
void traceLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, Plot&& plot) {
    int64_t x = x1;
    int64_t y = y1;
    const int64_t ax = std::llabs(int64_t{x2} - x1);
    const int64_t ay = std::llabs(int64_t{y2} - y1);
    const int64_t sx = x2 >= x1 ? 1 : -1;
    const int64_t sy = y2 >= y1 ? 1 : -1;
    if (ax < ay) {
        int64_t e = 2 * ax - ay;
        while (y != y2) {
            plot(static_cast<int32_t>(x), static_cast<int32_t>(y));
            if (e >= 0) {
                x += sx;
                e -= 2 * ay;
            }
            y += sy;
            e += 2 * ax;
        }
    } else {
        int64_t e = 2 * ay - ax;
        while (x != x2) {
            plot(static_cast<int32_t>(x), static_cast<int32_t>(y));
            if (e >= 0) {
                y += sy;
                e -= 2 * ax;
            }
            x += sx;
            e += 2 * ay;
        }
    }
    plot(x2, y2);
}

// A horizontal or vertical run of `length` pixels starting at (x, y).
struct AxisSpan {
    int32_t x = 0;
    int32_t y = 0;
    int32_t length = 0;
    bool horizontal = true;

    bool operator==(const AxisSpan&) const = default;
};

// The part of a horizontal (y1 == y2) or vertical (x1 == x2) line inside the clip: both ends
// along the line are clamped into the clip; nothing when the line's row or column lies outside
// it, when both ends lie beyond the same side, or when the line is neither.
std::optional<AxisSpan> clipAxisLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                                     const Rect& clip);

// Antialiased line over float end points already moved by the drawing offset. Draws nothing
// unless both ends, cut to integers, lie inside the clip. `plot`(x, y, weight) gets each touched
// pixel with weight = 255 x its coverage, cut to an integer; every plotted pixel lies inside the
// target of `targetWidth` x `targetHeight`.
template <class Plot>
void traceLineAA(float x1, float y1, float x2, float y2, const Rect& clip, int32_t targetWidth,
                 int32_t targetHeight, Plot&& plot) {
    if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2)) {
        return;
    }
    const auto insideClip = [&clip](float x, float y) {
        return clip.contains(truncToInt32(x), truncToInt32(y));
    };
    if (!insideClip(x1, y1) || !insideClip(x2, y2)) {
        return;
    }
    const bool xMajor = std::fabs(x2 - x1) > std::fabs(y2 - y1);
    double startMajor = xMajor ? x1 : y1;
    double startMinor = xMajor ? y1 : x1;
    double endMajor = xMajor ? x2 : y2;
    double endMinor = xMajor ? y2 : x2;
    bool rightToLeft = false;
    if (startMajor > endMajor) {
        std::swap(startMajor, endMajor);
        std::swap(startMinor, endMinor);
        rightToLeft = xMajor;
    }
    const double m =
        endMajor > startMajor ? (endMinor - startMinor) / (endMajor - startMajor) : 0.0;
    const int32_t first = truncToInt32(startMajor + 0.5);
    const int32_t last = truncToInt32(endMajor + 0.5);
    const int32_t majorSize = xMajor ? targetWidth : targetHeight;
    const int32_t minorSize = xMajor ? targetHeight : targetWidth;
    const auto weight = [](double coverage) { return truncToInt32(255.0 * coverage); };
    // The minor coordinate starts one step ahead of the first major position.
    double minor = startMinor + (first - startMajor) * m + m;
    for (int32_t major = first; major <= last; ++major, minor += m) {
        const int32_t i = truncToInt32(minor);
        const double f = minor - i;
        if (major <= 0 || major >= majorSize || i <= 0 || i >= minorSize) {
            continue;
        }
        if (xMajor) {
            if (!rightToLeft) {
                const int32_t row = m <= 0 ? i + 1 : i;
                if (row < targetHeight) {
                    plot(major, row, weight(1.0 - f));
                }
            } else if (m <= 0) {
                plot(major, i, weight(f));
            }
        } else if (m > 0 && m < 1) {
            if (i - 1 > 0) {
                plot(i - 1, major, weight(1.0 - f));
            }
            plot(i, major, weight(f));
        } else {
            plot(i, major, weight(1.0 - f));
            if (i + 1 < targetWidth) {
                plot(i + 1, major, weight(f));
            }
        }
    }
}
