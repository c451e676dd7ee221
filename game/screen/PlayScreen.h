#pragma once

#include <cstdint>
#include <string>

#include "framework/core/Interface.h"
#include "framework/core/RefHolder.h"
#include "game/rules/RoomKind.h"

class BoardInput;
class BoardScreen;
class BonusBar;
class DisplayValue;
class GameSceneState;
class Image;
class GameHud;
class LayoutRenderer;
class PlayerAids;
class SavedGameKeeper;
class Scene;
class SideBoard;
class SoundNode;
class TimeBar;
class TrophyNotices;

// The current game's level's room; the floors when there is no level.
RoomKind currentRoomKind();
// The current game's side board (its rack or cells); null without one.
SideBoard* currentSideBoard();
// A picture of the game screen's section, loaded now if the section has not loaded it.
RefHolder<Image> gameImage(const std::string& key);

// What the game screen's parts (those the scene owns, the time and bonus bars, the tutorial
// hints and the level's states) ask of the screen they serve. The game scene fills it; a part
// made from a definition finds it through the dialogs' host.
class PlayScreen : public Interface {
    QUOVEL_INTERFACE_TYPE(PlayScreen)
public:
    // Pause states.
    enum Pause : int32_t { RUNNING = 0, HELD = 1, HIDDEN = 2, STOPPED = 3 };

    // The level's flow as the parts see it; the game scene's `LevelFlow` is it.
    class Flow {
    public:
        // The current game-scene state; null in play.
        virtual GameSceneState* getCurrentState() const = 0;
        // Ends the current state (its exit) and makes `next` current (its enter); null leaves
        // play.
        virtual void setState(GameSceneState* next) = 0;
        // Deals the board again, in the shuffle state.
        virtual void shuffleBoard() = 0;
        virtual int32_t getPauseState() const = 0;
        // A lost or won level is ending.
        virtual bool isLevelOver() const = 0;
        // A lost or won level ends: the level-end state after a delay.
        virtual void endLevel(bool won) = 0;
        // A board without a match that cannot go on: the stuck question.
        virtual void boardStuck() = 0;
        // The next level of a won casino or roof run in place, else back to the room; true when
        // the next level is set.
        virtual bool newLevel(bool quiet) = 0;
        virtual void restartLevel() = 0;
        virtual void playGameMusic() = 0;

    protected:
        ~Flow() = default;
    };

    // The game scene the dialogs hold, or null.
    static PlayScreen* fromHost();

    virtual Scene& getScene() = 0;

    // The parts.
    virtual Flow& getFlow() = 0;
    // Hover, clicks and the selection on the board.
    virtual BoardInput& getInput() = 0;
    // The hint, shuffle, undo, super hint and the stuck question.
    virtual PlayerAids& getAids() = 0;
    // The rules' game screen: the board's marks, its pictures and the floaters.
    virtual BoardScreen& getBoard() = 0;
    virtual GameHud& getHud() = 0;
    virtual TrophyNotices& getTrophies() = 0;
    // The saved game of the level's room, and those whose write failed.
    virtual SavedGameKeeper& getSavedGame() = 0;

    // What the parts share: the board's renderer, the bars and the level's time, the time
    // sound and the saved game's mode.
    virtual LayoutRenderer* getRenderer() const = 0;
    virtual TimeBar* getTimeBar() const = 0;
    virtual BonusBar* getBonusBar() const = 0;
    virtual DisplayValue& getTimeValue() = 0;
    // The looping warning of the last seconds; null without the sound.
    virtual SoundNode* getTimeSound() const = 0;
    virtual void setSaveMode(int32_t value) = 0;
    virtual void setBarsSuspended(bool value) = 0;
    virtual void showBars(bool shown) = 0;
    virtual void setBonusBarSuspended(bool value) = 0;
};
