#include "tools/icon/IconCanvas.h"

#include <algorithm>
#include <cmath>

namespace icontool {

Color rgb(uint32_t value, float alpha) {
    return Color{((value >> 16) & 0xFF) / 255.0f, ((value >> 8) & 0xFF) / 255.0f,
                  (value & 0xFF) / 255.0f, alpha};
}

Color mix(const Color& from, const Color& to, float t) {
    t = std::clamp(t, 0.0f, 1.0f);
    return Color{from.r + (to.r - from.r) * t, from.g + (to.g - from.g) * t,
                  from.b + (to.b - from.b) * t, from.a + (to.a - from.a) * t};
}

float roundedRectDistance(float x, float y, float left, float top, float right, float bottom,
                          float radius) {
    const float qx = std::abs(x - (left + right) / 2) - ((right - left) / 2 - radius);
    const float qy = std::abs(y - (top + bottom) / 2) - ((bottom - top) / 2 - radius);
    const float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
    return outside + std::min(std::max(qx, qy), 0.0f) - radius;
}

float circleDistance(float x, float y, float centreX, float centreY, float radius) {
    return std::hypot(x - centreX, y - centreY) - radius;
}

IconCanvas::IconCanvas(int newSize)
    : size(std::max(newSize, 1)), pixels(static_cast<size_t>(size) * size * 4, 0.0f) {}

void IconCanvas::fill(const Shape& shape, const Paint& paint, float feather) {
    feather = std::max(feather, 0.01f);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float cx = x + 0.5f;
            const float cy = y + 0.5f;
            // A linear ramp across one pixel is a close measure of the covered area; wider
            // feathers ease in and out so shadows have no visible rim.
            float coverage = std::clamp(0.5f - shape(cx, cy) / feather, 0.0f, 1.0f);
            if (feather > 1.0f) {
                coverage = coverage * coverage * (3 - 2 * coverage);
            }
            if (coverage <= 0) {
                continue;
            }
            const Color color = paint(cx, cy);
            const float alpha = color.a * coverage;
            float* p = &pixels[(static_cast<size_t>(y) * size + x) * 4];
            p[0] = color.r * alpha + p[0] * (1 - alpha);
            p[1] = color.g * alpha + p[1] * (1 - alpha);
            p[2] = color.b * alpha + p[2] * (1 - alpha);
            p[3] = alpha + p[3] * (1 - alpha);
        }
    }
}

void IconCanvas::fill(const Shape& shape, const Color& color, float feather) {
    fill(
        shape, [&color](float, float) { return color; }, feather);
}

std::vector<uint8_t> IconCanvas::toRgba() const {
    std::vector<uint8_t> bytes(pixels.size());
    const auto toByte = [](float value) {
        return static_cast<uint8_t>(std::lround(std::clamp(value, 0.0f, 1.0f) * 255));
    };
    for (size_t i = 0; i < pixels.size(); i += 4) {
        const float alpha = pixels[i + 3];
        const float unpremultiply = alpha > 0 ? 1 / alpha : 0;
        bytes[i] = toByte(pixels[i] * unpremultiply);
        bytes[i + 1] = toByte(pixels[i + 1] * unpremultiply);
        bytes[i + 2] = toByte(pixels[i + 2] * unpremultiply);
        bytes[i + 3] = toByte(alpha);
    }
    return bytes;
}

}  // namespace icontool
