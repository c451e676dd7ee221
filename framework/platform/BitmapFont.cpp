#include "framework/platform/BitmapFont.h"

#include <algorithm>
#include <limits>
#include <optional>

#include "framework/core/PropertyNode.h"
#include "framework/core/PropertyValue.h"
#include "framework/core/PropertyVector.h"
#include "framework/core/Rect.h"
#include "framework/platform/Graphics.h"

QUOVEL_DEFINE_TYPE(BitmapFont, &Font::typeRecord)

namespace {

constexpr wchar_t BLANK = L' ';

// Metrics are authored numbers: positions are summed in 64 bits and stored saturated, so no
// description or text overflows.
int32_t saturate(int64_t value) {
    return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

// A blank of a font that describes none.
const Glyph& emptyGlyph() {
    static const Glyph glyph;
    return glyph;
}

bool isHexDigit(wchar_t c) {
    return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F');
}

int32_t hexCharValue(wchar_t c) {
    if (c <= L'9') {
        return c - L'0';
    }
    return (c | 0x20) - L'a' + 10;
}

// One kerning item read as "%x" reads it (leading white space, an optional "0x", digits up to
// the first other character). Empty when no digit is there or the code exceeds 16 bits.
std::optional<uint16_t> readHexItem(const std::wstring& text, size_t begin, size_t end) {
    while (begin < end && (text[begin] == L' ' || (text[begin] >= L'\t' && text[begin] <= L'\r'))) {
        ++begin;
    }
    if (end - begin >= 3 && text[begin] == L'0' && (text[begin + 1] | 0x20) == L'x' &&
        isHexDigit(text[begin + 2])) {
        begin += 2;
    }
    if (begin == end || !isHexDigit(text[begin])) {
        return std::nullopt;
    }
    uint32_t code = 0;
    for (; begin < end && isHexDigit(text[begin]); ++begin) {
        code = code * 16 + static_cast<uint32_t>(hexCharValue(text[begin]));
        if (code > 0xFFFF) {
            return std::nullopt;
        }
    }
    return static_cast<uint16_t>(code);
}

}  // namespace

BitmapFont::BitmapFont(AbstractProperty* description) {
    PropertyNode* node = nodeOrDummy(description);
    if (node->getChild("charspacing")) {
        charSpacing = node->getChildValue("charspacing")->getInt();
    }
    if (node->getChild("spacewidth")) {
        Glyph& space = glyphs[static_cast<uint16_t>(BLANK)];
        space = Glyph();
        space.sw = space.width = node->getChildValue("spacewidth")->getInt();
    }
    if (node->getChild("lineheight")) {
        lineHeight = node->getChildValue("lineheight")->getInt();
    }
    if (node->getChild("baseline")) {
        baseline = node->getChildValue("baseline")->getInt();
    }
    readChars(node->getChild("chars"));
    if (node->getChild("kerning")) {
        PropertyVector* entries = vectorOrDummy(node->getChild("kerning"));
        for (int32_t i = 0; i < entries->getChildCount(); ++i) {
            PropertyNode* entry = nodeOrDummy(entries->getChildAt(i));
            readKerningText(entry->getChildValue("chars")->getText(),
                            entry->getChildValue("width")->getInt());
        }
    }
    completeDefaultGlyph();
}

BitmapFont::~BitmapFont() = default;

void BitmapFont::readChars(AbstractProperty* list) {
    PropertyVector* chars = vectorOrDummy(list);
    for (int32_t i = 0; i < chars->getChildCount(); ++i) {
        PropertyNode* entry = nodeOrDummy(chars->getChildAt(i));
        Glyph read;
        read.sx = entry->getChildValue("sx")->getInt();
        read.sy = entry->getChildValue("sy")->getInt();
        read.sw = entry->getChildValue("sw")->getInt();
        read.sh = entry->getChildValue("sh")->getInt();
        read.width = entry->getChildValue("width")->getInt();
        read.bx = entry->getChildValue("bx")->getInt();
        read.by = entry->getChildValue("by")->getInt();
        read.index = i;
        glyphHeight = std::max(glyphHeight, saturate(int64_t{read.by} + read.sh));
        // Codes are 16-bit: an entry beyond U+FFFF names no glyph (it keeps its cell).
        const int32_t code = entry->getChildValue("c")->getInt();
        if (code >= 0 && code <= 0xFFFF) {
            glyphs[static_cast<uint16_t>(code)] = std::move(read);
        }
    }
}

void BitmapFont::readKerningText(const std::wstring& text, int32_t amount) {
    uint16_t left = 0;
    bool expectLeft = false;
    size_t position = 0;
    while (position < text.size()) {
        if (text[position] == L'\x01') {
            expectLeft = true;
            ++position;
            continue;
        }
        // The separator before the item.
        const size_t begin = position + 1;
        size_t end = text.find(L'#', begin);
        if (end == std::wstring::npos) {
            end = text.size();
        }
        position = end;
        const std::optional<uint16_t> code = readHexItem(text, begin, end);
        if (!code) {
            continue;
        }
        if (*code == 0) {
            expectLeft = true;
        } else if (expectLeft) {
            left = *code;
            expectLeft = false;
        } else {
            // A glyph named only here has no image entry.
            glyphs.try_emplace(left).first->second.kerning[*code] = amount;
        }
    }
}

void BitmapFont::completeDefaultGlyph() {
    const Glyph* space = findGlyph(BLANK);
    const int64_t spaceWidth = space ? space->width : 0;
    defaultGlyph.sw = defaultGlyph.width = saturate(2 * spaceWidth);
    int64_t sum = 0;
    for (const auto& [code, glyph] : glyphs) {
        sum += glyph.bx;
    }
    const int64_t count = static_cast<int64_t>(glyphs.size());
    int64_t mean = 0;
    if (count > 0) {
        // Division truncates toward zero: that is the ceiling for a negative sum.
        mean = sum / count + ((sum % count != 0 && sum > 0) ? 1 : 0);
    }
    defaultGlyph.bx = saturate(mean);
}

void BitmapFont::addLayer(FontLayer* layer) {
    if (!layer) {
        return;
    }
    layers.emplace_back(layer);
    margin = std::max(margin, layer->getPadding());
}

FontLayer* BitmapFont::getLayer(int32_t index) const {
    return index >= 0 && index < getLayerCount() ? layers[static_cast<size_t>(index)].get()
                                                 : nullptr;
}

const Glyph* BitmapFont::findGlyph(wchar_t character) const {
    if (character < 0 || static_cast<uint32_t>(character) > 0xFFFF) {
        return nullptr;
    }
    const auto found = glyphs.find(static_cast<uint16_t>(character));
    return found == glyphs.end() ? nullptr : &found->second;
}

bool BitmapFont::hasGlyph(wchar_t character) const {
    return character == BLANK || findGlyph(character) != nullptr;
}

const Glyph& BitmapFont::layoutGlyph(wchar_t character) const {
    if (const Glyph* glyph = findGlyph(character)) {
        return *glyph;
    }
    return character == BLANK ? emptyGlyph() : defaultGlyph;
}

void BitmapFont::layoutText(const std::wstring& text, TextLayout& layout, int32_t start,
                            int32_t count) const {
    const int64_t length = static_cast<int64_t>(text.size());
    const int64_t first = std::max(start, 0);
    if (first >= length) {
        return;
    }
    int64_t end = length;
    if (count >= 0 && first + count < length) {
        end = first + count;
    }
    if (end <= first) {
        return;
    }
    const int64_t m = margin;
    int64_t pen = m;
    int64_t previousEnd = 0;
    layout.placements.reserve(layout.placements.size() + static_cast<size_t>(end - first));
    for (int64_t i = first; i < end; ++i) {
        const wchar_t ch = text[static_cast<size_t>(i)];
        const Glyph& g = layoutGlyph(ch);
        const bool last = i == length - 1;
        const int64_t kern = last ? 0 : g.kerningBefore(text[static_cast<size_t>(i) + 1]);
        int64_t w = g.sw;
        if (ch == BLANK) {
            // A blank reaches from the end of the previous glyph image.
            w = g.sw - pen + previousEnd;
        }
        int64_t left = pen + g.bx;
        if (i == 0) {
            // The first glyph of the text starts exactly at the margin.
            left = pen;
            pen -= g.bx;
        }
        const int64_t next = int64_t{charSpacing} + g.width + pen;
        const int64_t right = m + left + w;
        GlyphPlacement placement;
        placement.left = saturate(left);
        placement.top = saturate(int64_t{g.by} + m);
        placement.right = saturate(right);
        placement.next = saturate(next);
        placement.extent = saturate(last ? right : right - m);
        layout.placements.push_back(placement);
        layout.maxRight = std::max(layout.maxRight, placement.right);
        layout.maxNext = std::max(layout.maxNext, placement.next);
        layout.maxExtent = std::max(layout.maxExtent, placement.extent);
        previousEnd = left + g.sw;
        pen = next + kern;
    }
}

int32_t BitmapFont::measureText(const std::wstring& text, int32_t start, int32_t count,
                                int32_t which) const {
    TextLayout layout;
    layoutText(text, layout, start, count);
    if (layout.placements.empty()) {
        return 0;
    }
    switch (which) {
        case 0:
            return layout.maxRight;
        case 1:
            return layout.maxNext;
        case 2:
            return layout.maxExtent;
        default:
            return 0;
    }
}

void BitmapFont::drawText(Graphics* target, const std::vector<TextLine>& lines,
                          const std::vector<uint32_t>& colors) {
    if (!target) {
        return;
    }
    const uint32_t savedColor = target->getColor();
    const int32_t savedAlpha = target->getAlpha();
    std::vector<TextLayout> layouts(lines.size());
    for (size_t n = 0; n < lines.size(); ++n) {
        layoutText(lines[n].text, layouts[n], 0, -1);
    }
    // The last layer first, so the first layer ends on top.
    for (size_t l = layers.size(); l-- > 0;) {
        const FontLayer* layer = layers[l].get();
        Image* image = layer->getImage();
        const int64_t p = layer->getPadding();
        target->setColor(l < colors.size() ? colors[l] : layer->getColor());
        for (size_t n = 0; n < lines.size(); ++n) {
            const TextLine& line = lines[n];
            const std::vector<GlyphPlacement>& placements = layouts[n].placements;
            for (size_t k = 0; k < placements.size(); ++k) {
                const wchar_t ch = line.text[k];
                if (ch == BLANK) {
                    continue;
                }
                const int32_t x = saturate(int64_t{placements[k].left} + line.x - p);
                const int32_t y = saturate(int64_t{placements[k].top} + line.y - p);
                if (const Glyph* g = findGlyph(ch)) {
                    if (image) {
                        // Each cell is padded on every side, and every earlier cell of the row
                        // widens the image by twice the padding.
                        const Rect cell{saturate(g->sx + 2 * p * g->index), g->sy,
                                        saturate(g->sw + 2 * p), saturate(g->sh + 2 * p)};
                        target->blitR(image, x, y, cell);
                        target->blitChannelMaxR(image, Channel::ALPHA, x, y, cell);
                    }
                } else {
                    const int32_t w = saturate(defaultGlyph.width + 2 * p - 1);
                    const int32_t h = saturate(glyphHeight + 2 * p - 1);
                    const int32_t boxX = saturate(int64_t{x} + 1);
                    const int32_t boxY = saturate(int64_t{y} + 1);
                    target->fillRect(boxX, boxY, w, h);
                    target->fillRectChannel(Channel::ALPHA, 255, boxX, boxY, w, h);
                }
            }
        }
    }
    target->setAlpha(savedAlpha);
    target->setColor(savedColor);
}

bool BitmapFont::setFlagB(bool value) {
    flagB = value;
    return value;
}

int32_t BitmapFont::getCellHeight() const {
    return saturate(int64_t{glyphHeight} + 2 * int64_t{margin});
}

int32_t BitmapFont::getLineHeight() const {
    return lineHeight > 0 ? lineHeight : getCellHeight();
}

uint32_t BitmapFont::getLastLayerColor() const {
    return layers.empty() ? 0 : layers.back()->getColor();
}

bool BitmapFont::isLastLayerAlphaOnly() const {
    if (layers.empty() || !layers.back()->getImage()) {
        return false;
    }
    return layers.back()->getImage()->getBytesPerPixel() == 1;
}
