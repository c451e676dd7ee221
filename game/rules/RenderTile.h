#pragma once

#include <cstdint>

#include "framework/core/BaseObject.h"

class Image;

// One look of a tile on screen: the plain picture, a tinted one, a flash, a pulse or a fade-out.
struct TileLook {
    enum Kind : int32_t { PLAIN, TINTED, FLASH, HINT_PULSE, BLOCKED_PULSE, FADE_OUT };
    Kind kind = PLAIN;
    int32_t color = 0;       // TINTED: 0xRRGGBB
    int32_t alpha = 0;       // TINTED: 0-255
    int32_t durationMs = 0;  // FADE_OUT
};

// The game screen's record of one tile on screen: its grid place, the offsets of its face in the
// tile-face sheet and a stack of looks whose top gives the current picture. The rules make them
// through the game screen for side-board slot tiles and drive them frame by frame; the screen
// supplies the looks' pictures.
class RenderTile : public BaseObject {
    QUOVEL_TYPE(RenderTile)
public:
    RenderTile(int32_t column, int32_t row, int32_t layer, int32_t faceOffsetX,
               int32_t faceOffsetY);

    // Puts a look on top of the stack.
    virtual void addLook(const TileLook& look) = 0;
    // Replaces the top look (adds it to an empty stack).
    virtual void replaceTopLook(const TileLook& look) = 0;
    // Runs the top look for the elapsed time; a fade-out that ends sets the finished flag.
    virtual void updateTopLook(int32_t elapsedMs) = 0;
    // The current picture (TILE_WIDTH x TILE_HEIGHT), or null when there is none to draw.
    virtual Image* getPicture() = 0;
    // Opacity of the current picture, 0-255.
    virtual int32_t getAlpha() const = 0;

    int32_t getColumn() const { return column; }
    int32_t getRow() const { return row; }
    int32_t getLayer() const { return layer; }
    int32_t getFaceOffsetX() const { return faceOffsetX; }
    int32_t getFaceOffsetY() const { return faceOffsetY; }

    void requestRedraw() { redraw = true; }
    // Whether a redraw was requested since the last call; clears the request.
    bool takeRedrawRequest();
    bool isFinished() const { return finished; }
    void setFinished(bool value) { finished = value; }

private:
    int32_t column;
    int32_t row;
    int32_t layer;
    int32_t faceOffsetX;
    int32_t faceOffsetY;
    bool redraw = false;
    bool finished = false;
};
