#pragma once

#include <cstdint>
#include <string>

#include "framework/core/RefHolder.h"
#include "game/dialogs/DialogQuovelMahjong.h"

class Label;
class Modifier;
class ModifierContainer;
class Sound;
class Sprite;

// The dialog that closes every level, won or lost ("DIALOG_LEVEL_END"): it names the room the
// level belonged to, counts the score and the time up from zero with a tick, sets them against
// the player's best of that room as it stood before the level and celebrates a broken record.
// A click skips the count; continue fades it out and hands over to the trophy cabinet when a
// trophy is new, else to the continuation the game screen stored in it.
class DialogLevelEnd : public DialogQuovelMahjong {
    QUOVEL_TYPE(DialogLevelEnd)
public:
    // Reads the level that has just ended: the room text, the labels of its room kind, and the
    // time-up look when the game was not won.
    explicit DialogLevelEnd(PropertyNode* definition);
    ~DialogLevelEnd() override;

    // The intro: header pop-in, fade-in, then the stepped counts and the record effects.
    void show() override;
    // A click while the intro runs skips to its end; otherwise it is not consumed.
    bool onLeftButtonDown(int32_t x, int32_t y, int32_t buttons, bool doubleClick) override;

    // Fills the best score and best time of the current level's room before the level is
    // recorded; only the value that the room kind shows is written.
    static void lookupBest();
    static int32_t getBestScore() { return levelEndBestScore; }
    static int32_t getBestTime() { return levelEndBestTime; }

    // The four value labels on the anchor's line: time and record time when timeOnly, else
    // score and record score; the box's row divider hidden.
    void placeAnchor(bool timeOnly);
    void setTimeUp(bool value);
    bool isTimeUp() const { return timeUp; }
    // The time beats the record (or there is none yet); never after a lost floor or rec room
    // level.
    bool isNewTimeRecord() const;
    // The score reaches the record (an equal score counts); never after a lost floor or rec
    // room level.
    bool isNewScoreRecord() const;
    bool isIntroRunning() const { return introSequence.get() != nullptr; }

    int32_t onContinue(BaseObject* sender);
    // The continuation handed to the trophy cabinet: the stored continuation, unless the game
    // screen has gone on to a room's info.
    int32_t isRoomInfoState(BaseObject* sender);
    // The game screen already introduces the next level: the continuation has run.
    static bool nextLevelIntroduced();

    Sprite* getHeader() const { return header; }
    Label* getSub() const { return sub; }
    Label* getScoreLabel() const { return score; }
    Label* getBestScoreLabel() const { return bestScore; }
    Label* getTimeLabel() const { return time; }
    Label* getBestTimeLabel() const { return bestTime; }

private:
    // The shown texts.
    static std::wstring scoreText(const char* statKey, int32_t value);
    static std::wstring timeText(const char* statKey, int32_t ms);
    // "-" for a best time of 0.
    static std::wstring bestTimeText(int32_t ms);

    // The whole dialog drawn as one picture, its widgets deaf.
    void bufferForFade();
    int32_t endBuffering(BaseObject* sender);
    int32_t endIntro(BaseObject* sender);
    void stampOpaqueParts(bool withHeader);
    void callContinuation();

    // Intro steps; each returns the step that what follows is chained behind.
    Modifier* addScorePart(Modifier* after, Sound* tick);
    Modifier* addTimePart(Modifier* after, Sound* tick);
    Modifier* addCelebration(Modifier* after, Label* label);

    bool timeUp = false;
    // Widgets of the definition, held by its tree.
    Sprite* header = nullptr;
    Label* sub = nullptr;
    Label* score = nullptr;
    Label* bestScore = nullptr;
    Label* time = nullptr;
    Label* bestTime = nullptr;
    RefHolder<ModifierContainer> introSequence;
    bool continued = false;

    // The room's best before the level, kept between levels.
    static int32_t levelEndBestScore;
    static int32_t levelEndBestTime;
};
