#include "game/screen/TimeBar.h"

#include <algorithm>
#include <cmath>

#include "framework/core/NumberClamp.h"
#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PropertyNode.h"
#include "framework/core/PropertyValue.h"
#include "framework/core/Random.h"
#include "framework/nodes/ModifierAppearance.h"
#include "framework/nodes/ModifierFrame.h"
#include "framework/nodes/ResourceLookup.h"
#include "framework/platform/Graphics.h"
#include "framework/platform/Image.h"
#include "framework/platform/SoundNode.h"
#include "framework/scene/Scene.h"
#include "game/rules/Game.h"
#include "game/rules/TuningConstants.h"
#include "game/screen/PlayScreen.h"

QUOVEL_DEFINE_TYPE(TimeBar, &Sprite::typeRecord)
QUOVEL_REGISTER_CLASS(TimeBar)

namespace {

constexpr float TOP_MAX_SPEED = 1000.0f;
constexpr float TOP_ACCELERATION = 2000.0f;
constexpr float TOP_BRAKING = 2000.0f;
constexpr int32_t HAND_FRAME_TIME = 10;
// A cap never covers the whole filling picture: it stops this far above its bottom.
constexpr int32_t TOP_CAP_MARGIN = 5;

}  // namespace

TimeBar::TimeBar(PropertyNode* saved) : TimeBar(saved, PlayScreen::fromHost()) {}

TimeBar::TimeBar(PropertyNode* saved, PlayScreen* scene) : Sprite(saved), scene(scene) {
    findParts();
    if (filling && fillImage) {
        picture = Image::copyImage(fillImage.get());
        filling->setImage(picture.get());
        filling->setClipRect(
            Rect{filling->getX(), filling->getY(), filling->getWidth(), filling->getHeight()});
    }
    if (AbstractProperty::isReal(saved)) {
        // The maximum first, so that a saved time above the default range survives.
        const int32_t maximum = std::max(saved->getChildValue("maxTime")->getInt(), 0);
        time = DisplayValue(maximum, 0, maximum);
        time.setClamped(true);
        time.set(std::clamp(saved->getChildValue("currentTime")->getInt(), 0, maximum));
    }
    stopWarningAnimation();
    shownTop = fillTop();
    draw();
}

TimeBar::~TimeBar() = default;

void TimeBar::findParts() {
    if (scene) {
        const auto part = [this](const char* name) {
            return RefHolder<Sprite>(objectCast<Sprite>(scene->getScene().findChild(name)));
        };
        clock = part("TIMEBAR_CLOCK");
        background = part("TIMEBAR_BACKGROUND");
        filling = part("TIMEBAR_FILLING");
        rotate = part("TIMEBAR_ROTATE");
        glow = part("TIMEBAR_GLOW");
    }
    topMask = gameImage("IMAGE_TIMEBARTOPMASK");
    fillImage = gameImage("IMAGE_TIMEBARFILL");
    topImage = gameImage("IMAGE_TIMEBARTOP");
}

void TimeBar::save(PropertyNode* node) const {
    if (!node) {
        return;
    }
    node->addChild(new PropertyValue("currentTime", time.getValue()));
    node->addChild(new PropertyValue("maxTime", time.getMaximum()));
}

void TimeBar::reset() {
    int32_t value = time.getMaximum();
    if (time.isClamped() && time.getMaximum() <= time.getMinimum()) {
        value = time.getMinimum();
    }
    time.set(value);
    topSpeed = 0.0f;
    shownTop = fillTop();
    draw();
}

float TimeBar::fillTop() const {
    if (!filling) {
        return 0.0f;
    }
    const float height = static_cast<float>(filling->getHeight());
    const float top = static_cast<float>(filling->getY());
    if (time.getMaximum() <= 0) {
        return top + height;  // no time at all: empty
    }
    const float fraction = static_cast<float>(time.getShown()) / time.getMaximum();
    return (1.0f - std::clamp(fraction, 0.0f, 1.0f)) * height + top;
}

bool TimeBar::clockRuns() const {
    return scene && scene->getFlow().getPauseState() == PlayScreen::RUNNING &&
           Game::current() != nullptr && !scene->getFlow().isLevelOver();
}

void TimeBar::update(int32_t elapsedMs) {
    Sprite::update(elapsedMs);
    const bool runs = clockRuns();
    if (runs && time.getValue() > 0 && elapsedMs > 0) {
        time.add(-elapsedMs);
        time.arrive(-elapsedMs);
    }
    const bool over = scene && scene->getFlow().isLevelOver();
    const TuningConstants& c = tuning();
    updateWarningSound(runs && !over && time.getValue() <= c.TIME_ALMOST_UP_SOUND);
    updateWarningAnimation(runs && !over && time.getValue() >= 1 &&
                           time.getValue() < c.TIME_ALMOST_UP_ANIM);
    approachTarget(topSpeed, shownTop, elapsedMs, fillTop(), TOP_MAX_SPEED, TOP_ACCELERATION,
                   TOP_BRAKING, true);
    draw();
}

void TimeBar::updateWarningSound(bool warn) {
    SoundNode* sound = scene ? scene->getTimeSound() : nullptr;
    if (!sound) {
        return;
    }
    if (!warn) {
        if (sound->isPlaying()) {
            sound->stop(true);
        }
    } else if (!sound->isPlaying() || sound->getChannel() < 0) {
        sound->play(false, sound->getVolume(), sound->getPan(), true);
    }
}

void TimeBar::updateWarningAnimation(bool warn) {
    if (!warn) {
        stopWarningAnimation();
        return;
    }
    if (rotate && rotate->getRunningModifiers().empty()) {
        GameNode::addModifier(rotate.get(), new ModifierFrame(-1, HAND_FRAME_TIME));
        if (glow) {
            GameNode::removeAllModifiers(glow.get());
            GameNode::addModifier(glow.get(), new ModifierBlink(64, 255, 500, 500, 100, 0, 0));
        }
    }
}

void TimeBar::stopWarningAnimation() {
    if (rotate) {
        GameNode::removeAllModifiers(rotate.get());
        rotate->setFrame(0);
    }
    if (glow) {
        GameNode::removeAllModifiers(glow.get());
        glow->setAlpha(0);
    }
}

void TimeBar::draw() {
    if (!filling) {
        return;
    }
    const int32_t bottom = filling->getY() + filling->getHeight();
    const int32_t top = std::clamp(truncToInt32(shownTop), filling->getY(), bottom);
    filling->setClipRect(Rect{filling->getX(), top, filling->getWidth(), bottom - top});
    const int32_t edge = top - filling->getY();
    if (!picture || !fillImage || edge == drawnEdge) {
        return;
    }
    drawnEdge = edge;
    RefHolder<Graphics> graphics = picture->createGraphics();
    if (!graphics) {
        return;
    }
    graphics->copyRectWhole(fillImage.get(), 0, 0);
    if (topMask) {
        graphics->blitChannelWhole(topMask.get(), Channel::ALPHA, 0, edge);
    }
    if (topImage) {
        graphics->blitChannelMaxWhole(topImage.get(), Channel::ALPHA, 0, edge);
        int32_t height = topImage->getHeight();
        if (height > picture->getHeight() - TOP_CAP_MARGIN) {
            height = std::max(picture->getHeight() - TOP_CAP_MARGIN, 0);
        }
        graphics->blit(topImage.get(), 0, edge, 0, 0, topImage->getWidth(), height);
    }
    filling->setDirty(true);
}

void TimeBar::setVisible(bool value) {
    if (value != isVisible()) {
        setDirty(true);
    }
    Sprite::setVisible(value);
    for (Sprite* part : {background.get(), filling.get(), clock.get(), rotate.get(), glow.get()}) {
        if (part) {
            part->setVisible(value);
        }
    }
}
