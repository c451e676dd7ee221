#pragma once

#include "framework/core/BasicProperties.h"
#include "game/rules/TuningConstants.h"

// The token bounds that profiles read (shuffles start at 2 of at most 5, hints at 3 of at most
// 9), stored in the global values, and the tuning constants loaded from them.
inline void setTestTokenBounds() {
    BasicProperties& table = *BasicProperties::instance();
    table.setInteger("MIN_NUM_SHUFFLES", 2);
    table.setInteger("MAX_NUM_SHUFFLES", 5);
    table.setInteger("MIN_NUM_HINTS", 3);
    table.setInteger("MAX_NUM_HINTS", 9);
    loadTuningConstants();
}
