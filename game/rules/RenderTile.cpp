#include "game/rules/RenderTile.h"

#include <utility>

QUOVEL_DEFINE_TYPE(RenderTile, &BaseObject::typeRecord)

namespace {

// The tile modifier that draws a look.
TileModifier* makeModifier(RenderTile* renderTile, const TileLook& look) {
    TileModifier* made = RenderTile::lookMaker(renderTile, look);
    return made ? made : new TileModifier(renderTile);
}

}  // namespace

RenderTile::RenderTile(int32_t column, int32_t row, int32_t layer, int32_t faceOffsetX,
                       int32_t faceOffsetY)
    : column(column), row(row), layer(layer), faceOffsetX(faceOffsetX), faceOffsetY(faceOffsetY) {
    noteChange();
}

RenderTile::~RenderTile() = default;

void RenderTile::addLook(const TileLook& look) {
    removeModifier(makeModifier(this, look));
    requestRedraw();
}

void RenderTile::replaceTopLook(const TileLook& look) {
    RefHolder<TileModifier> modifier(makeModifier(this, look));
    if (!modifiers.empty()) {
        modifiers.pop_back();
    }
    modifiers.push_back(modifier);
    requestRedraw();
}

void RenderTile::updateTopLook(int32_t elapsedMs) {
    // The modifier may replace itself while it runs.
    if (RefHolder<TileModifier> top = getTopModifier()) {
        top->apply(elapsedMs);
    }
}

Image* RenderTile::getPicture() {
    TileModifier* top = getTopModifier();
    return top != nullptr ? top->getPicture() : nullptr;
}

int32_t RenderTile::getAlpha() const {
    TileModifier* top = getTopModifier();
    return top != nullptr ? top->getSymbolAlpha() : 255;
}

void RenderTile::addModifier(TileModifier* modifier) {
    RefHolder<TileModifier> kept(modifier);
    modifiers.clear();
    modifiers.push_back(kept);
    requestRedraw();
}

void RenderTile::removeModifier(TileModifier* modifier) {
    modifiers.emplace_back(modifier);
    noteChange();
}

void RenderTile::clearModifiers() {
    if (modifiers.size() > 1) {
        modifiers.resize(1);
    } else {
        addModifier(makeModifier(this, TileLook{}));
    }
    requestRedraw();
}

void RenderTile::setGridPosition(int32_t x, int32_t y, int32_t z) {
    column = x;
    row = y;
    layer = z;
}

bool RenderTile::takeRedrawRequest() {
    return std::exchange(dirty, false);
}
