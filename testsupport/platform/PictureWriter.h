#pragma once

// Saves test pictures as PNG under the build tree for a person to look at.

#include <png.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "testsupport/platform/PixelAccess.h"

// Writes the colors of `image` as an 8-bit RGB PNG; false on any failure.
inline bool writeImagePng(const std::string& path, const Image* image) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    std::vector<uint8_t> row(static_cast<size_t>(image->getWidth()) * 3);
    bool ok = png && info;
    if (ok && setjmp(png_jmpbuf(png)) == 0) {
        png_init_io(png, file);
        png_set_IHDR(png, info, image->getWidth(), image->getHeight(), 8, PNG_COLOR_TYPE_RGB,
                     PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        for (int32_t y = 0; y < image->getHeight(); ++y) {
            for (int32_t x = 0; x < image->getWidth(); ++x) {
                const uint32_t c = testpixels::colorAt(image, x, y);
                row[x * 3] = static_cast<uint8_t>(c >> 16);
                row[x * 3 + 1] = static_cast<uint8_t>(c >> 8);
                row[x * 3 + 2] = static_cast<uint8_t>(c);
            }
            png_write_row(png, row.data());
        }
        png_write_end(png, nullptr);
    } else {
        ok = false;
    }
    png_destroy_write_struct(png ? &png : nullptr, info ? &info : nullptr);
    return std::fclose(file) == 0 && ok;
}
