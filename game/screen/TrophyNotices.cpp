#include "game/screen/TrophyNotices.h"

#include "framework/gui/Dialog.h"
#include "framework/nodes/iGuiMethod.h"
#include "framework/scene/Scene.h"
#include "game/profile/PlayerFileReport.h"
#include "game/profile/QuovelMahjongPlayer.h"
#include "game/profile/TrophyList.h"
#include "game/rules/Game.h"
#include "game/rules/Layout.h"
#include "game/screen/GameDialogs.h"
#include "game/screen/PlayScreen.h"

namespace {

constexpr int32_t TROPHY_MIN_TILES = 10;

}  // namespace

TrophyNotices::TrophyNotices(PlayScreen& play) : play(play) {}

void TrophyNotices::awardTrophy(TrophyId id) {
    QuovelMahjongPlayer* player = QuovelMahjongPlayer::current();
    Trophy* trophy = player ? player->getTrophies().getTrophy(id) : nullptr;
    if (trophy && trophy->state == Trophy::NOT_EARNED) {
        trophy->state = Trophy::EARNED;
        showTrophyInfo(trophyIndex(id));
    }
}

void TrophyNotices::showTrophyInfo(int32_t index) {
    Game* game = Game::current();
    QuovelMahjongPlayer* player = QuovelMahjongPlayer::current();
    Scene& scene = play.getScene();
    PlayScreen::Flow& flow = play.getFlow();
    const bool canShow = game && game->getLayout() &&
                         game->getLayout()->getTileCount() >= TROPHY_MIN_TILES &&
                         flow.getPauseState() == PlayScreen::RUNNING &&
                         !scene.isDialogOpen("DIALOG_HINT") && !flow.isLevelOver();
    Trophy* trophy = player ? player->getTrophies().getTrophy(index) : nullptr;
    if (!canShow || !trophy) {
        return;
    }
    if (trophyPopup) {
        trophyQueue.push_back(index);
        return;
    }
    Dialog* notice = GameDialogs::get().trophyNotice(
        scene, trophy, callback<&TrophyNotices::onTrophyInfoClosed>(this));
    if (!notice) {
        return;
    }
    trophyPopup = notice;
    scene.openDialog(notice);
}

int32_t TrophyNotices::onTrophyInfoClosed(BaseObject*) {
    trophyPopup = nullptr;
    // The earned trophy is what marks its notice as shown: written now, a game killed before
    // the next save of the players does not show the notice again.
    PlayerFileReport::savePlayer(QuovelMahjongPlayer::current());
    Scene& scene = play.getScene();
    if (Dialog* notice = scene.findDialog("DIALOG_TROPHY_INFO")) {
        scene.closeDialog(notice);
        scene.dropDialog("DIALOG_TROPHY_INFO");
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

void TrophyNotices::clear() {
    trophyQueue.clear();
    trophyPopup = nullptr;
}
