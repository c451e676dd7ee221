#include "framework/platform/SceneHooks.h"

namespace SceneHooks {

namespace {
CurrentSceneFunction currentSceneHook = nullptr;
QuitRequestFunction quitRequestHook = nullptr;
}  // namespace

void install(CurrentSceneFunction currentScene, QuitRequestFunction quitRequest) {
    currentSceneHook = currentScene;
    quitRequestHook = quitRequest;
}

GameNode* currentScene() {
    return currentSceneHook ? currentSceneHook() : nullptr;
}

bool requestQuit(GameNode* scene) {
    if (!quitRequestHook) {
        return false;
    }
    quitRequestHook(scene);
    return true;
}

}  // namespace SceneHooks
