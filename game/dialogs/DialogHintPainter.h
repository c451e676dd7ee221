#pragma once

#include <cstdint>

#include "framework/gui/DialogPainter.h"

// The frame of the tutorial hint: the nine-piece frame in which one grid position ("corner")
// is drawn with its alternate (the image nine places further on), the arrow that points at
// what the hint is about, and the host's footer centred on the bottom edge. A corner that
// matches no grid position (the default 9) draws the plain frame.
class DialogHintPainter : public DialogPainter {
    QUOVEL_TYPE(DialogHintPainter)
public:
    static constexpr int32_t NO_CORNER = 9;
    static constexpr int32_t ALTERNATE_OFFSET = 9;

    // The frame keys, then "corner".
    explicit DialogHintPainter(PropertyNode* definition);

    void paint(Graphics* target) override;
    // The alternate of the corner's grid position, else the image at the index.
    Image* getImage(int32_t index) override;

    void setCorner(int32_t value) { corner = value; }
    int32_t getCorner() const { return corner; }

private:
    int32_t corner = NO_CORNER;
};
