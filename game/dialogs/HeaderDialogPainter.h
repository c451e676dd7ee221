#pragma once

#include <array>

#include "framework/gui/DialogPainter.h"

// The game's dialog frame: the nine-piece frame with up to four decoration pictures (images
// 9 to 12) centred on the top, bottom, left and right edges, such as a header plate on top.
// "enabled" switches decorations off by position: a "0" at character k turns off decoration k.
class HeaderDialogPainter : public DialogPainter {
    QUOVEL_TYPE(HeaderDialogPainter)
public:
    enum Decoration : int32_t { TOP = 0, BOTTOM = 1, LEFT = 2, RIGHT = 3 };

    explicit HeaderDialogPainter(PropertyNode* definition);

    void paint(Graphics* target) override;

    bool isEnabled(int32_t decoration) const { return enabled[static_cast<size_t>(decoration)]; }

private:
    std::array<bool, 4> enabled{true, true, true, true};
};
