#pragma once

#include <cstdint>
#include <vector>

#include "framework/core/Rect.h"
#include "framework/core/RefHolder.h"
#include "framework/core/ScreenSize.h"
#include "framework/nodes/Sprite.h"
#include "game/rules/RenderTile.h"
#include "game/screen/LayoutLayerSprite.h"
#include "game/screen/RenderGrid.h"
#include "game/visuals/ITileBoard.h"

class Layout;
class Tile;

// Draws the board of the running game: one render tile per game tile, a grid of which render
// tile covers which cell, and one pre-rendered child sprite per layer. Changes are collected
// as dirty rectangles and only those areas of the layer pictures are repainted. It also finds
// the game tile under a screen point, turns grid coordinates into screen pixels and puts the
// tile effects on tiles. The shared effects draw tiles through it (ITileBoard).
//
// Board coordinates are relative to the renderer and leave out the layer shift: cell (x, y)
// of any layer starts at (x * FW / 2, y * FH / 2). Render tiles and the grid use coordinates
// less the origin, the smallest coordinates of the first build; game tiles keep theirs.
class LayoutRenderer : public Sprite, public ITileBoard {
    QUOVEL_TYPE(LayoutRenderer)
public:
    // Looks up the symbol sheet of the tile set (0 to 3: "SYMBOLS1" to "SYMBOLS4"), which the
    // game scene takes from the player at level start, and the shadow picture.
    explicit LayoutRenderer(int32_t tileSet = 0);
    ~LayoutRenderer() override;

    // Rebuilds everything from the layout's tiles and the extra tiles (those removed earlier in
    // the level, so that an undo can bring them back; side-board tiles are left out). A layout
    // without tiles changes nothing.
    void build(Layout* layout, const std::vector<RefHolder<Tile>>& extraTiles);
    void buildFromLayout(Layout* layout);
    // Repaints every dirty rectangle in every layer picture and empties the list.
    void rebuild();
    // Takes every render tile out of the grid and queues a full redraw.
    void clearGrid();
    // Queues a screen area for the next repaint (the River asks for a full redraw).
    void addDirtyRect(const Rect& area) { queue(area); }
    // Puts a render tile into its four cells and queues its rectangle.
    void placeInGrid(RenderTile* renderTile);
    // Takes the render tile of the cell out of the grid and queues its rectangle.
    void positionRenderTile(int32_t x, int32_t y, int32_t z);
    // Queues the render tile's rectangle: face, sides and shadow margin.
    void computeTileRect(RenderTile* renderTile);
    void hideSymbols();
    void showSymbols();
    // River games: each layer's shading from "LAYER_ALPHA" and "LAYER_COLOR" + its number.
    void applyLayerShading();

    // The blank tile "TILE" of section "default", or null.
    static RefHolder<Image> getTileImage();
    RefHolder<Image> getBlankTile() const override { return getTileImage(); }
    // The render tile of a game tile, or null.
    RenderTile* findRenderTile(Tile* tile);
    // The game tile under a screen point (side board first, then layers 6 to 0), or null.
    Tile* tileAtPoint(Layout* layout, int32_t x, int32_t y);
    // Screen position of the top left of the face of a tile at layout column x (row y) of z.
    int32_t gridToScreenX(int32_t z, int32_t x) const override;
    int32_t gridToScreenY(int32_t z, int32_t y) const override;

    // Effects; each replaces the tile's current effect.
    void addBlockedPulse(Tile* tile);
    void addFadeOut(Tile* tile, int32_t multiplier);
    void addHintPulse(Tile* tile);
    // Leaves a locked (fading) tile alone.
    void addSuperHintTint(Tile* tile);
    void addPlainImage(Tile* tile);
    void addUndarken(Tile* tile);
    void addDarken(Tile* tile);
    void addSelectTint(Tile* tile);
    // Not for side-board tiles.
    void addHoverTint(Tile* tile);
    // Back to the plain picture; not for side-board tiles nor locked ones.
    void clearModifiers(Tile* tile);

    // Runs the top modifier of every render tile in the grid and queues what changed.
    void update(int32_t elapsedMs) override;
    // Repaints the dirty areas first, when there are any.
    void render(Graphics* graphics) override;

    const std::vector<RefHolder<RenderTile>>& getRenderTiles() const { return renderTiles; }
    const std::vector<RefHolder<LayoutLayerSprite>>& getLayerSprites() const {
        return layerSprites;
    }
    int32_t getLayerCount() const { return layerCount; }
    const std::vector<Rect>& getDirtyRects() const { return dirtyRects; }
    const RenderGrid& getGrid() const { return grid; }
    int32_t getOriginX() const { return originX; }
    int32_t getOriginY() const { return originY; }
    int32_t getOriginZ() const { return originZ; }
    bool getSymbolsShown() const { return symbolsShown; }
    // The symbol sheet of its tile set.
    Image* getSymbolImage() const override { return symbolImage.get(); }

private:
    void loadImages(int32_t tileSet);
    void normaliseCoordinates(bool firstBuild);
    void computeLayout(RenderTile* renderTile);
    void createLayerSprites();
    void computeExtents();
    // Adds a dirty rectangle unless a queued one already holds it.
    void queue(const Rect& rect);
    void setSymbolsShown(bool value);

    std::vector<RefHolder<RenderTile>> renderTiles;
    RenderGrid grid;
    std::vector<RefHolder<LayoutLayerSprite>> layerSprites;
    int32_t layerCount = 0;
    std::vector<Rect> dirtyRects;
    int32_t originX = RenderGrid::COLUMNS;
    int32_t originY = RenderGrid::ROWS;
    int32_t originZ = RenderGrid::LAYERS;
    bool symbolsShown = true;
    RefHolder<Image> symbolImage;
    RefHolder<Image> shadowImage;
    // Whether the last walk over the tiles found nothing to do, at this count of tile changes.
    bool quiet = false;
    uint64_t quietChanges = 0;
};
