#pragma once

#include <string>

#include "framework/core/Hook.h"

class MessageBox;

// How the running game reaches the scene manager, which lives above the rules: going back to a
// room, and whether the game screen is the one shown. The application installs both. Without
// the first the rules alone, with no scenes, stay where they are; the second must be filled.
// The level builder's error box can be replaced too (tests use a fake).
namespace GameHooks {

// Goes to the scene of that name through the transition of that name.
inline Hook<void(const std::string& sceneName, const std::string& transitionName)> goToScene;
// Whether the current scene, or the target of a running transition, is the game scene.
inline Hook<bool()> isGameSceneShown{
    MustBeFilled{"GameHooks::isGameSceneShown", "installGameListeners"}};

// The box for the level builder's error message; null goes back to the session's own box
// (framework/os createMessageBox). Not owned.
void installMessageBox(MessageBox* box);
// The game's name as the title of its messages, known before any data is read.
inline constexpr const char* GAME_TITLE = "Quovel Mahjong";
// Shows a message through the installed box, else through a box made for the session.
void showMessage(const std::string& title, const std::string& text);
// The displayed text under `key` as a message shows it: each "\n" mark a line break, each "%1"
// `value`.
std::string messageText(const std::string& key, const std::string& value = std::string());

}  // namespace GameHooks
