#include "game/app/ThresholdSprite.h"

#include <cstring>

#include "framework/platform/GameWindow.h"
#include "framework/platform/Image.h"

QUOVEL_DEFINE_TYPE(ThresholdSprite, &Sprite::typeRecord)
QUOVEL_DEFINE_TYPE(ModifierTreshold, &ModifierFraction::typeRecord)

namespace {

constexpr int32_t FULL_THRESHOLD = 255;
// A mask value that never shows, whatever the threshold.
constexpr uint8_t NEVER_SHOWN = 255;

// Holds an image locked for the pass (unpacked when the image manager had packed it).
class PassLock {
public:
    explicit PassLock(Image* image) : image(image), locked(image && image->lock()) {}
    ~PassLock() {
        if (locked) {
            image->unlock();
        }
    }
    PassLock(const PassLock&) = delete;
    PassLock& operator=(const PassLock&) = delete;
    bool ok() const { return locked; }

private:
    Image* image;
    bool locked;
};

bool hidden(uint8_t maskValue, int32_t threshold) {
    return maskValue == NEVER_SHOWN || maskValue >= threshold;
}

// The mask's alpha bytes of row y and the step from one to the next.
const uint8_t* maskRow(Image* mask, int32_t y, int32_t& step) {
    step = mask->getBytesPerPixel() == 4 ? 4 : 1;
    return mask->getAlphaAddress(0, y);
}

}  // namespace

int32_t windowPixelBytes() {
    GameWindow* window = GameWindow::getInstance();
    const int32_t depth = window ? window->getBytesPerPixel() : 0;
    return depth == 2 || depth == 4 ? depth : 4;
}

ThresholdSprite::ThresholdSprite(int32_t x, int32_t y) : Sprite(x, y) {}

ThresholdSprite::~ThresholdSprite() = default;

void ThresholdSprite::setImage(Image* picture) {
    if (picture == source.get()) {
        return;
    }
    source = picture;
    thresholdDirty = true;
    lastThreshold = INT_MIN;
    RefHolder<Image> work =
        picture ? Image::createImage(picture->getWidth(), picture->getHeight(), windowPixelBytes())
                : nullptr;
    // Follows the display like the pictures it is copied from.
    if (work) {
        work->setFollowsDisplayDepth(true);
    }
    Sprite::setImage(work.get());
    setDirty(true);
}

void ThresholdSprite::setMask(Image* image) {
    mask = image;
    thresholdDirty = true;
    lastThreshold = INT_MIN;
    setDirty(true);
}

void ThresholdSprite::setThresholdFraction(float value) {
    thresholdFraction = value;
    thresholdDirty = true;
    setDirty(true);
}

bool ThresholdSprite::maskCovers() const {
    return mask && source && mask->getWidth() >= source->getWidth() &&
           mask->getHeight() >= source->getHeight();
}

void ThresholdSprite::render(Graphics* graphics) {
    if (thresholdDirty) {
        const auto threshold = static_cast<int32_t>(thresholdFraction * double{FULL_THRESHOLD});
        Image* work = getImage();
        // A mask that does not cover the picture would be read past its end: the work image
        // is then left as it is.
        if (threshold != lastThreshold && work && maskCovers() &&
            source->getBytesPerPixel() == work->getBytesPerPixel()) {
            PassLock sourceLock(source.get());
            PassLock maskLock(mask.get());
            PassLock workLock(work);
            if (sourceLock.ok() && maskLock.ok() && workLock.ok()) {
                if (work->getBytesPerPixel() == 2) {
                    applyMask16(threshold);
                } else if (work->getBytesPerPixel() == 4) {
                    applyMask32(threshold);
                }
            }
        }
        lastThreshold = threshold;
        thresholdDirty = false;
    }
    Sprite::render(graphics);
}

void ThresholdSprite::applyMask32(int32_t threshold) {
    Image* work = getImage();
    const int32_t width = source->getWidth();
    for (int32_t y = 0; y < source->getHeight(); ++y) {
        const uint8_t* from = source->getPixels() + int64_t{y} * source->getPitch();
        uint8_t* to = work->getPixels() + int64_t{y} * work->getPitch();
        int32_t step = 0;
        const uint8_t* m = maskRow(mask.get(), y, step);
        if (!m || !from || !to) {
            return;
        }
        for (int32_t x = 0; x < width; ++x, m += step) {
            if (hidden(*m, threshold)) {
                std::memset(to + int64_t{x} * 4, 0, 4);
            } else {
                std::memcpy(to + int64_t{x} * 4, from + int64_t{x} * 4, 4);
            }
        }
    }
    work->markChanged();
}

void ThresholdSprite::applyMask16(int32_t threshold) {
    Image* work = getImage();
    const int32_t width = source->getWidth();
    for (int32_t y = 0; y < source->getHeight(); ++y) {
        const uint8_t* from = source->getPixels() + int64_t{y} * source->getPitch();
        uint8_t* to = work->getPixels() + int64_t{y} * work->getPitch();
        const uint8_t* fromAlpha = source->getAlphaAddress(0, y);
        uint8_t* toAlpha = work->getAlphaAddress(0, y);
        int32_t step = 0;
        const uint8_t* m = maskRow(mask.get(), y, step);
        if (!m || !from || !to || !fromAlpha || !toAlpha) {
            return;
        }
        for (int32_t x = 0; x < width; ++x, m += step) {
            if (hidden(*m, threshold)) {
                std::memset(to + int64_t{x} * 2, 0, 2);
                toAlpha[x] = 0;
            } else {
                std::memcpy(to + int64_t{x} * 2, from + int64_t{x} * 2, 2);
                toAlpha[x] = fromAlpha[x];
            }
        }
    }
    work->markChanged();
}

ModifierTreshold::ModifierTreshold(int32_t duration) : ModifierFraction(duration) {}

void ModifierTreshold::update(int32_t elapsedMs) {
    step(elapsedMs);
    auto* sprite = objectCast<ThresholdSprite>(getTarget());
    if (sprite && sprite->getThresholdFraction() != getFraction()) {
        sprite->setThresholdFraction(getFraction());
    }
}
