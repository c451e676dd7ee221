#pragma once

// Small helpers shared by the files of the arcade dialog.

#include <cstdint>

#include "framework/core/GameNode.h"
#include "framework/core/Modifier.h"
#include "framework/core/RefHolder.h"
#include "framework/nodes/ModifierAppearance.h"
#include "framework/nodes/ResourceLookup.h"
#include "framework/nodes/Sprite.h"

namespace killerstones {

inline constexpr int32_t FULL_VOLUME = 255;
inline constexpr int32_t PAN_CENTRE = 128;
// The bullets label while no special kind is set.
inline constexpr int32_t DIM_ALPHA = 100;

// The resource, loaded now when its section has not loaded it yet; null when it is missing.
template <class T>
RefHolder<T> takeResource(const char* key, const char* section) {
    return findOrLoad<T>(key, section);
}

// Fades the sprite from its alpha to 0 and removes it.
inline void fadeOutAndGo(Sprite* sprite, int32_t duration) {
    Modifier* fade = new ModifierAlpha(duration, sprite->getAlpha(), 0);
    fade->setFlags(Modifier::FLAG_REMOVE_TARGET);
    GameNode::addModifier(sprite, fade);
}

// Three blinks: down to nothing in 100 ms, back in 100 ms, held 100 ms; the rest waits.
inline void blinkThreeTimes(Sprite* sprite) {
    GameNode::addModifier(sprite, blocking(new ModifierBlink(255, 0, 100, 0, 100, 100, 3)));
}

}  // namespace killerstones
