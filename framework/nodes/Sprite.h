#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "framework/core/GameNode.h"
#include "framework/core/IRenderable.h"
#include "framework/core/PictureChanges.h"
#include "framework/core/Rect.h"
#include "framework/platform/ImageContainer.h"

class Graphics;
class Image;
class PropertyNode;

// The drawable node: shows an image, or one frame of an image strip, at its position, placed
// by an anchor point, with alpha, rotation, scale and optional source, clip and stretch
// rectangles. Every visible object of the game and the GUI derives from it; the render pass
// reaches its render through castTo(&IRenderable::typeRecord).
//
// Positions are relative to the parent: the render pass moves the drawing origin to the parent
// before it calls render. The anchor is the point of the sprite's own rectangle (from its
// top-left) that stands at the position; the pivot is the point it rotates and scales about
// and that stays in place when it is stretched. Setting the anchor sets the pivot alike.
class Sprite : public GameNode, public IRenderable, public ImageContainer {
    QUOVEL_TYPE(Sprite)
public:
    // Anchor types; the names are those of the "anchorpoint" definition key.
    enum AnchorType : int32_t {
        ANCHOR_TOP_LEFT = 0,
        ANCHOR_TOP = 1,
        ANCHOR_TOP_RIGHT = 2,
        ANCHOR_LEFT = 3,
        ANCHOR_CENTER = 4,
        ANCHOR_RIGHT = 5,
        ANCHOR_BOTTOM_LEFT = 6,
        ANCHOR_BOTTOM = 7,
        ANCHOR_BOTTOM_RIGHT = 8,
        // An explicit offset, kept when the size changes.
        ANCHOR_EXPLICIT = 9,
    };
    // What nextFrame does past either end of the strip.
    enum FrameWrapStyle : int32_t { WRAP_ONCE = 0, WRAP_SWITCH = 1, WRAP_LOOP = 2 };

    // An anchor point: the offset from the sprite's top-left and the type it was computed from.
    struct Anchor {
        float x = 0.0f;
        float y = 0.0f;
        int32_t type = ANCHOR_TOP_LEFT;
    };

    // An unnamed sprite at (x, y), sized to the image and cut into the image's frames.
    explicit Sprite(int32_t x = 0, int32_t y = 0, Image* image = nullptr);
    // An unnamed sprite at (x, y) of the given size, without an image.
    Sprite(int32_t x, int32_t y, int32_t width, int32_t height);
    // The other's position, look and frames (not its frame rectangle, which is cut again from
    // the image), its clip, source and stretch rectangles and its tooltip.
    Sprite(const Sprite& other);
    // The node keys, then "image" + "section", "width", "height", "alpha", "color",
    // "frameoffset_x", "frameoffset_y", "framecount", "currentframe", "reverseframes",
    // "framewrapstyle", "frametime", "anchorpoint_x" + "anchorpoint_y", "anchorpoint",
    // "tooltip", "initanimation" + "horizontalframelayout" and "smooth", each when present.
    explicit Sprite(PropertyNode* definition);
    Sprite& operator=(const Sprite&) = delete;

    // Answers the IRenderable type with the render interface, any other type with null.
    void* castTo(const TypeRecord* type) override;

    // GameNode operations that also mark the sprite dirty when they change it (setRemoved
    // always does, so that a buffered dialog draws a component linked again); setX and setY
    // place the stretch rectangle again.
    void setX(int32_t value) override;
    void setY(int32_t value) override;
    void setRemoved(bool value) override;
    void setVisible(bool value) override;

    // Draws the current frame at the position less the anchor: plain, stretched onto the
    // stretch rectangle, or rotated and scaled about the pivot. The graphics' alpha, smoothing
    // and clip are restored afterwards. Clears the dirty flag.
    void render(Graphics* graphics) override;

    // Sizes the sprite to the image (0 x 0 without one) and cuts it into the image's frames,
    // vertically. Setting the image the sprite already shows does nothing.
    void setImage(Image* newImage) override;

    // Store the size and recompute the anchor and pivot (types 0-8); a stretch rectangle keeps
    // its width (height) and is placed again.
    virtual void setWidth(int32_t value);
    virtual void setHeight(int32_t value);
    virtual void setSize(int32_t newWidth, int32_t newHeight);
    // Shows frame n: the source rectangle becomes frame 0's rectangle moved n frame steps. An
    // index outside the strip draws what the clipped blits leave of it (usually nothing).
    virtual void setFrame(int32_t n);
    virtual void setRotation(float radians);
    virtual float getRotation() const;
    virtual void setScale(float value);
    virtual float getScale() const;
    // Cuts the image (or, without one, the sprite's own size) into `count` frames side by side
    // (horizontal) or stacked, sizes the sprite to one frame and shows frame 0. A negative count
    // keeps the stored count; 0 counts as 1.
    virtual void setFrameCount(int32_t count, bool horizontal);
    // An empty text removes the tooltip.
    virtual void setToolTip(const std::wstring& text);
    // True when the point, in the coordinates of the tree's root (the screen), lies on the
    // sprite's rectangle: left and top edges in, right and bottom edges out.
    virtual bool containsPoint(int32_t px, int32_t py);
    Image* getImage() const override;
    virtual void setAlpha(int32_t value);
    virtual void setColor(uint32_t value);
    // The position less the anchor offset cut toward zero.
    virtual int32_t getLeft() const;
    virtual int32_t getTop() const;

    // The frame after the current one in the current direction, wrapped by the wrap style; a
    // "once" strip also comes back to frame 0 (stopping is the frame modifier's business).
    void nextFrame();

    // Anchor by type (0-8, or 9 to keep the current offset); other values are ignored.
    void setAnchor(int32_t type);
    // An explicit anchor offset (type 9).
    void setAnchorOffset(float offsetX, float offsetY);
    void setAnchorOffset(const PointF& offset) { setAnchorOffset(offset.x, offset.y); }
    const Anchor& getAnchor() const { return anchor; }
    const Anchor& getPivot() const { return pivot; }

    // The stretch rectangle (the destination of a stretched drawing). The width and height
    // setters keep the pivot's place on screen; setStretchSize puts the pivot on the position.
    void setStretchWidth(int32_t value);
    void setStretchHeight(int32_t value);
    void setStretchSize(int32_t newWidth, int32_t newHeight);
    const std::optional<Rect>& getStretchRect() const { return stretchRect; }

    void setSourceRect(const Rect& rect);
    const std::optional<Rect>& getSourceRect() const { return sourceRect; }
    // Relative to the parent.
    void setClipRect(const Rect& rect);
    void clearClipRect();
    const std::optional<Rect>& getClipRect() const { return clipRect; }
    const std::optional<Rect>& getFrameRect() const { return frameRect; }

    int32_t getWidth() const { return width; }
    int32_t getHeight() const { return height; }
    int32_t getFrame() const { return currentFrame; }
    int32_t getFrameCount() const { return frameCount; }
    int32_t getFrameStepX() const { return frameStepX; }
    int32_t getFrameStepY() const { return frameStepY; }
    void setFrameStep(int32_t stepX, int32_t stepY);
    bool isReversed() const { return reversed; }
    void setReversed(bool value) { reversed = value; }
    int32_t getFrameWrapStyle() const { return frameWrapStyle; }
    void setFrameWrapStyle(int32_t value) { frameWrapStyle = value; }
    int32_t getAlpha() const { return alpha; }
    uint32_t getColor() const { return color; }
    bool isSmooth() const { return smooth; }
    void setSmooth(bool value);
    const std::optional<std::wstring>& getToolTip() const { return toolTip; }

    // True when something that changes the drawing changed since the last render.
    bool isDirty() const { return dirty; }
    // Setting the flag also counts as a change of the picture.
    void setDirty(bool value) {
        if (value) {
            markDirty();
        } else {
            dirty = false;
        }
    }

private:
    void markDirty() {
        dirty = true;
        PictureChanges::mark();
    }
    // The offset of an anchor type (types 0-8) for the current size.
    void placeAnchor(Anchor& point) const;
    // Moves `into` to the anchor `from`; true when anything changed.
    static bool assignAnchor(Anchor& into, const Anchor& from);
    // Places the stretch rectangle again for its current size, when there is one.
    void replaceStretchWidth();
    void replaceStretchHeight();
    // Creates the stretch rectangle at the sprite's size, the pivot in place.
    Rect& stretchRectForUse();

    int32_t currentFrame = 0;
    bool dirty = true;
    int32_t width = 0;
    int32_t height = 0;
    std::optional<Rect> frameRect;
    std::optional<Rect> sourceRect;
    std::optional<Rect> clipRect;
    std::optional<Rect> stretchRect;
    float rotation = 0.0f;
    float scale = 1.0f;
    int32_t frameCount = 1;
    int32_t frameStepX = 0;
    int32_t frameStepY = 0;
    bool reversed = false;
    int32_t frameWrapStyle = WRAP_LOOP;
    int32_t alpha = 255;
    uint32_t color = 0;
    bool smooth = false;
    Anchor anchor;
    Anchor pivot;
    std::optional<std::wstring> toolTip;
};

// A sprite drawn with additive blending; the graphics' blend mode is restored afterwards.
class AdditiveSprite : public Sprite {
    QUOVEL_TYPE(AdditiveSprite)
public:
    using Sprite::Sprite;
    AdditiveSprite(const AdditiveSprite& other) = default;

    void render(Graphics* graphics) override;
};
