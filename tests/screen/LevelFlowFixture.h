#pragma once
// The game scene brought up through the scene manager on the game's own definitions, art and
// levels, with a current player, driven frame by frame: the fixture of the level-flow and the
// player-aids tests.

#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "app/GameServicesFixture.h"
#include "framework/core/PropertyNode.h"
#include "framework/gui/Button.h"
#include "framework/gui/Label.h"
#include "framework/platform/HighScoreTable.h"
#include "game/app/SceneElevator.h"
#include "game/app/SceneHallway.h"
#include "game/dialogs/DialogLevelInfo.h"
#include "game/dialogs/DialogQuovelMahjong.h"
#include "game/rules/Layout.h"
#include "game/rules/Level.h"
#include "game/rules/LevelCatalog.h"
#include "game/rules/Progression.h"
#include "game/rules/Tile.h"
#include "game/rules/TuningConstants.h"
#include "game/screen/GameSceneStates.h"
#include "game/screen/LayoutRenderer.h"
#include "game/screen/SceneGame.h"
#include "gui/HeadlessPicture.h"

// The room scene last requested through the game's hooks.
inline std::string requestedRoom;

inline void recordScene(const std::string& name, const std::string&) {
    requestedRoom = name;
}

using Cell = std::tuple<int32_t, int32_t, int32_t>;

// The grid place of every tile of the layout.
inline std::set<Cell> placesOf(const Layout& layout) {
    std::set<Cell> places;
    layout.forEachTile([&](Tile* tile) {
        places.insert({tile->getGridX(), tile->getGridY(), tile->getGridZ()});
    });
    return places;
}

class LevelFlowTest : public SceneTest {
protected:
    LevelFlowTest() {
        startServices({.seed = 34,
                       .sections = {"preloading", "default", "game", "manual"},
                       .tiles = true,
                       .highScores = true});
        // The pause and menu dialogs of the game's own files, else plain game dialogs.
        defineDialogIfMissing("DIALOG_PAUSE", "DialogQuovelMahjong");
        defineDialogIfMissing("DIALOG_MENU", "DialogQuovelMahjong");
        GameHooks::goToScene.install(&recordScene);
        requestedRoom.clear();
        scene = objectCast<SceneGame>(manager->createScene("SCENE_GAME"));
        hallway = objectCast<SceneHallway>(manager->createScene("SCENE_HALLWAY"));
    }
    void SetUp() override { ASSERT_NE(scene, nullptr); }

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
    // The first level of the game type's page, played in the rec room.
    RefHolder<Level> recRoom(int32_t type = Game::TYPE_CLASSIC) {
        std::vector<RefHolder<Level>> levels;
        LevelCatalog::instance()->levelsOfRoom(levels, type);
        EXPECT_FALSE(levels.empty());
        levels.front()->setGameMode(RoomKind::RECROOM);
        return levels.front();
    }
    template <class State>
    bool inState() const {
        return objectCast<State>(scene->getFlow().getCurrentState()) != nullptr;
    }
    int32_t pauseState() const { return scene->getFlow().getPauseState(); }
    Dialog* openDialog(const char* name) const {
        return scene->isDialogOpen(name) ? scene->findDialog(name) : nullptr;
    }
    // From the notice to play: the notice closes by itself, a due hint by its OK, the board is
    // built tile by tile.
    void reachPlay() {
        ASSERT_GE(runUntil([&] { return !inState<StateRoomInfo>(); }, 10000), 0);
        if (Dialog* hint = openDialog("DIALOG_DORRICK_HINT")) {
            objectCast<DialogQuovelMahjong>(hint)->closeAsOwnTarget(nullptr);
        }
        ASSERT_GE(runUntil([&] { return !scene->getFlow().getCurrentState(); }, 20000), 0);
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

    SceneGame* scene = nullptr;
    SceneHallway* hallway = nullptr;
};
