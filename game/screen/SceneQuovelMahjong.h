#pragma once

#include <cstdint>

#include "framework/scene/Scene.h"

class AbstractPlayer;
class Sprite;

// The base of the game's own scenes (all but the splash): the player list is saved whenever one
// of them is shown, a request to quit is answered with the quit question, and the rooms that
// keep a saved game offer to continue it on entry.
class SceneQuovelMahjong : public Scene {
    QUOVEL_TYPE(SceneQuovelMahjong)
public:
    // Key of the saved-game question in the scene's dialog table.
    static constexpr const char* SAVED_GAME_QUESTION_KEY = "CTEXT_START_RECENT_SAVEGAME";
    // Key of the quit question in the scene's dialog table.
    static constexpr const char* QUIT_QUESTION_KEY = "CTEXT_QUESTION_QUIT";

    explicit SceneQuovelMahjong(PropertyNode* definition);
    ~SceneQuovelMahjong() override;

    // Saves the player list, then shows the scene.
    void show() override;
    // Closes the saved-game question, then hides the scene; a quit question open as the scene
    // is left for another is asked again there.
    void hide() override;
    // The quit question.
    void onQuitRequest() override;

    // The building's music, faded in over whatever plays.
    static void playBuildingMusic();

    // Whether the player has a saved game under that room number.
    static bool hasSavedGame(AbstractPlayer* player, int32_t number);
    // On entry from the elevator or the lobby, asks whether to continue the current player's
    // saved game of that room number (1 casino, 2 rec room, 3 roof), when there is one. One
    // whose save failed is written first; failing again, it is told again and offered from
    // memory.
    static void askContinueSavedGame(int32_t number, SceneQuovelMahjong* scene);
    // The rooms' elevator button: to the elevator through the default transition.
    static int32_t goToElevator(BaseObject* sender);
    // Three sweeps of light over the button, half a second apart, through the mask of that
    // section; whatever ran on the button before is dropped.
    static void shineButton(Sprite* button, const char* maskKey, const char* maskSection);
    // The question's "yes": the saved game (the one offered from memory, else the file)
    // becomes the current game and the game screen follows.
    int32_t startRecentSavedGame(BaseObject* sender);

protected:
    // A saved game of this room has just become the current game.
    virtual void savedGameContinued() {}

private:
    // Closes the saved-game question when it is there and forgets it.
    void closeSavedGameQuestion();
};
