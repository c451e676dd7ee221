#include "framework/core/BaseObject.h"
#include "framework/scene/Scene.h"
#include "game/dialogs/DialogDorrickHint.h"
#include "game/dialogs/DialogHint.h"
#include "game/dialogs/DialogLevelEnd.h"
#include "game/dialogs/DialogLevelInfo.h"
#include "game/dialogs/DialogQuovelMahjong.h"
#include "game/dialogs/DialogTrophyInfo.h"
#include "game/dialogs/DialogYesNo.h"
#include "game/screen/GameDialogs.h"

namespace {

// The game's dialogs behind the game screen's interface. The one instance installs itself as
// the dialogs register, before anything can make a game screen.
class GameScreenDialogs final : public GameDialogs {
public:
    GameScreenDialogs() { GameDialogs::install(this); }

    Dialog* levelInfo(Scene& scene, const Level* level, void* target,
                      iGuiMethod::Callback callback) override {
        auto* dialog = objectCast<DialogLevelInfo>(scene.getDialog("DIALOG_LEVEL_INFO"));
        if (dialog) {
            dialog->setTexts(level);
            dialog->setCallback(target, callback);
        }
        return dialog;
    }

    Dialog* hostHint(Scene& scene, int32_t hint, void* target,
                     iGuiMethod::Callback callback) override {
        auto* dialog = objectCast<DialogDorrickHint>(scene.getDialog("DIALOG_DORRICK_HINT"));
        if (dialog) {
            dialog->showHint(hint);
            dialog->setCallback(target, callback);
        }
        return dialog;
    }

    Dialog* trophyNotice(Scene& scene, Trophy* trophy, void* target,
                         iGuiMethod::Callback callback) override {
        auto* dialog = objectCast<DialogTrophyInfo>(scene.getDialog("DIALOG_TROPHY_INFO"));
        if (dialog) {
            dialog->setTrophy(trophy);
            dialog->setCallback(target, callback);
        }
        return dialog;
    }

    Question ask(const std::string& messageKey, const std::string& headerKey, void* yesTarget,
                 iGuiMethod::Callback yesCallback, void* noTarget, iGuiMethod::Callback noCallback,
                 Scene* scene) override {
        DialogYesNo* dialog = DialogYesNo::ask(messageKey, headerKey, yesTarget, yesCallback,
                                               noTarget, noCallback, scene);
        if (!dialog) {
            return {};
        }
        return {dialog, dialog->getYesButton(), dialog->getNoButton()};
    }

    void keepBestBeforeLevelEnd() override { DialogLevelEnd::lookupBest(); }

    bool showHint(const Rect* rect, int32_t hintId, GameNode* target) override {
        return DialogHint::showHint(rect, hintId, target) != nullptr;
    }

    bool isHintOpen() const override { return DialogHint::getOpen() != nullptr; }

    void forgetHint() override { DialogHint::clearOpen(); }

    bool close(BaseObject* dialog) override {
        auto* gameDialog = objectCast<DialogQuovelMahjong>(dialog);
        if (gameDialog) {
            gameDialog->close();
        }
        return gameDialog != nullptr;
    }

    bool closeThen(BaseObject* dialog, void* target, iGuiMethod::Callback callback) override {
        auto* gameDialog = objectCast<DialogQuovelMahjong>(dialog);
        if (gameDialog) {
            gameDialog->setCallback(target, callback);
            gameDialog->close();
        }
        return gameDialog != nullptr;
    }

    void setFadeInOnShow(Dialog* dialog, bool value) override {
        if (auto* gameDialog = objectCast<DialogQuovelMahjong>(dialog)) {
            gameDialog->setFadeInOnShow(value);
        }
    }
};

GameScreenDialogs gameScreenDialogs;

}  // namespace
