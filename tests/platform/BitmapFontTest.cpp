#include "framework/platform/BitmapFont.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RecordingGraphics.h"
#include "framework/core/PropertyNode.h"
#include "framework/core/PropertyValue.h"
#include "framework/core/PropertyVector.h"
#include "framework/core/RefHolder.h"
#include "framework/platform/FontLayer.h"
#include "framework/platform/Image.h"

namespace bitmap_font_test {

struct CharEntry {
    int32_t c, sx, sy, sw, sh, width, bx, by;
};

// The description node as the font resource hands it over: attributes become untyped values.
class Description {
public:
    Description() : node(new PropertyNode("font", "Node")) {}

    Description& value(const std::string& key, int32_t number) {
        node->addChild(new PropertyValue(key, number, true));
        return *this;
    }
    Description& chars(const std::vector<CharEntry>& entries) {
        auto* list = static_cast<PropertyVector*>(node->addChild(new PropertyVector("chars")));
        for (const CharEntry& e : entries) {
            auto* entry = static_cast<PropertyNode*>(list->addChild(new PropertyNode("", "Node")));
            const std::pair<const char*, int32_t> keys[] = {
                {"c", e.c},   {"sx", e.sx},       {"sy", e.sy}, {"sw", e.sw},
                {"sh", e.sh}, {"width", e.width}, {"bx", e.bx}, {"by", e.by}};
            for (const auto& [key, number] : keys) {
                entry->addChild(new PropertyValue(key, number, true));
            }
        }
        return *this;
    }
    Description& kerning(const std::vector<std::pair<int32_t, std::wstring>>& entries) {
        auto* list = static_cast<PropertyVector*>(node->addChild(new PropertyVector("kerning")));
        for (const auto& [amount, text] : entries) {
            auto* entry = static_cast<PropertyNode*>(list->addChild(new PropertyNode("", "Node")));
            entry->addChild(new PropertyValue("width", amount, true));
            entry->addChild(new PropertyValue("chars", text, true));
        }
        return *this;
    }
    PropertyNode* get() const { return node.get(); }

private:
    RefHolder<PropertyNode> node;
};

// Three glyphs, a blank of 4, character spacing 1 and the pair A V kerned by -2.
Description sampleDescription() {
    Description description;
    description.value("charspacing", 1).value("spacewidth", 4).value("baseline", 11);
    description.chars(
        {{'A', 0, 0, 8, 10, 9, 0, 2}, {'V', 8, 0, 8, 10, 8, 1, 2}, {'g', 16, 0, 6, 12, 7, 1, 5}});
    description.kerning({{-2, L"#0#41#56"}});
    return description;
}

std::vector<std::vector<int32_t>> placementsOf(const TextLayout& layout) {
    std::vector<std::vector<int32_t>> rows;
    for (const GlyphPlacement& p : layout.placements) {
        rows.push_back({p.left, p.top, p.right, p.next, p.extent});
    }
    return rows;
}

std::vector<std::vector<int32_t>> layOut(const BitmapFont& font, const std::wstring& text,
                                         int32_t start = 0, int32_t count = -1) {
    TextLayout layout;
    font.layoutText(text, layout, start, count);
    return placementsOf(layout);
}

using Rows = std::vector<std::vector<int32_t>>;

TEST(BitmapFontTest, ReadsTheDescription) {
    RefHolder<BitmapFont> font = new BitmapFont(sampleDescription().get());
    EXPECT_EQ(font->getCharSpacing(), 1);
    EXPECT_EQ(font->getBaseline(), 11);
    EXPECT_EQ(font->getGlyphHeight(), 17);  // by 5 + sh 12 of "g"
    EXPECT_EQ(font->getCellHeight(), 17);
    EXPECT_EQ(font->getLineHeight(), 17);  // no "lineheight": the cell height
    const Glyph* v = font->findGlyph(L'V');
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->index, 1);
    EXPECT_EQ(v->sx, 8);
    EXPECT_EQ(v->width, 8);
    const Glyph* space = font->findGlyph(L' ');
    ASSERT_NE(space, nullptr);
    EXPECT_EQ(space->index, -1);
    EXPECT_EQ(space->sw, 4);
    EXPECT_EQ(space->width, 4);
    // Twice the blank; the ceiling of the mean bx of 0, 0, 1 and 1.
    EXPECT_EQ(font->getDefaultGlyph().width, 8);
    EXPECT_EQ(font->getDefaultGlyph().sw, 8);
    EXPECT_EQ(font->getDefaultGlyph().bx, 1);
    EXPECT_EQ(font->getDefaultGlyph().index, -1);
    EXPECT_TRUE(font->getFlagB());
    EXPECT_FALSE(font->getFlagA());
    EXPECT_FALSE(font->setFlagB(false));
    EXPECT_FALSE(font->getFlagB());

    Description withLineHeight = sampleDescription();
    withLineHeight.value("lineheight", 15);
    // A "chars" entry for the blank replaces the one "spacewidth" made.
    withLineHeight.chars({{' ', 30, 0, 5, 0, 6, 0, 0}, {'x', 40, 0, 3, 4, -7, -3, 1}});
    RefHolder<BitmapFont> second = new BitmapFont(withLineHeight.get());
    EXPECT_EQ(second->getLineHeight(), 15);
    EXPECT_EQ(second->findGlyph(L' ')->index, 0);
    EXPECT_EQ(second->findGlyph(L' ')->width, 6);
    EXPECT_EQ(second->getGlyphHeight(), 5);
    // Mean bx of -3 and 0 is -1.5: the ceiling is -1.
    EXPECT_EQ(second->getDefaultGlyph().bx, -1);
}

TEST(BitmapFontTest, AnythingButANodeReadsAsAnEmptyDescription) {
    RefHolder<PropertyValue> value = new PropertyValue("font", 12);
    for (AbstractProperty* argument :
         {static_cast<AbstractProperty*>(nullptr), static_cast<AbstractProperty*>(value.get())}) {
        RefHolder<BitmapFont> font = new BitmapFont(argument);
        EXPECT_EQ(font->getCharSpacing(), 0);
        EXPECT_EQ(font->getCellHeight(), 0);
        EXPECT_EQ(font->getDefaultGlyph().width, 0);
        EXPECT_EQ(font->getDefaultGlyph().bx, 0);
        EXPECT_EQ(font->findGlyph(L'A'), nullptr);
    }
    // "chars" that is not a list gives no glyphs.
    Description description;
    description.value("chars", 3);
    RefHolder<BitmapFont> font = new BitmapFont(description.get());
    EXPECT_EQ(font->findGlyph(0), nullptr);
    EXPECT_EQ(font->getGlyphHeight(), 0);
}

TEST(BitmapFontTest, KerningTexts) {
    Description description;
    description.chars({{'A', 0, 0, 8, 10, 9, 0, 2}, {'V', 8, 0, 8, 10, 8, 1, 2}});
    description.kerning({{-2, L"#0#41#56#57#0#56#41"},
                         {-3, L"\x01#41#2e"},
                         // Items that are not hexadecimal, empty or beyond U+FFFF are skipped.
                         {-4, L"#0#41#zz##1F600# 0x2c"},
                         // A later entry overwrites a pair.
                         {-5, L"#0#41#57"}});
    RefHolder<BitmapFont> font = new BitmapFont(description.get());
    const Glyph* a = font->findGlyph(L'A');
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->kerning.size(), 4u);
    EXPECT_EQ(a->kerningBefore(L'V'), -2);
    EXPECT_EQ(a->kerningBefore(L'W'), -5);
    EXPECT_EQ(a->kerningBefore(L'.'), -3);
    EXPECT_EQ(a->kerningBefore(L','), -4);
    EXPECT_EQ(a->kerningBefore(0xF600), 0);
    EXPECT_EQ(a->kerningBefore(0x1F600), 0);
    EXPECT_EQ(font->findGlyph(L'V')->kerningBefore(L'A'), -2);
    // Right characters get no glyph of their own.
    EXPECT_EQ(font->findGlyph(L'W'), nullptr);
}

TEST(BitmapFontTest, KerningWithoutALeadingZeroPairsWithCharacterZero) {
    Description description;
    description.chars({{'A', 0, 0, 8, 10, 9, 0, 2}, {'V', 8, 0, 8, 10, 8, 1, 2}});
    description.kerning({{-2, L"#41#56"}});
    RefHolder<BitmapFont> font = new BitmapFont(description.get());
    EXPECT_TRUE(font->findGlyph(L'A')->kerning.empty());
    const Glyph* zero = font->findGlyph(0);
    ASSERT_NE(zero, nullptr);
    EXPECT_EQ(zero->index, -1);
    EXPECT_EQ(zero->sw, 0);
    EXPECT_EQ(zero->kerningBefore(L'A'), -2);
    EXPECT_EQ(zero->kerningBefore(L'V'), -2);
    // No visible pair: A V is laid out unkerned.
    EXPECT_EQ(layOut(*font, L"AV")[1][0], 9 + 1);
}

TEST(BitmapFontTest, LayoutWithKerningSpacingAndBlanks) {
    RefHolder<BitmapFont> font = new BitmapFont(sampleDescription().get());
    // left, top, right, next, extent; A's advance is 9 + 1 spacing, then -2 before V.
    EXPECT_EQ(layOut(*font, L"AV"), (Rows{{0, 2, 8, 10, 8}, {9, 2, 17, 17, 17}}));
    // The blank reaches from the end of A's image (8) to its own advance.
    EXPECT_EQ(layOut(*font, L"A V"),
              (Rows{{0, 2, 8, 10, 8}, {10, 0, 12, 15, 12}, {16, 2, 24, 24, 24}}));

    // With layers of padding 2 and 0 the margin is 2.
    font->addLayer(new FontLayer(2, 0xFF000000, nullptr));
    font->addLayer(new FontLayer(0, 0xFFFFFFFF, nullptr));
    EXPECT_EQ(font->getMargin(), 2);
    EXPECT_EQ(font->getCellHeight(), 21);
    const Rows rows = layOut(*font, L"AV");
    EXPECT_EQ(rows, (Rows{{2, 4, 12, 12, 10}, {11, 4, 21, 19, 21}}));
    // The last character's extent is its right edge; the others lose the margin.
    EXPECT_EQ(rows[0][4], rows[0][2] - 2);
    EXPECT_EQ(rows[1][4], rows[1][2]);
    EXPECT_EQ(font->measureText(L"AV", 0, -1, 0), 21);
    EXPECT_EQ(font->measureText(L"AV", 0, -1, 1), 19);
    EXPECT_EQ(font->measureText(L"AV", 0, -1, 2), 21);
    EXPECT_EQ(font->measureText(L"AV", 0, 1, 2), 10);
}

TEST(BitmapFontTest, RangesAreClamped) {
    RefHolder<BitmapFont> font = new BitmapFont(sampleDescription().get());
    EXPECT_EQ(font->measureText(L"", 0, -1, 0), 0);
    EXPECT_EQ(font->measureText(L"AV", 2, 1, 0), 0);
    EXPECT_EQ(font->measureText(L"AV", 7, -1, 1), 0);
    EXPECT_EQ(font->measureText(L"AV", 0, 0, 0), 0);
    EXPECT_EQ(font->measureText(L"AV", 0, -1, 5), 0);
    EXPECT_EQ(layOut(*font, L"AV", -3, -1), layOut(*font, L"AV"));
    EXPECT_EQ(layOut(*font, L"AV", -3, 1), layOut(*font, L"AV", 0, 1));
    EXPECT_EQ(layOut(*font, L"AVg", 1, 100).size(), 2u);
    // A range that starts inside the text places its first glyph by bx (V's is 1); only the
    // whole text's first character starts exactly at the margin.
    EXPECT_EQ(layOut(*font, L"AV", 1, 1), (Rows{{1, 2, 9, 9, 9}}));
    EXPECT_EQ(layOut(*font, L"V"), (Rows{{0, 2, 8, 8, 8}}));
    // The kerning of a range's last glyph still looks at the text after the range.
    TextLayout layout;
    font->layoutText(L"AVA", layout, 0, 1);
    EXPECT_EQ(layout.placements[0].extent, 8);
}

TEST(BitmapFontTest, CharactersWithoutGlyphsUseTheDefaultGlyph) {
    RefHolder<BitmapFont> font = new BitmapFont(sampleDescription().get());
    EXPECT_TRUE(font->hasGlyph(L'A'));
    EXPECT_TRUE(font->hasGlyph(L' '));
    EXPECT_FALSE(font->hasGlyph(L'B'));
    // U+10041 is not U+0041 cut to 16 bits.
    EXPECT_FALSE(font->hasGlyph(static_cast<wchar_t>(0x10041)));
    EXPECT_EQ(font->findGlyph(static_cast<wchar_t>(0x10041)), nullptr);
    EXPECT_FALSE(font->hasGlyph(static_cast<wchar_t>(-1)));
    // The default glyph: advance 8, bx 1, image width 8, at the top of the cell.
    EXPECT_EQ(layOut(*font, L"AB"), (Rows{{0, 2, 8, 10, 8}, {11, 0, 19, 19, 19}}));
    EXPECT_EQ(layOut(*font, std::wstring(L"A") + static_cast<wchar_t>(0x10041)),
              layOut(*font, L"AB"));
    // No kerning before U+10056 although A kerns before U+0056.
    const Rows kerned = layOut(*font, L"AV");
    const Rows unkerned = layOut(*font, std::wstring(L"A") + static_cast<wchar_t>(0x10056));
    EXPECT_EQ(kerned[0][3], unkerned[0][3]);
    EXPECT_EQ(unkerned[1][0], 10 + 1);
}

TEST(BitmapFontTest, FontWithoutABlankOrWithoutGlyphs) {
    Description description;
    description.chars({{'A', 0, 0, 8, 10, 9, 2, 2}});
    RefHolder<BitmapFont> noBlank = new BitmapFont(description.get());
    EXPECT_TRUE(noBlank->hasGlyph(L' '));
    EXPECT_EQ(noBlank->findGlyph(L' '), nullptr);
    EXPECT_EQ(noBlank->getDefaultGlyph().width, 0);
    EXPECT_EQ(noBlank->getDefaultGlyph().sw, 0);
    EXPECT_EQ(noBlank->getDefaultGlyph().bx, 2);
    // The blank has no metrics: it only reaches back to the end of A's image.
    EXPECT_EQ(layOut(*noBlank, L"A A"),
              (Rows{{0, 2, 8, 7, 8}, {7, 0, 8, 7, 8}, {9, 2, 17, 16, 17}}));

    RefHolder<BitmapFont> empty = new BitmapFont(Description().get());
    EXPECT_EQ(empty->getDefaultGlyph().bx, 0);
    EXPECT_EQ(empty->getDefaultGlyph().width, 0);
    EXPECT_EQ(layOut(*empty, L"ab c"),
              (Rows{{0, 0, 0, 0, 0}, {0, 0, 0, 0, 0}, {0, 0, 0, 0, 0}, {0, 0, 0, 0, 0}}));
    EXPECT_EQ(empty->measureText(L"ab c", 0, -1, 0), 0);
    EXPECT_EQ(empty->getLineHeight(), 0);
}

TEST(BitmapFontTest, LayersDecideMarginColorAndAlphaOnly) {
    RefHolder<BitmapFont> font = new BitmapFont(sampleDescription().get());
    EXPECT_EQ(font->getLastLayerColor(), 0u);
    EXPECT_FALSE(font->isLastLayerAlphaOnly());
    RefHolder<Image> mask = Image::createImage(4, 4, 1);
    RefHolder<Image> color = Image::createImage(4, 4, 4);
    font->addLayer(new FontLayer(1, 0xFF102030, color.get()));
    EXPECT_FALSE(font->isLastLayerAlphaOnly());
    font->addLayer(new FontLayer(3, 0xFF405060, mask.get()));
    EXPECT_TRUE(font->isLastLayerAlphaOnly());
    EXPECT_EQ(font->getLastLayerColor(), 0xFF405060u);
    font->addLayer(new FontLayer(2, 0xFF708090, nullptr));
    EXPECT_FALSE(font->isLastLayerAlphaOnly());
    EXPECT_EQ(font->getMargin(), 3);
    EXPECT_EQ(font->getLayerCount(), 3);
    EXPECT_EQ(font->getLayer(3), nullptr);
    // The font holds its layers, and each layer its image.
    EXPECT_EQ(mask->getRefCount(), 2);
}

// Records every drawing call with the color current at that moment.
class DrawRecorder : public RecordingGraphics {
public:
    struct Op {
        char kind;  // 'b' blit, 'm' channel maximum, 'f' fill, 'c' channel fill
        uint32_t color;
        Image* source;
        std::vector<int32_t> geometry;
    };
    using RecordingGraphics::RecordingGraphics;
    std::vector<Op> ops;

    void blit(Image* source, int32_t dx, int32_t dy, int32_t sx, int32_t sy, int32_t w,
              int32_t h) override {
        ops.push_back({'b', color, source, {dx, dy, sx, sy, w, h}});
    }
    void blitChannelMax(Image* source, int32_t channel, int32_t dx, int32_t dy, int32_t sx,
                        int32_t sy, int32_t w, int32_t h) override {
        ops.push_back({'m', color, source, {channel, dx, dy, sx, sy, w, h}});
    }
    void fillRect(int32_t x, int32_t y, int32_t w, int32_t h) override {
        ops.push_back({'f', color, nullptr, {x, y, w, h}});
    }
    void fillRectChannel(int32_t channel, int32_t value, int32_t x, int32_t y, int32_t w,
                         int32_t h) override {
        ops.push_back({'c', color, nullptr, {channel, value, x, y, w, h}});
    }
};

TEST(BitmapFontTest, DrawsTheLastLayerFirstWithPaddedCells) {
    RefHolder<BitmapFont> font = new BitmapFont(sampleDescription().get());
    RefHolder<Image> outline = Image::createImage(100, 14, 1);
    RefHolder<Image> fill = Image::createImage(100, 10, 1);
    font->addLayer(new FontLayer(0, 0xFFFFFFFF, fill.get()));
    font->addLayer(new FontLayer(2, 0xFF000080, outline.get()));
    RefHolder<Image> target = Image::createImage(200, 60, 4);
    DrawRecorder graphics(target.get());
    graphics.setColor(0x12345678);
    graphics.setAlpha(77);

    // One color colors the first layer only; the blank is not drawn.
    font->drawText(&graphics, {TextLine{L"A V", 10, 5}}, {0xFF00FF00});
    ASSERT_EQ(graphics.ops.size(), 8u);
    // The outline (padding 2) first: A's cell at column 0, V's after one earlier padded cell.
    // In the layout (margin 2) A is at (2, 4) and V at (18, 4).
    const std::vector<std::vector<int32_t>> outlineBlits = {{10, 7, 0, 0, 12, 14},
                                                            {26, 7, 8 + 4, 0, 12, 14}};
    const std::vector<std::vector<int32_t>> fillBlits = {{12, 9, 0, 0, 8, 10},
                                                         {28, 9, 8, 0, 8, 10}};
    for (size_t k = 0; k < 2; ++k) {
        const DrawRecorder::Op& blit = graphics.ops[k * 2];
        const DrawRecorder::Op& merge = graphics.ops[k * 2 + 1];
        EXPECT_EQ(blit.kind, 'b');
        EXPECT_EQ(blit.source, outline.get());
        EXPECT_EQ(blit.color, 0xFF000080u);
        EXPECT_EQ(blit.geometry, outlineBlits[k]);
        EXPECT_EQ(merge.kind, 'm');
        EXPECT_EQ(merge.geometry[0], 0);  // channel 0
        EXPECT_EQ(std::vector<int32_t>(merge.geometry.begin() + 1, merge.geometry.end()),
                  outlineBlits[k]);
        const DrawRecorder::Op& top = graphics.ops[4 + k * 2];
        EXPECT_EQ(top.source, fill.get());
        EXPECT_EQ(top.color, 0xFF00FF00u);
        EXPECT_EQ(top.geometry, fillBlits[k]);
    }
    // The padding-0 layer's glyph lies 2 pixels right and down of the padded cell's origin.
    EXPECT_EQ(fillBlits[0][0] - outlineBlits[0][0], 2);
    EXPECT_EQ(fillBlits[0][1] - outlineBlits[0][1], 2);
    EXPECT_EQ(graphics.getColor(), 0x12345678u);
    EXPECT_EQ(graphics.getAlpha(), 77);
}

TEST(BitmapFontTest, MissingGlyphsAreBoxesAndLinesAreDrawnPerLayer) {
    RefHolder<BitmapFont> font = new BitmapFont(sampleDescription().get());
    RefHolder<Image> image = Image::createImage(100, 20, 1);
    font->addLayer(new FontLayer(1, 0xFF0000FF, image.get()));
    font->addLayer(new FontLayer(0, 0xFFFF0000, image.get()));
    RefHolder<Image> target = Image::createImage(200, 60, 4);
    DrawRecorder graphics(target.get());
    font->drawText(&graphics, {TextLine{L"B", 0, 0}, TextLine{L"A", 50, 30}}, {});
    ASSERT_EQ(graphics.ops.size(), 8u);
    // Last layer (padding 0, red): the box of line 1, then A of line 2.
    // B is the first character: its default glyph starts at the margin, 1.
    EXPECT_EQ(graphics.ops[0].kind, 'f');
    EXPECT_EQ(graphics.ops[0].color, 0xFFFF0000u);
    EXPECT_EQ(graphics.ops[0].geometry, (std::vector<int32_t>{1 + 1, 1 + 1, 8 - 1, 17 - 1}));
    EXPECT_EQ(graphics.ops[1].kind, 'c');
    EXPECT_EQ(graphics.ops[1].geometry, (std::vector<int32_t>{0, 255, 2, 2, 7, 16}));
    EXPECT_EQ(graphics.ops[2].kind, 'b');
    EXPECT_EQ(graphics.ops[2].geometry, (std::vector<int32_t>{51, 33, 0, 0, 8, 10}));
    // First layer (padding 1, blue): the box grows by the padding on each side.
    EXPECT_EQ(graphics.ops[4].kind, 'f');
    EXPECT_EQ(graphics.ops[4].color, 0xFF0000FFu);
    EXPECT_EQ(graphics.ops[4].geometry, (std::vector<int32_t>{1, 1, 8 + 2 - 1, 17 + 2 - 1}));
    EXPECT_EQ(graphics.ops[6].geometry, (std::vector<int32_t>{50, 32, 0, 0, 10, 12}));
}

TEST(BitmapFontTest, GraphicsHandsLinesToItsFont) {
    RefHolder<BitmapFont> font = new BitmapFont(sampleDescription().get());
    RefHolder<Image> image = Image::createImage(100, 20, 1);
    font->addLayer(new FontLayer(0, 0xFFFF0000, image.get()));
    RefHolder<Image> target = Image::createImage(200, 60, 4);
    DrawRecorder graphics(target.get());
    graphics.setFont(font.get());
    graphics.setColor(0xFF00FF00);
    graphics.drawText(L"Ag", 3, 4);
    ASSERT_EQ(graphics.ops.size(), 4u);
    EXPECT_EQ(graphics.ops[0].color, 0xFF00FF00u);
    EXPECT_EQ(graphics.ops[0].geometry, (std::vector<int32_t>{3, 6, 0, 0, 8, 10}));
    // g: pen after A is 10, bx 1, by 5.
    EXPECT_EQ(graphics.ops[2].geometry, (std::vector<int32_t>{14, 9, 16, 0, 6, 12}));
}

TEST(BitmapFontTest, HugeMetricsSaturateInsteadOfOverflowing) {
    Description description;
    description.value("charspacing", 2147483647).value("spacewidth", 2147483647);
    description.chars(
        {{'A', 2147483647, 0, 2147483647, 2147483647, 2147483647, -2147483647 - 1, 2147483647}});
    RefHolder<BitmapFont> font = new BitmapFont(description.get());
    font->addLayer(new FontLayer(2147483647, 0xFFFFFFFF, Image::createImage(4, 4, 1)));
    EXPECT_EQ(font->getCellHeight(), 2147483647);
    EXPECT_EQ(font->getDefaultGlyph().width, 2147483647);
    const Rows rows = layOut(*font, L"AAAA AB");
    ASSERT_EQ(rows.size(), 7u);
    EXPECT_EQ(rows.back()[3], 2147483647);
    RefHolder<Image> target = Image::createImage(8, 8, 4);
    DrawRecorder graphics(target.get());
    font->drawText(&graphics, {TextLine{L"AB A", -2147483647 - 1, 2147483647}}, {});
    EXPECT_EQ(graphics.getColor(), 0u);
}

}  // namespace bitmap_font_test
