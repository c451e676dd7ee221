#pragma once

#include <cstdint>

#include "framework/core/Modifier.h"

// The parallel group of an animation tree: it does nothing itself and is finished from the
// start, so its children all run side by side at once. Nesting containers and modifiers gives
// sequences and groups of any shape.
class ModifierContainer : public Modifier {
    QUOVEL_TYPE(ModifierContainer)
public:
    ModifierContainer();

    void update(int32_t elapsedMs) override;

    // Links the modifier (detached first) as the last child of `container`, which may be any
    // modifier: the modifier starts when the container has finished. The tree takes over the
    // reference the caller holds (a free modifier gets one added), and a modifier with a target
    // is registered with it. Linking a modifier below itself does nothing. Returns the modifier,
    // so that further modifiers can be chained behind it.
    static Modifier* addModifier(Modifier* container, Modifier* modifier);
};

// The root of a scene's animation tree, named "AnimationTree".
class AnimTree : public ModifierContainer {
    QUOVEL_TYPE(AnimTree)
public:
    AnimTree();
};
