#pragma once

// A font with simple, known metrics for widget tests: every character advances `advance`
// pixels ('|' advances 1), blanks draw nothing, and every other character draws a solid box of
// `advance - 1` x `glyphHeight` inside a transparent margin, in the color of layer 0. A
// measured width takes in the margin on both sides, as a baked font's cells do.

#include <string>
#include <vector>

#include "framework/core/ObjectFactoryContainer.h"
#include "framework/platform/Font.h"
#include "framework/platform/Graphics.h"
#include "framework/platform/ResourceObject.h"

class SyntheticFont : public Font {
public:
    explicit SyntheticFont(int32_t margin = 0, int32_t advance = 6, int32_t glyphHeight = 8,
                           int32_t lineHeight = 10)
        : margin(margin), advance(advance), glyphHeight(glyphHeight), lineHeight(lineHeight) {}

    static constexpr uint32_t OWN_COLOR = 0xFF102030;

    int32_t advanceOf(wchar_t c) const { return c == L'|' ? 1 : advance; }

    void drawText(Graphics* target, const std::vector<TextLine>& lines,
                  const std::vector<uint32_t>& colors) override {
        const uint32_t saved = target->getColor();
        target->setColor(colors.empty() ? OWN_COLOR : colors.front());
        for (const TextLine& line : lines) {
            int32_t pen = line.x;
            for (wchar_t c : line.text) {
                if (c != L' ' && c != L'\t') {
                    const int32_t w = c == L'|' ? 1 : advance - 1;
                    target->fillRect(pen + margin, line.y + margin, w, glyphHeight);
                    target->fillRectChannel(Channel::ALPHA, 255, pen + margin, line.y + margin, w,
                                            glyphHeight);
                }
                pen += advanceOf(c);
            }
        }
        target->setColor(saved);
    }
    int32_t getMargin() const override { return margin; }
    void layoutText(const std::wstring&, TextLayout&, int32_t, int32_t) const override {}
    int32_t measureText(const std::wstring& text, int32_t start, int32_t count,
                        int32_t) const override {
        const auto size = static_cast<int32_t>(text.size());
        const int32_t end = count < 0 ? size : std::min(size, start + count);
        int32_t width = 0;
        for (int32_t i = std::max(start, 0); i < end; ++i) {
            width += advanceOf(text[static_cast<size_t>(i)]);
        }
        // As a baked font's right edge: the last cell's margin is included.
        return width > 0 ? width + 2 * margin : 0;
    }
    bool hasGlyph(wchar_t) const override { return true; }
    bool getFlagB() const override { return true; }
    bool setFlagB(bool) override { return true; }
    bool getFlagA() const override { return false; }
    int32_t getCellHeight() const override { return glyphHeight + 2 * margin; }
    int32_t getBaseline() const override { return glyphHeight; }
    int32_t getLineHeight() const override { return lineHeight; }
    uint32_t getLastLayerColor() const override { return OWN_COLOR; }
    bool isLastLayerAlphaOnly() const override { return false; }

private:
    int32_t margin;
    int32_t advance;
    int32_t glyphHeight;
    int32_t lineHeight;
};

// Any object as a resource, for widgets that look resources up by key: loaded from the start,
// or, not `loaded`, on the first lookup that loads.
class MemoryObjectResource : public ResourceObject {
public:
    explicit MemoryObjectResource(BaseObject* object, bool loaded = true)
        : ResourceObject("memory", 0), object(object) {
        if (loaded) {
            setLoaded();
        }
    }
    void load() override { setLoaded(); }
    BaseObject* getData() const override { return object.get(); }

private:
    RefHolder<BaseObject> object;
};
