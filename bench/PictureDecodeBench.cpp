// Decoding an 800 x 600 picture, the size of a full-screen background, as PNG (RGBA) and as
// JPEG, into an image at each display depth.
#include <benchmark/benchmark.h>

#include <cmath>
#include <string>
#include <vector>

#include "framework/core/RefHolder.h"
#include "framework/platform/DisplayDepth.h"
#include "framework/platform/Image.h"
#include "framework/platform/JpegDecoder.h"
#include "framework/platform/PngDecoder.h"
#include "tests/platform/PictureEncoder.h"

namespace {

constexpr int width = 800;
constexpr int height = 600;

// Gradients with some texture, compressing like a painted background rather than flat color.
uint8_t channel(int x, int y, int c) {
    const double wave = std::sin(x * 0.05 + c) * std::cos(y * 0.045 - c) * 40.0;
    return static_cast<uint8_t>(std::clamp(
        96.0 + x * 0.1 + y * 0.08 * c + wave + ((x * 7 + y * 13 + c * 5) % 17), 0.0, 255.0));
}

const std::vector<uint8_t>& pngFile() {
    static const std::vector<uint8_t> file = [] {
        PngSpec spec;
        spec.width = width;
        spec.height = height;
        spec.colorType = PNG_COLOR_TYPE_RGB_ALPHA;
        for (int y = 0; y < height; ++y) {
            std::vector<uint8_t> row;
            for (int x = 0; x < width; ++x) {
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
        spec.width = width;
        spec.height = height;
        spec.quality = 90;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
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

// A hostile progressive picture: a small file whose frame claims the largest size allowed and
// whose last scan repeats `range(0)` times. The decoder refuses it once the scans pass the bound
// for that frame; the time is what such a picture costs before it is refused (or decoded).
void decodeJpegManyScans(benchmark::State& state) {
    JpegSpec spec;
    spec.width = 64;
    spec.height = 40;
    spec.progressive = true;
    spec.pixels.assign(static_cast<size_t>(spec.width) * spec.height * 3, 128);
    const std::vector<uint8_t> file = withRepeatedLastScan(
        withFrameSize(encodeJpeg(spec), 0xC2, 4096, 4096), static_cast<int>(state.range(0)));
    bool decoded = false;
    for (auto _ : state) {
        RefHolder<Image> image = decodeJpeg("", file.data(), file.size());
        decoded = image.get() != nullptr;
    }
    state.SetLabel(std::string(decoded ? "decoded" : "refused") + ", 4096 x 4096");
}

BENCHMARK(decodePng)->Arg(4)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(decodeJpegPicture)->Arg(4)->Arg(2)->Unit(benchmark::kMillisecond);

}  // namespace
BENCHMARK(decodeJpegManyScans)->Arg(118)->Arg(5000)->Unit(benchmark::kMillisecond);
