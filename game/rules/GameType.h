#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>

// The six kinds of game. The numbers are what level files and saved games store.
enum GameType : int32_t {
    TYPE_CLASSIC = 0,
    TYPE_FREECELL = 1,
    TYPE_SPLIT = 2,
    TYPE_TRIPLE = 3,
    TYPE_RIVER = 4,
    TYPE_SPEED = 5
};

inline constexpr int32_t GAME_TYPE_COUNT = 6;
// No game type: nothing chosen yet, no level, or a room where no game was played.
inline constexpr GameType NO_GAME_TYPE = static_cast<GameType>(-1);
// The five types of the casino and the rec room, in switch order; Speed is the roof's alone.
inline constexpr std::array<GameType, 5> ROOM_GAME_TYPES{TYPE_CLASSIC, TYPE_FREECELL, TYPE_SPLIT,
                                                         TYPE_TRIPLE, TYPE_RIVER};

// Whether the game type is one of `types`.
constexpr bool isGameTypeOf(GameType type, std::initializer_list<GameType> types) {
    for (GameType candidate : types) {
        if (type == candidate) {
            return true;
        }
    }
    return false;
}
