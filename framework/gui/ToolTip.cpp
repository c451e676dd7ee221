#include "framework/gui/ToolTip.h"

#include <algorithm>

#include "framework/core/GameTree.h"
#include "framework/core/IRenderable.h"
#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PictureChanges.h"
#include "framework/core/PropertyNode.h"
#include "framework/gui/Dialog.h"
#include "framework/gui/Panel.h"
#include "framework/platform/GameWindow.h"
#include "framework/platform/Graphics.h"

QUOVEL_DEFINE_TYPE(ToolTipLabel, &Label::typeRecord)
QUOVEL_REGISTER_CLASS(ToolTipLabel)
QUOVEL_DEFINE_TYPE(ToolTip, &Task::typeRecord, &iInputListener::typeRecord, &iToolTip::typeRecord)
QUOVEL_REGISTER_CLASS(ToolTip)

namespace {

// Where the box goes relative to the pointer: below it, or beside it near the bottom edge.
constexpr int32_t BELOW_POINTER = 24;
constexpr int32_t BESIDE_POINTER = 16;
constexpr int32_t LEFT_GAP = 2;
// Room a box takes beyond the renderer's size on every side, unless the renderer is a tooltip
// label, whose padding says.
constexpr int32_t BOX_MARGIN = ToolTipLabel::DEFAULT_PADDING;

}  // namespace

ToolTipLabel::ToolTipLabel(PropertyNode* definition) : Label(definition) {
    maxWidth = getWidth();
    PropertyNode* node = nodeOrDummy(definition);
    if (AbstractProperty* value = node->getChild("backgroundcolor")) {
        backgroundColor = static_cast<uint32_t>(value->getInt());
    }
    if (AbstractProperty* value = node->getChild("bordercolor")) {
        borderColor = static_cast<uint32_t>(value->getInt());
    }
    if (AbstractProperty* value = node->getChild("padding")) {
        padding = value->getInt();
    }
    if (AbstractProperty* value = node->getChild("maxwidth")) {
        maxWidth = value->getInt();
    }
    if (getWidth() > 0 && maxWidth != 0) {
        setWrapStyle(WRAP_WORDWRAP);
    }
}

void ToolTipLabel::setToolTip(const std::wstring& value) {
    if (maxWidth > 0) {
        setWidth(maxWidth);
    }
    setText(value);
    if (maxWidth > 0) {
        renderText();
        setWidth(getTextBounds().w);
    }
}

void ToolTipLabel::render(Graphics* graphics) {
    if (!graphics) {
        return;
    }
    const int32_t w = getWidth();
    const int32_t h = getHeight();
    const uint32_t savedColor = graphics->getColor();
    const int32_t savedAlpha = graphics->getAlpha();
    graphics->setAlpha(getAlpha());
    graphics->setColor(borderColor);
    graphics->drawRect(-padding, -padding, w + 2 * padding, h + 2 * padding);
    graphics->setColor(backgroundColor);
    graphics->fillRect(1 - padding, 1 - padding, w + 2 * padding - 2, h + 2 * padding - 2);
    graphics->setColor(savedColor);
    graphics->setAlpha(savedAlpha);
    Label::render(graphics);
}

ToolTip::ToolTip(PropertyNode* definition) {
    PropertyNode* node = nodeOrDummy(definition);
    if (PropertyNode* rendererDefinition = node->getChildNode("renderer")) {
        RefHolder<BaseObject> made =
            ObjectFactoryContainer::instance()->createObject(rendererDefinition);
        renderer = objectCast<Sprite>(made.get());
    }
    if (AbstractProperty* value = node->getChild("showdelay")) {
        showDelay = value->getInt();
    }
    if (AbstractProperty* value = node->getChild("removedelay")) {
        removeDelay = value->getInt();
    }
}

ToolTip::~ToolTip() = default;

void* ToolTip::castTo(const TypeRecord* type) {
    if (type == &iInputListener::typeRecord) {
        return static_cast<iInputListener*>(this);
    }
    if (type == &iToolTip::typeRecord) {
        return static_cast<iToolTip*>(this);
    }
    return nullptr;
}

void ToolTip::setRoot(GameTree* tree) {
    root = tree;
    searchedChanges.reset();
}

bool ToolTip::onMouseMove(int32_t x, int32_t y, int32_t) {
    if (x != mouseX || y != mouseY) {
        mouseX = x;
        mouseY = y;
        searchedChanges.reset();
    }
    return false;
}

void ToolTip::search(GameNode* node) {
    if (node->isRemoved() || !node->isVisible()) {
        return;
    }
    if (Sprite* sprite = objectCast<Sprite>(node)) {
        if (objectCast<Dialog>(sprite)) {
            foundSprite = nullptr;
        }
        if (sprite->containsPoint(mouseX, mouseY)) {
            if (objectCast<Panel>(sprite)) {
                foundSprite = nullptr;
            }
            if (sprite->getToolTip()) {
                foundSprite = sprite;
            }
        }
    }
    for (GameNode* child = node->getFirstChild(); child; child = child->getNextSibling()) {
        search(child);
    }
}

void ToolTip::placeBox() {
    if (Label* label = objectCast<Label>(renderer.get())) {
        label->renderText();
    }
    GameWindow* window = GameWindow::getInstance();
    const int32_t windowWidth = window ? window->getWidth() : 0;
    const int32_t windowHeight = window ? window->getHeight() : 0;
    // The box is drawn `margin` pixels around the renderer: w and h reach its right and bottom
    // border, and its left and top border lie `margin` before the place.
    const auto* label = objectCast<ToolTipLabel>(renderer.get());
    const int32_t margin = label ? std::max(label->getPadding(), 0) : BOX_MARGIN;
    const int32_t h = renderer->getHeight() + margin;
    const int32_t w = renderer->getWidth() + margin;
    boxX = mouseX;
    boxY = mouseY + BELOW_POINTER;
    // The box covers rows boxY - margin to boxY + h - 1. It leaves the middle third of what it
    // tells about (a button's caption) in sight: below it, or above the whole sprite where the
    // window has no room below.
    int32_t middleTop = INT32_MAX, middleBottom = INT32_MIN, spriteTop = 0;
    if (lastSprite) {
        spriteTop = lastSprite->getAbsoluteY() - static_cast<int32_t>(lastSprite->getAnchor().y);
        const int32_t third = lastSprite->getHeight() / 3;
        middleTop = spriteTop + third;
        middleBottom = spriteTop + lastSprite->getHeight() - third;
    }
    if (boxY - margin < middleBottom && boxY + h > middleTop) {
        boxY = middleBottom + margin;
    }
    if (window && boxY + h > windowHeight && lastSprite && spriteTop - LEFT_GAP - h >= margin) {
        boxY = spriteTop - LEFT_GAP - h;
        boxX = std::min(mouseX, windowWidth - w);
    }
    bool beside = false;
    if (window && boxY + h > windowHeight) {
        beside = true;
        boxX = mouseX + BESIDE_POINTER;
        boxY = mouseY;
        if (boxY + h > windowHeight) {
            boxY = windowHeight - h;
        }
    }
    if (window && boxX + w > windowWidth) {
        boxX = beside ? mouseX - w - LEFT_GAP : windowWidth - w;
    }
    if (window) {
        boxX = std::max(boxX, margin);
        boxY = std::max(boxY, margin);
    }
}

void ToolTip::update(int32_t elapsedMs) {
    if (!root || !renderer) {
        lastSprite = nullptr;
        return;
    }
    // What lies under a still pointer changes only with the picture (a node moved, shown,
    // hidden, linked or unlinked, a sprite resized, a tooltip text set).
    const uint64_t changes = PictureChanges::current();
    if (searchedChanges != changes) {
        foundSprite = nullptr;
        search(root.get());
        searchedChanges = changes;
    }
    if (!foundSprite || !foundSprite->getToolTip()) {
        lastSprite = nullptr;
        return;
    }
    if (foundSprite != lastSprite) {
        showCountdown = showDelay;
        removeCountdown = removeDelay;
        lastSprite = foundSprite;
        renderer->setToolTip(*foundSprite->getToolTip());
        // Without a delay the box is shown at once, so it is placed at once.
        if (showCountdown <= 0) {
            placeBox();
        }
    } else if (showCountdown > 0) {
        showCountdown -= elapsedMs;
        if (showCountdown <= 0) {
            placeBox();
        }
    }
    if (showCountdown <= 0 && removeCountdown > 0) {
        removeCountdown -= elapsedMs;
        GameWindow* window = GameWindow::getInstance();
        renderBox(window ? window->getGraphics() : nullptr);
    }
}

void ToolTip::renderBox(Graphics* graphics) {
    auto* renderable = interfaceCast<IRenderable>(renderer.get());
    if (!graphics || !renderable) {
        return;
    }
    graphics->translate(boxX, boxY);
    renderable->render(graphics);
    graphics->translate(-boxX, -boxY);
    // Drawn over the frame: the next frame draws the scene again beneath it, or without it.
    PictureChanges::mark();
}
