#pragma once

#include <string>

class Game;
class MessageBox;
class PropertyNode;

// How the running game reaches services that live above the rules: the statistics collector
// (build events and the level session) and the scene manager (going back to a room). Each is a
// plain function that the owning subsystem installs. Without one the game carries on: no event
// is made, a level session is simply dropped, and no scene changes.
namespace GameHooks {

// A new custom event node already handed to the collector (the caller adds its own values),
// or null when there is no collector.
using AddCustomEventFunction = PropertyNode* (*)();
// Hands the game's open level session to the collector; the game forgets it afterwards.
using EndLevelSessionFunction = void (*)(Game* game);
// Sets the transition of the next scene change.
using SetTransitionFunction = void (*)(const std::string& transitionName);
// Makes the scene of that name the scene manager's requested scene.
using RequestSceneFunction = void (*)(const std::string& sceneName);

// Installs both statistics hooks; null removes one.
void installStatistics(AddCustomEventFunction addCustomEvent,
                       EndLevelSessionFunction endLevelSession);
// Installs both scene hooks; null removes one.
void installScenes(SetTransitionFunction setTransition, RequestSceneFunction requestScene);

// The box for the level builder's error message; null goes back to the session's own box
// (framework/os createMessageBox). Not owned.
void installMessageBox(MessageBox* box);
// Shows a message through the installed box, else through a box made for the session.
void showMessage(const std::string& title, const std::string& text);

// Null without a hook.
PropertyNode* addCustomEvent();
void endLevelSession(Game* game);
// False (nothing done) without a hook.
bool setTransition(const std::string& transitionName);
bool requestScene(const std::string& sceneName);

}  // namespace GameHooks
