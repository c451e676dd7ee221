#include "game/rules/GameHooks.h"

#include "framework/os/MessageBox.h"

namespace GameHooks {

namespace {
SetTransitionFunction setTransitionHook = nullptr;
RequestSceneFunction requestSceneHook = nullptr;
GameSceneShownFunction gameSceneShownHook = nullptr;
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

void installScenes(SetTransitionFunction setTransition, RequestSceneFunction requestScene) {
    setTransitionHook = setTransition;
    requestSceneHook = requestScene;
}

void installGameSceneShown(GameSceneShownFunction gameSceneShown) {
    gameSceneShownHook = gameSceneShown;
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

bool isGameSceneShown() {
    return gameSceneShownHook != nullptr && gameSceneShownHook();
}

}  // namespace GameHooks
