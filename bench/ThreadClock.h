#pragma once

#include <ctime>

// The calling thread's processor time in milliseconds: unlike the process clock it counts no
// other thread, and unlike a wall clock no time the thread spent waiting for a core.
inline double threadCpuMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return 1000.0 * static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e6;
}
