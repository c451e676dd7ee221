#pragma once

#include <cstdint>

// Where a level is played: the level's game mode, by the number level files, saved games and
// the profile's groups of modes use.
enum class RoomKind : int32_t {
    FLOORS = 0,
    CASINO = 1,
    RECROOM = 2,
    ROOF = 3,
};
