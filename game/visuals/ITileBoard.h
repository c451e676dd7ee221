#pragma once

#include <cstdint>

#include "framework/core/Interface.h"
#include "framework/core/RefHolder.h"

class Image;

// What the tile effects read of the board they draw for: the blank tile, the symbol sheet of
// the tile set in use and where a tile's face lies on screen. The game screen's board
// renderer implements it.
class ITileBoard : public Interface {
    QUOVEL_INTERFACE_TYPE(ITileBoard)
public:
    // The blank tile, or null.
    virtual RefHolder<Image> getBlankTile() const = 0;
    // The symbol sheet, or null.
    virtual Image* getSymbolImage() const = 0;
    // Screen position of the top left of the face of a tile at layout column x (row y) of z.
    virtual int32_t gridToScreenX(int32_t z, int32_t x) const = 0;
    virtual int32_t gridToScreenY(int32_t z, int32_t y) const = 0;
};
