// The authored level files through the level catalogue, from the game's folder as the program
// reads them: every place the building asks for gives its level, every level builds for its
// game type into a board that its build order empties, and every casino and roof series steps
// through its list and then around its hard part, building at each step.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "content/MediaContent.h"
#include "game/rules/LevelCatalog.h"
#include "rules/BuildPlayer.h"
#include "rules/GameTestSupport.h"
#include "testsupport/TempFolder.h"

namespace catalog_content_test {

using media::GAME_FOLDER;

// Plays the board at random, a free matching group (getTilesPerMatch tiles) at a time, from up
// to kTries fresh starts; true when a play empties it. This proves a board that the builder's
// fall-back deal made, which keeps no removal order. The board is left as it was.
bool clearsByRandomFreeGroups(Game* game, uint32_t seed) {
    constexpr int kTries = 300;
    Layout* layout = game->getLayout();
    const size_t group = static_cast<size_t>(game->getTilesPerMatch());
    std::mt19937 random(seed);
    Game::TileList all;
    layout->getAllTiles(all);
    bool cleared = false;
    for (int attempt = 0; attempt < kTries && !cleared; ++attempt) {
        for (bool removed = true; removed;) {
            removed = false;
            Game::TileList free;
            layout->getFreeTiles(free);
            std::shuffle(free.begin(), free.end(), random);
            for (size_t first = 0; first < free.size() && !removed; ++first) {
                Game::TileList taken = {free[first]};
                for (size_t i = first + 1; i < free.size() && taken.size() < group; ++i) {
                    if (game->canMatch(free[first].get(), free[i].get())) {
                        taken.push_back(free[i]);
                    }
                }
                if (taken.size() == group) {
                    for (const RefHolder<Tile>& tile : taken) {
                        layout->removeTile(tile.get());
                    }
                    removed = true;
                }
            }
        }
        cleared = layout->getTileCount() == 0;
        layout->placeTiles(all);
    }
    return cleared;
}

// A game type whose game is built, with the play that proves a board of the builder's fall-back
// deal can be emptied (only the types that check the deal for stacked partners fall back).
// Every built board is played to its end by clicks along its build order. A type joins this
// table when its game is built.
struct BuiltType {
    int32_t type;
    bool (*clearsFallbackBoard)(Game* game, uint32_t seed);
};
const BuiltType BUILT_TYPES[] = {
    {Game::TYPE_CLASSIC, &clearsByRandomFreeGroups},
    {Game::TYPE_FREECELL, nullptr},
    {Game::TYPE_SPLIT, nullptr},
    {Game::TYPE_TRIPLE, &clearsByRandomFreeGroups},
    {Game::TYPE_RIVER, nullptr},
    {Game::TYPE_SPEED, nullptr},
};

const BuiltType* builtType(int32_t type) {
    for (const BuiltType& built : BUILT_TYPES) {
        if (built.type == type) {
            return &built;
        }
    }
    return nullptr;
}

class CatalogContentTest : public ::testing::Test {
protected:
    CatalogContentTest() : inside(GAME_FOLDER) { catalog.load(); }
    ~CatalogContentTest() override {
        Game::releaseCurrent();
        Random::releaseInstance();
    }

    // Gives the level to a new game of its type built from `seed`, as a level starts, and
    // proves the board can be emptied: the build order plays to the win or, when the builder
    // fell back on dealing faces along the free tiles, a random play empties the board.
    void buildAndEmpty(const BuiltType& built, Level* level, uint32_t seed) {
        Random::createInstance(seed);
        Game* game = Game::create(static_cast<GameType>(built.type));
        ASSERT_NE(game, nullptr);
        game->setLevel(level);
        const Game::BuildStatistics& statistics = game->getBuildStatistics();
        EXPECT_FALSE(statistics.allAttemptsFailed);
        EXPECT_FALSE(statistics.missingFaces);
        if (statistics.usedFallbackDeal) {
            ASSERT_NE(built.clearsFallbackBoard, nullptr);
            EXPECT_TRUE(built.clearsFallbackBoard(game, seed))
                << level->getLayout() << ": the fall-back board stays stuck";
            return;
        }
        // Split and Speed count matches before the side board is filled, so every deal of
        // theirs reads as failed; the play to the win is the proof for all types.
        player.play(game);
    }

    game_test::ScopedSuits suits;
    game_test::BuildPlayer player;
    CurrentFolderScope inside;
    LevelCatalog catalog;
};

// Every series of the casino and the roof, as the scenes ask for them.
struct Series {
    std::string name;
    RefHolder<Level> level;
};

std::vector<Series> allSeries(const LevelCatalog& catalog) {
    std::vector<Series> series;
    const char* const difficulties[] = {"normal", "hard", "expert"};
    for (int32_t d = 0; d < LevelCatalog::DIFFICULTY_COUNT; ++d) {
        for (int32_t type = 0; type < LevelCatalog::CASINO_TYPE_COUNT; ++type) {
            series.push_back(
                {std::string("casino ") + Level::gameTypeWord(type) + " " + difficulties[d],
                 catalog.casinoLevel(static_cast<GameType>(type), d, RoomKind::CASINO)});
        }
        series.push_back({std::string("roof Speed ") + difficulties[d], catalog.speedLevel(d)});
    }
    return series;
}

TEST_F(CatalogContentTest, EveryPlaceOfTheBuildingGivesItsLevel) {
    int levels = 0;
    for (int32_t floor = 1; floor <= 20; ++floor) {
        for (int32_t room = 1; room <= 5; ++room) {
            SCOPED_TRACE("floor " + std::to_string(floor) + " room " + std::to_string(room));
            RefHolder<Level> level = catalog.findLevel(floor, room);
            ASSERT_TRUE(level);
            ++levels;
            EXPECT_EQ(level->getFloor(), floor);
            EXPECT_EQ(level->getRoom(), room);
            EXPECT_EQ(level->getGameMode(), RoomKind::FLOORS);
            EXPECT_GE(level->getGameType(), 0);
            EXPECT_LE(level->getGameType(), 4) << "no Speed in the hallway";
            ASSERT_NE(level->getLayoutObject(), nullptr);
            EXPECT_GT(level->getLayoutObject()->getTileCount(), 0);
        }
        EXPECT_FALSE(catalog.findLevel(floor, 6));
    }
    EXPECT_FALSE(catalog.findLevel(21, 1));

    for (const Series& series : allSeries(catalog)) {
        ASSERT_TRUE(series.level) << series.name;
        ++levels;
        EXPECT_GT(series.level->getLayoutObject()->getTileCount(), 0) << series.name;
        EXPECT_FALSE(series.level->getLayoutFileNames().empty()) << series.name;
    }
    for (GameType type : ROOM_GAME_TYPES) {
        EXPECT_EQ(catalog.casinoLevel(type, 2, RoomKind::ROOF)->getGameType(), type);
        EXPECT_EQ(catalog.casinoLevel(type, 2, RoomKind::ROOF)->getGameMode(), RoomKind::ROOF)
            << "the roof's Mixed mode";
    }
    EXPECT_EQ(catalog.speedLevel(0)->getGameType(), 5);

    // The rec room's page is the game type.
    for (int32_t page = 0; page < 5; ++page) {
        std::vector<RefHolder<Level>> room;
        catalog.levelsOfRoom(room, page);
        ASSERT_EQ(room.size(), 30u) << "page " << page;
        for (int32_t i = 0; i < 30; ++i) {
            EXPECT_EQ(room[i]->getGameType(), page);
            EXPECT_EQ(room[i]->getIndex(), i);
            EXPECT_EQ(room[i]->getGameMode(), RoomKind::RECROOM);
            EXPECT_GT(room[i]->getLayoutObject()->getTileCount(), 0);
        }
        levels += 30;
    }
    EXPECT_EQ(levels, 100 + 18 + 150);
}

TEST_F(CatalogContentTest, EverySeriesStepsThroughItsListAndAroundItsHardPartBuildingEachStep) {
    for (const Series& series : allSeries(catalog)) {
        SCOPED_TRACE(series.name);
        Level* level = series.level.get();
        const BuiltType* built = builtType(level->getGameType());
        ASSERT_NE(built, nullptr);
        const std::vector<std::string> names = level->getLayoutFileNames();
        const int32_t count = static_cast<int32_t>(names.size());
        const int32_t hardStart = level->getHardStartIndex();
        ASSERT_GT(hardStart, 0);
        ASSERT_LT(hardStart, count);
        EXPECT_EQ(level->getLayout(), names.front());
        const float firstPoints = level->getPointsPerMatch().getValue();
        // The list once, then the hard part twice around.
        for (int32_t index = 0; index < count + 2 * (count - hardStart); ++index) {
            SCOPED_TRACE("index " + std::to_string(index));
            if (index > 0) {
                level->nextLevel();
                level->loadLayout();
                const int32_t entry =
                    index < count ? index : hardStart + (index - hardStart) % (count - hardStart);
                EXPECT_EQ(level->getIndex(), index);
                EXPECT_EQ(level->getLayout(), Level::LAYOUT_FOLDER + names[entry]);
            }
            ASSERT_NE(level->getLayoutObject(), nullptr);
            ASSERT_GT(level->getLayoutObject()->getTileCount(), 0) << level->getLayout();
            ASSERT_NO_FATAL_FAILURE(buildAndEmpty(*built, level, 1000 + index));
        }
        EXPECT_GT(level->getPointsPerMatch().getValue(), firstPoints) << "points rise";
    }
}

// Every level of the four files, built from several seeds.
TEST_F(CatalogContentTest, EveryLevelBuildsForItsTypeIntoABoardItsOrderEmpties) {
    std::vector<std::pair<std::string, RefHolder<Level>>> levels;
    for (int32_t floor = 1; floor <= 20; ++floor) {
        for (int32_t room = 1; room <= 5; ++room) {
            levels.emplace_back("floor " + std::to_string(floor) + " room " + std::to_string(room),
                                catalog.findLevel(floor, room));
        }
    }
    for (Series& series : allSeries(catalog)) {
        levels.emplace_back(series.name, std::move(series.level));
    }
    for (int32_t page = 0; page < 5; ++page) {
        std::vector<RefHolder<Level>> room;
        catalog.levelsOfRoom(room, page);
        for (RefHolder<Level>& level : room) {
            levels.emplace_back(
                "rec room " + std::to_string(page) + "/" + std::to_string(level->getIndex()),
                std::move(level));
        }
    }
#ifdef __SANITIZE_ADDRESS__
    constexpr uint32_t kSeeds = 2;  // the sanitizer build looks for memory faults, not odds
#else
    constexpr uint32_t kSeeds = 5;
#endif
    for (const auto& [where, level] : levels) {
        SCOPED_TRACE(where);
        ASSERT_TRUE(level);
        const BuiltType* built = builtType(level->getGameType());
        ASSERT_NE(built, nullptr);
        for (uint32_t seed = 1; seed <= kSeeds; ++seed) {
            SCOPED_TRACE("seed " + std::to_string(seed));
            level->loadLayout();
            ASSERT_NO_FATAL_FAILURE(buildAndEmpty(*built, level.get(), seed));
        }
    }
}

}  // namespace catalog_content_test
