#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

class Image;
class MemoryBuffer;

// Decode flags of the PNG readers.
namespace PngDecodeFlags {
// A 1-byte-per-pixel image of the picture's first color component (masks).
constexpr uint32_t ALPHA_ONLY = 1;
// An 8-bit grey picture becomes black pixels whose alpha is the grey value.
constexpr uint32_t GREY_IS_ALPHA = 2;
// A 4-byte ARGB image whatever the display's depth, not following it: pixels handed to the
// system (the window icon) must keep their full color.
constexpr uint32_t FULL_COLOR = 4;
}  // namespace PngDecodeFlags

// Largest width or height of a decoded picture; larger pictures are refused before any pixel
// memory is taken.
constexpr uint32_t MAX_PICTURE_SIDE = 16384;
// Most pixels of a decoded picture (4096 x 4096, more than any picture of the game needs);
// larger pictures are refused the same way.
constexpr uint64_t MAX_PICTURE_PIXELS = uint64_t{4096} * 4096;

// A decoded PNG, normalised to one of four row formats: 8-bit palette indexes, 8-bit grey,
// 24-bit RGB or 32-bit ARGB (alpha first). The rows belong to the decoder.
struct PngPicture {
    int32_t width = 0;
    int32_t height = 0;
    // 8 (palette or grey), 24 (RGB) or 32 (ARGB).
    int32_t pixelDepth = 0;
    bool isPalette = false;
    const uint8_t* const* rows = nullptr;
    // R, G, B of each palette entry; entries beyond paletteCount are black.
    std::array<uint8_t, 256 * 3> palette{};
    int32_t paletteCount = 0;
};

// True when the file starts with the whole 8-byte PNG signature.
bool isPngFile(const std::string& path);
// The picture in the file as an image (see pngRowsToImage); null when the file is missing, is
// not a PNG, or is corrupt, truncated or too large.
Image* loadPngFile(const std::string& path, uint32_t flags);
// The same from `length` bytes in memory; reading never goes past the length.
Image* loadPngMemory(const uint8_t* data, size_t length, uint32_t flags);
Image* loadPngMemory(const MemoryBuffer& buffer, uint32_t flags);
// A new image from decoded rows: 1 byte per pixel with ALPHA_ONLY (the palette entry's red, the
// grey value, or R), else at 4 bytes with FULL_COLOR, else at the display's depth, following
// it. Null for an unknown depth.
Image* pngRowsToImage(const PngPicture& picture, uint32_t flags);
