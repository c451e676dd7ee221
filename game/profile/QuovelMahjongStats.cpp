#include "game/profile/QuovelMahjongStats.h"

#include <algorithm>
#include <cstddef>
#include <limits>
#include <string>
#include <utility>

#include "framework/core/PropertyNode.h"
#include "framework/core/PropertyValue.h"
#include "game/rules/TuningConstants.h"

namespace {

// A layout index beyond this is no layout of the rec room: the list does not grow to it.
constexpr int32_t MAX_REC_ROOM_LAYOUTS = 1024;

// A stored value of a record: an integer field, or the game type (the one value that is not a
// plain integer in memory).
template <class Record>
struct RecordKey {
    const char* key;
    int32_t Record::*field;
    GameType Record::*typeField = nullptr;
};

// The values of each record's "Data" node, in their written order.
constexpr RecordKey<RoomRecord> ROOM_KEYS[] = {{"bestScore", &RoomRecord::bestScore},
                                               {"bestTime", &RoomRecord::bestTime},
                                               {"playCount", &RoomRecord::playCount},
                                               {"levelWinCount", &RoomRecord::levelWinCount},
                                               {"gameType", nullptr, &RoomRecord::gameType}};
constexpr RecordKey<CasinoRecord> CASINO_KEYS[] = {
    {"bestScore", &CasinoRecord::bestScore},
    {"bestLevel", &CasinoRecord::bestLevel},
    {"playCount", &CasinoRecord::playCount},
    {"playCountClassic", &CasinoRecord::playCountClassic},
    {"playCountFreeCell", &CasinoRecord::playCountFreeCell},
    {"playCountSplit", &CasinoRecord::playCountSplit},
    {"playCountTriple", &CasinoRecord::playCountTriple},
    {"playCountRiver", &CasinoRecord::playCountRiver}};
constexpr RecordKey<RecRoomRecord> REC_ROOM_KEYS[] = {
    {"bestTime", &RecRoomRecord::bestTime},
    {"playCount", &RecRoomRecord::playCount},
    {"levelWinCount", &RecRoomRecord::levelWinCount}};
constexpr RecordKey<RooftopRecord> ROOFTOP_KEYS[] = {{"bestScore", &RooftopRecord::bestScore},
                                                     {"bestLevel", &RooftopRecord::bestLevel},
                                                     {"playCount", &RooftopRecord::playCount}};

// The per-game-type start counters of a casino record, by game type.
constexpr int32_t CasinoRecord::*CASINO_TYPE_COUNTS[] = {
    &CasinoRecord::playCountClassic, &CasinoRecord::playCountFreeCell,
    &CasinoRecord::playCountSplit, &CasinoRecord::playCountTriple, &CasinoRecord::playCountRiver};

// Counters loaded from a file may already stand at the top.
void bump(int32_t& counter) {
    if (counter < std::numeric_limits<int32_t>::max()) {
        ++counter;
    }
}

void addStatInteger(PropertyNode* node, const std::string& key, int32_t value) {
    node->addChild(new PropertyValue(key, value, true));
}

int32_t readInteger(const PropertyNode* node, const std::string& key) {
    return node->getChildValue(key)->getInt();
}

template <class Record, size_t N>
void writeRecord(PropertyVector* parent, const Record& record, const RecordKey<Record> (&keys)[N]) {
    auto* node = static_cast<PropertyNode*>(parent->addChild(new PropertyNode("", "Data")));
    for (const RecordKey<Record>& key : keys) {
        addStatInteger(node, key.key, key.field ? record.*key.field : record.*key.typeField);
    }
}

template <class Record, size_t N>
void readRecord(AbstractProperty* source, Record& record, const RecordKey<Record> (&keys)[N]) {
    const PropertyNode* node = nodeOrDummy(source);
    for (const RecordKey<Record>& key : keys) {
        const int32_t value = readInteger(node, key.key);
        if (key.field) {
            record.*key.field = value;
        } else {
            record.*key.typeField = static_cast<GameType>(value);
        }
    }
}

PropertyVector* addVector(PropertyVector* parent, const char* name) {
    return static_cast<PropertyVector*>(parent->addChild(new PropertyVector(name)));
}

// A two-level list: `outer` vectors named `innerName`, each holding `inner` records; the
// record of (i, j) is records[index(i, j)].
template <class Record, size_t N, class Index>
void writeGrid(PropertyNode* node, const char* key, const char* innerName, int32_t outer,
               int32_t inner, const Record* records, const RecordKey<Record> (&keys)[N],
               Index index) {
    PropertyVector* list = addVector(node, key);
    for (int32_t i = 0; i < outer; ++i) {
        PropertyVector* group = addVector(list, innerName);
        for (int32_t j = 0; j < inner; ++j) {
            writeRecord(group, records[index(i, j)], keys);
        }
    }
}

// Reads what the file holds of a grid, never more places than it has.
template <class Record, size_t N, class Index>
void readGrid(const PropertyNode* node, const char* key, int32_t outer, int32_t inner,
              Record* records, const RecordKey<Record> (&keys)[N], Index index) {
    const PropertyVector* list = node->getChildVector(key);
    const int32_t groups = std::min(list->getChildCount(), outer);
    for (int32_t i = 0; i < groups; ++i) {
        const PropertyVector* group = vectorOrDummy(list->getChildAt(i));
        const int32_t count = std::min(group->getChildCount(), inner);
        for (int32_t j = 0; j < count; ++j) {
            readRecord(group->getChildAt(j), records[index(i, j)], keys);
        }
    }
}

// The lifetime counters, in their written order.
constexpr RecordKey<QuovelMahjongStats> COUNTERS[] = {
    {"numMatches", &QuovelMahjongStats::numMatches},
    {"maxCombo", &QuovelMahjongStats::maxCombo},
    {"maxBonus", &QuovelMahjongStats::maxBonus},
    {"quovelRecord", &QuovelMahjongStats::quovelRecord},
    {"recRoomRecord", &QuovelMahjongStats::recRoomRecord},
    {"twoStarsCount", &QuovelMahjongStats::twoStarsCount},
    {"threeStarsCount", &QuovelMahjongStats::threeStarsCount},
    {"numStuck", &QuovelMahjongStats::numStuck},
    {"numBonusTotal", &QuovelMahjongStats::numBonusTotal},
    {"numGamesWon", &QuovelMahjongStats::numGamesWon}};

std::string doorKey(int32_t index) {
    return "firstDoorClicked_" + std::to_string(index);
}

}  // namespace

QuovelMahjongStats::QuovelMahjongStats()
    : shuffleTokens(tuning().MIN_NUM_SHUFFLES, 0, tuning().MAX_NUM_SHUFFLES),
      hintTokens(tuning().MIN_NUM_HINTS, 0, tuning().MAX_NUM_HINTS) {
    firstDoorClicked.fill(-1);
}

void QuovelMahjongStats::save(PropertyNode* node) const {
    if (node == nullptr || node->isDummy()) {
        return;
    }
    writeGrid(node, "rooms", "_", FLOORS, ROOMS_PER_FLOOR, rooms.data(), ROOM_KEYS,
              [](int32_t floor, int32_t room) { return ROOMS_PER_FLOOR * floor + room; });
    writeGrid(node, "casino", "_", DIFFICULTIES, GAME_TYPES, casino.data(), CASINO_KEYS,
              [](int32_t difficulty, int32_t type) { return DIFFICULTIES * type + difficulty; });
    PropertyVector* recroom = addVector(node, "recroom");
    for (const std::vector<RecRoomRecord>& layouts : recRoom) {
        PropertyVector* group = addVector(recroom, "");
        for (const RecRoomRecord& record : layouts) {
            writeRecord(group, record, REC_ROOM_KEYS);
        }
    }
    writeGrid(node, "rooftop", "_", DIFFICULTIES, ROOF_GROUPS, rooftop.data(), ROOFTOP_KEYS,
              [](int32_t difficulty, int32_t group) { return DIFFICULTIES * group + difficulty; });
    for (int32_t i = 0; i < FLOORS; ++i) {
        addStatInteger(node, doorKey(i), firstDoorClicked[i]);
    }
    for (const RecordKey<QuovelMahjongStats>& counter : COUNTERS) {
        addStatInteger(node, counter.key, this->*counter.field);
    }
    addStatInteger(node, "shuffleTokens", shuffleTokens.getValue());
    addStatInteger(node, "hintTokens", hintTokens.getValue());
    node->addBool("firstRecrLayoutClicked", firstRecrLayoutClicked, true);
}

void QuovelMahjongStats::load(PropertyNode* node) {
    const PropertyNode* source = nodeOrDummy(node);
    readGrid(source, "rooms", FLOORS, ROOMS_PER_FLOOR, rooms.data(), ROOM_KEYS,
             [](int32_t floor, int32_t room) { return ROOMS_PER_FLOOR * floor + room; });
    readGrid(source, "casino", DIFFICULTIES, GAME_TYPES, casino.data(), CASINO_KEYS,
             [](int32_t difficulty, int32_t type) { return DIFFICULTIES * type + difficulty; });
    const PropertyVector* recroom = source->getChildVector("recroom");
    const int32_t types = std::min(recroom->getChildCount(), GAME_TYPES);
    for (int32_t type = 0; type < types; ++type) {
        const PropertyVector* group = vectorOrDummy(recroom->getChildAt(type));
        const int32_t count = std::min(group->getChildCount(), MAX_REC_ROOM_LAYOUTS);
        std::vector<RecRoomRecord>& layouts = recRoom[type];
        if (static_cast<int32_t>(layouts.size()) < count) {
            layouts.resize(count);
        }
        for (int32_t j = 0; j < count; ++j) {
            readRecord(group->getChildAt(j), layouts[j], REC_ROOM_KEYS);
        }
    }
    readGrid(source, "rooftop", DIFFICULTIES, ROOF_GROUPS, rooftop.data(), ROOFTOP_KEYS,
             [](int32_t difficulty, int32_t group) { return DIFFICULTIES * group + difficulty; });
    for (int32_t i = 0; i < FLOORS; ++i) {
        firstDoorClicked[i] = readInteger(source, doorKey(i));
    }
    for (const RecordKey<QuovelMahjongStats>& counter : COUNTERS) {
        this->*counter.field = readInteger(source, counter.key);
    }
    shuffleTokens.set(readInteger(source, "shuffleTokens"));
    hintTokens.set(readInteger(source, "hintTokens"));
    firstRecrLayoutClicked = source->getChildValue("firstRecrLayoutClicked")->getBool();
}

bool QuovelMahjongStats::hasPlayedAtLeast(GameType gameType, int32_t count) const {
    // Tested after every addition, so a count of 0 or less needs at least one record.
    int64_t sum = 0;
    const auto reaches = [&](int32_t playCount) {
        sum += playCount;
        return sum >= count;
    };
    for (const RoomRecord& record : rooms) {
        if (record.gameType == gameType && reaches(record.playCount)) {
            return true;
        }
    }
    if (gameType < 0 || gameType >= GAME_TYPES) {
        return false;
    }
    for (int32_t difficulty = 0; difficulty < DIFFICULTIES; ++difficulty) {
        if (reaches(casino[DIFFICULTIES * gameType + difficulty].playCount)) {
            return true;
        }
    }
    return std::any_of(recRoom[gameType].begin(), recRoom[gameType].end(),
                       [&](const RecRoomRecord& record) { return reaches(record.playCount); });
}

RoomRecord* QuovelMahjongStats::roomRecord(int32_t floor, int32_t room) {
    return const_cast<RoomRecord*>(std::as_const(*this).roomRecord(floor, room));
}

const RoomRecord* QuovelMahjongStats::roomRecord(int32_t floor, int32_t room) const {
    if (floor < 1 || floor > FLOORS || room < 1 || room > ROOMS_PER_FLOOR) {
        return nullptr;
    }
    return &rooms[ROOMS_PER_FLOOR * (floor - 1) + (room - 1)];
}

CasinoRecord* QuovelMahjongStats::casinoRecord(GameType gameType, int32_t difficulty) {
    if (gameType < 0 || gameType >= GAME_TYPES || difficulty < 0 || difficulty >= DIFFICULTIES) {
        return nullptr;
    }
    return &casino[DIFFICULTIES * gameType + difficulty];
}

RecRoomRecord* QuovelMahjongStats::recRoomRecordFor(GameType gameType, int32_t layout) {
    if (gameType < 0 || gameType >= GAME_TYPES || layout < 0 || layout >= MAX_REC_ROOM_LAYOUTS) {
        return nullptr;
    }
    std::vector<RecRoomRecord>& layouts = recRoom[gameType];
    if (static_cast<int32_t>(layouts.size()) <= layout) {
        layouts.resize(layout + 1);
    }
    return &layouts[layout];
}

RooftopRecord* QuovelMahjongStats::rooftopRecord(GameType gameType, int32_t difficulty) {
    if (difficulty < 0 || difficulty >= DIFFICULTIES) {
        return nullptr;
    }
    const int32_t group = gameType >= 0 && gameType < GAME_TYPES ? 1 : 0;
    return &rooftop[DIFFICULTIES * group + difficulty];
}

void QuovelMahjongStats::recordLevelStarted(const LevelPlace& place) {
    switch (place.roomKind) {
        case RoomKind::FLOORS:
            if (RoomRecord* record = roomRecord(place.floor, place.room)) {
                record->gameType = place.gameType;
                bump(record->playCount);
            }
            break;
        case RoomKind::CASINO:
            if (CasinoRecord* record = casinoRecord(place.gameType, place.difficulty);
                record != nullptr && place.levelIndex == 0) {
                bump(record->*CASINO_TYPE_COUNTS[place.gameType]);
                bump(record->playCount);
            }
            break;
        case RoomKind::RECROOM:
            if (RecRoomRecord* record = recRoomRecordFor(place.gameType, place.layout)) {
                bump(record->playCount);
            }
            break;
        case RoomKind::ROOF:
            if (RooftopRecord* record = rooftopRecord(place.gameType, place.difficulty);
                record != nullptr && place.levelIndex == 0) {
                bump(record->playCount);
            }
            break;
        default:
            break;
    }
}

namespace {

// A best time counts when there is none yet or it is strictly lower.
void lowerBestTime(int32_t& bestTime, int32_t time) {
    if (bestTime == 0 || time < bestTime) {
        bestTime = time;
    }
}

}  // namespace

void QuovelMahjongStats::recordLevelWon(const LevelPlace& place, int32_t score, int32_t time) {
    switch (place.roomKind) {
        case RoomKind::FLOORS:
            bump(numGamesWon);
            quovelRecord = std::max(quovelRecord, score);
            if (RoomRecord* record = roomRecord(place.floor, place.room)) {
                record->bestScore = std::max(record->bestScore, score);
                lowerBestTime(record->bestTime, time);
                bump(record->levelWinCount);
            }
            break;
        case RoomKind::CASINO:
            if (CasinoRecord* record = casinoRecord(place.gameType, place.difficulty)) {
                record->bestScore = std::max(record->bestScore, score);
            }
            break;
        case RoomKind::RECROOM:
            recRoomRecord = std::max(recRoomRecord, time);
            bump(numGamesWon);
            if (RecRoomRecord* record = recRoomRecordFor(place.gameType, place.layout)) {
                lowerBestTime(record->bestTime, time);
                bump(record->levelWinCount);
            }
            break;
        case RoomKind::ROOF:
            if (RooftopRecord* record = rooftopRecord(place.gameType, place.difficulty)) {
                record->bestScore = std::max(record->bestScore, score);
            }
            break;
        default:
            break;
    }
}
