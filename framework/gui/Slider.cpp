#include "framework/gui/Slider.h"

#include <cmath>

#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PropertyNode.h"

QUOVEL_DEFINE_TYPE(Slider, &Sprite::typeRecord, &iInputListenerContainer::typeRecord,
                   &iInputListener::typeRecord, &iGuiMethod::typeRecord)
QUOVEL_REGISTER_CLASS(Slider)

namespace {

constexpr float STEP_FRACTION = 0.1f;

int32_t half(int32_t length) {
    return static_cast<int32_t>(std::lround(length / 2.0));
}

float dot(float ax, float ay, float bx, float by) {
    return ax * bx + ay * by;
}

}  // namespace

Slider::Slider(PropertyNode* definition) : Sprite(definition) {
    auto* holder = new GameNode();
    GameNode::appendChild(holder, this);
    knobHolder = holder;
    readDefinition(nodeOrDummy(definition));
    // Without a knob the track spans the whole slider.
    const int32_t knobWidth = knob ? knob->getWidth() : 0;
    const int32_t knobHeight = knob ? knob->getHeight() : 0;
    trackStart = PointF{0.0f, 0.0f};
    trackEnd = vertical ? PointF{0.0f, static_cast<float>(getHeight() - knobHeight)}
                        : PointF{static_cast<float>(getWidth() - knobWidth), 0.0f};
    placeStepButtons();
    updateKnob();
}

Slider::~Slider() {
    for (Button* button : {incButton.get(), decButton.get()}) {
        if (button) {
            removeListener(button);
        }
    }
}

void Slider::readDefinition(PropertyNode* node) {
    bool startEnabled = true;
    if (AbstractProperty* key = node->getChild("enabled")) {
        startEnabled = key->getBool();
    }
    if (AbstractProperty* key = node->getChild("minvalue")) {
        minValue = key->getFloat();
    }
    if (AbstractProperty* key = node->getChild("maxvalue")) {
        maxValue = key->getFloat();
    }
    if (AbstractProperty* key = node->getChild("vertical")) {
        vertical = key->getBool();
    }
    knob = makeButton(node, "button", knobHolder);
    incButton = makeButton(node, "incbutton", this);
    decButton = makeButton(node, "decbutton", this);
    if (incButton) {
        incButton->setCallback(callback<&Slider::stepUpCallback>(this));
        addListener(incButton.get());
    }
    if (decButton) {
        decButton->setCallback(callback<&Slider::stepDownCallback>(this));
        addListener(decButton.get());
    }
    setEnabled(startEnabled);
}

RefHolder<Button> Slider::makeButton(PropertyNode* node, const char* key, GameNode* parent) {
    PropertyNode* definition = node->getChildNode(key);
    if (!definition) {
        return nullptr;
    }
    RefHolder<BaseObject> made = ObjectFactoryContainer::instance()->createObject(definition);
    RefHolder<Button> button = objectCast<Button>(made.get());
    if (button) {
        GameNode::appendChild(button.get(), parent);
    }
    return button;
}

void Slider::placeStepButtons() {
    if (decButton) {
        decButton->setAnchor(vertical ? ANCHOR_BOTTOM : ANCHOR_RIGHT);
        decButton->setPosition(vertical ? half(getWidth()) : 0, vertical ? 0 : half(getHeight()));
    }
    if (incButton) {
        incButton->setAnchor(vertical ? ANCHOR_TOP : ANCHOR_LEFT);
        incButton->setPosition(vertical ? half(getWidth()) : getWidth(),
                               vertical ? getHeight() : half(getHeight()));
    }
}

void* Slider::castTo(const TypeRecord* type) {
    if (type == &iInputListener::typeRecord) {
        return static_cast<iInputListener*>(static_cast<iInputListenerContainer*>(this));
    }
    if (type == &iGuiMethod::typeRecord) {
        return static_cast<iGuiMethod*>(this);
    }
    return Sprite::castTo(type);
}

bool Slider::containsPoint(int32_t px, int32_t py) {
    const int32_t left = getAbsoluteX();
    const int32_t top = getAbsoluteY();
    return px >= left && px < left + getWidth() && py >= top && py < top + getHeight();
}

void Slider::updateKnob() {
    const float range = maxValue - minValue;
    const float t = range == 0.0f ? 0.0f : std::fabs((value - minValue) / range);
    knobHolder->setPosition(
        static_cast<int32_t>(std::trunc(trackStart.x + (trackEnd.x - trackStart.x) * t)),
        static_cast<int32_t>(std::trunc(trackStart.y + (trackEnd.y - trackStart.y) * t)));
}

void Slider::setEnabled(bool newValue) {
    if (newValue == enabled) {
        return;
    }
    enabled = newValue;
    for (Button* button : {knob.get(), incButton.get(), decButton.get()}) {
        if (button) {
            button->setEnabled(enabled);
        }
    }
}

void Slider::stepUp() {
    value += (maxValue - minValue) * STEP_FRACTION;
    if (value >= maxValue) {
        value = maxValue;
    }
    updateKnob();
    fireChange();
}

void Slider::stepDown() {
    value -= (maxValue - minValue) * STEP_FRACTION;
    if (value <= minValue) {
        value = minValue;
    }
    updateKnob();
    fireChange();
}

int32_t Slider::stepUpCallback(BaseObject*) {
    stepUp();
    return 0;
}

int32_t Slider::stepDownCallback(BaseObject*) {
    stepDown();
    return 0;
}

void Slider::fireChange() {
    if (hasCallback()) {
        invoke(this);
    }
}

void Slider::moveKnobTo(int32_t x, int32_t y) {
    const float px = static_cast<float>(x - grabOffsetX);
    const float py = static_cast<float>(y - grabOffsetY);
    const PointF& a = trackStart;
    const PointF& b = trackEnd;
    PointF q = a;
    const float d1 = dot(px - a.x, py - a.y, b.x - a.x, b.y - a.y);
    if (d1 >= 0.0f) {
        const float d2 = dot(px - b.x, py - b.y, a.x - b.x, a.y - b.y);
        if (d2 < 0.0f) {
            q = b;
        } else if (d1 + d2 > 0.0f) {
            // d1 + d2 is the squared track length: zero for a track of no length.
            const float t = d1 / (d1 + d2);
            q = PointF{a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t};
        }
    }
    knobHolder->setPosition(static_cast<int32_t>(std::lround(q.x)),
                            static_cast<int32_t>(std::lround(q.y)));
    const float length = std::hypot(b.x - a.x, b.y - a.y);
    value = length > 0.0f
                ? minValue + (maxValue - minValue) * std::hypot(q.x - a.x, q.y - a.y) / length
                : minValue;
}

bool Slider::onKnob(int32_t x, int32_t y) const {
    return knob && knob->containsPoint(x, y);
}

void Slider::setKnobState(int32_t state) {
    if (knob) {
        knob->setState(state);
    }
}

bool Slider::onLeftButtonDown(int32_t x, int32_t y, int32_t buttons, bool doubleClick) {
    if (iInputListenerContainer::onLeftButtonDown(x, y, buttons, doubleClick)) {
        return true;
    }
    const bool onSlider = containsPoint(x, y);
    const bool knobHit = onKnob(x, y);
    if (!onSlider && !knobHit) {
        return false;
    }
    if (enabled) {
        grabOffsetX = getAbsoluteX();
        grabOffsetY = getAbsoluteY();
        if (knobHit) {
            // Grabbed where it was pressed, so the knob does not jump.
            grabOffsetX += x - knobHolder->getAbsoluteX();
            grabOffsetY += y - knobHolder->getAbsoluteY();
        }
        moveKnobTo(x, y);
        setKnobState(Button::STATE_PRESSED);
        fireChange();
    }
    return true;
}

bool Slider::onMouseMove(int32_t x, int32_t y, int32_t buttons) {
    if (iInputListenerContainer::onMouseMove(x, y, buttons)) {
        return true;
    }
    if (!enabled || !knob) {
        return false;
    }
    if (knob->getState() == Button::STATE_PRESSED) {
        moveKnobTo(x, y);
        fireChange();
        return true;
    }
    setKnobState(onKnob(x, y) ? Button::STATE_OVER : Button::STATE_NORMAL);
    return false;
}

bool Slider::onLeftButtonUp(int32_t x, int32_t y, int32_t buttons) {
    if (iInputListenerContainer::onLeftButtonUp(x, y, buttons)) {
        return true;
    }
    if (onKnob(x, y)) {
        setKnobState(Button::STATE_OVER);
        return true;
    }
    setKnobState(Button::STATE_NORMAL);
    return containsPoint(x, y);
}
