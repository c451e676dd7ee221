// The casino, the roof and the rec room played by synthetic input: a type and a difficulty
// chosen, a run lost to the clock and its result shown back in the room; the nine clicks and the
// arcade game; Speed and Mixed on the roof; a layout page and a layout won.
#include <gtest/gtest.h>

#include "framework/platform/PlayerManager.h"
#include "game/app/SceneCasino.h"
#include "game/app/SceneRecRoom.h"
#include "game/dialogs/DialogKillerStones.h"
#include "game/dialogs/DialogLayoutPreview.h"
#include "game/profile/QuovelMahjongPlayer.h"
#include "game/rules/Game.h"
#include "game/rules/Level.h"
#include "game/screen/GameSceneStates.h"
#include "testsupport/e2e/RoadSteps.h"

namespace score_room_road_test {

TEST(Road, ACasinoRunOfClassicAtHardIsLostAndCountedInTheCasino) {
    RoadDriver road("casino");
    ASSERT_TRUE(startAsAnn(road));
    openTheRooms();
    ASSERT_TRUE(rideTo(road, "BUTTON_CASINO", "SCENE_CASINO"));
    auto* casino = objectCast<SceneCasino>(road.scene());
    road.run(1000);
    road.picture("casino-arrival");
    dismissHostHint(road);
    ASSERT_TRUE(road.click("SWITCH_HARD"));
    ASSERT_TRUE(road.click("SWITCH_CLASSIC"));
    road.run(500);
    road.picture("classic-hard-chosen");
    EXPECT_EQ(casino->getSelectedGameType(), 0);
    EXPECT_EQ(casino->getSelectedDifficulty(), 1);
    ASSERT_TRUE(road.click("BUTTON_START"));
    ASSERT_TRUE(road.waitForScene("SCENE_GAME", 30000));
    ASSERT_TRUE(waitUntilPlaying(road));
    Game* played = Game::current();
    ASSERT_NE(played, nullptr);
    EXPECT_EQ(played->getLevel()->getGameMode(), RoomKind::CASINO);
    EXPECT_EQ(played->getLevel()->getDifficulty(), 1);

    // One pair matched for a score, then the clock runs out.
    const Game::TileList order = played->getBuildOrder();
    ASSERT_TRUE(clickMatch(road, {order[0].get(), order[1].get()}));
    const int32_t score = played->getScore().getValue();
    EXPECT_GT(score, 0);
    SceneGame* screen = gameScreen(road);
    // A trophy's notice closed by a click is written as shown at once, before a kill can come.
    screen->getTrophies().awardTrophy(TrophyId::QUICK_BONUS);
    ASSERT_TRUE(road.clickWidget(road.dialog("DIALOG_TROPHY_INFO"), "the trophy's notice"));
    ASSERT_TRUE(road.waitFor([&] { return !road.dialog("DIALOG_TROPHY_INFO"); }, "its close"));
    RefHolder<QuovelMahjongPlayer> stored(new QuovelMahjongPlayer("Ann"));
    ASSERT_TRUE(PlayerManager::getInstance()->loadPlayer(stored.get()));
    EXPECT_EQ(stored->getTrophies().getTrophy(TrophyId::QUICK_BONUS)->state, Trophy::EARNED);
    ASSERT_TRUE(road.waitFor(
        [&] {
            dismissTutorialHint(road);
            return objectCast<StateGameOver>(screen->getFlow().getCurrentState());
        },
        "the casino clock to run out", 400000));
    ASSERT_TRUE(road.waitForDialog("DIALOG_LEVEL_END"));
    road.run(3000);
    road.picture("lost");
    bool cabinetSeen = false;
    ASSERT_TRUE(road.waitFor(
        [&] {
            Scene* now = road.scene();
            if (now && now->getName() == "SCENE_CASINO") {
                return true;
            }
            if (!stepThroughCabinet(road, cabinetSeen) && road.dialog("DIALOG_LEVEL_END")) {
                road.click("BUTTON_CONTINUE");
            }
            return false;
        },
        "the way back to the casino", 60000));
    EXPECT_TRUE(cabinetSeen);  // the level end announces the notice's trophy
    road.run(1000);
    road.picture("casino-after-run");
    EXPECT_EQ(casino->getSelectedGameType(), 0);
    EXPECT_EQ(labelText(road, "LABEL_FINISHED"), L"1");
    EXPECT_EQ(labelText(road, "LABEL_TOPSCORE"), std::to_wstring(score));
    EXPECT_EQ(road.finish(), 0);
}

TEST(Road, NineClicksOnTheFeltOpenTheMiniGamePlayedToGameOver) {
    RoadDriver road("minigame");
    ASSERT_TRUE(startAsAnn(road));
    openTheRooms();
    ASSERT_TRUE(rideTo(road, "BUTTON_CASINO", "SCENE_CASINO"));
    road.run(1000);
    dismissHostHint(road);
    // The chips, the cards and the dice in the casino's own order.
    for (int32_t step = 0; step < SceneCasino::SEQUENCE_LENGTH; ++step) {
        const Rect spot = SceneCasino::sequenceArea(step);
        road.clickAt(spot.x + spot.w / 2, spot.y + spot.h / 2);
    }
    ASSERT_TRUE(road.waitForDialog("DIALOG_KILLER_STONES"));
    auto* arcade = objectCast<DialogKillerStones>(road.dialog("DIALOG_KILLER_STONES"));
    road.run(1500);
    road.picture("arcade-intro");
    // A few shots from the middle, then the tiles are left to fall until the game is over.
    for (int32_t shot = 0; shot < 5; ++shot) {
        road.clickAt(400, 500);
        road.run(300);
    }
    road.run(3000);
    road.picture("arcade-playing");
    ASSERT_TRUE(
        road.waitFor([&] { return arcade->isGameOver(); }, "the arcade's game over", 600000));
    road.run(1000);
    road.picture("arcade-game-over");
    road.clickAt(400, 300);
    EXPECT_TRUE(
        road.waitFor([&] { return !road.dialog("DIALOG_KILLER_STONES"); }, "the arcade to close"));
    EXPECT_EQ(road.scene()->getName(), "SCENE_CASINO");
    EXPECT_EQ(road.finish(), 0);
}

TEST(Road, TheRoofPlaysSpeedAndThenMixed) {
    RoadDriver road("roof");
    ASSERT_TRUE(startAsAnn(road));
    openTheRooms();
    ASSERT_TRUE(rideTo(road, "BUTTON_ROOF", "SCENE_ROOF"));
    road.run(1000);
    road.picture("roof-arrival");
    dismissHostHint(road);
    ASSERT_TRUE(startChosen(road, "SWITCH_SPEED", "speed"));
    EXPECT_EQ(Game::current()->getLevel()->getGameType(), 5);
    // A stopped run leaves the lift at the roof's stop, and is continued there: its saved game
    // stays while the level plays (a crash or a kill loses nothing), until the clock runs out.
    ASSERT_TRUE(stopFromMenu(road, "SCENE_ELEVATOR"));
    ASSERT_TRUE(continueFromLift(road, "BUTTON_ROOF", "SCENE_ROOF") && waitUntilPlaying(road));
    EXPECT_TRUE(SceneQuovelMahjong::hasSavedGame(QuovelMahjongPlayer::current(), 3));
    gameScreen(road)->getTimeBar()->getTime().set(0);
    road.run(500);
    dismissTutorialHint(road);
    ASSERT_TRUE(continueFromLevelEnd(road, "SCENE_ROOF"));
    EXPECT_FALSE(SceneQuovelMahjong::hasSavedGame(QuovelMahjongPlayer::current(), 3));
    road.run(1000);
    road.picture("roof-again");
    ASSERT_TRUE(startChosen(road, "SWITCH_MIXED", "mixed"));
    EXPECT_TRUE(Game::current()->getLevel()->isMixed());
    ASSERT_TRUE(stopFromMenu(road, "SCENE_ELEVATOR"));
    EXPECT_EQ(road.finish(), 0);
}

TEST(Road, TheRecRoomOpensALayoutPageAndALayoutIsWon) {
    RoadDriver road("recroom");
    ASSERT_TRUE(startAsAnn(road));
    openTheRooms();
    ASSERT_TRUE(playRecRoomLayout(road, "SWITCH_CLASSIC", 0, 0));
    EXPECT_EQ(Game::current()->getLevel()->getGameMode(), RoomKind::RECROOM);
    // Stopped with a pair left and continued, it keeps its saved game until it is won.
    ASSERT_TRUE(clearBoardByClicks(road, 1) && stopFromMenu(road, "SCENE_ELEVATOR"));
    ASSERT_TRUE(continueFromLift(road, "BUTTON_RECROOM", "SCENE_RECROOM") &&
                waitUntilPlaying(road));
    EXPECT_TRUE(SceneQuovelMahjong::hasSavedGame(QuovelMahjongPlayer::current(), 2));
    Game::TileList pair;
    ASSERT_TRUE(Game::current()->findHint(pair) &&
                clickMatch(road, {pair[0].get(), pair[1].get()}));
    ASSERT_TRUE(continueFromLevelEnd(road, "SCENE_RECROOM"));
    EXPECT_FALSE(SceneQuovelMahjong::hasSavedGame(QuovelMahjongPlayer::current(), 2));
    road.run(1000);
    road.picture("back-in-recroom");
    EXPECT_EQ(road.finish(), 0);
    EXPECT_NE(road.sessionEventsText().find("floorNumber"), std::string::npos);
}

}  // namespace score_room_road_test
