#pragma once

#include <algorithm>
#include <cstdint>
#include <string>

// A rectangle of whole pixels: it covers columns x to x+w-1 and rows y to y+h-1 and is empty
// when w or h is 0 or less. Shared by clipping, blits, sprites and polygon bounds.
struct Rect {
    int32_t x = 0;
    int32_t y = 0;
    int32_t w = 0;
    int32_t h = 0;

    bool isEmpty() const { return w <= 0 || h <= 0; }
    // Whether the pixel (px, py) is covered; the far edges are computed in 64 bits.
    bool contains(int64_t px, int64_t py) const {
        return px >= x && px < int64_t{x} + w && py >= y && py < int64_t{y} + h;
    }
    // Whether `inner` lies wholly within this rectangle.
    bool contains(const Rect& inner) const {
        return inner.x >= x && inner.y >= y && int64_t{inner.x} + inner.w <= int64_t{x} + w &&
               int64_t{inner.y} + inner.h <= int64_t{y} + h;
    }
    bool operator==(const Rect&) const = default;
};

// A point with float coordinates: polygon points and antialiased line ends.
struct PointF {
    float x = 0.0f;
    float y = 0.0f;

    bool operator==(const PointF&) const = default;
};

// The overlap of two rectangles, possibly of width or height 0 or less (empty). The right and
// bottom edges are computed in 64 bits, so rectangles reaching past the int32 range do not wrap.
inline Rect intersectRects(const Rect& a, const Rect& b) {
    const int64_t left = std::max(a.x, b.x);
    const int64_t top = std::max(a.y, b.y);
    const int64_t right = std::min(int64_t{a.x} + a.w, int64_t{b.x} + b.w);
    const int64_t bottom = std::min(int64_t{a.y} + a.h, int64_t{b.y} + b.h);
    const auto extent = [](int64_t from, int64_t to) {
        return static_cast<int32_t>(std::clamp<int64_t>(to - from, INT32_MIN, INT32_MAX));
    };
    return Rect{static_cast<int32_t>(left), static_cast<int32_t>(top), extent(left, right),
                extent(top, bottom)};
}

// The smallest rectangle covering both, its extent capped at the int32 range.
inline Rect uniteRects(const Rect& a, const Rect& b) {
    const int64_t left = std::min(a.x, b.x);
    const int64_t top = std::min(a.y, b.y);
    const int64_t right = std::max(int64_t{a.x} + a.w, int64_t{b.x} + b.w);
    const int64_t bottom = std::max(int64_t{a.y} + a.h, int64_t{b.y} + b.h);
    const auto extent = [](int64_t from, int64_t to) {
        return static_cast<int32_t>(std::min<int64_t>(to - from, INT32_MAX));
    };
    return Rect{static_cast<int32_t>(left), static_cast<int32_t>(top), extent(left, right),
                extent(top, bottom)};
}

// Whether the two rectangles share a pixel.
inline bool rectsOverlap(const Rect& a, const Rect& b) {
    return !intersectRects(a, b).isEmpty();
}

// "(x,y wxh)", for messages.
inline std::string rectText(const Rect& r) {
    return "(" + std::to_string(r.x) + "," + std::to_string(r.y) + " " + std::to_string(r.w) + "x" +
           std::to_string(r.h) + ")";
}
