#include "tools/font-baker/GreyBitmap.h"

#include <algorithm>
#include <cmath>

namespace fontbaker {

GreyBitmap::GreyBitmap(int width, int height)
    : width(std::max(width, 0)),
      height(std::max(height, 0)),
      pixels(static_cast<size_t>(this->width) * static_cast<size_t>(this->height), 0) {}

uint8_t GreyBitmap::at(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) {
        return 0;
    }
    return pixels[static_cast<size_t>(y) * width + x];
}

void GreyBitmap::set(int x, int y, uint8_t value) {
    if (x >= 0 && y >= 0 && x < width && y < height) {
        pixels[static_cast<size_t>(y) * width + x] = value;
    }
}

void GreyBitmap::paste(const GreyBitmap& source, int x, int y) {
    for (int row = 0; row < source.height; ++row) {
        for (int column = 0; column < source.width; ++column) {
            set(x + column, y + row, source.at(column, row));
        }
    }
}

bool GreyBitmap::isEmpty() const {
    return std::all_of(pixels.begin(), pixels.end(), [](uint8_t value) { return value == 0; });
}

GreyBitmap dilate(const GreyBitmap& source, int radius) {
    if (radius <= 0) {
        return source;
    }
    // Weight of each offset: full within the radius, fading to nothing one pixel beyond it.
    // Integer offsets past the radius along an axis are a whole pixel out, so the shape grows by
    // exactly `radius` sideways and up and down, and by a partial pixel along the diagonals.
    const int side = 2 * radius + 1;
    std::vector<float> weights(static_cast<size_t>(side) * side, 0.0f);
    for (int dy = -radius; dy <= radius; ++dy) {
        for (int dx = -radius; dx <= radius; ++dx) {
            const float distance = std::sqrt(static_cast<float>(dx * dx + dy * dy));
            const float weight = std::clamp(radius + 1.0f - distance, 0.0f, 1.0f);
            weights[static_cast<size_t>(dy + radius) * side + (dx + radius)] = weight;
        }
    }
    GreyBitmap result(source.width, source.height);
    for (int y = 0; y < source.height; ++y) {
        for (int x = 0; x < source.width; ++x) {
            float best = 0.0f;
            for (int dy = -radius; dy <= radius; ++dy) {
                for (int dx = -radius; dx <= radius; ++dx) {
                    const float weight =
                        weights[static_cast<size_t>(dy + radius) * side + (dx + radius)];
                    best = std::max(best, weight * source.at(x + dx, y + dy));
                }
            }
            result.set(x, y, static_cast<uint8_t>(std::lround(best)));
        }
    }
    return result;
}

namespace {

// One blur pass along x (horizontal) or y, averaging 2 * radius + 1 samples.
GreyBitmap blurPass(const GreyBitmap& source, int radius, bool horizontal) {
    GreyBitmap result(source.width, source.height);
    const int samples = 2 * radius + 1;
    for (int y = 0; y < source.height; ++y) {
        for (int x = 0; x < source.width; ++x) {
            int sum = 0;
            for (int d = -radius; d <= radius; ++d) {
                sum += horizontal ? source.at(x + d, y) : source.at(x, y + d);
            }
            result.set(x, y, static_cast<uint8_t>((sum + samples / 2) / samples));
        }
    }
    return result;
}

}  // namespace

GreyBitmap boxBlur(const GreyBitmap& source, int radius) {
    if (radius <= 0) {
        return source;
    }
    return blurPass(blurPass(source, radius, true), radius, false);
}

}  // namespace fontbaker
