#pragma once

#include <chrono>
#include <thread>

// Polls `condition` every few milliseconds for up to `limit`: true once it holds, false when the
// time ran out first.
template <class F>
bool waitFor(F condition, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}
