#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "framework/core/RefHolder.h"
#include "framework/platform/Font.h"
#include "framework/platform/FontLayer.h"
#include "framework/platform/Glyph.h"

class AbstractProperty;

// The font all text is drawn with: glyph images cut from layer images, placed by per-glyph
// metrics with kerning, drawn layer by layer (the first layer ends on top). Built once from a
// description node ("charspacing", "spacewidth", "lineheight", "baseline", a "chars" list and
// a "kerning" list) and given its layers right after; afterwards only flagB changes.
class BitmapFont : public Font {
    QUOVEL_TYPE(BitmapFont)
public:
    // Reads the description node; anything that is not a node reads as the empty node.
    explicit BitmapFont(AbstractProperty* description);
    ~BitmapFont() override;

    // Appends the layer; the margin grows to the layer's padding when that is larger.
    void addLayer(FontLayer* layer);

    void drawText(Graphics* target, const std::vector<TextLine>& lines,
                  const std::vector<uint32_t>& colors) override;
    int32_t getMargin() const override { return margin; }
    void layoutText(const std::wstring& text, TextLayout& layout, int32_t start,
                    int32_t count) const override;
    int32_t measureText(const std::wstring& text, int32_t start, int32_t count,
                        int32_t which) const override;
    // True for a blank whatever the glyphs hold.
    bool hasGlyph(wchar_t character) const override;
    bool getFlagB() const override { return flagB; }
    bool setFlagB(bool value) override;
    bool getFlagA() const override { return flagA; }
    int32_t getCellHeight() const override;
    int32_t getBaseline() const override { return baseline; }
    int32_t getLineHeight() const override;
    uint32_t getLastLayerColor() const override;
    bool isLastLayerAlphaOnly() const override;

    // The character's own glyph, or null (always null above U+FFFF).
    const Glyph* findGlyph(wchar_t character) const;
    // The stand-in for characters without a glyph.
    const Glyph& getDefaultGlyph() const { return defaultGlyph; }
    int32_t getCharSpacing() const { return charSpacing; }
    int32_t getGlyphHeight() const { return glyphHeight; }
    int32_t getLayerCount() const { return static_cast<int32_t>(layers.size()); }
    FontLayer* getLayer(int32_t index) const;

    // Reads one kerning text ("#0#41#56#57": after an item 0 or a U+0001 the next item is a left
    // character, the items after it the characters that follow it) into the glyphs' kerning,
    // each pair with `amount`. Items that are not hexadecimal or exceed U+FFFF are skipped.
    void readKerningText(const std::wstring& text, int32_t amount);

private:
    void readChars(AbstractProperty* list);
    void completeDefaultGlyph();
    // The glyph laid out for the character: its own, a blank without metrics, or the default.
    const Glyph& layoutGlyph(wchar_t character) const;

    std::vector<RefHolder<FontLayer>> layers;
    std::unordered_map<uint16_t, Glyph> glyphs;
    int32_t charSpacing = 0;
    int32_t lineHeight = 0;
    int32_t glyphHeight = 0;
    int32_t baseline = 0;
    bool flagA = false;
    bool flagB = true;
    int32_t margin = 0;
    Glyph defaultGlyph;
};
