#pragma once

#include <cstdint>

#include "framework/core/GameNode.h"
#include "framework/core/Modifier.h"
#include "framework/core/RefHolder.h"

// A pause in a running list or an animation tree: it waits a number of milliseconds, or until
// a node has no running modifiers left. It is blocking, so in a running list the modifiers
// behind it wait too.
class ModifierDelay : public Modifier {
    QUOVEL_TYPE(ModifierDelay)
public:
    explicit ModifierDelay(int32_t ms);
    // Holds a reference to the awaited node until the delay is freed.
    explicit ModifierDelay(GameNode* node);

    void update(int32_t elapsedMs) override;

    int32_t getRemaining() const { return remaining; }

private:
    int32_t remaining = 0;
    RefHolder<GameNode> awaited;
};
