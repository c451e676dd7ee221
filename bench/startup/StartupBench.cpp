// The program started headless (SDL's dummy drivers unless others are set) from the built game
// folder, on the same services as the game's own entry point, once: how long until its first
// frame is presented, until start-up (with its wait for the first sections) is done, until the
// background sections are in and until the loading scene reports loading complete; with the
// size of the data archive and of the files of the first sections (all of them, and those read
// while loading: music is streamed when played). Its data and settings live in a folder of the
// build's own, so a run never meets the player's game or a running copy of it; the first run
// there is a first start, the later ones are ordinary starts. Its own program, because a run
// ends by releasing the process's services (the object factory among them).
// Then, as a player's door would, it enters a 144-tile Classic level and reports the process's
// resident memory there beside the one after start-up, and whether an OpenGL stack was loaded.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "bench/BenchRun.h"
#include "bench/BenchSize.h"
#include "bench/startup/EnterLevel.h"
#include "framework/os/DirectXVersion.h"
#include "framework/os/SdlDisplay.h"
#include "framework/os/SdlEventSource.h"
#include "framework/platform/ResourceManager.h"
#include "framework/platform/ResourceObject.h"
#include "framework/platform/ResourceSection.h"
#include "framework/platform/StreamResource.h"
#include "framework/scene/SceneManager.h"
#include "game/app/QuovelMahjongMain.h"
#include "game/app/RealServices.h"
#include "game/app/SceneLoad.h"

namespace {

using Clock = std::chrono::steady_clock;

// The goal for the resident memory inside a 144-tile level.
constexpr double RSS_IN_LEVEL_GOAL_MIB = 110;
// Frames played in the level before its memory is read: the board is built, shown and the
// level's sections are in (at the smallest, the level has been shown).
const int64_t LEVEL_FRAMES = benchCount(600, 60);

struct Moments {
    Clock::time_point start;
    double windowAsked = -1;
    double windowMade = -1;
    double presenterMade = -1;
    double firstFrame = -1;
    double startupDone = -1;
    double backgroundSections = -1;
    double loadingComplete = -1;
    double firstSectionBytes = 0;
    double firstSectionBytesRead = 0;
    double rssAfterStartup = -1;
    double rssInLevel = -1;
    bool openGlLoaded = false;
};

double residentMiB() {
    std::ifstream status("/proc/self/status");
    std::string word;
    while (status >> word) {
        if (word == "VmRSS:") {
            double kB = 0;
            status >> kB;
            return kB / 1024.0;
        }
    }
    return -1;
}

// Any OpenGL library in the process's memory: Mesa's GLX and DRI drivers, the GL dispatchers.
bool openGlMapped() {
    std::ifstream maps("/proc/self/maps");
    std::string line;
    while (std::getline(maps, line)) {
        for (const char* library : {"libGLX", "libEGL", "_dri.so", "libLLVM", "libgallium"}) {
            if (line.find(library) != std::string::npos) {
                return true;
            }
        }
    }
    return false;
}

double since(const Moments& moments) {
    return std::chrono::duration<double, std::milli>(Clock::now() - moments.start).count();
}

struct TimedDisplay : SdlDisplay {
    explicit TimedDisplay(Moments& moments) : moments(moments) {}
    // The first window's moments: a full screen that X refuses (no window manager) is made
    // again as a window later.
    bool createWindow(const std::string& title, int width, int height, bool full) override {
        const double asked = since(moments);
        const bool made = SdlDisplay::createWindow(title, width, height, full);
        if (moments.windowAsked < 0) {
            moments.windowAsked = asked;
            moments.windowMade = since(moments);
        }
        return made;
    }
    bool createPresenter(int bytesPerPixel) override {
        const bool made = SdlDisplay::createPresenter(bytesPerPixel);
        if (moments.presenterMade < 0) {
            moments.presenterMade = since(moments);
        }
        return made;
    }
    bool present(const void* pixels, int pitch) override {
        const bool shown = SdlDisplay::present(pixels, pitch);
        if (shown && moments.firstFrame < 0) {
            moments.firstFrame = since(moments);
        }
        return shown;
    }
    Moments& moments;
};

// Looks at the run after every frame.
struct Watcher {
    void operator()() {
        ResourceManager* resources = ResourceManager::getInstance();
        SceneManager* scenes = SceneManager::getInstance();
        if (!resources || !scenes) {
            return;
        }
        // The scenes are made right after the wait for the first sections.
        if (moments.startupDone < 0 && scenes->getScene("SCENE_SPLASH")) {
            moments.startupDone = since(moments);
            measureFirstSections(*resources);
        }
        if (moments.startupDone >= 0 && moments.backgroundSections < 0 &&
            !resources->nextPendingSection(ResourceManager::Queue::URGENT, false)) {
            moments.backgroundSections = since(moments);
        }
        auto* load = objectCast<SceneLoad>(scenes->getScene("SCENE_LOAD"));
        if (moments.loadingComplete < 0 && load && load->isComplete()) {
            moments.loadingComplete = since(moments);
            moments.rssAfterStartup = residentMiB();
            enterBenchLevel();
        }
        if (moments.loadingComplete >= 0 && ++levelFrames == LEVEL_FRAMES) {
            moments.rssInLevel = residentMiB();
            moments.openGlLoaded = openGlMapped();
            events.postQuit(0);
        }
    }
    void measureFirstSections(ResourceManager& resources) {
        ResourceManager::DataLock lock;
        for (const char* name : {"splash", "music", "preloading"}) {
            ResourceSection* section = resources.getSection(name);
            if (!section) {
                continue;
            }
            for (const auto& [key, resource] : section->getResources()) {
                std::error_code error;
                const auto size = std::filesystem::file_size(resource->getFileName(), error);
                const double bytes = error ? 0.0 : static_cast<double>(size);
                moments.firstSectionBytes += bytes;
                if (!objectCast<StreamResource>(resource.get())) {
                    moments.firstSectionBytesRead += bytes;
                }
            }
        }
    }
    Moments& moments;
    SdlEventSource& events;
    int64_t levelFrames = 0;
};

// The display check of start-up, made as the program makes it: with the display's video system
// already running. Under xvfb-run with SDL_VIDEODRIVER=x11 this is the probe on an X server.
void BM_DisplayProbe(benchmark::State& state) {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    SdlDisplay display;
    for (auto _ : state) {
        benchmark::DoNotOptimize(getDirectXVersion());
    }
}
BENCHMARK(BM_DisplayProbe)->Unit(benchmark::kMillisecond);

void BM_StartUpToLoadingComplete(benchmark::State& state) {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    const std::filesystem::path folder = std::filesystem::path(QUOVEL_GAME_FOLDER);
    const std::filesystem::path home = folder.parent_path() / "bench" / "startup-home";
    setenv("XDG_DATA_HOME", (home / "data").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
    for (auto _ : state) {
        Moments moments;
        moments.start = Clock::now();
        TimedDisplay display(moments);
        RealServices real(display, true);
        AppServices& services = real.services;
        Watcher watcher{moments, real.events};
        services.frameDone = [&watcher] { watcher(); };
        // A run that never completes loading still ends.
        services.quitAfterFrames = 1200 + LEVEL_FRAMES;
        QuovelMahjongMain::runProgram(services, folder.string());
        state.counters["window_asked_ms"] = moments.windowAsked;
        state.counters["window_made_ms"] = moments.windowMade;
        state.counters["presenter_made_ms"] = moments.presenterMade;
        state.counters["first_frame_ms"] = moments.firstFrame;
        state.counters["startup_done_ms"] = moments.startupDone;
        state.counters["background_sections_in_ms"] = moments.backgroundSections;
        state.counters["loading_complete_ms"] = moments.loadingComplete;
        state.counters["first_sections_kB"] = moments.firstSectionBytes / 1024.0;
        state.counters["first_sections_read_kB"] = moments.firstSectionBytesRead / 1024.0;
        state.counters["rss_after_startup_MiB"] = moments.rssAfterStartup;
        state.counters["rss_in_level_MiB"] = moments.rssInLevel;
        state.counters["rss_in_level_goal_MiB"] = RSS_IN_LEVEL_GOAL_MIB;
        state.counters["opengl_loaded"] = moments.openGlLoaded ? 1 : 0;
        state.counters["archive_kB"] =
            static_cast<double>(std::filesystem::file_size(folder / "media.dat")) / 1024.0;
    }
}
// One run per process: the shut-down releases the services for good.
BENCHMARK(BM_StartUpToLoadingComplete)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    return runBenchmarksAsTheGame(argc, argv);
}
