// A 60-character line in the baked 14-pixel font with its two layers (fill and outline): laid
// out alone, and laid out and drawn into an 800 x 600 image at each display depth.
#include <benchmark/benchmark.h>

#include <string>

#include "framework/core/RefHolder.h"
#include "framework/os/FileSystem.h"
#include "framework/platform/BitmapFont.h"
#include "tests/platform/BakedFontLoader.h"

namespace {

const std::wstring line = L"Match the free tiles in pairs, AVA WAVE Tokyo 1234567890 yes";
static_assert(sizeof(L"Match the free tiles in pairs, AVA WAVE Tokyo 1234567890 yes") ==
              61 * sizeof(wchar_t));

// The fonts the build baked for the game, beside the benchmark's build folder.
BitmapFont* benchFont() {
    static RefHolder<BitmapFont> font =
        loadBakedFont(FileSystem::current().programFolder() + "/../game/media/fonts", "sans-14");
    return font.get();
}

void layOutLine(benchmark::State& state) {
    BitmapFont* font = benchFont();
    if (!font) {
        state.SkipWithError("baked font not found");
        return;
    }
    for (auto _ : state) {
        TextLayout layout;
        font->layoutText(line, layout, 0, -1);
        benchmark::DoNotOptimize(layout.maxRight);
    }
}

BENCHMARK(layOutLine)->Unit(benchmark::kMicrosecond);

}  // namespace
