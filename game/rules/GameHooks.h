#pragma once

#include <string>

class MessageBox;

// How the running game reaches the scene manager, which lives above the rules: going back to a
// room, and whether the game screen is the one shown. Each is a plain function that the scene
// manager installs. Without one the game carries on: no scene changes, and the game screen
// never counts as shown. The level builder's error box can be replaced too (tests use a fake).
namespace GameHooks {

// Sets the transition of the next scene change.
using SetTransitionFunction = void (*)(const std::string& transitionName);
// Makes the scene of that name the scene manager's requested scene.
using RequestSceneFunction = void (*)(const std::string& sceneName);
// Whether the current scene, or the target of a running transition, is the game scene.
using GameSceneShownFunction = bool (*)();

// Installs both scene hooks; null removes one.
void installScenes(SetTransitionFunction setTransition, RequestSceneFunction requestScene);
// Installs the game-screen query; null removes it.
void installGameSceneShown(GameSceneShownFunction gameSceneShown);

// The box for the level builder's error message; null goes back to the session's own box
// (framework/os createMessageBox). Not owned.
void installMessageBox(MessageBox* box);
// Shows a message through the installed box, else through a box made for the session.
void showMessage(const std::string& title, const std::string& text);
// The displayed text under `key` as a message shows it: each "\n" mark a line break, each "%1"
// `value`.
std::string messageText(const std::string& key, const std::string& value = std::string());

// False (nothing done) without a hook.
bool setTransition(const std::string& transitionName);
bool requestScene(const std::string& sceneName);
// False without a hook.
bool isGameSceneShown();

}  // namespace GameHooks
