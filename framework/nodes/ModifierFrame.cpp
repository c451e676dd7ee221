#include "framework/nodes/ModifierFrame.h"

#include <algorithm>

#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PropertyNode.h"
#include "framework/core/PropertyValue.h"
#include "framework/nodes/Sprite.h"

QUOVEL_DEFINE_TYPE(ModifierFrame, &Modifier::typeRecord)
QUOVEL_REGISTER_CLASS(ModifierFrame)

namespace {

// How many advances bring an endless strip back to the same frame and direction.
int64_t framePeriod(const Sprite* sprite) {
    const int64_t count = sprite->getFrameCount();
    if (sprite->getFrameWrapStyle() == Sprite::WRAP_SWITCH) {
        return std::max<int64_t>(2 * (count - 1), 1);
    }
    return std::max<int64_t>(count, 1);
}

}  // namespace

ModifierFrame::ModifierFrame(int32_t loopCount, int32_t frameTime)
    // A frame time of 0 would never use up the gathered time.
    : loopCount(loopCount), frameTime(std::max(frameTime, 1)) {}

ModifierFrame::ModifierFrame(PropertyNode* definition) : ModifierFrame() {
    PropertyNode* node = nodeOrDummy(definition);
    if (AbstractProperty* value = node->getChild("loopcount")) {
        loopCount = value->getInt();
    }
    if (AbstractProperty* value = node->getChild("frametime")) {
        frameTime = std::max(value->getInt(), 1);
    }
}

void ModifierFrame::update(int32_t elapsedMs) {
    Sprite* sprite = objectCast<Sprite>(getTarget());
    if (!sprite) {
        finish();
        return;
    }
    if (accumulated < frameTime) {
        accumulated += elapsedMs;
        return;
    }
    const bool once = sprite->getFrameWrapStyle() == Sprite::WRAP_ONCE;
    if (loopCount < 0 && !once) {
        // An endless strip repeats itself: whole periods of advances are skipped, so that a
        // long frame does not cost one step per frame time.
        const int64_t period = framePeriod(sprite);
        const int64_t periods = accumulated / frameTime / period;
        if (periods > 1) {
            accumulated -= (periods - 1) * period * frameTime;
        }
    }
    while (accumulated >= frameTime) {
        if (isFinished()) {
            accumulated += elapsedMs;
            return;
        }
        if ((loopCount == 0 || sprite->getFrameWrapStyle() == Sprite::WRAP_ONCE) && atCycleEnd) {
            finish();
            continue;
        }
        accumulated -= frameTime;
        sprite->nextFrame();
        if (loopCount < 0 && sprite->getFrameWrapStyle() != Sprite::WRAP_ONCE) {
            continue;
        }
        const int32_t frame = sprite->getFrame();
        atCycleEnd = (!sprite->isReversed() && frame == sprite->getFrameCount() - 1) ||
                     (sprite->isReversed() && frame == 0);
        if (atCycleEnd && loopCount != 0) {
            --loopCount;
        }
    }
    accumulated += elapsedMs;
}
