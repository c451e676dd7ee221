#pragma once

#include <cstdint>

#include "framework/core/RefHolder.h"
#include "framework/gui/Label.h"
#include "framework/platform/iInputListener.h"

class Image;
class PropertyNode;

// A label whose text appears as if typed: after a start wait each line is uncovered from left
// to right, the next line starting a set delay after the one before. While it types, the
// pointer over it shows the hand and a left click shows the whole text at once.
class TypeLabel : public Label, public iInputListener {
    QUOVEL_TYPE(TypeLabel)
public:
    enum Range : int32_t { RANGE_NONE = 0, RANGE_INSIDE = 1, RANGE_ALL = 2 };

    // The label keys, then "delay", "time", "start" and "range" ("none", "inside", "all").
    explicit TypeLabel(PropertyNode* definition);
    ~TypeLabel() override;

    void* castTo(const TypeRecord* type) override;

    // Renders the text set before and hides it, to be uncovered from now on.
    void startTyping();
    // Shows the whole text; false when it was shown already.
    bool finishTyping();

    void update(int32_t elapsedMs) override;
    bool containsPoint(int32_t px, int32_t py) override;

    bool onMouseMove(int32_t x, int32_t y, int32_t buttons) override;
    bool onLeftButtonDown(int32_t x, int32_t y, int32_t buttons, bool doubleClick) override;
    void cancelInput() override;

    bool isFinished() const { return finished; }
    bool isHovered() const { return hovered; }

private:
    void trackHover(int32_t x, int32_t y);
    // How much of a line's width is uncovered `t` ms after the line began.
    int32_t typedWidth(int32_t t, int32_t width) const;
    // Copies the full image's alpha over the rectangle into the shown image.
    void uncover(int32_t x, int32_t y, int32_t width, int32_t height);

    int32_t elapsed = 0;
    int32_t delay = 700;
    int32_t time = 800;
    int32_t start = 0;
    RefHolder<Image> fullImage;
    bool finished = false;
    int32_t range = RANGE_INSIDE;
    bool hovered = false;
};
