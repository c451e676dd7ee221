#pragma once

#include <cstdint>

#include "framework/platform/TaskManager.h"

class Clock;

// The main loop's task manager: paces frames to a fixed rate, sleeping away what is left of
// each period, and hands its tasks the elapsed time capped at 100 ms so that a long stall
// advances animations by at most that much.
class TimedTaskManager : public TaskManager {
    QUOVEL_TYPE(TimedTaskManager)
public:
    static constexpr int32_t MAX_RATE = 1000;
    static constexpr uint32_t MAX_ELAPSED_MS = 100;

    // The clock must outlive the manager.
    explicit TimedTaskManager(Clock& clock);

    // The one instance of the program; made at start-up, released at shut-down.
    static TimedTaskManager* createInstance(Clock& clock);
    static TimedTaskManager* getInstance();
    static void releaseInstance();

    // At most 1000 frames per second; 0 gives a period of 0 (no sleeping).
    void setFrameRate(int32_t newRate);
    int32_t getFrameRate() const { return rate; }
    int32_t getPeriod() const { return period; }

    // One frame.
    void tick();

private:
    Clock& clock;
    int32_t rate = 50;
    uint32_t now = 0;
    uint32_t last = 0;
    int32_t period = 20;
};
