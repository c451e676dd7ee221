#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class Image;

// Hands a memory buffer to the JPEG decoder in chunks of at most 4096 bytes; once the buffer
// is used up every refill offers the two bytes of an end-of-image marker, so a truncated
// picture ends where its data ends.
struct JpegMemoryReader {
    static constexpr size_t chunkSize = 4096;

    const uint8_t* position = nullptr;
    size_t remaining = 0;
    uint8_t buffer[chunkSize] = {};

    // Refills `buffer` from the source; the number of bytes it now offers.
    size_t fill();
    // Skips `count` bytes of the source that were never copied into the buffer (never past the
    // end of the source).
    void skipSource(size_t count);
};

// The picture in the file (read through FileArchive in its mode when `fromArchive` is set, the
// archive is open and the mode is not 1; else the loose file); null when nothing could be read.
Image* loadJpeg(const std::string& path, bool fromArchive);
// Decodes `length` bytes at `buffer`, or the file at `path` when `buffer` is null, into an
// image at the display's depth (following it). Color and greyscale pictures come out as RGB;
// CMYK pictures, corrupt headers and pictures larger than maxPictureSide give null.
Image* decodeJpeg(const std::string& path, const uint8_t* buffer, size_t length);
