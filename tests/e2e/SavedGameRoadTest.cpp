// A casino level stopped half-way and continued from its saved game, played by synthetic
// input on small levels: the stop from the in-game menu, the lift, the casino's question on
// the way back in, "yes", the same board, score and time, and the level won from there.
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <string>
#include <vector>

#include "framework/gui/Label.h"
#include "framework/os/Messages.h"
#include "framework/platform/PlayerManager.h"
#include "game/app/SceneElevator.h"
#include "game/dialogs/DialogYesNo.h"
#include "game/profile/QuovelMahjongPlayer.h"
#include "game/rules/Game.h"
#include "game/rules/Layout.h"
#include "game/rules/Level.h"
#include "game/screen/GameSceneStates.h"
#include "game/screen/LabelTicker.h"
#include "game/screen/SceneQuovelMahjong.h"
#include "game/screen/TimeBar.h"
#include "game/visuals/ModifierLabelValue.h"
#include "testsupport/TempFolder.h"
#include "testsupport/e2e/RoadSteps.h"
#include "testsupport/os/FillingDisk.h"

namespace saved_game_road_test {

// What a level in play shows: the tiles left (place and face), the score and the time.
struct Played {
    std::vector<std::string> tiles;
    int32_t score = 0;
    int32_t realTime = 0;
    int32_t timeLeft = 0;

    bool operator==(const Played&) const = default;
};

Played readPlay(RoadDriver& road) {
    Played seen;
    Game* game = Game::current();
    game->getLayout()->forEachTile([&](Tile* tile) {
        seen.tiles.push_back(
            std::to_string(tile->getGridX()) + "," + std::to_string(tile->getGridY()) + "," +
            std::to_string(tile->getGridZ()) + " " + std::to_string(tile->getSuit()) + "/" +
            std::to_string(tile->getValue()));
    });
    std::sort(seen.tiles.begin(), seen.tiles.end());
    seen.score = game->getScore().getValue();
    seen.realTime = game->runCounts.realTime;
    seen.timeLeft = gameScreen(road)->getTimeBar()->getTime().getValue();
    return seen;
}

std::ostream& operator<<(std::ostream& out, const Played& seen) {
    out << seen.tiles.size() << " tiles, score " << seen.score << ", time " << seen.realTime
        << " ms, " << seen.timeLeft << " ms left";
    return out;
}

// A pair the live game calls a match clicked, tile by tile: true when it was removed.
bool clickAMatch(RoadDriver& road) {
    Game* game = Game::current();
    Game::TileList pair;
    if (!game->findHint(pair) || pair.size() < 2) {
        ADD_FAILURE() << "no match on a board of " << game->getLayout()->getTileCount();
        return false;
    }
    return clickMatch(road, {pair[0].get(), pair[1].get()});
}

bool savedCasinoGameExists() {
    PlayerManager* players = PlayerManager::getInstance();
    AbstractPlayer* player = players ? players->getCurrentPlayer() : nullptr;
    return player && players->saveGameExists("1", player->getName());
}

TEST(Road, AStoppedCasinoLevelIsContinuedFromItsSavedGameAndWon) {
    RoadDriver road("saved-game");
    road.playOwnLevels(3);
    ASSERT_TRUE(startAsAnn(road));
    openTheRooms();
    ASSERT_TRUE(rideTo(road, "BUTTON_CASINO", "SCENE_CASINO"));
    road.run(1000);
    dismissHostHint(road);
    ASSERT_TRUE(road.click("SWITCH_CLASSIC"));
    road.run(500);
    road.picture("classic-chosen");
    ASSERT_TRUE(road.click("BUTTON_START"));
    ASSERT_TRUE(road.waitForScene("SCENE_GAME", 30000));
    ASSERT_TRUE(waitUntilPlaying(road));
    ASSERT_EQ(Game::current()->getLayout()->getTileCount(), 6);

    // One pair of three, some seconds of play, then the menu: play stands still behind it.
    ASSERT_TRUE(clickAMatch(road));
    // The score counts up to the pair's points, a tick per step: a picture part-way.
    ModifierLabelValue* counter = gameScreen(road)->getHud().getScoreTicker()->getCounter();
    road.run(50);
    EXPECT_TRUE(counter->getTickSound() && counter->getShownValue() > 0 &&
                counter->getShownValue() < Game::current()->getScore().getValue());
    road.picture("score-counting");
    road.run(3000);
    road.picture("one-pair-played");
    ASSERT_TRUE(road.click("BUTTON_MENU") && road.waitForDialog("DIALOG_MENU"));
    const Played stopped = readPlay(road);
    EXPECT_EQ(stopped.tiles.size(), 4u);
    EXPECT_GT(stopped.score, 0);
    EXPECT_GT(stopped.realTime, 3000);
    road.run(800);
    ASSERT_TRUE(road.clickIn("DIALOG_MENU", "BUTTON_STOP"));
    road.run(800);
    road.picture("stop-question");
    // The question says what its "yes" does, which the road then sees.
    auto* question = objectCast<DialogYesNo>(road.dialog("CTEXT_MENU_STOP"));
    const std::wstring said = question ? question->getMessage()->getText() : L"";
    EXPECT_TRUE(said.find(L"elevator") != std::wstring::npos &&
                said.find(L"continue") != std::wstring::npos);
    ASSERT_TRUE(road.click("BUTTON_YES") && road.waitForScene("SCENE_ELEVATOR", 30000));
    EXPECT_TRUE(road.waitFor(savedCasinoGameExists, "the casino's saved game"));

    // Back into the casino from the lift: the question, answered "yes".
    ASSERT_TRUE(continueFromLift(road, "BUTTON_CASINO", "SCENE_CASINO"));
    // The same level, board, score and clock as when it was stopped.
    EXPECT_EQ(readPlay(road), stopped);
    Game* resumed = Game::current();
    EXPECT_EQ(resumed->getLevel()->getGameMode(), RoomKind::CASINO);
    EXPECT_EQ(resumed->getLevel()->getGameType(), 0);
    // The level notice again, then play goes on from there.
    ASSERT_TRUE(waitUntilPlaying(road));
    road.picture("continued");
    const Played playing = readPlay(road);
    EXPECT_EQ(playing.tiles, stopped.tiles);
    EXPECT_EQ(playing.score, stopped.score);
    EXPECT_LE(playing.timeLeft, stopped.timeLeft);
    EXPECT_GT(playing.timeLeft, stopped.timeLeft - 100);
    // Its saved game stays while the level plays: a crash or a kill now loses nothing.
    EXPECT_TRUE(savedCasinoGameExists());
    EXPECT_EQ(QuovelMahjongPlayer::current()->getSavedGame(), nullptr);

    // The two pairs left win the level.
    ASSERT_TRUE(clickAMatch(road));
    road.picture("one-pair-left");
    ASSERT_TRUE(clickAMatch(road));
    EXPECT_TRUE(resumed->getHasWon());
    EXPECT_GT(resumed->getScore().getValue(), stopped.score);
    ASSERT_TRUE(road.waitForDialog("DIALOG_LEVEL_END"));
    road.run(3000);
    road.picture("won");
    EXPECT_TRUE(objectCast<StateGameWon>(gameScreen(road)->getFlow().getCurrentState()));
    EXPECT_EQ(road.finish(), 0);

    // The stopped level's session, handed over when the saved game replaced it, says so.
    const std::string statistics = road.sessionEventsText();
    const size_t session = statistics.find("<QVLevelSession");
    ASSERT_NE(session, std::string::npos) << statistics;
    EXPECT_EQ(statistics.find("<QVLevelSession", session + 1), std::string::npos) << statistics;
    const std::string stoppedSession =
        statistics.substr(session, statistics.find("</QVLevelSession>", session) - session);
    EXPECT_NE(stoppedSession.find("gameStopped"), std::string::npos) << stoppedSession;
    EXPECT_NE(stoppedSession.find("GameMode\" value=\"1\""), std::string::npos) << stoppedSession;
}

// A rec-room game stopped where a file stands in for the saved games' folder: told, and again as
// the room offers it from memory; stopped again, the file moved, offered from its file.
TEST(Road, ARecRoomGameWhoseSaveFailedIsOfferedAndContinued) {
    RoadDriver road("saved-game-failed");
    road.playOwnLevels(3);
    ASSERT_TRUE(startAsAnn(road));
    openTheRooms();
    ASSERT_TRUE(playRecRoomLayout(road, "SWITCH_CLASSIC", 0, 0) && clickAMatch(road));
    const std::filesystem::path folder = road.gameFolder() / "savegames";
    std::filesystem::remove_all(folder);
    writeTestFile(folder, "in the way");
    for (const bool moved : {false, true}) {
        Played stopped;
        ASSERT_TRUE(stopFromMenu(road, "SCENE_ELEVATOR", [&] { stopped = readPlay(road); }));
        ASSERT_TRUE(!moved || std::filesystem::remove(folder));
        ASSERT_TRUE(continueFromLift(road, "BUTTON_RECROOM", "SCENE_RECROOM"));
        EXPECT_EQ(readPlay(road), stopped);
        ASSERT_EQ(road.messageBox.shown.size(), 2u);
        EXPECT_NE(road.messageBox.shown[0].text.find("could not be saved"), std::string::npos);
        EXPECT_TRUE(road.messageBox.shown[1].text.ends_with("move that file out of the way."));
        ASSERT_TRUE(waitUntilPlaying(road));
    }
    EXPECT_EQ(road.finish(), 0);
}

// A rec-room game stopped on a full disk: one message names the profile and the game in
// progress. The quit question names what was not saved: once the lobby wrote the profile, the
// game in progress alone.
TEST(Road, ARecRoomGameStoppedOnAFullDiskNamesTheProfileAndTheGame) {
    FillingDisk disk;
    RoadDriver road("saved-game-disk-full");
    road.playOwnLevels(3);
    ASSERT_TRUE(startAsAnn(road));
    openTheRooms();
    ASSERT_TRUE(playRecRoomLayout(road, "SWITCH_CLASSIC", 0, 0) && clickAMatch(road));
    const size_t before = road.messageBox.shown.size();
    disk.full = true;
    ASSERT_TRUE(stopFromMenu(road, "SCENE_ELEVATOR"));
    road.run(1000);
    ASSERT_EQ(road.messageBox.shown.size(), before + 1);
    EXPECT_TRUE(std::regex_search(road.messageBox.shown.back().text,
                                  std::regex("^Your progress could not be saved(.|\n)*full(.|\n)*"
                                             "\n\nThe game in progress could not be saved")))
        << road.messageBox.shown.back().text;
    for (const std::wstring failed :
         {L"your progress and the game in progress", L"the game in progress"}) {
        road.events.push({WM_CLOSE, 0, 0});
        ASSERT_TRUE(road.waitForDialog("CTEXT_QUESTION_QUIT"));
        road.run(800);
        road.picture("quit-question");
        auto* question = objectCast<DialogYesNo>(road.dialog("CTEXT_QUESTION_QUIT"));
        EXPECT_NE(
            question->getMessage()->getText().find(L"The last save of " + failed + L" failed;"),
            std::wstring::npos);
        ASSERT_TRUE(road.closeDialog("BUTTON_NO", "CTEXT_QUESTION_QUIT"));
        disk.full = false;
        ASSERT_TRUE(road.scene()->getName() == "SCENE_LOBBY" ||
                    rideFromLift(road, "BUTTON_LOBBY", "SCENE_LOBBY"));
    }
    EXPECT_EQ(road.finish(), 0);
}

}  // namespace saved_game_road_test
