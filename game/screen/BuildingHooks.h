#pragma once

#include <cstdint>

#include "framework/core/Hook.h"
#include "game/rules/RoomKind.h"

// What the game screen tells the building scenes and the application above it, and the one
// thing it asks them. The application installs each (installGameListeners); each must be
// filled before it is called.
namespace BuildingHooks {

// A level of a floor won for the first time, with the medals its best score now holds.
struct FirstWin {
    int32_t floor = 0;
    int32_t room = 0;
    bool medal = false;
    bool gold = false;
};
inline Hook<void(const FirstWin& win)> levelWon{
    MustBeFilled{"BuildingHooks::levelWon", "installGameListeners"}};
// Every level of the floor is won, the first time: the next floor opens and, when the floor is
// the player's own, its item unlocks. Told before the profile records the next floor.
inline Hook<void(int32_t floor)> floorEnded{
    MustBeFilled{"BuildingHooks::floorEnded", "installGameListeners"}};
// The game was stopped from a room of that kind (not the floors); the elevator comes next.
inline Hook<void(RoomKind roomKind)> gameStopped{
    MustBeFilled{"BuildingHooks::gameStopped", "installGameListeners"}};
// The player asked to quit while one of the game's scenes is shown.
inline Hook<void()> quitAsked{MustBeFilled{"BuildingHooks::quitAsked", "installGameListeners"}};
// Whether the current player has an entry in every casino table of the casino's difficulty.
inline Hook<bool()> hasEntriesInAllCasinoTables{
    MustBeFilled{"BuildingHooks::hasEntriesInAllCasinoTables", "installGameListeners"}};

}  // namespace BuildingHooks
