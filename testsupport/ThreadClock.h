#pragma once

#include <sys/resource.h>

#include <ctime>

// The calling thread's processor time in milliseconds: unlike the process clock it counts no
// other thread, and unlike a wall clock no time the thread spent waiting for a core.
inline double threadCpuMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return 1000.0 * static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e6;
}

// How often the calling thread gave up its core of its own accord (a sleep, a blocking wait): a
// thread that a busy machine takes the core from counts nothing here.
inline long threadWaits() {
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return usage.ru_nvcsw;
}
