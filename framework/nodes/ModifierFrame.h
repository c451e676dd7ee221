#pragma once

#include <cstdint>

#include "framework/core/Modifier.h"

class PropertyNode;

// Plays a sprite's frame strip: advances the target's frame (Sprite::nextFrame) once per frame
// time. It runs for the given number of passes over the strip, or for ever with a loop count of
// -1; on a "once" strip it stops on the last frame.
class ModifierFrame : public Modifier {
    QUOVEL_TYPE(ModifierFrame)
public:
    // A frame time below 1 ms counts as 1 ms.
    explicit ModifierFrame(int32_t loopCount = -1, int32_t frameTime = 100);
    // "loopcount" (default -1) and "frametime" (default 100).
    explicit ModifierFrame(PropertyNode* definition);

    // Finishes at once when the target is no sprite.
    void update(int32_t elapsedMs) override;

    int32_t getLoopCount() const { return loopCount; }
    int32_t getFrameTime() const { return frameTime; }

private:
    int32_t loopCount;
    int32_t frameTime;
    // Time gathered toward the next frame.
    int64_t accumulated = 0;
    // The last advance ended a pass over the strip.
    bool atCycleEnd = false;
};
