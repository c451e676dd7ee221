#include "game/dialogs/DialogDorrickHint.h"

#include "framework/core/BasicProperties.h"
#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/StringUtils.h"
#include "game/profile/QuovelMahjongPlayer.h"
#include "game/rules/Game.h"
#include "game/rules/GameSound.h"
#include "game/rules/Level.h"

QUOVEL_DEFINE_TYPE(DialogDorrickHint, &DialogQuovelMahjong::typeRecord)
QUOVEL_REGISTER_CLASS(DialogDorrickHint)

namespace {

constexpr int32_t STARS_HINT = 3;

}  // namespace

DialogDorrickHint::DialogDorrickHint(PropertyNode* definition) : DialogQuovelMahjong(definition) {
    setSoundsEnabled(false);
    // The text listens behind the button (the newest listener is asked first): a click on OK
    // closes the box even while the text is typed.
    textLabel = objectCast<TypeLabel>(findChild("TEXT"));
    getComponentsContainer().addListener(textLabel.get());
    okButton = objectCast<Button>(
        connect<&DialogDorrickHint::onOk>("BUTTON_OK", this, &getComponentsContainer()));
    baseHeight = getRequestedHeight();
    okBaseY = okButton ? okButton->getY() : 0;
}

DialogDorrickHint::~DialogDorrickHint() = default;

std::wstring DialogDorrickHint::withName(const std::wstring& text, const std::wstring& name) {
    std::wstring out;
    size_t from = 0;
    for (size_t at = text.find(L"%n"); at != std::wstring::npos; at = text.find(L"%n", from)) {
        out.append(text, from, at - from);
        out += name;
        from = at + 2;
    }
    out.append(text, from, std::wstring::npos);
    return out;
}

std::wstring DialogDorrickHint::starsFor(int32_t best, int32_t silver, int32_t gold) {
    if (best >= gold) {
        return L"3";
    }
    return best >= silver ? L"2" : L"1";
}

void DialogDorrickHint::showHint(int32_t n) {
    std::wstring text = getBasicText("DORRICK_HINT_" + std::to_string(n));
    QuovelMahjongPlayer* player = QuovelMahjongPlayer::current();
    text = withName(text, player ? stringToWString(player->getName()) : std::wstring());
    const Game* game = Game::current();
    if (n == STARS_HINT && game && game->getLevel()) {
        const Level* level = game->getLevel();
        const int32_t best = player ? player->getBestScore(level->getFloor(), level->getRoom()) : 0;
        const std::wstring stars = starsFor(best, level->getSilver(), level->getGold());
        for (size_t at = text.find(L"%x"); at != std::wstring::npos; at = text.find(L"%x", at)) {
            text.replace(at, 2, stars);
        }
    }
    if (textLabel) {
        textLabel->setText(text);
        textLabel->setVisible(true);
        textLabel->startTyping();
        setHeight(baseHeight + textLabel->getHeight());
    }
    if (okButton && textLabel) {
        okButton->setY(okBaseY + textLabel->getHeight());
    }
}

void DialogDorrickHint::show() {
    DialogQuovelMahjong::show();
    playSectionSound("SOUND_DORRICK_HINT", "default");
}

int32_t DialogDorrickHint::onOk(BaseObject* sender) {
    return closeAsOwnTarget(sender);
}
