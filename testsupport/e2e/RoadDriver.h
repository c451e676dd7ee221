#pragma once

// Plays the whole program as a person would: the real start-up (QuovelMahjongMain::runProgram)
// runs on its own thread over fake operating-system services, and stops at every sleep of its
// clock, which moves simulated time on. Between two sleeps the road looks at the live scene
// graph, sends mouse moves, clicks and keys through the event source, waits on states with a
// simulated-time limit, and writes what the window shows to build/pictures/e2e/<road>-<step>.png.

#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <source_location>
#include <sstream>
#include <string>
#include <thread>

#include "framework/core/Hook.h"
#include "framework/core/RefHolder.h"
#include "framework/os/EventTranslator.h"
#include "framework/platform/Image.h"
#include "testsupport/os/FakeClipboard.h"
#include "testsupport/os/FakeClock.h"
#include "testsupport/os/FakeCursor.h"
#include "testsupport/os/FakeDisplay.h"
#include "testsupport/os/FakeEventSource.h"
#include "testsupport/os/FakeKeyStore.h"
#include "testsupport/os/FakeMessageBox.h"
#include "testsupport/os/FakeSystemInfoSource.h"

// A road's check, streamed into like a test's; a failed one goes to `report` with its place: the
// test program fails the running test, the route bench prints it and ends its walk non-zero.
class RoadCheck {
public:
    static inline Hook<void(const char* file, int line, const std::string& message)> report{
        MustBeFilled{"RoadCheck::report", "the test program's main or the route bench"}};
    explicit RoadCheck(bool holds, std::source_location where = std::source_location::current())
        : holds(holds), where(where) {}
    ~RoadCheck() {
        if (!holds) {
            report(where.file_name(), int(where.line()), text.str());
        }
    }
    template <typename Part>
    RoadCheck& operator<<(const Part& part) {
        text << part;
        return *this;
    }

private:
    bool holds;
    std::source_location where;
    std::ostringstream text;
};

class AudioMixer;
class Dialog;
class SystemInfoSource;
struct AppServices;
struct WindowServices;

// A program run's surroundings: its data and config folders under `home`, the key store, and
// a desktop larger than the game (the window keeps its windowed setting). leaveProgramHome
// puts the process back.
void enterProgramHome(const std::filesystem::path& home, FakeKeyStore& keys, FakeDisplay& display);
void leaveProgramHome();
// The program's services on fakes: the window's, the system's, `mixer` (a fake one when null)
// and a fake single-instance lock, which finds another copy running when told.
AppServices fakeProgramServices(const WindowServices& window, SystemInfoSource* systemInfo,
                                std::shared_ptr<AudioMixer> mixer, bool anotherCopyRunning = false);
class GameNode;
class Scene;

class RoadDriver {
public:
    // The game's settings in the key store.
    static constexpr const char* SETTINGS_KEY = "Software\\Brastel\\Games\\QuovelMahjong";

    enum FolderUse { FRESH_FOLDERS, KEEP_FOLDERS };
    // The road's own data and config folders under build/e2e/<road>, emptied first unless
    // kept from an earlier run of the road (whose pictures are then named <road>-again).
    explicit RoadDriver(const std::string& road, FolderUse folders = FRESH_FOLDERS);
    ~RoadDriver();
    RoadDriver(const RoadDriver&) = delete;
    RoadDriver& operator=(const RoadDriver&) = delete;

    // Before start: the road plays its own levels, each of `groups` matching groups on one
    // row of free tiles, in place of the shipped ones (see RoadLevels.h).
    void playOwnLevels(int32_t groups = 1);
    // Before start: the program plays the maker's logo, as shipped. Other roads skip it.
    void showLogo() { logo = true; }
    bool showsLogo() const { return logo; }
    // Starts the program and runs it to its first sleep.
    void start();
    // Posts the quit message and runs the program to its end; its exit code.
    int finish();
    bool isRunning() const { return running; }

    // Lets the program run to its next sleep (one frame once the frame loop runs); false when
    // the program has ended.
    bool step();
    // Runs frames for about `ms` of simulated time.
    void run(uint32_t ms);
    // Runs until `condition` holds; fails the test, naming `what`, when simulated time passes
    // `limitMs` first or the program ends.
    bool waitFor(const std::function<bool()>& condition, const std::string& what,
                 uint32_t limitMs = 20000);
    bool waitForScene(const std::string& name, uint32_t limitMs = 60000);
    bool waitForDialog(const std::string& name, uint32_t limitMs = 20000);
    // Runs until the program ends by itself; fails the test past the limit.
    bool waitForEnd(uint32_t limitMs = 20000);

    // The scene the frames run, or null.
    Scene* scene() const;
    // A node by name: in the topmost open dialog that has it, else in the running scene.
    GameNode* find(const std::string& name) const;
    Dialog* dialog(const std::string& name) const;
    // The names of the open dialogs, each after a blank.
    std::string openDialogNames() const;

    // Synthetic input through the event source, handled on the next frames.
    void moveTo(int32_t x, int32_t y);
    void clickAt(int32_t x, int32_t y);
    // The left button held from one point to another, a frame at each of a few points between.
    void drag(int32_t fromX, int32_t fromY, int32_t toX, int32_t toY);
    // Moves onto the centre of the named widget and clicks it; fails the test when missing.
    bool click(const std::string& name);
    // The same for a widget of the named open dialog.
    bool clickIn(const std::string& dialogName, const std::string& name);
    // The same for a widget at hand; `name` names it in the failure.
    bool clickWidget(GameNode* node, const std::string& name);
    void press(uint32_t virtualKey);
    // One SDL key pressed or let go, translated as the game's own event source does (Alt and
    // the keys pressed with it held make the system form).
    void keyboard(int32_t sdlKey, bool down);
    // A click on `button`, then true once `dialogName` is open and has faded in.
    bool openDialog(const std::string& button, const std::string& dialogName);
    // A click on `button`, then true once `dialogName` has closed.
    bool closeDialog(const std::string& button, const std::string& dialogName);
    void type(const std::wstring& text);

    // What the window shows now, or null (a failure naming `step`) when it has no 32-bit one.
    RefHolder<Image> window(const std::string& step = "a look");
    // The same, written as build/pictures/e2e/<road>-<NN>-<step>.png.
    RefHolder<Image> picture(const std::string& step);

    uint32_t now() { return clock.milliseconds(); }
    std::filesystem::path dataFolder() const;
    std::filesystem::path gameFolder() const;
    // The statistics file as text (empty when missing).
    std::string statisticsText() const;
    // The events of the playing sessions as the statistics collector held them when the last
    // run ended, in the property files' XML form.
    std::string sessionEventsText() const;
    // A file of the game folder as the game reads it: a scrambled one ("<name>.!") is
    // unscrambled. Empty when missing.
    std::string storedText(const std::string& relativePath) const;
    // The folder the program runs from (its own levels' when it plays them).
    const std::filesystem::path& installation() const { return programFolder; }
    // The problem lines logged so far, which the road then expects: taken, they no longer fail
    // it when it ends.
    std::set<std::string> takeProblems();

    FakeKeyStore keys;
    FakeEventSource events;
    FakeDisplay display;
    // The system's message boxes the program showed, in order.
    FakeMessageBox messageBox;
    // The program's mixer when set before start (a fake one otherwise).
    std::shared_ptr<AudioMixer> mixer;

private:
    // Sleeps hand the turn to the road and wait for it back.
    struct TurnClock : FakeClock {
        explicit TurnClock(RoadDriver& owner) : owner(owner) {}
        void sleep(uint32_t ms) override;
        RoadDriver& owner;
    };
    void gameWaitsForTurn();
    void post(uint32_t message, uint32_t wParam, int32_t x, int32_t y);

    std::string road;
    std::string pictureName;
    std::filesystem::path home;
    std::filesystem::path programFolder;
    FakeCursor cursor;
    FakeClipboard clipboard;
    FakeSystemInfoSource systemInfo;
    EventTranslator keyboardTranslator;
    TurnClock clock{*this};

    std::thread program;
    std::mutex turnLock;
    std::condition_variable turnChanged;
    bool gameTurn = false;
    bool running = false;
    int exitCode = -1;
    int pictures = 0;
    bool logo = false;
};
