#include "framework/platform/PngDecoder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "framework/core/RefHolder.h"
#include "framework/platform/DisplayDepth.h"
#include "framework/platform/Image.h"
#include "framework/platform/MemoryBuffer.h"
#include "testsupport/TempFolder.h"
#include "testsupport/platform/PictureEncoder.h"
#include "testsupport/platform/PixelAccess.h"

namespace png_decoder_test {

struct Argb {
    uint8_t a, r, g, b;
};

// A picture and what every pixel must become: its ARGB value and its mask byte.
struct Sample {
    std::string name;
    PngSpec spec;
    std::vector<Argb> pixels;
    std::vector<uint8_t> mask;
};

// Small deterministic generator, so failures repeat.
struct Numbers {
    uint32_t state;
    uint32_t next(uint32_t bound) {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) % bound;
    }
};

// Stores `value` of `bits` bits at pixel `x` of a packed row (leftmost pixel in the high bits).
void putBits(std::vector<uint8_t>& row, int x, int bits, uint32_t value) {
    if (bits == 16) {
        row[x * 2u] = static_cast<uint8_t>(value >> 8);
        row[x * 2u + 1] = static_cast<uint8_t>(value);
    } else if (bits == 8) {
        row[x] = static_cast<uint8_t>(value);
    } else {
        const int perByte = 8 / bits;
        const int shift = 8 - bits * (x % perByte + 1);
        row[x / perByte] |= static_cast<uint8_t>(value << shift);
    }
}

// A 16-bit sample that any rounding to 8 bits brings back to `value`.
uint32_t wide(uint32_t value, Numbers& numbers) {
    const int32_t sample =
        static_cast<int32_t>(value * 257) + static_cast<int32_t>(numbers.next(201)) - 100;
    return static_cast<uint32_t>(std::clamp(sample, 0, 65535));
}

// Builds a picture of `channels` samples per pixel; `pixel` chooses the 8-bit meaning of each
// pixel and `store` writes it into the row at the picture's bit depth.
Sample makeSample(const std::string& name, int colorType, int bitDepth, int channels, uint32_t seed,
                  bool interlaced = false) {
    Sample sample;
    sample.name = name;
    PngSpec& spec = sample.spec;
    spec.width = 13;
    spec.height = 7;
    spec.colorType = colorType;
    spec.bitDepth = bitDepth;
    spec.interlaced = interlaced;
    Numbers numbers{seed};
    const int rowBytes = (spec.width * channels * bitDepth + 7) / 8;
    const uint32_t levels = 1u << std::min(bitDepth, 8);
    if (colorType == PNG_COLOR_TYPE_PALETTE) {
        for (uint32_t k = 0; k < levels; ++k) {
            spec.palette.push_back({static_cast<png_byte>(numbers.next(256)),
                                    static_cast<png_byte>(numbers.next(256)),
                                    static_cast<png_byte>(numbers.next(256))});
        }
    }
    for (int y = 0; y < spec.height; ++y) {
        std::vector<uint8_t> row(static_cast<size_t>(rowBytes));
        for (int x = 0; x < spec.width; ++x) {
            uint32_t v[4];
            for (uint32_t& value : v) {
                value = numbers.next(256);
            }
            Argb argb{};
            if (colorType == PNG_COLOR_TYPE_PALETTE) {
                const uint32_t index = numbers.next(levels);
                putBits(row, x, bitDepth, index);
                const png_color& entry = spec.palette[index];
                argb = {255, entry.red, entry.green, entry.blue};
            } else if (colorType == PNG_COLOR_TYPE_GRAY) {
                if (bitDepth < 8) {
                    const uint32_t level = numbers.next(levels);
                    putBits(row, x, bitDepth, level);
                    v[0] = level * 255 / (levels - 1);
                } else {
                    putBits(row, x, bitDepth, bitDepth == 16 ? wide(v[0], numbers) : v[0]);
                }
                argb = {255, static_cast<uint8_t>(v[0]), static_cast<uint8_t>(v[0]),
                        static_cast<uint8_t>(v[0])};
            } else {
                for (int c = 0; c < channels; ++c) {
                    putBits(row, x * channels + c, bitDepth,
                            bitDepth == 16 ? wide(v[c], numbers) : v[c]);
                }
                const auto byte = [&](int c) { return static_cast<uint8_t>(v[c]); };
                if (colorType == PNG_COLOR_TYPE_GRAY_ALPHA) {
                    argb = {byte(1), byte(0), byte(0), byte(0)};
                } else if (colorType == PNG_COLOR_TYPE_RGB) {
                    argb = {255, byte(0), byte(1), byte(2)};
                } else {
                    argb = {byte(3), byte(0), byte(1), byte(2)};
                }
            }
            sample.pixels.push_back(argb);
            sample.mask.push_back(argb.r);
        }
        spec.rows.push_back(std::move(row));
    }
    return sample;
}

std::vector<Sample> everySupportedKind() {
    std::vector<Sample> samples;
    for (int bits : {1, 2, 4, 8}) {
        samples.push_back(makeSample("palette " + std::to_string(bits), PNG_COLOR_TYPE_PALETTE,
                                     bits, 1, 10u + bits));
    }
    for (int bits : {1, 2, 4, 8, 16}) {
        samples.push_back(
            makeSample("grey " + std::to_string(bits), PNG_COLOR_TYPE_GRAY, bits, 1, 20u + bits));
    }
    for (int bits : {8, 16}) {
        samples.push_back(makeSample("grey+alpha " + std::to_string(bits),
                                     PNG_COLOR_TYPE_GRAY_ALPHA, bits, 2, 30u + bits));
        samples.push_back(
            makeSample("RGB " + std::to_string(bits), PNG_COLOR_TYPE_RGB, bits, 3, 40u + bits));
        samples.push_back(makeSample("RGBA " + std::to_string(bits), PNG_COLOR_TYPE_RGB_ALPHA, bits,
                                     4, 50u + bits));
    }
    samples.push_back(makeSample("RGBA interlaced", PNG_COLOR_TYPE_RGB_ALPHA, 8, 4, 60u, true));
    samples.push_back(makeSample("palette interlaced", PNG_COLOR_TYPE_PALETTE, 4, 1, 61u, true));
    return samples;
}

uint16_t toRgb565(const Argb& p) {
    return static_cast<uint16_t>(((p.r & 0xF8) << 8) | ((p.g & 0xFC) << 3) | (p.b >> 3));
}

// Compares every pixel with the expected ARGB values at the image's depth.
void expectPixels(Image* image, int width, int height, const std::vector<Argb>& expected,
                  const std::string& what, bool followsDisplay = true) {
    ASSERT_NE(image, nullptr) << what;
    ASSERT_EQ(image->getWidth(), width) << what;
    ASSERT_EQ(image->getHeight(), height) << what;
    EXPECT_EQ(image->getFollowsDisplayDepth(), followsDisplay) << what;
    int wrong = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Argb& p = expected[static_cast<size_t>(y) * width + x];
            if (image->getBytesPerPixel() == 4) {
                const uint32_t word =
                    (uint32_t{p.a} << 24) | (uint32_t{p.r} << 16) | (uint32_t{p.g} << 8) | p.b;
                wrong += testpixels::get32(image, x, y) != word;
            } else {
                wrong += testpixels::get16(image, x, y) != toRgb565(p);
                wrong += image->getAlphaPlane()[static_cast<size_t>(y) * width + x] != p.a;
            }
        }
    }
    EXPECT_EQ(wrong, 0) << what << " at " << image->getBytesPerPixel() << " bytes per pixel";
}

class PngDecoderTest : public ::testing::Test {
protected:
    ~PngDecoderTest() override { setDisplayBytesPerPixel(4); }
};

TEST_F(PngDecoderTest, EverySupportedKindDecodesExactlyAtBothDepths) {
    for (const Sample& sample : everySupportedKind()) {
        const std::vector<uint8_t> file = encodePng(sample.spec);
        for (int depth : {4, 2}) {
            setDisplayBytesPerPixel(depth);
            RefHolder<Image> image = loadPngMemory(file.data(), file.size(), 0);
            ASSERT_TRUE(image) << sample.name;
            EXPECT_EQ(image->getBytesPerPixel(), depth) << sample.name;
            EXPECT_FALSE(image->isLocked()) << sample.name;
            expectPixels(image.get(), sample.spec.width, sample.spec.height, sample.pixels,
                         sample.name);
        }
    }
}

TEST_F(PngDecoderTest, FullColorKeepsFourBytesWhateverTheDisplayDepth) {
    for (const Sample& sample : everySupportedKind()) {
        const std::vector<uint8_t> file = encodePng(sample.spec);
        for (int depth : {2, 4}) {
            setDisplayBytesPerPixel(depth);
            RefHolder<Image> image =
                loadPngMemory(file.data(), file.size(), PngDecodeFlags::FULL_COLOR);
            ASSERT_TRUE(image) << sample.name;
            EXPECT_EQ(image->getBytesPerPixel(), 4) << sample.name;
            // A later change of the display's depth leaves it as it is.
            image->convert(2);
            expectPixels(image.get(), sample.spec.width, sample.spec.height, sample.pixels,
                         sample.name + " in full color", false);
        }
    }
}

TEST_F(PngDecoderTest, MasksTakeTheFirstColorComponent) {
    for (const Sample& sample : everySupportedKind()) {
        const std::vector<uint8_t> file = encodePng(sample.spec);
        for (uint32_t flags : {PngDecodeFlags::ALPHA_ONLY,
                               PngDecodeFlags::ALPHA_ONLY | PngDecodeFlags::GREY_IS_ALPHA}) {
            RefHolder<Image> mask = loadPngMemory(file.data(), file.size(), flags);
            ASSERT_TRUE(mask) << sample.name;
            ASSERT_EQ(mask->getBytesPerPixel(), 1) << sample.name;
            EXPECT_EQ(mask->getPixels(), nullptr);
            EXPECT_FALSE(mask->getFollowsDisplayDepth());
            const std::vector<uint8_t> bytes(mask->getAlphaPlane(),
                                             mask->getAlphaPlane() + sample.mask.size());
            EXPECT_EQ(bytes, sample.mask) << sample.name;
        }
    }
}

TEST_F(PngDecoderTest, GreyIsAlphaMakesBlackPixelsOfThatOpacity) {
    for (int bits : {8, 4}) {
        Sample sample = makeSample("grey", PNG_COLOR_TYPE_GRAY, bits, 1, 77u);
        const std::vector<uint8_t> file = encodePng(sample.spec);
        std::vector<Argb> black;
        for (const Argb& p : sample.pixels) {
            black.push_back({p.r, 0, 0, 0});
        }
        for (int depth : {4, 2}) {
            setDisplayBytesPerPixel(depth);
            RefHolder<Image> image =
                loadPngMemory(file.data(), file.size(), PngDecodeFlags::GREY_IS_ALPHA);
            expectPixels(image.get(), sample.spec.width, sample.spec.height, black, "grey");
        }
    }
    // Only grey pictures: an RGB picture keeps its colors and full opacity.
    Sample rgb = makeSample("RGB", PNG_COLOR_TYPE_RGB, 8, 3, 78u);
    const std::vector<uint8_t> file = encodePng(rgb.spec);
    RefHolder<Image> image = loadPngMemory(file.data(), file.size(), PngDecodeFlags::GREY_IS_ALPHA);
    expectPixels(image.get(), rgb.spec.width, rgb.spec.height, rgb.pixels, "RGB");
}

TEST_F(PngDecoderTest, TransparencyChunksAreIgnored) {
    Sample palette = makeSample("palette", PNG_COLOR_TYPE_PALETTE, 8, 1, 90u);
    palette.spec.withTransparency = true;
    palette.spec.paletteAlphas.assign(palette.spec.palette.size(), 0);
    Sample smallPalette = makeSample("palette 2", PNG_COLOR_TYPE_PALETTE, 2, 1, 91u);
    smallPalette.spec.withTransparency = true;
    smallPalette.spec.paletteAlphas = {0, 10, 20};
    Sample grey = makeSample("grey 2", PNG_COLOR_TYPE_GRAY, 2, 1, 92u);
    grey.spec.withTransparency = true;
    grey.spec.transparentColor.gray = 1;
    Sample rgb = makeSample("RGB", PNG_COLOR_TYPE_RGB, 8, 3, 93u);
    rgb.spec.withTransparency = true;
    rgb.spec.transparentColor = {0, rgb.spec.rows[0][0], rgb.spec.rows[0][1], rgb.spec.rows[0][2],
                                 0};
    for (const Sample* sample : {&palette, &smallPalette, &grey, &rgb}) {
        const std::vector<uint8_t> file = encodePng(sample->spec);
        for (int depth : {4, 2}) {
            setDisplayBytesPerPixel(depth);
            RefHolder<Image> image = loadPngMemory(file.data(), file.size(), 0);
            expectPixels(image.get(), sample->spec.width, sample->spec.height, sample->pixels,
                         sample->name + " with tRNS");
        }
    }
}

TEST_F(PngDecoderTest, FilesAndBuffersGiveTheSamePicture) {
    TempFolder folder;
    Sample sample = makeSample("RGBA", PNG_COLOR_TYPE_RGB_ALPHA, 8, 4, 5u);
    const std::vector<uint8_t> file = encodePng(sample.spec);
    writeTestFile(folder / "a.png", std::string(file.begin(), file.end()));
    EXPECT_TRUE(isPngFile(folder / "a.png"));
    RefHolder<Image> fromFile = loadPngFile(folder / "a.png", 0);
    expectPixels(fromFile.get(), sample.spec.width, sample.spec.height, sample.pixels, "file");

    MemoryBuffer buffer;
    buffer.assign(std::vector<uint8_t>(file));
    RefHolder<Image> fromBuffer = loadPngMemory(buffer, 0);
    expectPixels(fromBuffer.get(), sample.spec.width, sample.spec.height, sample.pixels, "buffer");

    EXPECT_FALSE(isPngFile(folder / "missing.png"));
    EXPECT_EQ(loadPngFile(folder / "missing.png", 0), nullptr);
}

TEST_F(PngDecoderTest, TheWholeSignatureIsRequired) {
    TempFolder folder;
    const std::vector<uint8_t> file =
        encodePng(makeSample("RGB", PNG_COLOR_TYPE_RGB, 8, 3, 6u).spec);
    // The first four bytes match; the rest of the signature does not.
    std::vector<uint8_t> halfSignature = file;
    halfSignature[6] = 'x';
    EXPECT_EQ(loadPngMemory(halfSignature.data(), halfSignature.size(), 0), nullptr);
    writeTestFile(folder / "half.png", std::string(halfSignature.begin(), halfSignature.end()));
    EXPECT_FALSE(isPngFile(folder / "half.png"));
    EXPECT_EQ(loadPngFile(folder / "half.png", 0), nullptr);
    // Buffers shorter than the signature are not read at all (a short copy sits at the end of
    // a larger allocation, so the sanitizer sees any read beyond it).
    for (size_t length = 0; length < 8; ++length) {
        std::vector<uint8_t> shortCopy(file.begin(), file.begin() + static_cast<long>(length));
        EXPECT_EQ(loadPngMemory(shortCopy.data(), shortCopy.size(), 0), nullptr) << length;
    }
    EXPECT_EQ(loadPngMemory(nullptr, 100, 0), nullptr);
    writeTestFile(folder / "sig.png", std::string(file.begin(), file.begin() + 8));
    EXPECT_TRUE(isPngFile(folder / "sig.png"));
    EXPECT_EQ(loadPngFile(folder / "sig.png", 0), nullptr);
}

TEST_F(PngDecoderTest, EveryTruncationGivesNoImage) {
    for (const Sample& sample : {makeSample("RGBA", PNG_COLOR_TYPE_RGB_ALPHA, 8, 4, 7u),
                                 makeSample("palette", PNG_COLOR_TYPE_PALETTE, 8, 1, 8u)}) {
        const std::vector<uint8_t> file = encodePng(sample.spec);
        int images = 0;
        for (size_t length = 0; length < file.size(); ++length) {
            // An exact-size copy, so reading one byte too far is a sanitizer report.
            std::vector<uint8_t> prefix(file.begin(), file.begin() + static_cast<long>(length));
            RefHolder<Image> image = loadPngMemory(prefix.data(), prefix.size(), 0);
            images += image ? 1 : 0;
        }
        EXPECT_EQ(images, 0) << sample.name;
    }
}

// The signature followed by the given chunks.
std::vector<uint8_t> pngOf(const std::vector<std::vector<uint8_t>>& chunks) {
    std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    for (const std::vector<uint8_t>& chunk : chunks) {
        out.insert(out.end(), chunk.begin(), chunk.end());
    }
    return out;
}

std::vector<uint8_t> header(uint32_t width, uint32_t height, uint8_t depth, uint8_t type) {
    return pngChunk("IHDR", {static_cast<uint8_t>(width >> 24), static_cast<uint8_t>(width >> 16),
                             static_cast<uint8_t>(width >> 8), static_cast<uint8_t>(width),
                             static_cast<uint8_t>(height >> 24), static_cast<uint8_t>(height >> 16),
                             static_cast<uint8_t>(height >> 8), static_cast<uint8_t>(height), depth,
                             type, 0, 0, 0});
}

// A compressed stream of `bytes` zeros: valid image data for pictures of that many row bytes.
std::vector<uint8_t> zeros(size_t bytes) {
    std::vector<uint8_t> raw(bytes, 0);
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    std::vector<uint8_t> packed(size);
    compress(packed.data(), &size, raw.data(), static_cast<uLong>(raw.size()));
    packed.resize(size);
    return packed;
}

TEST_F(PngDecoderTest, HostilePicturesGiveNoImage) {
    const std::vector<uint8_t> end = pngChunk("IEND", {});
    // A valid tiny picture built the same way, so the failures below are the damage's.
    const std::vector<uint8_t> good = pngOf({header(2, 2, 8, 2), pngChunk("IDAT", zeros(14)), end});
    RefHolder<Image> control = loadPngMemory(good.data(), good.size(), 0);
    ASSERT_TRUE(control);

    const std::vector<std::pair<std::string, std::vector<uint8_t>>> hostile = {
        {"huge width", pngOf({header(1000000, 1, 8, 6), pngChunk("IDAT", zeros(16)), end})},
        {"huge both", pngOf({header(60000, 60000, 8, 6), pngChunk("IDAT", zeros(16)), end})},
        {"over the pixel budget",
         pngOf({header(16384, 16384, 8, 6), pngChunk("IDAT", zeros(16)), end})},
        {"zero width", pngOf({header(0, 2, 8, 2), pngChunk("IDAT", zeros(14)), end})},
        {"bad bit depth", pngOf({header(2, 2, 3, 2), pngChunk("IDAT", zeros(14)), end})},
        {"bad color type", pngOf({header(2, 2, 8, 5), pngChunk("IDAT", zeros(14)), end})},
        {"palette without PLTE", pngOf({header(2, 2, 8, 3), pngChunk("IDAT", zeros(6)), end})},
        {"unknown critical chunk", pngOf({header(2, 2, 8, 2), pngChunk("QUUX", {1, 2, 3}),
                                          pngChunk("IDAT", zeros(14)), end})},
        {"no image data", pngOf({header(2, 2, 8, 2), end})},
        {"too little image data", pngOf({header(2, 2, 8, 2), pngChunk("IDAT", zeros(7)), end})},
        {"not deflate data", pngOf({header(2, 2, 8, 2), pngChunk("IDAT", {1, 2, 3, 4, 5}), end})},
        {"chunk length beyond the data",
         pngOf({header(2, 2, 8, 2), {0x7F, 0xFF, 0xFF, 0xF0, 'I', 'D', 'A', 'T', 0, 0}})},
    };
    for (const auto& [name, bytes] : hostile) {
        for (uint32_t flags : {0u, PngDecodeFlags::ALPHA_ONLY}) {
            EXPECT_EQ(loadPngMemory(bytes.data(), bytes.size(), flags), nullptr) << name;
        }
    }

    // A wrong CRC in a critical chunk.
    std::vector<uint8_t> badCrc = good;
    badCrc[8 + 8 + 13] ^= 0x55;
    EXPECT_EQ(loadPngMemory(badCrc.data(), badCrc.size(), 0), nullptr);
}

TEST_F(PngDecoderTest, PicturesOverThePixelCountAreRefused) {
    // One-bit grey pictures of blank rows: small files, the cap decides alone. At the cap a
    // picture decodes whatever its shape; one row more is refused.
    const std::vector<uint8_t> end = pngChunk("IEND", {});
    auto blank = [&](uint32_t width, uint32_t height) {
        return pngOf({header(width, height, 1, 0),
                      pngChunk("IDAT", zeros(static_cast<size_t>((width + 7) / 8 + 1) * height)),
                      end});
    };
    const std::vector<uint8_t> atCap = blank(2048, 8192);
    RefHolder<Image> image = loadPngMemory(atCap.data(), atCap.size(), PngDecodeFlags::ALPHA_ONLY);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->getHeight(), 8192);
    for (const auto& [width, height] : {std::pair{4096u, 4097u}, std::pair{16384u, 1025u}}) {
        const std::vector<uint8_t> over = blank(width, height);
        EXPECT_EQ(loadPngMemory(over.data(), over.size(), PngDecodeFlags::ALPHA_ONLY), nullptr)
            << width << "x" << height;
    }
}

TEST_F(PngDecoderTest, DamagedBytesNeverReadOutOfBounds) {
    // Each byte of a real file in turn is damaged; the decoder must reject or decode, never
    // overrun (the sanitizer build checks the latter).
    const std::vector<uint8_t> file =
        encodePng(makeSample("RGBA", PNG_COLOR_TYPE_RGB_ALPHA, 16, 4, 9u, true).spec);
    int decoded = 0;
    for (size_t at = 8; at < file.size(); ++at) {
        std::vector<uint8_t> damaged = file;
        damaged[at] ^= 0xA5;
        RefHolder<Image> image = loadPngMemory(damaged.data(), damaged.size(), 0);
        decoded += image ? 1 : 0;
    }
    // Every chunk is CRC-checked, so only the damage libpng tolerates by design (none in a file
    // of critical chunks alone) could still decode.
    EXPECT_EQ(decoded, 0);
}

TEST_F(PngDecoderTest, RowsOfAnUnknownDepthMakeNoImage) {
    const uint8_t row[4] = {1, 2, 3, 4};
    const uint8_t* rows[1] = {row};
    PngPicture picture;
    picture.width = 1;
    picture.height = 1;
    picture.rows = rows;
    picture.pixelDepth = 16;
    EXPECT_EQ(pngRowsToImage(picture, 0), nullptr);
    picture.pixelDepth = 32;
    RefHolder<Image> image = pngRowsToImage(picture, 0);
    ASSERT_TRUE(image);
    EXPECT_EQ(testpixels::get32(image.get(), 0, 0), 0x01020304u);
}

}  // namespace png_decoder_test
