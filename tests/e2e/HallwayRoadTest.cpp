// Floor 1 of the hallway played by synthetic input from the lobby: the lift, the hallway, a
// door, the level notice, a level won by clicks on its tiles, the level end and the walk back
// to the medal; a level whose time runs out; a level stopped from the in-game menu, whose
// question the full-screen key leaves open.
#include <gtest/gtest.h>

#include "game/app/SceneHallway.h"
#include "game/dialogs/DialogTrophy.h"
#include "game/profile/QuovelMahjongPlayer.h"
#include "game/rules/Game.h"
#include "game/rules/Layout.h"
#include "game/rules/Level.h"
#include "game/rules/Tile.h"
#include "game/rules/TuningConstants.h"
#include "game/screen/GameSceneStates.h"
#include "game/screen/LayoutRenderer.h"
#include "game/screen/SceneGame.h"
#include "testsupport/e2e/RoadSteps.h"

TEST(Road, FloorOneDoorOneIsWonByClicksAndTheMedalLandsOnItsDoor) {
    RoadDriver road("hallway-win");
    ASSERT_TRUE(startAsAnn(road));
    ASSERT_TRUE(rideToFloorOne(road));
    road.picture("hallway");
    ASSERT_TRUE(enterRoom(road, 1));
    road.picture("board");

    Game* played = Game::current();
    ASSERT_NE(played, nullptr);
    EXPECT_EQ(played->getLevel()->getFloor(), 1);
    EXPECT_EQ(played->getLevel()->getRoom(), 1);
    ASSERT_TRUE(clearBoardByClicks(road));
    EXPECT_EQ(played->getLayout()->getTileCount(), 0);

    // The level end, its continue (through the first win's trophy), the walk back.
    ASSERT_TRUE(continueFromLevelEnd(road, "SCENE_HALLWAY"));
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
    ASSERT_TRUE(road.waitFor(
        [&] {
            dismissTutorialHint(road);
            return objectCast<StateGameOver>(screen->getFlow().getCurrentState());
        },
        "the time to run out", 400000));
    EXPECT_FALSE(played->getHasWon());
    ASSERT_TRUE(road.waitForDialog("DIALOG_LEVEL_END"));
    road.run(3000);
    road.picture("time-out");
    EXPECT_EQ(QuovelMahjongPlayer::current()->getStats().roomRecord(1, 1)->levelWinCount, 0);
    EXPECT_EQ(road.finish(), 0);
    // The floor chosen is among the session's events.
    EXPECT_NE(road.sessionEventsText().find("floorNumber"), std::string::npos);
}

TEST(Road, TheCabinetOpensFromTheInGameMenuAndClosesBackToPlay) {
    RoadDriver road("menu-trophies");
    ASSERT_TRUE(startAsAnn(road));
    ASSERT_TRUE(rideToFloorOne(road));
    ASSERT_TRUE(enterRoom(road, 1));
    SceneGame* screen = gameScreen(road);
    ASSERT_TRUE(road.click("BUTTON_MENU") && road.waitForDialog("DIALOG_MENU"));
    road.run(800);
    ASSERT_TRUE(road.clickIn("DIALOG_MENU", "BUTTON_TROPHY"));
    ASSERT_TRUE(road.waitForDialog("DIALOG_TROPHY"));
    auto* cabinet = objectCast<DialogTrophy>(road.dialog("DIALOG_TROPHY"));
    ASSERT_TRUE(road.waitFor([&] { return !cabinet->isRevealRunning(); }, "the shelves"));
    road.run(600);
    road.picture("cabinet-over-game");
    // Its OK closes it during play, back to the menu, whose resume returns to the board.
    ASSERT_TRUE(road.closeDialog("BUTTON_MENU", "DIALOG_TROPHY"));
    ASSERT_NE(road.dialog("DIALOG_MENU"), nullptr);
    road.run(800);
    ASSERT_TRUE(road.clickIn("DIALOG_MENU", "BUTTON_RESUME"));
    ASSERT_TRUE(road.waitFor([&] { return screen->isPlaying() && !road.dialog("DIALOG_MENU"); },
                             "play to resume"));
    road.picture("back-to-play");
    EXPECT_EQ(road.finish(), 0);
}

TEST(Road, ALevelIsStoppedFromTheInGameMenu) {
    RoadDriver road("menu-stop");
    road.display.screenW = 800;  // full screen is forced: the full-screen key does nothing
    road.display.screenH = 600;
    ASSERT_TRUE(startAsAnn(road));
    ASSERT_TRUE(rideToFloorOne(road));
    ASSERT_TRUE(enterRoom(road, 1));
    ASSERT_TRUE(stopFromMenu(road, "SCENE_HALLWAY", [&] { altEnterAnswersNothing(road); }));
    road.run(1000);
    road.picture("back-in-hallway");
    EXPECT_EQ(QuovelMahjongPlayer::current()->getStats().roomRecord(1, 1)->levelWinCount, 0);
    EXPECT_EQ(road.finish(), 0);
    // The run's session events: the floor chosen, the stopped level.
    const std::string statistics = road.sessionEventsText();
    EXPECT_NE(statistics.find("floorNumber"), std::string::npos);
    EXPECT_NE(statistics.find("gameStopped"), std::string::npos);
    EXPECT_NE(statistics.find("QVLevelSession"), std::string::npos);
}
