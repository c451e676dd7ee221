#include "framework/platform/JpegDecoder.h"

// jpeglib.h needs FILE and size_t declared before it.
#include <jpeglib.h>
#include <cstdio>

#include <algorithm>
#include <bit>
#include <csetjmp>
#include <cstring>
#include <new>
#include <string>
#include <type_traits>
#include <vector>

#include "framework/core/ProblemLog.h"
#include "framework/os/FileSystem.h"
#include "framework/platform/FileArchive.h"
#include "framework/platform/Image.h"
#include "framework/platform/MemoryBuffer.h"
#include "framework/platform/PngDecoder.h"

size_t JpegMemoryReader::fill() {
    if (remaining < 1) {
        buffer[0] = 0xFF;
        buffer[1] = JPEG_EOI;
        return 2;
    }
    const size_t count = std::min(remaining, CHUNK_SIZE);
    std::memcpy(buffer, position, count);
    position += count;
    remaining -= count;
    return count;
}

void JpegMemoryReader::skipSource(size_t count) {
    const size_t skipped = std::min(count, remaining);
    position += skipped;
    remaining -= skipped;
}

namespace {

constexpr long MAX_JPEG_MEMORY = 160L << 20;

// Each scan of a progressive picture is a pass over the blocks of its components, and nothing
// in the format bounds their number: a small file can hold thousands. A plain decode of the
// frame is one scan of all its blocks and every coefficient. All scans together may take a
// little more than libjpeg's standard progression (jpeg_simple_progression): 2.06 (4:4:4) to
// 2.42 (4:1:0) plain decodes of a YCbCr picture, which it sends in fewer scans, 2.57 of a grey
// picture or of any other; in hundredths of a plain decode, of a frame of at least
// MIN_FRAME_BLOCKS (a 256 x 256 picture), in at most MAX_SCANS scans (each also costs its headers
// and tables, however small the frame).
constexpr uint64_t MAX_YCC_WORK = 245;
constexpr uint64_t MAX_OTHER_WORK = 260;
constexpr uint64_t MIN_FRAME_BLOCKS = 1536;
constexpr int32_t MAX_SCANS = 1000;
// The blocks' coefficients of a flat picture cost next to nothing, and each pass of a scan over
// its blocks takes a tenth or more of the decode of its standard progression (4096 x 4096,
// 4:4:4: 5 to 8 % for a refinement, 13 % for a first DC scan, which writes every block). That
// progression passes over the frame 4.7 (4:4:4) to 6 (grey, RGB) times; the scans may pass
// over it this many tenths of times, of a frame of at least MIN_FRAME_BLOCKS.
constexpr uint64_t MAX_PASS_TENTHS = 65;

// The components a scan may name: a picture of more is refused by its color space.
constexpr int MAX_PROGRESSED_COMPONENTS = 4;

// libjpeg's error manager with the place to return to on a fatal error, and the progress
// monitor that counts the scans' work and marks the coefficients sent.
struct JpegErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    jpeg_progress_mgr progress;
    JpegWorkCount count;
    // Whether each coefficient of each component has been sent by a scan met, and the
    // refinement scans met over it.
    bool sent[MAX_PROGRESSED_COMPONENTS][DCTSIZE2];
    int32_t refinements[MAX_PROGRESSED_COMPONENTS][DCTSIZE2];
};

thread_local JpegWorkCount lastCount;

// The blocks of one plain decode: every MCU of the frame, each of all components' blocks.
uint64_t frameBlocks(j_decompress_ptr info) {
    if (info->num_components == 1) {
        const jpeg_component_info& only = info->comp_info[0];
        return uint64_t{only.width_in_blocks} * only.height_in_blocks;
    }
    uint64_t perMcu = 0;
    for (int c = 0; c < info->num_components; ++c) {
        perMcu += static_cast<uint64_t>(info->comp_info[c].h_samp_factor) *
                  static_cast<uint64_t>(info->comp_info[c].v_samp_factor);
    }
    const uint64_t across = (uint64_t{info->image_width} + 8u * info->max_h_samp_factor - 1) /
                            (8u * info->max_h_samp_factor);
    const uint64_t down = (uint64_t{info->image_height} + 8u * info->max_v_samp_factor - 1) /
                          (8u * info->max_v_samp_factor);
    return across * down * perMcu;
}

// A picture of luma and two chroma components, which libjpeg progresses in fewer scans.
bool isYcc(j_decompress_ptr info) {
    return info->num_components == 3 && info->jpeg_color_space == JCS_YCbCr;
}

enum class Refusal { NONE, ARITHMETIC, SCANS, WORK, RESENT, REFINED, VISITS };

// Logs why the picture is refused. The caller then leaves by longjmp, which runs no
// destructors: the message lives only in here.
void logRefusal(j_decompress_ptr info, Refusal refusal) {
    const uint64_t hundredths = isYcc(info) ? MAX_YCC_WORK : MAX_OTHER_WORK;
    const std::string bound = std::to_string(hundredths / 100) + "." +
                              std::to_string(hundredths / 10 % 10) +
                              std::to_string(hundredths % 10);
    const std::string passes =
        std::to_string(MAX_PASS_TENTHS / 10) + "." + std::to_string(MAX_PASS_TENTHS % 10);
    const std::string reason =
        refusal == Refusal::ARITHMETIC ? "arithmetic coding"
        : refusal == Refusal::SCANS    ? "more than " + std::to_string(MAX_SCANS) + " scans"
        : refusal == Refusal::RESENT   ? "a scan sends coefficients already sent"
        : refusal == Refusal::REFINED  ? "a scan refines coefficients more than " +
                                            std::to_string(JPEG_MAX_REFINEMENTS) + " times"
        : refusal == Refusal::VISITS
            ? "its scans pass over its blocks more than " + passes + " times"
            : "its scans take more than " + bound + " plain decodes";
    logProblem("JPEG picture of " + std::to_string(info->image_width) + " x " +
               std::to_string(info->image_height) + " pixels refused: " + reason);
}

// A coefficient is sent once, by a first scan (Ah 0), and then refined. No encoder sends one
// twice, but libjpeg decodes such a scan without a word, and each costs a pass that writes every
// block: a repeated first DC scan takes several times what the work count prices it at in a
// flat picture. Nor does libjpeg bound the refinements: a coefficient sent from its ninth bit
// takes eight, and a picture whose detail lies in one component (a grey one stored in color, a
// hue that varies where the brightness does not) could take all the refinements of the work
// bound, where the standard progression spends most of them on components with nothing in
// them, in about twice its time.
Refusal coefficientRefusal(j_decompress_ptr info, JpegErrorManager& errors) {
    for (int c = 0; c < info->comps_in_scan; ++c) {
        const int component = info->cur_comp_info[c]->component_index;
        if (component < 0 || component >= MAX_PROGRESSED_COMPONENTS) {
            return Refusal::RESENT;
        }
        for (int k = std::max(info->Ss, 0); k <= std::min(info->Se, DCTSIZE2 - 1); ++k) {
            bool& sent = errors.sent[component][k];
            if (sent && info->Ah == 0) {
                return Refusal::RESENT;
            }
            sent = true;
            int32_t& refinements = errors.refinements[component][k];
            refinements += info->Ah != 0 ? 1 : 0;
            errors.count.refinements = std::max(errors.count.refinements, refinements);
            if (refinements > JPEG_MAX_REFINEMENTS) {
                return Refusal::REFINED;
            }
        }
    }
    return Refusal::NONE;
}

// libjpeg calls this between units of work; a scan's work is counted when it is met.
void watchScans(j_common_ptr common) {
    auto* info = reinterpret_cast<j_decompress_ptr>(common);
    auto* errors = reinterpret_cast<JpegErrorManager*>(common->err);
    JpegWorkCount& count = errors->count;
    if (info->input_scan_number <= count.scans) {
        return;
    }
    count.scans = info->input_scan_number;
    const uint64_t blocks = uint64_t{info->MCUs_per_row} * info->MCU_rows_in_scan *
                            static_cast<uint64_t>(std::max(info->blocks_in_MCU, 0));
    count.work += jpegScanWork(blocks, info->Ss, info->Se, info->Ah != 0);
    count.blockVisits += blocks;
    const Refusal coefficients = coefficientRefusal(info, *errors);
    if (count.scans > MAX_SCANS || count.work > count.limit || coefficients != Refusal::NONE ||
        count.blockVisits > count.visitLimit) {
        logRefusal(info, count.scans > MAX_SCANS         ? Refusal::SCANS
                         : coefficients != Refusal::NONE ? coefficients
                         : count.work > count.limit      ? Refusal::WORK
                                                         : Refusal::VISITS);
        lastCount = count;
        std::longjmp(errors->jump, 1);
    }
}

// libjpeg's source manager followed by our reader; allocated from libjpeg's permanent pool.
struct JpegMemorySource {
    jpeg_source_mgr base;
    JpegMemoryReader reader;
};
static_assert(std::is_trivially_destructible_v<JpegMemorySource>);
static_assert(std::is_standard_layout_v<JpegMemorySource>);

JpegMemorySource* memorySource(j_decompress_ptr info) {
    return reinterpret_cast<JpegMemorySource*>(info->src);
}

void initSource(j_decompress_ptr) {}

void termSource(j_decompress_ptr) {}

boolean fillInputBuffer(j_decompress_ptr info) {
    JpegMemorySource* source = memorySource(info);
    source->base.bytes_in_buffer = source->reader.fill();
    source->base.next_input_byte = source->reader.buffer;
    return TRUE;
}

void skipInputData(j_decompress_ptr info, long count) {
    if (count <= 0) {
        return;
    }
    JpegMemorySource* source = memorySource(info);
    const size_t wanted = static_cast<size_t>(count);
    if (wanted > source->base.bytes_in_buffer) {
        source->reader.skipSource(wanted - source->base.bytes_in_buffer);
        source->base.next_input_byte = source->reader.buffer;
        source->base.bytes_in_buffer = 0;
    } else {
        source->base.next_input_byte += wanted;
        source->base.bytes_in_buffer -= wanted;
    }
}

void installMemorySource(j_decompress_ptr info, const uint8_t* data, size_t length) {
    void* memory = (*info->mem->alloc_small)(reinterpret_cast<j_common_ptr>(info), JPOOL_PERMANENT,
                                             sizeof(JpegMemorySource));
    auto* source = new (memory) JpegMemorySource{};
    source->base.init_source = initSource;
    source->base.fill_input_buffer = fillInputBuffer;
    source->base.skip_input_data = skipInputData;
    source->base.resync_to_restart = jpeg_resync_to_restart;
    source->base.term_source = termSource;
    source->reader.position = data;
    source->reader.remaining = length;
    info->src = &source->base;
}

// Fatal errors return to the setjmp of decodeInto.
[[noreturn]] void leaveOnJpegError(j_common_ptr info) {
    std::longjmp(reinterpret_cast<JpegErrorManager*>(info->err)->jump, 1);
}

// Warnings about damaged data are not shown; the picture is decoded as far as it goes.
void discardMessage(j_common_ptr) {}

void storeScanline(Image* image, int32_t y, const uint8_t* rgb) {
    uint8_t* row = image->getPixels() + static_cast<size_t>(y) * image->getPitch();
    const int32_t width = image->getWidth();
    if (image->getBytesPerPixel() == 4) {
        for (int32_t x = 0; x < width; ++x, rgb += 3) {
            const uint32_t word =
                0xFF000000u | (uint32_t{rgb[0]} << 16) | (uint32_t{rgb[1]} << 8) | rgb[2];
            std::memcpy(row + static_cast<size_t>(x) * 4, &word, sizeof word);
        }
    } else {
        uint8_t* alpha = image->getAlphaPlane() + static_cast<size_t>(y) * width;
        for (int32_t x = 0; x < width; ++x, rgb += 3) {
            const uint16_t half = static_cast<uint16_t>(((rgb[0] & 0xF8) << 8) |
                                                        ((rgb[1] & 0xFC) << 3) | (rgb[2] >> 3));
            std::memcpy(row + static_cast<size_t>(x) * 2, &half, sizeof half);
            alpha[x] = 255;
        }
    }
}

bool supportedHeader(j_decompress_ptr info) {
    const bool color = info->jpeg_color_space == JCS_YCbCr || info->jpeg_color_space == JCS_RGB ||
                       info->jpeg_color_space == JCS_GRAYSCALE;
    return color && info->image_width > 0 && info->image_height > 0 &&
           info->image_width <= MAX_PICTURE_SIDE && info->image_height <= MAX_PICTURE_SIDE &&
           uint64_t{info->image_width} * info->image_height <= MAX_PICTURE_PIXELS;
}

// Runs libjpeg over the set-up decompressor. libjpeg leaves by longjmp on a fatal error, so
// this frame constructs no object with a destructor, and the one local it changes after
// setjmp, the image, is volatile so that the error path sees it.
Image* decodeInto(j_decompress_ptr info, JpegErrorManager* errors, const uint8_t* data,
                  size_t length) {
    Image* volatile image = nullptr;
    if (setjmp(errors->jump)) {
        if (Image* failed = image) {
            failed->unlock();
            delete failed;
        }
        return nullptr;
    }
    jpeg_create_decompress(info);
    // A progressive picture keeps every coefficient of the picture at once; beyond this bound
    // (room for the largest picture allowed) libjpeg fails instead of allocating.
    info->mem->max_memory_to_use = MAX_JPEG_MEMORY;
    installMemorySource(info, data, length);
    jpeg_read_header(info, TRUE);
    if (!supportedHeader(info)) {
        return nullptr;
    }
    // No picture of ours is arithmetic-coded, and its decoder costs many times Huffman's per
    // block.
    if (info->arith_code) {
        logRefusal(info, Refusal::ARITHMETIC);
        return nullptr;
    }
    errors->count.frameBlocks = frameBlocks(info);
    errors->count.limit = jpegWorkLimit(errors->count.frameBlocks, isYcc(info));
    errors->count.visitLimit = jpegVisitLimit(errors->count.frameBlocks);
    errors->progress.progress_monitor = watchScans;
    info->progress = &errors->progress;
    Image* const made = Image::createImage(static_cast<int32_t>(info->image_width),
                                           static_cast<int32_t>(info->image_height));
    if (!made || !made->lock()) {
        delete made;
        return nullptr;
    }
    image = made;
    // At 4 bytes per pixel libjpeg writes the pixel words, 0xFF000000 | R << 16 | G << 8 | B,
    // itself, straight into the image's rows (B, G, R, 0xFF in memory on a little-endian
    // machine); else it gives R, G, B for each pixel to be packed here.
    const bool words = made->getBytesPerPixel() == 4 && std::endian::native == std::endian::little;
    info->out_color_space = words ? JCS_EXT_BGRA : JCS_RGB;
    jpeg_start_decompress(info);
    if (info->output_components != (words ? 4 : 3) ||
        info->output_width != static_cast<JDIMENSION>(made->getWidth()) ||
        info->output_height != static_cast<JDIMENSION>(made->getHeight())) {
        std::longjmp(errors->jump, 1);
    }
    JSAMPARRAY volatile row = (*info->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(info),
                                                         JPOOL_IMAGE, info->output_width * 3, 1);
    while (info->output_scanline < info->output_height) {
        const auto y = static_cast<int32_t>(info->output_scanline);
        if (words) {
            row[0] = made->getPixels() + static_cast<size_t>(y) * made->getPitch();
        }
        if (jpeg_read_scanlines(info, row, 1) != 1) {
            std::longjmp(errors->jump, 1);
        }
        if (!words) {
            storeScanline(made, y, row[0]);
        }
    }
    image->unlock();
    jpeg_finish_decompress(info);
    lastCount = errors->count;
    return image;
}

Image* decodeJpegMemory(const uint8_t* data, size_t length) {
    lastCount = {};
    jpeg_decompress_struct info{};
    JpegErrorManager errors{};
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = leaveOnJpegError;
    errors.base.output_message = discardMessage;
    Image* image = decodeInto(&info, &errors, data, length);
    jpeg_destroy_decompress(&info);
    return image;
}

}  // namespace

uint64_t jpegScanWork(uint64_t blocks, int32_t firstCoefficient, int32_t lastCoefficient,
                      bool refinement) {
    const auto band =
        static_cast<uint64_t>(std::clamp(lastCoefficient - firstCoefficient + 1, 1, 64));
    return blocks * (JPEG_BLOCK_VISIT_WORK +
                     band * (refinement ? JPEG_REFINEMENT_WORK : JPEG_COEFFICIENT_WORK));
}

uint64_t jpegWorkLimit(uint64_t frameBlocks, bool ycc) {
    const uint64_t plain = jpegScanWork(std::max(frameBlocks, MIN_FRAME_BLOCKS), 0, 63, false);
    return plain * (ycc ? MAX_YCC_WORK : MAX_OTHER_WORK) / 100;
}

uint64_t jpegVisitLimit(uint64_t frameBlocks) {
    return std::max(frameBlocks, MIN_FRAME_BLOCKS) * MAX_PASS_TENTHS / 10;
}

JpegWorkCount lastJpegWorkCount() {
    return lastCount;
}

Image* decodeJpeg(const std::string& path, const uint8_t* buffer, size_t length) {
    if (buffer) {
        return decodeJpegMemory(buffer, length);
    }
    std::vector<uint8_t> bytes;
    if (FileSystem::current().readFile(path, FileArchive::MAX_FILE_SIZE, bytes) !=
        FileReadResult::OK) {
        return nullptr;
    }
    return decodeJpegMemory(bytes.data(), bytes.size());
}

Image* loadJpeg(const std::string& path, bool fromArchive) {
    if (fromArchive && FileArchive::getInstance() &&
        FileArchive::getFileMode() != FileSource::LOOSE_FILES) {
        MemoryBuffer buffer;
        if (!FileArchive::readFile(FileSource::PROCESS_WIDE, path, buffer)) {
            return nullptr;
        }
        return decodeJpeg(path, buffer.getData(), buffer.getSize());
    }
    return decodeJpeg(path, nullptr, 0);
}
