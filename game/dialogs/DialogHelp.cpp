#include "game/dialogs/DialogHelp.h"

#include <string>

#include "framework/core/ObjectFactoryContainer.h"
#include "framework/gui/Button.h"
#include "framework/nodes/ResourceLookup.h"
#include "framework/nodes/Sprite.h"
#include "framework/platform/Image.h"

QUOVEL_DEFINE_TYPE(DialogHelp, &DialogQuovelMahjong::typeRecord)
QUOVEL_REGISTER_CLASS(DialogHelp)

DialogHelp::DialogHelp(PropertyNode* definition) : DialogQuovelMahjong(definition) {
    pageSprite = objectCast<Sprite>(findChild("BACK"));
    iInputListenerContainer* container = &getComponentsContainer();
    previousButton =
        objectCast<Button>(connect<&DialogHelp::previousPage>("BUTTON_PREV", this, container));
    nextButton = objectCast<Button>(connect<&DialogHelp::nextPage>("BUTTON_NEXT", this, container));
    okButton = objectCast<Button>(
        connect<&DialogQuovelMahjong::closeAsOwnTarget>("BUTTON_OK", this, container));
    showPage();
}

DialogHelp::~DialogHelp() = default;

int32_t DialogHelp::previousPage(BaseObject*) {
    --page;
    showPage();
    return 0;
}

int32_t DialogHelp::nextPage(BaseObject*) {
    ++page;
    showPage();
    return 0;
}

void DialogHelp::showPage() {
    if (pageSprite) {
        RefHolder<Image> picture =
            findOrLoad<Image>("HELP_PAGE" + std::to_string(page + 1), "manual");
        pageSprite->setImage(picture.get());
    }
    if (nextButton) {
        nextButton->setEnabled(page < PAGE_COUNT - 1);
    }
    if (previousButton) {
        previousButton->setEnabled(page > 0);
    }
}
