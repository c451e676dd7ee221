// The casino and the roof played by synthetic input: a type and a difficulty chosen, a run
// lost to the clock, and its result shown back in the room.
#include <gtest/gtest.h>

#include "e2e/RoadDriver.h"
#include "e2e/RoadSteps.h"
#include "framework/gui/Label.h"
#include "game/app/QuovelMahjongPlayer.h"
#include "game/app/SceneCasino.h"
#include "game/rules/Game.h"
#include "game/rules/Level.h"
#include "game/screen/GameSceneStates.h"

namespace {

// Ann with the casino, the rec room and the roof open in the lift, and Classic known.
void openTheRooms() {
    QuovelMahjongPlayer* ann = QuovelMahjongPlayer::current();
    ann->unlockedStuff[0] = 2;
    for (int32_t room = 1; room < QuovelMahjongPlayer::MODE_COUNT; ++room) {
        ann->modesUnlocked[room] = 2;
    }
}

std::wstring labelText(RoadDriver& road, const std::string& name) {
    auto* label = objectCast<Label>(road.find(name));
    return label ? label->getText() : L"<none>";
}

}  // namespace

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
    EXPECT_EQ(played->getLevel()->getGameMode(), 1);
    EXPECT_EQ(played->getLevel()->getDifficulty(), 1);

    // One pair matched for a score, then the clock runs out.
    const Game::TileList order = played->getBuildOrder();
    clickTile(road, order[0].get());
    clickTile(road, order[1].get());
    ASSERT_EQ(played->getClickOutcome(), Game::CLICK_MATCH);
    const int32_t score = played->getScore().getValue();
    EXPECT_GT(score, 0);
    SceneGame* screen = gameScreen(road);
    ASSERT_TRUE(road.waitFor([&] { return objectCast<StateGameOver>(screen->getCurrentState()); },
                             "the casino clock to run out", 400000));
    ASSERT_TRUE(road.waitForDialog("DIALOG_LEVEL_END"));
    road.run(3000);
    road.picture("lost");
    ASSERT_TRUE(road.waitFor(
        [&] {
            Scene* now = road.scene();
            if (now && now->getName() == "SCENE_CASINO") {
                return true;
            }
            if (road.dialog("DIALOG_LEVEL_END")) {
                road.click("BUTTON_CONTINUE");
            }
            return false;
        },
        "the way back to the casino", 60000));
    road.run(1000);
    road.picture("casino-after-run");
    EXPECT_EQ(casino->getSelectedGameType(), 0);
    EXPECT_EQ(labelText(road, "LABEL_FINISHED"), L"1");
    EXPECT_EQ(labelText(road, "LABEL_TOPSCORE"), std::to_wstring(score));
    EXPECT_EQ(road.finish(), 0);
}
