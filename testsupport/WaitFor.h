#pragma once

#include <chrono>
#include <cstdlib>
#include <thread>

// How long the CTest entry that runs this test may take (QUOVEL_ENTRY_TIMEOUT_S, which every
// entry sets to its own TIMEOUT); 1500 s, CTest's default, when a test program is run by hand.
// A wait that must end on its own ends there: only a hang reaches it.
inline std::chrono::seconds entryTimeLimit() {
    const char* text = std::getenv("QUOVEL_ENTRY_TIMEOUT_S");
    const long seconds = text != nullptr ? std::strtol(text, nullptr, 10) : 0;
    return std::chrono::seconds(seconds > 0 ? seconds : 1500);
}

// Polls `condition` every `poll` (a few milliseconds unless told) until it holds (true) or the
// entry's time limit has passed (false).
template <class F>
bool waitFor(F condition, std::chrono::microseconds poll = std::chrono::milliseconds(5)) {
    const auto end = std::chrono::steady_clock::now() + entryTimeLimit();
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(poll);
    }
    return true;
}
