// The game scene's part of the level's flow: the frame, the HUD buttons, the next level, the
// restart, the teardown and the bars.
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
#include "game/profile/QuovelMahjongPlayer.h"
#include "game/rules/Game.h"
#include "game/rules/Layout.h"
#include "game/rules/Level.h"
#include "game/rules/LevelCatalog.h"
#include "game/rules/SideBoard.h"
#include "game/rules/Tile.h"
#include "game/screen/BonusBar.h"
#include "game/screen/GameDialogs.h"
#include "game/screen/GameSceneStates.h"
#include "game/screen/LayoutRenderer.h"
#include "game/screen/LevelFlow.h"
#include "game/screen/SceneGame.h"
#include "game/screen/TimeBar.h"

namespace {

// Closed and dropped, in this order, when a level is torn down.
const char* const LEVEL_DIALOGS[] = {
    "DIALOG_LEVEL_END",      "CTEXT_MENU_STOP",     "DIALOG_MENU",
    "TEXT_MENU_STOP_QUOVEL", "DIALOG_DORRICK_HINT", "DIALOG_PAUSE",
    "DIALOG_HINT",           "DIALOG_LEVEL_START",  "DIALOG_TROPHY_INFO"};

}  // namespace

SceneGame* SceneGame::fromHost() {
    GameDialogHost* host = GameDialogHost::get();
    return host ? objectCast<SceneGame>(host->getGameScene()) : nullptr;
}

// --- The frame ---

void SceneGame::update(int32_t elapsedMs) {
    SceneQuovelMahjong::update(elapsedMs);
    flow.update(elapsedMs);
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
    if (SideBoard* sideBoard = LevelFlow::currentSideBoard()) {
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
    if (SideBoard* sideBoard = LevelFlow::currentSideBoard()) {
        sideBoard->setRemoved(true);
    }
    clearLevel();
    game->restartLevel();
    startLevel(true);
    flow.setState(new StateBuildLevel(this));
}

void SceneGame::clearLevel() {
    flow.stop();
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
    if (SideBoard* sideBoard = LevelFlow::currentSideBoard()) {
        sideBoard->setRemoved(true);
    }
    if (timeLabel) {
        GameNode::removeAllModifiers(timeLabel);
        timeLabel->setText(LevelFlow::clockText(0));
    }
    if (renderer) {
        renderer->setRemoved(true);
        renderer = nullptr;
    }
    if (endLayer) {
        GameNode::releaseChildren(endLayer.get());
    }
    if (GameNode* floaterLayer = floaters.getLayer()) {
        GameNode::releaseChildren(floaterLayer);
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
