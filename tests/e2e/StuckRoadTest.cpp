// Boards played into a dead end by clicks, and the stuck question's ways out: on a floor the
// restart and the shuffle, in the rec room the undo; each answer is in the statistics file.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <random>
#include <regex>
#include <vector>

#include "framework/gui/Button.h"
#include "game/dialogs/DialogYesNo.h"
#include "game/rules/Game.h"
#include "game/rules/Layout.h"
#include "game/rules/Level.h"
#include "game/rules/Tile.h"
#include "testsupport/e2e/RoadSteps.h"

namespace stuck_road_test {

struct TileCell {
    int32_t x, y, z;
};
// The tiles of each match in the order to click them, by their grid cells.
using MatchPlan = std::vector<std::vector<TileCell>>;

// Matches that the game's own rules offer (Game::findMatches: free tiles in groups of its match
// size), taken on copies of the current board until a copy has none left. Each step takes the
// match after which the fewest matches remain (ties broken at random), which drives the board
// into a dead end; the first run that leaves a quarter of the board, else of the runs that end
// with tiles on it the one that leaves the most, so that a shuffle can still help. Empty when
// every run cleared the board. On the pyramid most runs clear it: one in eight to forty sticks.
MatchPlan planDeadEnd(Game* game, uint32_t seed) {
    std::mt19937 random(seed);
    const size_t size = size_t(std::max(game->getTilesPerMatch(), 1));
    const auto removeMatch = [](Layout* board, const std::vector<TileCell>& match) {
        for (const TileCell& cell : match) {
            board->removeTile(board->getTileAt(cell.x, cell.y, cell.z));
        }
    };
    MatchPlan best;
    int32_t bestLeft = 0;
    for (int run = 0; run < 100; ++run) {
        RefHolder<Layout> board(new Layout(*game->getLayout()));
        MatchPlan plan;
        for (;;) {
            Game::TileList offered;
            game->findMatches(offered, board.get());
            MatchPlan matches;
            for (size_t k = 0; k + size <= offered.size(); k += size) {
                std::vector<TileCell>& match = matches.emplace_back();
                for (size_t t = k; t < k + size; ++t) {
                    match.push_back(
                        {offered[t]->getGridX(), offered[t]->getGridY(), offered[t]->getGridZ()});
                }
            }
            if (matches.empty()) {
                break;
            }
            std::shuffle(matches.begin(), matches.end(), random);
            size_t taken = 0;
            int32_t fewest = INT32_MAX;
            for (size_t k = 0; k < matches.size(); ++k) {
                RefHolder<Layout> next(new Layout(*board));
                removeMatch(next.get(), matches[k]);
                const int32_t left = game->countMatches(next.get());
                if (left < fewest) {
                    fewest = left;
                    taken = k;
                }
            }
            removeMatch(board.get(), matches[taken]);
            plan.push_back(matches[taken]);
        }
        if (board->getTileCount() > bestLeft) {
            bestLeft = board->getTileCount();
            best = std::move(plan);
        }
        // A quarter of the board left is plenty for a shuffle, and spares further runs.
        if (bestLeft * 4 >= game->getLayout()->getTileCount()) {
            break;
        }
    }
    return best;
}

// The live board clicked into a dead end: true once the stuck question `question` is open.
bool clickIntoDeadEnd(RoadDriver& road, uint32_t seed, const std::string& question) {
    Game* game = Game::current();
    const MatchPlan plan = planDeadEnd(game, seed);
    if (plan.empty()) {
        ADD_FAILURE() << "no order of matches leaves this board stuck";
        return false;
    }
    for (const std::vector<TileCell>& match : plan) {
        std::vector<const Tile*> tiles;
        for (const TileCell& cell : match) {
            tiles.push_back(game->getLayout()->getTileAt(cell.x, cell.y, cell.z));
        }
        if (!clickMatch(road, tiles)) {
            road.picture("failed-match");
            ADD_FAILURE() << "match " << (&match - plan.data()) << " of " << plan.size() << " at "
                          << match[0].x << "," << match[0].y << "," << match[0].z
                          << ", dialogs:" << road.openDialogNames();
            return false;
        }
    }
    EXPECT_GT(game->getLayout()->getTileCount(), 0);
    EXPECT_EQ(game->countMatches(nullptr), 0);
    if (!road.waitForDialog(question, 5000)) {
        return false;
    }
    road.run(800);
    return true;
}

// One of the stuck question's buttons: true once the question has closed and the board plays.
bool answerQuestion(RoadDriver& road, const std::string& question, bool yes) {
    auto* dialog = objectCast<DialogYesNo>(road.dialog(question));
    Button* button = dialog ? (yes ? dialog->getYesButton() : dialog->getNoButton()) : nullptr;
    if (!button || !button->isEnabled()) {
        ADD_FAILURE() << question << (yes ? ": no yes button to click" : ": no no button to click");
        return false;
    }
    road.clickWidget(button, question);
    SceneGame* screen = gameScreen(road);
    return road.waitFor(
        [&] {
            dismissTutorialHint(road);
            return !road.dialog(question) && screen->isPlaying();
        },
        "play after the answer to " + question, 30000);
}

// The "stuckAction" values of the statistics file, in the order written.
std::string stuckActions(const std::string& statistics) {
    static const std::regex value("stuckAction=\"([0-9]+)\"");
    std::string found;
    for (auto it = std::sregex_iterator(statistics.begin(), statistics.end(), value);
         it != std::sregex_iterator(); ++it) {
        found += (*it)[1].str();
    }
    return found;
}

TEST(Road, AFloorBoardPlayedStuckIsRestartedThenShuffled) {
    RoadDriver road("stuck-floor");
    ASSERT_TRUE(startAsAnn(road));
    // Floor 19's first door is a four-layer pyramid, whose board can end stuck (those of the
    // first floors are so open that any order of their matches clears them).
    QuovelMahjongPlayer::current()->floorReached = 19;
    ASSERT_TRUE(rideToFloor(road, 19));
    ASSERT_TRUE(enterRoom(road, 1));
    Game* game = Game::current();
    const int32_t fullBoard = game->getLayout()->getTileCount();

    ASSERT_TRUE(clickIntoDeadEnd(road, 1, "TEXT_STUCK_QUOVEL"));
    road.picture("stuck-question");
    ASSERT_TRUE(answerQuestion(road, "TEXT_STUCK_QUOVEL", false));
    road.run(1000);
    road.picture("restarted");
    EXPECT_EQ(game->getLayout()->getTileCount(), fullBoard);

    ASSERT_TRUE(clickIntoDeadEnd(road, 2, "TEXT_STUCK_QUOVEL"));
    road.picture("stuck-again");
    const int32_t left = game->getLayout()->getTileCount();
    const int32_t shuffles = QuovelMahjongPlayer::current()->getShuffleStock().getValue();
    ASSERT_TRUE(answerQuestion(road, "TEXT_STUCK_QUOVEL", true));
    road.run(1000);
    road.picture("shuffled");
    EXPECT_EQ(game->getLayout()->getTileCount(), left);
    EXPECT_GT(game->countMatches(nullptr), 0);
    EXPECT_EQ(QuovelMahjongPlayer::current()->getShuffleStock().getValue(), shuffles - 1);
    EXPECT_EQ(QuovelMahjongPlayer::current()->getStats().numStuck, 2);

    // Floor levels are not saved: the quit question says the level counts as lost.
    road.events.push({WM_CLOSE, 0, 0});
    ASSERT_TRUE(road.waitForDialog("CTEXT_QUESTION_QUIT"));
    road.run(800);
    auto* question = objectCast<DialogYesNo>(road.dialog("CTEXT_QUESTION_QUIT"));
    EXPECT_NE(question->getMessage()->getText().find(L"The level counts as lost"),
              std::wstring::npos);
    ASSERT_TRUE(road.closeDialog("BUTTON_NO", "CTEXT_QUESTION_QUIT"));
    ASSERT_TRUE(stopFromMenu(road, "SCENE_HALLWAY"));
    EXPECT_EQ(road.finish(), 0);
    // Restart is 0, shuffle 1.
    EXPECT_EQ(stuckActions(road.sessionEventsText()), "01");
}

TEST(Road, ARecRoomBoardPlayedStuckTakesBackItsLastMatch) {
    RoadDriver road("stuck-recroom");
    ASSERT_TRUE(startAsAnn(road));
    openTheRooms();
    // The fourth page's fifth layout is a four-layer peak, whose board can end stuck (those of
    // the first pages are so open that any order of their matches clears them).
    constexpr size_t everyLayoutPage = 18;
    QuovelMahjongPlayer::current()->unlockedStuff[everyLayoutPage] = 2;
    ASSERT_TRUE(playRecRoomLayout(road, "SWITCH_CLASSIC", 3, 4));
    Game* game = Game::current();

    ASSERT_TRUE(clickIntoDeadEnd(road, 3, "TEXT_STUCK_RECROOM"));
    road.picture("stuck-question");
    const int32_t left = game->getLayout()->getTileCount();
    ASSERT_TRUE(answerQuestion(road, "TEXT_STUCK_RECROOM", true));
    road.run(1000);
    road.picture("last-match-back");
    EXPECT_EQ(game->getLayout()->getTileCount(), left + game->getTilesPerMatch());
    EXPECT_GT(game->countMatches(nullptr), 0);

    ASSERT_TRUE(stopFromMenu(road, "SCENE_ELEVATOR"));
    EXPECT_EQ(road.finish(), 0);
    // Undo is 2.
    EXPECT_EQ(stuckActions(road.sessionEventsText()), "2");
}

}  // namespace stuck_road_test
