#include "game/dialogs/DialogRoomMenu.h"

#include "framework/core/ObjectFactoryContainer.h"
#include "framework/scene/Scene.h"
#include "framework/scene/SceneManager.h"

QUOVEL_DEFINE_TYPE(DialogRoomMenu, &DialogQuovelMahjong::typeRecord)
QUOVEL_REGISTER_CLASS(DialogRoomMenu)

DialogRoomMenu::DialogRoomMenu(PropertyNode* definition) : DialogQuovelMahjong(definition) {
    iInputListenerContainer* container = &getComponentsContainer();
    connect<&DialogRoomMenu::onHelp>("BUTTON_HELP", this, container);
    connect<&DialogRoomMenu::onSettings>("BUTTON_SETTINGS", this, container);
    connect<&DialogRoomMenu::onLobby>("BUTTON_LOBBY", this, container);
    connect<&DialogQuovelMahjong::closeAsOwnTarget>("BUTTON_RESUME", this, container);
}

DialogRoomMenu::~DialogRoomMenu() = default;

int32_t DialogRoomMenu::onHelp(BaseObject*) {
    openOnTargetScene("DIALOG_HELP");
    return 0;
}

int32_t DialogRoomMenu::onSettings(BaseObject*) {
    openOnTargetScene("DIALOG_SETTINGS");
    return 0;
}

int32_t DialogRoomMenu::onLobby(BaseObject*) {
    Scene* scene = targetScene();
    if (scene && scene->isDialogOpen(getName()) && scene->findDialog(getName()) == this) {
        // The registration may hold the menu's last reference.
        RefHolder<DialogRoomMenu> keep = this;
        scene->closeDialog(this);
        scene->dropDialog(getName());
    }
    if (SceneManager* manager = SceneManager::getInstance()) {
        manager->goToScene("SCENE_LOBBY", "TRANSITION_DEFAULT");
    }
    return 0;
}
