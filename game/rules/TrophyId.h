#pragma once

#include <cstdint>

// The trophies by their index in the trophy definitions and in the profile's saved states.
enum class TrophyId : int32_t {
    NO_UNDO = 0,
    SPLIT_NO_SHUFFLE = 1,
    PLENTY_OF_TIME = 2,
    QUICK_BONUS = 3,
    TEN_BONUSES = 4,
    FLOOR_DONE = 5,
    TEN_FLOORS = 6,
    ALL_FLOORS = 7,
    SPEED_FREAK = 8,
    REC_ROOM_ALL_TYPES = 9,
    CASINO_FIRST = 10,
    ALL_CASINO_TABLES = 11,
    COMBO_FRENZY = 12,
    BIG_SCORE = 13,
    ALL_SILVER = 14,
    ALL_GOLD = 15,
    PAIRS = 16,
    SAME_FACE_TWICE = 17,
    CLOSE_CALL = 18,
    FULL_STOCKS = 19,
};

inline constexpr int32_t TROPHY_ID_COUNT = 20;

// The index the trophy list and the profile's hint flags keep the trophy under.
constexpr int32_t trophyIndex(TrophyId id) {
    return static_cast<int32_t>(id);
}
