#include "game/dialogs/DialogInfoPop.h"

#include <cmath>

#include "framework/nodes/ModifierAppearance.h"
#include "framework/nodes/ModifierDelay.h"
#include "framework/nodes/ModifierFunction.h"
#include "game/rules/TuningConstants.h"

QUOVEL_DEFINE_TYPE(DialogInfoPop, &DialogQuovelMahjong::typeRecord)

DialogInfoPop::DialogInfoPop(PropertyNode* definition) : DialogQuovelMahjong(definition) {
    setSoundsEnabled(false);
    setPausesGame(false);
    setFadeInOnShow(false);
    getComponentsContainer().setModal(false);
    setVisible(false);
    setScale(0.0f);
    setAnchor(ANCHOR_CENTER);
    placeComponents();
}

void DialogInfoPop::placeComponents() {
    getComponents()->setPosition(-static_cast<int32_t>(std::lround(getAnchor().x)),
                                 -static_cast<int32_t>(std::lround(getAnchor().y)));
}

DialogInfoPop::~DialogInfoPop() = default;

void DialogInfoPop::addFadingLabel(Label* label) {
    if (label) {
        label->setAlpha(0);
        labels.push_back(label);
    }
}

bool DialogInfoPop::onLeftButtonDown(int32_t, int32_t, int32_t, bool) {
    return false;
}

void DialogInfoPop::fadeLabelsTo(int32_t alpha) {
    for (Label* label : labels) {
        GameNode::removeAllModifiers(label);
        GameNode::addModifier(
            label, new ModifierAlpha(tuning().INFO_DIALOGS_ANIM_TIME, label->getAlpha(), alpha));
    }
}

void DialogInfoPop::startScaling() {
    if (!isBuffered()) {
        setBuffered(true);
    }
    updateBackground();
}

void DialogInfoPop::popIn() {
    if (popState == APPEARING || popState == SHOWN_TOO || popState == SHOWN) {
        return;
    }
    GameNode::removeAllModifiers(this);
    if (popState == FADING) {
        onScaledIn();
        return;
    }
    popState = APPEARING;
    setVisible(true);
    GameNode::addModifier(
        this, blocking(new ModifierScale(getScale(), 1.0f, tuning().INFO_DIALOGS_ANIM_TIME)));
    GameNode::addModifier(this, new ModifierFunction(callback<&DialogInfoPop::onScaledInOf>(this)));
    startScaling();
}

void DialogInfoPop::onScaledIn() {
    popState = APPEARING;
    if (isBuffered()) {
        setBuffered(false);
    }
    fadeLabelsTo(OPAQUE);
    GameNode::addModifier(this, new ModifierDelay(tuning().INFO_DIALOGS_ANIM_TIME));
    GameNode::addModifier(this, new ModifierFunction(callback<&DialogInfoPop::onShownOf>(this)));
}

void DialogInfoPop::popOut() {
    if (popState == HIDDEN || popState == FADING || popState == SHRINKING) {
        return;
    }
    GameNode::removeAllModifiers(this);
    if (popState == APPEARING) {
        scaleOut();
        return;
    }
    popState = FADING;
    fadeLabelsTo(0);
    if (isBuffered()) {
        setBuffered(false);
    }
    GameNode::addModifier(this, new ModifierDelay(tuning().INFO_DIALOGS_ANIM_TIME));
    GameNode::addModifier(this, new ModifierFunction(callback<&DialogInfoPop::scaleOutOf>(this)));
}

void DialogInfoPop::scaleOut() {
    popState = SHRINKING;
    GameNode::addModifier(
        this, blocking(new ModifierScale(getScale(), 0.0f, tuning().INFO_DIALOGS_ANIM_TIME)));
    GameNode::addModifier(this, new ModifierVisible(ModifierVisible::MODE_HIDE));
    GameNode::addModifier(this, new ModifierFunction(callback<&DialogInfoPop::onHiddenOf>(this)));
    startScaling();
}

void DialogInfoPop::hideNow() {
    GameNode::removeAllModifiers(this);
    popState = HIDDEN;
    setVisible(false);
    setScale(0.0f);
    for (Label* label : labels) {
        GameNode::removeAllModifiers(label);
        label->setAlpha(0);
    }
}

int32_t DialogInfoPop::onScaledInOf(BaseObject*) {
    onScaledIn();
    return 0;
}

int32_t DialogInfoPop::onShownOf(BaseObject*) {
    popState = SHOWN;
    setAlpha(OPAQUE);
    for (Label* label : labels) {
        label->setAlpha(OPAQUE);
    }
    return 0;
}

int32_t DialogInfoPop::scaleOutOf(BaseObject*) {
    scaleOut();
    return 0;
}

int32_t DialogInfoPop::onHiddenOf(BaseObject*) {
    popState = HIDDEN;
    return 0;
}
