#pragma once
// The game scene brought up through the scene manager on the game's own definitions, art and
// levels, with a current player, driven frame by frame: the fixture of the level-flow and the
// player-aids tests.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <tuple>

#include "TempFolder.h"
#include "app/SceneFrames.h"
#include "framework/core/BasicProperties.h"
#include "framework/core/PropertyNode.h"
#include "framework/core/Random.h"
#include "framework/core/SceneManager.h"
#include "framework/gui/Button.h"
#include "framework/gui/GuiDefinitions.h"
#include "framework/gui/Label.h"
#include "framework/platform/FileArchive.h"
#include "framework/platform/Folders.h"
#include "framework/platform/HighScoreManager.h"
#include "framework/platform/HighScoreTable.h"
#include "framework/platform/PlayerManager.h"
#include "framework/platform/ResourceManager.h"
#include "game/app/GuiDefinitionsLoad.h"
#include "game/app/QuovelMahjongMain.h"
#include "game/app/QuovelMahjongPlayer.h"
#include "game/app/SceneElevator.h"
#include "game/app/SceneHallway.h"
#include "game/dialogs/DialogLevelInfo.h"
#include "game/dialogs/DialogQuovelMahjong.h"
#include "game/rules/Game.h"
#include "game/rules/GameHooks.h"
#include "game/rules/Layout.h"
#include "game/rules/Level.h"
#include "game/rules/LevelCatalog.h"
#include "game/rules/Progression.h"
#include "game/rules/Tile.h"
#include "game/rules/TileManager.h"
#include "game/rules/TuningConstants.h"
#include "game/screen/GameSceneStates.h"
#include "game/screen/LayoutRenderer.h"
#include "game/screen/SceneGame.h"
#include "gui/HeadlessPicture.h"

constexpr int32_t FRAME_MS = SCENE_FRAME_MS;

// The room scene last requested through the game's hooks.
inline std::string requestedRoom;

inline void recordScene(const std::string& name) {
    requestedRoom = name;
}

inline void ignoreTransition(const std::string&) {}

using Cell = std::tuple<int32_t, int32_t, int32_t>;

// The grid place of every tile of the layout.
inline std::set<Cell> placesOf(const Layout& layout) {
    std::set<Cell> places;
    layout.forEachTile([&](Tile* tile) {
        places.insert({tile->getGridX(), tile->getGridY(), tile->getGridZ()});
    });
    return places;
}

class LevelFlowTest : public ::testing::Test {
protected:
    LevelFlowTest() : inside(std::filesystem::path(QUOVEL_BINARY_DIR) / "game") {
        setenv("XDG_DATA_HOME", home.str().c_str(), 1);
        resetFolderCache();
        FileArchive::close();
        BasicProperties::createInstance();
        loadGuiDefinitions();
        Random::createInstance(34);
        TileManager::createInstance();
        PlayerManager::createInstance("", false);
        PlayerManager::getInstance()->addPlayer(new QuovelMahjongPlayer("Ann"));
        player = QuovelMahjongPlayer::current();
        HighScoreManager::createInstance("", false);
        resources = ResourceManager::createInstance();
        resources->loadSectionList("media/properties/resources.xml");
        resources->setReady();
        for (const char* section : {"preloading", "default", "game", "manual"}) {
            resources->requestSectionLoad(section);
        }
        waitForLoader(resources);
        // The pause and menu dialogs of the game's own files, else plain game dialogs.
        for (const char* name : {"DIALOG_PAUSE", "DIALOG_MENU"}) {
            PropertyNode* dialogs = GuiDefinitions::instance()->getDialogs();
            if (!dialogs->getChild(name)) {
                dialogs->addChild(new PropertyNode(name, "DialogQuovelMahjong"));
            }
        }
        GameHooks::installScenes(&ignoreTransition, &recordScene);
        requestedRoom.clear();
        manager = SceneManager::createInstance();
        scene = objectCast<SceneGame>(manager->createScene("SCENE_GAME"));
        hallway = objectCast<SceneHallway>(manager->createScene("SCENE_HALLWAY"));
    }
    ~LevelFlowTest() override {
        GameHooks::installScenes(nullptr, nullptr);
        SceneManager::releaseInstance();
        Game::releaseCurrent();
        LevelCatalog::releaseInstance();
        TileManager::releaseInstance();
        HighScoreManager::releaseInstance();
        ResourceManager::stopLoader();
        PlayerManager::releaseInstance();
        Random::releaseInstance();
        GuiDefinitions::releaseInstance();
        BasicProperties::releaseInstance();
        resetFolderCache();
    }

    // Makes a game of the level current and brings the scene up on it.
    Game* start(const RefHolder<Level>& level) {
        EXPECT_NE(level.get(), nullptr);
        const bool shown = manager->getCurrentScene() == scene;
        if (shown) {
            scene->hide();
        }
        Game* game = Game::create(level->getGameType());
        game->setLevel(level.get());
        if (shown) {
            scene->show();
        } else {
            manager->requestScene(scene);
            runUntil([&] { return manager->getCurrentScene() == scene; }, 3000);
        }
        return game;
    }
    template <class Condition>
    int32_t runUntil(Condition condition, int32_t limitMs) {
        return runFramesUntil(manager, condition, limitMs);
    }
    void run(int32_t ms) {
        runUntil([] { return false; }, ms);
    }
    template <class State>
    bool inState() const {
        return scene->getCurrentState() && scene->getCurrentState()->isA(&State::typeRecord);
    }
    Dialog* openDialog(const char* name) const {
        return scene->isDialogOpen(name) ? scene->findDialog(name) : nullptr;
    }
    // From the notice to play: the notice closes by itself, a due hint by its OK, the board is
    // built tile by tile.
    void reachPlay() {
        ASSERT_GE(runUntil([&] { return !inState<StateRoomInfo>(); }, 10000), 0);
        if (Dialog* hint = openDialog("DIALOG_DORRICK_HINT")) {
            DialogQuovelMahjong::closeAsOwnTarget(hint, nullptr);
        }
        ASSERT_GE(runUntil([&] { return scene->getCurrentState() == nullptr; }, 20000), 0);
    }
    // Clicks the middle of the tile's face.
    int32_t click(const Tile* tile) {
        LayoutRenderer* renderer = scene->getRenderer();
        const int32_t x = renderer->gridToScreenX(tile->getGridZ(), tile->getGridX()) +
                          tuning().RENDERER_TILE_FACE_WIDTH / 2;
        const int32_t y = renderer->gridToScreenY(tile->getGridZ(), tile->getGridY()) +
                          tuning().RENDERER_TILE_FACE_HEIGHT / 2;
        scene->onLeftButtonDown(x, y, 1, false);
        return Game::current()->getClickOutcome();
    }
    // Lets the level-end dialog's wait run out and continues it when it opened.
    void continueLevelEnd() {
        run(1500 + 2 * FRAME_MS);
        if (Dialog* end = openDialog("DIALOG_LEVEL_END")) {
            auto* method = static_cast<iGuiMethod*>(end->castTo(&iGuiMethod::typeRecord));
            method->invoke(end);
        }
    }
    std::wstring labelOf(Dialog* dialog, const char* name) const {
        auto* label = objectCast<Label>(dialog->findChild(name));
        return label ? label->getText() : L"<missing>";
    }

    TempFolder home;
    CurrentFolderScope inside;
    QuovelMahjongPlayer* player = nullptr;
    ResourceManager* resources = nullptr;
    SceneManager* manager = nullptr;
    SceneGame* scene = nullptr;
    SceneHallway* hallway = nullptr;
};
