#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class Image;

// Hands a memory buffer to the JPEG decoder in chunks of at most 4096 bytes; once the buffer
// is used up every refill offers the two bytes of an end-of-image marker, so a truncated
// picture ends where its data ends.
struct JpegMemoryReader {
    static constexpr size_t CHUNK_SIZE = 4096;

    const uint8_t* position = nullptr;
    size_t remaining = 0;
    uint8_t buffer[CHUNK_SIZE] = {};

    // Refills `buffer` from the source; the number of bytes it now offers.
    size_t fill();
    // Skips `count` bytes of the source that were never copied into the buffer (never past the
    // end of the source).
    void skipSource(size_t count);
};

// The work of a picture's decode: a scan takes the blocks it touches, each weighed by a visit
// and by the coefficients of its band, those of a refinement scan lighter. In a flat picture
// the coefficients cost next to nothing and the visits are what the scans take, so the blocks
// visited are bounded too.
struct JpegWorkCount {
    uint64_t frameBlocks = 0;  // the blocks of one plain decode of the frame
    uint64_t limit = 0;        // the most work all scans may take
    uint64_t work = 0;         // the work of the scans met
    uint64_t visitLimit = 0;   // the most blocks all scans may visit
    uint64_t blockVisits = 0;  // the blocks the scans met visit
    int32_t scans = 0;         // the scans met
    int32_t refinements = 0;   // the most refinement scans met over one coefficient
};

// The most refinement scans over one coefficient: libjpeg's standard progression refines each
// twice at most, and in a picture of noise each refinement of a band costs more than half of the
// band's first scan.
constexpr int32_t JPEG_MAX_REFINEMENTS = 2;

// What visiting a block costs, and each coefficient of its band in a first scan and in a
// refinement scan (which reads a bit for each coefficient already known). Measured on pictures
// with detail in every block, a unit of each takes about as long.
constexpr uint64_t JPEG_BLOCK_VISIT_WORK = 6;
constexpr uint64_t JPEG_COEFFICIENT_WORK = 4;
constexpr uint64_t JPEG_REFINEMENT_WORK = 3;
// The work of a scan of `blocks` blocks over the band of coefficients from `firstCoefficient`
// to `lastCoefficient` (0 to 63 for a plain scan; a band outside that counts as one to 64).
uint64_t jpegScanWork(uint64_t blocks, int32_t firstCoefficient, int32_t lastCoefficient,
                      bool refinement);
// The most work the scans of a frame of `frameBlocks` blocks may take: a little more than
// libjpeg's standard progression of a YCbCr picture (`ycc`) or of any other.
uint64_t jpegWorkLimit(uint64_t frameBlocks, bool ycc);
// The most blocks the scans of a frame of `frameBlocks` blocks may visit: a little more than
// the passes over the frame of libjpeg's standard progression of any picture.
uint64_t jpegVisitLimit(uint64_t frameBlocks);
// The count of the last decode on this thread, as far as it went (zero before the scans, and
// for a picture refused by its header).
JpegWorkCount lastJpegWorkCount();

// The picture in the file (read through FileArchive in its mode when `fromArchive` is set, the
// archive is open and the mode is not 1; else the loose file); null when nothing could be read.
Image* loadJpeg(const std::string& path, bool fromArchive);
// Decodes `length` bytes at `buffer`, or the file at `path` when `buffer` is null, into an
// image at the display's depth (following it). Color and greyscale pictures come out as RGB;
// CMYK pictures, corrupt headers, pictures larger than maxPictureSide, arithmetic-coded ones and
// pictures whose scans take more work than jpegWorkLimit or refine a coefficient more than
// JPEG_MAX_REFINEMENTS times give null (the refusal is logged).
Image* decodeJpeg(const std::string& path, const uint8_t* buffer, size_t length);
