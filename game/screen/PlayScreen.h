#pragma once

#include <cstdint>
#include <vector>

#include "framework/core/Interface.h"
#include "framework/core/RefHolder.h"
#include "game/rules/RoomKind.h"
#include "game/rules/TrophyId.h"

class BoardScreen;
class BonusBar;
class Button;
class DisplayValue;
class Label;
class LayoutRenderer;
class LevelFlow;
class PlayerAids;
class Scene;
class SoundNode;
class Sprite;
class Tile;
class TimeBar;

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
    // The hint, shuffle, undo, super hint and the stuck question.
    virtual PlayerAids& getAids() = 0;
    virtual LayoutRenderer* getRenderer() const = 0;
    virtual TimeBar* getTimeBar() const = 0;
    virtual BonusBar* getBonusBar() const = 0;
    virtual DisplayValue& getTimeValue() = 0;
    // The looping warning of the last seconds; null without the sound.
    virtual SoundNode* getTimeSound() const = 0;

    // The level's flow: its current state (null in play), the pause state and the end of a
    // level.
    virtual LevelFlow& getFlow() = 0;
    virtual bool newLevel(bool quiet) = 0;
    virtual void setSaveMode(int32_t value) = 0;
    virtual void playGameMusic() = 0;

    // The HUD.
    virtual void enableHudButtons() = 0;
    virtual void disableHudButtons() = 0;
    virtual void setBarsSuspended(bool value) = 0;
    virtual void setBonusBarSuspended(bool value) = 0;
    virtual Button* getHintButton() const = 0;
    virtual Label* getScoreLabel() const = 0;
    virtual void updateShufflesLabel() = 0;
    virtual void updateHintsLabel() = 0;
    virtual void updateMatchesText() = 0;
    virtual void awardTrophy(TrophyId id) = 0;

    // The rules' game screen: the board's marks, looks and floaters.
    virtual BoardScreen& getBoard() = 0;

    // The board input's marks and the player's aids.
    virtual void deselectAll() = 0;
    virtual void markHintTile(Tile* tile) = 0;
    virtual void markHintTiles(const std::vector<RefHolder<Tile>>& tiles) = 0;
    virtual void markSuperHintTiles() = 0;
    virtual void startSuperHint(Sprite* icon) = 0;
    virtual int32_t getSuperHintTimeLeft() const = 0;
};
