#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "tools/FontFileReader.h"
#include "tools/font-baker/BakeOptions.h"
#include "tools/font-baker/FontBaker.h"
#include "tools/font-baker/FontDescription.h"
#include "tools/font-baker/PngFile.h"

namespace font_baker_test {

using fontbaker::GreyBitmap;

const std::string DEJAVU_FOLDER = "/usr/share/fonts/truetype/dejavu";
const std::string BAKED_FOLDER = std::string(QUOVEL_BINARY_DIR) + "/game/media/fonts";

struct BakedFontCase {
    const char* name;
    const char* ttf;
    int size;
    std::vector<std::string> layers;  // as given to the baker in the build
};

const std::vector<BakedFontCase> BAKED_FONTS = {
    {"sans-14", "DejaVuSans.ttf", 14, {"fill", "outline,radius=1"}},
    {"sans-bold-24",
     "DejaVuSans-Bold.ttf",
     24,
     {"fill", "outline,radius=2", "shadow,dx=2,dy=2,blur=1"}},
};

void PrintTo(const BakedFontCase& font, std::ostream* out) {
    *out << font.name;
}

struct Box {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;  // inclusive
    bool empty() const { return right < left; }
};

// Ink bounds of a region of a picture, relative to the region.
Box inkBox(const GreyBitmap& image, int x, int y, int w, int h) {
    Box box;
    for (int row = 0; row < h; ++row) {
        for (int column = 0; column < w; ++column) {
            if (image.at(x + column, y + row) != 0) {
                box.left = std::min(box.left, column);
                box.right = std::max(box.right, column);
                box.top = std::min(box.top, row);
                box.bottom = std::max(box.bottom, row);
            }
        }
    }
    return box;
}

fontbaker::LayerSpec layerSpec(const std::string& text) {
    fontbaker::LayerSpec spec;
    std::string error;
    EXPECT_TRUE(fontbaker::parseLayerSpec(text, spec, error)) << error;
    return spec;
}

// FreeType's own kerning for a pair, in whole pixels, as a cross-check of the files.
int freeTypeKerning(const std::string& ttf, int size, FT_ULong left, FT_ULong right) {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    int amount = 0;
    if (FT_Init_FreeType(&library) == 0) {
        if (FT_New_Face(library, (DEJAVU_FOLDER + "/" + ttf).c_str(), 0, &face) == 0) {
            FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(size));
            FT_Vector delta{0, 0};
            FT_Get_Kerning(face, FT_Get_Char_Index(face, left), FT_Get_Char_Index(face, right),
                           FT_KERNING_DEFAULT, &delta);
            amount = static_cast<int>((delta.x + 32) >> 6);
            FT_Done_Face(face);
        }
        FT_Done_FreeType(library);
    }
    return amount;
}

KerningMap kerningOf(const FontFile& font) {
    KerningMap pairs;
    for (const auto& [amount, text] : font.kerningEntries) {
        decodeKerningText(text, amount, pairs);
    }
    return pairs;
}

struct Placement {
    int left = 0;
    int top = 0;
};

// The game's layout of a whole line (start 0): pen from the margin, the first glyph exactly at
// the margin, later ones at pen + bx, advances plus kerning.
std::vector<Placement> layoutLine(const FontFile& font, const std::u16string& text) {
    const KerningMap kerning = kerningOf(font);
    const int margin = font.margin();
    int pen = margin;
    std::vector<Placement> placements;
    for (size_t i = 0; i < text.size(); ++i) {
        const DescribedGlyph* glyph = font.glyph(text[i]);
        const DescribedGlyph none;
        const DescribedGlyph& g = glyph ? *glyph : none;
        int kern = 0;
        if (i + 1 < text.size()) {
            const auto found = kerning.find({text[i], text[i + 1]});
            kern = found == kerning.end() ? 0 : found->second;
        }
        Placement placement{pen + g.bx, g.by + margin};
        if (i == 0) {
            placement.left = pen;
            pen -= g.bx;
        }
        placements.push_back(placement);
        pen = font.value("charspacing") + g.width + pen + kern;
    }
    return placements;
}

// Draws one layer of a laid-out line the way the game does: every glyph cell of the layer,
// padded by p, at its placement less p; coverage is merged by maximum.
void drawLayer(const FontFile& font, size_t layerIndex, const std::u16string& text, int x, int y,
               GreyBitmap& target) {
    const std::vector<Placement> placements = layoutLine(font, text);
    const DescribedLayer& layer = font.layers[layerIndex];
    const int p = layer.padding;
    for (size_t k = 0; k < text.size(); ++k) {
        const int index = font.glyphIndex(text[k]);
        if (text[k] == u' ' || index < 0) {
            continue;
        }
        const DescribedGlyph& g = font.chars[static_cast<size_t>(index)];
        const int dx = placements[k].left + x - p;
        const int dy = placements[k].top + y - p;
        const int sx = g.sx + 2 * p * index;
        for (int row = 0; row < g.sh + 2 * p; ++row) {
            for (int column = 0; column < g.sw + 2 * p; ++column) {
                const uint8_t value = layer.image.at(sx + column, g.sy + row);
                if (value > target.at(dx + column, dy + row)) {
                    target.set(dx + column, dy + row, value);
                }
            }
        }
    }
}

uint32_t colorValue(const std::string& text) {
    uint32_t color = 0;
    fontbaker::parseColor(text, color);
    return color;
}

// A picture of the font for a person to look at: a sample line with every layer in its
// color (last layer first) over a mid-grey background, written into the build tree.
void writeFontPreview(const FontFile& font, const std::string& name, const std::u16string& text) {
    const int lineHeight = std::max(font.value("lineheight"), 1);
    const int width = 900;
    const int height = 2 * lineHeight + 4 * font.margin() + 8;
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 4, 0);
    for (size_t i = 0; i < pixels.size(); i += 4) {
        pixels[i] = pixels[i + 1] = pixels[i + 2] = 128;
        pixels[i + 3] = 255;
    }
    for (size_t layer = font.layers.size(); layer-- > 0;) {
        GreyBitmap mask(width, height);
        drawLayer(font, layer, text, 4, 4, mask);
        const uint32_t color = colorValue(font.layers[layer].color);
        for (size_t i = 0; i < mask.pixels.size(); ++i) {
            const int a = mask.pixels[i];
            for (int channel = 0; channel < 3; ++channel) {
                const int c = (color >> (16 - 8 * channel)) & 0xFF;
                uint8_t& d = pixels[i * 4 + channel];
                d = static_cast<uint8_t>((c * a + d * (255 - a) + 127) / 255);
            }
        }
    }
    const std::string folder = std::string(QUOVEL_BINARY_DIR) + "/font-previews";
    std::filesystem::create_directories(folder);
    EXPECT_TRUE(fontbaker::writePng(folder + "/" + name + ".png", width, height, 4, pixels));
}

class BakedFontFiles : public testing::TestWithParam<BakedFontCase> {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(readFontFile(BAKED_FOLDER, GetParam().name, font, error)) << error;
    }
    FontFile font;
};

TEST_P(BakedFontFiles, DescriptionHoldsWhatTheFontAndItsResourceRead) {
    for (const char* key : {"charspacing", "spacewidth", "lineheight", "baseline"}) {
        EXPECT_TRUE(font.fontValues.count(key)) << key;
    }
    EXPECT_TRUE(font.hasChars);
    EXPECT_TRUE(font.hasKerning);
    ASSERT_EQ(font.layers.size(), GetParam().layers.size());
    for (size_t i = 0; i < font.layers.size(); ++i) {
        const fontbaker::LayerSpec spec = layerSpec(GetParam().layers[i]);
        EXPECT_EQ(font.layers[i].padding, fontbaker::requiredPadding(spec));
        EXPECT_EQ(font.layers[i].color.size(), 9u) << font.layers[i].color;
    }
    EXPECT_EQ(font.layers.front().padding, 0);
    EXPECT_GT(font.value("spacewidth"), 0);
    EXPECT_GT(font.value("lineheight"), GetParam().size);
    // The baseline counts from the cell top, margin included, and lies inside the cell.
    int glyphHeight = 0;
    for (const DescribedGlyph& glyph : font.chars) {
        glyphHeight = std::max(glyphHeight, glyph.by + glyph.sh);
    }
    EXPECT_GT(font.value("baseline"), font.margin());
    EXPECT_LT(font.value("baseline"), glyphHeight + font.margin());
}

TEST_P(BakedFontFiles, CharsFollowTheImageRowOfEveryLayer) {
    std::vector<uint16_t> expected;
    std::string error;
    ASSERT_TRUE(fontbaker::parseCharacterSet(fontbaker::DEFAULT_CHARACTER_SET, expected, error));
    ASSERT_EQ(font.chars.size(), expected.size());
    int sx = 0;
    int sumWidths = 0;
    int maxHeight = 0;
    for (size_t i = 0; i < font.chars.size(); ++i) {
        const DescribedGlyph& glyph = font.chars[i];
        EXPECT_EQ(glyph.c, expected[i]);
        EXPECT_EQ(glyph.sx, sx) << "U+" << std::hex << glyph.c;
        EXPECT_EQ(glyph.sy, 0);
        EXPECT_GE(glyph.sw, 0);
        EXPECT_GE(glyph.by, 0);
        sx += glyph.sw;
        sumWidths += glyph.sw;
        maxHeight = std::max(maxHeight, glyph.sh);
    }
    const int count = static_cast<int>(font.chars.size());
    for (const DescribedLayer& layer : font.layers) {
        EXPECT_EQ(layer.image.width, sumWidths + 2 * layer.padding * count) << layer.mask;
        EXPECT_EQ(layer.image.height, maxHeight + 2 * layer.padding) << layer.mask;
    }
}

TEST_P(BakedFontFiles, VisibleGlyphsHaveInkAndTheBlankHasNone) {
    const DescribedLayer& fill = font.layers.front();
    for (size_t i = 0; i < font.chars.size(); ++i) {
        const DescribedGlyph& g = font.chars[i];
        const bool visible = (g.c > 0x20 && g.c < 0x7F) || g.c >= 0xC0;
        const Box box = inkBox(fill.image, g.sx, g.sy, g.sw, g.sh);
        if (visible) {
            EXPECT_FALSE(box.empty()) << "U+" << std::hex << g.c;
            // The glyph image is tight: ink touches its left and right edges.
            EXPECT_EQ(box.left, 0) << "U+" << std::hex << g.c;
            EXPECT_EQ(box.right, g.sw - 1) << "U+" << std::hex << g.c;
        }
    }
    const int blank = font.glyphIndex(0x20);
    ASSERT_GE(blank, 0);
    const DescribedGlyph& g = font.chars[static_cast<size_t>(blank)];
    EXPECT_EQ(g.sw, font.value("spacewidth"));
    EXPECT_EQ(g.width, font.value("spacewidth"));
    for (const DescribedLayer& layer : font.layers) {
        const int p = layer.padding;
        EXPECT_TRUE(
            inkBox(layer.image, g.sx + 2 * p * blank, 0, g.sw + 2 * p, layer.image.height).empty())
            << layer.mask;
    }
}

TEST_P(BakedFontFiles, PaddedLayersSurroundEachGlyphInItsOwnCell) {
    const DescribedLayer& fill = font.layers.front();
    for (size_t layerIndex = 1; layerIndex < font.layers.size(); ++layerIndex) {
        const fontbaker::LayerSpec spec = layerSpec(GetParam().layers[layerIndex]);
        const DescribedLayer& layer = font.layers[layerIndex];
        const int p = layer.padding;
        for (size_t i = 0; i < font.chars.size(); ++i) {
            const DescribedGlyph& g = font.chars[i];
            const int cellX = g.sx + 2 * p * static_cast<int>(i);
            const Box inner = inkBox(fill.image, g.sx, g.sy, g.sw, g.sh);
            const Box outer = inkBox(layer.image, cellX, g.sy, g.sw + 2 * p, g.sh + 2 * p);
            ASSERT_EQ(inner.empty(), outer.empty()) << layer.mask << " U+" << std::hex << g.c;
            if (inner.empty()) {
                continue;
            }
            if (spec.kind == fontbaker::LayerKind::OUTLINE) {
                // Grown by the radius on every side around the glyph at (p, p).
                EXPECT_EQ(outer.left, inner.left + p - spec.radius) << "U+" << std::hex << g.c;
                EXPECT_EQ(outer.right, inner.right + p + spec.radius) << "U+" << std::hex << g.c;
                EXPECT_EQ(outer.top, inner.top + p - spec.radius) << "U+" << std::hex << g.c;
                EXPECT_EQ(outer.bottom, inner.bottom + p + spec.radius) << "U+" << std::hex << g.c;
                for (int y = 0; y < g.sh; ++y) {
                    for (int x = 0; x < g.sw; ++x) {
                        ASSERT_GE(layer.image.at(cellX + p + x, g.sy + p + y),
                                  fill.image.at(g.sx + x, g.sy + y));
                    }
                }
            } else {
                // The shadow is the glyph moved by (dx, dy) and softened by at most the blur.
                EXPECT_LE(outer.left, inner.left + p + spec.offsetX) << "U+" << std::hex << g.c;
                EXPECT_GE(outer.left, inner.left + p + spec.offsetX - spec.blur);
                EXPECT_GE(outer.right, inner.right + p + spec.offsetX) << "U+" << std::hex << g.c;
                EXPECT_LE(outer.right, inner.right + p + spec.offsetX + spec.blur);
                EXPECT_LE(outer.top, inner.top + p + spec.offsetY);
                EXPECT_GE(outer.bottom, inner.bottom + p + spec.offsetY);
            }
        }
    }
}

TEST_P(BakedFontFiles, KerningTextsGiveTheFontsPairs) {
    const KerningMap pairs = kerningOf(font);
    ASSERT_FALSE(pairs.empty());
    for (const auto& [pair, amount] : pairs) {
        EXPECT_NE(amount, 0);
        EXPECT_NE(font.glyph(pair.first), nullptr) << pair.first;
        EXPECT_NE(font.glyph(pair.second), nullptr) << pair.second;
    }
    for (const auto& [left, right] :
         {std::pair{'T', 'o'}, std::pair{'A', 'V'}, std::pair{'L', 'T'}, std::pair{'o', 'x'}}) {
        const int expected = freeTypeKerning(GetParam().ttf, GetParam().size, left, right);
        const auto found = pairs.find({left, right});
        EXPECT_EQ(found == pairs.end() ? 0 : found->second, expected) << left << right;
    }
    EXPECT_LT(pairs.at({'T', 'o'}), 0);
}

TEST_P(BakedFontFiles, EveryLayerOfADrawnLineCoincidesWithTheFill) {
    const std::u16string text = u"Tower AV Wälder: ÄÖÜ àéîõü ß 0123456789 {fox}!";
    const int width = 1000;
    const int height = 200;
    GreyBitmap fill(width, height);
    drawLayer(font, 0, text, 0, 0, fill);
    // The first glyph starts exactly at the margin.
    const Box fillBox = inkBox(fill, 0, 0, width, height);
    ASSERT_FALSE(fillBox.empty());
    EXPECT_EQ(fillBox.left, font.margin());
    for (size_t layerIndex = 1; layerIndex < font.layers.size(); ++layerIndex) {
        const fontbaker::LayerSpec spec = layerSpec(GetParam().layers[layerIndex]);
        if (spec.kind != fontbaker::LayerKind::OUTLINE) {
            continue;
        }
        GreyBitmap outline(width, height);
        drawLayer(font, layerIndex, text, 0, 0, outline);
        const Box outlineBox = inkBox(outline, 0, 0, width, height);
        EXPECT_EQ(outlineBox.left, fillBox.left - spec.radius);
        EXPECT_EQ(outlineBox.right, fillBox.right + spec.radius);
        // Cells taken from the wrong place in the padded row would leave fill ink uncovered.
        for (size_t i = 0; i < fill.pixels.size(); ++i) {
            ASSERT_GE(outline.pixels[i], fill.pixels[i]) << "pixel " << i;
        }
    }
    writeFontPreview(font, GetParam().name, text);
}

INSTANTIATE_TEST_SUITE_P(BuildFonts, BakedFontFiles, testing::ValuesIn(BAKED_FONTS),
                         [](const testing::TestParamInfo<BakedFontCase>& info) {
                             std::string name = info.param.name;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

}  // namespace font_baker_test
