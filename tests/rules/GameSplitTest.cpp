// The split and speed games: the hands of the build, the match rule and its clicks, the copies
// the side board gets, the queue across undo, save, restore and restart, and the error box when
// no level can be built.
#include <gtest/gtest.h>

#include <set>

#include "game/rules/GameHooks.h"
#include "game/rules/GameSpeed.h"
#include "rules/GameTypesSupport.h"
#include "testsupport/os/FakeMessageBox.h"

namespace game_split_test {

using game_test::Position;

// Two rows of twelve: the free tiles are the rows' ends.
std::vector<Position> twoRows() {
    const std::vector<Position> all = game_test::pyramid144();
    return {all.begin(), all.begin() + 24};
}

// Grid positions of a list of tiles.
std::vector<Position> positionsOf(const Game::TileList& tiles) {
    std::vector<Position> out;
    for (const RefHolder<Tile>& tile : tiles) {
        out.push_back({tile->getGridX(), tile->getGridY(), tile->getGridZ()});
    }
    return out;
}

class GameSplitTest : public game_test::GameTypesTest {
protected:
    GameSplit* startSplit(int columns = 2, int rows = 1, int type = Game::TYPE_SPLIT) {
        return objectCast<GameSplit>(
            start(type, twoRows(), {}, columns, rows,
                  {{"firstHand", "1"}, {"secondHand", "1"}, {"thirdHand", "1"}}));
    }
    // Plays the next tile of the build order against its copy on the side board.
    static void playNext(GameSplit* game, size_t index) {
        Tile* tile = game->getBuildOrder()[index].get();
        ASSERT_EQ(click({tile->getGridX(), tile->getGridY(), 0}), Game::CLICK_MATCH);
    }
};

TEST_F(GameSplitTest, ASolvableSplitOrSpeedBuildReportsNoProblem) {
    for (int type : {Game::TYPE_SPLIT, Game::TYPE_SPEED}) {
        Game* game = startSplit(2, 1, type);
        EXPECT_FALSE(game->getBuildStatistics().allAttemptsFailed) << type;
        EXPECT_FALSE(game->getBuildStatistics().levelBuildProblem) << type;
    }
}

TEST_F(GameSplitTest, HandsShareTheSlots) {
    struct Case {
        int slots, h1, h2, h3, c1, c2, c3;
    };
    const Case cases[] = {
        {8, 1, 1, 2, 2, 2, 4},  {8, 0, 1, 1, 1, 4, 3},
        {4, 1, 2, 1, 1, 2, 1},  {8, 0, 0, 0, 1, 0, 7},  // no weights: no division by zero
        {8, -3, 5, 0, 1, 8, 0},  // negative weights count as 0; the third hand never wraps
        {1, 0, 1, 0, 1, 1, 0},  {0, 1, 1, 1, 1, 0, 0},
    };
    for (const Case& c : cases) {
        const GameSplit::Hands hands = GameSplit::computeHands(c.slots, c.h1, c.h2, c.h3);
        EXPECT_EQ(hands.first, c.c1) << c.slots << " " << c.h1 << c.h2 << c.h3;
        EXPECT_EQ(hands.second, c.c2) << c.slots << " " << c.h1 << c.h2 << c.h3;
        EXPECT_EQ(hands.third, c.c3) << c.slots << " " << c.h1 << c.h2 << c.h3;
    }
}

TEST_F(GameSplitTest, BoardTilesMatchOnlySideBoardTilesAndAreNeverSelectedAlone) {
    GameSplit* game = startSplit();
    Tile* left = tileAt({4, 2, 0});
    Tile* right = tileAt({26, 2, 0});
    left->setFace(3, 2);
    right->setFace(3, 2);
    sideBoard()->clearAll();
    Tile* slot = park(0, 0, 3, 2);
    EXPECT_TRUE(game->canMatch(left, slot));
    EXPECT_TRUE(game->canMatch(slot, right));
    EXPECT_FALSE(game->canMatch(left, right));

    // A lone board tile without a partner on the side board: nothing is selected.
    right->setFace(3, 1);
    EXPECT_EQ(click({26, 2, 0}), Game::CLICK_NO_TILE);
    EXPECT_TRUE(game->getSelection().empty());
    EXPECT_TRUE(recorded("addBlockedPulse 26,2,0"));
    // A side-board tile alone is not taken either.
    EXPECT_EQ(click(slot), Game::CLICK_NO_TILE);

    // Two board tiles of one face count as an attempt.
    right->setFace(3, 2);
    game->addSelectedTile(right);
    game->onTileClicked(game_test::BOARD_ORIGIN + 4, game_test::BOARD_ORIGIN + 2);
    EXPECT_EQ(game->getBoardAttempts(), 1u);
    EXPECT_EQ(game->getSideBoardAttempts(), 0u);
    game->resetHintCounters();
    EXPECT_EQ(game->getBoardAttempts(), 0u);
    game->clearSelection();

    // The board tile with its side-board partner is a match that takes both.
    EXPECT_EQ(click({4, 2, 0}), Game::CLICK_MATCH);
    EXPECT_EQ(tileAt({4, 2, 0}), nullptr);
    EXPECT_EQ(sideBoard()->getTileAt(0, 0) == slot, false);
}

TEST_F(GameSplitTest, ASuperHintSideBoardClickTakesItsBoardPartnerAndNeverALoneTile) {
    GameSplit* game = startSplit();
    tileAt({4, 2, 0})->setFace(3, 1);
    tileAt({26, 2, 0})->setFace(3, 2);
    game->addSuperHintTile(tileAt({26, 2, 0}));
    const int32_t tiles = game->getLayout()->getTileCount();

    // A side-board tile without a board partner is not taken alone.
    sideBoard()->clearAll();
    Tile* lone = park(0, 0, 3, 3);
    game->addSuperHintTile(lone);
    EXPECT_EQ(click(lone), Game::CLICK_MATCH);
    EXPECT_EQ(sideBoard()->getTileAt(0, 0), lone);
    EXPECT_EQ(game->levelCounts.removedTilesCount, 0);
    EXPECT_TRUE(game->getUndoHistory().empty());

    // With a partner the pair goes: the board tile with the side-board one.
    sideBoard()->clearAll();
    Tile* slot = park(0, 0, 3, 2);
    game->addSuperHintTile(slot);
    EXPECT_EQ(click(slot), Game::CLICK_MATCH);
    EXPECT_EQ(tileAt({26, 2, 0}), nullptr);
    EXPECT_EQ(game->getLayout()->getTileCount(), tiles - 1);
    EXPECT_EQ(game->levelCounts.removedTilesCount, 2);
    EXPECT_EQ(game->getUndoHistory().size(), 1u);
}

TEST_F(GameSplitTest, SideBoardTilesAreCopiesAndSpecialSuitsDrawTheirValue) {
    GameSplit* game = startSplit();
    Game::TileList queued = game->getSideBoardOrder();
    ASSERT_GE(queued.size(), 20u);
    std::set<int> values;
    for (size_t i = 0; i < 20; ++i) {
        Tile* source = queued[queued.size() - 1 - i].get();
        source->setFace(i % 2 == 0 ? 5 : 1, 3);
        RefHolder<Tile> copy(game->nextTile());
        ASSERT_NE(copy.get(), nullptr);
        EXPECT_NE(copy.get(), source);
        EXPECT_EQ(copy->getSuit(), source->getSuit());
        if (source->getSuit() == 5) {
            EXPECT_GE(copy->getValue(), 0);
            EXPECT_LE(copy->getValue(), 3);
            EXPECT_TRUE(copy->isWholeSuit());
            values.insert(copy->getValue());
        } else {
            EXPECT_EQ(copy->getValue(), 3);
        }
        EXPECT_EQ(game->getSideBoardOrderUndo().back().get(), source);
    }
    EXPECT_GT(values.size(), 1u);
}

TEST_F(GameSplitTest, UndoReturnsAQueuedTileOnlyWhenTheRefillTookOne) {
    GameSplit* game = startSplit();
    const size_t queued = game->getSideBoardOrder().size();
    ASSERT_EQ(queued, 22u);  // 24 tiles, two on the side board
    playNext(game, 0);
    EXPECT_EQ(game->getSideBoardOrder().size(), queued - 1);
    EXPECT_EQ(sideBoard()->getTileCount(), 2);
    game->undo();
    EXPECT_EQ(game->getSideBoardOrder().size(), queued);
    EXPECT_EQ(sideBoard()->getTileCount(), 2);

    // Played down to the last two tiles the queue is empty; an undo then gives nothing back.
    for (size_t i = 0; i < 22; ++i) {
        playNext(game, i);
    }
    ASSERT_TRUE(game->getSideBoardOrder().empty());
    playNext(game, 22);
    EXPECT_EQ(sideBoard()->getTileCount(), 1);
    const size_t handedOut = game->getSideBoardOrderUndo().size();
    game->undo();
    EXPECT_TRUE(game->getSideBoardOrder().empty());
    EXPECT_EQ(game->getSideBoardOrderUndo().size(), handedOut);
    EXPECT_EQ(sideBoard()->getTileCount(), 2);
    playNext(game, 22);
    playNext(game, 23);
    EXPECT_TRUE(recorded("enterGameWon"));
}

TEST_F(GameSplitTest, ARestoredGameRestartsWithTheQueueOfTheLevelStart) {
    GameSplit* game = startSplit();
    const std::vector<Position> initial = positionsOf(game->getInitialOrder());
    ASSERT_EQ(initial.size(), 22u);
    for (size_t i = 0; i < 5; ++i) {
        playNext(game, i);
    }
    game->undo();
    RefHolder<PropertyNode> saved(new PropertyNode("game", ""));
    game->save(saved.get());
    EXPECT_EQ(saved->getTypeWord(), "GameSplit");
    ASSERT_TRUE(saved->getChild("sb_order")->isVector());
    ASSERT_TRUE(saved->getChild("sb_order_undo")->isVector());

    game->restartLevel();
    const std::vector<Position> restarted = positionsOf(game->getSideBoardOrder());
    EXPECT_EQ(restarted, initial);

    ASSERT_TRUE(Game::restoreCurrent(saved.get()));
    auto* restored = objectCast<GameSplit>(Game::current());
    ASSERT_NE(restored, nullptr);
    EXPECT_EQ(restored->getSideBoardOrder().size(), 22u - 4u);
    EXPECT_EQ(restored->getSideBoardOrderUndo().size(), 2u + 4u);
    EXPECT_EQ(positionsOf(restored->getInitialOrder()), initial);
    restored->restartLevel();
    EXPECT_EQ(positionsOf(restored->getSideBoardOrder()), initial);
    EXPECT_EQ(restored->getLayout()->getSideBoard()->getTileCount(), 2);
}

TEST_F(GameSplitTest, SpeedShowsACopyOfAFreeTileAndSavesNoQueue) {
    auto* game = objectCast<GameSpeed>(startSplit(1, 1, Game::TYPE_SPEED));
    ASSERT_NE(game, nullptr);
    EXPECT_TRUE(game->getSideBoardOrder().empty());
    Tile* shown = sideBoard()->getTileAt(0, 0);
    ASSERT_NE(shown, nullptr);
    Game::TileList hint;
    ASSERT_TRUE(game->findHint(hint));
    ASSERT_EQ(hint.size(), 2u);
    EXPECT_EQ(hint[0].get(), shown);
    EXPECT_TRUE(game->getLayout()->isTileFree(hint[1].get()));
    EXPECT_EQ(hint[1]->getMatchKey(), shown->getMatchKey());
    Game::TileList matches;
    game->findMatches(matches, nullptr);
    EXPECT_EQ(matches[0].get(), shown);

    // A match, and its undo puts the shown tile back.
    ASSERT_EQ(click({hint[1]->getGridX(), hint[1]->getGridY(), 0}), Game::CLICK_MATCH);
    EXPECT_NE(sideBoard()->getTileAt(0, 0), shown);
    game->undo();
    EXPECT_EQ(sideBoard()->getTileAt(0, 0), shown);
    EXPECT_TRUE(game->getSideBoardOrder().empty());

    RefHolder<PropertyNode> saved(new PropertyNode("game", ""));
    game->save(saved.get());
    EXPECT_EQ(saved->getTypeWord(), "GameSpeed");
    EXPECT_EQ(saved->getChild("sb_order"), nullptr);
    EXPECT_EQ(saved->getChild("sb_order_undo"), nullptr);
}

TEST_F(GameSplitTest, WithoutSideBoardSlotsTheErrorBoxIsShownAndTheLevelGoesOn) {
    FakeMessageBox box;
    GameHooks::installMessageBox(&box);
    BasicProperties::instance()->setText("TEXT_LEVEL_BUILD_ERROR_TITLE", L"Error");
    BasicProperties::instance()->setText("TEXT_LEVEL_BUILD_ERROR", L"No level.\\nRestart.");
    struct Case {
        int type, columns;
    };
    for (const Case& c : {Case{Game::TYPE_SPLIT, 0}, Case{Game::TYPE_SPLIT, -1},
                          Case{Game::TYPE_SPEED, 0}, Case{Game::TYPE_CLASSIC, 0}}) {
        SCOPED_TRACE(std::to_string(c.type) + " " + std::to_string(c.columns));
        box.shown.clear();
        Game* game = c.columns < 0 ? start(c.type, twoRows(), {})
                                   : start(c.type, twoRows(), {}, c.columns, 1);
        if (c.type == Game::TYPE_CLASSIC) {
            EXPECT_TRUE(box.shown.empty());
            continue;
        }
        EXPECT_TRUE(game->getBuildStatistics().allAttemptsFailed);
        ASSERT_EQ(box.shown.size(), 1u);
        EXPECT_EQ(box.shown[0].title, "Error");
        EXPECT_EQ(box.shown[0].text, "No level.\nRestart.");
        // The level goes on, dealt along the grid order.
        Game::TileList all;
        game->getLayout()->getAllTiles(all);
        EXPECT_EQ(positionsOf(game->getBuildOrder()), positionsOf(all));
        for (const RefHolder<Tile>& tile : all) {
            EXPECT_NE(tile->getSuit(), Tile::NO_SUIT);
        }
        EXPECT_EQ(game->getLayoutCopy()->getTileCount(), 24);
        box.shown.clear();  // a stuck check's trial deal fails without a word
        game->shuffleWouldHelp();
        EXPECT_TRUE(box.shown.empty());
    }
    GameHooks::installMessageBox(nullptr);
}

}  // namespace game_split_test
