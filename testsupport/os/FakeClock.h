#pragma once

#include <vector>

#include "framework/os/Clock.h"

// A clock for tests: time moves only when the test moves it, or by the sleeps the code asks
// for, and can be set just before the 32-bit wrap.
class FakeClock : public Clock {
public:
    uint32_t milliseconds() override { return now; }
    uint32_t tickCount() override { return now + tickOffset; }
    void sleep(uint32_t ms) override {
        sleeps.push_back(ms);
        now += ms;
    }
    int64_t unixSeconds() override { return unixBase + now / 1000; }
    UtcTime utcTime() override {
        return utcTimeFromUnix(unixSeconds(), static_cast<int>(now % 1000));
    }

    void set(uint32_t ms) { now = ms; }
    void advance(uint32_t ms) { now += ms; }
    void setTickOffset(uint32_t offset) { tickOffset = offset; }
    void setUnixBase(int64_t seconds) { unixBase = seconds; }

    // Every sleep asked for, in order.
    std::vector<uint32_t> sleeps;

private:
    uint32_t now = 0;
    uint32_t tickOffset = 0;
    int64_t unixBase = 0;
};
