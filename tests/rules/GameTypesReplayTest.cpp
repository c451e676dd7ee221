// The five game types on the authored levels: each builds for many seeds and is played to its
// end without a screen, click by click through onTileClicked, along the order its build
// recorded (Split and Speed: each side-board tile against a free board tile of its key).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "TempFolder.h"
#include "framework/core/PropertyStore.h"
#include "game/rules/GameSplit.h"
#include "game/rules/SideBoard.h"
#include "rules/GameTestSupport.h"
#include "rules/RecordingGameScreen.h"

namespace {

// Board points lie from this origin on, clear of the side boards' sprites.
constexpr int kBoardOrigin = 1000;

// Every level node of the authored level files, with its game type.
void collectLevels(AbstractProperty* property, std::vector<RefHolder<PropertyNode>>& out) {
    if (property->isNode()) {
        PropertyNode* node = nodeOrDummy(property);
        if (node->getTypeWord() == "Level") {
            out.emplace_back(node);
            return;
        }
        for (const auto& entry : node->getNameTable()) {
            collectLevels(entry.second.get(), out);
        }
    } else if (property->isVector()) {
        PropertyVector* vector = vectorOrDummy(property);
        for (int32_t i = 0; i < vector->getChildCount(); ++i) {
            collectLevels(vector->getChildAt(i), out);
        }
    }
}

class GameTypesReplay : public testing::Test {
protected:
    void TearDown() override {
        Game::releaseCurrent();
        Random::releaseInstance();
    }

    // The first `count` authored levels of the type.
    std::vector<RefHolder<PropertyNode>> levelsOf(int type, size_t count) {
        std::vector<RefHolder<PropertyNode>> all;
        for (const char* file : {"hallway", "casino", "recroom", "roof"}) {
            RefHolder<PropertyStore> store(new PropertyStore());
            EXPECT_TRUE(store->loadFile(std::string("media/properties/levels/") + file + ".xml"));
            stores.push_back(store);
            collectLevels(store.get(), all);
        }
        std::vector<RefHolder<PropertyNode>> picked;
        for (const RefHolder<PropertyNode>& node : all) {
            if (node->getChildValue("gameType")->getValue() == Level::gameTypeWord(type) &&
                picked.size() < count) {
                picked.push_back(node);
            }
        }
        EXPECT_GE(picked.size(), std::min<size_t>(count, 3)) << Level::gameTypeWord(type);
        return picked;
    }

    // A click on a cell where the tile is the topmost one.
    void click(Game* game, Tile* tile) {
        if (tile->isOnSideBoard()) {
            game->onTileClicked(tile->getX(), tile->getY());
            return;
        }
        Layout* layout = game->getLayout();
        for (int dy = 0; dy < 2; ++dy) {
            for (int dx = 0; dx < 2; ++dx) {
                const int x = tile->getGridX() + dx;
                const int y = tile->getGridY() + dy;
                if (screen.tileAtPoint(layout, kBoardOrigin + x, kBoardOrigin + y) == tile) {
                    game->onTileClicked(kBoardOrigin + x, kBoardOrigin + y);
                    return;
                }
            }
        }
        ADD_FAILURE() << "no visible cell of the tile";
    }

    // Clicks the tiles of one match; every click but the last selects, the last matches.
    void playGroup(Game* game, const std::vector<Tile*>& group) {
        for (size_t i = 0; i < group.size(); ++i) {
            click(game, group[i]);
            const int expected = i + 1 == group.size() ? Game::CLICK_MATCH
                                 : i == 0              ? Game::CLICK_SELECT
                                                       : Game::CLICK_ADD;
            ASSERT_EQ(game->getClickOutcome(), expected) << "click " << i;
            game->update();
        }
    }

    // The board tile a side-board tile is played against: a free one of its key.
    static Tile* freePartner(Game* game, Tile* shown) {
        Game::TileList freeTiles;
        game->getLayout()->getFreeTiles(freeTiles);
        for (const RefHolder<Tile>& tile : freeTiles) {
            if (tile->getMatchKey() == shown->getMatchKey()) {
                return tile.get();
            }
        }
        return nullptr;
    }

    void play(Game* game) {
        Layout* layout = game->getLayout();
        const Game::TileList order = game->getBuildOrder();
        const int perMatch = game->getTilesPerMatch();
        switch (game->getGameType()) {
            case Game::TYPE_SPLIT:
                // The side board shows copies of the order's tiles as they come up.
                for (const RefHolder<Tile>& tile : order) {
                    ASSERT_TRUE(layout->isTileFree(tile.get()));
                    click(game, tile.get());
                    ASSERT_EQ(game->getClickOutcome(), Game::CLICK_MATCH);
                    game->update();
                }
                break;
            case Game::TYPE_SPEED:
                while (layout->getTileCount() > 0) {
                    Tile* shown = layout->getSideBoard()->getTileAt(0, 0);
                    ASSERT_NE(shown, nullptr);
                    Tile* partner = freePartner(game, shown);
                    ASSERT_NE(partner, nullptr);
                    click(game, partner);
                    ASSERT_EQ(game->getClickOutcome(), Game::CLICK_MATCH);
                    game->update();
                }
                break;
            default:
                ASSERT_EQ(order.size() % perMatch, 0u);
                for (size_t k = 0; k < order.size(); k += perMatch) {
                    std::vector<Tile*> group;
                    for (int i = 0; i < perMatch; ++i) {
                        group.push_back(order[k + i].get());
                    }
                    playGroup(game, group);
                    if (HasFatalFailure()) {
                        return;
                    }
                }
        }
        EXPECT_EQ(layout->getTileCount(), 0);
        if (game->getGameType() == Game::TYPE_SPLIT) {
            EXPECT_EQ(layout->getSideBoard()->getTileCount(), 0);
        }
        EXPECT_NE(std::find(screen.calls.begin(), screen.calls.end(), "enterGameWon"),
                  screen.calls.end());
    }

    void replayType(int type, size_t levels, uint32_t seeds) {
        int builds = 0;
        int played = 0;
        CurrentFolderScope inside(std::filesystem::path(QUOVEL_BINARY_DIR) / "game");
        for (const RefHolder<PropertyNode>& node : levelsOf(type, levels)) {
            for (uint32_t seed = 1; seed <= seeds; ++seed) {
                const std::string where =
                    node->getChildValue("layout")->getValue() + " seed " + std::to_string(seed);
                SCOPED_TRACE(where);
                Random::createInstance(seed);
                screen.calls.clear();
                RefHolder<BaseObject> made(
                    ObjectFactoryContainer::instance()->createObject(node.get()));
                RefHolder<Level> level(objectCast<Level>(made.get()));
                ASSERT_NE(level.get(), nullptr);
                ASSERT_GT(level->getLayoutObject()->getTileCount(), 0);
                Game* game = Game::create(type);
                ASSERT_NE(game, nullptr);
                game->setLevel(level.get());
                ASSERT_FALSE(game->getBuildStatistics().allAttemptsFailed);
                ++builds;
                if (game->getBuildStatistics().usedFallbackDeal) {
                    continue;  // faces along free tiles, not along the order
                }
                ++played;
                play(game);
                if (HasFatalFailure()) {
                    return;
                }
            }
        }
        // Only tall Classic-like boards meet the stacking check often enough to fall back.
        EXPECT_GE(played * 10, builds * 8);
    }

    game_test::ScopedSuits suits;
    rules_test::RecordingGameScreen screen{1, 1, kBoardOrigin, kBoardOrigin};
    rules_test::ScopedGameScreen screenScope{screen};
    std::vector<RefHolder<PropertyStore>> stores;
};

TEST_F(GameTypesReplay, FreeCellLevelsPlayToTheEnd) {
    replayType(Game::TYPE_FREECELL, 100, 5);
}

TEST_F(GameTypesReplay, RiverLevelsPlayToTheEnd) {
    replayType(Game::TYPE_RIVER, 100, 5);
}

TEST_F(GameTypesReplay, SplitLevelsPlayToTheEnd) {
    replayType(Game::TYPE_SPLIT, 100, 5);
}

TEST_F(GameTypesReplay, SpeedLevelsPlayToTheEnd) {
    replayType(Game::TYPE_SPEED, 100, 5);
}

TEST_F(GameTypesReplay, TripleLevelsPlayToTheEnd) {
    replayType(Game::TYPE_TRIPLE, 100, 5);
}

}  // namespace
