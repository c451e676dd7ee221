// Loading a section of 100 generated pictures on the loader thread while the main thread keeps
// taking the data lock for lookups, as a frame does; reports the longest and the mean wait for
// that lock (the target is a longest wait under 2 ms).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <string>
#include <thread>
#include <vector>

#include "framework/platform/DisplayDepth.h"
#include "framework/platform/FileArchive.h"
#include "framework/platform/ResourceManager.h"
#include "testsupport/os/FakeFileSystem.h"
#include "testsupport/platform/PictureEncoder.h"

namespace {

constexpr int PICTURE_COUNT = 100;
constexpr int SIDE = 256;

std::vector<uint8_t> picture(int index) {
    PngSpec spec;
    spec.width = SIDE;
    spec.height = SIDE;
    spec.colorType = PNG_COLOR_TYPE_RGB_ALPHA;
    for (int y = 0; y < SIDE; ++y) {
        std::vector<uint8_t> row;
        for (int x = 0; x < SIDE; ++x) {
            const double wave = std::sin(x * 0.07 + index) * std::cos(y * 0.05) * 60.0;
            row.push_back(static_cast<uint8_t>(128 + wave));
            row.push_back(static_cast<uint8_t>((x * 3 + y + index * 7) % 256));
            row.push_back(static_cast<uint8_t>((x + y * 5) % 256));
            row.push_back(static_cast<uint8_t>(x < SIDE / 2 ? 255 : (x + y) % 256));
        }
        spec.rows.push_back(std::move(row));
    }
    return encodePng(spec);
}

// The pictures and the resource list of one section "bench" holding all of them.
FakeFileSystem& benchFiles() {
    static FakeFileSystem files = [] {
        FakeFileSystem made;
        std::string list = "<root><Node id=\"Sections\"><Section id=\"bench\" name=\"bench\">";
        for (int i = 0; i < PICTURE_COUNT; ++i) {
            const std::string name = "media/images/p" + std::to_string(i) + ".png";
            made.files[name] = picture(i);
            list += "<Image id=\"P" + std::to_string(i) + "\" file=\"" + name + "\"/>";
        }
        list += "</Section></Node></root>";
        made.files["media/properties/resources.xml"].assign(list.begin(), list.end());
        return made;
    }();
    return files;
}

void loadSectionOf100Pictures(benchmark::State& state) {
    FileSystem::setCurrent(&benchFiles());
    FileArchive::close();
    setDisplayBytesPerPixel(static_cast<int32_t>(state.range(0)));
    using Clock = std::chrono::steady_clock;
    std::vector<std::string> keys;
    for (int i = 0; i < PICTURE_COUNT; ++i) {
        keys.push_back(std::string(1, 'P').append(std::to_string(i)));
    }
    double longestWaitMs = 0.0;
    double totalWaitMs = 0.0;
    int64_t waits = 0;
    for (auto _ : state) {
        ResourceManager* manager = ResourceManager::createInstance();
        manager->loadSectionList("media/properties/resources.xml");
        manager->setReady();
        manager->requestSectionLoad("bench");
        size_t lookup = 0;
        bool pending = true;
        while (pending) {
            const Clock::time_point start = Clock::now();
            {
                ResourceManager::DataLock lock;
                const double waitMs =
                    std::chrono::duration<double, std::milli>(Clock::now() - start).count();
                longestWaitMs = std::max(longestWaitMs, waitMs);
                totalWaitMs += waitMs;
                ++waits;
                benchmark::DoNotOptimize(manager->getResourceHandle(keys[lookup], "bench"));
                pending = manager->nextPendingSection(ResourceManager::Queue::URGENT, true);
            }
            lookup = (lookup + 1) % keys.size();
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        state.PauseTiming();
        ResourceManager::stopLoader();
        state.ResumeTiming();
    }
    FileSystem::setCurrent(nullptr);
    setDisplayBytesPerPixel(4);
    state.counters["longest_lock_wait_us"] = longestWaitMs * 1000.0;
    state.counters["mean_lock_wait_us"] = waits ? totalWaitMs * 1000.0 / waits : 0.0;
    state.counters["lock_takes"] = static_cast<double>(waits);
}

BENCHMARK(loadSectionOf100Pictures)->Arg(4)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
