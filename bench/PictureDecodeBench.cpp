// Decoding an 800 x 600 picture, the size of a full-screen background, as PNG (RGBA) and as
// JPEG, into an image at each display depth; and JPEG pictures of the largest frame, plain,
// progressive and hostile.
#include <benchmark/benchmark.h>

#include <cmath>
#include <string>
#include <vector>

#include "BenchSize.h"
#include "framework/core/ProblemLog.h"
#include "framework/core/RefHolder.h"
#include "framework/core/ScreenSize.h"
#include "framework/platform/DisplayDepth.h"
#include "framework/platform/Image.h"
#include "framework/platform/JpegDecoder.h"
#include "framework/platform/PngDecoder.h"
#include "testsupport/platform/PictureEncoder.h"

namespace {

// Gradients with some texture, compressing like a painted background rather than flat color.
uint8_t channel(int x, int y, int c) {
    const double wave = std::sin(x * 0.05 + c) * std::cos(y * 0.045 - c) * 40.0;
    return static_cast<uint8_t>(std::clamp(
        96.0 + x * 0.1 + y * 0.08 * c + wave + ((x * 7 + y * 13 + c * 5) % 17), 0.0, 255.0));
}

const std::vector<uint8_t>& pngFile() {
    static const std::vector<uint8_t> file = [] {
        PngSpec spec;
        spec.width = SCREEN_WIDTH;
        spec.height = SCREEN_HEIGHT;
        spec.colorType = PNG_COLOR_TYPE_RGB_ALPHA;
        for (int y = 0; y < SCREEN_HEIGHT; ++y) {
            std::vector<uint8_t> row;
            for (int x = 0; x < SCREEN_WIDTH; ++x) {
                for (int c = 0; c < 3; ++c) {
                    row.push_back(channel(x, y, c));
                }
                row.push_back(static_cast<uint8_t>(x < 400 ? 255 : (x + y) % 256));
            }
            spec.rows.push_back(std::move(row));
        }
        return encodePng(spec);
    }();
    return file;
}

const std::vector<uint8_t>& jpegFile() {
    static const std::vector<uint8_t> file = [] {
        JpegSpec spec;
        spec.width = SCREEN_WIDTH;
        spec.height = SCREEN_HEIGHT;
        spec.quality = 90;
        for (int y = 0; y < SCREEN_HEIGHT; ++y) {
            for (int x = 0; x < SCREEN_WIDTH; ++x) {
                for (int c = 0; c < 3; ++c) {
                    spec.pixels.push_back(channel(x, y, c));
                }
            }
        }
        return encodeJpeg(spec);
    }();
    return file;
}

void decodePng(benchmark::State& state) {
    setDisplayBytesPerPixel(static_cast<int32_t>(state.range(0)));
    const std::vector<uint8_t>& file = pngFile();
    for (auto _ : state) {
        RefHolder<Image> image = loadPngMemory(file.data(), file.size(), 0);
        benchmark::DoNotOptimize(image.get());
    }
    state.SetLabel(std::to_string(file.size()) + " bytes");
    setDisplayBytesPerPixel(4);
}

void decodeJpegPicture(benchmark::State& state) {
    setDisplayBytesPerPixel(static_cast<int32_t>(state.range(0)));
    const std::vector<uint8_t>& file = jpegFile();
    for (auto _ : state) {
        RefHolder<Image> image = decodeJpeg("", file.data(), file.size());
        benchmark::DoNotOptimize(image.get());
    }
    state.SetLabel(std::to_string(file.size()) + " bytes");
    setDisplayBytesPerPixel(4);
}

// Pictures of the largest frame allowed (4096 x 4096), with detail in every block. The plain
// (baseline) decode is what every other kind is held to. Standard progressive pictures (libjpeg's
// own progression) of every sampling, at full quality, are decoded; the hostile kinds repeat
// their last scan: small scans over the whole frame (each a few bytes: a flat picture stretched
// to the frame), DC scans, scans of one coefficient, scans with real data in every block, and
// refinement scans; an arithmetic-coded picture is refused at once. Repeats of -1 are as many
// as the work bound takes, the slowest pictures decoded; -2 one more, refused.
enum BigKind {
    PLAIN,
    PROGRESSIVE,
    SMALL_SCANS,
    FULL_SCANS,
    REFINEMENTS,
    DENSE,
    ARITHMETIC,
    DC_SCANS,
    NARROW_SCANS,
    STANDARD444,
    STANDARD422,
    STANDARD420,
    STANDARD_GREY
};

std::vector<uint8_t> bigPicture(BigKind kind, int repeats) {
    constexpr int side = 4096;
    JpegSpec spec;
    if (kind == SMALL_SCANS) {
        spec.width = 64;
        spec.height = 40;
        spec.progressive = true;
        spec.pixels.assign(static_cast<size_t>(spec.width) * spec.height * 3, 128);
        return withRepeatedLastScan(withFrameSize(encodeJpeg(spec), 0xC2, side, side), repeats);
    }
    spec.width = side;
    spec.height = side;
    spec.quality = kind == PLAIN || kind == PROGRESSIVE ? 90 : 100;
    spec.progressive = kind != PLAIN && kind != DENSE;
    spec.arithmetic = kind == ARITHMETIC;
    if (kind == STANDARD_GREY) {
        spec.components = 1;
        spec.colorSpace = JCS_GRAYSCALE;
    }
    spec.hSampling = kind == STANDARD444 ? 1 : kind == STANDARD422 ? 2 : 0;
    spec.vSampling = kind == STANDARD444 || kind == STANDARD422 ? 1 : 0;
    spec.pixels.reserve(static_cast<size_t>(side) * side * spec.components);
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            for (int c = 0; c < spec.components; ++c) {
                spec.pixels.push_back(channel(x % 800, y % 600, c));
            }
        }
    }
    // The DC of every component first; each hostile kind's last scan is then repeated.
    const jpeg_scan_info dc = {3, {0, 1, 2, 0}, 0, 0, 0, 0};
    if (kind == DC_SCANS) {
        spec.scans = {dc};
    } else if (kind == NARROW_SCANS) {
        spec.scans = {dc, {1, {0, 0, 0, 0}, 63, 63, 0, 0}};
    } else if (kind == FULL_SCANS) {
        // Each component's whole AC band in one scan.
        spec.scans = {dc,
                      {1, {1, 0, 0, 0}, 1, 63, 0, 0},
                      {1, {2, 0, 0, 0}, 1, 63, 0, 0},
                      {1, {0, 0, 0, 0}, 1, 63, 0, 0}};
    } else if (kind == REFINEMENTS) {
        // Every coefficient sent but its lowest bit, which a last scan refines: every nonzero
        // coefficient of every block reads a bit in each such scan.
        spec.scans = {{3, {0, 1, 2, 0}, 0, 0, 0, 0},
                      {1, {1, 0, 0, 0}, 1, 63, 0, 0},
                      {1, {2, 0, 0, 0}, 1, 63, 0, 0},
                      {1, {0, 0, 0, 0}, 1, 63, 0, 1},
                      {1, {0, 0, 0, 0}, 1, 63, 1, 0}};
    }
    return withRepeatedLastScan(encodeJpeg(spec), repeats);
}

// The picture of a hostile kind with as many repeats of its last scan as the work bound takes
// (`beyond` 0), or one more; `repeats` is set to their number.
std::vector<uint8_t> repeatedToTheBound(BigKind kind, int beyond, int& repeats) {
    const std::vector<uint8_t> once = bigPicture(kind, 0);
    RefHolder<Image>(decodeJpeg("", once.data(), once.size()));
    const JpegWorkCount first = lastJpegWorkCount();
    const std::vector<uint8_t> twice = withRepeatedLastScan(once, 1);
    RefHolder<Image>(decodeJpeg("", twice.data(), twice.size()));
    const uint64_t perScan = lastJpegWorkCount().work - first.work;
    repeats = static_cast<int>((first.limit - first.work) / perScan) + beyond;
    return withRepeatedLastScan(once, repeats);
}

void decodeBigJpeg(benchmark::State& state) {
    const auto kind = static_cast<BigKind>(state.range(0));
    setProblemSink([](const std::string&) {});  // a line per refusal
    int repeats = static_cast<int>(state.range(1));
    const std::vector<uint8_t> file =
        repeats < 0 ? repeatedToTheBound(kind, -1 - repeats, repeats) : bigPicture(kind, repeats);
    bool decoded = false;
    for (auto _ : state) {
        RefHolder<Image> image = decodeJpeg("", file.data(), file.size());
        decoded = image.get() != nullptr;
    }
    setProblemSink(nullptr);
    const JpegWorkCount count = lastJpegWorkCount();
    static const char* const names[] = {"plain",          "progressive",    "small scans",
                                        "full scans",     "refinements",    "dense plain",
                                        "arithmetic",     "DC scans",       "one coefficient scans",
                                        "standard 4:4:4", "standard 4:2:2", "standard 4:2:0",
                                        "standard grey"};
    state.counters["plain_decodes"] =
        count.frameBlocks ? static_cast<double>(count.work) /
                                static_cast<double>(jpegScanWork(count.frameBlocks, 0, 63, false))
                          : 0;
    state.SetLabel(std::string(names[kind]) + ", " + std::to_string(repeats) + " repeats" +
                   (decoded ? ", decoded, " : ", refused, ") + std::to_string(file.size() / 1024) +
                   " KB");
}

BENCHMARK(decodePng)->Arg(4)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(decodeJpegPicture)->Arg(4)->Arg(2)->Unit(benchmark::kMillisecond);

}  // namespace
// Kind and repeats of the last scan (-1: as many as the bound takes, -2: one more).
BENCHMARK(decodeBigJpeg)
    ->Args({PLAIN, 0})
    ->Args({DENSE, 0})
    ->Args({PROGRESSIVE, 0})
    ->Args({STANDARD444, 0})
    ->Args({STANDARD422, 0})
    ->Args({STANDARD420, 0})
    ->Args({STANDARD_GREY, 0})
    ->Args({SMALL_SCANS, -1})
    ->Args({SMALL_SCANS, -2})
    ->Args({SMALL_SCANS, 5000})
    ->Args({DC_SCANS, -1})
    ->Args({NARROW_SCANS, -1})
    ->Args({FULL_SCANS, -1})
    ->Args({FULL_SCANS, -2})
    ->Args({FULL_SCANS, 30})
    ->Args({REFINEMENTS, -1})
    ->Args({REFINEMENTS, -2})
    ->Args({ARITHMETIC, 0})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(benchCount(2));
