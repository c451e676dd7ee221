#pragma once

#include <chrono>

#include "framework/os/Clock.h"

// The real clocks of the machine.
class SystemClock : public Clock {
public:
    SystemClock();

    uint32_t milliseconds() override;
    uint32_t tickCount() override;
    void sleep(uint32_t milliseconds) override;
    int64_t unixSeconds() override;
    UtcTime utcTime() override;

private:
    std::chrono::steady_clock::time_point start;
};
