#pragma once

#include <cstdint>

#include "framework/core/BaseObject.h"
#include "framework/core/RefHolder.h"
#include "framework/platform/Image.h"

// One layer of a bitmap font (fill, outline, shadow...): an image holding every glyph in one
// row, each cell enlarged by `padding` pixels on every side, and the color it is drawn in.
class FontLayer : public BaseObject {
    QUOVEL_TYPE(FontLayer)
public:
    // Takes a reference on the image (which may be null: the layer then draws no glyphs).
    FontLayer(int32_t padding, uint32_t color, Image* image);
    ~FontLayer() override;

    int32_t getPadding() const { return padding; }
    uint32_t getColor() const { return color; }
    Image* getImage() const { return image.get(); }

private:
    int32_t padding;
    uint32_t color;
    RefHolder<Image> image;
};
