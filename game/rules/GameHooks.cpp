#include "game/rules/GameHooks.h"

#include "framework/os/MessageBox.h"

namespace GameHooks {

namespace {
AddCustomEventFunction addCustomEventHook = nullptr;
EndLevelSessionFunction endLevelSessionHook = nullptr;
SetTransitionFunction setTransitionHook = nullptr;
RequestSceneFunction requestSceneHook = nullptr;
MessageBox* messageBoxHook = nullptr;
}  // namespace

void installMessageBox(MessageBox* box) {
    messageBoxHook = box;
}

void showMessage(const std::string& title, const std::string& text) {
    if (messageBoxHook != nullptr) {
        messageBoxHook->show(title, text);
        return;
    }
    createMessageBox(isHeadlessSession())->show(title, text);
}

void installStatistics(AddCustomEventFunction addCustomEvent,
                       EndLevelSessionFunction endLevelSession) {
    addCustomEventHook = addCustomEvent;
    endLevelSessionHook = endLevelSession;
}

void installScenes(SetTransitionFunction setTransition, RequestSceneFunction requestScene) {
    setTransitionHook = setTransition;
    requestSceneHook = requestScene;
}

PropertyNode* addCustomEvent() {
    return addCustomEventHook ? addCustomEventHook() : nullptr;
}

void endLevelSession(Game* game) {
    if (endLevelSessionHook) {
        endLevelSessionHook(game);
    }
}

bool setTransition(const std::string& transitionName) {
    if (!setTransitionHook) {
        return false;
    }
    setTransitionHook(transitionName);
    return true;
}

bool requestScene(const std::string& sceneName) {
    if (!requestSceneHook) {
        return false;
    }
    requestSceneHook(sceneName);
    return true;
}

}  // namespace GameHooks
