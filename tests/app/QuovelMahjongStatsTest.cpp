#include "game/app/QuovelMahjongStats.h"

#include <gtest/gtest.h>

#include "ProfileTestSupport.h"
#include "framework/core/PropertyStore.h"
#include "framework/core/PropertyValue.h"

namespace {

using StatsTest = ProfileTest;

const PropertyVector* childVector(const PropertyVector* list, int32_t index) {
    return vectorOrDummy(list->getChildAt(index));
}

TEST_F(StatsTest, AFreshBlockWritesTheResetRecordsInTheirNesting) {
    RefHolder<PropertyNode> node(new PropertyNode("stats", "Data"));
    QuovelMahjongStats().save(node.get());
    // Key, groups, records per group, name of the groups.
    const std::tuple<const char*, int32_t, int32_t, const char*> lists[] = {{"rooms", 20, 5, "_"},
                                                                            {"casino", 3, 5, "_"},
                                                                            {"recroom", 5, 0, ""},
                                                                            {"rooftop", 3, 2, "_"}};
    for (const auto& [key, groups, records, groupName] : lists) {
        const PropertyVector* list = node->getChildVector(key);
        ASSERT_EQ(list->getChildCount(), groups) << key;
        for (int32_t i = 0; i < groups; ++i) {
            EXPECT_EQ(childVector(list, i)->getName(), groupName);
            EXPECT_EQ(childVector(list, i)->getChildCount(), records) << key;
        }
    }
    const PropertyNode* room =
        nodeOrDummy(childVector(node->getChildVector("rooms"), 19)->getChildAt(4));
    EXPECT_EQ(room->getTypeWord(), "Data");
    EXPECT_EQ(room->getChildValue("gameType")->getValue(), "-1");
    EXPECT_EQ(room->getChildValue("bestTime")->getValue(), "0");
    for (int32_t door = 0; door < 20; ++door) {
        EXPECT_EQ(node->getChildValue("firstDoorClicked_" + std::to_string(door))->getInt(), -1);
    }
    EXPECT_EQ(node->getChildValue("shuffleTokens")->getInt(), 2);
    EXPECT_EQ(node->getChildValue("hintTokens")->getInt(), 3);
}

TEST_F(StatsTest, PartialAndOversizedFilesReadOnlyWhatFits) {
    QuovelMahjongStats stats;
    stats.casino[4].bestScore = 77;
    stats.recRoom[1].assign(6, RecRoomRecord{5, 5, 5});
    std::string xml = "<root><Data id=\"stats\"><Vector id=\"rooms\">";
    for (int32_t floor = 0; floor < 25; ++floor) {
        xml += "<Vector id=\"_\">";
        for (int32_t room = 0; room < 7; ++room) {
            xml += "<Data bestScore=\"" + std::to_string(10 * floor + room) + "\"/>";
        }
        xml += "</Vector>";
    }
    writeTestFile("stats.xml",
                  xml +
                      "</Vector><Vector id=\"recroom\"><Vector/><Vector><Data bestTime=\"9\"/>"
                      "<Integer>4</Integer></Vector><Vector><Data/><Data/><Data/>"
                      "<Data playCount=\"2\"/></Vector></Vector>"
                      "<Integer id=\"hintTokens\">12</Integer>"
                      "<Integer id=\"shuffleTokens\">-3</Integer>"
                      "<Integer id=\"numMatches\">#1F</Integer></Data></root>");
    RefHolder<PropertyStore> store(new PropertyStore());
    ASSERT_TRUE(store->loadFile("stats.xml"));
    stats.load(store->getChildNode("stats"));

    // 20 floors of 5 rooms are read, the rest ignored; an absent key reads 0.
    EXPECT_EQ(stats.rooms[99], (RoomRecord{194, 0, 0, 0, 0}));
    EXPECT_EQ(stats.casino[4].bestScore, 77);  // an absent group keeps its records
    // A shorter saved list keeps the records beyond it; a longer one grows the list.
    EXPECT_EQ(stats.recRoom[1][0].bestTime, 9);
    EXPECT_EQ(stats.recRoom[1][1], RecRoomRecord{});  // a value where a record belongs
    EXPECT_EQ(stats.recRoom[1][5], (RecRoomRecord{5, 5, 5}));
    ASSERT_EQ(stats.recRoom[2].size(), 4u);
    EXPECT_EQ(stats.recRoom[2][3].playCount, 2);
    // Tokens are clamped to their bounds; absent door keys and counters read 0.
    EXPECT_EQ(stats.hintTokens.getShown(), 9);
    EXPECT_EQ(stats.shuffleTokens.getValue(), 0);
    EXPECT_EQ(stats.firstDoorClicked[7], 0);
    EXPECT_EQ(stats.numMatches, 31);
}

TEST_F(StatsTest, PlayCountsOfAGameTypeAddUpAcrossTheBuilding) {
    QuovelMahjongStats stats;
    stats.rooms[3] = {0, 0, 1, 2, 0};
    stats.rooms[40] = {0, 0, 1, 2, 0};
    stats.rooms[41] = {0, 0, 9, 1, 0};  // another game type
    EXPECT_FALSE(stats.hasPlayedAtLeast(2, 3));
    stats.casino[3 * 2 + 0].playCount = 1;
    EXPECT_TRUE(stats.hasPlayedAtLeast(2, 3));
    EXPECT_FALSE(stats.hasPlayedAtLeast(2, 4));
    stats.recRoomRecordFor(2, 3)->playCount = 1;
    EXPECT_TRUE(stats.hasPlayedAtLeast(2, 4));
    // A count of 0 is reached after the first record added: the casino's always are.
    EXPECT_TRUE(QuovelMahjongStats().hasPlayedAtLeast(3, 0));
    EXPECT_FALSE(QuovelMahjongStats().hasPlayedAtLeast(7, 0));
}

TEST_F(StatsTest, LevelsStartedAndWonUpdateTheRecordsOfTheirRoom) {
    QuovelMahjongStats stats;
    const LevelPlace door{0, 4, 0, 3, 2, 0, 0};
    stats.recordLevelStarted(door);
    stats.recordLevelWon(door, 500, 90);
    stats.recordLevelWon(door, 400, 90);
    EXPECT_EQ(stats.roomRecord(3, 2)->bestTime, 90);
    stats.recordLevelWon(door, 300, 80);
    EXPECT_EQ(*stats.roomRecord(3, 2), (RoomRecord{500, 80, 1, 4, 3}));
    EXPECT_EQ(stats.quovelRecord, 500);

    // The casino and the roof count a run at its first level only.
    stats.recordLevelStarted({1, 2, 1, 0, 0, 0, 0});
    stats.recordLevelStarted({1, 2, 1, 0, 0, 0, 1});
    stats.recordLevelWon({1, 2, 1, 0, 0, 0, 3}, 7000, 0);
    EXPECT_EQ(*stats.casinoRecord(2, 1), (CasinoRecord{7000, 0, 1, 0, 0, 1, 0, 0}));
    stats.recordLevelStarted({3, 5, 2, 0, 0, 0, 0});  // the speed game: group 0
    stats.recordLevelWon({3, 1, 2, 0, 0, 0, 2}, 900, 0);
    EXPECT_EQ(stats.rooftop[2], (RooftopRecord{0, 0, 1}));
    EXPECT_EQ(stats.rooftop[3 + 2], (RooftopRecord{900, 0, 0}));

    // The rec room's list grows to the layout; its record is the longest time won.
    stats.recordLevelStarted({2, 1, 0, 0, 0, 4, 0});
    stats.recordLevelWon({2, 1, 0, 0, 0, 4, 0}, 0, 61000);
    EXPECT_EQ(stats.recRoom[1].at(4), (RecRoomRecord{61000, 1, 1}));
    EXPECT_EQ(stats.recRoomRecord, 61000);
    EXPECT_EQ(stats.numGamesWon, 4);

    // Places outside the building change nothing.
    const QuovelMahjongStats before = stats;
    stats.recordLevelStarted({0, 1, 0, 21, 1, 0, 0});
    stats.recordLevelWon({1, 6, 0, 0, 0, 0, 0}, 1, 1);
    stats.recordLevelStarted({2, 1, 0, 0, 0, -1, 0});
    stats.recordLevelWon({3, 1, 3, 0, 0, 0, 0}, 1, 1);
    expectSameStats(stats, before);
}

}  // namespace
