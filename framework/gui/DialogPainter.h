#pragma once

#include <cstdint>

#include "framework/core/Rect.h"
#include "framework/gui/AbstractPainter.h"

// The nine-piece frame: images 0-8 row by row (top-left corner, top edge, top-right corner,
// left edge, centre, right edge, bottom-left corner, bottom edge, bottom-right corner). Corners
// are drawn once, edges are tiled along the sides and the centre is tiled, or filled with the
// centre color when it has no image; sizes are rounded up to whole edge tiles. An absent
// piece counts as 0 x 0.
//
// With "adjustalpha" the background's alpha channel is built from the pieces (copied, or with
// "usemaxalpha" combined by maximum; "initalpha" clears it first), so frames with soft or
// transparent edges come out right.
class DialogPainter : public AbstractPainter {
    QUOVEL_TYPE(DialogPainter)
public:
    enum Piece : int32_t {
        TOP_LEFT = 0,
        TOP = 1,
        TOP_RIGHT = 2,
        LEFT = 3,
        CENTER = 4,
        RIGHT = 5,
        BOTTOM_LEFT = 6,
        BOTTOM = 7,
        BOTTOM_RIGHT = 8,
    };

    // The painter keys, then "adjustalpha" (true), "initalpha" (false), "usemaxalpha" (false)
    // and "centercolor" (ARGB, 0).
    explicit DialogPainter(PropertyNode* definition);

    void paint(Graphics* target) override;
    // Borders plus whole edge tiles, never below the request.
    int32_t fitWidth(int32_t requested) override;
    int32_t fitHeight(int32_t requested) override;

    uint32_t getCenterColor() const { return centerColor; }

protected:
    // Whole copies of the image from (x, y) while inside the rectangle; the last ones may
    // overhang it. Used by the frames of derived painters on their own pieces.
    void tile(Graphics* target, Image* image, const Rect& area);
    int32_t pieceWidth(int32_t index);
    int32_t pieceHeight(int32_t index);

private:
    void fillCenter(Graphics* target, const Rect& area);

    bool adjustAlpha = true;
    bool initAlpha = false;
    bool useMaxAlpha = false;
    uint32_t centerColor = 0;
};
