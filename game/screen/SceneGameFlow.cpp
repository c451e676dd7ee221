// The game scene's frame update and level flow: pause and hold under dialogs, the play update,
// the end of a level, the next level, the restart, the stop and the teardown.
#include <algorithm>
#include <string>

#include "framework/core/ProblemLog.h"
#include "framework/core/PropertyNode.h"
#include "framework/core/Random.h"
#include "framework/core/StringUtils.h"
#include "framework/gui/Button.h"
#include "framework/gui/Label.h"
#include "framework/nodes/ModifierAppearance.h"
#include "framework/nodes/ModifierSound.h"
#include "framework/platform/PlayerManager.h"
#include "framework/platform/SoundNode.h"
#include "framework/scene/SceneManager.h"
#include "game/profile/QuovelMahjongPlayer.h"
#include "game/rules/Game.h"
#include "game/rules/Layout.h"
#include "game/rules/Level.h"
#include "game/rules/LevelCatalog.h"
#include "game/rules/SideBoard.h"
#include "game/rules/Tile.h"
#include "game/screen/BonusBar.h"
#include "game/screen/BuildingHooks.h"
#include "game/screen/GameDialogs.h"
#include "game/screen/GameSceneStates.h"
#include "game/screen/LayoutRenderer.h"
#include "game/screen/SceneGame.h"
#include "game/screen/TimeBar.h"

namespace {

constexpr int32_t LEVEL_END_DELAY = 1500;
// The super hint's last milliseconds: its icon blinks.

// The rec room's clock, minutes always two digits ("00:00", "01:15"), so that its width holds
// from the reset to the first hour.
std::wstring clockText(int32_t milliseconds) {
    return formatDuration(static_cast<uint32_t>(std::max(milliseconds, 0)), true, true);
}

// Closed and dropped, in this order, when a level is torn down.
const char* const LEVEL_DIALOGS[] = {
    "DIALOG_LEVEL_END",      "CTEXT_MENU_STOP",     "DIALOG_MENU",
    "TEXT_MENU_STOP_QUOVEL", "DIALOG_DORRICK_HINT", "DIALOG_PAUSE",
    "DIALOG_HINT",           "DIALOG_LEVEL_START",  "DIALOG_TROPHY_INFO"};

SideBoard* currentSideBoard() {
    Game* game = Game::current();
    return game && game->getLayout() ? game->getLayout()->getSideBoard() : nullptr;
}

}  // namespace

// --- States ---

void SceneGame::setState(GameSceneState* next) {
    // Both are held across exit and enter: either may hand the scene yet another state.
    RefHolder<GameSceneState> keepNext(next);
    if (RefHolder<GameSceneState> previous = currentState) {
        currentState = nullptr;
        previous->exit();
    }
    if (next) {
        currentState = next;
        next->enter();
    }
}

bool SceneGame::isLevelOver() const {
    return currentState && currentState->isA(&StateLevelEnd::typeRecord);
}

SceneGame* SceneGame::fromHost() {
    GameDialogHost* host = GameDialogHost::get();
    return host ? objectCast<SceneGame>(host->getGameScene()) : nullptr;
}

// --- The frame ---

void SceneGame::update(int32_t elapsedMs) {
    SceneQuovelMahjong::update(elapsedMs);
    if (currentState) {
        RefHolder<GameSceneState> keep = currentState;
        keep->update(elapsedMs);
        input.endFrame();
        return;
    }
    if (!isDialogOpen("DIALOG_PAUSE") && (menuRequested || pauseRequested || input.isFocusLost() ||
                                          input.isDeactivatedThisFrame())) {
        if (pauseState != HIDDEN && pauseState != STOPPED) {
            if (renderer) {
                renderer->hideSymbols();
            }
            if (SideBoard* sideBoard = currentSideBoard()) {
                sideBoard->invalidateAll();
            }
            pauseState = HIDDEN;
        }
        if (timeSound) {
            timeSound->stop(true);
        }
        Dialog* dialog = getDialog(menuRequested ? "DIALOG_MENU" : "DIALOG_PAUSE");
        if (!menuRequested && input.isDeactivatedThisFrame()) {
            GameDialogs::get().setFadeInOnShow(dialog, false);
        }
        openDialog(dialog);
        menuRequested = false;
        pauseRequested = false;
        input.forgetFocusLoss();
        enablePauseAndMenu();
    }
    if (Game* game = Game::current()) {
        SideBoard* sideBoard = currentSideBoard();
        for (const RefHolder<Tile>& tile : game->getSuperHintTiles()) {
            if (sideBoard && tile->isOnSideBoard()) {
                sideBoard->invalidateTileRect(tile->getGridX(), tile->getGridY());
            }
        }
    }
    // The tutorial hints: a closed hint dialog is forgotten, then the board check is paced.
    if (GameDialogs::get().isHintOpen() && !isDialogOpen("DIALOG_HINT")) {
        GameDialogs::get().forgetHint();
    }
    hintTriggers.onFrame();
    if (GameDialogHost::getOpenDialogs().empty()) {
        updatePlay(elapsedMs);
    }
    input.endFrame();
}

void SceneGame::updatePlay(int32_t elapsedMs) {
    Game* game = Game::current();
    if (!game) {
        return;
    }
    game->gameCounts.dataGatherLevelTime += elapsedMs;
    game->runCounts.realTime += elapsedMs;
    game->levelCounts.timeSinceLastRestart += elapsedMs;
    input.advanceHoverPath(elapsedMs);
    aids.advanceSuperHint(elapsedMs);
    if (currentRoomKind() == RoomKind::RECROOM) {
        game->runCounts.clockTime += elapsedMs;
        if (timeLabel) {
            timeLabel->setText(clockText(game->runCounts.clockTime));
        }
        return;
    }
    if (getTimeValue().getValue() <= 0) {
        enterGameOver();
    }
}

// --- Holding the game under dialogs ---

void SceneGame::pauseGame() {
    if (pauseState == HIDDEN || pauseState == STOPPED) {
        return;
    }
    setButtonsEnabled(false);
    setBarsSuspended(true);
    pauseState = HELD;
}

void SceneGame::resumeGame() {
    if (pauseState == STOPPED) {
        return;
    }
    if (pauseState == HIDDEN) {
        if (renderer) {
            renderer->showSymbols();
        }
        if (SideBoard* sideBoard = currentSideBoard()) {
            sideBoard->invalidateAll();
        }
    }
    pauseState = RUNNING;
    // While the level is introduced, built or ended, the states keep the HUD off.
    if (Game::current() && (!currentState || currentState->isA(&StatePlaying::typeRecord))) {
        enableHudButtons();
        setBarsSuspended(currentRoomKind() == RoomKind::RECROOM);
    }
}

void SceneGame::enableHudButtons() {
    enablePauseAndMenu();
    for (Button* button : {hintButton, shuffleButton, undoButton}) {
        if (button) {
            button->setEnabled(button->isVisible());
        }
    }
}

// --- The end of a level ---

void SceneGame::enterGameOver() {
    endLevel(false);
}

void SceneGame::enterGameWon() {
    endLevel(true);
}

void SceneGame::endLevel(bool won) {
    if (Game* game = Game::current()) {
        setScoreAtOnce(game->getScore().getValue());
    }
    input.deselectAll();
    if (endLayer) {
        GameNode::releaseChildren(endLayer.get());
    }
    if (bonusBar) {
        bonusBar->finishAnimations();
    }
    if (timeSound) {
        timeSound->stop(true);
    }
    aids.dismissSuperHintIcon(true);
    savedGame.setMode(won ? 2 : 0);
    if (won) {
        setState(new StateGameWon(this, LEVEL_END_DELAY));
    } else {
        // A lost level ends its run: no kill may leave the run to be continued.
        savedGame.drop();
        setState(new StateGameOver(this, LEVEL_END_DELAY));
    }
}

bool SceneGame::newLevel(bool quiet) {
    Game* game = Game::current();
    if (!game || !game->getLevel()) {
        return false;
    }
    const RoomKind mode = game->getLevel()->getGameMode();
    if (!game->getHasWon() || mode == RoomKind::FLOORS || mode == RoomKind::RECROOM) {
        if (!quiet) {
            game->returnToRoom();
        }
        return false;
    }
    if (renderer) {
        renderer->setRemoved(true);
    }
    if (SideBoard* sideBoard = currentSideBoard()) {
        sideBoard->setRemoved(true);
    }
    if (!quiet) {
        clearLevel();
    }
    // A next level that cannot be had or read ends the run: told, back to the room, not saved.
    const auto endRun = [&](const std::string& why) {
        logProblem("the run ends: " + why);
        savedGame.setMode(0);  // nothing to save
        savedGame.drop();
        if (!quiet) {
            Game::tellDamagedRoom(mode, true);
            game->returnToRoom();
        }
        return false;
    };
    RefHolder<Level> old = game->getLevel();
    if (old->isMixed() && mode == RoomKind::ROOF) {
        // Each level of a mixed roof run is of another game type than the one before.
        GameType type = old->getGameType();
        Random* random = Random::getInstance();
        for (int tries = 0; random && type == old->getGameType() && tries < 1000; ++tries) {
            type = ROOM_GAME_TYPES[static_cast<size_t>(random->nextInt(0, 5))];
        }
        if (type == old->getGameType()) {
            type = ROOM_GAME_TYPES[static_cast<size_t>((type + 1) % 5)];
        }
        const int32_t score = game->getScore().getValue();
        RefHolder<Level> level =
            LevelCatalog::instance()->casinoLevel(type, old->getDifficulty(), RoomKind::ROOF);
        if (!level) {
            return endRun("the catalogue has no level of game type " + std::to_string(type));
        }
        Game::releaseCurrent();
        game = Game::create(type);
        if (!game) {
            return false;
        }
        for (int32_t i = 0; i <= old->getIndex(); ++i) {
            level->nextLevel();
        }
        level->loadLayout();
        level->setMixed(true);
        game->setLevel(level.get());
        game->getScore().set(score);
    } else {
        old->nextLevel();
        old->loadLayout();
        game->setLevel(old.get());
    }
    if (!game->getLayout() || game->getLayout()->getTileCount() == 0) {
        return endRun("the layout \"" + game->getLevel()->getLayout() +
                      "\" of its next level holds no tile");
    }
    game->clearUndoHistory();
    if (quiet) {
        game->clearLevelValues();
    } else {
        startLevel(false);
        // The run is written as each of its levels ends, as the level after starts.
        savedGame.setMode(1);
        savedGame.save();
    }
    savedGame.setMode(1);
    return true;
}

void SceneGame::restartLevel() {
    Game* game = Game::current();
    if (!game) {
        return;
    }
    ++game->restartCount;
    for (const char* name : {"TEXT_STUCK_QUOVEL", "TEXT_STUCK_RECROOM"}) {
        GameDialogs::get().close(findDialog(name));
    }
    input.deselectAll();
    if (SideBoard* sideBoard = currentSideBoard()) {
        sideBoard->setRemoved(true);
    }
    clearLevel();
    game->restartLevel();
    startLevel(true);
    setState(new StateBuildLevel(this));
}

int32_t SceneGame::onGameStopped(BaseObject*) {
    Game* game = Game::current();
    if (!game) {
        return 0;
    }
    if (PropertyNode* session = Game::getLevelSession()) {
        session->addBool("gameStopped", true, false);
    }
    if (QuovelMahjongPlayer* player = QuovelMahjongPlayer::current()) {
        player->setTrophiesSeen();
    }
    const RoomKind mode = currentRoomKind();
    if (mode == RoomKind::FLOORS) {
        game->returnToRoom();
        return 0;
    }
    BuildingHooks::gameStopped(mode);
    if (SceneManager* manager = SceneManager::getInstance()) {
        manager->goToScene("SCENE_ELEVATOR", "", SceneManager::QueuedSections::KEEP);
    }
    return 0;
}

void SceneGame::clearLevel() {
    pauseState = STOPPED;
    if (Game* game = Game::current()) {
        game->clearLevelValues();
    }
    for (const char* name : LEVEL_DIALOGS) {
        if (Dialog* dialog = findDialog(name)) {
            closeDialog(dialog);
            dropDialog(name);
        }
    }
    GameDialogs::get().forgetHint();
    input.deselectAll();
    aids.clear();
    trophyQueue.clear();
    trophyPopup = nullptr;
    if (widgetLayer) {
        for (GameNode* child = widgetLayer->getFirstChild(); child;
             child = child->getNextSibling()) {
            if (auto* part = interfaceCast<iInputListener>(child)) {
                getComponentsContainer().removeListener(part);
            }
        }
        GameNode::releaseChildren(widgetLayer.get());
    }
    for (GameNode* bar :
         {static_cast<GameNode*>(bonusBar.get()), static_cast<GameNode*>(timeBar.get())}) {
        if (bar) {
            bar->setRemoved(true);
        }
    }
    bonusBar = nullptr;
    timeBar = nullptr;
    if (SideBoard* sideBoard = currentSideBoard()) {
        sideBoard->setRemoved(true);
    }
    if (timeLabel) {
        GameNode::removeAllModifiers(timeLabel);
        timeLabel->setText(clockText(0));
    }
    if (renderer) {
        renderer->setRemoved(true);
        renderer = nullptr;
    }
    if (endLayer) {
        GameNode::releaseChildren(endLayer.get());
    }
    if (floaterLayer) {
        GameNode::releaseChildren(floaterLayer.get());
    }
}

// --- Records ---

void SceneGame::countLevelStart() {
    Game* game = Game::current();
    QuovelMahjongPlayer* player = QuovelMahjongPlayer::current();
    if (game && game->getLevel() && player) {
        player->getStats().recordLevelStarted(StateGameWon::placeOf(game->getLevel()));
    }
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
