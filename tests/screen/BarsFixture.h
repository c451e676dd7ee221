#pragma once
// The game scene on the game's own definitions, art and levels, with a current player, for the
// tests of the time bar and the bonus bar.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/GameMediaFixture.h"
#include "framework/core/Random.h"
#include "framework/platform/Folders.h"
#include "framework/platform/PlayerManager.h"
#include "game/app/QuovelMahjongPlayer.h"
#include "game/dialogs/DialogQuovelMahjong.h"
#include "game/rules/Game.h"
#include "game/rules/Level.h"
#include "game/rules/LevelCatalog.h"
#include "game/rules/TileManager.h"
#include "game/screen/BonusBar.h"
#include "game/screen/SceneGame.h"
#include "game/screen/TimeBar.h"

class BarsTest : public GameMediaTest {
protected:
    void SetUp() override {
        GameMediaTest::SetUp();
        if (!std::filesystem::exists("media/images/game/timebar_fill.png")) {
            GTEST_SKIP() << "the game art is not built";
        }
        setenv("XDG_DATA_HOME", scratch.str().c_str(), 1);
        resetFolderCache();
        PlayerManager::createInstance("", false);
        player = new QuovelMahjongPlayer("Ann");
        PlayerManager::getInstance()->addPlayer(player);
        PlayerManager::getInstance()->setCurrentPlayer(player);
        TileManager::createInstance();
        Random::createInstance(33);
        loadResources({"FONT_BODY", "FONT_SMALL", "SOUND_CLICK", "SOUND_HOVER"}, "preloading");
        loadResources({"TILE", "BONUS_STAR"}, "default");
        loadResources({"IMAGE_HUD_TOP", "IMAGE_HUD_SIDE", "IMAGE_BUTTON_PAUSE", "IMAGE_BUTTON_MENU",
                       "IMAGE_BUTTON_SHUFFLE", "IMAGE_BUTTON_UNDO", "IMAGE_BUTTON_HINT",
                       "IMAGE_BUTTON_HINT_UNLIMITED", "IMAGE_TIMEBAR_BACKGROUND",
                       "IMAGE_TIMEBAR_CLOCK", "IMAGE_TIMEBAR_ROTATE", "IMAGE_TIMEBAR_GLOW",
                       "IMAGE_BONUSBAR_BACKGROUND", "IMAGE_BONUSBAR_FILLING",
                       "IMAGE_BONUSBAR_BOX", "IMAGE_BONUSBAR_SUNSHINE", "IMAGE_BONUS_SCORE_2500"},
                      "game");
        RefHolder<BaseObject> made = ObjectFactoryContainer::instance()->createObject(
            GuiDefinitions::instance()->findScene("SCENE_GAME"));
        scene = objectCast<SceneGame>(made.get());
        ASSERT_NE(scene.get(), nullptr);
    }
    void TearDown() override {
        if (scene) {
            scene->hide();
        }
        scene = nullptr;
        Game::releaseCurrent();
        LevelCatalog::releaseInstance();
        TileManager::releaseInstance();
        Random::releaseInstance();
        PlayerManager::releaseInstance();
        resetFolderCache();
        GameMediaTest::TearDown();
    }

    // Shows the scene on the level behind the door.
    Game* play(int32_t floor, int32_t room) {
        RefHolder<Level> level = LevelCatalog::instance()->findLevel(floor, room);
        EXPECT_NE(level.get(), nullptr);
        Game* game = Game::create(level->getGameType());
        game->setLevel(level.get());
        scene->show();
        reachPlay();
        return game;
    }
    // Through the level notice, the host's hint and the build, into play.
    void reachPlay() {
        for (int32_t ms = 0; ms < 30000 && scene->getCurrentState(); ms += 16) {
            if (scene->isDialogOpen("DIALOG_DORRICK_HINT")) {
                DialogQuovelMahjong::closeAsOwnTarget(scene->findDialog("DIALOG_DORRICK_HINT"),
                                                      nullptr);
            }
            frame(16);
        }
        EXPECT_TRUE(scene->isPlaying());
    }
    void frame(int32_t ms) {
        scene->update(ms);
        scene->getMoveTask()->update(ms);
        scene->getPurgeTask()->update(ms);
    }
    TimeBar& timeBar() { return *scene->getTimeBar(); }
    BonusBar& bonusBar() { return *scene->getBonusBar(); }

    QuovelMahjongPlayer* player = nullptr;
    RefHolder<SceneGame> scene;
};
