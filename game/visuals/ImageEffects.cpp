#include "game/visuals/ImageEffects.h"

#include <algorithm>
#include <cmath>

#include "framework/platform/Graphics.h"
#include "framework/platform/Image.h"

namespace {

// Keeps an image locked for one pass.
class ImageLock {
public:
    explicit ImageLock(Image* image) : image(image), locked(image && image->lock()) {}
    ~ImageLock() {
        if (locked) {
            image->unlock();
        }
    }
    ImageLock(const ImageLock&) = delete;
    ImageLock& operator=(const ImageLock&) = delete;
    bool isLocked() const { return locked; }

private:
    Image* image;
    bool locked;
};

}  // namespace

void greyImageRect(Image* image, int32_t x, int32_t y, int32_t width, int32_t height) {
    if (!image) {
        return;
    }
    const int32_t left = std::max(x, 0);
    const int32_t top = std::max(y, 0);
    const int32_t right =
        static_cast<int32_t>(std::min<int64_t>(int64_t{x} + width, image->getWidth()));
    const int32_t bottom =
        static_cast<int32_t>(std::min<int64_t>(int64_t{y} + height, image->getHeight()));
    if (left >= right || top >= bottom) {
        return;
    }
    ImageLock lock(image);
    uint8_t* pixels = image->getPixels();
    if (!lock.isLocked() || !pixels) {
        return;
    }
    image->markChanged();
    const int32_t pitch = image->getPitch();
    for (int32_t row = top; row < bottom; ++row) {
        if (image->getBytesPerPixel() == 4) {
            auto* line = reinterpret_cast<uint32_t*>(pixels + int64_t{row} * pitch);
            for (int32_t column = left; column < right; ++column) {
                const uint32_t pixel = line[column];
                const uint32_t grey =
                    (3 * ((pixel >> 16) & 0xFF) + 6 * ((pixel >> 8) & 0xFF) + (pixel & 0xFF)) / 10;
                line[column] = (pixel & 0xFF000000u) | grey << 16 | grey << 8 | grey;
            }
        } else if (image->getBytesPerPixel() == 2) {
            auto* line = reinterpret_cast<uint16_t*>(pixels + int64_t{row} * pitch);
            for (int32_t column = left; column < right; ++column) {
                const uint32_t pixel = line[column];
                const uint32_t grey =
                    (3 * (pixel >> 11) + 6 * ((pixel >> 6) & 0x1F) + (pixel & 0x1F)) / 10;
                line[column] = static_cast<uint16_t>(grey << 11 | grey << 6 | grey);
            }
        }
    }
}

void clearToTransparentWhite(Graphics& graphics) {
    Image* target = graphics.getImage();
    if (!target) {
        return;
    }
    graphics.setColor(0xFFFFFFFFu);
    graphics.fillRect(0, 0, target->getWidth(), target->getHeight());
    graphics.fillChannel(Channel::ALPHA, 0);
}

namespace ColorUtil {

void rgbToHsv(float r, float g, float b, float& h, float& s, float& v) {
    const float high = std::max({r, g, b});
    const float low = std::min({r, g, b});
    v = high * 0.003921569f;
    s = high > 0.0f ? (high - low) / high : 0.0f;
    if (s == 0.0f) {
        h = 0.0f;
        return;
    }
    const float d = high - low;
    const float rc = (high - r) / d;
    const float gc = (high - g) / d;
    const float bc = (high - b) / d;
    if (r == high) {
        h = bc - gc;
    } else if (g == high) {
        h = 2.0f + rc - bc;
    } else {
        h = 4.0f + gc - rc;
    }
    h *= 0.16666667f;
    if (h < 0.0f) {
        h += 1.0f;
    }
}

void hsvToRgb(float h, float s, float v, float& r, float& g, float& b) {
    if (s == 0.0f) {
        r = g = b = v * 255.0f + 0.5f;
        return;
    }
    const float h6 = (h - std::floor(h)) * 6.0f;
    const int32_t i = static_cast<int32_t>(std::floor(h6));
    const float f = h6 - static_cast<float>(i);
    const float p = v * (1.0f - s);
    const float q = v * (1.0f - s * f);
    const float t = v * (1.0f - s * (1.0f - f));
    switch (i) {
        case 0:
            r = v;
            g = t;
            b = p;
            break;
        case 1:
            r = q;
            g = v;
            b = p;
            break;
        case 2:
            r = p;
            g = v;
            b = t;
            break;
        case 3:
            r = p;
            g = q;
            b = v;
            break;
        case 4:
            r = t;
            g = p;
            b = v;
            break;
        default:
            r = v;
            g = p;
            b = q;
            break;
    }
    r = r * 255.0f + 0.5f;
    g = g * 255.0f + 0.5f;
    b = b * 255.0f + 0.5f;
}

}  // namespace ColorUtil

namespace {

// The channel cut to 0-255 after truncation.
uint32_t channelByte(float value) {
    return static_cast<uint32_t>(std::clamp(static_cast<int32_t>(value), 0, 255));
}

}  // namespace

void shiftImageHue(Image* image, Image* mask, float offset) {
    if (!image || !mask || image->getWidth() != mask->getWidth() ||
        image->getHeight() != mask->getHeight()) {
        return;
    }
    ImageLock imageLock(image);
    ImageLock maskLock(mask);
    uint8_t* pixels = image->getPixels();
    if (!imageLock.isLocked() || !maskLock.isLocked() || !pixels) {
        return;
    }
    image->markChanged();
    const int32_t depth = image->getBytesPerPixel();
    for (int32_t row = 0; row < image->getHeight(); ++row) {
        for (int32_t column = 0; column < image->getWidth(); ++column) {
            const uint8_t* maskAlpha = mask->getAlphaAddress(column, row);
            if (!maskAlpha || *maskAlpha == 0) {
                continue;
            }
            uint8_t* at = pixels + int64_t{row} * image->getPitch() + int64_t{column} * depth;
            float r = 0.0f;
            float g = 0.0f;
            float b = 0.0f;
            if (depth == 4) {
                const uint32_t pixel = *reinterpret_cast<uint32_t*>(at);
                r = static_cast<float>((pixel >> 16) & 0xFF);
                g = static_cast<float>((pixel >> 8) & 0xFF);
                b = static_cast<float>(pixel & 0xFF);
            } else if (depth == 2) {
                const uint32_t pixel = *reinterpret_cast<uint16_t*>(at);
                r = static_cast<float>((pixel >> 11) << 3);
                g = static_cast<float>(((pixel >> 5) & 0x3F) << 2);
                b = static_cast<float>((pixel & 0x1F) << 3);
            } else {
                return;
            }
            float h = 0.0f;
            float s = 0.0f;
            float v = 0.0f;
            ColorUtil::rgbToHsv(r, g, b, h, s, v);
            ColorUtil::hsvToRgb(h + offset, s, v, r, g, b);
            if (depth == 4) {
                auto* pixel = reinterpret_cast<uint32_t*>(at);
                *pixel = (*pixel & 0xFF000000u) | channelByte(r) << 16 | channelByte(g) << 8 |
                         channelByte(b);
            } else {
                *reinterpret_cast<uint16_t*>(at) = static_cast<uint16_t>(
                    (channelByte(r) >> 3) << 11 | (channelByte(g) >> 2) << 5 | channelByte(b) >> 3);
            }
        }
    }
}
