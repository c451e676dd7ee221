#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "TempFolder.h"
#include "framework/core/BasicProperties.h"
#include "game/app/QuovelMahjongPlayer.h"
#include "game/app/QuovelMahjongStats.h"
#include "game/rules/TuningConstants.h"

// Trophy definitions with `count` trophies: entry 0 "T<i>" at (i, 2i), entry 1 "T<i>_LARGE"
// with the header "H<i>" and the body "B<i>". `extra` goes before the list.
inline std::string trophyDefinitions(int32_t count, const std::string& extra = "") {
    std::string xml = "<root>" + extra + "<Vector id=\"TROPHIES\">";
    for (int32_t i = 0; i < count; ++i) {
        const std::string n = std::to_string(i);
        xml += "<Trophy><Vector id=\"trophyinfos\"><TrophyInfo image=\"T" + n + "\" x=\"" + n +
               "\" y=\"" + std::to_string(2 * i) + "\"/><TrophyInfo image=\"T" + n +
               "_LARGE\" headerId=\"H" + n + "\" textId=\"B" + n + "\"/></Vector></Trophy>";
    }
    return xml + "</Vector></root>";
}

// Each test runs inside a fresh folder holding twenty trophy definitions, with the token
// bounds set: shuffles start at 2 of at most 5, hints at 3 of at most 9.
class ProfileTest : public ::testing::Test {
protected:
    void SetUp() override {
        BasicProperties::createInstance();
        BasicProperties& table = *BasicProperties::instance();
        table.setInteger("MIN_NUM_SHUFFLES", 2);
        table.setInteger("MAX_NUM_SHUFFLES", 5);
        table.setInteger("MIN_NUM_HINTS", 3);
        table.setInteger("MAX_NUM_HINTS", 9);
        loadTuningConstants();
        writeTrophies(trophyDefinitions(20));
    }
    void TearDown() override {
        BasicProperties::releaseInstance();
        BasicProperties::createInstance();
        loadTuningConstants();
        BasicProperties::releaseInstance();
    }

    void writeTrophies(const std::string& xml) const {
        writeTestFile(folder.path / "media/properties/trophies.xml", xml);
    }

    TempFolder folder;
    CurrentFolderScope inside{folder.path};
};

// Gives every record and counter its own value, derived from `seed`; the rec room lists get
// 1 to 5 layouts.
inline void fillStats(QuovelMahjongStats& stats, int32_t seed) {
    int32_t next = seed;
    for (RoomRecord& r : stats.rooms) {
        r = {next, next + 1, next + 2, next % 6, next + 3};
        next += 5;
    }
    for (CasinoRecord& r : stats.casino) {
        r = {next, next + 1, next + 2, next + 3, next + 4, next + 5, next + 6, next + 7};
        next += 8;
    }
    for (size_t type = 0; type < stats.recRoom.size(); ++type) {
        stats.recRoom[type].assign(type + 1, RecRoomRecord{next, next + 1, next + 2});
        stats.recRoom[type].back().bestTime = -next;
        next += 3;
    }
    for (RooftopRecord& r : stats.rooftop) {
        r = {next, next + 1, next + 2};
        next += 3;
    }
    for (int32_t& door : stats.firstDoorClicked) {
        door = next++ % 5;
    }
    stats.numMatches = 123456789;
    stats.maxBonus = next++;
    stats.maxCombo = next++;
    stats.quovelRecord = -2147483647 - 1;
    stats.recRoomRecord = next++;
    stats.twoStarsCount = next++;
    stats.threeStarsCount = next++;
    stats.numStuck = next++;
    stats.numBonusTotal = next++;
    stats.numGamesWon = 2147483647;
    stats.shuffleTokens.set(4);
    stats.hintTokens.set(0);
    stats.firstRecrLayoutClicked = true;
}

inline void expectSameStats(const QuovelMahjongStats& a, const QuovelMahjongStats& b) {
    EXPECT_TRUE(a.rooms == b.rooms);
    EXPECT_TRUE(a.casino == b.casino);
    EXPECT_TRUE(a.recRoom == b.recRoom);
    EXPECT_TRUE(a.rooftop == b.rooftop);
    EXPECT_EQ(a.firstDoorClicked, b.firstDoorClicked);
    EXPECT_EQ(a.numMatches, b.numMatches);
    EXPECT_EQ(a.maxBonus, b.maxBonus);
    EXPECT_EQ(a.maxCombo, b.maxCombo);
    EXPECT_EQ(a.quovelRecord, b.quovelRecord);
    EXPECT_EQ(a.recRoomRecord, b.recRoomRecord);
    EXPECT_EQ(a.twoStarsCount, b.twoStarsCount);
    EXPECT_EQ(a.threeStarsCount, b.threeStarsCount);
    EXPECT_EQ(a.numStuck, b.numStuck);
    EXPECT_EQ(a.numBonusTotal, b.numBonusTotal);
    EXPECT_EQ(a.numGamesWon, b.numGamesWon);
    EXPECT_EQ(a.shuffleTokens.getValue(), b.shuffleTokens.getValue());
    EXPECT_EQ(a.shuffleTokens.getShown(), b.shuffleTokens.getShown());
    EXPECT_EQ(a.hintTokens.getValue(), b.hintTokens.getValue());
    EXPECT_EQ(a.firstRecrLayoutClicked, b.firstRecrLayoutClicked);
}
