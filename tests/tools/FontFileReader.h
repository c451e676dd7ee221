#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "tools/font-baker/GreyBitmap.h"

// Reads baked font files back the way the game reads them, so tests check what the game gets.

struct DescribedGlyph {
    int c = 0, sx = 0, sy = 0, sw = 0, sh = 0, width = 0, bx = 0, by = 0;
};

struct DescribedLayer {
    std::string mask;
    int padding = 0;
    std::string color;
    fontbaker::GreyBitmap image;
};

using KerningMap = std::map<std::pair<uint16_t, uint16_t>, int>;

struct FontFile {
    std::map<std::string, std::string> fontValues;  // attributes of the "font" node
    std::vector<DescribedGlyph> chars;
    std::vector<std::pair<int, std::string>> kerningEntries;  // width, chars text
    std::vector<DescribedLayer> layers;
    bool hasChars = false;
    bool hasKerning = false;

    int value(const std::string& key) const;
    int margin() const;
    const DescribedGlyph* glyph(int code) const;
    int glyphIndex(int code) const;
};

// Parses "<folder>/<name>.xml" and loads each layer's mask picture from the same folder.
bool readFontFile(const std::string& folder, const std::string& name, FontFile& font,
                  std::string& error);

// An 8-bit grey PNG; empty bitmap when the file cannot be read.
fontbaker::GreyBitmap readGreyPng(const std::string& path);

// The game's reading of one kerning text: items behind separators, 0 announcing a left
// character, U+0001 likewise; pairs found are stored with `amount`.
void decodeKerningText(const std::string& text, int amount, KerningMap& pairs);
