#include "framework/platform/TimedTaskManager.h"

#include <algorithm>

#include "framework/core/ProcessInstance.h"
#include "framework/os/Clock.h"

QUOVEL_DEFINE_TYPE(TimedTaskManager, &TaskManager::typeRecord)

namespace {
constinit ProcessInstance<TimedTaskManager> instance;
}

TimedTaskManager::TimedTaskManager(Clock& clock) : clock(clock) {
    now = last = clock.milliseconds();
}

TimedTaskManager* TimedTaskManager::createInstance(Clock& clock) {
    return instance.create([&clock] { return new TimedTaskManager(clock); });
}

TimedTaskManager* TimedTaskManager::getInstance() {
    return instance.get();
}

void TimedTaskManager::releaseInstance() {
    instance.release();
}

void TimedTaskManager::setFrameRate(int32_t newRate) {
    rate = std::clamp(newRate, 0, MAX_RATE);
    period = rate == 0 ? 0 : 1000 / rate;
    now = last = clock.milliseconds();
}

void TimedTaskManager::tick() {
    now = clock.milliseconds();
    uint32_t elapsed = now - last;  // unsigned: survives the clock's wrap
    if (elapsed < static_cast<uint32_t>(period)) {
        clock.sleep(static_cast<uint32_t>(period) - elapsed);
        now = clock.milliseconds();
        elapsed = now - last;
    }
    elapsed = std::min(elapsed, MAX_ELAPSED_MS);
    update(static_cast<int32_t>(elapsed));
    last = now;
}
