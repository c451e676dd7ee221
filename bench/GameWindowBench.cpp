// The cost of showing frames: one present of the back buffer at either depth, and the CPU the
// whole frame loop takes at 60 frames per second while the scene is empty (the game idling in
// a menu should leave the machine alone). Runs on SDL's dummy video driver unless another is
// chosen; its renderer is software, so presents cost more than on a GPU.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <memory>

#include "BenchSize.h"
#include "framework/os/SdlClipboard.h"
#include "framework/os/SdlCursor.h"
#include "framework/os/SdlDisplay.h"
#include "framework/os/SdlEventSource.h"
#include "framework/os/StderrMessageBox.h"
#include "framework/os/SystemClock.h"
#include "framework/platform/GameWindow.h"
#include "framework/platform/InputHandler.h"
#include "framework/platform/RenderTask.h"
#include "framework/platform/SceneTasks.h"
#include "framework/platform/TimedTaskManager.h"

namespace {

// Chooses SDL's dummy video driver unless one was chosen; made before any SDL service.
struct DefaultVideoDriver {
    DefaultVideoDriver() { setenv("SDL_VIDEODRIVER", "dummy", 0); }
};

// The window's services on SDL, with the game window as the global instance.
struct SdlWindow {
    SdlWindow(bool fullScreen, int32_t depth) {
        GameWindow::setOpenRetried(false);
        const WindowServices services{&display, &events, &cursor, &clipboard, &box, &clock};
        window = GameWindow::createInstance(services, "Quovel", 800, 600, fullScreen, depth, 0);
    }
    ~SdlWindow() { GameWindow::releaseInstance(); }

    DefaultVideoDriver driver;
    SdlDisplay display;
    SdlEventSource events{display};
    SdlCursor cursor;
    SdlClipboard clipboard;
    StderrMessageBox box;
    SystemClock clock;
    GameWindow* window = nullptr;
};

// Arguments: bytes per pixel, full screen (1) or a window (0). A 2-byte back buffer needs full
// screen on a 32-bit desktop. A whole frame presented in a window at 32 bits should take at most
// 1.5 ms ("goal_us").
void BM_PresentFrame(benchmark::State& state) {
    SdlWindow sdl(state.range(1) != 0, static_cast<int32_t>(state.range(0)));
    if (!sdl.window->getBackBuffer() || sdl.window->getBytesPerPixel() != state.range(0)) {
        state.SkipWithError("the window could not be made at this depth");
        return;
    }
    for (auto _ : state) {
        sdl.window->present();
    }
    if (sdl.window->isPaused()) {
        state.SkipWithError("presenting failed");
    }
    if (state.range(0) == 4 && state.range(1) == 0) {
        state.counters["goal_us"] = 1500;
    }
}
BENCHMARK(BM_PresentFrame)->Args({4, 0})->Args({4, 1})->Args({2, 1})->Unit(benchmark::kMicrosecond);

// Presenting a 16-bit frame against a 32-bit one, both in full screen (where a 2-byte back buffer
// lives), timed in turns in each iteration: "x_32bit" is the 16-bit present's time over the
// 32-bit one's, which should stay within 1.5 ("goal_x_32bit").
void BM_Present16Over32(benchmark::State& state) {
    constexpr int presents = 40;
    double seconds[2] = {0, 0};
    for (auto _ : state) {
        for (const int32_t depth : {4, 2}) {
            SdlWindow sdl(true, depth);
            if (!sdl.window->getBackBuffer() || sdl.window->getBytesPerPixel() != depth) {
                state.SkipWithError("the window could not be made at this depth");
                return;
            }
            sdl.window->present();
            const auto start = std::chrono::steady_clock::now();
            for (int n = 0; n < presents; ++n) {
                sdl.window->present();
            }
            seconds[depth == 2] +=
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        }
    }
    const double frames = static_cast<double>(state.iterations()) * presents;
    state.counters["us_32bit"] = 1e6 * seconds[0] / frames;
    state.counters["us_16bit"] = 1e6 * seconds[1] / frames;
    state.counters["x_32bit"] = seconds[0] > 0 ? seconds[1] / seconds[0] : 0;
    state.counters["goal_x_32bit"] = 1.5;
}
BENCHMARK(BM_Present16Over32)->Iterations(benchCount(5))->Unit(benchmark::kMillisecond);

// The main loop for a second at 60 frames per second with an empty scene: messages, then the
// input handler, move, render and purge passes and the window's present each frame. Reports
// the CPU used as a share of one core.
void BM_IdleFrameLoop(benchmark::State& state) {
    SdlWindow sdl(false, 0);
    GameWindow* window = sdl.window;
    if (!window->getBackBuffer()) {
        state.SkipWithError("the window could not be made");
        return;
    }
    RefHolder<GameTree> scene(new GameTree());
    RefHolder<AnimTree> animations(new AnimTree());
    RefHolder<InputHandler> input(new InputHandler());
    window->getMessageHandler()->addListener(input.get());
    TimedTaskManager frames(sdl.clock);
    frames.setFrameRate(60);
    frames.addTask(input.get());
    frames.addTask(new MoveTask(scene.get(), animations.get()));
    frames.addTask(new RenderTask(scene.get()));
    frames.addTask(window);
    frames.addTask(new PurgeTask(scene.get(), animations.get()));

    double cpuSeconds = 0;
    double wallSeconds = 0;
    int64_t frameCount = 0;
    for (auto _ : state) {
        const std::clock_t cpuStart = std::clock();
        const auto wallStart = std::chrono::steady_clock::now();
        for (int frame = 0; frame < 60; ++frame) {
            MessageRecord record;
            while (sdl.events.nextMessage(record)) {
                window->windowProcedure(record);
            }
            frames.tick();
        }
        cpuSeconds += static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
        wallSeconds +=
            std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
        frameCount += 60;
    }
    window->getMessageHandler()->removeListener(input.get());
    frames.removeTask(window);
    if (window->isPaused()) {
        state.SkipWithError("the window stopped presenting");
    }
    state.counters["cpu_percent_of_core"] = wallSeconds > 0 ? 100.0 * cpuSeconds / wallSeconds : 0;
    state.counters["frames_per_second"] = wallSeconds > 0 ? frameCount / wallSeconds : 0;
}
BENCHMARK(BM_IdleFrameLoop)
    ->Iterations(benchCount(3))
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
