#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace fontbaker {

enum class LayerKind { FILL, OUTLINE, SHADOW };

// One layer image to bake. The first layer is drawn on top, the last at the bottom.
struct LayerSpec {
    LayerKind kind = LayerKind::FILL;
    uint32_t color = 0xFFFFFFFF;  // 0xAARRGGBB, written to the description
    int padding = -1;             // pixels around every glyph cell; -1: just what the effect needs
    int radius = 0;               // outline width, or how much a shadow is grown first
    int offsetX = 0;              // shadow displacement
    int offsetY = 0;
    int blur = 0;  // shadow blur radius
};

// Everything one bake needs; filled from the command line or by tests.
struct BakeOptions {
    std::string fontPath;
    int pixelSize = 16;
    std::vector<uint16_t> characters;  // ascending, no duplicates
    std::vector<LayerSpec> layers;
    int charSpacing = 0;
    int lineHeight = -1;  // -1: the font's own line spacing
};

inline constexpr std::string_view DEFAULT_CHARACTER_SET = "20-7E,A0-FF";
inline constexpr int MAX_PIXEL_SIZE = 256;
inline constexpr int MAX_EFFECT_PIXELS = 32;

// The padding an effect needs so that nothing of it is cut at the cell's edges.
int requiredPadding(const LayerSpec& layer);
// The padding the layer gets: its own when given, else the required one.
int effectivePadding(const LayerSpec& layer);

// "#AARRGGBB", "#RRGGBB" (opaque) or "0xAARRGGBB".
bool parseColor(std::string_view text, uint32_t& color);

// Comma-separated hexadecimal codes and ranges, e.g. "20-7E,A0-FF,20AC". Codes run from U+0020
// to U+FFFF; the result is sorted without duplicates.
bool parseCharacterSet(std::string_view text, std::vector<uint16_t>& characters,
                       std::string& error);

// "fill", "outline" or "shadow", then ",key=value" items: color, padding, radius (outline,
// shadow), dx, dy, blur (shadow). An explicit padding smaller than the effect needs is refused.
bool parseLayerSpec(std::string_view text, LayerSpec& layer, std::string& error);

}  // namespace fontbaker
