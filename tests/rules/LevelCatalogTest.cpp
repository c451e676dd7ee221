// The level catalogue over small hand-made level files.
#include "game/rules/LevelCatalog.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "framework/core/BasicProperties.h"
#include "framework/core/PropertyNode.h"
#include "testsupport/TempFolder.h"

namespace level_catalog_test {

// A level definition marked by its points per match, with floor, room, index and room kind
// values that the lookups must override.
std::string levelXml(int mark, const std::string& extra = "",
                     const std::string& typeWord = "Level") {
    return "<" + typeWord + " id=\"level\" gameType=\"Classic\" pointsPerMatch=\"" +
           std::to_string(mark) +
           "\" floor=\"9\" room=\"7\" index=\"11\" gameMode=\"2\" difficulty=\"2\" "
           "tileDistMin=\"1\" tileDistMax=\"4\" " +
           extra + "/>";
}

// Two floors of three doors; marks are floor * 100 + door.
std::string hallwayXml() {
    std::string xml = "<root><Vector id=\"hallway\">";
    for (int floor = 1; floor <= 2; ++floor) {
        xml += "<Vector>";
        for (int door = 1; door <= 3; ++door) {
            xml += levelXml(floor * 100 + door);
        }
        xml += "</Vector>";
    }
    return xml + "</Vector></root>";
}

// Classic and Freecell at three difficulties (marks 1000 + type * 10 + difficulty); the
// Freecell expert entry is a plain node, which makes no level.
std::string casinoXml() {
    const char* words[] = {"normal", "hard", "expert"};
    std::string xml = "<root><Node id=\"casino\">";
    for (int type = 0; type < 2; ++type) {
        xml += std::string("<Node id=\"") + (type == 0 ? "Classic" : "Freecell") + "\">";
        for (int d = 0; d < 3; ++d) {
            const bool broken = type == 1 && d == 2;
            xml += std::string("<Node id=\"") + words[d] + "\">" +
                   levelXml(1000 + type * 10 + d, "", broken ? "Node" : "Level") + "</Node>";
        }
        xml += "</Node>";
    }
    return xml + "</Node></root>";
}

// Page 0 holds four levels; page 1 holds a level, a node of another class, a value and a level.
std::string recroomXml() {
    return "<root><Vector id=\"recroom\"><Vector>" + levelXml(500) + levelXml(501) + levelXml(502) +
           levelXml(503) + "</Vector><Vector>" + levelXml(510) + levelXml(511, "", "Progression") +
           "<Integer value=\"4\"/>" + levelXml(513) + "</Vector></Vector></root>";
}

std::string roofXml() {
    return "<root><Node id=\"roof\"><Node id=\"Speed\"><Node id=\"normal\">" + levelXml(900) +
           "</Node><Node id=\"hard\">" + levelXml(901) + "</Node></Node></Node></root>";
}

// Writes the four level files into a fresh game folder and runs the test inside it.
class LevelCatalogTest : public ::testing::Test {
protected:
    LevelCatalogTest() : inside(folder.path) {
        writeLevels("casino", casinoXml());
        writeLevels("recroom", recroomXml());
        writeLevels("hallway", hallwayXml());
        writeLevels("roof", roofXml());
    }
    // An Integer entry of the files is stored in the global properties.
    ~LevelCatalogTest() override {
        LevelCatalog::releaseInstance();
        BasicProperties::releaseInstance();
    }

    void writeLevels(const std::string& name, const std::string& xml) {
        writeTestFile(folder.path / ("media/properties/levels/" + name + ".xml"), xml);
    }

    static int mark(const RefHolder<Level>& level) { return level->getPointsPerMatch().getInt(); }

    TempFolder folder;
    CurrentFolderScope inside;
};

TEST_F(LevelCatalogTest, LookupsMakeTheDefinedLevelAndSetTheirOwnFields) {
    LevelCatalog catalog;
    catalog.load();

    RefHolder<Level> door = catalog.findLevel(2, 3);
    ASSERT_TRUE(door);
    EXPECT_EQ(mark(door), 203);
    EXPECT_EQ(door->getFloor(), 2);
    EXPECT_EQ(door->getRoom(), 3);
    EXPECT_EQ(door->getGameType(), 0);
    ASSERT_TRUE(catalog.findLevel(1, 1));
    EXPECT_EQ(mark(catalog.findLevel(1, 1)), 101);

    // Each lookup makes a level of its own.
    EXPECT_NE(catalog.findLevel(2, 3).get(), door.get());

    for (RoomKind gameMode : {RoomKind::CASINO, RoomKind::ROOF}) {
        RefHolder<Level> casino = catalog.casinoLevel(TYPE_FREECELL, 1, gameMode);
        ASSERT_TRUE(casino) << static_cast<int>(gameMode);
        EXPECT_EQ(mark(casino), 1011);
        EXPECT_EQ(casino->getGameMode(), gameMode);
        EXPECT_EQ(casino->getDifficulty(), 1);
    }
    RefHolder<Level> classic = catalog.casinoLevel(TYPE_CLASSIC, 0, RoomKind::CASINO);
    ASSERT_TRUE(classic);
    EXPECT_EQ(mark(classic), 1000);
    EXPECT_EQ(classic->getDifficulty(), 0);

    RefHolder<Level> speed = catalog.speedLevel(1);
    ASSERT_TRUE(speed);
    EXPECT_EQ(mark(speed), 901);
    EXPECT_EQ(speed->getDifficulty(), 1);
    EXPECT_EQ(speed->getGameMode(), RoomKind::RECROOM) << "the roof lookup keeps the kind defined";

    std::vector<RefHolder<Level>> page;
    catalog.levelsOfRoom(page, 0);
    ASSERT_EQ(page.size(), 4u);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(mark(page[i]), 500 + i);
        EXPECT_EQ(page[i]->getIndex(), i);
    }
    // The out list is appended to, not replaced.
    catalog.levelsOfRoom(page, 0);
    EXPECT_EQ(page.size(), 8u);
}

TEST_F(LevelCatalogTest, LookupsThatLeadNowhereGiveNoLevel) {
    LevelCatalog catalog;
    catalog.load();
    // Arguments outside the word tables.
    for (auto [type, difficulty] : {std::pair{5, 0}, {-1, 0}, {0, 3}, {0, -1}, {INT_MAX, 0}}) {
        EXPECT_FALSE(catalog.casinoLevel(static_cast<GameType>(type), difficulty, RoomKind::CASINO))
            << type << " " << difficulty;
    }
    for (int difficulty : {-1, 3, INT_MIN}) {
        EXPECT_FALSE(catalog.speedLevel(difficulty)) << difficulty;
    }
    // Paths that run into the empty dummies.
    for (auto [floor, room] : {std::pair{0, 1}, {3, 1}, {1, 0}, {1, 4}, {INT_MIN, INT_MIN}}) {
        EXPECT_FALSE(catalog.findLevel(floor, room)) << floor << " " << room;
    }
    EXPECT_FALSE(catalog.casinoLevel(TYPE_SPLIT, 0, RoomKind::CASINO)) << "no Split entry here";
    EXPECT_FALSE(catalog.speedLevel(2)) << "no expert entry on this roof";
    // A definition whose type word makes no Level.
    EXPECT_FALSE(catalog.casinoLevel(TYPE_FREECELL, 2, RoomKind::CASINO));

    std::vector<RefHolder<Level>> page;
    catalog.levelsOfRoom(page, 2);
    catalog.levelsOfRoom(page, -1);
    EXPECT_TRUE(page.empty());
    // Entries that make no level are left out; the others keep their position on the page.
    catalog.levelsOfRoom(page, 1);
    ASSERT_EQ(page.size(), 2u);
    EXPECT_EQ(mark(page[0]), 510);
    EXPECT_EQ(page[0]->getIndex(), 0);
    EXPECT_EQ(mark(page[1]), 513);
    EXPECT_EQ(page[1]->getIndex(), 3);

    catalog.release();
    EXPECT_FALSE(catalog.findLevel(1, 1));
    EXPECT_FALSE(catalog.casinoLevel(TYPE_CLASSIC, 0, RoomKind::CASINO));
    EXPECT_FALSE(catalog.speedLevel(0));
    catalog.levelsOfRoom(page, 0);
    EXPECT_EQ(page.size(), 2u);
}

TEST_F(LevelCatalogTest, MissingFilesAndPlacesOfTheWrongKindStayEmpty) {
    // The hallway as a node and the roof as a vector are not what the lookups index.
    writeLevels("hallway", "<root><Node id=\"hallway\">" + levelXml(1) + "</Node></root>");
    writeLevels("roof", "<root><Vector id=\"roof\">" + levelXml(2) + "</Vector></root>");
    std::filesystem::remove(folder.path / "media/properties/levels/recroom.xml");
    LevelCatalog catalog;
    catalog.load();
    EXPECT_FALSE(catalog.findLevel(1, 1));
    EXPECT_FALSE(catalog.speedLevel(0));
    EXPECT_TRUE(catalog.getHallway()->isDummy());
    EXPECT_TRUE(catalog.getRoof()->isDummy());
    EXPECT_TRUE(catalog.getRecroom()->isDummy());
    std::vector<RefHolder<Level>> page;
    catalog.levelsOfRoom(page, 0);
    EXPECT_TRUE(page.empty());
    // The file that did load still serves.
    EXPECT_TRUE(catalog.casinoLevel(TYPE_CLASSIC, 2, RoomKind::CASINO));
}

TEST_F(LevelCatalogTest, TheProcessCatalogueIsLoadedOnce) {
    LevelCatalog* first = LevelCatalog::instance();
    ASSERT_NE(first, nullptr);
    writeLevels("hallway", "<root><Vector id=\"hallway\"/></root>");
    EXPECT_EQ(LevelCatalog::instance(), first);
    EXPECT_TRUE(LevelCatalog::instance()->findLevel(2, 3)) << "the files are not read again";
    LevelCatalog::releaseInstance();
    EXPECT_FALSE(LevelCatalog::instance()->findLevel(2, 3)) << "a new catalogue reads anew";
}

}  // namespace level_catalog_test
