#pragma once

#include <chrono>
#include <thread>

// Polls `condition` every `poll` (a few milliseconds unless told) until it holds. It reads no
// clock: a condition that never comes is a hang, which only the CTest entry's TIMEOUT ends (what
// a test started ends with it).
template <class F>
void waitFor(F condition, std::chrono::microseconds poll = std::chrono::milliseconds(5)) {
    while (!condition()) {
        std::this_thread::sleep_for(poll);
    }
}
