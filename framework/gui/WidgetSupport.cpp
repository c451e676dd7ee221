#include "framework/gui/WidgetSupport.h"

#include <cmath>

#include "framework/core/PropertyNode.h"
#include "framework/nodes/ResourceLookup.h"
#include "framework/nodes/Sprite.h"
#include "framework/platform/Image.h"
#include "framework/platform/InputHandler.h"
#include "framework/platform/Sound.h"

namespace {

constexpr int32_t HIT_MASK_THRESHOLD = 128;
constexpr int32_t CENTRE_PAN = 128;
constexpr int32_t FULL_VOLUME = 255;

}  // namespace

bool widgetContainsPoint(Sprite& sprite, Image* hitMask, int32_t threshold, int32_t px,
                         int32_t py) {
    const double absoluteX = static_cast<double>(sprite.getX()) + sprite.getParentsX();
    const double absoluteY = static_cast<double>(sprite.getY()) + sprite.getParentsY();
    const int32_t lx = px - static_cast<int32_t>(std::trunc(absoluteX - sprite.getAnchor().x));
    const int32_t ly = py - static_cast<int32_t>(std::trunc(absoluteY - sprite.getAnchor().y));
    if (lx < 0 || ly < 0 || lx >= sprite.getWidth() || ly >= sprite.getHeight()) {
        return false;
    }
    Image* test = hitMask;
    if (!test) {
        if (threshold < 0) {
            return true;
        }
        test = sprite.getImage();
    } else {
        threshold = HIT_MASK_THRESHOLD;
    }
    if (!test) {
        return true;
    }
    test->lock();
    const uint8_t* alpha = test->getAlphaAddress(lx, ly);
    const bool hit = alpha && *alpha > threshold;
    test->unlock();
    return hit;
}

void playWidgetSound(const std::string& key, const std::string& section) {
    if (key.empty()) {
        return;
    }
    if (RefHolder<Sound> sound = findLoaded<Sound>(key, section)) {
        sound->play(FULL_VOLUME, CENTRE_PAN, false);
    }
}

RefHolder<Image> findHitMask(PropertyNode* node) {
    AbstractProperty* key = node->getChild("hitmask");
    if (!key) {
        return nullptr;
    }
    const AbstractProperty* section = node->getChild("section");
    return findOrLoad<Image>(key->getValue(), section ? section->getValue() : std::string());
}

void WidgetHitTest::read(PropertyNode* node) {
    mask = findHitMask(node);
    if (AbstractProperty* value = node->getChild("hitmaskthreshold")) {
        threshold = value->getInt();
    }
}

bool WidgetHitTest::contains(Sprite& sprite, int32_t px, int32_t py) const {
    return widgetContainsPoint(sprite, mask.get(), threshold, px, py);
}

void showWidgetFrame(Sprite& sprite, int32_t frame) {
    if (frame == sprite.getFrame() && sprite.getSourceRect()) {
        return;
    }
    sprite.Sprite::setFrame(frame);
}

bool setWidgetStrip(Sprite& sprite, Image* image, int32_t frameCount) {
    if (image == sprite.getImage()) {
        return false;
    }
    sprite.Sprite::setImage(image);
    sprite.setFrameCount(frameCount, false);
    return true;
}

void setWidgetHovered(bool& hovered, bool value) {
    if (value == hovered) {
        return;
    }
    hovered = value;
    if (hovered) {
        InputHandler::raiseHoverCount();
    } else {
        InputHandler::lowerHoverCount();
    }
}

void setWidgetEnabled(Sprite& sprite, bool& enabled, bool& hovered, int32_t state, bool value) {
    if (value == enabled) {
        return;
    }
    enabled = value;
    sprite.setFrame(state);
    if (!enabled) {
        setWidgetHovered(hovered, false);
    }
}
