#include "tools/icon/TileIcon.h"

#include <algorithm>

namespace icontool {

namespace {

// The face on the 64-pixel grid; the tile's thickness shows below and to the right of it.
constexpr float FACE_LEFT = 6;
constexpr float FACE_TOP = 3;
constexpr float FACE_RIGHT = 50;
constexpr float FACE_BOTTOM = 53;
constexpr float FACE_RADIUS = 6;
constexpr float THICKNESS = 5;
// The ivory part of the thickness; the rest is the tile's green back.
constexpr float IVORY_DEPTH = 2;
constexpr int THICKNESS_STEPS = 20;

}  // namespace

void paintTileIcon(IconCanvas& canvas) {
    const float scale = canvas.getSize() / 64.0f;
    // The face moved down and right by `offset` grid pixels, as a distance in canvas pixels.
    const auto face = [scale](float inset, float offset) {
        return [=](float x, float y) {
            return roundedRectDistance(x / scale - offset, y / scale - offset, FACE_LEFT + inset,
                                       FACE_TOP + inset, FACE_RIGHT - inset, FACE_BOTTOM - inset,
                                       FACE_RADIUS - inset) *
                   scale;
        };
    };
    // The face swept from `from` to `to` along the diagonal: a slab of the tile's body.
    const auto slab = [face](float from, float to) {
        return [=](float x, float y) {
            float distance = face(0, from)(x, y);
            for (int k = 1; k <= THICKNESS_STEPS; ++k) {
                const float offset = from + (to - from) * k / THICKNESS_STEPS;
                distance = std::min(distance, face(0, offset)(x, y));
            }
            return distance;
        };
    };
    // A vertical gradient over the tile's height.
    const auto vertical = [scale](Color top, Color bottom) {
        return [=](float, float y) {
            return mix(top, bottom, (y / scale - FACE_TOP) / (FACE_BOTTOM - FACE_TOP + THICKNESS));
        };
    };

    canvas.fill(slab(THICKNESS, THICKNESS + 3), rgb(0x20180C, 0.45f), 6 * scale);
    canvas.fill(slab(IVORY_DEPTH, THICKNESS), vertical(rgb(0x3C9A6E), rgb(0x1E5E40)));
    canvas.fill(slab(0, IVORY_DEPTH), vertical(rgb(0xE2D2A8), rgb(0xBFA878)));
    // A darker rim keeps the face apart from the body at small sizes.
    canvas.fill(face(0, 0), rgb(0xB8A47A));
    canvas.fill(face(1, 0), [scale](float x, float y) {
        // Lit from the top left.
        const float t = ((x + y) / scale - (FACE_LEFT + FACE_TOP)) /
                        (FACE_RIGHT + FACE_BOTTOM - FACE_LEFT - FACE_TOP);
        return mix(rgb(0xFFFBEE), rgb(0xEBDDBA), t);
    });

    const float centreX = (FACE_LEFT + FACE_RIGHT) / 2 * scale;
    const float centreY = (FACE_TOP + FACE_BOTTOM) / 2 * scale;
    const auto ring = [=](float outer, float inner) {
        return [=](float x, float y) {
            return std::max(circleDistance(x, y, centreX, centreY, outer * scale),
                            -circleDistance(x, y, centreX, centreY, inner * scale));
        };
    };
    const auto disc = [=](float dx, float dy, float radius) {
        return [=](float x, float y) {
            return circleDistance(x, y, centreX + dx * scale, centreY + dy * scale, radius * scale);
        };
    };
    const auto aroundCentre = [=](Color top, Color bottom, float radius) {
        return [=](float, float y) {
            return mix(top, bottom, ((y - centreY) / scale + radius) / (2 * radius));
        };
    };
    canvas.fill(ring(15, 11), aroundCentre(rgb(0x3FA872), rgb(0x17603C), 15));
    canvas.fill(disc(0, 0, 8.5f), aroundCentre(rgb(0xE8453A), rgb(0xA3181A), 8.5f));
    canvas.fill(disc(-3, -3, 2.5f), rgb(0xFFFFFF, 0.6f), 2 * scale);
}

}  // namespace icontool
