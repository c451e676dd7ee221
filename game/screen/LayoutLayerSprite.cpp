#include "game/screen/LayoutLayerSprite.h"

#include <algorithm>

#include "framework/platform/Graphics.h"
#include "game/rules/RenderTile.h"
#include "game/rules/TuningConstants.h"
#include "game/screen/RenderGrid.h"

struct LayoutLayerSprite::Geometry {
    int32_t faceWidth;
    int32_t faceHeight;
    int32_t layerX;
    int32_t layerY;
    int32_t shadowX;
    int32_t shadowY;
    int32_t sideWidth;
    int32_t sideHeight;

    static Geometry fromTuning() {
        const TuningConstants& c = tuning();
        return {c.RENDERER_TILE_FACE_WIDTH,    c.RENDERER_TILE_FACE_HEIGHT,
                c.RENDERER_TILE_LAYER_OFFSETX, c.RENDERER_TILE_LAYER_OFFSETY,
                c.RENDERER_SHADOW_OFFSETX,     c.RENDERER_SHADOW_OFFSETY,
                c.RENDERER_TILE_SIDE_WIDTH,    c.RENDERER_TILE_SIDE_HEIGHT};
    }
    int32_t halfWidth() const { return faceWidth / 2; }
    int32_t halfHeight() const { return faceHeight / 2; }
    // Left (top) edge of a cell column (row) relative to another.
    int32_t cellX(int32_t x) const { return x * faceWidth / 2; }
    int32_t cellY(int32_t y) const { return y * faceHeight / 2; }
};

LayoutLayerSprite::LayoutLayerSprite() = default;

LayoutLayerSprite::~LayoutLayerSprite() = default;

void LayoutLayerSprite::addTile(RenderTile* tile) {
    tiles.push_back(tile);
    minX = std::min(minX, tile->getColumn());
    minY = std::min(minY, tile->getRow());
    minZ = std::min(minZ, tile->getLayer());
    maxX = std::max(maxX, tile->getColumn());
    maxY = std::max(maxY, tile->getRow());
}

void LayoutLayerSprite::setImages(Image* tile, Image* symbols, Image* shadow) {
    tileImage = tile;
    symbolImage = symbols;
    shadowImage = shadow;
}

void LayoutLayerSprite::setShading(uint32_t color, int32_t alpha) {
    shadingColor = color;
    shadingAlpha = alpha;
}

void LayoutLayerSprite::createImage(const Geometry& geo) {
    const int32_t width =
        geo.cellX(maxX - minX + 2) + geo.shadowX + minZ * geo.layerX + geo.sideWidth;
    const int32_t height =
        geo.cellY(maxY - minY + 2) + geo.shadowY + minZ * geo.layerY + geo.sideHeight;
    RefHolder<Image> picture(Image::createImage(std::max(width, 0), std::max(height, 0)));
    setImage(picture.get());  // new images are cleared to color 0 and alpha 0
    setPosition(geo.cellX(minX) - minZ * geo.layerX, geo.cellY(minY) - minZ * geo.layerY);
}

void LayoutLayerSprite::build(const std::vector<Rect>& dirty) {
    if (tiles.empty()) {
        return;
    }
    const Geometry geo = Geometry::fromTuning();
    if (getImage() == nullptr) {
        createImage(geo);
    }
    Image* picture = getImage();
    RefHolder<Graphics> graphics(picture != nullptr ? picture->createGraphics() : nullptr);
    if (!graphics) {
        return;
    }
    const int32_t ox = geo.cellX(minX);
    const int32_t oy = geo.cellY(minY);
    const Rect bounds{ox, oy, picture->getWidth(), picture->getHeight()};
    std::vector<Rect> local;
    for (const Rect& rect : dirty) {
        Rect part = intersectRects(rect, bounds);
        if (!part.isEmpty()) {
            part.x -= ox;
            part.y -= oy;
            local.push_back(part);
        }
    }
    graphics->setColor(0);
    for (const Rect& rect : local) {
        graphics->fillRectR(rect);
        graphics->fillRectChannelR(Channel::ALPHA, 0, rect);
    }
    if (local.empty()) {
        return;
    }
    drawShadows(*graphics, geo, local);
    drawQuarters(*graphics, geo, local);
    graphics->resetClip();
    shaded.clear();
    setDirty(true);
}

void LayoutLayerSprite::drawPiece(Graphics& graphics, Image* source, int32_t dx, int32_t dy,
                                  const Rect& area) {
    if (source == nullptr || area.isEmpty()) {
        return;
    }
    graphics.blitR(source, dx, dy, area);
    graphics.blitChannelMaxR(source, Channel::ALPHA, dx, dy, area);
}

void LayoutLayerSprite::drawShadows(Graphics& graphics, const Geometry& geo,
                                    const std::vector<Rect>& local) {
    const int32_t sx = geo.shadowX;
    const int32_t sy = geo.shadowY;
    const int32_t fw = geo.faceWidth;
    const int32_t fh = geo.faceHeight;
    for (RenderTile* tile : tiles) {
        if (tile->isOutOfGrid()) {
            continue;
        }
        const Rect area{geo.cellX(tile->getColumn() - minX), geo.cellY(tile->getRow() - minY),
                        fw + geo.layerX + sx, fh + geo.layerY + sy};
        const RenderTile::Neighbours& n = tile->getNeighbours();
        // Source offset and length of the strip along the top and down the left, by which of
        // the diagonal, north (west) neighbours leave room for it; length 0 draws nothing.
        int32_t topFrom = 0;
        int32_t topLength = 0;
        if (n.shadowDiagonal) {
            topLength = !n.shadowNorthLeft   ? sx
                        : n.shadowNorthRight ? fw + 2 * sx
                                             : geo.halfWidth() + 2 * sx;
        } else if (n.shadowNorthLeft) {
            topFrom = sx;
            topLength = n.shadowNorthRight ? sx + fw : geo.halfWidth();
        } else if (n.shadowNorthRight) {
            topFrom = geo.halfWidth() + sx;
            topLength = geo.halfWidth() + sx;
        }
        int32_t leftFrom = 0;
        int32_t leftLength = 0;
        if (n.shadowDiagonal) {
            leftLength = !n.shadowWestTop     ? sy
                         : n.shadowWestBottom ? sy + 2 * fh
                                              : geo.halfHeight() + sy;
        } else if (n.shadowWestTop) {
            leftFrom = sy;
            leftLength = n.shadowWestBottom ? sy + fh : geo.halfHeight();
        } else if (n.shadowWestBottom) {
            leftFrom = geo.halfHeight() + sy;
            leftLength = geo.halfHeight() + sy;
        }
        for (const Rect& rect : local) {
            const Rect clip = intersectRects(area, rect);
            if (clip.isEmpty() || tile->isSeeThrough()) {
                continue;
            }
            graphics.setClipRectR(clip);
            drawPiece(graphics, shadowImage.get(), area.x + topFrom, area.y,
                      Rect{topFrom, 0, topLength, 2 * sy});
            drawPiece(graphics, shadowImage.get(), area.x, area.y + leftFrom,
                      Rect{0, leftFrom, 2 * sx, leftLength});
        }
    }
}

Image* LayoutLayerSprite::shadedPicture(RenderTile* tile) {
    Image* picture = tile->getPicture();
    if (shadingAlpha <= 0 || picture == nullptr) {
        return picture;
    }
    RefHolder<Image>& copy = shaded[picture];
    if (!copy) {
        copy = Image::copyImage(picture);
        RefHolder<Graphics> graphics(copy ? copy->createGraphics() : nullptr);
        if (graphics) {
            graphics->setColor(shadingColor);
            graphics->setAlpha(shadingAlpha);
            graphics->fillRect(0, 0, copy->getWidth(), copy->getHeight());
        }
    }
    return copy.get();
}

void LayoutLayerSprite::drawQuarters(Graphics& graphics, const Geometry& geo,
                                     const std::vector<Rect>& local) {
    const int32_t hw = geo.halfWidth();
    const int32_t hh = geo.halfHeight();
    // Every cell of the grid, the last column and row included.
    for (int32_t y = 0; y < RenderGrid::ROWS; ++y) {
        for (int32_t x = 0; x < RenderGrid::COLUMNS; ++x) {
            RenderTile* tile = grid->at(x, y, minZ);
            if (tile == nullptr) {
                RenderTile* left = grid->at(x - 1, y, minZ);
                RenderTile* up = grid->at(x, y - 1, minZ);
                if (x < 2 || y < 2 || left == nullptr || up == nullptr) {
                    continue;
                }
                // The corner between the bottom side of the tile above and the right side of
                // the tile to the left, clipped like the quarters.
                const Rect corner{geo.cellX(x - minX) + geo.shadowX,
                                  geo.cellY(y - minY) + geo.shadowY, geo.sideWidth, geo.sideHeight};
                for (const Rect& rect : local) {
                    const Rect clip = intersectRects(corner, rect);
                    if (!clip.isEmpty()) {
                        graphics.setClipRectR(clip);
                        drawPiece(graphics, shadedPicture(up), corner.x, corner.y,
                                  Rect{0, geo.faceHeight, geo.sideWidth, geo.sideHeight});
                    }
                }
                continue;
            }
            const bool right = grid->at(x - 1, y, minZ) == tile;
            const bool lower = grid->at(x, y - 1, minZ) == tile;
            const RenderTile::Neighbours& n = tile->getNeighbours();
            const bool seen = right ? (lower ? n.quarterBottomRight : n.quarterTopRight)
                                    : (lower ? n.quarterBottomLeft : n.quarterTopLeft);
            if (tile->isOutOfGrid() || !seen) {
                continue;
            }
            const Rect quarter{geo.cellX(tile->getColumn() - minX) + geo.shadowX + (right ? hw : 0),
                               geo.cellY(tile->getRow() - minY) + geo.shadowY + (lower ? hh : 0),
                               hw + (right ? geo.sideWidth : 0), hh + (lower ? geo.sideHeight : 0)};
            for (const Rect& rect : local) {
                const Rect clip = intersectRects(quarter, rect);
                if (clip.isEmpty()) {
                    continue;
                }
                graphics.setClipRectR(clip);
                drawPiece(graphics, shadedPicture(tile), quarter.x, quarter.y,
                          Rect{right ? hw : 0, lower ? hh : 0, quarter.w, quarter.h});
                if (symbolsShown && symbolImage) {
                    graphics.setAlpha(tile->getAlpha());
                    graphics.blitR(symbolImage.get(), quarter.x, quarter.y,
                                   Rect{tile->getFaceOffsetX() + (right ? hw : 0),
                                        tile->getFaceOffsetY() + (lower ? hh : 0), hw, hh});
                    graphics.setAlpha(255);
                }
            }
        }
    }
}
