// The river game: matches need one layer and a joining path, the counter of cross-layer clicks,
// the layer-by-layer build with its bound, and builds that replay by clicks on boards where a
// path leaves a tile through half a side.
#include <gtest/gtest.h>

#include "game/rules/GameRiver.h"
#include "game/rules/TilePathFinder.h"
#include "rules/GameTypesSupport.h"

namespace game_river_test {

using game_test::Position;

// A tile at (10, 8) hemmed in left, right and below, with only the upper-left cell above it
// open; a partner far to the right and one more tile to make the count even.
const std::vector<Position> HALF_OPEN = {{10, 8, 0}, {8, 8, 0},   {12, 8, 0}, {11, 6, 0},
                                         {9, 10, 0}, {11, 10, 0}, {30, 8, 0}, {30, 14, 0}};

class GameRiverTest : public game_test::GameTypesTest {
protected:
    GameRiver* startRiver(const std::vector<Position>& positions,
                          const std::vector<std::pair<int, int>>& faces) {
        return objectCast<GameRiver>(start(Game::TYPE_RIVER, positions, faces));
    }
};

TEST_F(GameRiverTest, EqualFacesOnTwoLayersNeverMatchAndSuchAClickIsCounted) {
    GameRiver* game = startRiver({{4, 4, 0}, {10, 4, 1}, {20, 4, 0}}, {{0, 3}, {0, 3}, {1, 1}});
    Tile* low = tileAt({4, 4, 0});
    Tile* high = tileAt({10, 4, 1});
    EXPECT_FALSE(game->canMatch(low, high));
    EXPECT_EQ(click({4, 4, 0}), Game::CLICK_SELECT);
    EXPECT_EQ(click({10, 4, 1}), Game::CLICK_SELECT);
    EXPECT_EQ(game->getAttemptCounter(), 1);
    // Another face on another layer, or the same tile again, counts nothing.
    EXPECT_EQ(click({20, 4, 0}), Game::CLICK_SELECT);
    EXPECT_EQ(click({20, 4, 0}), Game::CLICK_DESELECT);
    EXPECT_EQ(game->getAttemptCounter(), 1);
    game->resetHintCounters();
    EXPECT_EQ(game->getAttemptCounter(), 0);
}

TEST_F(GameRiverTest, EqualFacesOnOneLayerMatchOnlyWhenAPathJoinsThem) {
    // A tile walled in on all sides, and a partner in the open.
    const std::vector<Position> walled = {{10, 8, 0}, {8, 8, 0},  {12, 8, 0},  {9, 6, 0},
                                          {11, 6, 0}, {9, 10, 0}, {11, 10, 0}, {30, 8, 0}};
    GameRiver* game =
        startRiver(walled, {{2, 2}, {0, 1}, {0, 2}, {0, 3}, {0, 4}, {0, 5}, {0, 6}, {2, 2}});
    Tile* inside = tileAt({10, 8, 0});
    Tile* outside = tileAt({30, 8, 0});
    EXPECT_FALSE(game->canMatch(inside, outside));
    game->getLayout()->removeTile(tileAt({9, 6, 0}));
    EXPECT_TRUE(game->canMatch(inside, outside));
    EXPECT_TRUE(game->canMatch(outside, inside));
    EXPECT_FALSE(game->canMatch(inside, inside));
    // Half the upper side is open: a path, but the tile is not free, so a click is blocked.
    EXPECT_EQ(click({30, 8, 0}), Game::CLICK_SELECT);
    EXPECT_EQ(click({10, 8, 0}), Game::CLICK_BLOCKED);
    // With the whole upper side open the widened free rule frees it.
    game->getLayout()->removeTile(tileAt({11, 6, 0}));
    EXPECT_TRUE(screen.getDirtyRects().empty());
    EXPECT_EQ(click({10, 8, 0}), Game::CLICK_MATCH);
    EXPECT_EQ(game->getLayout()->getTileCount(), 4);
    // The removal redraws the whole screen.
    ASSERT_EQ(screen.getDirtyRects().size(), 1u);
    EXPECT_EQ(screen.getDirtyRects()[0], (Rect{0, 0, 800, 600}));
}

TEST_F(GameRiverTest, TheBuildTakesTheTopLayerFirstAndSkipsEmptyLayers) {
    const std::vector<Position> board = {{4, 4, 0},   {10, 4, 0}, {4, 10, 2},
                                         {10, 10, 2}, {20, 4, 0}, {26, 4, 0}};
    GameRiver* game = startRiver(board, {});
    Game::TileList order;
    ASSERT_TRUE(game->buildAttempt(game->getLayout(), order));
    ASSERT_EQ(order.size(), 6u);
    EXPECT_EQ(order[0]->getGridZ(), 2);
    EXPECT_EQ(order[1]->getGridZ(), 2);
    for (size_t i = 2; i < order.size(); ++i) {
        EXPECT_EQ(order[i]->getGridZ(), 0);
    }
    EXPECT_EQ(game->getLayout()->getTileCount(), 0);  // the attempt took them off
}

TEST_F(GameRiverTest, ALayerThatCannotBePairedFailsTheAttemptInsteadOfDrawingForEver) {
    // Three tiles on one layer: after one pair a single tile is left.
    GameRiver* game = startRiver({{4, 4, 0}, {10, 4, 0}, {20, 4, 0}}, {});
    Game::TileList order;
    EXPECT_FALSE(game->buildAttempt(game->getLayout(), order));
    EXPECT_TRUE(game->getBuildStatistics().allAttemptsFailed);
    EXPECT_EQ(game->getBuildStatistics().numNotSolvable, game->getBuildStatistics().attempts);
}

TEST_F(GameRiverTest, BuildsPairOnlyFreeTilesAndReplayByClicks) {
    int halfOpenLater = 0;
    for (seed = 1; seed <= 30; ++seed) {
        SCOPED_TRACE(seed);
        GameRiver* game = startRiver(HALF_OPEN, {});
        Layout* layout = game->getLayout();
        // The premise: a path leaves the hemmed-in tile, but it is not free.
        Tile* hemmed = tileAt(HALF_OPEN[0]);
        ASSERT_TRUE(TilePathFinder::areConnected(*layout, *hemmed, *tileAt(HALF_OPEN[6])));
        ASSERT_FALSE(layout->isTileFree(hemmed));
        ASSERT_FALSE(game->getBuildStatistics().allAttemptsFailed);
        const Game::TileList order = game->getBuildOrder();
        ASSERT_EQ(order.size(), HALF_OPEN.size());
        halfOpenLater += order[0].get() != hemmed && order[1].get() != hemmed;
        for (size_t k = 0; k < order.size(); k += 2) {
            const Position a = {order[k]->getGridX(), order[k]->getGridY(), 0};
            const Position b = {order[k + 1]->getGridX(), order[k + 1]->getGridY(), 0};
            ASSERT_EQ(click(a), Game::CLICK_SELECT) << "pair " << k / 2;
            ASSERT_EQ(click(b), Game::CLICK_MATCH) << "pair " << k / 2;
        }
        EXPECT_EQ(layout->getTileCount(), 0);
        EXPECT_TRUE(recorded("enterGameWon"));
    }
    EXPECT_EQ(halfOpenLater, 30);
}

TEST_F(GameRiverTest, ASavedRiverGameCarriesNoCounter) {
    GameRiver* game = startRiver({{4, 4, 0}, {10, 4, 1}}, {{0, 3}, {0, 3}});
    click({4, 4, 0});
    click({10, 4, 1});
    ASSERT_EQ(game->getAttemptCounter(), 1);
    RefHolder<PropertyNode> saved(new PropertyNode("game", ""));
    game->save(saved.get());
    EXPECT_EQ(saved->getTypeWord(), "GameRiver");
    EXPECT_EQ(saved->getChild("attemptCounter"), nullptr);
    RefHolder<BaseObject> made(ObjectFactoryContainer::instance()->createObject(saved.get()));
    auto* restored = objectCast<GameRiver>(made.get());
    ASSERT_NE(restored, nullptr);
    EXPECT_TRUE(restored->isRestored());
    EXPECT_EQ(restored->getAttemptCounter(), 0);
}

}  // namespace game_river_test
