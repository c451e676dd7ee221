#pragma once
// Times a drawing against a plain memcpy of an 800 x 600 frame of the same depth in the same
// loop: every iteration draws once and copies once, so the two meet the same machine state.
// Reports "x_memcpy" (the drawing's time over the memcpy's) and "per_frame" (drawings that fit a
// 16.7 ms frame); with repetitions, the median row is the figure to read.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <vector>

#include "framework/core/ScreenSize.h"

namespace bench {

constexpr double FRAME_SECONDS = 0.0167;

// Runs `draw` as often as the benchmark asks, each time followed by the memcpy and then by
// `between` (untimed, to restore a state), and reports the two figures. Only the drawing counts
// as the benchmark's (manual) time.
template <class Draw, class Between>
void measureAgainstMemcpy(benchmark::State& state, int32_t depth, Draw&& draw, Between&& between) {
    using Clock = std::chrono::steady_clock;
    const size_t bytes = static_cast<size_t>(SCREEN_WIDTH) * SCREEN_HEIGHT * depth;
    std::vector<uint8_t> from(bytes, 0x5A);
    std::vector<uint8_t> to(bytes);
    double drawing = 0.0;
    double copying = 0.0;
    for (auto _ : state) {
        const auto start = Clock::now();
        draw();
        benchmark::ClobberMemory();
        const auto drawn = Clock::now();
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
        const auto copied = Clock::now();
        const double seconds = std::chrono::duration<double>(drawn - start).count();
        drawing += seconds;
        copying += std::chrono::duration<double>(copied - drawn).count();
        state.SetIterationTime(seconds);
        between();
    }
    const double perOperation =
        drawing / static_cast<double>(std::max<int64_t>(1, state.iterations()));
    state.counters["x_memcpy"] = copying > 0.0 ? drawing / copying : 0.0;
    state.counters["per_frame"] = perOperation > 0.0 ? FRAME_SECONDS / perOperation : 0.0;
}

template <class Draw>
void measureAgainstMemcpy(benchmark::State& state, int32_t depth, Draw&& draw) {
    measureAgainstMemcpy(state, depth, draw, [] {});
}

}  // namespace bench
