// font-baker: bakes a bitmap font description and its layer images from a TrueType font.

#include <charconv>
#include <cstdio>
#include <string>
#include <string_view>

#include "tools/font-baker/FontBaker.h"
#include "tools/font-baker/FontDescription.h"

namespace {

constexpr const char* USAGE =
    "usage: font-baker --font FILE.ttf --size PIXELS --out BASE [options]\n"
    "  writes BASE.xml and one BASE-<kind>.png per layer\n"
    "  --layer SPEC        fill | outline | shadow, then ,color=#AARRGGBB ,padding=N\n"
    "                      ,radius=N (outline, shadow) ,dx=N ,dy=N ,blur=N (shadow);\n"
    "                      repeatable, first on top (default: one fill layer)\n"
    "  --chars SET         hexadecimal codes and ranges (default 20-7E,A0-FF)\n"
    "  --char-spacing N    added to every advance (default 0)\n"
    "  --line-height N     distance between lines (default: the font's)\n";

bool parseInt(std::string_view text, int& value) {
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    return !text.empty() && result.ec == std::errc() && result.ptr == end;
}

int fail(const std::string& message) {
    std::fprintf(stderr, "font-baker: %s\n", message.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    fontbaker::BakeOptions options;
    std::string outputBase;
    std::string error;
    if (!fontbaker::parseCharacterSet(fontbaker::DEFAULT_CHARACTER_SET, options.characters,
                                      error)) {
        return fail(error);
    }
    for (int i = 1; i < argc; ++i) {
        const std::string_view option = argv[i];
        if (i + 1 >= argc) {
            std::fputs(USAGE, stderr);
            return 2;
        }
        const std::string_view value = argv[++i];
        bool ok = true;
        if (option == "--font") {
            options.fontPath = value;
        } else if (option == "--size") {
            ok = parseInt(value, options.pixelSize);
        } else if (option == "--out") {
            outputBase = value;
        } else if (option == "--layer") {
            fontbaker::LayerSpec layer;
            ok = fontbaker::parseLayerSpec(value, layer, error);
            options.layers.push_back(layer);
        } else if (option == "--chars") {
            ok = fontbaker::parseCharacterSet(value, options.characters, error);
        } else if (option == "--char-spacing") {
            ok = parseInt(value, options.charSpacing);
        } else if (option == "--line-height") {
            ok = parseInt(value, options.lineHeight) && options.lineHeight >= 0;
        } else {
            std::fputs(USAGE, stderr);
            return 2;
        }
        if (!ok) {
            return fail(error.empty() ? "bad value for " + std::string(option) : error);
        }
    }
    if (options.fontPath.empty() || outputBase.empty()) {
        std::fputs(USAGE, stderr);
        return 2;
    }
    if (options.layers.empty()) {
        options.layers.push_back(fontbaker::LayerSpec());
    }

    fontbaker::BakedFont font;
    if (!fontbaker::bakeFont(options, font, error) ||
        !fontbaker::writeFontFiles(font, outputBase, error)) {
        return fail(error);
    }
    for (const uint16_t code : font.missing) {
        std::fprintf(stderr, "font-baker: warning: no glyph for U+%04X\n", code);
    }
    return 0;
}
