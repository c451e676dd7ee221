#pragma once

class GameNode;

// How the window and the render pass reach the current scene before the scene classes exist:
// two plain functions that the scene manager installs. Without them there is no current scene,
// so a window close closes the window at once and the render pass draws no scene background.
namespace SceneHooks {

// The scene being shown, or null.
using CurrentSceneFunction = GameNode* (*)();
// The user asked to quit while `scene` is current (the scene's quit request).
using QuitRequestFunction = void (*)(GameNode* scene);

// Installs both hooks; null removes one.
void install(CurrentSceneFunction currentScene, QuitRequestFunction quitRequest);

// Null while no hook is installed or no scene is current.
GameNode* currentScene();
// Hands the request to the installed hook; false when there is none (nothing was done).
bool requestQuit(GameNode* scene);

}  // namespace SceneHooks
