#include "game/dialogs/DialogTrophy.h"

#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/Scene.h"
#include "framework/core/SceneManager.h"
#include "framework/core/TransitionScene.h"
#include "game/app/QuovelMahjongPlayer.h"

QUOVEL_DEFINE_TYPE(DialogTrophy, &DialogQuovelMahjong::typeRecord)
QUOVEL_REGISTER_CLASS(DialogTrophy)

DialogTrophy::DialogTrophy(PropertyNode* definition) : DialogQuovelMahjong(definition) {}

DialogTrophy::~DialogTrophy() = default;

bool DialogTrophy::showIfNew(void* target, iGuiMethod::Callback callback) {
    QuovelMahjongPlayer* player = QuovelMahjongPlayer::current();
    if (!player) {
        return false;
    }
    const TrophyList& trophies = player->getTrophies();
    bool anyNew = false;
    for (int32_t i = 0; i < TrophyList::TROPHY_COUNT && !anyNew; ++i) {
        const Trophy* trophy = trophies.getTrophy(i);
        anyNew = trophy && trophy->state == Trophy::EARNED;
    }
    SceneManager* manager = SceneManager::getInstance();
    Scene* scene = manager ? manager->getCurrentScene() : nullptr;
    if (auto* transition = objectCast<TransitionScene>(scene)) {
        scene = transition->getTargetScene();
    }
    if (!anyNew || !scene) {
        return false;
    }
    auto* cabinet = objectCast<DialogTrophy>(scene->getDialog("DIALOG_TROPHY"));
    if (!cabinet) {
        return false;
    }
    cabinet->setCallback(target, callback);
    scene->openDialog(cabinet);
    return true;
}
