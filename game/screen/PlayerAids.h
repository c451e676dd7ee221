#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/core/RefHolder.h"

class BaseObject;
class BoardInput;
class Floaters;
class PlayScreen;
class Sprite;
class Tile;

// The game screen's player aids: hint, shuffle and undo with what each room charges for them,
// the bonus bar's super hint and its veiled icon, and the stuck board's question (or, in a timed
// room where a shuffle would help, the shuffle glows). Each aid acts only in play with no dialog
// over the game.
class PlayerAids {
public:
    PlayerAids(PlayScreen& play, BoardInput& input, Floaters& floaters);

    // The buttons' callbacks; the stuck question reuses them.
    int32_t onHint(BaseObject* sender);
    int32_t onShuffle(BaseObject* sender);
    int32_t onUndo(BaseObject* sender);
    // Deals the board again (charging the stock and the counters when `charge`); false when
    // play or the board does not allow it.
    bool performShuffle(bool charge);
    // Pulses the hint's tiles and selects them, so one click completes the match.
    void markHintTiles(const std::vector<RefHolder<Tile>>& tiles);

    // The bonus bar's super hint: every match is tinted while its time runs; the icon, held
    // here, is veiled from the left as the time goes.
    void startSuperHint(Sprite* icon);
    void markSuperHintTiles();
    // The play frame's share: the time runs, the icon warns near the end, and at the end the
    // tints and the icon go.
    void advanceSuperHint(int32_t elapsedMs);
    void dismissSuperHintIcon(bool animated);
    int32_t getSuperHintTimeLeft() const { return superHintTimeLeft; }
    // A level starts with no super hint running.
    void resetSuperHintTime() { superHintTimeLeft = 0; }
    Sprite* getSuperHintIcon() const { return superHintIcon.get(); }
    Sprite* getSuperHintOverlay() const { return superHintOverlay.get(); }

    // The stuck question (or, where a shuffle would help in a timed room, the shuffle glow).
    void showStuckDialog(bool checkShuffle);
    static int32_t onStuckRestart(BaseObject* dialog);
    static int32_t onStuckShuffle(BaseObject* dialog);
    static int32_t onStuckUndo(BaseObject* dialog);
    Sprite* getShuffleGlow() const { return shuffleGlow.get(); }
    Sprite* getMatchesGlow() const { return matchesGlow.get(); }

    // The level is torn down: the icon and the glows go at once, the super hint ends.
    void clear();

private:
    // Aids act only while play runs and no dialog holds the game.
    bool aidsAllowed() const;
    void useHint();
    void useShuffle();
    void squashTimeLabel();
    void updateSuperHintOverlay();
    // The first and second shuffle glows fade and go.
    void removeShuffleGlows();
    void addShuffleGlows();
    // Closes the stuck dialog and runs `action` once it has gone.
    template <int32_t (PlayerAids::*Action)(BaseObject*)>
    static int32_t stuckAction(BaseObject* dialog, int32_t value);
    int32_t runRestart(BaseObject* sender);

    PlayScreen& play;
    BoardInput& input;
    Floaters& floaters;
    int32_t superHintTimeLeft = 0;
    bool superHintEnding = false;
    RefHolder<Sprite> superHintIcon;
    RefHolder<Sprite> superHintOverlay;
    RefHolder<Sprite> shuffleGlow;
    RefHolder<Sprite> matchesGlow;
};
