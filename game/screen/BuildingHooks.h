#pragma once

#include <cstdint>

#include "game/rules/RoomKind.h"

// What the game screen tells the building scenes and the application above it, and the one
// thing it asks them. Each is a plain function that its listener installs from its own source
// file at start-up, so every program that links the building has them; without one a report
// does nothing and the question answers no.
namespace BuildingHooks {

// A level of a floor won for the first time, with the medals its best score now holds.
struct FirstWin {
    int32_t floor = 0;
    int32_t room = 0;
    bool medal = false;
    bool gold = false;
};
using LevelWonFunction = void (*)(const FirstWin& win);
// Every level of the floor is won: the next floor opens.
using FloorEndedFunction = void (*)(int32_t floor);
// The game was stopped from a room of that kind (not the floors); the elevator comes next.
using GameStoppedFunction = void (*)(RoomKind roomKind);
// The player asked to quit while one of the game's scenes is shown.
using QuitAskedFunction = void (*)();
// Whether the current player has an entry in every casino table of the casino's difficulty.
using CasinoTablesFunction = bool (*)();

// Each installs one listener; null removes it.
void installLevelWon(LevelWonFunction listener);
void installFloorEnded(FloorEndedFunction listener);
void installGameStopped(GameStoppedFunction listener);
void installQuitAsked(QuitAskedFunction listener);
void installCasinoTables(CasinoTablesFunction question);

void levelWon(const FirstWin& win);
void floorEnded(int32_t floor);
void gameStopped(RoomKind roomKind);
void quitAsked();
// False without a listener.
bool hasEntriesInAllCasinoTables();

}  // namespace BuildingHooks
