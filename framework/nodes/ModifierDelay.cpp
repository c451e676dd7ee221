#include "framework/nodes/ModifierDelay.h"

#include <algorithm>

QUOVEL_DEFINE_TYPE(ModifierDelay, &Modifier::typeRecord)

ModifierDelay::ModifierDelay(int32_t ms) : remaining(ms) {
    setFlags(FLAG_BLOCKING);
}

ModifierDelay::ModifierDelay(GameNode* node) : awaited(node) {
    setFlags(FLAG_BLOCKING);
}

void ModifierDelay::update(int32_t elapsedMs) {
    if (awaited) {
        if (awaited->getRunningModifiers().empty()) {
            finish();
        }
        return;
    }
    remaining = static_cast<int32_t>(
        std::max<int64_t>(static_cast<int64_t>(remaining) - elapsedMs, INT32_MIN));
    if (remaining < 1) {
        finish();
    }
}
