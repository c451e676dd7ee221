// Text drawn with a baked font into real images at both depths: the alpha the layers leave is
// predicted pixel for pixel from the layer masks at the glyph positions.
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "framework/core/RefHolder.h"
#include "framework/platform/BitmapFont.h"
#include "framework/platform/Graphics.h"
#include "framework/platform/Image.h"
#include "testsupport/platform/BakedFontLoader.h"

namespace text_rendering_test {

const std::string FONT_FOLDER = std::string(QUOVEL_BINARY_DIR) + "/game/media/fonts";
constexpr int32_t TARGET_WIDTH = 520;
constexpr int32_t TARGET_HEIGHT = 48;

uint8_t glyphAlphaAt(Image& image, int32_t x, int32_t y) {
    return *image.getAlphaAddress(x, y);
}

// Red, green and blue of a pixel at either depth (16-bit colors widened, low bits 0).
uint32_t rgbAt(const Image& image, int32_t x, int32_t y) {
    const uint8_t* row = image.getPixels() + static_cast<size_t>(y) * image.getPitch();
    if (image.getBytesPerPixel() == 4) {
        uint32_t word;
        std::memcpy(&word, row + x * 4u, sizeof word);
        return word & 0xFFFFFF;
    }
    uint16_t half;
    std::memcpy(&half, row + x * 2u, sizeof half);
    return ((half & 0xF800u) << 8) | ((half & 0x07E0u) << 5) | ((half & 0x001Fu) << 3);
}

// Red, green and blue of the color as an image of that depth stores them.
uint32_t atDepth(uint32_t color, int32_t depth) {
    if (depth == 4) {
        return color & 0xFFFFFF;
    }
    return color & 0xF8FCF8;
}

bool nearColor(uint32_t a, uint32_t b, int tolerance) {
    for (int shift = 0; shift < 24; shift += 8) {
        const int da = static_cast<int>((a >> shift) & 0xFF);
        const int db = static_cast<int>((b >> shift) & 0xFF);
        if (std::abs(da - db) > tolerance) {
            return false;
        }
    }
    return true;
}

// One glyph cell of a layer placed with its top-left at (x, y) in target coordinates.
struct CellPlacement {
    int32_t layer;
    int32_t x, y;
    int32_t sx, sy, w, h;
};

// The target alpha the drawing must leave on a transparent image: the maximum of every layer's
// mask over the cells placed there.
std::vector<uint8_t> predictAlpha(const BitmapFont& font, const std::vector<CellPlacement>& cells) {
    std::vector<uint8_t> alpha(static_cast<size_t>(TARGET_WIDTH) * TARGET_HEIGHT, 0);
    for (const CellPlacement& cell : cells) {
        Image* mask = font.getLayer(cell.layer)->getImage();
        for (int32_t j = 0; j < cell.h; ++j) {
            for (int32_t i = 0; i < cell.w; ++i) {
                const int32_t x = cell.x + i;
                const int32_t y = cell.y + j;
                if (x < 0 || y < 0 || x >= TARGET_WIDTH || y >= TARGET_HEIGHT) {
                    continue;
                }
                uint8_t& out = alpha[static_cast<size_t>(y) * TARGET_WIDTH + x];
                out = std::max(out, *mask->getAlphaAddress(cell.sx + i, cell.sy + j));
            }
        }
    }
    return alpha;
}

// Cells of every layer for characters laid out with their left and top at `lefts` and `tops`.
std::vector<CellPlacement> cellsOf(const BitmapFont& font, const std::wstring& text,
                                   const std::vector<int32_t>& lefts,
                                   const std::vector<int32_t>& tops, int32_t x, int32_t y) {
    std::vector<CellPlacement> cells;
    for (int32_t l = 0; l < font.getLayerCount(); ++l) {
        const int32_t p = font.getLayer(l)->getPadding();
        for (size_t k = 0; k < text.size(); ++k) {
            const Glyph* g = font.findGlyph(text[k]);
            if (g && text[k] != L' ') {
                cells.push_back({l, lefts[k] + x - p, tops[k] + y - p, g->sx + 2 * p * g->index,
                                 g->sy, g->sw + 2 * p, g->sh + 2 * p});
            }
        }
    }
    return cells;
}

std::vector<CellPlacement> cellsOfLayer(std::vector<CellPlacement> cells, int32_t layer) {
    std::erase_if(cells, [layer](const CellPlacement& cell) { return cell.layer != layer; });
    return cells;
}

RefHolder<Image> drawLine(BitmapFont* font, int32_t depth, const std::wstring& text, int32_t x,
                          int32_t y, uint32_t background) {
    RefHolder<Image> image = Image::createImage(TARGET_WIDTH, TARGET_HEIGHT, depth);
    RefHolder<Graphics> graphics = image->createGraphics();
    if (!graphics) {
        return image;
    }
    if (background != 0) {
        graphics->setColor(background);
        graphics->fillRect(0, 0, TARGET_WIDTH, TARGET_HEIGHT);
        graphics->fillRectChannel(0, 255, 0, 0, TARGET_WIDTH, TARGET_HEIGHT);
    }
    graphics->setFont(font);
    graphics->setColor(0xFFFFFFFF);
    graphics->drawTextLines({TextLine{text, x, y}}, {});
    return image;
}

int32_t countDifferences(Image& image, const std::vector<uint8_t>& expected) {
    int32_t wrong = 0;
    for (int32_t y = 0; y < TARGET_HEIGHT; ++y) {
        for (int32_t x = 0; x < TARGET_WIDTH; ++x) {
            wrong +=
                glyphAlphaAt(image, x, y) != expected[static_cast<size_t>(y) * TARGET_WIDTH + x];
        }
    }
    return wrong;
}

// Writes a 4-byte image as a PNG for a person to look at.
bool writePreview(Image& image, const std::string& path) {
    png_image out{};
    out.version = PNG_IMAGE_VERSION;
    out.width = static_cast<png_uint_32>(image.getWidth());
    out.height = static_cast<png_uint_32>(image.getHeight());
    // 0xAARRGGBB words are B, G, R, A in memory on this (little-endian) machine.
    out.format = PNG_FORMAT_BGRA;
    return png_image_write_to_file(&out, path.c_str(), 0, image.getPixels(), image.getPitch(),
                                   nullptr) != 0;
}

class TextRenderingTest : public ::testing::Test {
protected:
    void SetUp() override {
        font = loadBakedFont(FONT_FOLDER, "sans-bold-24");
        ASSERT_TRUE(font);
        ASSERT_EQ(font->getLayerCount(), 3);  // fill, outline, shadow
    }
    RefHolder<BitmapFont> font;
};

TEST_F(TextRenderingTest, KernedPairLandsWhereTheMetricsPutIt) {
    const Glyph& a = *font->findGlyph(L'A');
    const Glyph& v = *font->findGlyph(L'V');
    const int32_t kern = a.kerningBefore(L'V');
    ASSERT_LT(kern, 0);
    // A's image starts at the margin; V's pen follows A's advance, spacing and kerning.
    const int32_t m = font->getMargin();
    const int32_t penAfterA = m - a.bx + font->getCharSpacing() + a.width + kern;
    const std::vector<int32_t> lefts = {m, penAfterA + v.bx};
    const std::vector<int32_t> tops = {a.by + m, v.by + m};
    const std::vector<uint8_t> expected =
        predictAlpha(*font, cellsOf(*font, L"AV", lefts, tops, 30, 6));
    // The same prediction without kerning differs: the test sees the kerning.
    const std::vector<int32_t> unkerned = {m, penAfterA - kern + v.bx};
    ASSERT_NE(expected, predictAlpha(*font, cellsOf(*font, L"AV", unkerned, tops, 30, 6)));
    for (int32_t depth : {4, 2}) {
        RefHolder<Image> image = drawLine(font.get(), depth, L"AV", 30, 6, 0);
        EXPECT_EQ(countDifferences(*image, expected), 0) << depth << " bytes per pixel";
    }
}

TEST_F(TextRenderingTest, LineOfTextInLayersAtBothDepths) {
    const std::wstring text = L"Quovel: AVA WAVE, 14 pairs left!";
    TextLayout layout;
    font->layoutText(text, layout, 0, -1);
    std::vector<int32_t> lefts;
    std::vector<int32_t> tops;
    for (const GlyphPlacement& placement : layout.placements) {
        lefts.push_back(placement.left);
        tops.push_back(placement.top);
    }
    ASSERT_LT(layout.maxRight + 8, TARGET_WIDTH);
    const std::vector<uint8_t> expected =
        predictAlpha(*font, cellsOf(*font, text, lefts, tops, 8, 4));
    for (int32_t depth : {4, 2}) {
        const uint32_t fillColor = atDepth(font->getLayer(0)->getColor(), depth);
        const uint32_t outlineColor = atDepth(font->getLayer(1)->getColor(), depth);
        RefHolder<Image> image = drawLine(font.get(), depth, text, 8, 4, 0);
        EXPECT_EQ(countDifferences(*image, expected), 0) << depth << " bytes per pixel";
        // Where the fill mask is solid the fill layer, drawn last, shows its color; where only
        // the outline is solid, the outline's color shows. A solid mask blends at 254/255, so
        // a channel may come out one step (one 16-bit color unit) low.
        const int tolerance = depth == 4 ? 2 : 8;
        int32_t filled = 0;
        int32_t outlined = 0;
        const std::vector<CellPlacement> cells = cellsOf(*font, text, lefts, tops, 8, 4);
        const std::vector<uint8_t> fillOnly = predictAlpha(*font, cellsOfLayer(cells, 0));
        const std::vector<uint8_t> outlineOnly = predictAlpha(*font, cellsOfLayer(cells, 1));
        for (int32_t y = 0; y < TARGET_HEIGHT; ++y) {
            for (int32_t x = 0; x < TARGET_WIDTH; ++x) {
                const size_t at = static_cast<size_t>(y) * TARGET_WIDTH + x;
                if (fillOnly[at] == 255) {
                    ++filled;
                    EXPECT_TRUE(nearColor(rgbAt(*image, x, y), fillColor, tolerance))
                        << x << "," << y;
                } else if (fillOnly[at] == 0 && outlineOnly[at] == 255) {
                    ++outlined;
                    EXPECT_TRUE(nearColor(rgbAt(*image, x, y), outlineColor, tolerance))
                        << x << "," << y;
                }
            }
        }
        EXPECT_GT(filled, 500);
        EXPECT_GT(outlined, 300);
    }

    // For a person to look at: the line on a grey background.
    RefHolder<Image> preview = drawLine(font.get(), 4, text, 8, 4, 0xFF7090A0);
    const std::filesystem::path folder = std::filesystem::path(QUOVEL_BINARY_DIR) / "text-previews";
    std::filesystem::create_directories(folder);
    EXPECT_TRUE(writePreview(*preview, (folder / "sans-bold-24-line.png").string()));
}

TEST_F(TextRenderingTest, CharactersWithoutGlyphsAreSolidBoxes) {
    const std::wstring text = std::wstring(L"A") + static_cast<wchar_t>(0x4E00);
    TextLayout layout;
    font->layoutText(text, layout, 0, -1);
    const GlyphPlacement& box = layout.placements[1];
    for (int32_t depth : {4, 2}) {
        RefHolder<Image> image = drawLine(font.get(), depth, text, 10, 3, 0);
        // The largest padding's box covers the others: it starts one pixel in from the padded
        // cell and is the default width and the glyph height, padded, less one.
        const int32_t p = font->getMargin();
        const int32_t x0 = box.left + 10 - p + 1;
        const int32_t y0 = box.top + 3 - p + 1;
        const int32_t w = font->getDefaultGlyph().width + 2 * p - 1;
        const int32_t h = font->getGlyphHeight() + 2 * p - 1;
        int32_t solid = 0;
        for (int32_t y = y0; y < y0 + h; ++y) {
            for (int32_t x = x0; x < x0 + w; ++x) {
                solid += glyphAlphaAt(*image, x, y) == 255;
            }
        }
        EXPECT_EQ(solid, w * h) << depth;
        EXPECT_EQ(glyphAlphaAt(*image, x0 + w, y0 + h), 0) << depth;
    }
}

}  // namespace text_rendering_test
