#include "game/screen/TypeLabel.h"

#include <algorithm>
#include <cmath>

#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PropertyNode.h"
#include "framework/gui/WidgetSupport.h"
#include "framework/platform/Graphics.h"
#include "framework/platform/Image.h"

QUOVEL_DEFINE_TYPE(TypeLabel, &Label::typeRecord, &iInputListener::typeRecord)
QUOVEL_REGISTER_CLASS(TypeLabel)

TypeLabel::TypeLabel(PropertyNode* definition) : Label(definition) {
    PropertyNode* node = nodeOrDummy(definition);
    if (AbstractProperty* value = node->getChild("delay")) {
        delay = value->getInt();
    }
    if (AbstractProperty* value = node->getChild("time")) {
        time = value->getInt();
    }
    if (AbstractProperty* value = node->getChild("start")) {
        start = value->getInt();
    }
    if (AbstractProperty* value = node->getChild("range")) {
        const std::string word = value->getValue();
        if (word == "none") {
            range = RANGE_NONE;
        } else if (word == "inside") {
            range = RANGE_INSIDE;
        } else if (word == "all") {
            range = RANGE_ALL;
        }
    }
}

TypeLabel::~TypeLabel() {
    setWidgetHovered(hovered, false);
}

void* TypeLabel::castTo(const TypeRecord* type) {
    if (type == &iInputListener::typeRecord) {
        return static_cast<iInputListener*>(this);
    }
    return Label::castTo(type);
}

void TypeLabel::startTyping() {
    renderText();
    fullImage = getImage();
    if (fullImage) {
        RefHolder<Image> hidden(Image::copyImage(fullImage.get()));
        RefHolder<Graphics> graphics(hidden ? hidden->createGraphics() : nullptr);
        if (graphics) {
            graphics->fillChannel(Channel::ALPHA, 0);
        }
        setImage(hidden.get());
        finished = false;
    } else {
        finished = true;
    }
    elapsed = -start;
}

bool TypeLabel::finishTyping() {
    if (finished) {
        return false;
    }
    if (fullImage) {
        setImage(fullImage.get());
    }
    fullImage = nullptr;
    finished = true;
    setWidgetHovered(hovered, false);
    return true;
}

void TypeLabel::uncover(int32_t x, int32_t y, int32_t width, int32_t height) {
    RefHolder<Graphics> graphics(getImage() ? getImage()->createGraphics() : nullptr);
    if (graphics && width > 0 && height > 0) {
        graphics->blitChannel(fullImage.get(), Channel::ALPHA, x, y, x, y, width, height);
        setDirty(true);
    }
}

void TypeLabel::update(int32_t elapsedMs) {
    Label::update(elapsedMs);
    const std::vector<LabelLine>& lines = getLines();
    if (finished || !fullImage || lines.empty() || !getImage()) {
        return;
    }
    const auto count = static_cast<int32_t>(lines.size());
    const auto holds = [&lines](int32_t line) {
        return !lines[static_cast<size_t>(line)].text.empty();
    };
    elapsed += elapsedMs;
    const double h = static_cast<double>(getImage()->getHeight()) / count;
    const int32_t width = fullImage->getWidth();
    const int32_t top = getTextBounds().y;
    int32_t complete = 0;
    int32_t started = 0;
    if (elapsed >= time) {
        do {
            if (holds(complete)) {
                ++started;
            }
            ++complete;
        } while (complete < count && elapsed - delay * started >= time);
    }
    uncover(0, 0, width, static_cast<int32_t>(complete * h) + top);
    if (complete == count) {
        finished = true;
        setWidgetHovered(hovered, false);
        return;
    }
    for (int32_t line = complete; line < count; ++line) {
        const int32_t t = elapsed - delay * started;
        if (t <= 0) {
            break;
        }
        uncover(0, static_cast<int32_t>(line * h) + top, typedWidth(t, width),
                static_cast<int32_t>(std::ceil(h)));
        if (holds(line)) {
            ++started;
        }
    }
}

int32_t TypeLabel::typedWidth(int32_t t, int32_t width) const {
    // A typing time of 0 or less (data) shows a line whole as it starts; the product is taken
    // in 64 bits, as a long typing time times the width passes the 32-bit range.
    if (time <= 0) {
        return width;
    }
    return static_cast<int32_t>(std::min<int64_t>(int64_t{t} * width / time, width));
}

bool TypeLabel::containsPoint(int32_t px, int32_t py) {
    switch (range) {
        case RANGE_NONE:
            return false;
        case RANGE_ALL:
            return true;
        default:
            return Label::containsPoint(px, py);
    }
}

void TypeLabel::trackHover(int32_t x, int32_t y) {
    setWidgetHovered(hovered, !finished && containsPoint(x, y));
}

bool TypeLabel::onMouseMove(int32_t x, int32_t y, int32_t) {
    trackHover(x, y);
    return false;
}

bool TypeLabel::onLeftButtonDown(int32_t x, int32_t y, int32_t, bool) {
    trackHover(x, y);
    return hovered && finishTyping();
}

void TypeLabel::cancelInput() {
    finishTyping();
}
