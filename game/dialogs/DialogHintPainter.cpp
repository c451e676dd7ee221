#include "game/dialogs/DialogHintPainter.h"

#include "framework/core/AbstractProperty.h"
#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PropertyNode.h"
#include "framework/nodes/ResourceLookup.h"
#include "framework/platform/Graphics.h"
#include "framework/platform/Image.h"

QUOVEL_DEFINE_TYPE(DialogHintPainter, &DialogPainter::typeRecord)
QUOVEL_REGISTER_CLASS(DialogHintPainter)

DialogHintPainter::DialogHintPainter(PropertyNode* definition) : DialogPainter(definition) {
    if (AbstractProperty* value = nodeOrDummy(definition)->getChild("corner")) {
        corner = value->getInt();
    }
}

Image* DialogHintPainter::getImage(int32_t index) {
    return DialogPainter::getImage(index == corner ? index + ALTERNATE_OFFSET : index);
}

void DialogHintPainter::paint(Graphics* target) {
    DialogPainter::paint(target);
    Image* surface = target ? target->getImage() : nullptr;
    if (!surface) {
        return;
    }
    RefHolder<Image> footer = findOrLoad<Image>("DORRICK_FOOTER", "default");
    if (footer) {
        const int32_t w = footer->getWidth();
        const int32_t h = footer->getHeight();
        tile(target, footer.get(), {(surface->getWidth() - w) / 2, surface->getHeight() - h, w, h});
    }
    setDirty(false);
}
