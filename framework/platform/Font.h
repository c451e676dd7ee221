#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/core/BaseObject.h"

class Graphics;

// One line of text to draw: the text and its top-left corner in the target.
struct TextLine {
    std::wstring text;
    int32_t x = 0;
    int32_t y = 0;
};

// Where one laid-out character goes, relative to the start and top of its line.
struct GlyphPlacement {
    int32_t left = 0;
    int32_t top = 0;
    // Right edge of the glyph cell, margin included.
    int32_t right = 0;
    // Pen position after the glyph, before kerning.
    int32_t next = 0;
    // `right` less the margin when another character follows, else `right`.
    int32_t extent = 0;
};

// The placements of a laid-out range and the largest right, next and extent among them.
struct TextLayout {
    std::vector<GlyphPlacement> placements;
    int32_t maxRight = 0;
    int32_t maxNext = 0;
    int32_t maxExtent = 0;
};

// The font interface that widgets lay text out with and that Graphics draws text through. It
// has no data or behaviour of its own; BitmapFont implements it.
class Font : public BaseObject {
    QUOVEL_TYPE(Font)
public:
    // Draws the lines into the target through its blits; `colors` gives the color of each
    // layer in order, layers beyond the list keep their own.
    virtual void drawText(Graphics* target, const std::vector<TextLine>& lines,
                          const std::vector<uint32_t>& colors) = 0;
    virtual int32_t getMargin() const = 0;
    // Places characters start to start+count-1 of the text into `layout`.
    virtual void layoutText(const std::wstring& text, TextLayout& layout, int32_t start,
                            int32_t count) const = 0;
    // Lays the range out and answers maxRight (which 0), maxNext (1) or maxExtent (2).
    virtual int32_t measureText(const std::wstring& text, int32_t start, int32_t count,
                                int32_t which) const = 0;
    // Characters above U+FFFF have no glyph: glyph codes are 16-bit and never cut.
    virtual bool hasGlyph(wchar_t character) const = 0;
    virtual bool getFlagB() const = 0;
    virtual bool setFlagB(bool value) = 0;
    virtual bool getFlagA() const = 0;
    virtual int32_t getCellHeight() const = 0;
    virtual int32_t getBaseline() const = 0;
    virtual int32_t getLineHeight() const = 0;
    virtual uint32_t getLastLayerColor() const = 0;
    virtual bool isLastLayerAlphaOnly() const = 0;
};
