#pragma once

// Test pictures made with libpng's and libjpeg's own encoders, so the decoders are checked
// against files of every kind without shipping any.

#include <png.h>
#include <zlib.h>

#include <jpeglib.h>
#include <cstdio>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

struct PngSpec {
    int width = 1;
    int height = 1;
    int colorType = PNG_COLOR_TYPE_RGB;
    int bitDepth = 8;
    bool interlaced = false;
    // Row bytes exactly as stored in the file (big-endian 16-bit samples, packed sub-byte ones).
    std::vector<std::vector<uint8_t>> rows;
    std::vector<png_color> palette;
    // A tRNS chunk: palette alphas, or one grey/RGB color given as `transparentColor`.
    bool withTransparency = false;
    std::vector<uint8_t> paletteAlphas;
    png_color_16 transparentColor{};
};

inline void appendToVector(png_structp png, png_bytep data, size_t length) {
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

inline void flushNothing(png_structp) {}

inline std::vector<uint8_t> encodePng(const PngSpec& spec) {
    std::vector<uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &out, appendToVector, flushNothing);
    png_set_IHDR(png, info, static_cast<png_uint_32>(spec.width),
                 static_cast<png_uint_32>(spec.height), spec.bitDepth, spec.colorType,
                 spec.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!spec.palette.empty()) {
        png_set_PLTE(png, info, spec.palette.data(), static_cast<int>(spec.palette.size()));
    }
    if (spec.withTransparency) {
        png_color_16 color = spec.transparentColor;
        png_set_tRNS(png, info, spec.paletteAlphas.empty() ? nullptr : spec.paletteAlphas.data(),
                     static_cast<int>(spec.paletteAlphas.size()), &color);
    }
    png_write_info(png, info);
    std::vector<png_bytep> rows;
    for (const std::vector<uint8_t>& row : spec.rows) {
        rows.push_back(const_cast<png_bytep>(row.data()));
    }
    png_write_image(png, rows.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}

// Bytes of one chunk with a correct CRC.
inline std::vector<uint8_t> pngChunk(const char type[4], const std::vector<uint8_t>& data) {
    std::vector<uint8_t> out;
    const uint32_t length = static_cast<uint32_t>(data.size());
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<uint8_t>(length >> shift));
    }
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    // zlib answers its initial value for a null buffer, so empty data is not passed on.
    uLong crc = crc32(0, reinterpret_cast<const Bytef*>(type), 4);
    if (!data.empty()) {
        crc = crc32(crc, data.data(), static_cast<uInt>(data.size()));
    }
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<uint8_t>(crc >> shift));
    }
    return out;
}

struct JpegSpec {
    int width = 1;
    int height = 1;
    int components = 3;
    J_COLOR_SPACE colorSpace = JCS_RGB;
    int quality = 95;
    bool progressive = false;
    bool arithmetic = false;
    // The file's color space when known (libjpeg's default turns RGB into YCbCr), and the first
    // component's sampling factors when not 0 (libjpeg's default, 2 x 2, is 4:2:0).
    J_COLOR_SPACE fileColorSpace = JCS_UNKNOWN;
    int hSampling = 0, vSampling = 0;
    std::vector<jpeg_scan_info> scans;  // the scan script, when not empty
    std::vector<uint8_t> pixels;        // width * height * components
};

inline std::vector<uint8_t> encodeJpeg(const JpegSpec& spec) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* memory = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &memory, &size);
    info.image_width = static_cast<JDIMENSION>(spec.width);
    info.image_height = static_cast<JDIMENSION>(spec.height);
    info.input_components = spec.components;
    info.in_color_space = spec.colorSpace;
    jpeg_set_defaults(&info);
    if (spec.fileColorSpace != JCS_UNKNOWN) {
        jpeg_set_colorspace(&info, spec.fileColorSpace);
    }
    jpeg_set_quality(&info, spec.quality, TRUE);
    if (spec.hSampling > 0) {
        info.comp_info[0].h_samp_factor = spec.hSampling;
        info.comp_info[0].v_samp_factor = spec.vSampling;
    }
    if (spec.progressive) {
        jpeg_simple_progression(&info);
    }
    info.scan_info = spec.scans.empty() ? info.scan_info : spec.scans.data();
    info.num_scans = spec.scans.empty() ? info.num_scans : static_cast<int>(spec.scans.size());
    info.arith_code = spec.arithmetic;
    jpeg_start_compress(&info, TRUE);
    const size_t stride = static_cast<size_t>(spec.width) * spec.components;
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(spec.pixels.data() + stride * info.next_scanline);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::vector<uint8_t> out(memory, memory + size);
    std::free(memory);
    return out;
}

// The file with its frame header (FF C0 baseline, FF C2 progressive: length, precision, height,
// width) claiming another size; empty when the file has no such header.
inline std::vector<uint8_t> withFrameSize(const std::vector<uint8_t>& file, uint8_t marker,
                                          int width, int height) {
    for (size_t frame = 0; frame + 8 < file.size(); ++frame) {
        if (file[frame] == 0xFF && file[frame + 1] == marker) {
            std::vector<uint8_t> bytes = file;
            bytes[frame + 5] = static_cast<uint8_t>(height >> 8);
            bytes[frame + 6] = static_cast<uint8_t>(height);
            bytes[frame + 7] = static_cast<uint8_t>(width >> 8);
            bytes[frame + 8] = static_cast<uint8_t>(width);
            return bytes;
        }
    }
    return {};
}

// The file with its last scan (from its last FF DA marker to the end marker) repeated `times`
// more times: a progressive picture whose scan count nothing in the format bounds.
inline std::vector<uint8_t> withRepeatedLastScan(const std::vector<uint8_t>& file, int times) {
    size_t scan = file.size() - 2;
    while (scan > 0 && !(file[scan] == 0xFF && file[scan + 1] == 0xDA)) {
        --scan;
    }
    std::vector<uint8_t> bytes(file.begin(), file.end() - 2);
    for (int i = 0; i < times; ++i) {
        bytes.insert(bytes.end(), file.begin() + static_cast<std::ptrdiff_t>(scan), file.end() - 2);
    }
    bytes.insert(bytes.end(), {0xFF, 0xD9});
    return bytes;
}

// A reference decode through libjpeg's own memory source: the RGB (or grey) samples the
// decoder under test must store.
inline std::vector<uint8_t> referenceJpegSamples(const std::vector<uint8_t>& file,
                                                 J_COLOR_SPACE outSpace, int& width, int& height) {
    jpeg_decompress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, file.data(), static_cast<unsigned long>(file.size()));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = outSpace;
    jpeg_start_decompress(&info);
    width = static_cast<int>(info.output_width);
    height = static_cast<int>(info.output_height);
    const size_t stride = static_cast<size_t>(width) * info.output_components;
    std::vector<uint8_t> samples(stride * height);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = samples.data() + stride * info.output_scanline;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return samples;
}
