#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/font-baker/BakeOptions.h"
#include "tools/font-baker/GreyBitmap.h"

namespace fontbaker {

// Metrics of one glyph as the font description states them. The glyph's cell in a layer of
// padding p starts at column sx + 2 * p * index and is sw + 2p wide and sh + 2p high.
struct BakedGlyph {
    uint16_t code = 0;
    int sx = 0;
    int sy = 0;
    int sw = 0;
    int sh = 0;
    int width = 0;  // advance
    int bx = 0;
    int by = 0;  // from the top of the glyph area (below the margin) to the glyph image
    GreyBitmap image;
};

struct KerningPair {
    uint16_t left = 0;
    uint16_t right = 0;
    int amount = 0;  // added to the left glyph's advance when `right` follows it
};

struct BakedLayer {
    LayerSpec spec;
    int padding = 0;
    GreyBitmap image;
};

// The result of one bake: glyphs in description order, the font's non-zero kerning pairs
// within the character set, and one image per layer.
struct BakedFont {
    std::vector<BakedGlyph> glyphs;
    std::vector<KerningPair> kerning;
    std::vector<BakedLayer> layers;
    std::vector<uint16_t> missing;  // requested characters the font has no glyph for
    int ascent = 0;                 // glyph area top to baseline
    int spaceWidth = 0;
    int lineHeight = 0;
    int charSpacing = 0;
    int margin = 0;  // the largest layer padding

    int baseline() const { return margin + ascent; }
};

// Renders the characters of `options` with FreeType and builds the layer images. Failures
// (unreadable font, no layers, nothing to bake) return false with a message in `error`.
bool bakeFont(const BakeOptions& options, BakedFont& font, std::string& error);

// Builds one layer image from the glyphs: one row of cells in glyph order.
BakedLayer buildLayer(const std::vector<BakedGlyph>& glyphs, const LayerSpec& spec);

}  // namespace fontbaker
