#pragma once

#include <cstdint>

#include "framework/core/Rect.h"

// Depth-independent blit geometry: the clipping of plain blits and the source mapping of rotated
// and stretched blits. Coordinates handed in are already moved by the drawing offset.

// Clips a blit of the source rectangle (sx, sy, w, h) to (dx, dy) against the source, the
// target and the clip rectangle, adjusting all six values. True when something is left to draw;
// the rectangle then lies inside the source, the target and the clip.
bool clipBlit(int32_t& dx, int32_t& dy, int32_t& sx, int32_t& sy, int32_t& w, int32_t& h,
              int32_t targetWidth, int32_t targetHeight, int32_t sourceWidth, int32_t sourceHeight,
              const Rect& clip);

// The source pixels one destination pixel samples. Nearest sampling gives one pixel
// (x0, y0) with x1 == x0, y1 == y0 and weights 0; bilinear sampling gives the four pixels
// (x0, y0), (x1, y0), (x0, y1), (x1, y1), with fx the weight of column x1 and fy of row y1.
// All four lie inside the source image.
struct BlitSample {
    int32_t x0 = 0;
    int32_t y0 = 0;
    int32_t x1 = 0;
    int32_t y1 = 0;
    float fx = 0.0f;
    float fy = 0.0f;
};

// Maps destination pixels to source positions in 12.20 fixed point for rotated and stretched
// blits. The source rectangle is first cut to the source image, and all fixed-point arithmetic
// is 64-bit: where the 32-bit form did not overflow, the samples are the same.
class BlitMapping {
public:
    static constexpr int FRACTION_BITS = 20;
    static constexpr int64_t ONE = int64_t{1} << FRACTION_BITS;

    // The source rectangle (sx, sy, sw, sh) turned by `angle` (radians, clockwise on screen)
    // and scaled about its point (pivotX, pivotY), which lands on (dx + pivotX, dy + pivotY).
    // False (nothing to draw) for |scale| <= 0.0001, a non-finite angle or scale, an empty
    // clipped source, an empty box, or positions beyond the 64-bit range.
    bool setUpRotated(int32_t sourceWidth, int32_t sourceHeight, double angle, double scale,
                      int32_t dx, int32_t dy, int32_t sx, int32_t sy, int32_t sw, int32_t sh,
                      int32_t pivotX, int32_t pivotY, bool smooth, const Rect& clip);
    // The source rectangle (sx, sy, sw, sh) scaled onto (dx, dy, dw, dh). False when
    // dx + dw < 0, dy + dh < 0, dw <= 0, dh <= 0, or the clipped source or box is empty.
    bool setUpStretched(int32_t sourceWidth, int32_t sourceHeight, int32_t sx, int32_t sy,
                        int32_t sw, int32_t sh, int32_t dx, int32_t dy, int32_t dw, int32_t dh,
                        bool smooth, const Rect& clip);

    // The destination pixels visited, inside the clip.
    const Rect& getBox() const { return box; }
    // Fixed-point steps per destination column and row, and the position at the box's top-left,
    // relative to the source rectangle's origin.
    int64_t getColumnStepU() const { return columnU; }

    // Calls `draw`(x, y, sample) for every destination pixel of the box that samples the source,
    // row by row.
    template <class Draw>
    void forEachPixel(Draw&& draw) const {
        for (int32_t j = 0; j < box.h; ++j) {
            int64_t u = startU + j * rowU;
            int64_t v = startV + j * rowV;
            for (int32_t i = 0; i < box.w; ++i, u += columnU, v += columnV) {
                BlitSample sample;
                if (sampleAt(u, v, sample)) {
                    draw(box.x + i, box.y + j, sample);
                }
            }
        }
    }

    // The sample of the fixed-point source position (u, v); false when it draws nothing.
    bool sampleAt(int64_t u, int64_t v, BlitSample& sample) const;

private:
    // Checks that every position over the box stays inside the 64-bit range.
    bool positionsFit() const;

    Rect box;
    int64_t startU = 0;
    int64_t startV = 0;
    int64_t columnU = 0;
    int64_t columnV = 0;
    int64_t rowU = 0;
    int64_t rowV = 0;
    // Origin of the source rectangle in the source image.
    int32_t originX = 0;
    int32_t originY = 0;
    // The source rectangle cut to the image, relative to the origin: [lowU, highU) x [lowV, highV).
    int32_t lowU = 0;
    int32_t highU = 0;
    int32_t lowV = 0;
    int32_t highV = 0;
    bool smooth = false;
    bool rotated = false;
};
