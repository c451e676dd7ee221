#include "game/screen/BuildingHooks.h"

namespace BuildingHooks {

namespace {
LevelWonFunction levelWonHook = nullptr;
FloorEndedFunction floorEndedHook = nullptr;
GameStoppedFunction gameStoppedHook = nullptr;
QuitAskedFunction quitAskedHook = nullptr;
CasinoTablesFunction casinoTablesHook = nullptr;
}  // namespace

void installLevelWon(LevelWonFunction listener) {
    levelWonHook = listener;
}

void installFloorEnded(FloorEndedFunction listener) {
    floorEndedHook = listener;
}

void installGameStopped(GameStoppedFunction listener) {
    gameStoppedHook = listener;
}

void installQuitAsked(QuitAskedFunction listener) {
    quitAskedHook = listener;
}

void installCasinoTables(CasinoTablesFunction question) {
    casinoTablesHook = question;
}

void levelWon(const FirstWin& win) {
    if (levelWonHook) {
        levelWonHook(win);
    }
}

void floorEnded(int32_t floor) {
    if (floorEndedHook) {
        floorEndedHook(floor);
    }
}

void gameStopped(RoomKind roomKind) {
    if (gameStoppedHook) {
        gameStoppedHook(roomKind);
    }
}

void quitAsked() {
    if (quitAskedHook) {
        quitAskedHook();
    }
}

bool hasEntriesInAllCasinoTables() {
    return casinoTablesHook != nullptr && casinoTablesHook();
}

}  // namespace BuildingHooks
