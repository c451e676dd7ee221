#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "framework/core/GameNode.h"
#include "framework/core/RefHolder.h"
#include "framework/gui/Label.h"
#include "framework/gui/iToolTip.h"
#include "framework/platform/Task.h"
#include "framework/platform/iInputListener.h"

class Graphics;
class PropertyNode;

// The label that draws a tooltip: the text on a filled box with a one-pixel border, the box
// reaching `padding` pixels beyond the text on every side and drawn around the drawing origin.
// A text is wrapped at the maximum width and the label narrowed to the widest line.
class ToolTipLabel : public Label {
    QUOVEL_TYPE(ToolTipLabel)
public:
    static constexpr uint32_t DEFAULT_BACKGROUND = 0xFFFFE1;
    static constexpr int32_t DEFAULT_PADDING = 3;

    // The label keys, then "backgroundcolor", "bordercolor", "padding" and "maxwidth" (by
    // default the label's width; 0 or less: no limit).
    explicit ToolTipLabel(PropertyNode* definition);

    // Shows the text as the tooltip: wrapped at the maximum width, then as wide as it needs.
    void setToolTip(const std::wstring& text) override;
    void render(Graphics* graphics) override;

    int32_t getPadding() const { return padding; }
    int32_t getMaxWidth() const { return maxWidth; }

private:
    uint32_t backgroundColor = DEFAULT_BACKGROUND;
    uint32_t borderColor = 0;
    int32_t padding = DEFAULT_PADDING;
    int32_t maxWidth = 0;
};

// The shared tooltip: each frame it finds the last sprite in drawing order under the pointer
// that has a tooltip text (an open dialog, or a panel under the pointer, hides what lies below
// it), waits the show delay while the pointer stays on that sprite, places the box below the
// pointer and clear of the sprite's middle third (above the sprite where no room is left
// below, else beside or left of the pointer near the window's edges) and draws it on top of
// the frame until the remove delay has run out. Its listener only watches the pointer, consuming
// nothing.
class ToolTip : public Task, public iInputListener, public iToolTip {
    QUOVEL_TYPE(ToolTip)
public:
    static constexpr int32_t DEFAULT_SHOW_DELAY = 1000;
    static constexpr int32_t DEFAULT_REMOVE_DELAY = 10000;

    // "renderer" (the definition of the box's sprite, built by the object factory),
    // "showdelay" and "removedelay" in milliseconds.
    explicit ToolTip(PropertyNode* definition);
    ~ToolTip() override;

    void* castTo(const TypeRecord* type) override;
    void update(int32_t elapsedMs) override;
    // Draws the box at its place into the graphics.
    void renderBox(Graphics* graphics);

    bool onMouseMove(int32_t x, int32_t y, int32_t buttons) override;
    void cancelInput() override {}

    void setRoot(GameTree* tree) override;
    Sprite* getRenderer() const { return renderer.get(); }
    // The sprite whose tooltip is shown or waited for.
    Sprite* getCurrentSprite() const { return lastSprite; }
    // True while the box is drawn each frame.
    bool isShowing() const { return lastSprite && showCountdown <= 0 && removeCountdown > 0; }
    int32_t getBoxX() const { return boxX; }
    int32_t getBoxY() const { return boxY; }
    int32_t getShowDelay() const { return showDelay; }
    int32_t getRemoveDelay() const { return removeDelay; }

private:
    void search(GameNode* node);
    void placeBox();

    RefHolder<GameNode> root;
    RefHolder<Sprite> renderer;
    Sprite* lastSprite = nullptr;
    Sprite* foundSprite = nullptr;
    // The picture's change count when the sprites were last searched; none after the pointer
    // moved or the tree was set.
    std::optional<uint64_t> searchedChanges;
    int32_t mouseX = 0;
    int32_t mouseY = 0;
    int32_t boxX = 0;
    int32_t boxY = 0;
    int32_t showCountdown = 0;
    int32_t showDelay = DEFAULT_SHOW_DELAY;
    int32_t removeCountdown = 0;
    int32_t removeDelay = DEFAULT_REMOVE_DELAY;
};
