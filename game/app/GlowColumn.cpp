#include "game/app/GlowColumn.h"

#include "framework/nodes/Sprite.h"
#include "framework/platform/Graphics.h"
#include "framework/platform/Image.h"

std::vector<int32_t> GlowColumn::fillRows(int32_t from, int32_t to, int32_t fillHeight) {
    std::vector<int32_t> rows;
    if (fillHeight <= 0) {
        return rows;
    }
    const int32_t count = (to - from) / fillHeight;
    for (int32_t k = 0; k < count; ++k) {
        rows.push_back(from + k * fillHeight);
    }
    return rows;
}

RefHolder<Image> GlowColumn::draw(Image* background, Sprite* chosen, int32_t middleOffset,
                                  int32_t buttonOffset, Image* fill) const {
    if (!background || !chosen || !top || !bottom || !middle || !button) {
        return RefHolder<Image>();
    }
    RefHolder<Image> copy(Image::copyImage(background));
    top->setVisible(true);
    bottom->setVisible(true);
    middle->setY(chosen->getY() + (chosen->getHeight() - middle->getHeight()) / 2 + middleOffset);
    middle->setVisible(true);
    button->setY(chosen->getY() + (chosen->getHeight() - button->getHeight()) / 2 + buttonOffset);
    button->setVisible(true);
    if (dialog) {
        dialog->setVisible(true);
    }
    RefHolder<Graphics> graphics(copy ? copy->createGraphics() : nullptr);
    if (!graphics || !fill) {
        return copy;
    }
    const int32_t height = fill->getHeight();
    for (int32_t y : fillRows(top->getY() + top->getHeight(), middle->getY(), height)) {
        graphics->blitWhole(fill, middle->getX(), y);
    }
    for (int32_t y : fillRows(middle->getY() + middle->getHeight(), bottom->getY(), height)) {
        graphics->blitWhole(fill, middle->getX(), y);
    }
    return copy;
}
