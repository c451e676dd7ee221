#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PropertyNode.h"
#include "framework/core/PropertyValue.h"
#include "game/rules/Level.h"
#include "testsupport/TempFolder.h"

namespace level_test {

RefHolder<PropertyNode> levelNode(std::vector<std::pair<std::string, std::string>> values) {
    RefHolder<PropertyNode> node(new PropertyNode("level", "Level"));
    for (const auto& [key, text] : values) {
        node->addChild(new PropertyValue(key, text, true));
    }
    return node;
}

RefHolder<Level> makeLevel(PropertyNode* node) {
    RefHolder<BaseObject> made(ObjectFactoryContainer::instance()->create("Level", node));
    return RefHolder<Level>(objectCast<Level>(made.get()));
}

PropertyVector* addNames(PropertyNode* node, const std::string& name,
                         std::vector<std::string> names, int count = -1) {
    auto* vector = new PropertyVector(name);
    node->addChild(vector);
    if (count >= 0) {
        vector->addChild(new PropertyValue("", "Integer", count));
    }
    for (const std::string& file : names) {
        vector->addChild(new PropertyValue("", file));
    }
    return vector;
}

RefHolder<PropertyNode> stepNode(const std::string& name, float start, float delta, float cap) {
    RefHolder<PropertyNode> node(new PropertyNode(name, "Node"));
    node->addChild(new PropertyValue("start", start, true));
    node->addChild(new PropertyValue("delta", delta, true));
    node->addChild(new PropertyValue("cap", cap, true));
    return node;
}

TEST(Level, GameTypeWordsAreReadExactly) {
    EXPECT_EQ(makeLevel(levelNode({}).get())->getGameType(), -1);
    EXPECT_EQ(makeLevel(levelNode({{"gameType", "Freecell"}}).get())->getGameType(), 1);
    EXPECT_EQ(makeLevel(levelNode({{"gameType", "Speed"}}).get())->getGameType(), 5);
    EXPECT_EQ(makeLevel(levelNode({{"gameType", "speed"}}).get())->getGameType(), -1);
}

TEST(Level, AbsentKeysKeepTheirDefaults) {
    RefHolder<Level> level = makeLevel(levelNode({{"gameType", "Classic"}}).get());
    EXPECT_EQ(level->getPlayTime().getValue(), 1.0f);
    EXPECT_EQ(level->getTimeBonus().getValue(), 1.0f);
    EXPECT_EQ(level->getBonusAt().getValue(), 1.0f);
    EXPECT_EQ(level->getMultiplierTime().getValue(), 1.0f);
    EXPECT_EQ(level->getBonusSpeed().getValue(), 0.0f);
    EXPECT_EQ(level->getSideBoardIndex().getInt(), -1);
    EXPECT_EQ(level->getGameMode(), static_cast<RoomKind>(4));
    EXPECT_EQ(level->getDifficulty(), 3);
    EXPECT_EQ(level->getRoom(), 1);
    EXPECT_EQ(level->getFloor(), 1);
    EXPECT_FALSE(level->isMixed());
    EXPECT_TRUE(level->getLayoutFileNames().empty());
    // Without the file the layout is empty, but it is there.
    ASSERT_NE(level->getLayoutObject(), nullptr);
    EXPECT_EQ(level->getLayoutObject()->getTileCount(), 0);
}

TEST(Level, ValuesAndStepsAreRead) {
    RefHolder<PropertyNode> node = levelNode({{"gameType", "Split"},
                                              {"layout", "media/levels/star.xml"},
                                              {"gameMode", "1"},
                                              {"difficulty", "2"},
                                              {"index", "0x3"},
                                              {"pointsPerMatch", "75"},
                                              {"playTime", "1500"},
                                              {"sideBoardIndex", "4.5"},
                                              {"firstHand", "3"},
                                              {"tileDistMax", "12"},
                                              {"mixed", "yes"},
                                              {"silver", "900"},
                                              {"gold", "1500"}});
    node->addChild(stepNode("bonusAt", 2000, 100, 2200).get());
    RefHolder<Level> level = makeLevel(node.get());
    EXPECT_EQ(level->getGameType(), 2);
    EXPECT_EQ(level->getLayout(), "media/levels/star.xml");
    EXPECT_EQ(level->getGameMode(), RoomKind::CASINO);
    EXPECT_EQ(level->getDifficulty(), 2);
    EXPECT_EQ(level->getIndex(), 3);
    EXPECT_EQ(level->getPointsPerMatch().getInt(), 75);
    EXPECT_EQ(level->getPlayTime().getInt(), 1500);
    EXPECT_EQ(level->getSideBoardIndex().getInt(), 4);
    EXPECT_EQ(level->getFirstHand().getInt(), 3);
    EXPECT_EQ(level->getSecondHand().getInt(), 0);
    EXPECT_EQ(level->getTileDistMax().getInt(), 0);  // not a Split value
    EXPECT_TRUE(level->isMixed());
    EXPECT_EQ(level->getSilver(), 900);
    EXPECT_EQ(level->getGold(), 1500);

    level->nextLevel();
    EXPECT_EQ(level->getBonusAt().getInt(), 2100);
    EXPECT_EQ(level->getIndex(), 4);
    EXPECT_EQ(level->getLayout(), "media/levels/star.xml");  // no series: the layout stays
    level->nextLevel();
    level->nextLevel();
    EXPECT_EQ(level->getBonusAt().getInt(), 2200);
}

TEST(Level, MixedWrittenAsZeroReadsFalse) {
    for (const char* text : {"", "false", "0"}) {
        EXPECT_FALSE(makeLevel(levelNode({{"mixed", text}}).get())->isMixed()) << text;
    }
    EXPECT_TRUE(makeLevel(levelNode({{"mixed", "1"}}).get())->isMixed());
    EXPECT_TRUE(makeLevel(levelNode({{"mixed", "False"}}).get())->isMixed());
}

TEST(Level, TheGroupFormDealsASeries) {
    std::srand(77);
    RefHolder<PropertyNode> node = levelNode({{"gameType", "Classic"}, {"layout", "x.xml"}});
    addNames(node.get(), "intro", {"a", "b"});
    addNames(node.get(), "easy", {"c", "d", "e"}, 2);
    addNames(node.get(), "normal", {"f", "g"}, 1);
    addNames(node.get(), "hard", {"h", "i"});
    std::set<std::vector<std::string>> seen;
    for (int round = 0; round < 40; ++round) {
        RefHolder<Level> level = makeLevel(node.get());
        const std::vector<std::string>& names = level->getLayoutFileNames();
        ASSERT_EQ(names.size(), 7u);
        EXPECT_EQ(names[0], "a");
        EXPECT_EQ(names[1], "b");
        EXPECT_NE(names[2], names[3]);
        for (int i : {2, 3}) {
            EXPECT_TRUE(names[i] == "c" || names[i] == "d" || names[i] == "e") << names[i];
        }
        EXPECT_TRUE(names[4] == "f" || names[4] == "g");
        EXPECT_EQ(std::set<std::string>(names.begin() + 5, names.end()),
                  (std::set<std::string>{"h", "i"}));
        EXPECT_EQ(level->getHardStartIndex(), 5);
        EXPECT_EQ(level->getLayout(), "a");
        seen.insert(names);
    }
    EXPECT_GT(seen.size(), 1u);  // the picks and the hard part are shuffled

    // Groups without any name keep the layout.
    RefHolder<PropertyNode> empty = levelNode({{"layout", "kept.xml"}});
    addNames(empty.get(), "hard", {});
    addNames(empty.get(), "easy", {}, 3);
    RefHolder<Level> level = makeLevel(empty.get());
    EXPECT_TRUE(level->getLayoutFileNames().empty());
    EXPECT_EQ(level->getLayout(), "kept.xml");
    level->nextLevel();
    EXPECT_EQ(level->getLayout(), "kept.xml");
}

// A level of the list form with seven names.
RefHolder<Level> seriesLevel(int hardStart, int index) {
    RefHolder<PropertyNode> node = levelNode(
        {{"hardStartIndex", std::to_string(hardStart)}, {"index", std::to_string(index)}});
    addNames(node.get(), "layoutFileNames", {"n0", "n1", "n2", "n3", "n4", "n5", "n6"});
    return makeLevel(node.get());
}

std::vector<std::string> nextLayouts(Level& level, int steps) {
    std::vector<std::string> layouts;
    for (int i = 0; i < steps; ++i) {
        level.nextLevel();
        layouts.push_back(level.getLayout());
    }
    return layouts;
}

TEST(Level, AfterTheListTheHardPartRepeats) {
    RefHolder<Level> level = seriesLevel(5, 6);
    EXPECT_EQ(nextLayouts(*level, 3),
              (std::vector<std::string>{"media/levels/n5", "media/levels/n6", "media/levels/n5"}));
    RefHolder<Level> early = seriesLevel(5, 0);
    EXPECT_EQ(nextLayouts(*early, 2),
              (std::vector<std::string>{"media/levels/n1", "media/levels/n2"}));
    // Without a hard part the first layout returns.
    RefHolder<Level> noHard = seriesLevel(0, 6);
    EXPECT_EQ(nextLayouts(*noHard, 2),
              (std::vector<std::string>{"media/levels/n0", "media/levels/n0"}));
}

TEST(Level, StepsOfABrokenSeriesStayInTheList) {
    RefHolder<Level> past = seriesLevel(9, 6);  // hard part beyond the list
    EXPECT_EQ(nextLayouts(*past, 2),
              (std::vector<std::string>{"media/levels/n0", "media/levels/n0"}));
    RefHolder<Level> negative = seriesLevel(-4, 6);
    EXPECT_EQ(nextLayouts(*negative, 1), std::vector<std::string>{"media/levels/n0"});
    RefHolder<Level> backwards = seriesLevel(5, -9);
    EXPECT_EQ(nextLayouts(*backwards, 1), std::vector<std::string>{"media/levels/n0"});
    RefHolder<Level> last = seriesLevel(5, INT32_MAX);
    EXPECT_EQ(nextLayouts(*last, 1).size(), 1u);
}

TEST(Level, TheTextFormShowsTheValuesOfTheType) {
    RefHolder<PropertyNode> node = levelNode({{"gameType", "Freecell"},
                                              {"layout", "media/levels/tower.xml"},
                                              {"pointsPerMatch", "120.9"},
                                              {"tileDistMin", "2"},
                                              {"tileDistMax", "8"},
                                              {"sideBoardIndex", "3"},
                                              {"gameMode", "0"},
                                              {"silver", "10"},
                                              {"gold", "20"}});
    EXPECT_EQ(makeLevel(node.get())->toString(),
              "<Level\tgameType=\"Freecell\"\tlayout=\"tower.xml\"\tplayTime=\"1\"\t"
              "timeBonus=\"1\"\tscore=\"120\"\tbonusAt=\"1\"\tbonusSpeed=\"0\"\t"
              "multiplierTime=\"1\"\tdarkenTiles=\"0\"\ttileDistMin=\"2\"\ttileDistMax=\"8\"\t"
              "sideBoardIndex =\"3\"\tsilver=\"10\"\tgold=\"20\"\t/>");
    for (const char* type : {"Split", "Speed"}) {
        const std::string text =
            makeLevel(
                levelNode({{"gameType", type}, {"layout", "a\\b.xml"}, {"gameMode", "1"}}).get())
                ->toString();
        EXPECT_NE(text.find("layout=\"b.xml\""), std::string::npos) << text;
        EXPECT_NE(text.find("firstHand=\"0\"\tsecondHand=\"0\"\tthirdHand=\"0\"\t"
                            "sideBoardIndex =\"0\""),
                  std::string::npos)
            << text;
        EXPECT_EQ(text.find("tileDist"), std::string::npos) << text;
        EXPECT_EQ(text.find("silver"), std::string::npos) << text;
    }
    const std::string river =
        makeLevel(levelNode({{"gameType", "River"}, {"layout", "plain.xml"}}).get())->toString();
    EXPECT_NE(river.find("layout=\"plain.xml\"\t"), std::string::npos);
    EXPECT_NE(river.find("tileDistMin"), std::string::npos);
    EXPECT_EQ(river.find("sideBoardIndex"), std::string::npos);
    EXPECT_EQ(makeLevel(levelNode({}).get())->toString().rfind("<Level\tgameType=\"\"\t", 0), 0u);
}

TEST(Level, ASavedLevelReadsBackWithConstantValuesAndNoLayout) {
    RefHolder<PropertyNode> node = levelNode({{"gameType", "Triple"},
                                              {"layout", "media/levels/tri.xml"},
                                              {"gameMode", "2"},
                                              {"index", "4"},
                                              {"tileDistMin", "3"},
                                              {"silver", "70"}});
    node->addChild(stepNode("playTime", 2400.75f, -100, 1000).get());
    node->addChild(stepNode("tileDistMax", 8, 1, 20).get());
    addNames(node.get(), "layoutFileNames", {"p.xml", "q.xml"});
    RefHolder<Level> level = makeLevel(node.get());
    level->nextLevel();

    RefHolder<PropertyNode> saved(new PropertyNode("level", "Level"));
    level->toProperties(saved.get());
    std::vector<std::string> keys;
    for (const auto& entry : saved->getNameTable()) {
        keys.push_back(entry.first);
    }
    EXPECT_EQ(keys, (std::vector<std::string>{
                        "gameType",    "gameMode",       "difficulty",     "layout",
                        "playTime",    "timeBonus",      "pointsPerMatch", "bonusAt",
                        "bonusSpeed",  "multiplierTime", "tileDistMin",    "tileDistMax",
                        "firstHand",   "secondHand",     "thirdHand",      "sideBoardIndex",
                        "darkenTiles", "room",           "floor",          "index",
                        "silver",      "gold",           "mixed",          "hardStartIndex",
                        "isSaveGame",  "layoutFileNames"}));
    EXPECT_EQ(saved->getChildValue("playTime")->getValue(), "2300");
    EXPECT_TRUE(saved->getChildValue("playTime")->getTypeWord().empty());
    EXPECT_EQ(saved->getChildValue("mixed")->getValue(), "0");
    EXPECT_EQ(saved->getChildValue("isSaveGame")->getValue(), "you betcha");

    RefHolder<Level> read = makeLevel(saved.get());
    EXPECT_EQ(read->getLayoutObject(), nullptr);
    EXPECT_EQ(read->getGameType(), 3);
    EXPECT_EQ(read->getLayout(), "media/levels/p.xml");  // past the list, no hard part
    EXPECT_EQ(read->getIndex(), 5);
    EXPECT_EQ(read->getGameMode(), RoomKind::RECROOM);
    EXPECT_EQ(read->getSilver(), 70);
    EXPECT_FALSE(read->isMixed());
    EXPECT_EQ(read->getLayoutFileNames(), level->getLayoutFileNames());
    for (const Progression* p : {&read->getPlayTime(), &read->getTileDistMax()}) {
        EXPECT_EQ(p->getDelta(), 0.0f);
        EXPECT_EQ(p->getStart(), p->getCap());
    }
    EXPECT_EQ(read->getPlayTime().getValue(), 2300.0f);
    EXPECT_EQ(read->getTileDistMax().getValue(), 9.0f);
    EXPECT_EQ(read->getTileDistMin().getValue(), 3.0f);

    // A level of no known type writes a word that reads back as no type.
    RefHolder<PropertyNode> unknown(new PropertyNode("level", "Level"));
    makeLevel(levelNode({{"gameType", "Mahjong"}}).get())->toProperties(unknown.get());
    EXPECT_EQ(makeLevel(unknown.get())->getGameType(), -1);
}

TEST(Level, LayoutsAreLoadedFromTheLevelFolder) {
    TempFolder folder;
    writeTestFile(folder.path / "media/levels/pair.xml",
                  "<root><Layout id=\"layout\" displayname=\"TEXT_PAIR\"><Vector id=\"tiles\">"
                  "<Tile x=\"0\" y=\"0\" z=\"0\"/><Tile x=\"2\" y=\"0\" z=\"0\"/></Vector>"
                  "<Vector id=\"sideboards\"><SideBoard x=\"1\" y=\"1\" width=\"1\" height=\"1\"/>"
                  "<SideBoard x=\"1\" y=\"1\" width=\"4\" height=\"1\"/></Vector>"
                  "</Layout></root>");
    writeTestFile(folder.path / "media/levels/single.xml",
                  "<root><Layout id=\"layout\"><Vector id=\"tiles\"><Tile x=\"4\" y=\"4\" z=\"0\"/>"
                  "</Vector></Layout></root>");
    CurrentFolderScope inside(folder.path);

    RefHolder<Level> classic =
        makeLevel(levelNode({{"gameType", "Classic"}, {"layout", "pair.xml"}}).get());
    ASSERT_NE(classic->getLayoutObject(), nullptr);
    EXPECT_EQ(classic->getLayoutObject()->getTileCount(), 2);
    EXPECT_EQ(classic->getLayoutObject()->getDisplayName(), "TEXT_PAIR");
    EXPECT_EQ(classic->getLayoutObject()->getSideBoard(), nullptr);

    RefHolder<PropertyNode> node = levelNode(
        {{"gameType", "Freecell"}, {"layout", "media/levels/pair.xml"}, {"sideBoardIndex", "1"}});
    addNames(node.get(), "layoutFileNames", {"pair.xml", "single.xml"});
    RefHolder<Level> freeCell = makeLevel(node.get());
    ASSERT_NE(freeCell->getLayoutObject()->getSideBoard(), nullptr);
    EXPECT_EQ(freeCell->getLayoutObject()->getSideBoard()->getCapacity(), 4);

    Layout* first = freeCell->getLayoutObject();
    freeCell->nextLevel();
    EXPECT_EQ(freeCell->getLayoutObject(), first);  // stepping does not load
    freeCell->loadLayout();
    EXPECT_EQ(freeCell->getLayoutObject()->getTileCount(), 1);

    // A name straight from a level file is looked up under the level folder as well.
    RefHolder<Level> bare =
        makeLevel(levelNode({{"layout", "pair.xml"}, {"isSaveGame", ""}}).get());
    EXPECT_EQ(bare->getLayoutObject(), nullptr);
    bare->loadLayout();
    EXPECT_EQ(bare->getLayoutObject()->getTileCount(), 2);
}

}  // namespace level_test
