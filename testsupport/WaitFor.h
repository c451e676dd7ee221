#pragma once

#include <chrono>
#include <thread>

// Polls `condition` every `poll` (a few milliseconds unless told) for up to `limit`: true once it
// holds, false when the time ran out first.
template <class F>
bool waitFor(F condition, std::chrono::milliseconds limit,
             std::chrono::microseconds poll = std::chrono::milliseconds(5)) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(poll);
    }
    return true;
}
