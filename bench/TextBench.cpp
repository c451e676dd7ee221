// A 60-character line in the baked 14-pixel font with its two layers (fill and outline): laid
// out alone, and laid out and drawn into an 800 x 600 image at each display depth.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "framework/core/RefHolder.h"
#include "framework/os/FileSystem.h"
#include "framework/platform/BitmapFont.h"
#include "framework/platform/Graphics.h"
#include "framework/platform/Image.h"
#include "testsupport/platform/BakedFontLoader.h"

namespace {

const std::wstring LINE = L"Match the free tiles in pairs, AVA WAVE Tokyo 1234567890 yes";
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
        font->layoutText(LINE, layout, 0, -1);
        benchmark::DoNotOptimize(layout.maxRight);
    }
}

// Laying the line out and drawing both layers (outline, then fill) into an image of the display
// depth given as the argument.
void drawLine(benchmark::State& state) {
    BitmapFont* font = benchFont();
    RefHolder<Image> target = Image::createImage(800, 600, static_cast<int32_t>(state.range(0)));
    RefHolder<Graphics> graphics = target ? target->createGraphics() : nullptr;
    if (!font || !graphics) {
        state.SkipWithError("baked font or drawing context missing");
        return;
    }
    graphics->setFont(font);
    const std::vector<TextLine> lines = {TextLine{LINE, 20, 280}};
    for (auto _ : state) {
        graphics->drawTextLines(lines, {});
        benchmark::ClobberMemory();
    }
}

BENCHMARK(layOutLine)->Unit(benchmark::kMicrosecond);
BENCHMARK(drawLine)->Arg(4)->Arg(2)->Unit(benchmark::kMicrosecond);

}  // namespace
