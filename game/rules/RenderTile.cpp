#include "game/rules/RenderTile.h"

#include <utility>

QUOVEL_DEFINE_TYPE(RenderTile, &BaseObject::typeRecord)

RenderTile::RenderTile(int32_t column, int32_t row, int32_t layer, int32_t faceOffsetX,
                       int32_t faceOffsetY)
    : column(column), row(row), layer(layer), faceOffsetX(faceOffsetX), faceOffsetY(faceOffsetY) {}

bool RenderTile::takeRedrawRequest() {
    return std::exchange(redraw, false);
}
