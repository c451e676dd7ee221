#include "framework/nodes/ModifierAppearance.h"

#include <algorithm>
#include <numeric>

#include "framework/core/NumberClamp.h"
#include "framework/nodes/Sprite.h"

QUOVEL_DEFINE_TYPE(ModifierScale, &Modifier::typeRecord)
QUOVEL_DEFINE_TYPE(ModifierRotation, &Modifier::typeRecord)
QUOVEL_DEFINE_TYPE(ModifierRotationScale, &Modifier::typeRecord)
QUOVEL_DEFINE_TYPE(ModifierStretch, &Modifier::typeRecord)
QUOVEL_DEFINE_TYPE(ModifierAlpha, &Modifier::typeRecord)
QUOVEL_DEFINE_TYPE(ModifierClipRect, &Modifier::typeRecord)
QUOVEL_DEFINE_TYPE(ModifierBlink, &Modifier::typeRecord)
QUOVEL_DEFINE_TYPE(ModifierVisible, &Modifier::typeRecord)

namespace {

constexpr float FULL_TURN = 6.2831855f;

// from + (to - from) * t, in double so that int32 ends do not overflow.
double lerp(double from, double to, double t) {
    return from + (to - from) * t;
}

int32_t addElapsed(int32_t elapsed, int32_t elapsedMs) {
    return static_cast<int32_t>(
        std::clamp<int64_t>(int64_t{elapsed} + elapsedMs, INT32_MIN, INT32_MAX));
}

}  // namespace

ModifierScale::ModifierScale(float from, float to, int32_t duration)
    : ModifierFraction(duration), from(from), to(to) {}

void ModifierScale::update(int32_t elapsedMs) {
    step(elapsedMs);
    if (Sprite* sprite = objectCast<Sprite>(getTarget())) {
        sprite->setScale(static_cast<float>(lerp(from, to, getFraction())));
    }
}

ModifierRotation::ModifierRotation(float startAngle, float endAngle, int32_t duration)
    : startAngle(startAngle), endAngle(endAngle), duration(duration) {}

void ModifierRotation::update(int32_t elapsedMs) {
    Sprite* sprite = objectCast<Sprite>(getTarget());
    // Without time to divide by, the turn is over at once (0/0 would give a NaN angle).
    if (done || duration <= 0) {
        if (sprite) {
            sprite->setRotation(endAngle);
        }
        finish();
        return;
    }
    const double t = static_cast<double>(elapsed) / duration;
    double angle;
    if (spin) {
        angle = startAngle + t * FULL_TURN;
    } else if (smooth) {
        angle = lerp(startAngle, endAngle, (3.0 - 2.0 * t) * t * t);
    } else {
        angle = lerp(startAngle, endAngle, t);
    }
    if (sprite) {
        sprite->setRotation(static_cast<float>(angle));
    }
    elapsed += elapsedMs;
    if (!spin && elapsed >= duration) {
        done = true;
        elapsed = duration;
    }
}

ModifierRotationScale::ModifierRotationScale(float startAngle, float endAngle, float startScale,
                                             float endScale, int32_t duration)
    : startAngle(startAngle),
      endAngle(endAngle),
      startScale(startScale),
      endScale(endScale),
      duration(duration) {}

void ModifierRotationScale::end(Sprite* sprite) {
    finish();
    if (sprite) {
        sprite->setScale(endScale);
        sprite->setRotation(endAngle);
    }
}

void ModifierRotationScale::update(int32_t elapsedMs) {
    Sprite* sprite = objectCast<Sprite>(getTarget());
    if (done || duration <= 0) {
        end(sprite);
        return;
    }
    double t = static_cast<double>(elapsed) / duration;
    if (smooth) {
        t = (3.0 - 2.0 * t) * t * t;
    }
    if (sprite) {
        if (applyScale) {
            sprite->setScale(static_cast<float>(lerp(startScale, endScale, t)));
        }
        sprite->setRotation(static_cast<float>(lerp(startAngle, endAngle, t)));
    }
    elapsed = addElapsed(elapsed, elapsedMs);
    if (elapsed >= duration) {
        done = true;
        elapsed = duration;
    }
}

ModifierStretch::ModifierStretch(int32_t duration, int32_t startWidth, int32_t startHeight,
                                 int32_t endWidth, int32_t endHeight)
    : ModifierFraction(duration),
      startWidth(startWidth),
      startHeight(startHeight),
      endWidth(endWidth),
      endHeight(endHeight) {}

void ModifierStretch::update(int32_t elapsedMs) {
    step(elapsedMs);
    Sprite* sprite = objectCast<Sprite>(getTarget());
    if (!sprite) {
        return;
    }
    const float fraction = getFraction();
    if (stretchWidth) {
        sprite->setStretchWidth(
            roundToInt32(static_cast<float>(lerp(startWidth, endWidth, fraction))));
    }
    if (stretchHeight) {
        sprite->setStretchHeight(
            roundToInt32(static_cast<float>(lerp(startHeight, endHeight, fraction))));
    }
}

ModifierAlpha::ModifierAlpha(int32_t duration, int32_t from, int32_t to)
    : ModifierFraction(duration), from(from), to(to) {}

void ModifierAlpha::update(int32_t elapsedMs) {
    step(elapsedMs);
    if (Sprite* sprite = objectCast<Sprite>(getTarget())) {
        sprite->setAlpha(truncToInt32(static_cast<float>(lerp(from, to, getFraction()))));
    }
}

ModifierClipRect::ModifierClipRect(int32_t duration, const Rect& start, const Rect& end)
    : ModifierFraction(duration), start(start), end(end) {}

void ModifierClipRect::update(int32_t elapsedMs) {
    step(elapsedMs);
    Sprite* sprite = objectCast<Sprite>(getTarget());
    if (!sprite) {
        return;
    }
    const float fraction = getFraction();
    const auto value = [fraction](int32_t from, int32_t to) {
        return roundToInt32(static_cast<float>(lerp(from, to, fraction)));
    };
    sprite->setClipRect(Rect{value(start.x, end.x), value(start.y, end.y), value(start.w, end.w),
                             value(start.h, end.h)});
}

ModifierBlink::ModifierBlink(int32_t alphaA, int32_t alphaB, int32_t fadeToB, int32_t holdAtB,
                             int32_t fadeToA, int32_t holdAtA, int32_t cycles)
    : alphaA(alphaA),
      alphaB(alphaB),
      fadeToB(std::max(fadeToB, 0)),
      holdAtB(std::max(holdAtB, 0)),
      fadeToA(std::max(fadeToA, 0)),
      holdAtA(std::max(holdAtA, 0)),
      cycles(cycles) {}

void ModifierBlink::addSprite(Sprite* sprite) {
    if (sprite) {
        sprites.emplace_back(sprite);
    }
}

int32_t ModifierBlink::phaseLength(int32_t index) const {
    switch (index) {
        case 0:
            return holdAtA;
        case 1:
            return fadeToB;
        case 2:
            return holdAtB;
        default:
            return fadeToA;
    }
}

void ModifierBlink::setHoldTimes(int32_t atB, int32_t atA) {
    holdAtB = std::max(atB, 0);
    holdAtA = std::max(atA, 0);
}

void ModifierBlink::apply(int32_t value) {
    if (sprites.empty()) {
        if (Sprite* sprite = objectCast<Sprite>(getTarget())) {
            sprite->setAlpha(value);
        }
        return;
    }
    for (const RefHolder<Sprite>& sprite : sprites) {
        sprite->setAlpha(value);
    }
}

void ModifierBlink::update(int32_t elapsedMs) {
    const int64_t cycleLength = int64_t{holdAtA} + fadeToB + holdAtB + fadeToA;
    if (cycleLength == 0) {
        // No phase would ever use up time.
        apply(alphaA);
        finish();
        return;
    }
    if (accumulated > 2 * cycleLength) {
        // Whole cycles are skipped rather than walked phase by phase.
        const int64_t skipped = accumulated / cycleLength - 1;
        accumulated -= skipped * cycleLength;
        counter = static_cast<int32_t>(std::min<int64_t>(counter + skipped, INT32_MAX));
    }
    while (accumulated >= length) {
        accumulated -= length;
        phase = (phase + 1) % 4;
        length = phaseLength(phase);
        if (phase == 0 && counter < INT32_MAX) {
            ++counter;
        }
    }
    int64_t value = alphaA;
    if (cycles < 1 || counter < cycles) {
        if (phase == 1) {
            value = alphaA + (int64_t{alphaB} - alphaA) * accumulated / length;
        } else if (phase == 2) {
            value = alphaB;
        } else if (phase == 3) {
            value = alphaB + (int64_t{alphaA} - alphaB) * accumulated / length;
        }
    } else {
        finish();
    }
    apply(static_cast<int32_t>(value));
    accumulated += std::max(elapsedMs, 0);
}

ModifierVisible::ModifierVisible(int32_t mode) : mode(mode) {}

void ModifierVisible::update(int32_t) {
    finish();
    GameNode* node = getTarget();
    if (!node) {
        return;
    }
    if (mode == MODE_HIDE) {
        node->setVisible(false);
    } else if (mode == MODE_SHOW) {
        node->setVisible(true);
    } else {
        node->setVisible(!node->isVisible());
    }
}
