// The game of threes: matches of three, the selection that a third tile completes, triples in
// the matches count, the distance threshold of its build and attempts that must fail.
#include <gtest/gtest.h>

#include <cstdlib>

#include "game/rules/GameTriple.h"
#include "rules/GameTypesSupport.h"

namespace game_triple_test {

using game_test::Position;

// Six tiles in the first column, one above the other: all free, two rows apart.
const std::vector<Position> COLUMN = {{0, 0, 0}, {0, 2, 0}, {0, 4, 0},
                                      {0, 6, 0}, {0, 8, 0}, {0, 10, 0}};

class GameTripleTest : public game_test::GameTypesTest {};

TEST_F(GameTripleTest, ThreeTilesOfOneFaceAreAMatch) {
    Game* game = start(Game::TYPE_TRIPLE, COLUMN, {{0, 1}, {0, 1}, {0, 2}, {0, 1}, {1, 1}, {1, 1}});
    EXPECT_EQ(game->getTilesPerMatch(), 3);
    EXPECT_TRUE(GameTriple::isTriple(tileAt(COLUMN[0]), tileAt(COLUMN[1]), tileAt(COLUMN[3])));
    EXPECT_FALSE(GameTriple::isTriple(tileAt(COLUMN[0]), tileAt(COLUMN[1]), tileAt(COLUMN[1])));
    EXPECT_FALSE(GameTriple::isTriple(tileAt(COLUMN[0]), tileAt(COLUMN[1]), tileAt(COLUMN[2])));

    EXPECT_EQ(click(COLUMN[0]), Game::CLICK_SELECT);
    EXPECT_EQ(click(COLUMN[1]), Game::CLICK_ADD);
    // A third tile of another face does not complete the selection: it starts a new one.
    EXPECT_EQ(click(COLUMN[2]), Game::CLICK_SELECT);
    ASSERT_EQ(game->getSelection().size(), 1u);
    EXPECT_EQ(click(COLUMN[0]), Game::CLICK_SELECT);
    EXPECT_EQ(click(COLUMN[1]), Game::CLICK_ADD);
    EXPECT_EQ(click(COLUMN[3]), Game::CLICK_MATCH);
    EXPECT_EQ(game->getLayout()->getTileCount(), 3);
    EXPECT_EQ(game->levelCounts.removedTilesCount, 3);
}

TEST_F(GameTripleTest, NineFreeTilesOfOneFaceAreThreeMatches) {
    std::vector<Position> nine;
    for (int i = 0; i < 9; ++i) {
        nine.push_back({4 * i, 4, 0});
    }
    Game* game = start(Game::TYPE_TRIPLE, nine, std::vector<std::pair<int, int>>(9, {2, 4}));
    Game::TileList matches;
    game->findMatches(matches, nullptr);
    EXPECT_EQ(matches.size(), 9u);
    EXPECT_EQ(game->countMatches(nullptr), 3);
    Game::TileList hint;
    ASSERT_TRUE(game->findHint(hint));
    EXPECT_EQ(hint.size(), 3u);
}

TEST_F(GameTripleTest, TheSecondTileLiesAtTheLevelsDistance) {
    // Threshold 4: the second tile is two tiles away; threshold 0 counts as 1: the neighbour.
    for (const auto& [distance, expected] : {std::pair{"4", 4}, std::pair{"0", 2}}) {
        for (seed = 1; seed <= 10; ++seed) {
            Game* game = start(Game::TYPE_TRIPLE, COLUMN, {}, 0, 0,
                               {{"tileDistMin", distance}, {"tileDistMax", distance}});
            const Game::TileList& order = game->getBuildOrder();
            ASSERT_EQ(order.size(), 6u);
            EXPECT_EQ(std::abs(order[1]->getGridY() - order[0]->getGridY()), expected)
                << distance << " seed " << seed;
        }
    }
}

TEST_F(GameTripleTest, AnAttemptFailsWhenTheFirstTileIsTheOnlyFreeOne) {
    // A tower: only its top tile is free.
    Game* game = start(Game::TYPE_TRIPLE, {{6, 6, 0}, {6, 6, 1}, {6, 6, 2}}, {});
    EXPECT_TRUE(game->getBuildStatistics().allAttemptsFailed);
    Game::TileList order;
    EXPECT_FALSE(game->buildAttempt(game->getLayout(), order));
    // A row of three has two free tiles only: the third is the first again.
    Game* row = start(Game::TYPE_TRIPLE, {{6, 6, 0}, {8, 6, 0}, {10, 6, 0}}, {});
    EXPECT_FALSE(row->buildAttempt(row->getLayout(), order));
    // Three apart: one triple.
    Game* apart = start(Game::TYPE_TRIPLE, {{6, 6, 0}, {10, 6, 0}, {14, 6, 0}}, {});
    ASSERT_TRUE(apart->buildAttempt(apart->getLayout(), order));
    EXPECT_EQ(order.size(), 3u);
}

}  // namespace game_triple_test
