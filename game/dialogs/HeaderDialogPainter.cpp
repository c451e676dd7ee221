#include "game/dialogs/HeaderDialogPainter.h"

#include "framework/core/AbstractProperty.h"
#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PropertyNode.h"
#include "framework/platform/Graphics.h"
#include "framework/platform/Image.h"

QUOVEL_DEFINE_TYPE(HeaderDialogPainter, &DialogPainter::typeRecord)
QUOVEL_REGISTER_CLASS(HeaderDialogPainter)

namespace {

constexpr int32_t FIRST_DECORATION = 9;

}  // namespace

HeaderDialogPainter::HeaderDialogPainter(PropertyNode* definition) : DialogPainter(definition) {
    AbstractProperty* flags = nodeOrDummy(definition)->getChild("enabled");
    if (!flags) {
        return;
    }
    const std::string text = flags->getValue();
    for (size_t k = 0; k < enabled.size() && k < text.size(); ++k) {
        enabled[k] = text[k] != '0';
    }
}

void HeaderDialogPainter::paint(Graphics* target) {
    DialogPainter::paint(target);
    Image* surface = target ? target->getImage() : nullptr;
    if (!surface) {
        return;
    }
    const int32_t width = surface->getWidth();
    const int32_t height = surface->getHeight();
    for (int32_t k = TOP; k <= RIGHT; ++k) {
        Image* piece = getImage(FIRST_DECORATION + k);
        if (!piece || !isEnabled(k)) {
            continue;
        }
        const int32_t w = piece->getWidth();
        const int32_t h = piece->getHeight();
        const int32_t centredX = (width - w) / 2;
        const int32_t centredY = (height - h) / 2;
        const Rect place = k == TOP      ? Rect{centredX, 0, w, h}
                           : k == BOTTOM ? Rect{centredX, height - h, w, h}
                           : k == LEFT   ? Rect{0, centredY, w, h}
                                         : Rect{width - w, centredY, w, h};
        tile(target, piece, place);
    }
    setDirty(false);
}
