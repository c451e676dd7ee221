#include "game/dialogs/DialogRoomMenu.h"

#include "framework/core/ObjectFactoryContainer.h"
#include "framework/platform/ResourceManager.h"
#include "framework/scene/Scene.h"
#include "framework/scene/SceneManager.h"

QUOVEL_DEFINE_TYPE(DialogRoomMenu, &DialogQuovelMahjong::typeRecord)
QUOVEL_REGISTER_CLASS(DialogRoomMenu)

DialogRoomMenu::DialogRoomMenu(PropertyNode* definition) : DialogQuovelMahjong(definition) {
    iInputListenerContainer* container = &getComponentsContainer();
    connect("BUTTON_HELP", this, &onHelp, container);
    connect("BUTTON_SETTINGS", this, &onSettings, container);
    connect("BUTTON_LOBBY", this, &onLobby, container);
    connect("BUTTON_RESUME", this, &closeAsOwnTarget, container);
}

DialogRoomMenu::~DialogRoomMenu() = default;

int32_t DialogRoomMenu::onHelp(void*, BaseObject*) {
    openOnTargetScene("DIALOG_HELP");
    return 0;
}

int32_t DialogRoomMenu::onSettings(void*, BaseObject*) {
    openOnTargetScene("DIALOG_SETTINGS");
    return 0;
}

int32_t DialogRoomMenu::onLobby(void* target, BaseObject*) {
    auto* menu = static_cast<DialogRoomMenu*>(target);
    Scene* scene = targetScene();
    if (scene && scene->isDialogOpen(menu->getName()) && scene->findDialog(menu->getName()) == menu) {
        // The registration may hold the menu's last reference.
        RefHolder<DialogRoomMenu> keep = menu;
        scene->closeDialog(menu);
        scene->dropDialog(menu->getName());
    }
    if (ResourceManager* resources = ResourceManager::getInstance()) {
        resources->clearQueue();
    }
    SceneManager* manager = SceneManager::getInstance();
    if (manager) {
        manager->setTransition("TRANSITION_DEFAULT");
    }
    if (ResourceManager* resources = ResourceManager::getInstance()) {
        resources->requestSectionLoad("lobby");
    }
    if (manager) {
        manager->requestScene(manager->getScene("SCENE_LOBBY"));
    }
    return 0;
}
