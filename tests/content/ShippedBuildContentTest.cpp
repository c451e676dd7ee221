// Every level the building can start, and every layout a series can reach at its first and last
// step, built with the shipped tile suits from many seeds: each build must end in an order that
// empties the board, never in the fall-back deal (a board nobody proved winnable), with a face on
// every tile. One test per game type, so that they run side by side.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "framework/core/PropertyNode.h"
#include "framework/core/Random.h"
#include "game/rules/GameSplit.h"
#include "game/rules/Layout.h"
#include "game/rules/LevelCatalog.h"
#include "game/rules/Tile.h"
#include "game/rules/TileManager.h"
#include "game/rules/TileSuit.h"
#include "rules/BuildPlayer.h"
#include "testsupport/TempFolder.h"
#include "testsupport/content/ShippedBuilds.h"

namespace shipped_build_content_test {

#ifdef __SANITIZE_ADDRESS__
constexpr uint32_t SEEDS = 4;  // the sanitizer build looks for memory faults, not odds
#else
constexpr uint32_t SEEDS = 50;
#endif

// Takes the build order off the board group by group, as a player would click it: every group
// must be free and matching when its turn comes. The board is put back afterwards.
::testing::AssertionResult orderEmptiesBoard(Game* game) {
    Layout* layout = game->getLayout();
    const Game::TileList& order = game->getBuildOrder();
    const size_t perMatch = static_cast<size_t>(game->getTilesPerMatch());
    Game::TileList all;
    layout->getAllTiles(all);
    if (order.size() != all.size()) {
        return ::testing::AssertionFailure()
               << "the order holds " << order.size() << " of " << all.size() << " tiles";
    }
    ::testing::AssertionResult result = ::testing::AssertionSuccess();
    for (size_t k = 0; k < order.size() && result; k += perMatch) {
        for (size_t i = k; i < k + perMatch; ++i) {
            if (!layout->isTileFree(order[i].get()) ||
                (i > k && !game->canMatch(order[k].get(), order[i].get()))) {
                result = ::testing::AssertionFailure()
                         << "group " << k / perMatch << " is not a free match in its turn";
            }
        }
        for (size_t i = k; i < k + perMatch && result; ++i) {
            layout->removeTile(order[i].get());
        }
    }
    layout->placeTiles(all);
    return result;
}

class ShippedBuildContentTest : public ::testing::TestWithParam<int32_t> {
protected:
    void SetUp() override {
        ASSERT_TRUE(content_test::loadShippedSuits());
        catalog.load();
    }
    void TearDown() override {
        Game::releaseCurrent();
        Random::releaseInstance();
        content_test::releaseShippedSuits();
    }

    CurrentFolderScope inside{std::filesystem::path(QUOVEL_BINARY_DIR) / "game"};
    LevelCatalog catalog;
};

// The deals and first match lists of seeds 1 to 4 over every build of each type, as the builders
// have always made them: the same seed must deal the same level whatever makes building faster.
constexpr uint32_t PINNED_SEEDS = 4;
const uint64_t PINNED_DEALS[] = {0xe15d6d9442617359, 0xdcd93e5b444cbd06, 0xd2fc8ce04b34ba79,
                                 0x1c6451b2db23cf6f, 0x56181d4567e4e83a, 0xa22eb3b416075ad2};

TEST_P(ShippedBuildContentTest, EveryLevelBuildsWinnableWithoutTheFallBackDeal) {
    const int32_t type = GetParam();
    const int32_t suits = TileManager::instance()->getSuitCount();
    int builds = 0;
    uint64_t dealt = content_test::NO_BUILD_FINGERPRINT;
    for (const content_test::ShippedBuild& build : content_test::shippedBuilds(catalog, type)) {
        ASSERT_EQ(build.gameType, type) << build.where;
        SCOPED_TRACE(build.where);
        ++builds;
        for (uint32_t seed = 1; seed <= SEEDS; ++seed) {
            SCOPED_TRACE("seed " + std::to_string(seed));
            Game* game = content_test::startBuild(build, seed);
            ASSERT_NE(game, nullptr);
            const Game::BuildStatistics& statistics = game->getBuildStatistics();
            ASSERT_FALSE(statistics.allAttemptsFailed);
            ASSERT_FALSE(statistics.usedFallbackDeal);
            if (seed <= PINNED_SEEDS) {
                content_test::fingerprintBuild(dealt, *game);
            }
            Game::TileList tiles;
            game->getLayout()->getAllTiles(tiles);
            for (const RefHolder<Tile>& tile : tiles) {
                ASSERT_GE(tile->getSuit(), 0);
                ASSERT_LT(tile->getSuit(), suits) << "a tile without a face";
            }
            if (type == Game::TYPE_SPLIT || type == Game::TYPE_SPEED) {
                // Every match joins a board tile with a copy on the side board.
                ASSERT_EQ(game->getBuildOrder().size(), tiles.size());
            } else {
                ASSERT_TRUE(orderEmptiesBoard(game));
            }
        }
    }
    EXPECT_GT(builds, 0);
    EXPECT_EQ(dealt, PINNED_DEALS[type]) << "the shipped levels deal differently";
}

// The board and side board's fingerprint, then the places of the queue's tiles.
std::vector<uint64_t> boardRackAndQueue(Game* game) {
    std::vector<uint64_t> out{content_test::NO_BUILD_FINGERPRINT};
    content_test::fingerprintBuild(out[0], *game);
    auto* split = objectCast<GameSplit>(game);
    for (const RefHolder<Tile>& t : split ? split->getSideBoardOrder() : Game::TileList()) {
        out.push_back((t->getGridX() * 32u + t->getGridY()) * 8u + t->getGridZ());
    }
    return out;
}

// Played part of the way, every build plays on to the win along its order after a stuck check's
// trial deal and an undo, after a hint shown as the screen shows it (its tiles marked and
// selected) and an undo, and along the new order after a shuffle (seeds 1 to 3), and saved
// after the aid, continued and restarted.
TEST_P(ShippedBuildContentTest, EveryLevelPlaysToTheEndAfterAStuckCheckOrAShuffle) {
    game_test::BuildPlayer player;
    for (const auto& build : content_test::shippedBuilds(catalog, GetParam())) {
        for (uint32_t run = 0; run < 9; ++run) {
            SCOPED_TRACE(build.where + " run " + std::to_string(run));
            Game* game = content_test::startBuild(build, run / 3 + 1);
            const std::vector<uint64_t> start = boardRackAndQueue(game);
            const size_t part = game->getBuildOrder().size() / 4;
            RefHolder<PropertyNode> saved(new PropertyNode("game", ""));
            ASSERT_NO_FATAL_FAILURE(player.play(game, 0, part));
            if (run % 3 != 2) {
                Game::TileList hint;
                if (run % 3 == 0) {
                    game->shuffleWouldHelp();
                } else {
                    ASSERT_TRUE(game->findHint(hint));
                    ASSERT_EQ(hint.size(), static_cast<size_t>(game->getTilesPerMatch()));
                }
                for (const RefHolder<Tile>& tile : hint) {
                    EXPECT_TRUE(tile->isOnSideBoard() || game->getLayout()->isTileFree(tile.get()));
                    EXPECT_TRUE(tile == hint.front() || game->canMatch(hint[0].get(), tile.get()));
                    game->addSuperHintTile(tile.get());
                    game->addSelectedTile(tile.get());
                }
                // Taking the last match back drops the hint's marks with it.
                game->undo();
                EXPECT_TRUE(game->getSelection().empty() && game->getSuperHintTiles().empty());
            } else {
                game->clearUndoHistory();
                game->dealShuffle();
                game->applyShuffle();
                ASSERT_FALSE(game->getBuildStatistics().usedFallbackDeal);
            }
            game->save(saved.get());
            ASSERT_NO_FATAL_FAILURE(player.play(game, run % 3 != 2 ? part - 1 : 0));
            // The level start again; Split's second leg is the game kept before the start's queue.
            for (int leg = 0; leg < (GetParam() == Game::TYPE_SPLIT ? 2 : 1); ++leg) {
                ASSERT_TRUE(Game::restoreCurrent(saved.get()));
                Game::current()->restartLevel();
                if (leg == 0 || run % 3 != 2) {
                    EXPECT_EQ(boardRackAndQueue(Game::current()), start);
                } else {  // the queue kept after a shuffle no longer tells the start's
                    EXPECT_EQ(boardRackAndQueue(Game::current()).size(), start.size());
                    ASSERT_NO_FATAL_FAILURE(player.play(Game::current()));
                }
                saved->removeChild("sb_order_start");
            }
        }
    }
}

// The suits the tile art draws: characters, circles and bamboo 1-9, four winds, three dragons,
// and four flowers and four seasons that match within their suit. A full board of 144 gets every
// regular face four times and two groups of four special faces.
TEST(ShippedSuitsTest, DealAFullBoardOfEveryFace) {
    CurrentFolderScope inside(std::filesystem::path(QUOVEL_BINARY_DIR) / "game");
    ASSERT_TRUE(content_test::loadShippedSuits());
    const TileManager& manager = *TileManager::instance();
    ASSERT_EQ(manager.getSuitCount(), 7);
    const int32_t sizes[] = {9, 9, 9, 4, 3, 4, 4};
    for (int32_t suit = 0; suit < 7; ++suit) {
        EXPECT_EQ(manager.getSuit(suit)->getSize(), sizes[suit]) << "suit " << suit;
        EXPECT_EQ(manager.matchesAsWhole(suit), suit >= 5) << "suit " << suit;
    }
    Random::createInstance(3);
    std::vector<RefHolder<TileDef>> faces;
    manager.dealDefs(144, 2, 4, 5, faces);
    ASSERT_EQ(faces.size(), 144u);
    std::map<std::pair<int32_t, int32_t>, int> counts;
    int special = 0;
    for (const RefHolder<TileDef>& face : faces) {
        ASSERT_GE(face->getSuit(), 0);
        ASSERT_LT(face->getSuit(), 7);
        ASSERT_GE(face->getValue(), 0);
        ASSERT_LT(face->getValue(), sizes[face->getSuit()]);
        if (face->getSuit() >= 5) {
            ++special;
        } else {
            ++counts[{face->getSuit(), face->getValue()}];
        }
    }
    EXPECT_EQ(special, 8);
    EXPECT_EQ(counts.size(), 34u);
    for (const auto& [face, count] : counts) {
        EXPECT_EQ(count, 4) << "suit " << face.first << " value " << face.second;
    }
    Random::releaseInstance();
    content_test::releaseShippedSuits();
}

INSTANTIATE_TEST_SUITE_P(GameTypes, ShippedBuildContentTest,
                         ::testing::Values(Game::TYPE_CLASSIC, Game::TYPE_FREECELL,
                                           Game::TYPE_SPLIT, Game::TYPE_TRIPLE, Game::TYPE_RIVER,
                                           Game::TYPE_SPEED),
                         [](const ::testing::TestParamInfo<int32_t>& info) {
                             return std::string(Level::gameTypeWord(info.param));
                         });

}  // namespace shipped_build_content_test
