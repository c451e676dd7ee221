// The game screen's frame update and level flow: the states, pause and hold under dialogs, the
// play update, the end of a level and the stop.
#include "game/screen/LevelFlow.h"

#include <algorithm>
#include <string>

#include "framework/core/PropertyNode.h"
#include "framework/core/StringUtils.h"
#include "framework/gui/Dialog.h"
#include "framework/gui/Label.h"
#include "framework/platform/SoundNode.h"
#include "framework/scene/Scene.h"
#include "framework/scene/SceneManager.h"
#include "game/profile/QuovelMahjongPlayer.h"
#include "game/rules/Game.h"
#include "game/rules/Layout.h"
#include "game/rules/SideBoard.h"
#include "game/rules/Tile.h"
#include "game/screen/BoardInput.h"
#include "game/screen/BonusBar.h"
#include "game/screen/BuildingHooks.h"
#include "game/screen/GameDialogs.h"
#include "game/screen/GameHud.h"
#include "game/screen/HintTriggers.h"
#include "game/screen/LayoutRenderer.h"
#include "game/screen/PlayerAids.h"
#include "game/screen/SavedGameKeeper.h"
#include "game/screen/TimeBar.h"

namespace {

constexpr int32_t LEVEL_END_DELAY = 1500;

}  // namespace

SideBoard* LevelFlow::currentSideBoard() {
    Game* game = Game::current();
    return game && game->getLayout() ? game->getLayout()->getSideBoard() : nullptr;
}

LevelFlow::LevelFlow(PlayScreen& play, Screen& screen, BoardInput& input,
                     HintTriggers& hintTriggers, SavedGameKeeper& savedGame)
    : play(play), screen(screen), input(input), hintTriggers(hintTriggers), savedGame(savedGame) {}

std::wstring LevelFlow::clockText(int32_t milliseconds) {
    return formatDuration(static_cast<uint32_t>(std::max(milliseconds, 0)), true, true);
}

// --- States ---

void LevelFlow::setState(GameSceneState* next) {
    // Both are held across exit and enter: either may hand the screen yet another state.
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

bool LevelFlow::isLevelOver() const {
    return currentState && currentState->isA(&StateLevelEnd::typeRecord);
}

// --- The frame ---

void LevelFlow::update(int32_t elapsedMs) {
    if (currentState) {
        RefHolder<GameSceneState> keep = currentState;
        keep->update(elapsedMs);
        input.endFrame();
        return;
    }
    Scene& scene = play.getScene();
    if (!scene.isDialogOpen("DIALOG_PAUSE") &&
        (menuRequested || pauseRequested || input.isFocusLost() ||
         input.isDeactivatedThisFrame())) {
        if (pauseState != PlayScreen::HIDDEN && pauseState != PlayScreen::STOPPED) {
            if (LayoutRenderer* renderer = play.getRenderer()) {
                renderer->hideSymbols();
            }
            if (SideBoard* sideBoard = currentSideBoard()) {
                sideBoard->invalidateAll();
            }
            pauseState = PlayScreen::HIDDEN;
        }
        if (SoundNode* timeSound = play.getTimeSound()) {
            timeSound->stop(true);
        }
        Dialog* dialog = scene.getDialog(menuRequested ? "DIALOG_MENU" : "DIALOG_PAUSE");
        if (!menuRequested && input.isDeactivatedThisFrame()) {
            GameDialogs::get().setFadeInOnShow(dialog, false);
        }
        scene.openDialog(dialog);
        forgetRequests();
        input.forgetFocusLoss();
        play.getHud().enablePauseAndMenu();
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
    if (GameDialogs::get().isHintOpen() && !scene.isDialogOpen("DIALOG_HINT")) {
        GameDialogs::get().forgetHint();
    }
    hintTriggers.onFrame();
    if (!screen.isDialogOverGame()) {
        updatePlay(elapsedMs);
    }
    input.endFrame();
}

void LevelFlow::updatePlay(int32_t elapsedMs) {
    Game* game = Game::current();
    if (!game) {
        return;
    }
    game->gameCounts.dataGatherLevelTime += elapsedMs;
    game->runCounts.realTime += elapsedMs;
    game->levelCounts.timeSinceLastRestart += elapsedMs;
    input.advanceHoverPath(elapsedMs);
    play.getAids().advanceSuperHint(elapsedMs);
    if (currentRoomKind() == RoomKind::RECROOM) {
        game->runCounts.clockTime += elapsedMs;
        if (Label* timeLabel = play.getHud().getTimeLabel()) {
            timeLabel->setText(clockText(game->runCounts.clockTime));
        }
        return;
    }
    if (play.getTimeValue().getValue() <= 0) {
        enterGameOver();
    }
}

// --- Holding the game under dialogs ---

void LevelFlow::pause() {
    if (pauseState == PlayScreen::HIDDEN || pauseState == PlayScreen::STOPPED) {
        return;
    }
    play.getHud().disableHudButtons();
    play.setBarsSuspended(true);
    pauseState = PlayScreen::HELD;
}

void LevelFlow::resume() {
    if (pauseState == PlayScreen::STOPPED) {
        return;
    }
    if (pauseState == PlayScreen::HIDDEN) {
        if (LayoutRenderer* renderer = play.getRenderer()) {
            renderer->showSymbols();
        }
        if (SideBoard* sideBoard = currentSideBoard()) {
            sideBoard->invalidateAll();
        }
    }
    pauseState = PlayScreen::RUNNING;
    // While the level is introduced, built or ended, the states keep the HUD off.
    if (Game::current() && (!currentState || currentState->isA(&StatePlaying::typeRecord))) {
        play.getHud().enableHudButtons();
        play.setBarsSuspended(currentRoomKind() == RoomKind::RECROOM);
    }
}

// --- The end of a level ---

void LevelFlow::endLevel(bool won) {
    if (Game* game = Game::current()) {
        play.getHud().setScoreAtOnce(game->getScore().getValue());
    }
    input.deselectAll();
    if (GameNode* endLayer = screen.getEndLayer()) {
        GameNode::releaseChildren(endLayer);
    }
    if (BonusBar* bonusBar = play.getBonusBar()) {
        bonusBar->finishAnimations();
    }
    if (SoundNode* timeSound = play.getTimeSound()) {
        timeSound->stop(true);
    }
    play.getAids().dismissSuperHintIcon(true);
    savedGame.setMode(won ? 2 : 0);
    if (won) {
        setState(new StateGameWon(&play, LEVEL_END_DELAY));
    } else {
        // A lost level ends its run: no kill may leave the run to be continued.
        savedGame.drop();
        setState(new StateGameOver(&play, LEVEL_END_DELAY));
    }
}

int32_t LevelFlow::onGameStopped(BaseObject*) {
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
