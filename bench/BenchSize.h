#pragma once

#include <cstdint>
#include <cstdlib>

// The suite runs every bench program once at its smallest (QUOVEL_BENCH_SMALLEST set), so that a
// bench that no longer measures fails it: every count of builds, repeats, runs or frames, every
// size of made-up data and every wait that a bench names goes through here, and is then
// `smallest` (1 unless a bench needs more to measure at all).
inline int64_t benchCount(int64_t full, int64_t smallest = 1) {
    static const bool small = std::getenv("QUOVEL_BENCH_SMALLEST") != nullptr;
    return small ? smallest : full;
}
