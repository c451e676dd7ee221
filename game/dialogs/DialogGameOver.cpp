#include "game/dialogs/DialogGameOver.h"

#include "framework/core/ObjectFactoryContainer.h"
#include "game/screen/PlayScreen.h"

QUOVEL_DEFINE_TYPE(DialogGameOver, &DialogQuovelMahjong::typeRecord)
QUOVEL_REGISTER_CLASS(DialogGameOver)

DialogGameOver::DialogGameOver(PropertyNode* definition) : DialogQuovelMahjong(definition) {
    connect<&DialogGameOver::onContinue>("BUTTON_CONTINUE", this, &getComponentsContainer());
}

DialogGameOver::~DialogGameOver() = default;

int32_t DialogGameOver::onContinue(BaseObject* sender) {
    if (PlayScreen* screen = PlayScreen::fromHost()) {
        screen->getFlow().newLevel(false);
    }
    return closeAsOwnTarget(sender);
}
