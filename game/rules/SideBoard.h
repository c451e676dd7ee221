#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "framework/core/Rect.h"
#include "framework/core/RefHolder.h"
#include "framework/core/ScreenSize.h"
#include "framework/nodes/Sprite.h"
#include "framework/platform/Image.h"
#include "game/rules/RenderTile.h"

class Graphics;
class PropertyNode;
class Tile;

// A rack of slots beside the layout holding tiles outside the grid: the free cells of FreeCell
// and the racks of Split and Speed. Slot tiles are always free. It is a sprite that keeps its
// own picture of the rack and redraws only the part that changed (the pending dirty rectangle).
class SideBoard : public Sprite {
    QUOVEL_TYPE(SideBoard)
public:
    // Larger slot counts from a file are cut to this.
    static constexpr int32_t MAX_SLOTS_PER_SIDE = 64;

    // The sprite's keys, then load.
    explicit SideBoard(PropertyNode* definition);
    // Same slots with copies of the slot tiles; the rack picture is made again on the first
    // redraw, and until then the source's slot offsets and pitches hold.
    SideBoard(const SideBoard& other);
    SideBoard& operator=(const SideBoard&) = delete;
    ~SideBoard() override;

    // "width" and "height" (the slot grid, when "width" is present) and the slot tiles of
    // "tiles"; tiles outside the slot grid and entries that are not tiles are skipped.
    void load(PropertyNode* node);
    // Writes "width", "height", "x", "y" and "tiles".
    void save(PropertyNode* node) const;

    // Empties every slot and makes a grid of that size; counts below 0 give no slots.
    void setGridSize(int32_t newColumns, int32_t newRows);
    // Puts the tile in the slot (a slot tile: grid position (column, row, 0), side-board flag);
    // false when the slot does not exist.
    bool placeTile(Tile* tile, int32_t column, int32_t row);
    void removeTile(int32_t column, int32_t row);
    // The first empty slot, rows outer and columns inner; (-1, -1) when all are full.
    void findFreeSlot(int32_t& column, int32_t& row) const;
    // Fills the free slots with the current game's next tiles until it has none.
    void fillFromGame();
    int32_t getTileCount() const;
    // Every slot tile, row by row, column by column.
    void getTiles(std::vector<RefHolder<Tile>>& out) const;
    Tile* getTileAt(int32_t column, int32_t row) const;
    RenderTile* getRenderTileAt(int32_t column, int32_t row) const;
    void clearAll();

    // Turns a screen point into a slot; false left of or above the side board, when the slot
    // pitch is not positive, or when the slot does not exist.
    bool pointToSlot(int32_t& x, int32_t& y) const;
    // Turns a slot into its screen position.
    void slotToPoint(int32_t& column, int32_t& row) const;

    void invalidateAll();
    // Unites the slot's rectangle with the pending dirty rectangle.
    void invalidateTileRect(int32_t column, int32_t row);
    const std::optional<Rect>& getDirtyRect() const { return dirty; }

    // Looks of a slot tile; each asks its render tile for a redraw.
    void addSelectTint(Tile* tile);
    void addHoverTint(Tile* tile);
    void addSuperHintTint(Tile* tile);
    void addHintPulse(Tile* tile);
    void addBlockedPulse(Tile* tile);
    void addPlainImage(Tile* tile);
    void addFadeOut(Tile* tile);

    // Runs the slot tiles' looks; a finished fade-out empties its slot.
    void update(int32_t elapsedMs) override;
    // Redraws the dirty part of the picture first.
    void render(Graphics* graphics) override;

    // Fresh render tiles for every occupied slot.
    void rebuildRenderTiles();

    int32_t getColumns() const { return columns; }
    int32_t getRows() const { return rows; }
    int32_t getCapacity() const { return capacity; }
    int32_t getSlotOffsetX() const { return slotOffsetX; }
    int32_t getSlotOffsetY() const { return slotOffsetY; }
    int32_t getSlotPitchX() const { return slotPitchX; }
    int32_t getSlotPitchY() const { return slotPitchY; }
    Image* getBackgroundImage() const { return backgroundImage.get(); }

private:
    bool hasSlot(int32_t column, int32_t row) const {
        return column >= 0 && column < columns && row >= 0 && row < rows;
    }
    size_t slotIndex(int32_t column, int32_t row) const {
        return static_cast<size_t>(column) * static_cast<size_t>(rows) + static_cast<size_t>(row);
    }
    // The slot tile's render tile, or null when the tile is not in a slot of this side board.
    RenderTile* renderTileOf(Tile* tile) const;
    void addLook(Tile* tile, const TileLook& look, bool replaceTop);
    void positionTile(Tile* tile);
    void makeRenderTile(int32_t column, int32_t row);
    void loadImages();
    void prepareImage();

    int32_t columns = -1;
    int32_t rows = -1;
    int32_t slotOffsetX = 0;
    int32_t slotOffsetY = 0;
    int32_t slotPitchX = 0;
    int32_t slotPitchY = 0;
    int32_t capacity = 0;
    RefHolder<Image> spareImage;  // kept for the screen; this class does not set it
    RefHolder<Image> shadowImage;
    RefHolder<Image> backgroundImage;
    std::vector<RefHolder<Tile>> tiles;
    std::vector<RefHolder<RenderTile>> renderTiles;
    std::optional<Rect> dirty = SCREEN_RECT;
};
