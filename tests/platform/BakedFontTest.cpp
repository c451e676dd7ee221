// The fonts the build bakes, read and laid out by BitmapFont.
#include <gtest/gtest.h>

#include <string>

#include "framework/core/RefHolder.h"
#include "framework/platform/BitmapFont.h"
#include "testsupport/platform/BakedFontLoader.h"

namespace baked_font_test {

const std::string BAKED_FONT_FOLDER = std::string(QUOVEL_BINARY_DIR) + "/game/media/fonts";

TEST(BakedFontTest, BakedFontsLoadWithTheirLayers) {
    for (const char* name : {"sans-14", "sans-bold-24"}) {
        RefHolder<BitmapFont> font = loadBakedFont(BAKED_FONT_FOLDER, name);
        ASSERT_TRUE(font) << name;
        EXPECT_GE(font->getLayerCount(), 2) << name;
        EXPECT_TRUE(font->isLastLayerAlphaOnly()) << name;
        EXPECT_GT(font->getMargin(), 0) << name;
        EXPECT_GT(font->getGlyphHeight(), 10) << name;
        for (wchar_t c = L'!'; c <= L'~'; ++c) {
            EXPECT_TRUE(font->hasGlyph(c)) << name << " " << static_cast<int>(c);
        }
        // Every glyph's padded cell lies inside every layer image.
        for (int32_t l = 0; l < font->getLayerCount(); ++l) {
            const FontLayer* layer = font->getLayer(l);
            const int32_t p = layer->getPadding();
            for (wchar_t c = L'!'; c <= L'~'; ++c) {
                const Glyph* g = font->findGlyph(c);
                EXPECT_LE(g->sx + 2 * p * g->index + g->sw + 2 * p, layer->getImage()->getWidth());
                EXPECT_LE(g->sy + g->sh + 2 * p, layer->getImage()->getHeight());
            }
        }
    }
}

TEST(BakedFontTest, KerningOfTheBakedFontMovesThePen) {
    RefHolder<BitmapFont> font = loadBakedFont(BAKED_FONT_FOLDER, "sans-bold-24");
    ASSERT_TRUE(font);
    const Glyph* a = font->findGlyph(L'A');
    ASSERT_NE(a, nullptr);
    const int32_t kern = a->kerningBefore(L'V');
    ASSERT_LT(kern, 0);
    TextLayout kerned;
    font->layoutText(L"AV", kerned, 0, -1);
    TextLayout plain;
    font->layoutText(L"AX", plain, 0, -1);
    ASSERT_EQ(kerned.placements.size(), 2u);
    EXPECT_EQ(kerned.placements[0].next, plain.placements[0].next);
    EXPECT_EQ(kerned.placements[1].left - font->findGlyph(L'V')->bx,
              plain.placements[1].left - font->findGlyph(L'X')->bx + kern);
}

}  // namespace baked_font_test
