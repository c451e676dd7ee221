#include "tools/font-baker/BakeOptions.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>

namespace fontbaker {

namespace {

std::vector<std::string_view> splitText(std::string_view text, char separator) {
    std::vector<std::string_view> pieces;
    size_t start = 0;
    while (true) {
        const size_t end = text.find(separator, start);
        pieces.push_back(text.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos) {
            return pieces;
        }
        start = end + 1;
    }
}

// The whole text must be a number in the base; from_chars keeps this independent of the locale.
template <typename Number>
bool parseNumber(std::string_view text, Number& value, int base) {
    if (text.empty()) {
        return false;
    }
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value, base);
    return result.ec == std::errc() && result.ptr == end;
}

bool parseBoundedInt(std::string_view text, int lowest, int highest, int& value) {
    return parseNumber(text, value, 10) && value >= lowest && value <= highest;
}

}  // namespace

int requiredPadding(const LayerSpec& layer) {
    switch (layer.kind) {
        case LayerKind::FILL:
            return 0;
        case LayerKind::OUTLINE:
            return layer.radius;
        case LayerKind::SHADOW:
            return layer.radius + std::max(std::abs(layer.offsetX), std::abs(layer.offsetY)) +
                   layer.blur;
    }
    return 0;
}

int effectivePadding(const LayerSpec& layer) {
    return layer.padding >= 0 ? layer.padding : requiredPadding(layer);
}

bool parseColor(std::string_view text, uint32_t& color) {
    std::string_view digits;
    if (text.starts_with("#")) {
        digits = text.substr(1);
    } else if (text.starts_with("0x") || text.starts_with("0X")) {
        digits = text.substr(2);
    } else {
        return false;
    }
    if (digits.size() != 6 && digits.size() != 8) {
        return false;
    }
    uint32_t value = 0;
    if (!parseNumber(digits, value, 16)) {
        return false;
    }
    color = digits.size() == 6 ? (0xFF000000u | value) : value;
    return true;
}

bool parseCharacterSet(std::string_view text, std::vector<uint16_t>& characters,
                       std::string& error) {
    std::vector<uint16_t> result;
    for (const std::string_view item : splitText(text, ',')) {
        const std::vector<std::string_view> ends = splitText(item, '-');
        uint32_t first = 0;
        uint32_t last = 0;
        if (ends.size() > 2 || !parseNumber(ends.front(), first, 16) ||
            !parseNumber(ends.back(), last, 16)) {
            error = "bad character range \"" + std::string(item) + "\"";
            return false;
        }
        if (first < 0x20 || last > 0xFFFF || first > last) {
            error = "character range \"" + std::string(item) + "\" must lie within 20-FFFF";
            return false;
        }
        for (uint32_t code = first; code <= last; ++code) {
            result.push_back(static_cast<uint16_t>(code));
        }
    }
    std::sort(result.begin(), result.end());
    result.erase(std::unique(result.begin(), result.end()), result.end());
    characters = std::move(result);
    return true;
}

bool parseLayerSpec(std::string_view text, LayerSpec& layer, std::string& error) {
    const std::vector<std::string_view> items = splitText(text, ',');
    LayerSpec result;
    if (items.front() == "fill") {
        result.kind = LayerKind::FILL;
    } else if (items.front() == "outline") {
        result = {LayerKind::OUTLINE, 0xFF000000, -1, 1, 0, 0, 0};
    } else if (items.front() == "shadow") {
        result = {LayerKind::SHADOW, 0xFF000000, -1, 0, 1, 1, 1};
    } else {
        error = "unknown layer kind \"" + std::string(items.front()) + "\"";
        return false;
    }
    for (size_t i = 1; i < items.size(); ++i) {
        const size_t equals = items[i].find('=');
        const std::string_view key = items[i].substr(0, equals);
        const std::string_view value =
            equals == std::string_view::npos ? std::string_view() : items[i].substr(equals + 1);
        bool ok = false;
        const bool effect = result.kind != LayerKind::FILL;
        const bool shadow = result.kind == LayerKind::SHADOW;
        if (key == "color") {
            ok = parseColor(value, result.color);
        } else if (key == "padding") {
            ok = parseBoundedInt(value, 0, 2 * MAX_EFFECT_PIXELS, result.padding);
        } else if (key == "radius" && effect) {
            ok = parseBoundedInt(value, shadow ? 0 : 1, MAX_EFFECT_PIXELS, result.radius);
        } else if (key == "dx" && shadow) {
            ok = parseBoundedInt(value, -MAX_EFFECT_PIXELS, MAX_EFFECT_PIXELS, result.offsetX);
        } else if (key == "dy" && shadow) {
            ok = parseBoundedInt(value, -MAX_EFFECT_PIXELS, MAX_EFFECT_PIXELS, result.offsetY);
        } else if (key == "blur" && shadow) {
            ok = parseBoundedInt(value, 0, MAX_EFFECT_PIXELS, result.blur);
        }
        if (!ok) {
            error =
                "bad layer item \"" + std::string(items[i]) + "\" in \"" + std::string(text) + "\"";
            return false;
        }
    }
    if (result.padding >= 0 && result.padding < requiredPadding(result)) {
        error = "layer \"" + std::string(text) + "\" needs a padding of at least " +
                std::to_string(requiredPadding(result));
        return false;
    }
    layer = result;
    return true;
}

}  // namespace fontbaker
