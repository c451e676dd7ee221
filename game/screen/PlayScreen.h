#pragma once

#include <cstdint>

#include "framework/core/Interface.h"
#include "game/rules/RoomKind.h"

class BoardInput;
class BoardScreen;
class BonusBar;
class DisplayValue;
class GameHud;
class LayoutRenderer;
class LevelFlow;
class PlayerAids;
class Scene;
class SoundNode;
class TimeBar;
class TrophyNotices;

// The current game's level's room; the floors when there is no level.
RoomKind currentRoomKind();

// What the game screen's parts (the time and bonus bars, the tutorial hints and the level's
// states) ask of the screen they serve. The game scene fills it; a part made from a definition
// finds it through the dialogs' host.
class PlayScreen : public Interface {
    QUOVEL_INTERFACE_TYPE(PlayScreen)
public:
    // Pause states.
    enum Pause : int32_t { RUNNING = 0, HELD = 1, HIDDEN = 2, STOPPED = 3 };

    // The game scene the dialogs hold, or null.
    static PlayScreen* fromHost();

    virtual Scene& getScene() = 0;

    // The parts. The level's flow: the level's start and teardown, the next level and the
    // restart, its current state (null in play), the pause state and the end of a level.
    virtual LevelFlow& getFlow() = 0;
    // Hover, clicks and the selection on the board.
    virtual BoardInput& getInput() = 0;
    // The hint, shuffle, undo, super hint and the stuck question.
    virtual PlayerAids& getAids() = 0;
    // The rules' game screen: the board's marks, its pictures and the floaters.
    virtual BoardScreen& getBoard() = 0;
    virtual GameHud& getHud() = 0;
    virtual TrophyNotices& getTrophies() = 0;

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
    virtual void setBonusBarSuspended(bool value) = 0;
};
