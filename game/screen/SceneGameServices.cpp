// The game scene's services around play: the trophy notices.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "framework/core/BasicProperties.h"
#include "framework/core/PropertyStore.h"
#include "framework/core/PropertyValue.h"
#include "framework/core/StringUtils.h"
#include "framework/gui/Label.h"
#include "framework/platform/PlayerManager.h"
#include "game/profile/PlayerFileReport.h"
#include "game/profile/QuovelMahjongPlayer.h"
#include "game/profile/TrophyList.h"
#include "game/rules/Game.h"
#include "game/rules/GameSound.h"
#include "game/rules/Layout.h"
#include "game/rules/Level.h"
#include "game/rules/Tile.h"
#include "game/screen/GameDialogs.h"
#include "game/screen/GameSceneStates.h"
#include "game/screen/SceneGame.h"

namespace {

constexpr int32_t TROPHY_MIN_TILES = 10;

}  // namespace

// --- Trophy notices ---

void SceneGame::awardTrophy(TrophyId id) {
    QuovelMahjongPlayer* player = QuovelMahjongPlayer::current();
    Trophy* trophy = player ? player->getTrophies().getTrophy(id) : nullptr;
    if (trophy && trophy->state == Trophy::NOT_EARNED) {
        trophy->state = Trophy::EARNED;
        showTrophyInfo(trophyIndex(id));
    }
}

void SceneGame::showTrophyInfo(int32_t index) {
    Game* game = Game::current();
    QuovelMahjongPlayer* player = QuovelMahjongPlayer::current();
    const bool canShow =
        game && game->getLayout() && game->getLayout()->getTileCount() >= TROPHY_MIN_TILES &&
        flow.getPauseState() == RUNNING && !isDialogOpen("DIALOG_HINT") && !flow.isLevelOver();
    Trophy* trophy = player ? player->getTrophies().getTrophy(index) : nullptr;
    if (!canShow || !trophy) {
        return;
    }
    if (trophyPopup) {
        trophyQueue.push_back(index);
        return;
    }
    Dialog* notice = GameDialogs::get().trophyNotice(
        *this, trophy, callback<&SceneGame::onTrophyInfoClosed>(this));
    if (!notice) {
        return;
    }
    trophyPopup = notice;
    openDialog(notice);
}

int32_t SceneGame::onTrophyInfoClosed(BaseObject*) {
    trophyPopup = nullptr;
    if (Dialog* notice = findDialog("DIALOG_TROPHY_INFO")) {
        closeDialog(notice);
        dropDialog("DIALOG_TROPHY_INFO");
    }
    Game* game = Game::current();
    if (!trophyQueue.empty() && game && game->getLayout() &&
        game->getLayout()->getTileCount() > 0) {
        const int32_t next = trophyQueue.back();
        trophyQueue.pop_back();
        showTrophyInfo(next);
    }
    return 0;
}
