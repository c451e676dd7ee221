#include "game/dialogs/DialogLevelInfo.h"

#include <string>

#include "framework/core/BasicProperties.h"
#include "framework/core/ObjectFactoryContainer.h"
#include "framework/nodes/ModifierDelay.h"
#include "framework/nodes/ModifierFunction.h"
#include "game/rules/GameSound.h"
#include "game/rules/Level.h"
#include "game/rules/TuningConstants.h"

QUOVEL_DEFINE_TYPE(DialogLevelInfo, &DialogQuovelMahjong::typeRecord)
QUOVEL_REGISTER_CLASS(DialogLevelInfo)

namespace {

constexpr int32_t NO_ROOM_LINE = 20;

std::wstring decimal(int32_t value) {
    const std::string text = std::to_string(value);
    return std::wstring(text.begin(), text.end());
}

}  // namespace

DialogLevelInfo::DialogLevelInfo(PropertyNode* definition) : DialogQuovelMahjong(definition) {
    // Always one buffered picture.
    if (!isBuffered()) {
        setBuffered(true);
    }
    gameTypeLabel = objectCast<Label>(findChild("LABEL_GAMETYPE"));
    roomLabel = objectCast<Label>(findChild("LABEL_ROOM"));
    setSoundsEnabled(false);
}

DialogLevelInfo::~DialogLevelInfo() = default;

void DialogLevelInfo::setTexts(const Level* level) {
    if (!level) {
        return;
    }
    if (gameTypeLabel) {
        gameTypeLabel->setText(
            getBasicText("TEXT_GAMETYPE" + std::to_string(level->getGameType() + 1)));
    }
    if (!roomLabel) {
        return;
    }
    switch (level->getGameMode()) {
        case RoomKind::FLOORS:
            // Floor and room run together: floor 12, room 3 reads 123.
            roomLabel->setText(getBasicText("TEXT_ROOM") + L" " + decimal(level->getFloor()) +
                               decimal(level->getRoom()));
            break;
        case RoomKind::CASINO:
        case RoomKind::ROOF:
            roomLabel->setText(getBasicText("TEXT_LEVEL") + L" " + decimal(level->getIndex() + 1));
            break;
        default:
            roomLabel->setVisible(false);
            setHeight(getHeight() - NO_ROOM_LINE);
            break;
    }
}

void DialogLevelInfo::show() {
    DialogQuovelMahjong::show();
    playSectionSound("SOUND_DORRICK_HINT", "default");
    // Behind the base's blocking fade-in, so the time counts from its end.
    Modifier* wait = new ModifierDelay(tuning().LEVEL_INFO_DELAY);
    wait->setFlags(wait->getFlags() | Modifier::FLAG_BLOCKING);
    GameNode::addModifier(this, wait);
    GameNode::addModifier(
        this, new ModifierFunction(callback<&DialogQuovelMahjong::closeAsOwnTarget>(this)));
}
