#include "game/dialogs/DialogCredits.h"

#include "framework/core/DefinitionKeys.h"
#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PropertyNode.h"
#include "framework/gui/Label.h"
#include "framework/nodes/ModifierDelay.h"
#include "framework/nodes/ModifierFunction.h"
#include "framework/nodes/ModifierLocation.h"

QUOVEL_DEFINE_TYPE(DialogCredits, &DialogQuovelMahjong::typeRecord)
QUOVEL_REGISTER_CLASS(DialogCredits)

namespace {

// The text starts just below the band and ends with its last line this far above its bottom.
constexpr int32_t START_BELOW_BAND = 10;
constexpr int32_t END_ABOVE_BAND_BOTTOM = 40;

}  // namespace

DialogCredits::DialogCredits(PropertyNode* definition) : DialogQuovelMahjong(definition) {
    message = objectCast<Label>(findChild("MESSAGE"));
    connect<&DialogQuovelMahjong::closeAsOwnTarget>("BUTTON_OK", this, &getComponentsContainer());
    clipHeight = intKeyOr(definition, "clipheight", 0);
    scrollDuration = intKeyOr(definition, "scrollduration", 0);
    startDelay = intKeyOr(definition, "startdelay", 0);
    endDelay = intKeyOr(definition, "enddelay", 0);
    if (!message) {
        // Nothing to scroll: the dialog closes once the delays have passed.
        GameNode::addModifier(this, new ModifierDelay(startDelay + scrollDuration + endDelay));
        GameNode::addModifier(
            this, new ModifierFunction(callback<&DialogQuovelMahjong::closeAsOwnTarget>(this)));
        return;
    }
    message->renderText();
    messageX = message->getX();
    messageY = message->getY();
    message->setClipRect(Rect{0, messageY, getWidth(), clipHeight});
    startScroll();
}

DialogCredits::~DialogCredits() = default;

void DialogCredits::show() {
    DialogQuovelMahjong::show();
    // A dialog kept from an earlier showing would go on from where its scroll was cut off.
    if (message) {
        GameNode::removeAllModifiers(message);
        startScroll();
    }
}

void DialogCredits::startScroll() {
    const int32_t yStart = messageY + clipHeight + START_BELOW_BAND;
    const int32_t yEnd = messageY + clipHeight - message->getHeight() - END_ABOVE_BAND_BOTTOM;
    message->setPosition(messageX, yStart);
    GameNode::addModifier(message, new ModifierDelay(startDelay));
    Modifier* scroll =
        new ModifierLocationLine(messageX, yStart, messageX, yEnd, scrollDuration, false);
    scroll->setFlags(scroll->getFlags() | Modifier::FLAG_BLOCKING);
    GameNode::addModifier(message, scroll);
    GameNode::addModifier(message, new ModifierDelay(endDelay));
    GameNode::addModifier(
        message, new ModifierFunction(callback<&DialogQuovelMahjong::closeAsOwnTarget>(this)));
}
