#include "game/dialogs/DialogMenu.h"

#include "framework/core/ObjectFactoryContainer.h"
#include "framework/scene/Scene.h"
#include "game/dialogs/DialogYesNo.h"
#include "game/rules/Game.h"
#include "game/rules/Level.h"
#include "game/screen/LevelFlow.h"

QUOVEL_DEFINE_TYPE(DialogMenu, &DialogQuovelMahjong::typeRecord)
QUOVEL_REGISTER_CLASS(DialogMenu)

DialogMenu::DialogMenu(PropertyNode* definition) : DialogQuovelMahjong(definition) {
    iInputListenerContainer* container = &getComponentsContainer();
    connect<&DialogMenu::onHelp>("BUTTON_HELP", this, container);
    connect<&DialogMenu::onSettings>("BUTTON_SETTINGS", this, container);
    connect<&DialogMenu::onStop>("BUTTON_STOP", this, container);
    connect<&DialogMenu::onResume>("BUTTON_RESUME", this, container);
    connect<&DialogMenu::onTrophy>("BUTTON_TROPHY", this, container);
}

DialogMenu::~DialogMenu() = default;

int32_t DialogMenu::onHelp(BaseObject*) {
    openOnTargetScene("DIALOG_HELP");
    return 0;
}

int32_t DialogMenu::onSettings(BaseObject*) {
    openOnTargetScene("DIALOG_SETTINGS");
    return 0;
}

int32_t DialogMenu::onTrophy(BaseObject*) {
    openOnTargetScene("DIALOG_TROPHY");
    return 0;
}

const char* DialogMenu::stopQuestionKey(RoomKind roomKind) {
    return roomKind == RoomKind::FLOORS ? "TEXT_MENU_STOP_QUOVEL" : "CTEXT_MENU_STOP";
}

int32_t DialogMenu::onStop(BaseObject*) {
    Scene* screen = targetScene();
    Game* game = Game::current();
    const Level* level = game ? game->getLevel() : nullptr;
    const RoomKind roomKind = level ? level->getGameMode() : RoomKind::FLOORS;
    // "No" only closes the question; the menu stays open under it.
    DialogYesNo* question = DialogYesNo::ask(stopQuestionKey(roomKind), "CTEXT_MENU_STOP_HEADER",
                                             callback<&LevelFlow::onGameStopped>(), {}, screen);
    if (question) {
        screen->openDialog(question);
    }
    return 0;
}

int32_t DialogMenu::onResume(BaseObject* sender) {
    return closeAsOwnTarget(sender);
}
