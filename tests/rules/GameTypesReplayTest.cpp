// The five game types on the authored levels: each builds for many seeds and is played to its
// end without a screen, click by click through onTileClicked, along the order its build
// recorded (Split and Speed: each side-board tile against a free board tile of its key).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "framework/core/PropertyStore.h"
#include "game/rules/GameSplit.h"
#include "rules/BuildPlayer.h"
#include "rules/GameTestSupport.h"
#include "testsupport/TempFolder.h"

namespace game_types_replay_test {

// Every level node of the authored level files, with its game type.
void collectReplayLevels(AbstractProperty* property, std::vector<RefHolder<PropertyNode>>& out) {
    if (property->isNode()) {
        PropertyNode* node = nodeOrDummy(property);
        if (node->getTypeWord() == "Level") {
            out.emplace_back(node);
            return;
        }
        for (const auto& entry : node->getNameTable()) {
            collectReplayLevels(entry.second.get(), out);
        }
    } else if (property->isVector()) {
        PropertyVector* vector = vectorOrDummy(property);
        for (int32_t i = 0; i < vector->getChildCount(); ++i) {
            collectReplayLevels(vector->getChildAt(i), out);
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
            collectReplayLevels(store.get(), all);
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
                RefHolder<BaseObject> made(
                    ObjectFactoryContainer::instance()->createObject(node.get()));
                RefHolder<Level> level(objectCast<Level>(made.get()));
                ASSERT_NE(level.get(), nullptr);
                ASSERT_GT(level->getLayoutObject()->getTileCount(), 0);
                Game* game = Game::create(static_cast<GameType>(type));
                ASSERT_NE(game, nullptr);
                game->setLevel(level.get());
                ASSERT_FALSE(game->getBuildStatistics().allAttemptsFailed);
                ++builds;
                if (game->getBuildStatistics().usedFallbackDeal) {
                    continue;  // faces along free tiles, not along the order
                }
                ++played;
                ASSERT_NO_FATAL_FAILURE(player.play(game));
            }
        }
        // Only tall Classic-like boards meet the stacking check often enough to fall back.
        EXPECT_GE(played * 10, builds * 8);
    }

    game_test::ScopedSuits suits;
    game_test::BuildPlayer player;
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

}  // namespace game_types_replay_test
