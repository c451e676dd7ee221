#include "game/profile/QuovelMahjongStats.h"

#include <gtest/gtest.h>

#include "app/ProfileTestSupport.h"

namespace quovel_mahjong_stats_test {

using StatsTest = ProfileTest;

TEST_F(StatsTest, PlayCountsOfAGameTypeAddUpAcrossTheBuilding) {
    QuovelMahjongStats stats;
    stats.rooms[3] = {0, 0, 1, TYPE_SPLIT, 0};
    stats.rooms[40] = {0, 0, 1, TYPE_SPLIT, 0};
    stats.rooms[41] = {0, 0, 9, TYPE_FREECELL, 0};  // another game type
    EXPECT_FALSE(stats.hasPlayedAtLeast(TYPE_SPLIT, 3));
    stats.casino[3 * 2 + 0].playCount = 1;
    EXPECT_TRUE(stats.hasPlayedAtLeast(TYPE_SPLIT, 3));
    EXPECT_FALSE(stats.hasPlayedAtLeast(TYPE_SPLIT, 4));
    stats.recRoomRecordFor(TYPE_SPLIT, 3)->playCount = 1;
    EXPECT_TRUE(stats.hasPlayedAtLeast(TYPE_SPLIT, 4));
    // A count of 0 is reached after the first record added: the casino's always are.
    EXPECT_TRUE(QuovelMahjongStats().hasPlayedAtLeast(TYPE_TRIPLE, 0));
    EXPECT_FALSE(QuovelMahjongStats().hasPlayedAtLeast(static_cast<GameType>(7), 0));
}

TEST_F(StatsTest, LevelsStartedAndWonUpdateTheRecordsOfTheirRoom) {
    QuovelMahjongStats stats;
    const LevelPlace door{RoomKind::FLOORS, TYPE_RIVER, 0, 3, 2, 0, 0};
    stats.recordLevelStarted(door);
    stats.recordLevelWon(door, 500, 90);
    stats.recordLevelWon(door, 400, 90);
    EXPECT_EQ(stats.roomRecord(3, 2)->bestTime, 90);
    stats.recordLevelWon(door, 300, 80);
    EXPECT_EQ(*stats.roomRecord(3, 2), (RoomRecord{500, 80, 1, TYPE_RIVER, 3}));
    EXPECT_EQ(stats.quovelRecord, 500);

    // The casino and the roof count a run at its first level only.
    stats.recordLevelStarted({RoomKind::CASINO, TYPE_SPLIT, 1, 0, 0, 0, 0});
    stats.recordLevelStarted({RoomKind::CASINO, TYPE_SPLIT, 1, 0, 0, 0, 1});
    stats.recordLevelWon({RoomKind::CASINO, TYPE_SPLIT, 1, 0, 0, 0, 3}, 7000, 0);
    EXPECT_EQ(*stats.casinoRecord(TYPE_SPLIT, 1), (CasinoRecord{7000, 0, 1, 0, 0, 1, 0, 0}));
    stats.recordLevelStarted({RoomKind::ROOF, TYPE_SPEED, 2, 0, 0, 0, 0});  // speed: group 0
    stats.recordLevelWon({RoomKind::ROOF, TYPE_FREECELL, 2, 0, 0, 0, 2}, 900, 0);
    EXPECT_EQ(stats.rooftop[2], (RooftopRecord{0, 0, 1}));
    EXPECT_EQ(stats.rooftop[3 + 2], (RooftopRecord{900, 0, 0}));

    // The rec room's list grows to the layout; its record is the longest time won.
    stats.recordLevelStarted({RoomKind::RECROOM, TYPE_FREECELL, 0, 0, 0, 4, 0});
    stats.recordLevelWon({RoomKind::RECROOM, TYPE_FREECELL, 0, 0, 0, 4, 0}, 0, 61000);
    EXPECT_EQ(stats.recRoom[1].at(4), (RecRoomRecord{61000, 1, 1}));
    EXPECT_EQ(stats.recRoomRecord, 61000);
    EXPECT_EQ(stats.numGamesWon, 4);

    // Places outside the building change nothing.
    const QuovelMahjongStats before = stats;
    stats.recordLevelStarted({RoomKind::FLOORS, TYPE_FREECELL, 0, 21, 1, 0, 0});
    stats.recordLevelWon({RoomKind::CASINO, static_cast<GameType>(6), 0, 0, 0, 0, 0}, 1, 1);
    stats.recordLevelStarted({RoomKind::RECROOM, TYPE_FREECELL, 0, 0, 0, -1, 0});
    stats.recordLevelWon({RoomKind::ROOF, TYPE_FREECELL, 3, 0, 0, 0, 0}, 1, 1);
    expectSameStats(stats, before);
}

}  // namespace quovel_mahjong_stats_test
