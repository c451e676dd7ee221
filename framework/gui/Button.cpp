#include "framework/gui/Button.h"

#include <algorithm>

#include "framework/core/FileSourceMode.h"
#include "framework/core/NumberText.h"
#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PropertyNode.h"
#include "framework/gui/WidgetSupport.h"
#include "framework/os/UrlOpener.h"
#include "framework/platform/ImageResource.h"
#include "framework/platform/InputHandler.h"

QUOVEL_DEFINE_TYPE(Button, &Sprite::typeRecord, &iInputListener::typeRecord,
                   &iGuiMethod::typeRecord)
QUOVEL_REGISTER_CLASS(Button)
QUOVEL_DEFINE_TYPE(URLButton, &Button::typeRecord)
QUOVEL_REGISTER_CLASS(URLButton)

namespace {

constexpr int32_t FRAME_COUNT = 4;

std::vector<int32_t> parseKeyList(const std::wstring& text) {
    std::vector<int32_t> keys;
    std::wstring piece;
    for (size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == L',') {
            if (!piece.empty()) {
                keys.push_back(parseInt(piece));
            }
            piece.clear();
        } else if (text[i] != L' ') {
            piece += text[i];
        }
    }
    return keys;
}

}  // namespace

Button::Button(PropertyNode* definition) : Sprite(definition) {
    if (definition) {
        readDefinition(nodeOrDummy(definition));
    }
    setFrameCount(FRAME_COUNT, false);
    setFrameWrapStyle(WRAP_SWITCH);
    setFrame(state);
}

Button::~Button() {
    setHovered(false);
}

void Button::readDefinition(PropertyNode* node) {
    if (AbstractProperty* value = node->getChild("enabled")) {
        enabled = value->getBool();
    }
    hitTest.read(node);
    const std::pair<const char*, std::string*> sounds[] = {{"clicksound", &clickSound},
                                                           {"disabledsound", &disabledSound},
                                                           {"oversound", &overSound},
                                                           {"soundsection", &soundSection}};
    for (const auto& [key, field] : sounds) {
        if (AbstractProperty* value = node->getChild(key)) {
            *field = value->getValue();
        }
    }
    if (AbstractProperty* value = node->getChild("firekey")) {
        for (int32_t key : parseKeyList(value->getText())) {
            fireKeys.push_back(key);
        }
    }
}

void* Button::castTo(const TypeRecord* type) {
    if (type == &iInputListener::typeRecord) {
        return static_cast<iInputListener*>(this);
    }
    if (type == &iGuiMethod::typeRecord) {
        return static_cast<iGuiMethod*>(this);
    }
    return Sprite::castTo(type);
}

void Button::setState(int32_t value) {
    if (value != state) {
        state = value;
        setFrame(state);
    }
}

void Button::setEnabled(bool value) {
    setWidgetEnabled(*this, enabled, hovered, state, value);
}

void Button::setFrame(int32_t frame) {
    showWidgetFrame(*this, enabled ? frame : FRAME_DISABLED);
}

void Button::setImage(Image* newImage) {
    // Cutting the strip shows frame 0; the state's frame follows.
    if (setWidgetStrip(*this, newImage, FRAME_COUNT)) {
        setFrame(state);
    }
}

bool Button::containsPoint(int32_t px, int32_t py) {
    return hitTest.contains(*this, px, py);
}

void Button::setHovered(bool value) {
    setWidgetHovered(hovered, value);
}

void Button::playSound(const std::string& key) const {
    playWidgetSound(key, soundSection);
}

bool Button::isFireKey(int32_t key) const {
    return std::find(fireKeys.begin(), fireKeys.end(), key) != fireKeys.end();
}

void Button::fire() {
    // The callback may close the dialog that holds the button: keep it alive until the end.
    RefHolder<Button> self(this);
    keyTaken = 0;
    if (hasCallback()) {
        invoke(this);
    }
    setState(STATE_NORMAL);
}

void Button::update(int32_t elapsedMs) {
    Sprite::update(elapsedMs);
    // The input handler replays a frame's keys before the nodes run: a taken key that is up
    // now was let go without a release for this button.
    if (keyTaken != 0 && !InputHandler::isKeyDown(static_cast<uint32_t>(keyTaken))) {
        keyTaken = 0;
        setState(hovered ? STATE_OVER : STATE_NORMAL);
    }
}

bool Button::onKeyDown(int32_t key) {
    if (!enabled || !isFireKey(key)) {
        return false;
    }
    keyTaken = key;
    setState(STATE_PRESSED);
    return true;
}

bool Button::onKeyUp(int32_t key) {
    if (!enabled || !isFireKey(key) || key != keyTaken) {
        return false;
    }
    fire();
    return true;
}

bool Button::onMouseMove(int32_t x, int32_t y, int32_t buttons) {
    const bool inside = containsPoint(x, y);
    const bool wasHovered = hovered;
    setHovered(inside && enabled);
    if (buttons & 1) {
        if (inside && state == STATE_OVER) {
            setState(STATE_PRESSED);
        } else if (!inside && state == STATE_PRESSED) {
            setState(STATE_OVER);
        }
    } else if (inside) {
        if (enabled && !wasHovered) {
            playSound(overSound);
        }
        setState(STATE_OVER);
    } else {
        setState(STATE_NORMAL);
    }
    return false;
}

bool Button::onLeftButtonDown(int32_t x, int32_t y, int32_t, bool) {
    if (!containsPoint(x, y)) {
        return false;
    }
    playSound(enabled ? clickSound : disabledSound);
    setState(STATE_PRESSED);
    // A disabled button lets the press go on to what lies behind it.
    return enabled;
}

bool Button::onLeftButtonUp(int32_t x, int32_t y, int32_t) {
    if (!containsPoint(x, y)) {
        setState(STATE_NORMAL);
        return false;
    }
    if (enabled && state == STATE_PRESSED) {
        fire();
        return true;
    }
    setState(STATE_OVER);
    return false;
}

void Button::cancelInput() {
    keyTaken = 0;
    setState(STATE_NORMAL);
    setHovered(false);
}

URLButton::URLButton(PropertyNode* definition) : Button(definition) {
    PropertyNode* node = nodeOrDummy(definition);
    if (AbstractProperty* value = node->getChild("url")) {
        url = value->getValue();
    }
    if (AbstractProperty* file = node->getChild("file")) {
        RefHolder<ImageResource> picture =
            new ImageResource(file->getValue(), std::string(), FileSource::PROCESS_WIDE);
        picture->load();
        if (!picture->getHasError()) {
            setImage(static_cast<Image*>(picture->getData()));
        }
    }
}

int32_t URLButton::invoke(BaseObject* sender) {
    if (!url.empty()) {
        UrlOpener::current().open(url);
    }
    return Button::invoke(sender);
}
