#include "framework/platform/PngDecoder.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <type_traits>
#include <vector>

#include "framework/os/FileSystem.h"
#include "framework/platform/FileArchive.h"
#include "framework/platform/Image.h"
#include "framework/platform/MemoryBuffer.h"

namespace {

constexpr size_t SIGNATURE_BYTES = 8;
// Ancillary chunks (text, color profiles) are kept by libpng in memory; none may be larger.
constexpr png_alloc_size_t MAX_CHUNK_BYTES = png_alloc_size_t{8} << 20;

// Everything one decode makes. libpng leaves decodeRows by longjmp on any error, so the state
// lives in the caller's frame, holds only plain pointers and values, and the caller frees it.
struct PngReadState {
    png_structp png = nullptr;
    png_infop info = nullptr;
    const uint8_t* data = nullptr;
    size_t length = 0;
    size_t position = 0;
    uint8_t* pixels = nullptr;
    png_bytep* rows = nullptr;
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int bitDepth = 0;
    int colorType = 0;
    png_size_t rowBytes = 0;
    int channels = 0;
    png_colorp paletteEntries = nullptr;
    int paletteCount = 0;
};
static_assert(std::is_trivially_destructible_v<PngReadState>);

// Copies exactly what libpng asks for, and fails rather than read past the buffer's end.
void readFromMemory(png_structp png, png_bytep out, size_t count) {
    auto* state = static_cast<PngReadState*>(png_get_io_ptr(png));
    if (count > state->length - state->position) {
        png_error(png, "unexpected end of data");
    }
    std::memcpy(out, state->data + state->position, count);
    state->position += count;
}

// Returns control to decodeRows; nothing is printed.
[[noreturn]] void leaveOnPngError(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}

void ignoreWarning(png_structp, png_const_charp) {}

bool fitsPixelBudget(png_uint_32 height, png_size_t rowBytes) {
    return rowBytes > 0 && height > 0 &&
           static_cast<uint64_t>(rowBytes) * height <=
               static_cast<uint64_t>(Image::MAX_BUFFER_BYTES);
}

bool allocateRows(PngReadState* state) {
    state->pixels = static_cast<uint8_t*>(std::malloc(state->rowBytes * state->height));
    state->rows = static_cast<png_bytep*>(std::malloc(sizeof(png_bytep) * state->height));
    if (!state->pixels || !state->rows) {
        return false;
    }
    for (png_uint_32 y = 0; y < state->height; ++y) {
        state->rows[y] = state->pixels + state->rowBytes * y;
    }
    return true;
}

// Decodes into state->pixels, normalised to 8-bit palette indexes, 8-bit grey, RGB or ARGB.
// libpng reports errors by longjmp back into this function, so it constructs no object with a
// destructor and keeps every value it changes after setjmp in `state`, never in locals.
bool decodeRows(PngReadState* state) {
    png_structp const png = state->png;
    png_infop const info = state->info;
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    png_set_read_fn(png, state, readFromMemory);
    png_set_user_limits(png, MAX_PICTURE_SIDE, MAX_PICTURE_SIDE);
    png_set_chunk_malloc_max(png, MAX_CHUNK_BYTES);
    // Transparency chunks are not part of the picture: palette, grey and RGB pictures are
    // opaque, so the chunk is skipped before any transform could turn it into alpha.
    // No other ancillary chunk changes the pixels either: all are skipped unread, since libpng
    // sizes the buffer of some (a palette suggestion, texts) by the length field before reading.
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
    static const png_byte skippedChunks[] = {'t', 'R', 'N', 'S', '\0'};
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, skippedChunks, 1);
    png_read_info(png, info);
    png_get_IHDR(png, info, &state->width, &state->height, &state->bitDepth, &state->colorType,
                 nullptr, nullptr, nullptr);
    if (uint64_t{state->width} * state->height > MAX_PICTURE_PIXELS) {
        png_error(png, "picture too large");
    }

    if (state->bitDepth == 16) {
        png_set_scale_16(png);
    }
    if (state->colorType == PNG_COLOR_TYPE_PALETTE) {
        if (state->bitDepth < 8) {
            png_set_packing(png);  // one index per byte, values unchanged
        }
        if (png_get_PLTE(png, info, &state->paletteEntries, &state->paletteCount) == 0) {
            png_error(png, "palette picture without palette");
        }
    } else if (state->colorType == PNG_COLOR_TYPE_GRAY && state->bitDepth < 8) {
        png_set_expand_gray_1_2_4_to_8(png);
    }
    if (state->colorType == PNG_COLOR_TYPE_GRAY_ALPHA) {
        png_set_gray_to_rgb(png);
    }
    if ((state->colorType & PNG_COLOR_MASK_ALPHA) != 0) {
        png_set_swap_alpha(png);
    }
    png_set_interlace_handling(png);
    png_read_update_info(png, info);

    state->channels = png_get_channels(png, info);
    state->rowBytes = png_get_rowbytes(png, info);
    if (png_get_bit_depth(png, info) != 8 ||
        state->rowBytes != static_cast<png_size_t>(state->width) * state->channels ||
        !fitsPixelBudget(state->height, state->rowBytes)) {
        png_error(png, "unsupported pixel format");
    }
    if (!allocateRows(state)) {
        png_error(png, "out of memory");
    }
    png_read_image(png, state->rows);
    png_read_end(png, nullptr);
    return true;
}

bool readWholeFile(const std::string& path, std::vector<uint8_t>& bytes) {
    return FileSystem::current().readFile(path, FileArchive::MAX_FILE_SIZE, bytes) ==
           FileReadResult::OK;
}

bool hasSignature(const uint8_t* data, size_t length) {
    return data && length >= SIGNATURE_BYTES && png_sig_cmp(data, 0, SIGNATURE_BYTES) == 0;
}

uint16_t toRgb565(uint32_t r, uint32_t g, uint32_t b) {
    return static_cast<uint16_t>(((r & 0xF8) << 8) | ((g & 0xFC) << 3) | (b >> 3));
}

// One pixel of a color image at either depth.
void storePixel(Image* image, int32_t x, int32_t y, uint32_t a, uint32_t r, uint32_t g,
                uint32_t b) {
    uint8_t* row = image->getPixels() + static_cast<size_t>(y) * image->getPitch();
    if (image->getBytesPerPixel() == 4) {
        const uint32_t word = (a << 24) | (r << 16) | (g << 8) | b;
        std::memcpy(row + static_cast<size_t>(x) * 4, &word, sizeof word);
    } else {
        const uint16_t half = toRgb565(r, g, b);
        std::memcpy(row + static_cast<size_t>(x) * 2, &half, sizeof half);
        image->getAlphaPlane()[static_cast<size_t>(y) * image->getWidth() + x] =
            static_cast<uint8_t>(a);
    }
}

void fillMask(const PngPicture& picture, Image* image) {
    const size_t stride = static_cast<size_t>(picture.pixelDepth / 8);
    // The first color byte: R of RGB, the byte after alpha of ARGB.
    const size_t first = picture.pixelDepth == 32 ? 1 : 0;
    for (int32_t y = 0; y < picture.height; ++y) {
        const uint8_t* source = picture.rows[y];
        uint8_t* target = image->getAlphaPlane() + static_cast<size_t>(y) * picture.width;
        for (int32_t x = 0; x < picture.width; ++x) {
            const uint8_t* pixel = source + stride * x;
            target[x] = picture.isPalette ? picture.palette[pixel[0] * 3u] : pixel[first];
        }
    }
}

void fillColor(const PngPicture& picture, uint32_t flags, Image* image) {
    const bool greyIsAlpha = (flags & PngDecodeFlags::GREY_IS_ALPHA) != 0;
    for (int32_t y = 0; y < picture.height; ++y) {
        const uint8_t* p = picture.rows[y];
        for (int32_t x = 0; x < picture.width; ++x) {
            if (picture.pixelDepth == 32) {
                storePixel(image, x, y, p[0], p[1], p[2], p[3]);
                p += 4;
            } else if (picture.pixelDepth == 24) {
                storePixel(image, x, y, 255, p[0], p[1], p[2]);
                p += 3;
            } else if (picture.isPalette) {
                const uint8_t* entry = &picture.palette[*p++ * 3u];
                storePixel(image, x, y, 255, entry[0], entry[1], entry[2]);
            } else if (greyIsAlpha) {
                storePixel(image, x, y, *p++, 0, 0, 0);
            } else {
                const uint32_t grey = *p++;
                storePixel(image, x, y, 255, grey, grey, grey);
            }
        }
    }
}

}  // namespace

bool isPngFile(const std::string& path) {
    std::vector<uint8_t> bytes;
    return readWholeFile(path, bytes) && hasSignature(bytes.data(), bytes.size());
}

Image* loadPngFile(const std::string& path, uint32_t flags) {
    std::vector<uint8_t> bytes;
    if (!readWholeFile(path, bytes)) {
        return nullptr;
    }
    return loadPngMemory(bytes.data(), bytes.size(), flags);
}

Image* loadPngMemory(const MemoryBuffer& buffer, uint32_t flags) {
    return loadPngMemory(buffer.getData(), buffer.getSize(), flags);
}

Image* loadPngMemory(const uint8_t* data, size_t length, uint32_t flags) {
    if (!hasSignature(data, length)) {
        return nullptr;
    }
    PngReadState state;
    state.data = data;
    state.length = length;
    state.png =
        png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, leaveOnPngError, ignoreWarning);
    if (!state.png) {
        return nullptr;
    }
    state.info = png_create_info_struct(state.png);
    Image* image = nullptr;
    if (state.info && decodeRows(&state)) {
        PngPicture picture;
        picture.width = static_cast<int32_t>(state.width);
        picture.height = static_cast<int32_t>(state.height);
        picture.pixelDepth = state.channels * 8;
        picture.isPalette = state.colorType == PNG_COLOR_TYPE_PALETTE;
        picture.rows = state.rows;
        if (picture.isPalette) {
            picture.paletteCount = std::min(state.paletteCount, 256);
            for (int32_t k = 0; k < picture.paletteCount; ++k) {
                picture.palette[k * 3u] = state.paletteEntries[k].red;
                picture.palette[k * 3u + 1] = state.paletteEntries[k].green;
                picture.palette[k * 3u + 2] = state.paletteEntries[k].blue;
            }
        }
        image = pngRowsToImage(picture, flags);
    }
    png_destroy_read_struct(&state.png, &state.info, nullptr);
    std::free(state.rows);
    std::free(state.pixels);
    return image;
}

Image* pngRowsToImage(const PngPicture& picture, uint32_t flags) {
    const int32_t depth = picture.pixelDepth;
    if ((depth != 8 && depth != 24 && depth != 32) || (picture.isPalette && depth != 8) ||
        !picture.rows) {
        return nullptr;
    }
    const bool alphaOnly = (flags & PngDecodeFlags::ALPHA_ONLY) != 0;
    Image* image = nullptr;
    if (alphaOnly) {
        image = Image::createImage(picture.width, picture.height, 1);
    } else if ((flags & PngDecodeFlags::FULL_COLOR) != 0) {
        image = Image::createImage(picture.width, picture.height, 4);
    } else {
        image = Image::createImage(picture.width, picture.height);
    }
    if (!image || !image->lock()) {
        delete image;
        return nullptr;
    }
    if (alphaOnly) {
        fillMask(picture, image);
    } else {
        fillColor(picture, flags, image);
    }
    image->unlock();
    return image;
}
