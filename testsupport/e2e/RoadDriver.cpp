#include "testsupport/e2e/RoadDriver.h"

#include <SDL.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>
#include <utility>

#include "framework/core/DataScrambler.h"
#include "framework/core/ProblemLog.h"
#include "framework/core/PropertyStore.h"
#include "framework/gui/Dialog.h"
#include "framework/nodes/Sprite.h"
#include "framework/os/InstanceLock.h"
#include "framework/os/KeyStore.h"
#include "framework/platform/Folders.h"
#include "framework/platform/Image.h"
#include "framework/platform/StatisticsCollector.h"
#include "framework/scene/Scene.h"
#include "framework/scene/SceneManager.h"
#include "game/app/GameListeners.h"
#include "game/app/QuovelMahjongMain.h"
#include "testsupport/e2e/RoadLevels.h"
#include "testsupport/os/FakeAudioMixer.h"
#include "testsupport/os/FakeInstanceLock.h"
#include "testsupport/platform/LoaderPass.h"
#include "testsupport/platform/PictureWriter.h"

namespace {

std::filesystem::path builtGameFolder() {
    return std::filesystem::path(QUOVEL_BINARY_DIR) / "game";
}

// The problem lines (a missing text, widget or picture among them) that the program logs.
std::mutex loggedLock;
std::set<std::string> logged;

}  // namespace

void RoadDriver::TurnClock::sleep(uint32_t ms) {
    FakeClock::sleep(ms);
    waitForALoaderPass();
    owner.gameWaitsForTurn();
}

RoadDriver::RoadDriver(const std::string& road, FolderUse folders)
    : road(road),
      pictureName(folders == KEEP_FOLDERS ? road + "-again" : road),
      home(std::filesystem::path(QUOVEL_BINARY_DIR) / "e2e" / road),
      programFolder(builtGameFolder()) {
    if (folders == FRESH_FOLDERS) {
        std::filesystem::remove_all(home);
    }
    std::filesystem::create_directories(home);
    enterProgramHome(home, keys, display);
    display.desktopDepth = 4;
    keys.writeDword(SETTINGS_KEY, "fullscreen", 0);
    events.cursorX = 400;
    events.cursorY = 300;
    setProblemSink([](const std::string& line) {
        std::lock_guard<std::mutex> lock(loggedLock);
        logged.insert(line);
    });
}

RoadDriver::~RoadDriver() {
    if (running) {
        finish();
    }
    setProblemSink(nullptr);
    RoadCheck logs(logged.empty());
    logs << road << " runs the shipped data: it logs nothing, yet logged:";
    for (const std::string& line : logged) {
        logs << "\n  " << line;
    }
    logged.clear();
    leaveProgramHome();
}

std::set<std::string> RoadDriver::takeProblems() {
    std::lock_guard<std::mutex> lock(loggedLock);
    return std::exchange(logged, {});
}

void enterProgramHome(const std::filesystem::path& home, FakeKeyStore& keys, FakeDisplay& display) {
    setenv("XDG_DATA_HOME", (home / "data").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
    resetFolderCache();
    KeyStore::setCurrentUser(&keys);
    display.screenW = 1280;
    display.screenH = 1024;
}

void leaveProgramHome() {
    KeyStore::setCurrentUser(nullptr);
    resetFolderCache();
}

AppServices fakeProgramServices(const WindowServices& window, SystemInfoSource* systemInfo,
                                std::shared_ptr<AudioMixer> mixer, bool anotherCopyRunning) {
    AppServices given;
    given.window = window;
    given.systemInfo = systemInfo;
    given.mixer = mixer ? std::move(mixer) : std::make_shared<FakeAudioMixer>();
    given.makeInstanceLock = [anotherCopyRunning](const std::string&, const std::string&) {
        auto lock = std::make_unique<FakeInstanceLock>();
        lock->anotherCopyRunning = anotherCopyRunning;
        return std::unique_ptr<InstanceLock>(std::move(lock));
    };
    return given;
}

std::filesystem::path RoadDriver::dataFolder() const {
    return home / "data";
}

std::filesystem::path RoadDriver::gameFolder() const {
    return home / "data/Brastel/Games/Quovel Mahjong";
}

namespace {

std::string fileText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

std::string RoadDriver::statisticsText() const {
    return fileText(gameFolder() / "_temp/gd.xml");
}

std::string RoadDriver::sessionEventsText() const {
    return fileText(home / "session-events.xml");
}

std::string RoadDriver::storedText(const std::string& relativePath) const {
    const std::filesystem::path plain = gameFolder() / relativePath;
    if (std::filesystem::exists(plain)) {
        return fileText(plain);
    }
    std::string text = fileText(gameFolder() / (relativePath + ".!"));
    DataScrambler::apply(reinterpret_cast<uint8_t*>(text.data()), text.size());
    return text;
}

void RoadDriver::playOwnLevels(int32_t groups) {
    if (running) {
        RoadCheck(false) << road << ": its own levels set while the program runs";
        return;
    }
    programFolder = home / "program";
    writeRoadProgram(builtGameFolder(), programFolder, groups);
}

void RoadDriver::start() {
    if (running) {
        RoadCheck(false) << road << ": started twice";
        return;
    }
    if (!logo) {
        if (programFolder == builtGameFolder()) {
            programFolder = home / "program";
            std::filesystem::remove_all(programFolder);
        }
        skipMakersLogo(builtGameFolder(), programFolder);
    }
    installGameListeners();
    running = true;
    gameTurn = true;
    program = std::thread([this] {
        AppServices given = fakeProgramServices(
            {&display, &events, &cursor, &clipboard, &messageBox, &clock}, &systemInfo, mixer);
        // The collector's events, written out at each step of the shut-down while it lasts.
        given.shutDownStep = [this](const char*) {
            if (const StatisticsCollector* collector = getStatisticsCollector()) {
                RefHolder<PropertyStore> store(new PropertyStore());
                auto* list = new PropertyVector("Events");
                store->addChild(list);
                for (const PlayingSessionRecord& session : collector->getSessions()) {
                    for (const RefHolder<PropertyNode>& event : session.events) {
                        list->addChild(event.get());
                    }
                }
                store->setSaveFileName((home / "session-events.xml").string());
                RoadCheck(store->save()) << road << ": the session events not saved";
            }
        };
        const std::filesystem::path before = std::filesystem::current_path();
        const int code = QuovelMahjongMain::runProgram(given, programFolder.string());
        std::filesystem::current_path(before);
        std::lock_guard<std::mutex> lock(turnLock);
        exitCode = code;
        running = false;
        gameTurn = false;
        turnChanged.notify_all();
    });
    std::unique_lock<std::mutex> lock(turnLock);
    turnChanged.wait(lock, [this] { return !gameTurn; });
}

void RoadDriver::gameWaitsForTurn() {
    std::unique_lock<std::mutex> lock(turnLock);
    gameTurn = false;
    turnChanged.notify_all();
    turnChanged.wait(lock, [this] { return gameTurn; });
}

bool RoadDriver::step() {
    std::unique_lock<std::mutex> lock(turnLock);
    if (!running) {
        return false;
    }
    gameTurn = true;
    turnChanged.notify_all();
    turnChanged.wait(lock, [this] { return !gameTurn; });
    return running;
}

int RoadDriver::finish() {
    if (running) {
        events.postQuit(0);
        while (step()) {
        }
    }
    if (program.joinable()) {
        program.join();
    }
    return exitCode;
}

void RoadDriver::run(uint32_t ms) {
    const uint32_t until = now() + ms;
    while (now() < until && step()) {
    }
}

bool RoadDriver::waitFor(const std::function<bool()>& condition, const std::string& what,
                         uint32_t limitMs) {
    const uint32_t start = now();
    while (!condition()) {
        if (now() - start > limitMs) {
            Scene* running = scene();
            RoadCheck(false) << road << ": " << what << " did not happen within " << limitMs
                             << " ms of game time (running: "
                             << (running ? running->getName() : std::string("no scene"))
                             << ", dialogs:" << openDialogNames() << ")";
            return false;
        }
        if (!step()) {
            RoadCheck(false) << road << ": the program ended waiting for " << what;
            return false;
        }
    }
    return true;
}

std::string RoadDriver::openDialogNames() const {
    std::string names;
    if (Scene* running = scene()) {
        for (const auto& open : running->getOpenDialogs()) {
            names += " " + open->getName();
        }
    }
    return names;
}

bool RoadDriver::waitForEnd(uint32_t limitMs) {
    const uint32_t start = now();
    while (step()) {
        if (now() - start > limitMs) {
            RoadCheck(false) << road << ": the program did not end within " << limitMs
                             << " ms of game time";
            return false;
        }
    }
    return true;
}

bool RoadDriver::waitForScene(const std::string& name, uint32_t limitMs) {
    return waitFor(
        [&] {
            Scene* running = scene();
            return running && running->getName() == name;
        },
        "the scene " + name, limitMs);
}

bool RoadDriver::waitForDialog(const std::string& name, uint32_t limitMs) {
    return waitFor([&] { return dialog(name) != nullptr; }, "the dialog " + name, limitMs);
}

Scene* RoadDriver::scene() const {
    SceneManager* manager = running ? SceneManager::getInstance() : nullptr;
    return manager ? manager->getRunningScene() : nullptr;
}

Dialog* RoadDriver::dialog(const std::string& name) const {
    Scene* running = scene();
    if (!running) {
        return nullptr;
    }
    for (const auto& open : running->getOpenDialogs()) {
        if (open->getName() == name && !open->isRemoved()) {
            return open.get();
        }
    }
    return nullptr;
}

GameNode* RoadDriver::find(const std::string& name) const {
    Scene* running = scene();
    if (!running) {
        return nullptr;
    }
    const auto& open = running->getOpenDialogs();
    for (auto it = open.rbegin(); it != open.rend(); ++it) {
        if (GameNode* node = (*it)->searchChild(name)) {
            return node;
        }
    }
    return running->searchChild(name);
}

void RoadDriver::post(uint32_t message, uint32_t wParam, int32_t x, int32_t y) {
    events.push({message, wParam, static_cast<uint32_t>(x) | (static_cast<uint32_t>(y) << 16)});
}

void RoadDriver::moveTo(int32_t x, int32_t y) {
    events.cursorX = x;
    events.cursorY = y;
    post(WM_MOUSEMOVE, 0, x, y);
    step();
}

void RoadDriver::clickAt(int32_t x, int32_t y) {
    moveTo(x, y);
    post(WM_LBUTTONDOWN, MK_LBUTTON, x, y);
    step();
    post(WM_LBUTTONUP, 0, x, y);
    step();
}

void RoadDriver::drag(int32_t fromX, int32_t fromY, int32_t toX, int32_t toY) {
    moveTo(fromX, fromY);
    post(WM_LBUTTONDOWN, MK_LBUTTON, fromX, fromY);
    step();
    constexpr int32_t parts = 4;
    for (int32_t k = 1; k <= parts; ++k) {
        const int32_t x = fromX + (toX - fromX) * k / parts;
        const int32_t y = fromY + (toY - fromY) * k / parts;
        events.cursorX = x;
        events.cursorY = y;
        post(WM_MOUSEMOVE, MK_LBUTTON, x, y);
        step();
    }
    post(WM_LBUTTONUP, 0, toX, toY);
    step();
}

bool RoadDriver::click(const std::string& name) {
    return clickWidget(find(name), name);
}

bool RoadDriver::clickIn(const std::string& dialogName, const std::string& name) {
    Dialog* open = dialog(dialogName);
    return clickWidget(open ? open->searchChild(name) : nullptr, dialogName + "/" + name);
}

bool RoadDriver::clickWidget(GameNode* node, const std::string& name) {
    auto* widget = dynamic_cast<Sprite*>(node);
    if (!widget) {
        RoadCheck(false) << road << ": no widget " << name << " to click";
        return false;
    }
    clickAt(widget->getAbsoluteX() + widget->getWidth() / 2,
            widget->getAbsoluteY() + widget->getHeight() / 2);
    return true;
}

bool RoadDriver::openDialog(const std::string& button, const std::string& dialogName) {
    if (!click(button) || !waitForDialog(dialogName)) {
        return false;
    }
    run(600);
    return true;
}

bool RoadDriver::closeDialog(const std::string& button, const std::string& dialogName) {
    return click(button) && waitFor([&] { return !dialog(dialogName); }, dialogName + " to close");
}

void RoadDriver::press(uint32_t virtualKey) {
    events.push({WM_KEYDOWN, virtualKey, 0});
    step();
    events.push({WM_KEYUP, virtualKey, 0});
    step();
}

void RoadDriver::keyboard(int32_t sdlKey, bool down) {
    SDL_Event event{};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = sdlKey;
    std::vector<MessageRecord> records;
    keyboardTranslator.translate(event, records);
    for (const MessageRecord& record : records) {
        events.push(record);
    }
    step();
}

void RoadDriver::type(const std::wstring& text) {
    for (wchar_t c : text) {
        events.push({WM_CHAR, static_cast<uint32_t>(c), 0});
        step();
    }
}

RefHolder<Image> RoadDriver::window(const std::string& stepName) {
    const SurfaceMemory screen = display.getBackBuffer();
    if (!screen.pixels || screen.bytesPerPixel != 4) {
        RoadCheck(false) << road << ": no 32-bit window to picture at " << stepName;
        return nullptr;
    }
    RefHolder<Image> shown = Image::createImage(screen.width, screen.height, 4);
    for (int32_t y = 0; y < screen.height; ++y) {
        std::memcpy(shown->getPixels() + int64_t{y} * shown->getPitch(),
                    screen.pixels + int64_t{y} * screen.pitch, size_t(screen.width) * 4);
    }
    return shown;
}

RefHolder<Image> RoadDriver::picture(const std::string& stepName) {
    RefHolder<Image> shown = window(stepName);
    if (!shown) {
        return nullptr;
    }
    const std::filesystem::path folder = std::filesystem::path(QUOVEL_BINARY_DIR) / "pictures/e2e";
    std::filesystem::create_directories(folder);
    char number[16];
    std::snprintf(number, sizeof number, "%02d", ++pictures);
    const std::string path =
        (folder / (pictureName + "-" + number + "-" + stepName + ".png")).string();
    RoadCheck(writeImagePng(path, shown.get())) << path << " not written";
    return shown;
}
