#include "framework/gui/Switch.h"

#include <algorithm>

#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PropertyNode.h"
#include "framework/gui/WidgetSupport.h"

QUOVEL_DEFINE_TYPE(Switch, &Sprite::typeRecord, &iInputListener::typeRecord,
                   &iGuiMethod::typeRecord)
QUOVEL_REGISTER_CLASS(Switch)

namespace {

constexpr int32_t FRAME_COUNT = 8;

std::vector<Switch*>& switchList() {
    static std::vector<Switch*> list;
    return list;
}

}  // namespace

Switch::Switch(PropertyNode* definition) : Sprite(definition) {
    PropertyNode* node = nodeOrDummy(definition);
    if (definition) {
        readDefinition(node);
    }
    setFrameCount(FRAME_COUNT, false);
    setFrameWrapStyle(WRAP_SWITCH);
    setFrame(state);
    if (AbstractProperty* value = node->getChild("enabled")) {
        setEnabled(value->getBool());
    }
    if (AbstractProperty* value = node->getChild("checked")) {
        setOn(value->getBool());
    }
    switchList().push_back(this);
}

Switch::~Switch() {
    std::erase(switchList(), this);
    setHovered(false);
}

void Switch::readDefinition(PropertyNode* node) {
    hitTest.read(node);
    if (AbstractProperty* value = node->getChild("groupid")) {
        groupId = value->getInt();
    }
    const std::pair<const char*, std::string*> texts[] = {{"onsound", &onSound},
                                                          {"offsound", &offSound},
                                                          {"disabledsound", &disabledSound},
                                                          {"soundsection", &soundSection}};
    for (const auto& [key, field] : texts) {
        if (AbstractProperty* value = node->getChild(key)) {
            *field = value->getValue();
        }
    }
}

void Switch::setFrame(int32_t frameState) {
    showWidgetFrame(*this, (enabled ? frameState : FRAME_DISABLED) + (on ? FRAMES_ON : 0));
}

void Switch::setImage(Image* newImage) {
    if (setWidgetStrip(*this, newImage, FRAME_COUNT)) {
        setFrame(state);
    }
}

bool Switch::containsPoint(int32_t px, int32_t py) {
    return (caption && caption->containsPoint(px, py)) || hitTest.contains(*this, px, py);
}

void Switch::setEnabled(bool value) {
    setWidgetEnabled(*this, enabled, hovered, state, value);
}

void Switch::setOn(bool value) {
    if (value == on) {
        return;
    }
    if (value && groupId >= 0) {
        for (Switch* other : switchList()) {
            if (other != this && other->groupId == groupId) {
                other->setOn(false);
            }
        }
    }
    on = value;
    setFrame(state);
}

void Switch::setState(int32_t value) {
    if (value != state) {
        state = value;
        setFrame(state);
    }
}

void Switch::setHovered(bool value) {
    setWidgetHovered(hovered, value);
}

bool Switch::onMouseMove(int32_t x, int32_t y, int32_t buttons) {
    const bool inside = containsPoint(x, y);
    setHovered(inside && enabled);
    if (buttons & 1) {
        if (inside && state == STATE_OVER) {
            setState(STATE_PRESSED);
        } else if (!inside && state == STATE_PRESSED) {
            setState(STATE_OVER);
        }
    } else {
        setState(inside ? STATE_OVER : STATE_NORMAL);
    }
    return false;
}

bool Switch::onLeftButtonDown(int32_t x, int32_t y, int32_t, bool) {
    if (!containsPoint(x, y)) {
        return false;
    }
    setState(STATE_PRESSED);
    return true;
}

bool Switch::onLeftButtonUp(int32_t x, int32_t y, int32_t) {
    if (!containsPoint(x, y)) {
        setState(STATE_NORMAL);
        return false;
    }
    // The callback may close the dialog that holds the switch: keep it alive until the end.
    RefHolder<Switch> self(this);
    bool consumed = false;
    if (!enabled) {
        playWidgetSound(disabledSound, soundSection);
    } else if (state == STATE_PRESSED) {
        consumed = true;
        if (groupId < 0 || !on) {
            setOn(groupId >= 0 ? true : !on);
            if (hasCallback()) {
                invoke(this);
            }
            playWidgetSound(on ? onSound : offSound, soundSection);
        }
    }
    setState(consumed ? STATE_NORMAL : STATE_OVER);
    return consumed;
}

void Switch::cancelInput() {
    setState(STATE_NORMAL);
    setHovered(false);
}
