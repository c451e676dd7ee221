#include "framework/nodes/Sprite.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "framework/core/BasicProperties.h"
#include "framework/core/NumberClamp.h"
#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PropertyNode.h"
#include "framework/core/PropertyValue.h"
#include "framework/nodes/ModifierFrame.h"
#include "framework/nodes/ResourceLookup.h"
#include "framework/platform/Graphics.h"
#include "framework/platform/Image.h"

QUOVEL_DEFINE_TYPE(Sprite, &GameNode::typeRecord, &IRenderable::typeRecord)
QUOVEL_DEFINE_TYPE(AdditiveSprite, &Sprite::typeRecord)
QUOVEL_REGISTER_CLASS(Sprite)
QUOVEL_REGISTER_CLASS(AdditiveSprite)

namespace {

constexpr std::array<const char*, 9> ANCHOR_NAMES = {
    "topleft", "top", "topright", "left", "center", "right", "bottomleft", "bottom", "bottomright"};
constexpr std::array<const char*, 3> WRAP_STYLE_NAMES = {"once", "switch", "loop"};

// base + delta without wrapping past the int32 range.
int32_t addClamped(int32_t base, int64_t delta) {
    return static_cast<int32_t>(std::clamp<int64_t>(base + delta, INT32_MIN, INT32_MAX));
}

// Where a stretched extent `value` starts on one axis so that the pivot keeps its place on
// screen: position + (pivot - pivot * value / size - anchor), rounded; without a size the
// middle term is left out (it has no value).
int32_t stretchPlace(int32_t position, float pivot, float anchorOffset, int32_t value,
                     int32_t size) {
    double bracket = static_cast<double>(pivot) - anchorOffset;
    if (size != 0) {
        bracket -= static_cast<double>(pivot) * value / size;
    }
    return addClamped(position, roundToInt32(bracket));
}

}  // namespace

Sprite::Sprite(int32_t x, int32_t y, Image* image) {
    GameNode::setX(x);
    GameNode::setY(y);
    setImage(image);
}

Sprite::Sprite(int32_t x, int32_t y, int32_t width, int32_t height) {
    GameNode::setX(x);
    GameNode::setY(y);
    setSize(width, height);
}

Sprite::Sprite(const Sprite& other)
    : GameNode(other),
      IRenderable(other),
      ImageContainer(),
      currentFrame(other.currentFrame),
      width(other.width),
      height(other.height),
      sourceRect(other.sourceRect),
      clipRect(other.clipRect),
      stretchRect(other.stretchRect),
      rotation(other.rotation),
      scale(other.scale),
      frameCount(other.frameCount),
      frameStepX(other.frameStepX),
      frameStepY(other.frameStepY),
      reversed(other.reversed),
      frameWrapStyle(other.frameWrapStyle),
      alpha(other.alpha),
      color(other.color),
      smooth(other.smooth),
      anchor(other.anchor),
      pivot(other.pivot) {
    setImage(other.getImage());
    // A strip cut side by side is cut the same way again, so the copy shows the same frames.
    const bool horizontal = other.frameStepX != 0 && other.frameStepY == 0;
    setFrameCount(other.frameCount, horizontal);
    setFrame(other.currentFrame);
    toolTip = other.toolTip;
}

Sprite::Sprite(PropertyNode* definition) : GameNode(definition) {
    PropertyNode* node = nodeOrDummy(definition);
    AbstractProperty* imageKey = node->getChild("image");
    AbstractProperty* sectionKey = node->getChild("section");
    if (imageKey && sectionKey) {
        // Never loads: a sprite made before its section has loaded stays without an image.
        setImage(findLoaded<Image>(imageKey->getValue(), sectionKey->getValue()).get());
    }
    if (AbstractProperty* value = node->getChild("width")) {
        setWidth(value->getInt());
    }
    if (AbstractProperty* value = node->getChild("height")) {
        setHeight(value->getInt());
    }
    if (AbstractProperty* value = node->getChild("alpha")) {
        alpha = value->getInt();
    }
    if (AbstractProperty* value = node->getChild("color")) {
        color = static_cast<uint32_t>(value->getInt());
    }
    if (AbstractProperty* value = node->getChild("frameoffset_x")) {
        frameStepX = value->getInt();
    }
    if (AbstractProperty* value = node->getChild("frameoffset_y")) {
        frameStepY = value->getInt();
    }
    if (AbstractProperty* value = node->getChild("framecount")) {
        // A strip has at least one frame; 0 would divide by zero when it is cut.
        frameCount = std::max(value->getInt(), 1);
    }
    if (AbstractProperty* value = node->getChild("currentframe")) {
        setFrame(value->getInt());
    }
    if (AbstractProperty* value = node->getChild("reverseframes")) {
        reversed = value->getBool();
    }
    if (node->getChild("framewrapstyle")) {
        frameWrapStyle = node->getChoice("framewrapstyle", WRAP_STYLE_NAMES, frameWrapStyle);
    }
    if (AbstractProperty* value = node->getChild("frametime")) {
        addModifier(this, new ModifierFrame(-1, value->getInt()), true);
    }
    if (AbstractProperty* value = node->getChild("anchorpoint_x")) {
        setAnchorOffset(value->getFloat(), node->getChildValue("anchorpoint_y")->getFloat());
    } else if (node->getChild("anchorpoint")) {
        setAnchor(node->getChoice("anchorpoint", ANCHOR_NAMES, anchor.type));
    }
    if (AbstractProperty* value = node->getChild("tooltip")) {
        setToolTip(getBasicText(value->getValue()));
    }
    if (frameCount > 1) {
        AbstractProperty* init = node->getChild("initanimation");
        if (!init || init->getBool()) {
            if (AbstractProperty* layout = node->getChild("horizontalframelayout")) {
                setFrameCount(frameCount, layout->getBool());
            } else {
                setFrameCount(-1, false);
            }
        }
    }
    if (AbstractProperty* value = node->getChild("smooth")) {
        smooth = value->getBool();
    }
}

void* Sprite::castTo(const TypeRecord* type) {
    if (type == &IRenderable::typeRecord) {
        return static_cast<IRenderable*>(this);
    }
    return GameNode::castTo(type);
}

void Sprite::setX(int32_t value) {
    if (value != getX()) {
        GameNode::setX(value);
        markDirty();
    }
    replaceStretchWidth();
}

void Sprite::setY(int32_t value) {
    if (value != getY()) {
        GameNode::setY(value);
        markDirty();
    }
    replaceStretchHeight();
}

void Sprite::setRemoved(bool value) {
    GameNode::setRemoved(value);
    markDirty();
}

void Sprite::setVisible(bool value) {
    if (value != isVisible()) {
        GameNode::setVisible(value);
        markDirty();
    }
}

void Sprite::render(Graphics* graphics) {
    Image* image = getImage();
    if (!image || !graphics) {
        dirty = false;
        return;
    }
    const int32_t savedAlpha = graphics->getAlpha();
    const bool savedSmooth = graphics->isSmooth();
    graphics->setAlpha(alpha);
    graphics->setSmooth(smooth);
    const int32_t dx = addClamped(getX(), -int64_t{roundToInt32(anchor.x)});
    const int32_t dy = addClamped(getY(), -int64_t{roundToInt32(anchor.y)});
    Rect savedClip;
    if (clipRect) {
        savedClip = *graphics->getClipRect();
        graphics->setClipRect(addClamped(clipRect->x, getParentsX()),
                              addClamped(clipRect->y, getParentsY()), clipRect->w, clipRect->h);
    }
    const Rect source =
        sourceRect ? *sourceRect : Rect{0, 0, image->getWidth(), image->getHeight()};
    if (rotation == 0.0f && scale == 1.0f) {
        if (!stretchRect) {
            graphics->blitR(image, dx, dy, source);
        } else {
            graphics->blitStretched(image, source.x, source.y, source.w, source.h, stretchRect->x,
                                    stretchRect->y, stretchRect->w, stretchRect->h);
        }
    } else {
        graphics->blitRotated(image, rotation, scale, dx, dy, source.x, source.y, source.w,
                              source.h, roundToInt32(pivot.x), roundToInt32(pivot.y));
    }
    graphics->setSmooth(savedSmooth);
    graphics->setAlpha(savedAlpha);
    if (clipRect) {
        graphics->setClipRectR(savedClip);
    }
    dirty = false;
}

void Sprite::setImage(Image* newImage) {
    if (newImage == getImage()) {
        return;
    }
    ImageContainer::setImage(newImage);
    markDirty();
    if (!newImage) {
        setSize(0, 0);
        return;
    }
    setSize(newImage->getWidth(), newImage->getHeight());
    setFrameCount(newImage->getFrameCount(), false);
}

Image* Sprite::getImage() const {
    return ImageContainer::getImage();
}

void Sprite::placeAnchor(Anchor& point) const {
    if (point.type < ANCHOR_TOP_LEFT || point.type > ANCHOR_BOTTOM_RIGHT) {
        return;
    }
    const int32_t column = point.type % 3;
    const int32_t row = point.type / 3;
    point.x = static_cast<float>(width) * 0.5f * static_cast<float>(column);
    point.y = static_cast<float>(height) * 0.5f * static_cast<float>(row);
}

bool Sprite::assignAnchor(Anchor& into, const Anchor& from) {
    if (into.x == from.x && into.y == from.y && into.type == from.type) {
        return false;
    }
    into = from;
    return true;
}

void Sprite::setWidth(int32_t value) {
    if (value != width) {
        width = value;
        markDirty();
    }
    placeAnchor(anchor);
    placeAnchor(pivot);
    replaceStretchWidth();
}

void Sprite::setHeight(int32_t value) {
    if (value != height) {
        height = value;
        markDirty();
    }
    placeAnchor(anchor);
    placeAnchor(pivot);
    replaceStretchHeight();
}

void Sprite::setSize(int32_t newWidth, int32_t newHeight) {
    setWidth(newWidth);
    setHeight(newHeight);
}

void Sprite::setFrame(int32_t n) {
    if (n == currentFrame && sourceRect) {
        return;
    }
    if (!frameRect) {
        return;
    }
    currentFrame = n;
    // No range check: the blits cut the source rectangle to the image on every side.
    sourceRect =
        Rect{addClamped(frameRect->x, int64_t{frameStepX} * n),
             addClamped(frameRect->y, int64_t{frameStepY} * n), frameRect->w, frameRect->h};
    markDirty();
}

void Sprite::nextFrame() {
    int32_t next = reversed ? currentFrame - 1 : currentFrame + 1;
    if (next >= frameCount) {
        if (frameWrapStyle == WRAP_SWITCH) {
            next = currentFrame - 1;
            reversed = !reversed;
        } else if (frameWrapStyle == WRAP_LOOP) {
            next = 0;
        }
    } else if (next < 0) {
        if (frameWrapStyle == WRAP_SWITCH) {
            next = currentFrame + 1;
            reversed = !reversed;
        } else if (frameWrapStyle == WRAP_LOOP) {
            next = frameCount - 1;
        }
    }
    next = std::max(next, 0);
    if (next >= frameCount) {
        next = 0;
    }
    setFrame(next);
}

void Sprite::setRotation(float radians) {
    if (radians != rotation) {
        rotation = radians;
        markDirty();
    }
}

float Sprite::getRotation() const {
    return rotation;
}

void Sprite::setScale(float value) {
    if (value != scale) {
        scale = value;
        markDirty();
    }
}

float Sprite::getScale() const {
    return scale;
}

void Sprite::setFrameCount(int32_t count, bool horizontal) {
    if (count >= 0) {
        // No frames would divide by zero below: a strip shows at least one.
        frameCount = std::max(count, 1);
    }
    const Image* image = getImage();
    const int32_t stripWidth = image ? image->getWidth() : width;
    const int32_t stripHeight = image ? image->getHeight() : height;
    if (horizontal) {
        const int32_t frameWidth = stripWidth / frameCount;
        setWidth(frameWidth);
        setFrameStep(frameWidth, 0);
    } else {
        const int32_t frameHeight = stripHeight / frameCount;
        setHeight(frameHeight);
        setFrameStep(0, frameHeight);
    }
    frameRect = Rect{0, 0, width, height};
    sourceRect = frameRect;
    markDirty();
    setFrame(0);
}

void Sprite::setFrameStep(int32_t stepX, int32_t stepY) {
    frameStepX = stepX;
    frameStepY = stepY;
}

void Sprite::setToolTip(const std::wstring& text) {
    std::optional<std::wstring> value;
    if (!text.empty()) {
        value = text;
    }
    if (value != toolTip) {
        toolTip = std::move(value);
        // The box shown for it, and the search for one, follow the picture's changes.
        PictureChanges::mark();
    }
}

bool Sprite::containsPoint(int32_t px, int32_t py) {
    const int64_t localX =
        int64_t{px} + roundToInt32(anchor.x) - int64_t{getParentsX()} - int64_t{getX()};
    const int64_t localY =
        int64_t{py} + roundToInt32(anchor.y) - int64_t{getParentsY()} - int64_t{getY()};
    return localX >= 0 && localX < width && localY >= 0 && localY < height;
}

void Sprite::setAlpha(int32_t value) {
    if (value != alpha) {
        alpha = value;
        markDirty();
    }
}

void Sprite::setColor(uint32_t value) {
    if (value != color) {
        color = value;
        markDirty();
    }
}

void Sprite::setSmooth(bool value) {
    if (value != smooth) {
        smooth = value;
        markDirty();
    }
}

int32_t Sprite::getLeft() const {
    return addClamped(getX(), -int64_t{truncToInt32(anchor.x)});
}

int32_t Sprite::getTop() const {
    return addClamped(getY(), -int64_t{truncToInt32(anchor.y)});
}

void Sprite::setAnchor(int32_t type) {
    if (type < ANCHOR_TOP_LEFT || type > ANCHOR_EXPLICIT) {
        return;
    }
    if (anchor.type != type) {
        anchor.type = type;
        placeAnchor(anchor);
        markDirty();
    }
    if (pivot.type != type) {
        pivot.type = type;
        placeAnchor(pivot);
        markDirty();
    }
}

void Sprite::setAnchorOffset(float offsetX, float offsetY) {
    const Anchor wanted{offsetX, offsetY, ANCHOR_EXPLICIT};
    if (assignAnchor(anchor, wanted)) {
        markDirty();
    }
    if (assignAnchor(pivot, wanted)) {
        markDirty();
    }
}

Rect& Sprite::stretchRectForUse() {
    if (!stretchRect) {
        // At the sprite's own size, so that it covers what an unstretched drawing covers.
        stretchRect = Rect{stretchPlace(getX(), pivot.x, anchor.x, width, width),
                           stretchPlace(getY(), pivot.y, anchor.y, height, height), width, height};
        markDirty();
    }
    return *stretchRect;
}

void Sprite::setStretchWidth(int32_t value) {
    Rect& rect = stretchRectForUse();
    const Rect placed{stretchPlace(getX(), pivot.x, anchor.x, value, width), rect.y, value, rect.h};
    if (placed != rect) {
        rect = placed;
        markDirty();
    }
}

void Sprite::setStretchHeight(int32_t value) {
    Rect& rect = stretchRectForUse();
    const Rect placed{rect.x, stretchPlace(getY(), pivot.y, anchor.y, value, height), rect.w,
                      value};
    if (placed != rect) {
        rect = placed;
        markDirty();
    }
}

void Sprite::setStretchSize(int32_t newWidth, int32_t newHeight) {
    // Without a size the pivot has no scaled place: the rectangle starts at the position.
    const int32_t shiftX =
        width != 0 ? roundToInt32(static_cast<double>(newWidth) * pivot.x / width) : 0;
    const int32_t shiftY =
        height != 0 ? roundToInt32(static_cast<double>(newHeight) * pivot.y / height) : 0;
    const Rect placed{addClamped(getX(), -int64_t{shiftX}), addClamped(getY(), -int64_t{shiftY}),
                      newWidth, newHeight};
    if (stretchRect != placed) {
        stretchRect = placed;
        markDirty();
    }
}

void Sprite::replaceStretchWidth() {
    if (stretchRect) {
        setStretchWidth(stretchRect->w);
    }
}

void Sprite::replaceStretchHeight() {
    if (stretchRect) {
        setStretchHeight(stretchRect->h);
    }
}

void Sprite::setSourceRect(const Rect& rect) {
    if (sourceRect != rect) {
        sourceRect = rect;
        markDirty();
    }
}

void Sprite::setClipRect(const Rect& rect) {
    if (clipRect != rect) {
        clipRect = rect;
        markDirty();
    }
}

void Sprite::clearClipRect() {
    if (clipRect) {
        clipRect.reset();
        dirty = true;
    }
}

void AdditiveSprite::render(Graphics* graphics) {
    if (!graphics) {
        Sprite::render(graphics);
        return;
    }
    const int32_t savedMode = graphics->getBlendMode();
    graphics->setBlendMode(1);
    Sprite::render(graphics);
    graphics->setBlendMode(savedMode);
}
