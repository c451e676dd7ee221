#include <gtest/gtest.h>

#include <filesystem>

#include "tools/FontFileReader.h"
#include "tools/font-baker/BakeOptions.h"
#include "tools/font-baker/FontBaker.h"
#include "tools/font-baker/FontDescription.h"

namespace font_baker_library_test {

using namespace fontbaker;

const std::string SANS_PATH = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

TEST(FontBakerOptions, CharacterSetsAreSortedRangesWithinTheSixteenBitCodes) {
    std::vector<uint16_t> characters;
    std::string error;
    ASSERT_TRUE(parseCharacterSet("41-43,20AC,42,20", characters, error)) << error;
    EXPECT_EQ(characters, (std::vector<uint16_t>{0x20, 0x41, 0x42, 0x43, 0x20AC}));
    ASSERT_TRUE(parseCharacterSet(DEFAULT_CHARACTER_SET, characters, error));
    EXPECT_EQ(characters.size(), 95u + 96u);

    const std::vector<uint16_t> before = characters;
    for (const char* bad :
         {"", "41-", "-41", "7E-20", "1F-7E", "FFFF-10000", "4G", "41-42-43", "41,,42"}) {
        EXPECT_FALSE(parseCharacterSet(bad, characters, error)) << bad;
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(characters, before) << bad;
    }
}

TEST(FontBakerOptions, LayerSpecsTakeDefaultsAndRefuseWhatCannotWork) {
    LayerSpec layer;
    std::string error;
    ASSERT_TRUE(parseLayerSpec("outline", layer, error));
    EXPECT_EQ(layer.kind, LayerKind::OUTLINE);
    EXPECT_EQ(layer.radius, 1);
    EXPECT_EQ(effectivePadding(layer), 1);
    ASSERT_TRUE(parseLayerSpec("shadow,dx=-3,dy=2,radius=1,blur=2,color=#80102030", layer, error));
    EXPECT_EQ(layer.color, 0x80102030u);
    EXPECT_EQ(requiredPadding(layer), 1 + 3 + 2);
    ASSERT_TRUE(parseLayerSpec("fill,color=#336699,padding=3", layer, error));
    EXPECT_EQ(layer.color, 0xFF336699u);
    EXPECT_EQ(effectivePadding(layer), 3);

    for (const char* bad :
         {"glow", "fill,radius=2", "outline,dx=1", "outline,radius=0", "outline,radius=2,padding=1",
          "shadow,dx=2,blur=1,padding=2", "fill,color=red", "fill,color=#12345", "fill,padding",
          "outline,radius=99", "shadow,dx=1x"}) {
        EXPECT_FALSE(parseLayerSpec(bad, layer, error)) << bad;
    }
}

TEST(FontBakerDescription, KerningTextsGroupPairsByAmountAndReadBack) {
    const std::vector<KerningPair> pairs = {{'A', 'V', -2}, {'A', 'W', -2}, {'T', 'o', -1},
                                            {'T', 'a', -1}, {'L', 'T', -2}, {0xAB, 0xC6, 1}};
    const std::vector<KerningGroup> groups = kerningGroups(pairs);
    ASSERT_EQ(groups.size(), 3u);
    EXPECT_EQ(groups[0].amount, -2);
    EXPECT_EQ(groups[0].text, "#0#41#56#57#0#4c#54");
    EXPECT_EQ(groups[1].text, "#0#54#6f#61");
    EXPECT_EQ(groups[2].amount, 1);
    EXPECT_EQ(groups[2].text, "#0#ab#c6");

    KerningMap decoded;
    for (const KerningGroup& group : groups) {
        decodeKerningText(group.text, group.amount, decoded);
    }
    ASSERT_EQ(decoded.size(), pairs.size());
    for (const KerningPair& pair : pairs) {
        EXPECT_EQ(decoded.at({pair.left, pair.right}), pair.amount);
    }
}

TEST(FontBakerDescription, LayerImagesAreNamedByKind) {
    BakedFont font;
    for (const LayerKind kind : {LayerKind::FILL, LayerKind::OUTLINE, LayerKind::OUTLINE}) {
        BakedLayer layer;
        layer.spec.kind = kind;
        font.layers.push_back(layer);
    }
    EXPECT_EQ(layerFileNames(font, "big"),
              (std::vector<std::string>{"big-fill.png", "big-outline1.png", "big-outline2.png"}));
}

TEST(FontBakerBake, UnusableInputFailsWithAMessage) {
    BakeOptions options;
    options.fontPath = SANS_PATH;
    options.layers.push_back(LayerSpec());
    std::string error;
    BakedFont font;
    options.characters = {0xFFFF};
    EXPECT_FALSE(bakeFont(options, font, error));
    EXPECT_NE(error.find("none of the requested"), std::string::npos) << error;

    options.characters = {'A'};
    options.fontPath = "/nonexistent/font.ttf";
    EXPECT_FALSE(bakeFont(options, font, error));
    EXPECT_NE(error.find("/nonexistent/font.ttf"), std::string::npos) << error;

    options.fontPath = SANS_PATH;
    options.pixelSize = 0;
    EXPECT_FALSE(bakeFont(options, font, error));
    options.pixelSize = 12;
    options.layers.clear();
    EXPECT_FALSE(bakeFont(options, font, error));
    EXPECT_TRUE(font.glyphs.empty());
}

TEST(FontBakerBake, MissingCharactersAreLeftOutAndReported) {
    BakeOptions options;
    options.fontPath = SANS_PATH;
    options.pixelSize = 12;
    options.characters = {'A', 'B', 0xFFFF};
    options.layers.push_back(LayerSpec());
    BakedFont font;
    std::string error;
    ASSERT_TRUE(bakeFont(options, font, error)) << error;
    ASSERT_EQ(font.glyphs.size(), 2u);
    EXPECT_EQ(font.glyphs[1].code, 'B');
    EXPECT_EQ(font.glyphs[1].sx, font.glyphs[0].sw);
    EXPECT_EQ(font.missing, (std::vector<uint16_t>{0xFFFF}));
    // The blank's width comes from the font even when the blank is not baked.
    EXPECT_GT(font.spaceWidth, 0);
}

TEST(FontBakerBake, AGivenPaddingWidensEveryCellAndWritesConsistentFiles) {
    BakeOptions options;
    options.fontPath = SANS_PATH;
    options.pixelSize = 20;
    options.characters = {' ', 'I', 'i', 'j'};
    LayerSpec fill;
    fill.padding = 3;
    LayerSpec outline;
    std::string error;
    ASSERT_TRUE(parseLayerSpec("outline,radius=2,padding=5", outline, error));
    options.layers = {fill, outline};
    options.charSpacing = 1;
    BakedFont font;
    ASSERT_TRUE(bakeFont(options, font, error)) << error;
    EXPECT_EQ(font.margin, 5);
    EXPECT_EQ(font.baseline(), 5 + font.ascent);

    const std::filesystem::path folder =
        std::filesystem::path(QUOVEL_BINARY_DIR) / "tests" / "font-baker-output";
    std::filesystem::create_directories(folder);
    ASSERT_TRUE(writeFontFiles(font, (folder / "padded").string(), error)) << error;
    FontFile file;
    ASSERT_TRUE(readFontFile(folder.string(), "padded", file, error)) << error;
    ASSERT_EQ(file.layers.size(), 2u);
    EXPECT_EQ(file.layers[0].mask, "padded-fill.png");
    EXPECT_EQ(file.layers[0].padding, 3);
    EXPECT_EQ(file.layers[0].color, "#FFFFFFFF");
    EXPECT_EQ(file.layers[1].padding, 5);
    EXPECT_EQ(file.layers[1].color, "#FF000000");
    EXPECT_EQ(file.value("charspacing"), 1);
    EXPECT_TRUE(file.kerningEntries.empty());

    int sumWidths = 0;
    int maxHeight = 0;
    for (const DescribedGlyph& glyph : file.chars) {
        sumWidths += glyph.sw;
        maxHeight = std::max(maxHeight, glyph.sh);
    }
    for (size_t i = 0; i < 2; ++i) {
        const int p = file.layers[i].padding;
        EXPECT_EQ(file.layers[i].image.width, sumWidths + 2 * p * 4);
        EXPECT_EQ(file.layers[i].image.height, maxHeight + 2 * p);
        // The padding ring of every cell of the fill layer stays clear; the ink of 'I' sits at
        // (p, p) in its cell.
        const DescribedGlyph& capital = file.chars[1];
        const int cellX = capital.sx + 2 * p * 1;
        EXPECT_EQ(file.layers[i].image.at(cellX + p - 1 - (i == 1 ? 2 : 0), p + capital.sh / 2), 0);
        EXPECT_GT(file.layers[i].image.at(cellX + p, p + capital.sh / 2), 0);
    }
}

TEST(FontBakerEffects, DilationMakesARoundedDiscAndBlurSpreadsInk) {
    GreyBitmap dot(9, 9);
    dot.set(4, 4, 255);
    const GreyBitmap disc = dilate(dot, 2);
    EXPECT_EQ(disc.at(4, 4), 255);
    EXPECT_EQ(disc.at(6, 4), 255);  // distance 2: inside
    EXPECT_EQ(disc.at(4, 2), 255);
    EXPECT_EQ(disc.at(7, 4), 0);              // beyond the radius
    EXPECT_EQ(disc.at(5, 6), 195);            // 2.24 away: three quarters covered
    EXPECT_EQ(disc.at(6, 6), 44);             // the corner, 2.83 away, barely
    EXPECT_EQ(disc.at(2, 3), disc.at(6, 5));  // symmetric

    const GreyBitmap soft = boxBlur(disc, 1);
    EXPECT_LT(soft.at(4, 4), 255 + 1);
    EXPECT_GT(soft.at(7, 4), 0);  // spread one pixel further
    EXPECT_EQ(soft.at(8, 4), 0);
    EXPECT_EQ(dilate(dot, 0).pixels, dot.pixels);
}

}  // namespace font_baker_library_test
