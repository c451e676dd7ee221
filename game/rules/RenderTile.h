#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

#include "framework/core/BaseObject.h"
#include "framework/core/Hook.h"
#include "framework/core/RefHolder.h"
#include "framework/platform/Image.h"

class RenderTile;

// One look of a tile on screen as the rules name it: the plain picture, a tinted one, a flash,
// a pulse or a fade-out. The render tile turns it into the tile modifier that draws it.
struct TileLook {
    enum Kind : int32_t { PLAIN, TINTED, FLASH, HINT_PULSE, BLOCKED_PULSE, FADE_OUT };
    Kind kind = PLAIN;
    int32_t color = 0;       // TINTED: 0xRRGGBB
    int32_t alpha = 0;       // TINTED: 0-255
    int32_t durationMs = 0;  // FADE_OUT
};

// Base of the tile effects: the picture the board draws for its render tile while the effect is
// on top, animated by apply once per frame. The effects themselves live with the game screen.
class TileModifier : public BaseObject {
public:
    explicit TileModifier(RenderTile* renderTile) : renderTile(renderTile) {}

    // The alpha with which the tile's symbol is drawn.
    virtual int32_t getSymbolAlpha() const { return 255; }
    // One frame of the effect. It may replace the render tile's modifiers, this one included:
    // the caller keeps a reference for the call.
    virtual void apply(int32_t) {}
    // True for an effect whose apply does nothing: the board skips it every frame.
    virtual bool isStill() const { return false; }

    Image* getPicture() const { return picture.get(); }

protected:
    RefHolder<Image> picture;
    RenderTile* renderTile;
};

// The drawable state of one tile on the board or in a side-board slot: its place in the board
// renderer's grid, where its symbol lies in the symbol sheet, the neighbour flags the renderer
// recomputes before each redraw, and a list of tile modifiers whose top (last) gives the
// picture. The rules make them through the game screen for side-board slots and name their
// effects as looks.
class RenderTile : public BaseObject {
    QUOVEL_TYPE(RenderTile)
public:
    // Which parts of the tile and of its shadow may be seen; all cleared after each redraw.
    struct Neighbours {
        bool quarterTopLeft = false;
        bool quarterBottomLeft = false;
        bool quarterTopRight = false;
        bool quarterBottomRight = false;
        bool aboveTopLeft = false;
        bool aboveTopRight = false;
        bool aboveBottomLeft = false;
        bool aboveBottomRight = false;
        bool rightTop = false;
        bool rightBottom = false;
        bool belowLeft = false;
        bool belowRight = false;
        bool shadowWestBottom = false;
        bool shadowWestTop = false;
        bool shadowNorthLeft = false;
        bool shadowNorthRight = false;
        bool shadowDiagonal = false;
    };

    // Makes the tile modifier that draws a look. The effects live with the game screen; the
    // application installs them. Without one a look is a modifier drawing nothing.
    static inline Hook<TileModifier*(RenderTile* renderTile, const TileLook& look)> lookMaker{
        MustBeFilled{"RenderTile::lookMaker", "installGameListeners"}};

    RenderTile(int32_t column, int32_t row, int32_t layer, int32_t faceOffsetX,
               int32_t faceOffsetY);
    ~RenderTile() override;

    // The rules' looks, each made into its tile modifier: addLook puts it on top of the current
    // effect, replaceTopLook replaces the top one.
    virtual void addLook(const TileLook& look);
    virtual void replaceTopLook(const TileLook& look);
    // Runs the top modifier for the elapsed time.
    virtual void updateTopLook(int32_t elapsedMs);
    // The top modifier's picture, or null when there is none to draw.
    virtual Image* getPicture();
    // The top modifier's symbol alpha, 0-255.
    virtual int32_t getAlpha() const;

    // Releases every modifier held, then holds this one alone; sets dirty. Every board effect
    // goes through it, so a new effect ends the current one.
    void addModifier(TileModifier* modifier);
    // Despite its name, puts the modifier on top of the others, leaving dirty alone: the side
    // boards lay a hover tint or a fade-out over an effect that clearing brings back.
    void removeModifier(TileModifier* modifier);
    // Back to the first modifier when several are held, else to a new plain picture; sets dirty.
    void clearModifiers();
    TileModifier* getTopModifier() const {
        return modifiers.empty() ? nullptr : modifiers.back().get();
    }
    const std::vector<RefHolder<TileModifier>>& getModifiers() const { return modifiers; }

    int32_t getColumn() const { return column; }
    int32_t getRow() const { return row; }
    int32_t getLayer() const { return layer; }
    void setGridPosition(int32_t x, int32_t y, int32_t z);
    int32_t getFaceOffsetX() const { return faceOffsetX; }
    int32_t getFaceOffsetY() const { return faceOffsetY; }

    Neighbours& getNeighbours() { return neighbours; }
    const Neighbours& getNeighbours() const { return neighbours; }

    // The dirty flag: the picture changed and the tile's rectangle must be redrawn.
    void requestRedraw() {
        dirty = true;
        noteChange();
    }
    bool isDirty() const { return dirty; }
    void clearDirty() { dirty = false; }
    // Whether a redraw was requested since the last call; clears the request.
    bool takeRedrawRequest();
    // Set while the tile fades out: effects that would change it leave it alone.
    bool isLocked() const { return locked; }
    void setLocked(bool value) { locked = value; }
    // Not in the renderer's grid (or, in a side-board slot, faded out): neither updated nor drawn.
    bool isOutOfGrid() const { return outOfGrid; }
    void setOutOfGrid(bool value) {
        outOfGrid = value;
        noteChange();
    }
    // Set while the tile fades out: its neighbours see through it and it casts no shadow.
    bool isSeeThrough() const { return seeThrough; }
    void setSeeThrough(bool value) { seeThrough = value; }

    // Counts, process-wide, the changes that may give a tile something to do in a frame: a
    // redraw asked for, a modifier added or taken, a tile made or moved out of the grid or back.
    // The board skips its walk over the tiles while the count stands still after a walk that
    // found nothing to do.
    static uint64_t changes() { return changeCount.load(std::memory_order_relaxed); }

private:
    static void noteChange() { changeCount.fetch_add(1, std::memory_order_relaxed); }

    static inline std::atomic<uint64_t> changeCount{0};

    int32_t column;
    int32_t row;
    int32_t layer;
    int32_t faceOffsetX;
    int32_t faceOffsetY;
    Neighbours neighbours;
    std::vector<RefHolder<TileModifier>> modifiers;
    bool dirty = true;
    bool locked = false;
    bool outOfGrid = false;
    bool seeThrough = false;
};
