#include "game/dialogs/DialogTrophyInfo.h"

#include <algorithm>
#include <string>

#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/ScreenSize.h"
#include "framework/nodes/ModifierDelay.h"
#include "framework/nodes/ModifierFunction.h"
#include "framework/nodes/ModifierLocation.h"
#include "framework/nodes/ModifierSound.h"
#include "framework/nodes/ResourceLookup.h"
#include "framework/platform/Image.h"
#include "game/dialogs/DialogTrophyText.h"
#include "game/profile/TrophyList.h"
#include "game/rules/TuningConstants.h"

QUOVEL_DEFINE_TYPE(DialogTrophyInfo, &DialogQuovelMahjong::typeRecord)
QUOVEL_REGISTER_CLASS(DialogTrophyInfo)

namespace {

constexpr int32_t SLIDE_TIME = 500;

Modifier* slide(int32_t fromX, int32_t toX, int32_t y) {
    return blocking(new ModifierLocationLine(fromX, y, toX, y, SLIDE_TIME, true));
}

}  // namespace

DialogTrophyInfo::DialogTrophyInfo(PropertyNode* definition) : DialogQuovelMahjong(definition) {
    headerLabel = objectCast<Label>(findChild("LABEL_HEADER"));
    textLabel = objectCast<Label>(findChild("LABEL_TEXT"));
    trophySprite = objectCast<Sprite>(findChild("SPRITE_TROPHY"));
    baseWidth = getRequestedWidth();
    setSoundsEnabled(false);
    setPausesGame(false);
    setFadeInOnShow(false);
    getComponentsContainer().setModal(false);
    if (isBuffered()) {
        setBuffered(false);
    }
}

DialogTrophyInfo::~DialogTrophyInfo() = default;

void DialogTrophyInfo::show() {
    // A notice kept from an earlier showing may still carry the rest of that slide.
    GameNode::removeAllModifiers(this);
    DialogQuovelMahjong::show();
    GameNode::addModifier(this, new ModifierSound("SOUND_TROPHY_AWARDED", "game", true));
    // Without a trophy there are no texts to look up: the notice shows empty labels.
    if (headerLabel && textLabel) {
        headerLabel->setText(trophy ? trophy->getInfo(1).headerText() : std::wstring());
        textLabel->setText(trophy ? trophy->getInfo(1).bodyText(false) : std::wstring());
        headerLabel->renderText();
        textLabel->renderText();
        widenToTwoLines(textLabel);
    }
    if (trophySprite && trophy) {
        trophySprite->setImage(findLoaded<Image>(trophy->getInfo(0).image, "trophy").get());
    }
    const int32_t w =
        headerLabel && textLabel ? std::max(headerLabel->getWidth(), textLabel->getWidth()) : 0;
    if (textLabel) {
        textLabel->setWidth(w);
    }
    setWidth(baseWidth + (trophySprite ? trophySprite->getWidth() : 0) + w);
    const int32_t width = getWidth();
    const int32_t y = getY();
    setPosition(-width, y);
    const int32_t centreX = (SCREEN_WIDTH - width) / 2;
    GameNode::addModifier(this, slide(-width, centreX, y));
    GameNode::addModifier(this, new ModifierDelay(tuning().TROPHY_INFO_SHOW_TIME));
    slideOut(centreX);
}

void DialogTrophyInfo::slideOut(int32_t fromX) {
    GameNode::addModifier(this, slide(fromX, SCREEN_WIDTH, getY()));
    GameNode::addModifier(this, new ModifierFunction(callback<&DialogTrophyInfo::onGone>(this)));
}

bool DialogTrophyInfo::onLeftButtonDown(int32_t x, int32_t y, int32_t, bool) {
    if (containsPoint(x, y)) {
        GameNode::removeAllModifiers(this);
        slideOut(getX());
    }
    return false;
}

int32_t DialogTrophyInfo::onGone(BaseObject*) {
    RefHolder<DialogTrophyInfo> keep(this);
    removeFromScene(nullptr);
    invoke(this);
    return 0;
}
