#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "framework/core/Rect.h"
#include "framework/core/RefHolder.h"
#include "framework/nodes/Sprite.h"

class Graphics;
class RenderGrid;
class RenderTile;

// One layer of the board as a pre-rendered picture: every tile's shadow, the quarters of its
// picture that its neighbours leave visible, with the layer's shading, and its symbol. The
// board renderer hands it the dirty rectangles of a frame and only those areas are repainted;
// otherwise it is drawn as a plain sprite.
class LayoutLayerSprite : public Sprite {
public:
    LayoutLayerSprite();
    ~LayoutLayerSprite() override;

    // Appends a render tile of this layer and widens the bounds.
    void addTile(RenderTile* tile);
    // Repaints the dirty rectangles (board coordinates); the first call creates the picture and
    // places the sprite.
    void build(const std::vector<Rect>& dirty);

    void setImages(Image* tile, Image* symbols, Image* shadow);
    void setGrid(const RenderGrid* value) { grid = value; }
    void setSymbolsShown(bool value) { symbolsShown = value; }
    bool getSymbolsShown() const { return symbolsShown; }
    // Shading alpha 0 draws the tile pictures unchanged.
    void setShading(uint32_t color, int32_t alpha);
    int32_t getShadingAlpha() const { return shadingAlpha; }
    uint32_t getShadingColor() const { return shadingColor; }
    const std::vector<RenderTile*>& getTiles() const { return tiles; }

private:
    // Board geometry, read from the tuning constants for one repaint.
    struct Geometry;

    void createImage(const Geometry& geo);
    void drawShadows(Graphics& graphics, const Geometry& geo, const std::vector<Rect>& local);
    void drawQuarters(Graphics& graphics, const Geometry& geo, const std::vector<Rect>& local);
    // The picture of a tile, shaded when the layer has a shading alpha.
    Image* shadedPicture(RenderTile* tile);
    // A blit of the area followed by a blitChannelMax of its alpha.
    static void drawPiece(Graphics& graphics, Image* source, int32_t dx, int32_t dy,
                          const Rect& area);

    std::vector<RenderTile*> tiles;
    int32_t minX = INT32_MAX;
    int32_t minY = INT32_MAX;
    int32_t minZ = INT32_MAX;
    int32_t maxX = 0;
    int32_t maxY = 0;
    const RenderGrid* grid = nullptr;
    bool symbolsShown = true;
    uint32_t shadingColor = 0;
    int32_t shadingAlpha = 0;
    RefHolder<Image> tileImage;
    RefHolder<Image> symbolImage;
    RefHolder<Image> shadowImage;
    // Shaded copies of the pictures drawn in one repaint.
    std::unordered_map<Image*, RefHolder<Image>> shaded;
};
