#pragma once

// The game's process-wide services as the tests of its scenes and dialogs stand them up: run
// from the game's folder with the per-user files in a fresh folder, each service made on
// request, and all of them released together in the one order that holds.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <vector>

#include "app/SceneFrames.h"
#include "framework/core/BasicProperties.h"
#include "framework/core/PropertyStore.h"
#include "framework/core/Random.h"
#include "framework/gui/GuiDefinitions.h"
#include "framework/platform/DisplayDepth.h"
#include "framework/platform/FileArchive.h"
#include "framework/platform/Folders.h"
#include "framework/platform/GameWindow.h"
#include "framework/platform/HighScoreManager.h"
#include "framework/platform/ImageManager.h"
#include "framework/platform/InputHandler.h"
#include "framework/platform/PlayerManager.h"
#include "framework/platform/ResourceManager.h"
#include "framework/platform/SettingsManager.h"
#include "framework/platform/SoundManager.h"
#include "framework/scene/SceneManager.h"
#include "game/app/GameListeners.h"
#include "game/app/GuiDefinitionsLoad.h"
#include "game/app/QuovelMahjongMain.h"
#include "game/profile/PlayerFileReport.h"
#include "game/profile/QuovelMahjongPlayer.h"
#include "game/rules/Game.h"
#include "game/rules/GameClassic.h"
#include "game/rules/GameHooks.h"
#include "game/rules/LevelCatalog.h"
#include "game/rules/TileManager.h"
#include "game/rules/TuningConstants.h"
#include "rules/GameTestSupport.h"
#include "testsupport/ScopedEnvironment.h"
#include "testsupport/TempFolder.h"
#include "testsupport/os/FakeAudioMixer.h"
#include "testsupport/os/FakeClipboard.h"
#include "testsupport/os/FakeClock.h"
#include "testsupport/os/FakeCursor.h"
#include "testsupport/os/FakeDisplay.h"
#include "testsupport/os/FakeEventSource.h"
#include "testsupport/os/FakeMessageBox.h"

class GameServicesTest : public ::testing::Test {
protected:
    // The scenes go first, while everything they use on their way out is still there: the
    // game scene saves a running room game, dealing its next level for a won one with the
    // catalogue, the tiles, the random source and the player. The current game outlives the
    // scenes; the services follow in the reverse of their making, and the globals they loaded
    // (the tuning constants, the told file failures) go back to a fresh program's.
    void TearDown() override {
        gameScenes() = GameScenes();
        installGameListeners();
        SceneManager::releaseInstance();
        Game::releaseCurrent();
        LevelCatalog::releaseInstance();
        TileManager::releaseInstance();
        GameWindow::releaseInstance();
        setDisplayBytesPerPixel(4);
        SettingsManager::releaseInstance();
        HighScoreManager::releaseInstance();
        PlayerManager::releaseInstance();
        ResourceManager::stopLoader();
        if (ownsImageManager) {
            ImageManager::destroyInstance();
        }
        SoundManager::releaseInstance();
        Random::releaseInstance();
        GuiDefinitions::releaseInstance();
        BasicProperties::releaseInstance();
        loadTuningConstants();
        PlayerFileReport::reset();
    }

    // The global properties and the game's GUI definitions, with the random source when seeded.
    void startDefinitions(uint32_t seed = 0) {
        FileArchive::close();
        BasicProperties::createInstance();
        loadGuiDefinitions();
        if (seed != 0) {
            Random::createInstance(seed);
        }
    }
    // The image manager, released at the end only when this test made it.
    void startImages() {
        ownsImageManager = ImageManager::getInstance() == nullptr;
        ImageManager::createInstance(false);
    }
    // A recording mixer behind the sound manager, so that what plays can be heard.
    void startSound() {
        mixer = std::make_shared<FakeAudioMixer>();
        SoundManager::init(44100, 32, mixer);
    }
    // The player manager with a first player, who is the current one.
    QuovelMahjongPlayer* addPlayer(const char* name = "Ann") {
        if (PlayerManager::getInstance() == nullptr) {
            PlayerManager::createInstance("", false);
        }
        return static_cast<QuovelMahjongPlayer*>(
            PlayerManager::getInstance()->addPlayer(new QuovelMahjongPlayer(name)));
    }
    // Writes the player's saved game of a room that reads back whole: two tiles of Classic.
    static void writeSavedGame(const char* key, RoomKind room = RoomKind::CASINO) {
        RefHolder<Level> level = game_test::classicLevel(2, 8, 10, static_cast<int>(room));
        level->setLayoutObject(game_test::makeLayout({{0, 0, 0}, {4, 0, 0}}).get());
        RefHolder<Game> game(new GameClassic(nullptr));
        game->setLevel(level.get());
        RefHolder<PropertyStore> store(new PropertyStore());
        game->save(static_cast<PropertyNode*>(store->addChild(new PropertyNode("game"))));
        EXPECT_EQ(PlayerManager::getInstance()->writeSaveGame(store.get(), key, "Ann"),
                  PlayerManager::SaveGameWrite::WRITTEN);
    }
    // The resource list, with the sections loaded by the loader thread.
    ResourceManager* startLoader(std::vector<const char*> sections) {
        ResourceManager* resources = ResourceManager::createInstance();
        resources->loadSectionList("media/properties/resources.xml");
        resources->setReady();
        for (const char* section : sections) {
            resources->requestSectionLoad(section);
        }
        waitForLoader(resources);
        return resources;
    }
    // The game window on the fake services, 800 by 600, windowed.
    GameWindow* openWindow(int32_t bytesPerPixel, int32_t iconId) {
        return GameWindow::createInstance(
            WindowServices{&display, &events, &cursor, &clipboard, &messageBox, &clock}, "Quovel",
            800, 600, false, bytesPerPixel, iconId);
    }
    // A stand-in definition for a dialog other work supplies, unless the definitions have it.
    static void defineDialogIfMissing(const char* name, const char* typeWord) {
        PropertyNode* dialogs = GuiDefinitions::instance()->getDialogs();
        if (!dialogs->getChild(name)) {
            dialogs->addChild(new PropertyNode(name, typeWord));
        }
    }

    TempFolder home;
    DataFolderScope dataFolder{home.str()};
    CurrentFolderScope inside{std::filesystem::path(QUOVEL_BINARY_DIR) / "game"};
    FakeDisplay display;
    FakeEventSource events;
    FakeCursor cursor;
    FakeClipboard clipboard;
    FakeMessageBox messageBox;
    FakeClock clock;
    std::shared_ptr<FakeAudioMixer> mixer;
    bool ownsImageManager = false;
};

// A test that drives scenes frame by frame through the scene manager, their sections loaded.
class SceneTest : public GameServicesTest {
protected:
    static constexpr int32_t FRAME_MS = SCENE_FRAME_MS;

    struct Services {
        uint32_t seed;
        std::vector<const char*> sections;
        bool tiles = false;
        bool highScores = false;
    };
    // The definitions, the random source, the tiles and high scores when asked for, a current
    // player "Ann", the sections loaded, and the scene manager.
    void startServices(const Services& services) {
        startDefinitions(services.seed);
        if (services.tiles) {
            TileManager::createInstance();
        }
        player = addPlayer();
        if (services.highScores) {
            HighScoreManager::createInstance("", false);
        }
        resources = startLoader(services.sections);
        manager = SceneManager::createInstance();
    }

    template <class Condition>
    int32_t runUntil(Condition condition, int32_t limitMs) {
        return runFramesUntil(manager, condition, limitMs);
    }
    void run(int32_t ms) {
        runUntil([] { return false; }, ms);
    }
    // A click at the point through the scene's input handler: moved there, pressed, released.
    static void clickAt(Scene* scene, int32_t x, int32_t y) {
        InputHandler* input = scene->getInputHandler();
        input->onMouseMove(x, y, 0);
        input->onLeftButtonDown(x, y, 1, false);
        input->onLeftButtonUp(x, y, 0);
    }
    static void clickMiddle(Scene* scene, GameNode* node, int32_t width, int32_t height) {
        clickAt(scene, node->getAbsoluteX() + width / 2, node->getAbsoluteY() + height / 2);
    }

    QuovelMahjongPlayer* player = nullptr;
    ResourceManager* resources = nullptr;
    SceneManager* manager = nullptr;
};
