#include "framework/os/SystemClock.h"

#include <time.h>

#include <thread>

namespace {

uint32_t wrapMilliseconds(std::chrono::nanoseconds elapsed) {
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count();
    return static_cast<uint32_t>(static_cast<uint64_t>(ms));
}

}  // namespace

SystemClock::SystemClock() : start(std::chrono::steady_clock::now()) {}

uint32_t SystemClock::milliseconds() {
    return wrapMilliseconds(std::chrono::steady_clock::now() - start);
}

uint32_t SystemClock::tickCount() {
    struct timespec now {};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return static_cast<uint32_t>(static_cast<uint64_t>(now.tv_sec) * 1000u +
                                 static_cast<uint64_t>(now.tv_nsec) / 1000000u);
}

void SystemClock::sleep(uint32_t milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

int64_t SystemClock::unixSeconds() {
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

UtcTime SystemClock::utcTime() {
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now).count();
    return utcTimeFromUnix(ms / 1000, static_cast<int>(ms % 1000));
}
