#pragma once

#include <cstdint>
#include <vector>

#include "framework/core/Rect.h"
#include "framework/core/RefHolder.h"
#include "framework/nodes/ModifierFraction.h"

class Sprite;

// The modifiers that change how a sprite looks: scale, rotation, stretch size, alpha, clip
// rectangle, blinking, and (for any node) visibility. Those that set sprite properties do
// nothing to a target that is not a sprite, but still run their time.

// Scales the target from one factor to another over the duration.
class ModifierScale : public ModifierFraction {
    QUOVEL_TYPE(ModifierScale)
public:
    ModifierScale(float from, float to, int32_t duration);

    void update(int32_t elapsedMs) override;

private:
    float from;
    float to;
};

// Turns the target from a start angle to an end angle (radians), linearly or eased; with spin
// it turns from the start angle one full turn per duration, for ever. A duration of 0 or less
// sets the end angle and finishes at once (spinning included).
class ModifierRotation : public Modifier {
    QUOVEL_TYPE(ModifierRotation)
public:
    ModifierRotation(float startAngle, float endAngle, int32_t duration);

    // Sets the angle for the time elapsed so far, then counts the new time; it finishes with
    // the end angle in the update after the duration has passed.
    void update(int32_t elapsedMs) override;

    void setSmooth(bool value) { smooth = value; }
    void setSpin(bool value) { spin = value; }

private:
    float startAngle;
    float endAngle;
    int32_t duration;
    int64_t elapsed = 0;
    bool smooth = false;
    bool spin = false;
    bool done = false;
};

// Turns and scales the target together. A duration of 0 or less sets the end values and
// finishes at once.
class ModifierRotationScale : public Modifier {
    QUOVEL_TYPE(ModifierRotationScale)
public:
    ModifierRotationScale(float startAngle, float endAngle, float startScale, float endScale,
                          int32_t duration);

    // Like ModifierRotation: the end values come in the update after the duration has passed.
    void update(int32_t elapsedMs) override;

    void setApplyScale(bool value) { applyScale = value; }
    void setSmooth(bool value) { smooth = value; }

private:
    // Sets the end scale and angle and finishes.
    void end(Sprite* sprite);

    float startAngle;
    float endAngle;
    float startScale;
    float endScale;
    int32_t duration;
    int32_t elapsed = 0;
    bool applyScale = true;
    bool smooth = false;
    bool done = false;
};

// Stretches the target from one size to another: its stretch rectangle's width and height,
// each when its flag is set.
class ModifierStretch : public ModifierFraction {
    QUOVEL_TYPE(ModifierStretch)
public:
    ModifierStretch(int32_t duration, int32_t startWidth, int32_t startHeight, int32_t endWidth,
                    int32_t endHeight);

    void update(int32_t elapsedMs) override;

    void setStretchWidth(bool value) { stretchWidth = value; }
    void setStretchHeight(bool value) { stretchHeight = value; }

private:
    int32_t startWidth;
    int32_t startHeight;
    int32_t endWidth;
    int32_t endHeight;
    bool stretchWidth = true;
    bool stretchHeight = true;
};

// Fades the target's alpha from one value to another.
class ModifierAlpha : public ModifierFraction {
    QUOVEL_TYPE(ModifierAlpha)
public:
    ModifierAlpha(int32_t duration, int32_t from, int32_t to);

    void update(int32_t elapsedMs) override;

private:
    int32_t from;
    int32_t to;
};

// Moves and resizes the target's clip rectangle from one rectangle to another.
class ModifierClipRect : public ModifierFraction {
    QUOVEL_TYPE(ModifierClipRect)
public:
    ModifierClipRect(int32_t duration, const Rect& start, const Rect& end);

    void update(int32_t elapsedMs) override;

private:
    Rect start;
    Rect end;
};

// Blinks: alpha fades from A to B, holds at B, fades back to A and holds at A, for a number of
// cycles (below 1: for ever), then ends at A. It sets the alpha of every sprite of its own list,
// or of its target when the list is empty. With all four times 0 it sets A and finishes.
class ModifierBlink : public Modifier {
    QUOVEL_TYPE(ModifierBlink)
public:
    ModifierBlink(int32_t alphaA, int32_t alphaB, int32_t fadeToB, int32_t holdAtB, int32_t fadeToA,
                  int32_t holdAtA, int32_t cycles);

    void update(int32_t elapsedMs) override;

    // The list holds a reference to each sprite.
    void addSprite(Sprite* sprite);
    // Changes the hold times while it runs; a hold under way keeps its length.
    void setHoldTimes(int32_t atB, int32_t atA);
    int32_t getCycleCounter() const { return counter; }
    int32_t getPhase() const { return phase; }

private:
    // Length of a phase: 0 hold at A, 1 fade to B, 2 hold at B, 3 fade to A.
    int32_t phaseLength(int32_t index) const;
    void apply(int32_t value);

    int32_t alphaA;
    int32_t alphaB;
    int32_t fadeToB;
    int32_t holdAtB;
    int32_t fadeToA;
    int32_t holdAtA;
    int32_t cycles;
    std::vector<RefHolder<Sprite>> sprites;
    int64_t accumulated = 0;
    int32_t phase = 0;
    int32_t length = 0;
    int32_t counter = 0;
};

// Shows, hides or toggles its target in its first update, and finishes there.
class ModifierVisible : public Modifier {
    QUOVEL_TYPE(ModifierVisible)
public:
    enum Mode : int32_t { MODE_HIDE = 4, MODE_SHOW = 5 };

    // MODE_HIDE, MODE_SHOW, or any other value to toggle.
    explicit ModifierVisible(int32_t mode);

    void update(int32_t elapsedMs) override;

private:
    int32_t mode;
};
