#include "framework/nodes/ModifierFraction.h"

#include <algorithm>

QUOVEL_DEFINE_TYPE(ModifierFraction, &Modifier::typeRecord)
QUOVEL_DEFINE_TYPE(ModifierFractionFunc, &ModifierFraction::typeRecord)

float easeLinear(float t) {
    return t;
}

float easeSmooth(float t) {
    return (3.0f - 2.0f * t) * t * t;
}

float easeIn(float t) {
    return t * t;
}

float easeOut(float t) {
    return 1.0f - (t - 1.0f) * (t - 1.0f);
}

EasingFunction easingFor(bool smooth) {
    return smooth ? &easeSmooth : &easeLinear;
}

ModifierFraction::ModifierFraction(int32_t duration, EasingFunction easing)
    : duration(duration), easing(easing) {}

void ModifierFraction::finish() {
    Modifier::finish();
    elapsed = duration;
    fraction = 1.0f;
}

void ModifierFraction::step(int32_t elapsedMs) {
    // Summed wide: a long duration must not overflow into a negative elapsed time.
    const int64_t sum = static_cast<int64_t>(elapsed) + elapsedMs;
    if (sum >= duration) {
        finish();
        return;
    }
    elapsed = static_cast<int32_t>(std::max<int64_t>(sum, INT32_MIN));
    fraction = static_cast<float>(elapsed) / static_cast<float>(duration);
    if (easing) {
        fraction = easing(fraction);
    }
}

ModifierFractionFunc::ModifierFractionFunc(int32_t duration, const iGuiMethod::Bound& bound,
                                           int32_t interval)
    : ModifierFraction(duration), callback(bound), interval(interval) {}

ModifierFractionFunc::ModifierFractionFunc(int32_t duration, void* context,
                                           iGuiMethod::Callback function, int32_t interval)
    : ModifierFractionFunc(duration, iGuiMethod::Bound{context, function}, interval) {}

void ModifierFractionFunc::update(int32_t elapsedMs) {
    step(elapsedMs);
    if (interval < 1) {
        callback.invoke(this);
        return;
    }
    while (accumulated + interval < getElapsed()) {
        accumulated += interval;
        callback.invoke(this);
    }
}

void* ModifierFractionFunc::castTo(const TypeRecord* type) {
    if (type == &iGuiMethod::typeRecord) {
        return &callback;
    }
    return ModifierFraction::castTo(type);
}
