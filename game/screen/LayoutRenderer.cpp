#include "game/screen/LayoutRenderer.h"

#include <algorithm>
#include <string>

#include "framework/core/BasicProperties.h"
#include "framework/core/PictureChanges.h"
#include "framework/nodes/ResourceLookup.h"
#include "game/rules/Layout.h"
#include "game/rules/SideBoard.h"
#include "game/rules/Tile.h"
#include "game/rules/TuningConstants.h"
#include "game/screen/TileModifiers.h"
#include "game/visuals/ScreenUtils.h"

QUOVEL_DEFINE_TYPE(LayoutRenderer, &Sprite::typeRecord, &ITileBoard::typeRecord)

namespace {

// A picture resource, loaded when needed; null when missing.
RefHolder<Image> findImage(const std::string& key, const std::string& section) {
    return findOrLoad<Image>(key, section);
}

bool drawsBefore(const RefHolder<RenderTile>& a, const RefHolder<RenderTile>& b) {
    if (a->getLayer() != b->getLayer()) {
        return a->getLayer() < b->getLayer();
    }
    if (a->getRow() != b->getRow()) {
        return a->getRow() < b->getRow();
    }
    return a->getColumn() < b->getColumn();
}

}  // namespace

LayoutRenderer::LayoutRenderer(int32_t tileSet) {
    loadImages(tileSet);
}

LayoutRenderer::~LayoutRenderer() = default;

void LayoutRenderer::loadImages(int32_t tileSet) {
    symbolImage = findImage("SYMBOLS" + std::to_string(tileSet + 1), "manual");
    shadowImage = findImage("SHADOW", "manual");
}

RefHolder<Image> LayoutRenderer::getTileImage() {
    return blankTileImage();
}

void LayoutRenderer::build(Layout* layout, const std::vector<RefHolder<Tile>>& extraTiles) {
    std::vector<RefHolder<Tile>> tiles;
    if (layout != nullptr) {
        layout->getAllTiles(tiles);
    }
    if (tiles.empty()) {
        return;
    }
    const bool firstBuild = renderTiles.empty();
    grid.clear();
    renderTiles.clear();
    quiet = false;
    GameNode::releaseChildren(this);
    layerSprites.clear();

    for (const RefHolder<Tile>& extra : extraTiles) {
        if (extra && !extra->isOnSideBoard()) {
            tiles.push_back(extra);
        }
    }
    for (const RefHolder<Tile>& tile : tiles) {
        RefHolder<RenderTile> renderTile(new RenderTile(tile->getGridX(), tile->getGridY(),
                                                        tile->getGridZ(), tile->getFaceOffsetX(),
                                                        tile->getFaceOffsetY()));
        renderTile->addModifier(new TileImage(renderTile.get()));
        renderTiles.push_back(renderTile);
    }
    std::sort(renderTiles.begin(), renderTiles.end(), drawsBefore);
    normaliseCoordinates(firstBuild);
    for (const RefHolder<RenderTile>& renderTile : renderTiles) {
        grid.cover(renderTile->getColumn(), renderTile->getRow(), renderTile->getLayer(),
                   renderTile.get());
    }
    for (const RefHolder<RenderTile>& renderTile : renderTiles) {
        computeLayout(renderTile.get());
    }
    createLayerSprites();
    computeExtents();
    queue(SCREEN_RECT);
}

void LayoutRenderer::buildFromLayout(Layout* layout) {
    build(layout, {});
}

void LayoutRenderer::normaliseCoordinates(bool firstBuild) {
    if (firstBuild) {
        originX = originY = originZ = INT32_MAX;
        for (const RefHolder<RenderTile>& renderTile : renderTiles) {
            originX = std::min(originX, renderTile->getColumn());
            originY = std::min(originY, renderTile->getRow());
            originZ = std::min(originZ, renderTile->getLayer());
        }
    }
    if (originX == 0 && originY == 0 && originZ == 0) {
        return;
    }
    for (const RefHolder<RenderTile>& renderTile : renderTiles) {
        renderTile->setGridPosition(renderTile->getColumn() - originX,
                                    renderTile->getRow() - originY,
                                    renderTile->getLayer() - originZ);
    }
}

void LayoutRenderer::computeLayout(RenderTile* renderTile) {
    const int32_t x = renderTile->getColumn();
    const int32_t y = renderTile->getRow();
    const int32_t z = renderTile->getLayer();
    const auto open = [this](int32_t cx, int32_t cy, int32_t cz) {
        const RenderTile* cell = grid.at(cx, cy, cz);
        return cell == nullptr || cell->isSeeThrough();
    };
    RenderTile::Neighbours& n = renderTile->getNeighbours();
    n.aboveTopLeft = open(x, y, z + 1);
    n.aboveTopRight = open(x + 1, y, z + 1);
    n.aboveBottomLeft = open(x, y + 1, z + 1);
    n.aboveBottomRight = open(x + 1, y + 1, z + 1);
    n.rightTop = open(x + 2, y, z);
    n.rightBottom = open(x + 2, y + 1, z);
    n.belowLeft = open(x, y + 2, z);
    n.belowRight = open(x + 1, y + 2, z);
    n.quarterTopLeft = n.aboveTopLeft;
    n.quarterTopRight = n.aboveTopRight || n.rightTop;
    n.quarterBottomLeft = n.aboveBottomLeft || n.belowLeft;
    n.quarterBottomRight = n.aboveBottomRight || n.belowRight || n.rightBottom;
    n.shadowDiagonal = x < 1 || y < 1 || open(x - 1, y - 1, z);
    n.shadowWestTop = x < 1 || open(x - 1, y, z);
    n.shadowWestBottom = x < 1 || open(x - 1, y + 1, z);
    n.shadowNorthLeft = y < 1 || open(x, y - 1, z);
    n.shadowNorthRight = y < 1 || open(x + 1, y - 1, z);
}

void LayoutRenderer::createLayerSprites() {
    layerCount = renderTiles.empty() ? 0 : renderTiles.back()->getLayer() + 1;
    RefHolder<Image> tileImage = getTileImage();
    for (int32_t z = 0; z < layerCount; ++z) {
        RefHolder<LayoutLayerSprite> layer(new LayoutLayerSprite());
        layer->setImages(tileImage.get(), symbolImage.get(), shadowImage.get());
        layer->setGrid(&grid);
        layerSprites.push_back(layer);
    }
    for (const RefHolder<RenderTile>& renderTile : renderTiles) {
        const int32_t z = renderTile->getLayer();
        if (z >= 0 && z < layerCount) {
            layerSprites[static_cast<size_t>(z)]->addTile(renderTile.get());
        }
    }
    for (const RefHolder<LayoutLayerSprite>& layer : layerSprites) {
        GameNode::appendChild(layer.get(), this);
    }
}

void LayoutRenderer::computeExtents() {
    const TuningConstants& c = tuning();
    int32_t maxX = 0;
    int32_t maxY = 0;
    int32_t leftZ = 0;
    int32_t topZ = 0;
    for (const RefHolder<RenderTile>& renderTile : renderTiles) {
        maxX = std::max(maxX, renderTile->getColumn());
        maxY = std::max(maxY, renderTile->getRow());
        if (renderTile->getColumn() == 0) {
            leftZ = std::max(leftZ, renderTile->getLayer());
        }
        if (renderTile->getRow() == 0) {
            topZ = std::max(topZ, renderTile->getLayer());
        }
    }
    setSize((maxX + 2) * c.RENDERER_TILE_FACE_WIDTH / 2 + c.RENDERER_TILE_SIDE_WIDTH +
                c.RENDERER_TILE_LAYER_OFFSETX * leftZ + c.RENDERER_SHADOW_OFFSETX,
            (maxY + 2) * c.RENDERER_TILE_FACE_HEIGHT / 2 + c.RENDERER_TILE_SIDE_HEIGHT +
                c.RENDERER_TILE_LAYER_OFFSETY * topZ + c.RENDERER_SHADOW_OFFSETY);
}

void LayoutRenderer::queue(const Rect& rect) {
    for (const Rect& queued : dirtyRects) {
        if (intersectRects(queued, rect) == rect) {
            return;
        }
    }
    dirtyRects.push_back(rect);
    PictureChanges::mark();
}

void LayoutRenderer::rebuild() {
    for (const RefHolder<RenderTile>& renderTile : renderTiles) {
        computeLayout(renderTile.get());
    }
    if (dirtyRects.size() > 1) {
        std::vector<Rect> merged;
        decomposeRectUnion(merged, dirtyRects);
        dirtyRects.swap(merged);
    }
    for (const RefHolder<LayoutLayerSprite>& layer : layerSprites) {
        layer->build(dirtyRects);
    }
    for (const RefHolder<RenderTile>& renderTile : renderTiles) {
        renderTile->getNeighbours() = RenderTile::Neighbours();
        renderTile->clearDirty();
    }
    dirtyRects.clear();
}

void LayoutRenderer::clearGrid() {
    grid.clear();
    for (const RefHolder<RenderTile>& renderTile : renderTiles) {
        renderTile->setOutOfGrid(true);
    }
    queue(SCREEN_RECT);
}

void LayoutRenderer::placeInGrid(RenderTile* renderTile) {
    if (renderTile == nullptr) {
        return;
    }
    grid.cover(renderTile->getColumn(), renderTile->getRow(), renderTile->getLayer(), renderTile);
    renderTile->setOutOfGrid(false);
    computeTileRect(renderTile);
}

void LayoutRenderer::positionRenderTile(int32_t x, int32_t y, int32_t z) {
    RenderTile* renderTile = grid.at(x, y, z);
    if (renderTile == nullptr) {
        return;
    }
    grid.cover(renderTile->getColumn(), renderTile->getRow(), renderTile->getLayer(), nullptr);
    renderTile->setOutOfGrid(true);
    computeTileRect(renderTile);
}

void LayoutRenderer::computeTileRect(RenderTile* renderTile) {
    if (renderTile == nullptr) {
        return;
    }
    const TuningConstants& c = tuning();
    queue(Rect{
        renderTile->getColumn() * c.RENDERER_TILE_FACE_WIDTH / 2,
        renderTile->getRow() * c.RENDERER_TILE_FACE_HEIGHT / 2,
        c.RENDERER_TILE_FACE_WIDTH + c.RENDERER_TILE_LAYER_OFFSETX + c.RENDERER_SHADOW_OFFSETX,
        c.RENDERER_TILE_FACE_HEIGHT + c.RENDERER_TILE_LAYER_OFFSETY + c.RENDERER_SHADOW_OFFSETY});
}

void LayoutRenderer::setSymbolsShown(bool value) {
    symbolsShown = value;
    for (const RefHolder<LayoutLayerSprite>& layer : layerSprites) {
        layer->setSymbolsShown(value);
    }
    queue(SCREEN_RECT);
}

void LayoutRenderer::hideSymbols() {
    setSymbolsShown(false);
}

void LayoutRenderer::showSymbols() {
    setSymbolsShown(true);
}

void LayoutRenderer::applyLayerShading() {
    BasicProperties* properties = BasicProperties::instance();
    if (!properties || layerSprites.empty()) {
        return;
    }
    const auto alphaOf = [properties](size_t layer) {
        return properties->getInteger("LAYER_ALPHA" + std::to_string(layer));
    };
    // The wash sets lower layers off from higher ones, so it is measured from the board's top
    // layer: that layer keeps the plain faces (a board of one layer is not dulled) and each lower
    // one is washed by as much more than the top as the data gives it.
    const int32_t topAlpha = alphaOf(layerSprites.size() - 1);
    for (size_t i = 0; i < layerSprites.size(); ++i) {
        const int32_t color = properties->getInteger("LAYER_COLOR" + std::to_string(i));
        layerSprites[i]->setShading(static_cast<uint32_t>(color),
                                    std::max(alphaOf(i) - topAlpha, 0));
    }
}

RenderTile* LayoutRenderer::findRenderTile(Tile* tile) {
    if (tile == nullptr) {
        return nullptr;
    }
    const int32_t x = tile->getGridX() - originX;
    const int32_t y = tile->getGridY() - originY;
    const int32_t z = tile->getGridZ() - originZ;
    if (RenderTile* inCell = grid.at(x, y, z)) {
        return inCell;
    }
    for (const RefHolder<RenderTile>& renderTile : renderTiles) {
        if (renderTile->getColumn() == x && renderTile->getRow() == y &&
            renderTile->getLayer() == z) {
            return renderTile.get();
        }
    }
    return nullptr;
}

Tile* LayoutRenderer::tileAtPoint(Layout* layout, int32_t x, int32_t y) {
    if (layout == nullptr) {
        return nullptr;
    }
    if (SideBoard* sideBoard = layout->getSideBoard()) {
        int32_t column = x;
        int32_t row = y;
        if (sideBoard->pointToSlot(column, row)) {
            if (Tile* tile = sideBoard->getTileAt(column, row)) {
                return tile;
            }
        }
    }
    const TuningConstants& c = tuning();
    const int32_t faceWidth = c.RENDERER_TILE_FACE_WIDTH;
    const int32_t faceHeight = c.RENDERER_TILE_FACE_HEIGHT;
    const int32_t layerX = c.RENDERER_TILE_LAYER_OFFSETX;
    const int32_t layerY = c.RENDERER_TILE_LAYER_OFFSETY;
    if (faceWidth <= 0 || faceHeight <= 0) {
        return nullptr;
    }
    const int32_t ax = getAbsoluteX() + c.RENDERER_SHADOW_OFFSETX;
    const int32_t ay = getAbsoluteY() + c.RENDERER_SHADOW_OFFSETY;
    const int32_t top = layerCount - 1;
    if (x < ax - top * layerX || x >= ax + getWidth() || y < ay - top * layerY ||
        y >= ay + getHeight()) {
        return nullptr;
    }
    for (int32_t z = RenderGrid::LAYERS - 1; z >= 0; --z) {
        const int32_t rx = x - ax + z * layerX;
        const int32_t ry = y - ay + z * layerY;
        const int32_t column = 2 * rx / faceWidth + originX;
        const int32_t row = 2 * ry / faceHeight + originY;
        if (Tile* tile = layout->getTileAt(column, row, z)) {
            return tile;
        }
        // On the right side of the tile to the left, or the bottom side of the tile above.
        Tile* left = layout->getTileAt(column - 1, row, z);
        if (left != nullptr && rx - (column - originX) * faceWidth / 2 < layerX) {
            return left;
        }
        Tile* above = layout->getTileAt(column, row - 1, z);
        if (above != nullptr && ry - (row - originY) * faceHeight / 2 < layerY) {
            return above;
        }
    }
    return nullptr;
}

int32_t LayoutRenderer::gridToScreenX(int32_t z, int32_t x) const {
    const TuningConstants& c = tuning();
    return getAbsoluteX() + c.RENDERER_SHADOW_OFFSETX +
           (x - originX) * c.RENDERER_TILE_FACE_WIDTH / 2 -
           (z - originZ) * c.RENDERER_TILE_LAYER_OFFSETX;
}

int32_t LayoutRenderer::gridToScreenY(int32_t z, int32_t y) const {
    const TuningConstants& c = tuning();
    return getAbsoluteY() + c.RENDERER_SHADOW_OFFSETY +
           (y - originY) * c.RENDERER_TILE_FACE_HEIGHT / 2 -
           (z - originZ) * c.RENDERER_TILE_LAYER_OFFSETY;
}

void LayoutRenderer::addBlockedPulse(Tile* tile) {
    if (RenderTile* renderTile = findRenderTile(tile)) {
        renderTile->addModifier(new TileBlockedPulse(renderTile));
    }
}

void LayoutRenderer::addFadeOut(Tile* tile, int32_t multiplier) {
    if (RenderTile* renderTile = findRenderTile(tile)) {
        renderTile->addModifier(
            new TileFadeOut(renderTile, multiplier, tuning().TILE_FADEOUT_TIME));
    }
}

void LayoutRenderer::addHintPulse(Tile* tile) {
    if (RenderTile* renderTile = findRenderTile(tile)) {
        renderTile->addModifier(new TileHintPulse(renderTile));
    }
}

void LayoutRenderer::addSuperHintTint(Tile* tile) {
    RenderTile* renderTile = findRenderTile(tile);
    if (renderTile != nullptr && !renderTile->isLocked()) {
        renderTile->addModifier(new TileImage(renderTile, tuning().TILE_SUPER_HINT_COLOR,
                                              tuning().TILE_SUPER_HINT_ALPHA));
    }
}

void LayoutRenderer::addPlainImage(Tile* tile) {
    if (RenderTile* renderTile = findRenderTile(tile)) {
        renderTile->addModifier(new TileImage(renderTile));
    }
}

void LayoutRenderer::addUndarken(Tile* tile) {
    if (RenderTile* renderTile = findRenderTile(tile)) {
        renderTile->addModifier(new TileUndarken(renderTile));
    }
}

void LayoutRenderer::addDarken(Tile* tile) {
    if (RenderTile* renderTile = findRenderTile(tile)) {
        renderTile->addModifier(new TileDarken(renderTile));
    }
}

void LayoutRenderer::addSelectTint(Tile* tile) {
    if (RenderTile* renderTile = findRenderTile(tile)) {
        renderTile->addModifier(
            new TileImage(renderTile, tuning().TILE_SELECT_COLOR, tuning().TILE_SELECT_ALPHA));
    }
}

void LayoutRenderer::addHoverTint(Tile* tile) {
    if (tile == nullptr || tile->isOnSideBoard()) {
        return;
    }
    if (RenderTile* renderTile = findRenderTile(tile)) {
        renderTile->addModifier(
            new TileImage(renderTile, tuning().TILE_HOVER_COLOR, tuning().TILE_HOVER_ALPHA));
        computeTileRect(renderTile);
    }
}

void LayoutRenderer::clearModifiers(Tile* tile) {
    if (tile == nullptr || tile->isOnSideBoard()) {
        return;
    }
    RenderTile* renderTile = findRenderTile(tile);
    if (renderTile != nullptr && !renderTile->isLocked()) {
        renderTile->clearModifiers();
        computeTileRect(renderTile);
    }
}

void LayoutRenderer::update(int32_t elapsedMs) {
    const uint64_t changesBefore = RenderTile::changes();
    if (quiet && changesBefore == quietChanges) {
        return;
    }
    // Quiet when the walk meets no effect running and no tile to measure again.
    bool busy = false;
    for (size_t i = 0; i < renderTiles.size(); ++i) {
        RenderTile* const tile = renderTiles[i].get();
        const TileModifier* top = tile->getTopModifier();
        if (!top || tile->isOutOfGrid()) {
            continue;
        }
        if (top->isStill()) {
            // Most tiles most of the time: nothing runs, the tile is only measured again when
            // something asked for a redraw.
            if (tile->isDirty()) {
                computeTileRect(tile);
                busy = true;
            }
            continue;
        }
        busy = true;
        RefHolder<RenderTile> renderTile(tile);
        // Only the top modifier runs.
        renderTile->updateTopLook(elapsedMs);
        if (renderTile->isDirty()) {
            computeTileRect(renderTile.get());
        }
        if (renderTile->isOutOfGrid()) {
            // A finished fade-out: it leaves the grid, which also queues its rectangle.
            positionRenderTile(renderTile->getColumn(), renderTile->getRow(),
                               renderTile->getLayer());
        }
    }
    quiet = !busy && RenderTile::changes() == changesBefore;
    quietChanges = changesBefore;
}

void LayoutRenderer::render(Graphics* graphics) {
    if (!dirtyRects.empty()) {
        rebuild();
    }
    Sprite::render(graphics);
}
