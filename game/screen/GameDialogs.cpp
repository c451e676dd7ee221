#include "game/screen/GameDialogs.h"

namespace {

// No dialogs: each is missing, nothing is open, nothing closes.
class NoGameDialogs final : public GameDialogs {
public:
    Dialog* levelInfo(Scene&, const Level*, const iGuiMethod::Bound&) override { return nullptr; }
    Dialog* hostHint(Scene&, int32_t, const iGuiMethod::Bound&) override { return nullptr; }
    Dialog* trophyNotice(Scene&, Trophy*, const iGuiMethod::Bound&) override { return nullptr; }
    Question ask(const std::string&, const std::string&, const iGuiMethod::Bound&,
                 const iGuiMethod::Bound&, Scene*) override {
        return {};
    }
    void keepBestBeforeLevelEnd() override {}
    bool showHint(const Rect*, int32_t, GameNode*) override { return false; }
    bool isHintOpen() const override { return false; }
    void forgetHint() override {}
    bool close(BaseObject*) override { return false; }
    bool closeThen(BaseObject*, const iGuiMethod::Bound&) override { return false; }
    void setFadeInOnShow(Dialog*, bool) override {}
};

GameDialogs* installedDialogs = nullptr;

}  // namespace

GameDialogs::~GameDialogs() {
    if (installedDialogs == this) {
        installedDialogs = nullptr;
    }
}

GameDialogs& GameDialogs::get() {
    static NoGameDialogs none;
    return installedDialogs ? *installedDialogs : none;
}

void GameDialogs::install(GameDialogs* dialogs) {
    installedDialogs = dialogs;
}
