#pragma once

#include "framework/core/Hook.h"

class GameNode;

// How the window and the render pass reach the current scene before the scene classes exist:
// the scene manager installs both while it exists. Without them there is no current scene, so
// a window close closes the window at once and the render pass draws no scene background.
namespace SceneHooks {

// The scene being shown, or null.
inline Hook<GameNode*()> currentScene;
// The user asked to quit while `scene` is current (the scene's quit request).
inline Hook<void(GameNode* scene)> quitRequest;

}  // namespace SceneHooks
