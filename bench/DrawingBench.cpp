// Full-screen drawing at both depths over an 800 x 600 target, against a plain memcpy of a frame
// of the same depth timed in the same loop: every iteration draws once and copies once, so the
// two meet the same machine state. Each drawing benchmark reports "x_memcpy" (its time over the
// memcpy's in that repetition) and "per_frame" (full-screen operations that fit a 16.7 ms
// frame); with repetitions, the median row is the figure to read.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "BenchSize.h"
#include "FrameRatio.h"
#include "framework/core/RefHolder.h"
#include "framework/platform/Graphics.h"
#include "framework/platform/Image.h"

namespace {

constexpr int REPETITIONS = 9;

// A picture with every byte varying, and alpha running through all values across each row.
RefHolder<Image> picture(int32_t w, int32_t h, int32_t depth, bool withAlpha) {
    RefHolder<Image> image{Image::createImage(w, h, 4)};
    uint32_t seed = 12345;
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w; ++x) {
            seed = seed * 1664525u + 1013904223u;
            const uint32_t a = static_cast<uint32_t>(x * 256 / w);
            uint32_t pixel = (a << 24) | (seed >> 8);
            std::memcpy(image->getPixels() + y * image->getPitch() + x * 4, &pixel, 4);
        }
    }
    image->setUseAlphaChannel(withAlpha);
    if (depth == 2) {
        image->setFollowsDisplayDepth(true);
        image->convert(2);
    }
    return image;
}

RefHolder<Image> mask(int32_t w, int32_t h) {
    RefHolder<Image> image{Image::createImage(w, h, 1)};
    for (int32_t i = 0; i < w * h; ++i) {
        image->getAlphaPlane()[i] = static_cast<uint8_t>((i * 7) ^ (i >> 5));
    }
    return image;
}

// The drawing against a memcpy of a frame of the same depth, labelled with the depth, and the
// ratio to memcpy it should stay within at each depth ("goal_x_memcpy"; none when 0).
template <class Draw>
void measure(benchmark::State& state, int32_t depth, Draw&& draw, double goal32 = 0,
             double goal16 = 0) {
    bench::measureAgainstMemcpy(state, depth, draw);
    state.SetLabel(depth == 2 ? "16-bit" : "32-bit");
    const double goal = depth == 2 ? goal16 : goal32;
    if (goal > 0) {
        state.counters["goal_x_memcpy"] = goal;
    }
}

// Both depths, timed by hand, repeated, and shown as aggregates only.
void drawingArguments(benchmark::internal::Benchmark* benchmark) {
    benchmark->Arg(4)
        ->Arg(2)
        ->Unit(benchmark::kMicrosecond)
        ->UseManualTime()
        ->Repetitions(benchCount(REPETITIONS))
        ->DisplayAggregatesOnly(true);
}

struct Scene {
    explicit Scene(int32_t depth)
        : target(picture(SCREEN_WIDTH, SCREEN_HEIGHT, depth, false)),
          graphics(target->createGraphics()),
          opaque(picture(SCREEN_WIDTH, SCREEN_HEIGHT, depth, false)),
          translucent(picture(SCREEN_WIDTH, SCREEN_HEIGHT, depth, true)),
          shape(mask(SCREEN_WIDTH, SCREEN_HEIGHT)) {}

    RefHolder<Image> target;
    RefHolder<Graphics> graphics;
    RefHolder<Image> opaque;
    RefHolder<Image> translucent;
    RefHolder<Image> shape;
};

int32_t depthOf(const benchmark::State& state) {
    return static_cast<int32_t>(state.range(0));
}

// The baseline against itself: a ratio near 1 shows how steady the machine was.
void BM_Memcpy(benchmark::State& state) {
    const size_t bytes = static_cast<size_t>(SCREEN_WIDTH) * SCREEN_HEIGHT * depthOf(state);
    std::vector<uint8_t> from(bytes, 0x5A);
    std::vector<uint8_t> to(bytes);
    measure(state, depthOf(state), [&] {
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::DoNotOptimize(to.data());
    });
}
BENCHMARK(BM_Memcpy)->Apply(drawingArguments);

void BM_OpaqueBlit(benchmark::State& state) {
    Scene scene(depthOf(state));
    measure(state, depthOf(state), [&] { scene.graphics->blitWhole(scene.opaque.get(), 0, 0); });
}
BENCHMARK(BM_OpaqueBlit)->Apply(drawingArguments);

void BM_AlphaBlit(benchmark::State& state) {
    Scene scene(depthOf(state));
    measure(
        state, depthOf(state), [&] { scene.graphics->blitWhole(scene.translucent.get(), 0, 0); },
        3.5, 4.0);
}
BENCHMARK(BM_AlphaBlit)->Apply(drawingArguments);

void BM_AdditiveBlit(benchmark::State& state) {
    Scene scene(depthOf(state));
    scene.graphics->setBlendMode(1);
    measure(
        state, depthOf(state), [&] { scene.graphics->blitWhole(scene.translucent.get(), 0, 0); },
        3.0, 4.0);
}
BENCHMARK(BM_AdditiveBlit)->Apply(drawingArguments);

void BM_MaskBlit(benchmark::State& state) {
    Scene scene(depthOf(state));
    scene.graphics->setColor(0xFF40C080);
    measure(
        state, depthOf(state), [&] { scene.graphics->blitWhole(scene.shape.get(), 0, 0); }, 3.0,
        4.0);
}
BENCHMARK(BM_MaskBlit)->Apply(drawingArguments);

void BM_FillRectHalfAlpha(benchmark::State& state) {
    Scene scene(depthOf(state));
    scene.graphics->setColor(0xFF40C080);
    scene.graphics->setAlpha(128);
    measure(
        state, depthOf(state), [&] { scene.graphics->fillRect(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT); },
        2.5, 2.5);
}
BENCHMARK(BM_FillRectHalfAlpha)->Apply(drawingArguments);

// A 128 x 128 sprite turned and scaled with bilinear sampling, as tiles and effects are drawn.
void BM_RotatedBilinear128(benchmark::State& state) {
    Scene scene(depthOf(state));
    RefHolder<Image> sprite = picture(128, 128, depthOf(state), true);
    scene.graphics->setSmooth(true);
    double angle = 0.0;
    measure(state, depthOf(state), [&] {
        scene.graphics->blitRotated(sprite.get(), angle, 1.1, 300, 200, 0, 0, 128, 128, 64, 64);
        angle += 0.01;
    });
}
BENCHMARK(BM_RotatedBilinear128)->Apply(drawingArguments);

}  // namespace
