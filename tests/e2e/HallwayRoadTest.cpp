// Floor 1 of the hallway played by synthetic input from the lobby: the lift, the hallway, a
// door, the level notice, a level won by clicks on its tiles, the level end and the walk back
// to the medal; a level whose time runs out; a level stopped from the in-game menu.
#include <gtest/gtest.h>

#include "e2e/RoadDriver.h"
#include "e2e/RoadSteps.h"
#include "game/app/QuovelMahjongPlayer.h"
#include "game/app/SceneHallway.h"
#include "game/dialogs/DialogTrophy.h"
#include "game/rules/Game.h"
#include "game/rules/Layout.h"
#include "game/rules/Level.h"
#include "game/rules/Tile.h"
#include "game/rules/TuningConstants.h"
#include "game/screen/GameSceneStates.h"
#include "game/screen/LayoutRenderer.h"
#include "game/screen/SceneGame.h"

TEST(Road, FloorOneDoorOneIsWonByClicksAndTheMedalLandsOnItsDoor) {
    RoadDriver road("hallway-win");
    ASSERT_TRUE(startAsAnn(road));
    ASSERT_TRUE(rideToFloorOne(road));
    road.picture("hallway");
    ASSERT_TRUE(enterRoom(road, 1));
    road.picture("board");

    // Every pair in the order the board was built, clicked where the renderer draws it.
    Game* played = Game::current();
    ASSERT_NE(played, nullptr);
    EXPECT_EQ(played->getLevel()->getFloor(), 1);
    EXPECT_EQ(played->getLevel()->getRoom(), 1);
    const Game::TileList order = played->getBuildOrder();
    ASSERT_EQ(order.size() % 2, 0u);
    for (size_t k = 0; k < order.size(); k += 2) {
        clickTile(road, order[k].get());
        ASSERT_EQ(played->getClickOutcome(), Game::CLICK_SELECT) << k;
        if (k == 0) {
            road.picture("first-tile-selected");
        }
        clickTile(road, order[k + 1].get());
        ASSERT_EQ(played->getClickOutcome(), Game::CLICK_MATCH) << k;
    }
    EXPECT_EQ(played->getLayout()->getTileCount(), 0);
    EXPECT_TRUE(played->getHasWon());

    // The level end, its continue (through the first win's trophy), the walk back.
    ASSERT_TRUE(road.waitForDialog("DIALOG_LEVEL_END"));
    road.run(3000);
    road.picture("level-end");
    bool cabinetSeen = false;
    ASSERT_TRUE(road.waitFor(
        [&] {
            Scene* now = road.scene();
            if (now && now->getName() == "SCENE_HALLWAY") {
                return true;
            }
            auto* cabinet = objectCast<DialogTrophy>(road.dialog("DIALOG_TROPHY"));
            if (cabinet) {
                if (!cabinetSeen) {
                    cabinetSeen = true;
                    road.run(1000);
                    road.picture("first-win-trophy");
                }
                if (!cabinet->isRevealRunning() &&
                    cabinet->getCurrentTrophy() == DialogTrophy::NO_TROPHY) {
                    road.click("BUTTON_MENU");
                }
            } else if (road.dialog("DIALOG_LEVEL_END")) {
                road.click("BUTTON_CONTINUE");
            }
            return false;
        },
        "the way back to the hallway", 60000));
    auto* hallway = objectCast<SceneHallway>(road.scene());
    ASSERT_TRUE(road.waitFor([&] { return hallway->isInputEnabled(); }, "the medal to land"));
    road.picture("hallway-with-medal");
    EXPECT_TRUE(hallway->getMedal(1)->isVisible());
    // The host's word on the first win greets the walk back.
    EXPECT_TRUE(road.waitForDialog("DIALOG_DORRICK_HINT"));
    road.run(600);
    road.picture("first-win-hint");
    dismissHostHint(road);
    EXPECT_EQ(QuovelMahjongPlayer::current()->getStats().roomRecord(1, 1)->levelWinCount, 1);
    EXPECT_EQ(road.finish(), 0);
}

TEST(Road, ALevelWhoseTimeRunsOutIsLost) {
    RoadDriver road("time-out");
    ASSERT_TRUE(startAsAnn(road));
    ASSERT_TRUE(rideToFloorOne(road));
    ASSERT_TRUE(enterRoom(road, 1));
    Game* played = Game::current();
    ASSERT_NE(played, nullptr);
    SceneGame* screen = gameScreen(road);
    road.run(5000);
    road.picture("time-running");
    ASSERT_TRUE(road.waitFor([&] { return objectCast<StateGameOver>(screen->getCurrentState()); },
                             "the time to run out", 400000));
    EXPECT_FALSE(played->getHasWon());
    ASSERT_TRUE(road.waitForDialog("DIALOG_LEVEL_END"));
    road.run(3000);
    road.picture("time-out");
    EXPECT_EQ(QuovelMahjongPlayer::current()->getStats().roomRecord(1, 1)->levelWinCount, 0);
    EXPECT_EQ(road.finish(), 0);
}

TEST(Road, ALevelIsStoppedFromTheInGameMenu) {
    RoadDriver road("menu-stop");
    ASSERT_TRUE(startAsAnn(road));
    ASSERT_TRUE(rideToFloorOne(road));
    ASSERT_TRUE(enterRoom(road, 1));
    ASSERT_TRUE(road.click("BUTTON_MENU"));
    ASSERT_TRUE(road.waitFor([&] { return road.find("BUTTON_STOP") != nullptr; },
                             "the in-game menu"));
    road.run(800);
    road.picture("menu");
    ASSERT_TRUE(road.click("BUTTON_STOP"));
    road.run(800);
    road.picture("stop-question");
    ASSERT_TRUE(road.click("BUTTON_YES"));
    ASSERT_TRUE(road.waitForScene("SCENE_HALLWAY", 30000));
    road.run(1000);
    road.picture("back-in-hallway");
    EXPECT_EQ(QuovelMahjongPlayer::current()->getStats().roomRecord(1, 1)->levelWinCount, 0);
    EXPECT_EQ(road.finish(), 0);
}
