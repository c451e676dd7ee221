#include "game/dialogs/GameScreenDialogs.h"

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

// The game's dialogs behind the game screen's interface.
class GameScreenDialogs final : public GameDialogs {
public:
    Dialog* levelInfo(Scene& scene, const Level* level,
                      const iGuiMethod::Bound& afterClose) override {
        auto* dialog = objectCast<DialogLevelInfo>(scene.getDialog("DIALOG_LEVEL_INFO"));
        if (dialog) {
            dialog->setTexts(level);
            dialog->setCallback(afterClose);
        }
        return dialog;
    }

    Dialog* hostHint(Scene& scene, int32_t hint, const iGuiMethod::Bound& afterClose) override {
        auto* dialog = objectCast<DialogDorrickHint>(scene.getDialog("DIALOG_DORRICK_HINT"));
        if (dialog) {
            dialog->showHint(hint);
            dialog->setCallback(afterClose);
        }
        return dialog;
    }

    Dialog* trophyNotice(Scene& scene, Trophy* trophy,
                         const iGuiMethod::Bound& afterClose) override {
        auto* dialog = objectCast<DialogTrophyInfo>(scene.getDialog("DIALOG_TROPHY_INFO"));
        if (dialog) {
            dialog->setTrophy(trophy);
            dialog->setCallback(afterClose);
        }
        return dialog;
    }

    Question ask(const std::string& messageKey, const std::string& headerKey,
                 const iGuiMethod::Bound& yes, const iGuiMethod::Bound& no, Scene* scene) override {
        DialogYesNo* dialog = DialogYesNo::ask(messageKey, headerKey, yes, no, scene);
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

    bool closeThen(BaseObject* dialog, const iGuiMethod::Bound& afterClose) override {
        auto* gameDialog = objectCast<DialogQuovelMahjong>(dialog);
        if (gameDialog) {
            gameDialog->setCallback(afterClose);
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

void installGameScreenDialogs() {
    GameDialogs::install(&gameScreenDialogs);
}
