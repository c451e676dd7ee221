#include "framework/os/Clock.h"

#include <time.h>

UtcTime utcTimeFromUnix(int64_t seconds, int millisecond) {
    const time_t time = static_cast<time_t>(seconds);
    struct tm parts {};
    UtcTime utc;
    if (gmtime_r(&time, &parts)) {
        utc.year = parts.tm_year + 1900;
        utc.month = parts.tm_mon + 1;
        utc.day = parts.tm_mday;
        utc.dayOfWeek = parts.tm_wday;
        utc.hour = parts.tm_hour;
        utc.minute = parts.tm_min;
        utc.second = parts.tm_sec;
    }
    utc.millisecond = millisecond;
    return utc;
}
