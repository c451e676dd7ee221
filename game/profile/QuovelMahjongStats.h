#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "game/rules/DisplayValue.h"
#include "game/rules/GameType.h"
#include "game/rules/RoomKind.h"

class PropertyNode;

// The record of one room of the floors. A best time of 0 means none yet (smaller is better);
// NO_GAME_TYPE (stored as -1) means no game was played there yet.
struct RoomRecord {
    int32_t bestScore = 0;
    int32_t bestTime = 0;
    int32_t playCount = 0;
    GameType gameType = NO_GAME_TYPE;
    int32_t levelWinCount = 0;

    bool operator==(const RoomRecord&) const = default;
};

// The casino's record of one game type and difficulty, with the runs started per game type.
struct CasinoRecord {
    int32_t bestScore = 0;
    int32_t bestLevel = 0;
    int32_t playCount = 0;
    int32_t playCountClassic = 0;
    int32_t playCountFreeCell = 0;
    int32_t playCountSplit = 0;
    int32_t playCountTriple = 0;
    int32_t playCountRiver = 0;

    bool operator==(const CasinoRecord&) const = default;
};

// The rec room's record of one layout.
struct RecRoomRecord {
    int32_t bestTime = 0;
    int32_t playCount = 0;
    int32_t levelWinCount = 0;

    bool operator==(const RecRoomRecord&) const = default;
};

// The roof's record of one group and difficulty.
struct RooftopRecord {
    int32_t bestScore = 0;
    int32_t bestLevel = 0;
    int32_t playCount = 0;

    bool operator==(const RooftopRecord&) const = default;
};

// Where a level is played, as the record updates need it: the room kind, the game type and
// difficulty, the floor (1-20) and room (1-5) of a floor level, the layout's index in the rec room,
// and the level's index in a casino or roof run (0 for the first).
struct LevelPlace {
    RoomKind roomKind = RoomKind::FLOORS;
    GameType gameType = TYPE_CLASSIC;
    int32_t difficulty = 0;
    int32_t floor = 0;
    int32_t room = 0;
    int32_t layout = 0;
    int32_t levelIndex = 0;
};

// The records and counters of one player: a record per room of the twenty floors, the casino's
// records by game type and difficulty, the rec room's by game type and layout, the roof's, the
// lifetime counters, the shuffle and hint tokens and two first-time flags. Held by value in the
// profile, written into its "stats" node and read back from it.
class QuovelMahjongStats {
public:
    static constexpr int32_t FLOORS = 20;
    static constexpr int32_t ROOMS_PER_FLOOR = 5;
    static constexpr int32_t GAME_TYPES = 5;
    static constexpr int32_t DIFFICULTIES = 3;
    static constexpr int32_t ROOF_GROUPS = 2;

    // The reset state; the tokens start at MIN_NUM_SHUFFLES and MIN_NUM_HINTS.
    QuovelMahjongStats();

    void save(PropertyNode* node) const;
    // Reads every key by name; an absent counter, token or door key reads 0, an absent record
    // group leaves its records as they are.
    void load(PropertyNode* node);

    // Whether the play counts of the game type, over the floors, the casino and the rec room,
    // reach `count`.
    bool hasPlayedAtLeast(GameType gameType, int32_t count) const;

    // The records by place; null outside the ranges. The rec room's list of the game type
    // first grows with empty records up to the layout.
    RoomRecord* roomRecord(int32_t floor, int32_t room);
    const RoomRecord* roomRecord(int32_t floor, int32_t room) const;
    CasinoRecord* casinoRecord(GameType gameType, int32_t difficulty);
    RecRoomRecord* recRoomRecordFor(GameType gameType, int32_t layout);
    // Group 0 holds the games whose type is outside 0-4 (the speed game), group 1 the others.
    RooftopRecord* rooftopRecord(GameType gameType, int32_t difficulty);

    // The counts of a level being started.
    void recordLevelStarted(const LevelPlace& place);
    // The records of a level won with that score and time (ms). Star counters, floor
    // completion and trophies are the win handling's own.
    void recordLevelWon(const LevelPlace& place, int32_t score, int32_t time);

    std::array<RoomRecord, FLOORS * ROOMS_PER_FLOOR> rooms{};
    std::array<CasinoRecord, GAME_TYPES * DIFFICULTIES> casino{};
    std::array<std::vector<RecRoomRecord>, GAME_TYPES> recRoom{};
    std::array<RooftopRecord, ROOF_GROUPS * DIFFICULTIES> rooftop{};
    int32_t numMatches = 0;
    int32_t maxBonus = 0;
    int32_t maxCombo = 0;
    int32_t quovelRecord = 0;
    int32_t recRoomRecord = 0;
    int32_t twoStarsCount = 0;
    int32_t threeStarsCount = 0;
    int32_t numStuck = 0;
    int32_t numBonusTotal = 0;
    int32_t numGamesWon = 0;
    DisplayValue shuffleTokens;
    DisplayValue hintTokens;
    std::array<int32_t, FLOORS> firstDoorClicked{};
    bool firstRecrLayoutClicked = false;
};
