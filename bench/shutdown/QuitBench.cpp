// The real program on the game's own services, headless (SDL's dummy video and audio drivers
// unless others are set), driven from the loading screen into the lobby or into a 144-tile
// level and left running there with its sound; bench/shutdown/quit-time.py then quits it and
// times the way out. Prints, each on a line of its own with the monotonic clock's milliseconds:
// "ready" once it has played there for a while, "quit" when it answers the quit question itself
// (mode "answer"), every step of the shut-down as it ends, and "returned" when the program has
// returned; the process then ends as the game's does. "start" quits as soon as the first frame
// has run, for timing a whole run from start to end.
// Usage: quovel-quit-bench lobby|level|start [signal|answer]
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "bench/startup/EnterLevel.h"
#include "framework/os/SdlDisplay.h"
#include "framework/platform/Folders.h"
#include "framework/scene/Scene.h"
#include "game/app/ProgramStart.h"
#include "game/app/QuovelMahjongMain.h"
#include "game/app/RealServices.h"
#include "game/app/SceneLoad.h"

namespace {

// Frames played where the quit is taken before "ready": the scene is in and its music plays.
constexpr int SETTLE_FRAMES = 30;
// Frames after "ready" before the program answers the quit question itself.
constexpr int ANSWER_FRAMES = 30;
// A run that never gets there still ends.
constexpr int64_t FRAME_LIMIT = 60 * 120;

void stamp(const char* what) {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    std::printf("%.3f %s\n", std::chrono::duration<double, std::milli>(now).count(), what);
    std::fflush(stdout);
}

// Looks at the run after every frame.
struct Driver {
    void operator()() {
        SceneManager* scenes = SceneManager::getInstance();
        if (!scenes) {
            return;
        }
        auto* load = objectCast<SceneLoad>(scenes->getScene("SCENE_LOAD"));
        if (!left && load && load->isComplete()) {
            left = true;
            if (toLevel) {
                enterBenchLevel();
            } else {
                scenes->goToScene("SCENE_LOBBY", "TRANSITION_DEFAULT",
                                  SceneManager::QueuedSections::KEEP);
            }
        }
        Scene* current = scenes->getCurrentScene();
        const char* target = toLevel ? "SCENE_GAME" : "SCENE_LOBBY";
        if (!left || !current || current != scenes->getScene(target)) {
            return;
        }
        ++framesThere;
        if (framesThere == SETTLE_FRAMES) {
            stamp("ready");
        } else if (answer && framesThere == SETTLE_FRAMES + ANSWER_FRAMES) {
            stamp("quit");
            QuovelMahjongMain::gameQuit(nullptr);
        }
    }
    bool toLevel = false;
    bool answer = false;
    bool left = false;
    int framesThere = 0;
};

}  // namespace

int main(int argc, char** argv) {
    // A termination signal quits it as it quits the game: one of the quits it times.
    if (const int boxShown = startGameProgram(argc, argv); boxShown >= 0) {
        return boxShown;
    }
    const bool startOnly = argc >= 2 && std::strcmp(argv[1], "start") == 0;
    if (argc < 2 ||
        (std::strcmp(argv[1], "lobby") != 0 && std::strcmp(argv[1], "level") != 0 && !startOnly)) {
        std::fprintf(stderr, "usage: quovel-quit-bench lobby|level|start [signal|answer]\n");
        return 2;
    }
    SdlDisplay display;
    RealServices real(display, true);
    AppServices& services = real.services;
    Driver driver{std::strcmp(argv[1], "level") == 0,
                  argc > 2 && std::strcmp(argv[2], "answer") == 0};
    services.frameDone = [&driver] { driver(); };
    services.quitAfterFrames = startOnly ? 1 : FRAME_LIMIT;
    services.shutDownStep = [](const char* step) { stamp(step); };
    const int result = QuovelMahjongMain::runProgram(services, QUOVEL_GAME_FOLDER);
    stamp("returned");
    return result;
}
