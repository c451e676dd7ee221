#include "framework/platform/JpegDecoder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "framework/core/ProblemLog.h"
#include "framework/core/RefHolder.h"
#include "framework/platform/DisplayDepth.h"
#include "framework/platform/FileArchive.h"
#include "framework/platform/Image.h"
#include "testsupport/TempFolder.h"
#include "testsupport/platform/PictureEncoder.h"
#include "testsupport/platform/PixelAccess.h"
#include "testsupport/platform/ZipBuilder.h"

namespace jpeg_decoder_test {

// Smooth color bands with a few hard edges, so the picture has real detail in every block.
JpegSpec colorPicture(int width, int height, int components) {
    JpegSpec spec;
    spec.width = width;
    spec.height = height;
    spec.components = components;
    spec.colorSpace = components == 1 ? JCS_GRAYSCALE : JCS_RGB;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const uint8_t r = static_cast<uint8_t>(x * 255 / std::max(1, width - 1));
            const uint8_t g = static_cast<uint8_t>(y * 255 / std::max(1, height - 1));
            const uint8_t b = static_cast<uint8_t>(((x / 8 + y / 8) % 2) * 200 + 20);
            if (components == 1) {
                spec.pixels.push_back(static_cast<uint8_t>((r + g + b) / 3));
            } else {
                spec.pixels.insert(spec.pixels.end(), {r, g, b});
            }
        }
    }
    return spec;
}

// Checks the image against libjpeg's own decode of the file, sample for sample.
void expectReferencePixels(Image* image, const std::vector<uint8_t>& file, bool grey,
                           const std::string& what) {
    int width = 0;
    int height = 0;
    const std::vector<uint8_t> samples =
        referenceJpegSamples(file, grey ? JCS_GRAYSCALE : JCS_RGB, width, height);
    ASSERT_NE(image, nullptr) << what;
    ASSERT_EQ(image->getWidth(), width);
    ASSERT_EQ(image->getHeight(), height);
    EXPECT_TRUE(image->getFollowsDisplayDepth());
    EXPECT_FALSE(image->isLocked());
    const size_t components = grey ? 1 : 3;
    int wrong = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const uint8_t* s = &samples[(static_cast<size_t>(y) * width + x) * components];
            const uint32_t r = s[0];
            const uint32_t g = grey ? s[0] : s[1];
            const uint32_t b = grey ? s[0] : s[2];
            if (image->getBytesPerPixel() == 4) {
                wrong += testpixels::get32(image, x, y) != (0xFF000000u | r << 16 | g << 8 | b);
            } else {
                const uint16_t half =
                    static_cast<uint16_t>(((r & 0xF8) << 8) | ((g & 0xFC) << 3) | (b >> 3));
                wrong += testpixels::get16(image, x, y) != half;
                wrong += image->getAlphaPlane()[static_cast<size_t>(y) * width + x] != 255;
            }
        }
    }
    EXPECT_EQ(wrong, 0) << what << " at " << image->getBytesPerPixel() << " bytes per pixel";
}

// Whether the file decodes (the picture released at once).
bool decodes(const std::vector<uint8_t>& file) {
    return RefHolder<Image>(decodeJpeg("", file.data(), file.size())).get() != nullptr;
}

class JpegDecoderTest : public ::testing::Test {
protected:
    ~JpegDecoderTest() override {
        setDisplayBytesPerPixel(4);
        FileArchive::close();
    }
};

TEST_F(JpegDecoderTest, ColorAndGreyPicturesDecodeExactlyAtBothDepths) {
    struct Kind {
        std::string name;
        JpegSpec spec;
    };
    std::vector<Kind> kinds = {{"RGB", colorPicture(37, 23, 3)},
                               {"grey", colorPicture(37, 23, 1)},
                               {"progressive", colorPicture(64, 40, 3)}};
    kinds[2].spec.progressive = true;
    for (const Kind& kind : kinds) {
        const std::vector<uint8_t> file = encodeJpeg(kind.spec);
        for (int depth : {4, 2}) {
            setDisplayBytesPerPixel(depth);
            RefHolder<Image> image = decodeJpeg("", file.data(), file.size());
            ASSERT_TRUE(image) << kind.name;
            EXPECT_EQ(image->getBytesPerPixel(), depth);
            expectReferencePixels(image.get(), file, kind.spec.components == 1, kind.name);
        }
    }
}

TEST_F(JpegDecoderTest, DecodedColorsAreThePictureColors) {
    // The reference decode itself is checked against the encoded colors (JPEG is lossy, so
    // within a tolerance): a flat orange picture comes out orange.
    JpegSpec spec;
    spec.width = 16;
    spec.height = 16;
    for (int k = 0; k < 256; ++k) {
        spec.pixels.insert(spec.pixels.end(), {240, 120, 16});
    }
    const std::vector<uint8_t> file = encodeJpeg(spec);
    RefHolder<Image> image = decodeJpeg("", file.data(), file.size());
    ASSERT_TRUE(image);
    const uint32_t word = testpixels::get32(image.get(), 7, 9);
    EXPECT_EQ(word >> 24, 0xFFu);
    EXPECT_NEAR(static_cast<int>((word >> 16) & 0xFF), 240, 3);
    EXPECT_NEAR(static_cast<int>((word >> 8) & 0xFF), 120, 3);
    EXPECT_NEAR(static_cast<int>(word & 0xFF), 16, 3);
}

TEST_F(JpegDecoderTest, CmykPicturesAreRefused) {
    JpegSpec spec;
    spec.width = 8;
    spec.height = 8;
    spec.components = 4;
    spec.colorSpace = JCS_CMYK;
    spec.pixels.assign(8 * 8 * 4, 90);
    EXPECT_FALSE(decodes(encodeJpeg(spec)));
}

TEST_F(JpegDecoderTest, PicturesOverThePixelCountAreRefused) {
    // Small files whose frame header claims another size: libjpeg completes what the data
    // lacks, so only the size decides.
    for (const bool progressive : {false, true}) {
        JpegSpec spec = colorPicture(16, 16, 3);
        spec.progressive = progressive;
        const std::vector<uint8_t> file = encodeJpeg(spec);
        const uint8_t marker = progressive ? 0xC2 : 0xC0;
        auto sized = [&](int width, int height) {
            return withFrameSize(file, marker, width, height);
        };
        const std::vector<uint8_t> larger = sized(40, 24);
        RefHolder<Image> image = decodeJpeg("", larger.data(), larger.size());
        ASSERT_TRUE(image) << progressive;
        EXPECT_EQ(image->getWidth(), 40);
        for (const auto& [width, height] : {std::pair{4097, 4096}, std::pair{8000, 8000}}) {
            const std::vector<uint8_t> huge = sized(width, height);
            EXPECT_EQ(decodeJpeg("", huge.data(), huge.size()), nullptr) << width << progressive;
        }
    }
}

TEST_F(JpegDecoderTest, ScansAreBoundedByTheirWork) {
    // 64 x 40: 72 blocks in 4 x 3 MCUs; the luma alone 8 x 5 blocks, each chroma 4 x 3. The
    // simple progression: DC, luma 1-5, chroma 1-63, luma 6-63 and the refinements.
    JpegSpec spec = colorPicture(64, 40, 3);
    spec.progressive = true;
    const std::vector<uint8_t> file = encodeJpeg(spec);
    const uint64_t refinement = jpegScanWork(40, 1, 63, true);
    const uint64_t progression = jpegScanWork(72, 0, 0, false) + jpegScanWork(72, 0, 0, true) +
                                 jpegScanWork(40, 1, 5, false) + jpegScanWork(40, 6, 63, false) +
                                 2 * jpegScanWork(12, 1, 63, false) +
                                 2 * jpegScanWork(12, 1, 63, true) + 2 * refinement;
    std::vector<std::string> problems;
    setProblemSink([&](const std::string& line) { problems.push_back(line); });
    // The luma's last refinement once more, a third, is met at its work and refused.
    for (const int repeats : {0, 1}) {
        EXPECT_EQ(decodes(withRepeatedLastScan(file, repeats)), repeats == 0);
        EXPECT_EQ(lastJpegWorkCount().work, progression + repeats * refinement);
        EXPECT_EQ(lastJpegWorkCount().refinements, 2 + repeats);
    }
    // libjpeg's own progression of every sampling, of a grey picture and of RGB components
    // decodes; a luma refinement more is refused.
    const struct {
        int components, h, v;
        J_COLOR_SPACE space;
    } samplings[] = {{3, 1, 1, JCS_YCbCr},     {3, 2, 1, JCS_YCbCr}, {3, 1, 2, JCS_YCbCr},
                     {3, 2, 2, JCS_YCbCr},     {3, 4, 1, JCS_YCbCr}, {3, 4, 2, JCS_YCbCr},
                     {1, 1, 1, JCS_GRAYSCALE}, {3, 1, 1, JCS_RGB}};
    for (const auto& [components, h, v, space] : samplings) {
        JpegSpec standard = colorPicture(512, 512, components);
        standard.progressive = true;
        standard.hSampling = h;
        standard.vSampling = v;
        standard.fileColorSpace = space;
        const std::vector<uint8_t> picture = encodeJpeg(standard);
        EXPECT_TRUE(decodes(picture)) << components << h << v;
        EXPECT_FALSE(decodes(withRepeatedLastScan(picture, 1))) << components << h << v;
    }
    // Its progression with the chroma refined as often as the luma takes more work than the
    // bound, which sits close above the standard's.
    JpegSpec chromaRefined = colorPicture(512, 512, 3);
    const auto a = [](int c, int first, int last, int high, int low) {
        return jpeg_scan_info{1, {c, 0, 0, 0}, first, last, high, low};
    };
    const jpeg_scan_info dcHigh{3, {0, 1, 2, 0}, 0, 0, 0, 1}, dcLow{3, {0, 1, 2, 0}, 0, 0, 1, 0};
    chromaRefined.scans = {
        dcHigh, a(0, 1, 5, 0, 2), a(1, 1, 63, 0, 2), a(2, 1, 63, 0, 2), a(0, 6, 63, 0, 2), dcLow};
    for (int bit = 2; bit > 0; --bit) {
        for (int c = 0; c < 3; ++c) {
            chromaRefined.scans.push_back(a(c, 1, 63, bit, bit - 1));
        }
    }
    EXPECT_FALSE(decodes(encodeJpeg(chromaRefined)));
    EXPECT_GT(lastJpegWorkCount().work, lastJpegWorkCount().limit);
    // However small the frame, a thousand scans at most (the refinements are refused first);
    // arithmetic coding not at all.
    EXPECT_FALSE(decodes(withRepeatedLastScan(withFrameSize(file, 0xC2, 8, 8), 991)));
    spec.arithmetic = true;
    EXPECT_FALSE(decodes(encodeJpeg(spec)));
    // A coefficient sent a second time, here the DC of a picture of nothing else.
    spec.arithmetic = false;
    spec.scans = {{3, {0, 1, 2, 0}, 0, 0, 0, 0}};
    const std::vector<uint8_t> dc = encodeJpeg(spec);
    EXPECT_TRUE(decodes(dc));
    EXPECT_FALSE(decodes(withRepeatedLastScan(dc, 1)));
    // Scans of one coefficient cost little more than the visits of their blocks: each
    // component's band sent from its third bit and refined, a coefficient a scan, is refused past
    // 6.5 passes over the frame, within the work bound.
    for (int c = 0; c < 3; ++c) {
        for (int bit = 2; bit >= 0; --bit) {
            for (int k = 1; k < DCTSIZE2; ++k) {
                spec.scans.push_back(a(c, k, k, bit == 2 ? 0 : bit + 1, bit));
            }
        }
    }
    const size_t fitting = 1 + 189 + (jpegVisitLimit(72) - 72 - 189 * 40) / 12;
    for (const size_t scans : {fitting, fitting + 1}) {
        JpegSpec narrow = spec;
        narrow.scans.resize(scans);
        EXPECT_EQ(decodes(encodeJpeg(narrow)), scans == fitting);
        EXPECT_LT(lastJpegWorkCount().work, lastJpegWorkCount().limit / 2);
    }
    // A valid progression within the work bound: no chroma AC, the luma's band sent from its
    // ninth bit and refined a bit a scan.
    spec.scans = {spec.scans[0], a(0, 1, 63, 0, 8)};
    for (int bit = 8; bit > 0; --bit) {
        spec.scans.push_back(a(0, 1, 63, bit, bit - 1));
    }
    EXPECT_FALSE(decodes(encodeJpeg(spec)));
    EXPECT_EQ(lastJpegWorkCount().refinements, JPEG_MAX_REFINEMENTS + 1);
    setProblemSink({});
    const std::string refines = "refused: a scan refines coefficients more than 2 times";
    std::vector<std::string> told(9, refines);
    told.insert(told.end(), {"512 x 512 pixels refused: its scans take more than 2.45 plain",
                             refines, "arithmetic coding", "a scan sends coefficients already sent",
                             "pass over its blocks more than 6.5 times", refines});
    ASSERT_EQ(problems.size(), told.size());
    for (size_t i = 0; i < told.size(); ++i) {
        EXPECT_NE(problems[i].find(told[i]), std::string::npos) << problems[i];
    }
}

TEST_F(JpegDecoderTest, MemoryReaderOffersChunksThenAnEndMarker) {
    std::vector<uint8_t> source(2 * 4096 + 1808);
    for (size_t k = 0; k < source.size(); ++k) {
        source[k] = static_cast<uint8_t>(k * 7);
    }
    JpegMemoryReader reader;
    reader.position = source.data();
    reader.remaining = source.size();
    std::vector<uint8_t> read;
    std::vector<size_t> chunks;
    for (int k = 0; k < 3; ++k) {
        const size_t count = reader.fill();
        chunks.push_back(count);
        read.insert(read.end(), reader.buffer, reader.buffer + count);
    }
    EXPECT_EQ(chunks, (std::vector<size_t>{4096, 4096, 1808}));
    EXPECT_EQ(read, source);
    for (int k = 0; k < 2; ++k) {
        ASSERT_EQ(reader.fill(), 2u);
        EXPECT_EQ(reader.buffer[0], 0xFF);
        EXPECT_EQ(reader.buffer[1], 0xD9);
    }

    // Skipping past the end stops at the end.
    reader.position = source.data();
    reader.remaining = 100;
    reader.skipSource(60);
    EXPECT_EQ(reader.remaining, 40u);
    EXPECT_EQ(reader.position, source.data() + 60);
    reader.skipSource(1000);
    EXPECT_EQ(reader.remaining, 0u);
    EXPECT_EQ(reader.position, source.data() + 100);
    EXPECT_EQ(reader.fill(), 2u);
}

TEST_F(JpegDecoderTest, TruncatedHeadersGiveNoImageAndTruncatedDataEndsThePicture) {
    const std::vector<uint8_t> file = encodeJpeg(colorPicture(48, 32, 3));
    // The start-of-scan marker ends the headers.
    size_t scan = 0;
    for (size_t k = 0; k + 1 < file.size(); ++k) {
        if (file[k] == 0xFF && file[k + 1] == 0xDA) {
            scan = k;
            break;
        }
    }
    ASSERT_GT(scan, 0u);
    int headerImages = 0;
    for (size_t length = 0; length <= scan; ++length) {
        // Exact-size copies: reading beyond them is a sanitizer report.
        std::vector<uint8_t> prefix(file.begin(), file.begin() + static_cast<long>(length));
        RefHolder<Image> image = decodeJpeg("", prefix.data(), prefix.size());
        headerImages += image ? 1 : 0;
    }
    EXPECT_EQ(headerImages, 0);
    // Cut inside the image data, the picture is completed with what there is.
    for (size_t length = scan + 20; length < file.size(); length += 97) {
        std::vector<uint8_t> prefix(file.begin(), file.begin() + static_cast<long>(length));
        RefHolder<Image> image = decodeJpeg("", prefix.data(), prefix.size());
        ASSERT_TRUE(image) << length;
        EXPECT_EQ(image->getWidth(), 48);
        EXPECT_EQ(image->getHeight(), 32);
    }
}

TEST_F(JpegDecoderTest, HostilePicturesGiveNoImage) {
    const std::vector<uint8_t> file = encodeJpeg(colorPicture(16, 16, 3));
    const auto withSize = [&](int width, int height) {
        return withFrameSize(file, 0xC0, width, height);
    };
    ASSERT_FALSE(withSize(16, 16).empty());
    const std::vector<std::pair<std::string, std::vector<uint8_t>>> hostile = {
        {"huge", withSize(65000, 65000)},
        {"wide", withSize(60000, 16)},
        {"zero height", withSize(16, 0)},
        {"empty", {}},
        {"not a JPEG", {'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0}},
        {"only an end marker", {0xFF, 0xD8, 0xFF, 0xD9}},
    };
    for (const auto& [name, bytes] : hostile) {
        EXPECT_EQ(decodeJpeg("", bytes.data(), bytes.size()), nullptr) << name;
    }
    std::vector<uint8_t> ok = withSize(16, 16);
    RefHolder<Image> control = decodeJpeg("", ok.data(), ok.size());
    EXPECT_TRUE(control);
}

TEST_F(JpegDecoderTest, DamagedBytesNeverReadOutOfBounds) {
    const std::vector<uint8_t> file = encodeJpeg(colorPicture(24, 24, 3));
    int decoded = 0;
    for (size_t at = 0; at < file.size(); ++at) {
        std::vector<uint8_t> damaged = file;
        damaged[at] ^= 0x5A;
        RefHolder<Image> image = decodeJpeg("", damaged.data(), damaged.size());
        if (image) {
            ++decoded;
            EXPECT_LE(image->getWidth(), 16384);
        }
    }
    // Damage to the markers and tables is fatal; damage to the entropy-coded data is not.
    EXPECT_GT(decoded, 0);
    EXPECT_LT(decoded, static_cast<int>(file.size()));
}

TEST_F(JpegDecoderTest, LoadsLooseFilesAndArchiveMembers) {
    TempFolder folder;
    const JpegSpec spec = colorPicture(20, 12, 3);
    const std::vector<uint8_t> file = encodeJpeg(spec);
    const std::string bytes(file.begin(), file.end());
    writeTestFile(folder / "loose.jpg", bytes);
    RefHolder<Image> loose = loadJpeg(folder / "loose.jpg", true);
    expectReferencePixels(loose.get(), file, false, "loose file");
    RefHolder<Image> direct = decodeJpeg(folder / "loose.jpg", nullptr, 0);
    expectReferencePixels(direct.get(), file, false, "decodeJpeg from a file");
    EXPECT_EQ(loadJpeg(folder / "missing.jpg", false), nullptr);
    EXPECT_EQ(decodeJpeg(folder / "missing.jpg", nullptr, 0), nullptr);

    ASSERT_TRUE(writeZip(folder / "media.dat", {{"pictures/member.jpg", bytes}}));
    FileArchive::open(2, folder / "media.dat");
    RefHolder<Image> member = loadJpeg("pictures/member.jpg", true);
    expectReferencePixels(member.get(), file, false, "archive member");
    // Without the archive flag only loose files are read.
    EXPECT_EQ(loadJpeg("pictures/member.jpg", false), nullptr);
    EXPECT_EQ(loadJpeg("pictures/none.jpg", true), nullptr);
}

}  // namespace jpeg_decoder_test
