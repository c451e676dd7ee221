#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "framework/core/BasicProperties.h"
#include "game/profile/QuovelMahjongPlayer.h"
#include "game/profile/QuovelMahjongStats.h"
#include "game/rules/TuningConstants.h"
#include "testsupport/TempFolder.h"
#include "testsupport/app/TokenBounds.h"

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
        setTestTokenBounds();
        writeTrophies(trophyDefinitions(20));
    }
    void TearDown() override {
        BasicProperties::releaseInstance();
        loadTuningConstants();
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
    int32_t n = seed;
    for (RoomRecord& r : stats.rooms) {
        r = {n++, n++, n++, static_cast<GameType>(n++ % 6), n++};
    }
    for (CasinoRecord& r : stats.casino) {
        r = {n++, n++, n++, n++, n++, n++, n++, n++};
    }
    for (size_t type = 0; type < stats.recRoom.size(); ++type) {
        stats.recRoom[type].assign(type + 1, RecRoomRecord{-n++, n++, n++});
    }
    for (RooftopRecord& r : stats.rooftop) {
        r = {n++, n++, n++};
    }
    for (int32_t& door : stats.firstDoorClicked) {
        door = n++ % 5;
    }
    stats.numMatches = 123456789;
    stats.quovelRecord = -2147483647 - 1;
    stats.numGamesWon = 2147483647;
    for (int32_t* counter :
         {&stats.maxBonus, &stats.maxCombo, &stats.recRoomRecord, &stats.twoStarsCount,
          &stats.threeStarsCount, &stats.numStuck, &stats.numBonusTotal}) {
        *counter = n++;
    }
    stats.shuffleTokens.set(4);
    stats.hintTokens.set(0);
    stats.firstRecrLayoutClicked = true;
}

// Every field of the block but the records, in one list.
inline std::vector<int32_t> countersOf(const QuovelMahjongStats& s) {
    std::vector<int32_t> values(s.firstDoorClicked.begin(), s.firstDoorClicked.end());
    values.insert(values.end(),
                  {s.numMatches, s.maxBonus, s.maxCombo, s.quovelRecord, s.recRoomRecord,
                   s.twoStarsCount, s.threeStarsCount, s.numStuck, s.numBonusTotal, s.numGamesWon,
                   s.shuffleTokens.getValue(), s.shuffleTokens.getShown(), s.hintTokens.getValue(),
                   s.hintTokens.getShown(), s.firstRecrLayoutClicked});
    return values;
}

inline void expectSameStats(const QuovelMahjongStats& a, const QuovelMahjongStats& b) {
    EXPECT_TRUE(a.rooms == b.rooms);
    EXPECT_TRUE(a.casino == b.casino);
    EXPECT_TRUE(a.recRoom == b.recRoom);
    EXPECT_TRUE(a.rooftop == b.rooftop);
    EXPECT_EQ(countersOf(a), countersOf(b));
}
