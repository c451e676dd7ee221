// The authored level files through the level catalogue, from the game's folder as the program
// reads them: every place the building asks for gives its level, and every casino and roof
// series steps through its list and then around its hard part.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "TempFolder.h"
#include "game/rules/LevelCatalog.h"

namespace {

const std::filesystem::path kGameFolder = std::filesystem::path(QUOVEL_BINARY_DIR) / "game";

class CatalogContentTest : public ::testing::Test {
protected:
    CatalogContentTest() : inside(kGameFolder) { catalog.load(); }

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
                 catalog.casinoLevel(type, d, 1)});
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
            EXPECT_EQ(level->getGameMode(), 0);
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
    for (int32_t type = 0; type < LevelCatalog::CASINO_TYPE_COUNT; ++type) {
        EXPECT_EQ(catalog.casinoLevel(type, 2, 3)->getGameType(), type);
        EXPECT_EQ(catalog.casinoLevel(type, 2, 3)->getGameMode(), 3) << "the roof's Mixed mode";
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
            EXPECT_EQ(room[i]->getGameMode(), 2);
            EXPECT_GT(room[i]->getLayoutObject()->getTileCount(), 0);
        }
        levels += 30;
    }
    EXPECT_EQ(levels, 100 + 18 + 150);
}

TEST_F(CatalogContentTest, EverySeriesStepsThroughItsListAndAroundItsHardPart) {
    for (const Series& series : allSeries(catalog)) {
        SCOPED_TRACE(series.name);
        Level* level = series.level.get();
        const std::vector<std::string> names = level->getLayoutFileNames();
        const int32_t count = static_cast<int32_t>(names.size());
        const int32_t hardStart = level->getHardStartIndex();
        ASSERT_GT(hardStart, 0);
        ASSERT_LT(hardStart, count);
        EXPECT_EQ(level->getLayout(), names.front());
        const float firstPoints = level->getPointsPerMatch().getValue();
        // The list once, then the hard part twice around.
        for (int32_t index = 1; index < count + 2 * (count - hardStart); ++index) {
            level->nextLevel();
            level->loadLayout();
            const int32_t entry =
                index < count ? index : hardStart + (index - hardStart) % (count - hardStart);
            EXPECT_EQ(level->getIndex(), index);
            EXPECT_EQ(level->getLayout(), Level::LAYOUT_FOLDER + names[entry]);
            ASSERT_NE(level->getLayoutObject(), nullptr);
            EXPECT_GT(level->getLayoutObject()->getTileCount(), 0) << level->getLayout();
        }
        EXPECT_GT(level->getPointsPerMatch().getValue(), firstPoints) << "points rise";
    }
}

}  // namespace
