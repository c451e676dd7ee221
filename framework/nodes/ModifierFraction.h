#pragma once

#include <cstdint>

#include "framework/core/Modifier.h"
#include "framework/nodes/iGuiMethod.h"

// Maps progress 0..1 to eased progress.
using EasingFunction = float (*)(float t);

// f(t) = t.
float easeLinear(float t);
// f(t) = (3 - 2t) t t: slow start and end.
float easeSmooth(float t);
// f(t) = t t: slow start.
float easeIn(float t);
// f(t) = 1 - (t - 1)^2: slow end.
float easeOut(float t);
// easeSmooth when `smooth`, else easeLinear.
EasingFunction easingFor(bool smooth);

// The shared part of the timed modifiers: a duration, the time elapsed since the start and the
// progress (fraction, optionally eased). A derived class calls step from its update and reads
// getFraction; the step finishes the modifier when the duration is reached.
class ModifierFraction : public Modifier {
    QUOVEL_TYPE(ModifierFraction)
public:
    explicit ModifierFraction(int32_t duration, EasingFunction easing = nullptr);

    // Finished, with elapsed = duration and fraction 1.
    void finish() override;

    int32_t getDuration() const { return duration; }
    int32_t getElapsed() const { return elapsed; }
    float getFraction() const { return fraction; }
    void setEasing(EasingFunction function) { easing = function; }

protected:
    // Adds the elapsed time; finishes at the duration (a duration of 0 or less at the first
    // step), else sets the fraction elapsed / duration, eased when an easing is set.
    void step(int32_t elapsedMs);

private:
    int32_t duration;
    int32_t elapsed = 0;
    float fraction = 0.0f;
    EasingFunction easing;
};

// A timed modifier that calls back into the game while it runs: once per whole interval that
// has passed (strictly before the elapsed time), or once per update when the interval is below
// 1. The callback gets the modifier as the sender, so it can read the fraction.
class ModifierFractionFunc : public ModifierFraction {
    QUOVEL_TYPE(ModifierFractionFunc)
public:
    ModifierFractionFunc(int32_t duration, const iGuiMethod::Bound& bound, int32_t interval);
    ModifierFractionFunc(int32_t duration, void* context, iGuiMethod::Callback function,
                         int32_t interval);

    void update(int32_t elapsedMs) override;
    // Answers the iGuiMethod type with the callback object.
    void* castTo(const TypeRecord* type) override;

    iGuiMethod& getCallback() { return callback; }
    int32_t getInterval() const { return interval; }

private:
    iGuiMethod callback;
    int32_t interval;
    int32_t accumulated = 0;
};
