#pragma once

#include <cstdint>

// Calendar time in UTC.
struct UtcTime {
    int year = 1970;
    int month = 1;      // 1-12
    int day = 1;        // 1-31
    int dayOfWeek = 4;  // 0 Sunday
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

// Every source of time the game reads. The millisecond clocks are 32-bit and wrap after about
// 49.7 days; callers measure intervals by unsigned subtraction, which survives the wrap.
class Clock {
public:
    virtual ~Clock() = default;

    // Millisecond clock used for frame timing.
    virtual uint32_t milliseconds() = 0;
    // Milliseconds since the system started, for seeds and session lengths.
    virtual uint32_t tickCount() = 0;
    virtual void sleep(uint32_t milliseconds) = 0;
    // Seconds since 1970-01-01 UTC.
    virtual int64_t unixSeconds() = 0;
    virtual UtcTime utcTime() = 0;
};

// Converts seconds since 1970 (plus a millisecond part) to calendar time in UTC.
UtcTime utcTimeFromUnix(int64_t seconds, int millisecond = 0);
