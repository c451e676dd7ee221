#include "game/app/QuovelMahjongMain.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

#include "framework/core/BasicProperties.h"
#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/ProblemLog.h"
#include "framework/core/PropertyFileHooks.h"
#include "framework/core/Random.h"
#include "framework/core/ScreenSize.h"
#include "framework/gui/GuiDefinitions.h"
#include "framework/os/Clock.h"
#include "framework/os/Display.h"
#include "framework/os/EventSource.h"
#include "framework/os/FileSystem.h"
#include "framework/os/InstanceLock.h"
#include "framework/os/MessageBox.h"
#include "framework/os/ProcessHeap.h"
#include "framework/os/SystemInfo.h"
#include "framework/os/Utf8.h"
#include "framework/platform/DamagedFile.h"
#include "framework/platform/FileArchive.h"
#include "framework/platform/Folders.h"
#include "framework/platform/GameWindow.h"
#include "framework/platform/HighScoreManager.h"
#include "framework/platform/ImageManager.h"
#include "framework/platform/Logger.h"
#include "framework/platform/PlayerManager.h"
#include "framework/platform/ResourceManager.h"
#include "framework/platform/SettingsManager.h"
#include "framework/platform/SoundManager.h"
#include "framework/platform/StatisticsCollector.h"
#include "framework/platform/TimedTaskManager.h"
#include "framework/scene/FullScreenHandler.h"
#include "framework/scene/SceneManager.h"
#include "game/app/GuiDefinitionsLoad.h"
#include "game/dialogs/DialogYesNo.h"
#include "game/dialogs/QuovelMahjongGameSettings.h"
#include "game/profile/PlayerFileReport.h"
#include "game/rules/Game.h"
#include "game/rules/GameHooks.h"
#include "game/rules/Level.h"
#include "game/rules/LevelCatalog.h"
#include "game/rules/TileManager.h"
#include "game/screen/PlayScreen.h"
#include "game/screen/SavedGameKeeper.h"
#include "game/screen/SceneQuovelMahjong.h"

QUOVEL_DEFINE_TYPE(QuovelMahjongMain, &BaseObject::typeRecord)

namespace {

constexpr int32_t ICON_ID = 102;
constexpr int32_t CURSOR_STARTING = 1;
constexpr int32_t FRAME_RATE = 60;
// The frame loop's wait between messages while the window is paused.
constexpr uint32_t PAUSED_LOOP_SLEEP_MS = 40;
constexpr uint32_t STARTUP_POLL_MS = 10;
constexpr int SOUND_RATE = 44100;
constexpr int SOUND_CHANNELS = 32;
constexpr const char* RESOURCE_FILE = "media/properties/resources.xml";
constexpr const char* FULL_SCREEN_SETUP = "DEFAULT_FSH";
// The full-screen frame's place, the picture's top-right corner: its buttons line up leftward
// from here.
constexpr int32_t FULL_SCREEN_X = 800;
constexpr int32_t FULL_SCREEN_Y = 0;
constexpr const char* QUIT_HEADER_KEY = "CTEXT_QUIT_HEADER";
constexpr const char* QUIT_NOT_KEPT_KEY = "CTEXT_QUESTION_QUIT_NOT_KEPT";
constexpr const char* QUIT_NOT_SAVED_KEY = "CTEXT_QUESTION_QUIT_NOT_SAVED";
constexpr const char* QUIT_FLOOR_KEY = "CTEXT_QUESTION_QUIT_FLOOR";
constexpr const char* QUIT_LEVEL_LOST_KEY = "CTEXT_QUIT_LEVEL_LOST";
constexpr uint32_t QUIT_POLL_MS = 1;

QuovelMahjongMain* application = nullptr;
// Held from the single-instance check until the process has shut down.
std::unique_ptr<InstanceLock> instanceLock;

// Whether a level of the floors is in play: floor levels are not saved, so leaving counts it as
// lost.
bool floorLevelInPlay() {
    PlayScreen* screen = PlayScreen::fromHost();
    return screen && GameHooks::isGameSceneShown() && currentRoomKind() == RoomKind::FLOORS &&
           screen->getSavedGame().getMode() == SavedGameKeeper::SAVE_RUNNING;
}

// The quit question when what the player would keep is not on the disk: held unread (its file
// left as it was found, never saved over), else its last write failed (tried again at the end);
// either says so of a floor level in play. Empty when everything is saved and no floor level is
// in play: only then may the question say that the progress is kept.
std::wstring notKeptQuestion() {
    const bool levelLost = floorLevelInPlay();
    const auto asked = [levelLost](const char* key, const std::string& what) {
        return stringToWString(
            GameHooks::messageText(key, what) +
            (levelLost ? " " + GameHooks::messageText(QUIT_LEVEL_LOST_KEY) : std::string()));
    };
    PlayerManager* players = PlayerManager::getInstance();
    AbstractPlayer* player = players ? players->getCurrentPlayer() : nullptr;
    std::vector<PlayerFileReport::SavedFiles> held, failed;
    if (player && players->isProfileHeld(player->getName())) {
        held.push_back(PlayerFileReport::SavedFiles::PLAYERS);
    }
    const Game* game = Game::current();
    const Level* level = game ? game->getLevel() : nullptr;
    if (player && level && GameHooks::isGameSceneShown() &&
        players->isSaveGameHeld(std::to_string(static_cast<int32_t>(level->getGameMode())),
                                player->getName())) {
        held.push_back(PlayerFileReport::SavedFiles::SAVED_GAME);
    }
    if (!held.empty()) {
        return asked(QUIT_NOT_KEPT_KEY, PlayerFileReport::notSaved(held));
    }
    // Each kind the end saves again; of the games in progress, those the screen holds unsaved.
    PlayScreen* screen = PlayScreen::fromHost();
    for (size_t kind = 0; kind < static_cast<size_t>(PlayerFileReport::SavedFiles::COUNT); ++kind) {
        const auto files = static_cast<PlayerFileReport::SavedFiles>(kind);
        if (files == PlayerFileReport::SavedFiles::SAVED_GAME
                ? screen && screen->getSavedGame().holdsUnsaved()
                : PlayerFileReport::lastSaveFailed(files)) {
            failed.push_back(files);
        }
    }
    if (!failed.empty()) {
        return asked(QUIT_NOT_SAVED_KEY, PlayerFileReport::notSaved(failed, true));
    }
    return levelLost ? stringToWString(GameHooks::messageText(QUIT_FLOOR_KEY)) : std::wstring();
}

// Whether a failed write was of a file in the data folder, not of the settings' key store;
// `otherwise` for one that names no file.
bool inDataFolder(const FailedWrite& failed, bool otherwise) {
    return failed.path.empty() ? otherwise : failed.path.starts_with(getGameDataFolder() + "/");
}

void logFailedResources(ResourceManager& resources, const char* const* sectionNames, size_t count) {
    for (size_t index = 0; index < count; ++index) {
        for (const auto& [key, fileName] : resources.failedResources(sectionNames[index])) {
            std::fprintf(stderr, "Resource %s/%s (%s) failed to load\n", sectionNames[index],
                         key.c_str(), fileName.c_str());
        }
    }
}

}  // namespace

QuovelMahjongMain::QuovelMahjongMain(const AppServices& services) : services(services) {
    ResourceManager::setUrgentWait(services.window.clock, SECTION_WAIT_LIMIT_MS);
}

QuovelMahjongMain::~QuovelMahjongMain() {
    ResourceManager::setUrgentWait(nullptr, 0);
}

QuovelMahjongMain* QuovelMahjongMain::createInstance(const AppServices& services) {
    if (!application) {
        application = new QuovelMahjongMain(services);
        application->addRef();
    }
    return application;
}

QuovelMahjongMain* QuovelMahjongMain::getInstance() {
    return application;
}

void QuovelMahjongMain::releaseInstance() {
    if (QuovelMahjongMain* old = application) {
        application = nullptr;
        old->release();
    }
}

int QuovelMahjongMain::runProgram(const AppServices& services, const std::string& programFolder) {
    // Without its wiring the game would misread its own files as missing and send the player
    // to reinstall: the developer is told what is missing instead.
    std::string missing = missingWiring.isInstalled()
                              ? missingWiring()
                              : "installGameListeners() was not called, so the game's "
                                "listeners are empty";
    if (!PropertyFileHooks::isInstalled()) {
        missing =
            "the property-file hooks are empty, so no property file can be read "
            "(installGameListeners fills them through "
            "FileArchive::installPropertyFileHooks)" +
            (missing.empty() ? "" : "; " + missing);
    }
    if (!missing.empty()) {
        reportMistake("QuovelMahjongMain::runProgram does not start the game: " + missing);
        return CANNOT_START;
    }
    if (!programFolder.empty()) {
        std::error_code ignored;
        std::filesystem::current_path(programFolder, ignored);
    }
    const int result = createInstance(services)->run();
    releaseInstance();
    shutDown(result == NORMAL_RUN, services.shutDownStep);
    GameWindow::setInstanceLock(nullptr);
    instanceLock.reset();
    return result;
}

int QuovelMahjongMain::run() {
    // Nothing runs without a screen: not the invisible window of a display that is none.
    if (services.window.display->screenWidth() <= 0) {
        const std::string why = services.window.display->startFailure();
        std::fprintf(stderr, "%s: %s%s\n", GameHooks::GAME_TITLE, NO_DISPLAY_TEXT,
                     why.empty() ? "" : (" (" + why + ")").c_str());
        if (!why.empty()) {
            logProblem(std::string(NO_DISPLAY_TEXT) + ": " + why);
        }
        return CANNOT_START;
    }
    Logger::instance();
    FileArchive::open(FileSource::LOOSE_FILES, std::string());
    BasicProperties::createInstance();
    GuiDefinitions::instance();
    // The level catalogues are read now, so that a damaged one is told as damaged data before
    // anything is written, not room by room.
    if (!loadGuiDefinitions() || BasicProperties::getGameName().empty() ||
        !LevelCatalog::instance()->isWhole()) {
        BasicProperties* globals = BasicProperties::instance();
        tellCannotStart(globals->hasText(DAMAGED_DATA_KEY)
                            ? GameHooks::messageText(DAMAGED_DATA_KEY)
                            : std::string(DAMAGED_DATA_TEXT));
        return CANNOT_START;
    }

    instanceLock = services.makeInstanceLock(getGameDataFolder(), BasicProperties::getGameName());
    if (GameWindow::checkSingleInstance(*instanceLock, *services.window.display)) {
        return REFUSED_START;
    }
    removeStaleTemporaryFiles();
    startServices();
    frameLoop();
    return NORMAL_RUN;
}

void QuovelMahjongMain::tellCannotStart(const std::string& text) {
    if (!services.window.messageBox->show(GameHooks::GAME_TITLE, text)) {
        std::fprintf(stderr, "%s: %s\n", GameHooks::GAME_TITLE, text.c_str());
    }
}

void QuovelMahjongMain::startServices() {
    processHeap::keepLargeBlocksSeparate();
    Clock& clock = *services.window.clock;
    BasicProperties& properties = *BasicProperties::instance();
    ImageManager::createInstance(properties.getBoolean("AUTO_COMPRESS"));
    const uint32_t seed = clock.milliseconds();
    Random::createInstance(seed);
    std::srand(seed);
    SceneManager::createInstance();

    // Settings and player files that fail to load or save are told through the session's
    // message box.
    GameHooks::installMessageBox(services.window.messageBox);
    PlayerFileReport::reset();
    fileSetAside.install(&PlayerFileReport::keptUnreadable);
    fileMissing.install(&PlayerFileReport::missing);
    SettingsManager::savedListener.install(&PlayerFileReport::settingsSaved);
    SettingsManager::createInstance(new QuovelMahjongGameSettings());
    IGameSettings* settings = SettingsManager::instance()->getSettings();
    // The player's files are read before the window opens: a box about one of them stands
    // alone, not over a window that nothing has been drawn in yet.
    HighScoreManager::createInstance(std::string(), true);
    HighScoreManager::getInstance()->load();
    PlayerManager::createInstance(std::string(), true);
    PlayerManager::getInstance()->setRebuiltPlayerClass("QuovelMahjongPlayer");
    PlayerManager::getInstance()->loadPlayers();
    const bool smallDesktop = services.window.display->screenWidth() <= SCREEN_WIDTH &&
                              services.window.display->screenHeight() <= SCREEN_HEIGHT;
    const bool fullScreen = settings->getFullscreen() || smallDesktop;
    GameWindow* window =
        GameWindow::createInstance(services.window, properties.getString("GAME_NAME"), SCREEN_WIDTH,
                                   SCREEN_HEIGHT, fullScreen, 0, ICON_ID, false);
    window->setCursorKind(CURSOR_STARTING);
    // Under X, showing a full-screen window waits up to 100 ms for a window manager's answer:
    // that one is shown once the loader has the first sections to get on with, a window at once.
    const bool showFirst = !window->isFullScreen();
    if (showFirst) {
        window->show();
    }

    SoundManager* sound = SoundManager::init(SOUND_RATE, SOUND_CHANNELS, services.mixer);
    if (SoundManager::isSoundAvailable()) {
        sound->setMusicVolume(settings->getMusicVolume());
        sound->setEffectsVolume(settings->getSoundVolume());
    }

    ResourceManager* resources = ResourceManager::createInstance();
    resources->loadSectionList(RESOURCE_FILE);
    resources->setReady();
    static constexpr const char* firstSections[] = {"splash", "music", "preloading"};
    for (const char* section : firstSections) {
        resources->requestSectionLoad(section);
    }
    if (!showFirst) {
        window->show();
    }
    // The log's name and the system report are written durably (synced to the disk): done
    // while the first sections load, not before the window shows. A full disk they meet is
    // told now, in the words of a start; what the files set aside met was told with them.
    FileSystem::takeWriteFailure();
    Logger::instance().registerGameLogFile(clock);
    const FailedWrite logName = FileSystem::takeFailedWrite();
    initGameStatistics(clock, *services.systemInfo);
    const FailedWrite report = FileSystem::takeFailedWrite();
    bool diskFull[2] = {false, false};  // the settings' folder, the data folder
    for (const FailedWrite* failed : {&logName, &report}) {
        diskFull[inDataFolder(*failed, failed == &report)] |=
            failed->why == WriteFailure::DISK_FULL;
    }
    PlayerFileReport::tellFullDiskAtStart(diskFull[0], diskFull[1]);
    resources->waitForUrgentSections(STARTUP_POLL_MS);
    logFailedResources(*resources, firstSections, std::size(firstSections));
    resources->clearQueue();
    for (const char* section : {"default", "lobby", "trophy", "game"}) {
        resources->requestSectionLoad(section);
    }

    SceneManager* manager = SceneManager::getInstance();
    GameScenes& scenes = gameScenes();
    manager->createScene("SCENE_SPLASH");
    scenes.casino = manager->createScene("SCENE_CASINO");
    scenes.elevator = manager->createScene("SCENE_ELEVATOR");
    scenes.game = manager->createScene("SCENE_GAME");
    scenes.hallway = manager->createScene("SCENE_HALLWAY");
    scenes.load = manager->createScene("SCENE_LOAD");
    scenes.lobby = manager->createScene("SCENE_LOBBY");
    scenes.recroom = manager->createScene("SCENE_RECROOM");
    scenes.roof = manager->createScene("SCENE_ROOF");
    manager->goToScene("SCENE_SPLASH", "", SceneManager::QueuedSections::KEEP);

    TimedTaskManager* frames = TimedTaskManager::createInstance(clock);
    frames->setFrameRate(FRAME_RATE);
    frames->addTask(manager);
    frames->addTask(window);
    frames->addTask(ImageManager::getInstance());
    frames->addTask(sound);

    if (FullScreenHandler* frame = FullScreenHandler::createSetup(FULL_SCREEN_SETUP)) {
        frame->setX(FULL_SCREEN_X);
        frame->setY(FULL_SCREEN_Y);
    }
    TileManager::createInstance();
}

void QuovelMahjongMain::frameLoop() {
    EventSource& events = *services.window.events;
    GameWindow* window = GameWindow::getInstance();
    TimedTaskManager* frames = TimedTaskManager::getInstance();
    int64_t frameCount = 0;
    for (;;) {
        MessageRecord message;
        if (events.nextMessage(message)) {
            if (message.message == WM_QUIT) {
                if (message.wParam == EventSource::SIGNAL_QUIT_CODE) {
                    noteGameQuit();  // ended from outside: as if the player had said "yes"
                }
                return;
            }
            window->windowProcedure(message);
        } else if (window->isPaused()) {
            window->answerRaiseRequest();
            services.window.clock->sleep(PAUSED_LOOP_SLEEP_MS);
        } else {
            frames->tick();
            if (services.frameDone) {
                services.frameDone();
            }
            if (++frameCount == services.quitAfterFrames) {
                events.postQuit(0);
            }
        }
    }
}

void QuovelMahjongMain::sleep(uint32_t milliseconds) {
    if (QuovelMahjongMain* self = getInstance()) {
        self->services.window.clock->sleep(milliseconds);
    }
}

void QuovelMahjongMain::askQuit() {
    SceneManager* manager = SceneManager::getInstance();
    Scene* scene = manager ? manager->getCurrentScene() : nullptr;
    if (!scene || scene->isDialogOpen(SceneQuovelMahjong::QUIT_QUESTION_KEY)) {
        return;
    }
    if (ResourceManager* resources = ResourceManager::getInstance()) {
        resources->requestSectionLoad("default");
        resources->waitForUrgentSections(QUIT_POLL_MS);
    }
    // Without a question to ask, the request counts as answered "yes".
    Dialog* question =
        DialogYesNo::ask(SceneQuovelMahjong::QUIT_QUESTION_KEY, QUIT_HEADER_KEY,
                         callback<&QuovelMahjongMain::gameQuit>(), {}, scene, notKeptQuestion());
    if (!question) {
        gameQuit(nullptr);
        return;
    }
    scene->openDialog(question);
}

void QuovelMahjongMain::noteGameQuit() {
    if (PropertyNode* event = Game::addCustomEvent()) {
        event->addBool("gameQuit", true, false);
    }
}

int32_t QuovelMahjongMain::gameQuit(BaseObject*) {
    noteGameQuit();
    if (QuovelMahjongMain* self = getInstance()) {
        self->services.window.events->postQuit(0);
    }
    return 0;
}

void QuovelMahjongMain::shutDown(bool normal, const std::function<void(const char*)>& stepDone) {
    const auto done = [&stepDone](const char* step) {
        if (stepDone) {
            stepDone(step);
        }
    };
    done("frame loop");
    // What is not saved now is lost: each kind that fails is named, told before or not.
    PlayerFileReport::gatherFailures();
    if (normal) {
        if (Game* game = Game::current()) {
            Game::endLevelSession(game);
        }
        if (StatisticsCollector* collector = getStatisticsCollector();
            collector && !collector->isClosed()) {
            collector->closePlayingSession();
        }
        done("level session");
        if (HighScoreManager* scores = HighScoreManager::getInstance()) {
            PlayerFileReport::saved(PlayerFileReport::SavedFiles::HIGH_SCORES, scores->save());
        }
        done("high scores saved");
        // Every profile whose last write failed is tried again: what fails now is lost.
        PlayerFileReport::savePlayers(true);
        done("players saved");
        if (GameWindow* window = GameWindow::getInstance()) {
            window->destroyWindow();
        }
        done("window destroyed");
    }
    ImageManager::destroyInstance();
    FullScreenHandler::releaseInstance();
    TimedTaskManager::releaseInstance();
    gameScenes() = GameScenes();
    SceneManager::releaseInstance();
    PlayerManager::releaseInstance();
    GuiDefinitions::releaseInstance();
    GameWindow::releaseInstance();
    done("scenes and window released");
    SoundManager::releaseInstance();
    done("sound manager released");
    ResourceManager::stopLoader();
    done("loader stopped");
    HighScoreManager::releaseInstance();
    if (SettingsManager* settings = SettingsManager::instance()) {
        settings->saveToRegistry();
    }
    // Told while the settings can still name their folder.
    PlayerFileReport::tellGathered();
    SettingsManager::releaseInstance();
    done("settings saved");
    ObjectFactoryContainer::releaseInstance();
    Random::releaseInstance();
    writeGameStatistics();
    done("statistics written");
    BasicProperties::releaseInstance();
    FileArchive::close();
    TileManager::releaseInstance();
    LevelCatalog::releaseInstance();
    // The current game outlives every scene; nothing after this reads it.
    Game::releaseCurrent();
    fileSetAside.install(nullptr);
    fileMissing.install(nullptr);
    SettingsManager::savedListener.install(nullptr);
    GameHooks::installMessageBox(nullptr);
    done("services released");
}
