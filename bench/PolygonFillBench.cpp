// Polygon fills scan-convert into a coverage mask as large as the target; this measures the mask
// for an 800 x 600 back buffer, plain and with antialiased edges.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "framework/core/ScreenSize.h"
#include "framework/platform/CoverageMask.h"

namespace {

// A round disc of `count` points filling most of the target.
std::vector<PointF> disc(int count) {
    std::vector<PointF> points;
    for (int k = 0; k < count; ++k) {
        const double angle = 2.0 * M_PI * k / count;
        points.push_back({static_cast<float>(400.3 + 380.0 * std::cos(angle)),
                          static_cast<float>(300.2 + 290.0 * std::sin(angle))});
    }
    return points;
}

// A five-pointed star whose edges cross, so rows hold up to four spans' worth of edges.
std::vector<PointF> star() {
    std::vector<PointF> points;
    for (int k = 0; k < 5; ++k) {
        const double angle = k * 4.0 * M_PI / 5.0;
        points.push_back({static_cast<float>(400.3 + 290.0 * std::sin(angle)),
                          static_cast<float>(300.2 - 290.0 * std::cos(angle))});
    }
    return points;
}

void fill(benchmark::State& state, const std::vector<PointF>& points) {
    const bool antialiased = state.range(0) != 0;
    for (auto _ : state) {
        CoverageMask mask = scanPolygon(points, SCREEN_WIDTH, SCREEN_HEIGHT, antialiased);
        benchmark::DoNotOptimize(mask.row(SCREEN_HEIGHT / 2));
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * SCREEN_WIDTH *
                            SCREEN_HEIGHT);
    state.SetLabel(antialiased ? "antialiased" : "plain");
}

void BM_FillDisc64(benchmark::State& state) {
    fill(state, disc(64));
}
BENCHMARK(BM_FillDisc64)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_FillStar(benchmark::State& state) {
    fill(state, star());
}
BENCHMARK(BM_FillStar)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_FillDisc1024(benchmark::State& state) {
    fill(state, disc(1024));
}
BENCHMARK(BM_FillDisc1024)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace
