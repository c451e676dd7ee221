#pragma once

#include <cstdint>
#include <cstring>

#include "framework/core/RefHolder.h"
#include "framework/platform/Graphics.h"
#include "framework/platform/Image.h"

// Direct pixel access to memory images for the drawing tests.
namespace testpixels {

inline uint32_t get32(const Image* image, int32_t x, int32_t y) {
    uint32_t value;
    std::memcpy(&value, image->getPixels() + y * image->getPitch() + x * 4, 4);
    return value;
}

inline void set32(Image* image, int32_t x, int32_t y, uint32_t value) {
    std::memcpy(image->getPixels() + y * image->getPitch() + x * 4, &value, 4);
}

inline uint16_t get16(const Image* image, int32_t x, int32_t y) {
    uint16_t value;
    std::memcpy(&value, image->getPixels() + y * image->getPitch() + x * 2, 2);
    return value;
}

inline void set16(Image* image, int32_t x, int32_t y, uint16_t value) {
    std::memcpy(image->getPixels() + y * image->getPitch() + x * 2, &value, 2);
}

inline uint8_t& alpha(Image* image, int32_t x, int32_t y) {
    return image->getAlphaPlane()[y * image->getWidth() + x];
}

// The color of a pixel as 0x00RRGGBB at either depth; 16-bit fields are widened by shifting.
inline uint32_t colorAt(const Image* image, int32_t x, int32_t y) {
    if (image->getBytesPerPixel() == 4) {
        return get32(image, x, y) & 0x00FFFFFFu;
    }
    const uint32_t c = get16(image, x, y);
    return ((c & 0xF800) << 8) | ((c & 0x07E0) << 5) | ((c & 0x001F) << 3);
}

// Sets a pixel's color (0x00RRGGBB, cut to the fields at 16 bits) and its alpha.
inline void put(Image* image, int32_t x, int32_t y, uint32_t rgb, uint8_t a) {
    if (image->getBytesPerPixel() == 4) {
        set32(image, x, y, (uint32_t{a} << 24) | (rgb & 0x00FFFFFFu));
    } else {
        set16(image, x, y,
              static_cast<uint16_t>(((rgb >> 8) & 0xF800) | ((rgb >> 5) & 0x07E0) |
                                    ((rgb >> 3) & 0x001F)));
        alpha(image, x, y) = a;
    }
}

// The alpha of a pixel at either depth; a 16-bit image without an alpha plane is opaque.
inline uint8_t alphaAt(const Image* image, int32_t x, int32_t y) {
    if (image->getBytesPerPixel() == 4) {
        return static_cast<uint8_t>(get32(image, x, y) >> 24);
    }
    return image->getAlphaPlane() ? image->getAlphaPlane()[y * image->getWidth() + x] : 255;
}

// An image of the depth with every pixel set to the color and alpha.
inline RefHolder<Image> filled(int32_t w, int32_t h, int32_t depth, uint32_t rgb, uint8_t a) {
    RefHolder<Image> image{Image::createImage(w, h, depth)};
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w; ++x) {
            if (depth == 1) {
                alpha(image.get(), x, y) = a;
            } else {
                put(image.get(), x, y, rgb, a);
            }
        }
    }
    return image;
}

inline RefHolder<Graphics> graphicsOf(Image* image) {
    return RefHolder<Graphics>{image->createGraphics()};
}

}  // namespace testpixels
