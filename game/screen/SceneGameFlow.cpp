// The game scene's part of the level's flow: the frame, the level's won end and the bars.
#include "game/screen/BonusBar.h"
#include "game/screen/LevelFlow.h"
#include "game/screen/SceneGame.h"
#include "game/screen/TimeBar.h"

SceneGame* SceneGame::fromHost() {
    GameDialogHost* host = GameDialogHost::get();
    return host ? objectCast<SceneGame>(host->getGameScene()) : nullptr;
}

// --- The frame ---

void SceneGame::update(int32_t elapsedMs) {
    SceneQuovelMahjong::update(elapsedMs);
    flow.update(elapsedMs);
}

// --- The end of a level ---

void SceneGame::enterGameWon() {
    flow.endLevel(true);
}

// --- The bars ---

void SceneGame::setBarsSuspended(bool value) {
    if (timeBar) {
        timeBar->setSuspended(value);
    }
    setBonusBarSuspended(value);
}

void SceneGame::setBonusBarSuspended(bool value) {
    if (bonusBar) {
        bonusBar->setSuspended(value);
    }
}
