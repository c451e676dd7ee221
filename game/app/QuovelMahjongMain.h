#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "framework/core/BaseObject.h"
#include "framework/core/Hook.h"
#include "framework/nodes/iGuiMethod.h"
#include "framework/platform/GameWindow.h"
#include "game/screen/GameScenes.h"

class AudioMixer;
class InstanceLock;
class SystemInfoSource;

// The operating-system services the program runs on; the real ones in the program, fakes in
// tests. All but the mixer must be given and outlive the run.
struct AppServices {
    // The game window's own services (display, events, cursor, clipboard, message box, clock).
    WindowServices window;
    SystemInfoSource* systemInfo = nullptr;
    // Null: the game runs silent.
    std::shared_ptr<AudioMixer> mixer;
    // Makes the single-instance lock once the game's name is known (folder, name).
    std::function<std::unique_ptr<InstanceLock>(const std::string&, const std::string&)>
        makeInstanceLock;
    // Above 0: the quit message is posted after that many frames (headless runs).
    int64_t quitAfterFrames = 0;
    // Called after every frame of the frame loop: drivers look at the running program here.
    std::function<void()> frameDone;
    // Told the name of each step of the shut-down as it ends (the quit bench times them).
    std::function<void(const char* step)> shutDownStep;
};

// The application: starts every long-lived service in a fixed order, runs the frame loop until
// the quit message, and (through runProgram) saves after a normal run and releases the
// services in a fixed order. It also asks the quit question of the game's scenes.
class QuovelMahjongMain : public BaseObject {
    QUOVEL_TYPE(QuovelMahjongMain)
public:
    // Exit codes of run and runProgram.
    static constexpr int NORMAL_RUN = 0;
    static constexpr int REFUSED_START = 1;
    // No display to open the window on, or the game's data cannot be read: the player is told
    // and nothing is written.
    static constexpr int CANNOT_START = 2;
    // Told when the property files cannot be read; the texts are among them, so this one has
    // its own words when its text is missing.
    static constexpr const char* DAMAGED_DATA_KEY = "CTEXT_DATA_DAMAGED";
    static constexpr const char* DAMAGED_DATA_TEXT =
        "The game's data file media.dat is missing\nor damaged. Please reinstall the game.";
    static constexpr const char* NO_DISPLAY_TEXT = "no display found";
    // Longest wait for resource sections at start-up, before the quit question and wherever
    // the resource manager is asked to wait; a section still not loaded then is logged and the
    // game goes on with what loaded. The application gives it and its clock to the manager.
    static constexpr uint32_t SECTION_WAIT_LIMIT_MS = 10000;

    // The whole program: works from `programFolder` (unchanged when empty), runs the
    // application and shuts down. Returns 0 after a normal run, 1 when start-up was refused,
    // 2 when it cannot start: also, reported as a developer's mistake, when the game's wiring
    // (installGameListeners) is missing.
    static int runProgram(const AppServices& services, const std::string& programFolder);

    static QuovelMahjongMain* createInstance(const AppServices& services);
    static QuovelMahjongMain* getInstance();
    static void releaseInstance();

    explicit QuovelMahjongMain(const AppServices& services);
    ~QuovelMahjongMain() override;

    // Start-up, then the frame loop; 1 at once when another copy runs, 2 without a display or
    // readable data.
    int run();

    // Opens the quit question on the current scene, unless it is open there already.
    static void askQuit();

    // Which of the game's listeners are empty, in words for the developer; empty when all are
    // in place. Filled by installGameListeners, the wiring it checks: empty, it says so itself.
    static inline Hook<std::string()> missingWiring;

    // The question's "yes": records the quit for the statistics and posts the quit message.
    static int32_t gameQuit(BaseObject* sender);
    // Records the quit for the statistics.
    static void noteGameQuit();

    // Sleeps on the application's clock; nothing without an application.
    static void sleep(uint32_t milliseconds);

private:
    // Tells the player, on stderr as well, why the game cannot start.
    void tellCannotStart(const std::string& text);
    void startServices();
    void frameLoop();
    // Shut-down: the saves of a normal run, then every service released in order.
    static void shutDown(bool normal, const std::function<void(const char*)>& stepDone);

    AppServices services;
};
