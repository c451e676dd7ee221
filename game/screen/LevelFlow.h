#pragma once

#include <cstdint>
#include <string>

#include "framework/core/RefHolder.h"
#include "game/rules/GameType.h"
#include "game/screen/GameSceneStates.h"
#include "game/screen/PlayScreen.h"

class BaseObject;
class BoardInput;
class BonusBar;
class GameNode;
class HintTriggers;
class LayoutRenderer;
class SavedGameKeeper;
class TimeBar;

// The level's flow on the game screen: the level's start (board, background, bars) and its
// teardown, the next level and the restart, the current game-scene state (play is its
// absence), the pause state with the pause and menu requests, the frame update, holding the
// game under dialogs and the end of a level. The game scene owns it.
class LevelFlow : public PlayScreen::Flow {
public:
    // What the flow asks of the screen beyond the parts' interface.
    class Screen {
    public:
        // The layer of the level-end pictures; null before the layers are made.
        virtual GameNode* getEndLayer() const = 0;
        // A game dialog is open over the game: no time passes.
        virtual bool isDialogOverGame() const = 0;

        // The level's objects the screen holds: the start makes the board's renderer and the
        // bars, the teardown drops them.
        virtual RefHolder<LayoutRenderer>& rendererHolder() = 0;
        virtual RefHolder<TimeBar>& timeBarHolder() = 0;
        virtual RefHolder<BonusBar>& bonusBarHolder() = 0;
        // The layers the teardown empties; null before the layers are made.
        virtual GameNode* getWidgetLayer() const = 0;

    protected:
        ~Screen() = default;
    };

    // The screen position of the time bar.
    static constexpr int32_t TIME_BAR_X = 709;
    static constexpr int32_t TIME_BAR_Y = 93;

    LevelFlow(PlayScreen& play, Screen& screen, BoardInput& input, HintTriggers& hintTriggers,
              SavedGameKeeper& savedGame);

    // Starts the level the current game holds.
    void startLevel(bool restart);
    void buildBoard();
    void setBackground();
    void setupBars();
    void playGameMusic() override;
    // The background key of the current level for the current player.
    static std::string backgroundKey(GameType gameType, int32_t customBackground);
    // The music key of a game type, empty for none.
    static std::string musicKey(GameType gameType);
    // Counts the start of the level in the player's records.
    void countLevelStart();
    // The next level of a won casino or roof run in place, else back to the room; true when
    // the next level is set. A next layout that cannot be read (no tile) ends the run there:
    // the player is told (unless quiet) and goes back to the room.
    bool newLevel(bool quiet) override;
    void restartLevel() override;
    // Tears the level down: dialogs, board, layers and the game's per-level values.
    void clearLevel();

    // The states.
    void setState(GameSceneState* next) override;
    GameSceneState* getCurrentState() const override { return currentState.get(); }
    void shuffleBoard() override;
    bool isLevelOver() const override;
    int32_t getPauseState() const override { return pauseState; }
    // A new level runs; a torn-down one stops the frame's pausing and the board input.
    void start() { pauseState = PlayScreen::RUNNING; }
    void stop() { pauseState = PlayScreen::STOPPED; }

    // The pause and menu buttons ask; the next frame opens their dialog.
    void requestPause() { pauseRequested = true; }
    void requestMenu() { menuRequested = true; }
    void forgetRequests() { pauseRequested = menuRequested = false; }
    // The buttons' callbacks: the request, with the two buttons on until the dialog opens.
    int32_t onPauseButton(BaseObject* sender);
    int32_t onMenuButton(BaseObject* sender);

    // The frame: the current state's, else the pause requests, the tutorial hints and play.
    void update(int32_t elapsedMs);
    // The play update: clocks, the River's hover path, the super-hint countdown, the time limit.
    void updatePlay(int32_t elapsedMs);
    // Holding the game while a dialog is open over it, and letting it go.
    void pause();
    void resume();

    void endLevel(bool won) override;
    void boardStuck() override;
    void enterGameOver() { endLevel(false); }
    // The stop question's yes.
    static int32_t onGameStopped(BaseObject* sender);
    // The rec room's clock, minutes always two digits ("00:00", "01:15"), so that its width
    // holds from the reset to the first hour.
    static std::wstring clockText(int32_t milliseconds);

private:
    PlayScreen& play;
    Screen& screen;
    BoardInput& input;
    HintTriggers& hintTriggers;
    SavedGameKeeper& savedGame;

    int32_t pauseState = PlayScreen::RUNNING;
    RefHolder<GameSceneState> currentState;
    bool pauseRequested = false;
    bool menuRequested = false;
};
