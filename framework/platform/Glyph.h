#pragma once

#include <cstdint>
#include <unordered_map>

// Metrics of one character of a bitmap font: where its image lies in the layer images, how it
// sits against the pen, and how far the pen moves after it.
struct Glyph {
    // Left and top of the glyph image in a layer image without padding.
    int32_t sx = 0;
    int32_t sy = 0;
    // Size of the glyph image.
    int32_t sw = 0;
    int32_t sh = 0;
    // Position of the glyph's entry in the description's "chars" list; -1 without an entry.
    int32_t index = -1;
    // Advance of the pen, before character spacing and kerning.
    int32_t width = 0;
    // Offset of the image from the pen, and from the top of the text cell.
    int32_t bx = 0;
    int32_t by = 0;
    // Amount added to the advance when the keyed character follows.
    std::unordered_map<uint16_t, int32_t> kerning;

    // The kerning amount before `next`; 0 without an entry. Characters above U+FFFF have none.
    int32_t kerningBefore(wchar_t next) const {
        if (next < 0 || static_cast<uint32_t>(next) > 0xFFFF) {
            return 0;
        }
        const auto found = kerning.find(static_cast<uint16_t>(next));
        return found == kerning.end() ? 0 : found->second;
    }
};
