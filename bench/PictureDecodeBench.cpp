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

// Pictures of the largest frame allowed (4096 x 4096), each hostile kind beside the standard
// progression (libjpeg's own) of the same picture, which it should not take much longer than
// (at most 1.5 times). The hostile kinds repeat their last scan: small scans over the whole frame
// (each a few bytes: a flat picture stretched to the frame), DC scans, DC refinements after the
// standard progression, scans with real data in every block, refinement scans of the whole band
// and of one coefficient; the luma's band sent one coefficient a scan has no repeat, nor has the
// band of the one component with content sent and refined as often as allowed, the others' AC
// left out. A scan that sends a coefficient again is refused at once, as is an arithmetic-coded
// picture. Repeats of -1 are as many as the bounds take (work, passes over the frame and
// refinements of a coefficient), the slowest pictures decoded; -2 one more, refused. A picture
// has detail in every block, or is flat (every block one color: its coefficients cost next to
// nothing, and the visits of its blocks are what its scans take), or is of flat 16 x 16 tiles of
// varied colors (DC values of many bits, no other coefficient), or is noise in one component.
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
    STANDARD,
    DC_REFINEMENTS,
    NARROW_REFINEMENTS,
    ONE_COMPONENT_REFINEMENTS
};
// Noise at quality 100 in one component: the luma (grey), one chroma component (the luma flat)
// or red (a picture stored as RGB, green and blue flat).
enum Content { DETAIL, FLAT, TILES, GREY_NOISE, CHROMA_NOISE, RED_NOISE };
// The sampling of a picture's color: libjpeg's default 4:2:0, or the luma's factors.
enum Sampling { S420, S444, S422, GREY };

uint8_t noise(int x, int y) {
    auto state = static_cast<uint32_t>(x * 7919 + y * 104729);
    state ^= state >> 15;
    state *= 2246822519u;
    state ^= state >> 13;
    return static_cast<uint8_t>(state >> 5);
}

uint8_t tileChannel(int x, int y, int c) {
    const auto tile = static_cast<unsigned>((x / 16) * 7919 + (y / 16) * 104729 + c * 31);
    return static_cast<uint8_t>((tile * 2654435761u) >> 24);
}

std::vector<uint8_t> bigPicture(BigKind kind, int repeats, Content content, Sampling sampling) {
    static const int side = static_cast<int>(benchCount(4096, 256));
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
    if (sampling == GREY) {
        spec.components = 1;
        spec.colorSpace = JCS_GRAYSCALE;
    }
    spec.hSampling = sampling == S444 ? 1 : sampling == S422 ? 2 : 0;
    spec.vSampling = sampling == S444 || sampling == S422 ? 1 : 0;
    if (content == CHROMA_NOISE) {
        spec.colorSpace = JCS_YCbCr;
    } else if (content == RED_NOISE) {
        spec.fileColorSpace = JCS_RGB;
    }
    spec.pixels.reserve(static_cast<size_t>(side) * side * spec.components);
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            for (int c = 0; c < spec.components; ++c) {
                spec.pixels.push_back(content == FLAT         ? static_cast<uint8_t>(90 + 40 * c)
                                      : content == TILES      ? tileChannel(x, y, c)
                                      : content == GREY_NOISE ? noise(x, y)
                                      : content == CHROMA_NOISE
                                          ? (c == 1 ? noise(x, y) : uint8_t{128})
                                      : content == RED_NOISE ? (c == 0 ? noise(x, y) : uint8_t{128})
                                                             : channel(x % 800, y % 600, c));
            }
        }
    }
    // The DC of every component first; each hostile kind's last scan is then repeated.
    const jpeg_scan_info dc = {3, {0, 1, 2, 0}, 0, 0, 0, 0};
    if (kind == DC_SCANS) {
        spec.scans = {dc};
    } else if (kind == NARROW_SCANS) {
        spec.scans = {dc, {1, {1, 0, 0, 0}, 1, 63, 0, 0}, {1, {2, 0, 0, 0}, 1, 63, 0, 0}};
        for (int k = 1; k < 64; ++k) {
            spec.scans.push_back({1, {0, 0, 0, 0}, k, k, 0, 0});
        }
    } else if (kind == ONE_COMPONENT_REFINEMENTS) {
        // No AC scan of the flat components (their AC is all zero); the band of the one with
        // content sent from as high a bit as may be refined, and refined a bit at a time in
        // seven bands of nine coefficients, as many passes as the bound leaves (6 of 6.5).
        const int noisy = content == CHROMA_NOISE ? 1 : 0;
        spec.scans = {dc, {1, {noisy, 0, 0, 0}, 1, 63, 0, JPEG_MAX_REFINEMENTS}};
        for (int bit = JPEG_MAX_REFINEMENTS; bit > 0; --bit) {
            for (int first = 1; first < DCTSIZE2; first += 9) {
                spec.scans.push_back({1, {noisy, 0, 0, 0}, first, first + 8, bit, bit - 1});
            }
        }
    } else if (kind == NARROW_REFINEMENTS) {
        spec.scans = {dc,
                      {1, {1, 0, 0, 0}, 1, 63, 0, 0},
                      {1, {2, 0, 0, 0}, 1, 63, 0, 0},
                      {1, {0, 0, 0, 0}, 1, 63, 0, 1},
                      {1, {0, 0, 0, 0}, 63, 63, 1, 0}};
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
    } else if (kind == DC_REFINEMENTS) {
        // libjpeg's progression of a color picture, its DC refinement last.
        spec.scans = {{3, {0, 1, 2, 0}, 0, 0, 0, 1},  {1, {0, 0, 0, 0}, 1, 5, 0, 2},
                      {1, {2, 0, 0, 0}, 1, 63, 0, 1}, {1, {1, 0, 0, 0}, 1, 63, 0, 1},
                      {1, {0, 0, 0, 0}, 6, 63, 0, 2}, {1, {0, 0, 0, 0}, 1, 63, 2, 1},
                      {1, {2, 0, 0, 0}, 1, 63, 1, 0}, {1, {1, 0, 0, 0}, 1, 63, 1, 0},
                      {1, {0, 0, 0, 0}, 1, 63, 1, 0}, {3, {0, 1, 2, 0}, 0, 0, 1, 0}};
    }
    return withRepeatedLastScan(encodeJpeg(spec), repeats);
}

// The picture of a hostile kind with as many repeats of its last scan as the work bound takes
// (`beyond` 0), or one more; `repeats` is set to their number.
std::vector<uint8_t> repeatedToTheBound(BigKind kind, int beyond, int& repeats, Content content,
                                        Sampling sampling) {
    const std::vector<uint8_t> once = bigPicture(kind, 0, content, sampling);
    RefHolder<Image>(decodeJpeg("", once.data(), once.size()));
    const JpegWorkCount first = lastJpegWorkCount();
    const std::vector<uint8_t> twice = withRepeatedLastScan(once, 1);
    RefHolder<Image>(decodeJpeg("", twice.data(), twice.size()));
    const uint64_t perScan = lastJpegWorkCount().work - first.work;
    const uint64_t visitsPerScan = lastJpegWorkCount().blockVisits - first.blockVisits;
    // A repeated refinement refines its coefficients once more each time.
    const bool refines = lastJpegWorkCount().refinements > first.refinements;
    const uint64_t refinable = refines ? JPEG_MAX_REFINEMENTS - first.refinements : UINT64_MAX;
    repeats = static_cast<int>(
                  std::min({(first.limit - first.work) / perScan,
                            (first.visitLimit - first.blockVisits) / visitsPerScan, refinable})) +
              beyond;
    return withRepeatedLastScan(once, repeats);
}

void decodeBigJpeg(benchmark::State& state) {
    const auto kind = static_cast<BigKind>(state.range(0));
    const auto content = static_cast<Content>(state.range(2));
    const auto sampling = static_cast<Sampling>(state.range(3));
    setProblemSink([](const std::string&) {});  // a line per refusal
    int repeats = static_cast<int>(state.range(1));
    const std::vector<uint8_t> file =
        repeats < 0 ? repeatedToTheBound(kind, -1 - repeats, repeats, content, sampling)
                    : bigPicture(kind, repeats, content, sampling);
    bool decoded = false;
    for (auto _ : state) {
        RefHolder<Image> image = decodeJpeg("", file.data(), file.size());
        decoded = image.get() != nullptr;
    }
    setProblemSink(nullptr);
    const JpegWorkCount count = lastJpegWorkCount();
    static const char* const names[] = {"plain",
                                        "progressive",
                                        "small scans",
                                        "full scans",
                                        "refinements",
                                        "dense plain",
                                        "arithmetic",
                                        "DC scans",
                                        "one coefficient scans",
                                        "standard",
                                        "DC refinements",
                                        "one coefficient refinements",
                                        "one component refinements"};
    static const char* const contents[] = {"detail",     "flat",         "tiles",
                                           "grey noise", "chroma noise", "red noise"};
    static const char* const samplings[] = {"4:2:0", "4:4:4", "4:2:2", "grey"};
    state.counters["passes"] = count.frameBlocks ? static_cast<double>(count.blockVisits) /
                                                       static_cast<double>(count.frameBlocks)
                                                 : 0;
    state.counters["plain_decodes"] =
        count.frameBlocks ? static_cast<double>(count.work) /
                                static_cast<double>(jpegScanWork(count.frameBlocks, 0, 63, false))
                          : 0;
    state.SetLabel(std::string(names[kind]) + " " + samplings[sampling] + " " + contents[content] +
                   ", " + std::to_string(repeats) + " repeats" +
                   (decoded ? ", decoded, " : ", refused, ") + std::to_string(file.size() / 1024) +
                   " KB");
}

BENCHMARK(decodePng)->Arg(4)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(decodeJpegPicture)->Arg(4)->Arg(2)->Unit(benchmark::kMillisecond);

}  // namespace
// Kind, repeats of the last scan (-1: as many as the bound takes, -2: one more), content and
// sampling. Each hostile kind beside the standard progression of its own picture.
BENCHMARK(decodeBigJpeg)
    ->Args({PLAIN, 0, DETAIL, S420})
    ->Args({PLAIN, 0, FLAT, S444})
    ->Args({DENSE, 0, DETAIL, S420})
    ->Args({PROGRESSIVE, 0, DETAIL, S420})
    ->Args({STANDARD, 0, DETAIL, S422})
    ->Args({STANDARD, 0, DETAIL, GREY})
    ->Args({SMALL_SCANS, -1, DETAIL, S420})
    ->Args({SMALL_SCANS, -2, DETAIL, S420})
    ->Args({SMALL_SCANS, 5000, DETAIL, S420})
    ->Args({ARITHMETIC, 0, DETAIL, S420})
    ->Args({DC_SCANS, 1, FLAT, S444})
    ->Args({FULL_SCANS, 1, DETAIL, S420})
    ->Args({STANDARD, 0, DETAIL, S420})
    ->Args({FULL_SCANS, 0, DETAIL, S420})
    ->Args({REFINEMENTS, -1, DETAIL, S420})
    ->Args({REFINEMENTS, -2, DETAIL, S420})
    ->Args({STANDARD, 0, DETAIL, S444})
    ->Args({DC_REFINEMENTS, -1, DETAIL, S444})
    ->Args({NARROW_SCANS, 0, DETAIL, S444})
    ->Args({NARROW_REFINEMENTS, -1, DETAIL, S444})
    ->Args({STANDARD, 0, FLAT, S444})
    ->Args({DC_REFINEMENTS, -1, FLAT, S444})
    ->Args({NARROW_SCANS, 0, FLAT, S444})
    ->Args({NARROW_REFINEMENTS, -1, FLAT, S444})
    ->Args({REFINEMENTS, -1, FLAT, S444})
    ->Args({STANDARD, 0, TILES, S444})
    ->Args({DC_REFINEMENTS, -1, TILES, S444})
    ->Args({STANDARD, 0, FLAT, S420})
    ->Args({DC_REFINEMENTS, -1, FLAT, S420})
    ->Args({NARROW_REFINEMENTS, -1, FLAT, S420})
    ->Args({STANDARD, 0, GREY_NOISE, S444})
    ->Args({ONE_COMPONENT_REFINEMENTS, -1, GREY_NOISE, S444})
    ->Args({ONE_COMPONENT_REFINEMENTS, -2, GREY_NOISE, S444})
    ->Args({STANDARD, 0, CHROMA_NOISE, S444})
    ->Args({ONE_COMPONENT_REFINEMENTS, -1, CHROMA_NOISE, S444})
    ->Args({STANDARD, 0, RED_NOISE, S444})
    ->Args({ONE_COMPONENT_REFINEMENTS, -1, RED_NOISE, S444})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(benchCount(2));
