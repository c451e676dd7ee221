#include "framework/gui/StyleFormat.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cwchar>
#include <optional>
#include <utility>

#include "framework/core/StringUtils.h"
#include "framework/gui/StyleLabel.h"
#include "framework/nodes/ResourceLookup.h"
#include "framework/platform/Image.h"

QUOVEL_DEFINE_TYPE(StyleFormat, &BaseObject::typeRecord)
QUOVEL_DEFINE_TYPE(FormatNewLine, &StyleFormat::typeRecord)
QUOVEL_DEFINE_TYPE(FormatColor, &StyleFormat::typeRecord)
QUOVEL_DEFINE_TYPE(FormatFont, &StyleFormat::typeRecord)
QUOVEL_DEFINE_TYPE(FormatImage, &StyleFormat::typeRecord)
QUOVEL_DEFINE_TYPE(FormatWrapStyle, &StyleFormat::typeRecord)
QUOVEL_DEFINE_TYPE(FormatAlignV, &StyleFormat::typeRecord)
QUOVEL_DEFINE_TYPE(FormatAlignH, &StyleFormat::typeRecord)
QUOVEL_DEFINE_TYPE(FormatTab, &StyleFormat::typeRecord)
QUOVEL_DEFINE_TYPE(FormatWidth, &StyleFormat::typeRecord)

namespace {

StyleFormatRegistry* registryInstance = nullptr;

// An integer as "%i" reads one: leading blanks, a sign, then "0x" hexadecimal, octal after a
// leading zero, or decimal. Nothing when the text starts with no number.
std::optional<int32_t> scanInteger(const std::wstring& text) {
    const wchar_t* begin = text.c_str();
    wchar_t* end = nullptr;
    const long long value = std::wcstoll(begin, &end, 0);
    if (end == begin) {
        return std::nullopt;
    }
    return static_cast<int32_t>(std::clamp<long long>(value, INT32_MIN, INT32_MAX));
}

// A color as "%x" reads one, after an optional "#"; 0 when no digit follows.
uint32_t scanColor(const std::wstring& text) {
    const wchar_t* begin = text.c_str();
    if (*begin == L'#') {
        ++begin;
    }
    wchar_t* end = nullptr;
    const unsigned long long value = std::wcstoull(begin, &end, 16);
    return end == begin ? 0 : static_cast<uint32_t>(value);
}

// The value cut at its commas into at most `count` fields; the last takes the rest.
std::vector<std::wstring> splitFields(const std::wstring& value, size_t count) {
    std::vector<std::wstring> fields;
    size_t start = 0;
    while (fields.size() + 1 < count) {
        const size_t comma = value.find(L',', start);
        if (comma == std::wstring::npos) {
            break;
        }
        fields.push_back(value.substr(start, comma - start));
        start = comma + 1;
    }
    fields.push_back(value.substr(start));
    return fields;
}

// Index 0 saves the current value and sets the named one (an unknown word keeps it); index 1
// restores the last saved value.
template <size_t N>
void applyStacked(int32_t index, const std::wstring& value, int32_t& current,
                  std::vector<int32_t>& stack, const std::array<const char*, N>& words) {
    if (index == 0) {
        stack.push_back(current);
        const std::string word = wstringToString(value);
        for (size_t i = 0; i < N; ++i) {
            if (word == words[i]) {
                current = static_cast<int32_t>(i);
            }
        }
    } else if (!stack.empty()) {
        current = stack.back();
        stack.pop_back();
    }
}

// The loaded object of KEY in SECTION, referenced under the data lock.
template <class T>
RefHolder<T> lookUp(const std::wstring& key, const std::wstring& section) {
    return findOrLoad<T>(wstringToString(key), wstringToString(section));
}

}  // namespace

StyleFormat::StyleFormat(std::initializer_list<const wchar_t*> tagNames)
    : names(tagNames.begin(), tagNames.end()) {}

StyleFormat::~StyleFormat() = default;

FormatNewLine::FormatNewLine() : StyleFormat({L"br"}) {}

void FormatNewLine::apply(int32_t, std::wstring, StyleLabel* label) {
    label->endLine();
}

FormatColor::FormatColor() : StyleFormat({L"color", L"/color"}) {}

void FormatColor::apply(int32_t index, std::wstring value, StyleLabel* label) {
    std::vector<uint32_t>& stack = label->getState().colorStack;
    if (index == 0) {
        stack.push_back(scanColor(value));
    } else if (!stack.empty()) {
        stack.pop_back();
    }
}

FormatFont::FormatFont() : StyleFormat({L"font", L"/font"}) {}

void FormatFont::apply(int32_t index, std::wstring value, StyleLabel* label) {
    StyleLayoutState& state = label->getState();
    if (index == 0) {
        const size_t comma = value.find(L',');
        if (comma == std::wstring::npos) {
            return;
        }
        RefHolder<Font> font = lookUp<Font>(value.substr(0, comma), value.substr(comma + 1));
        if (!font) {
            return;
        }
        // Without a current font an empty entry is saved: the closing tag restores no font.
        state.fontStack.push_back(state.currentFont);
        state.currentFont = font;
    } else if (!state.fontStack.empty()) {
        state.currentFont = state.fontStack.back();
        state.fontStack.pop_back();
    }
}

FormatImage::FormatImage() : StyleFormat({L"image"}) {}

void FormatImage::apply(int32_t, std::wstring value, StyleLabel* label) {
    if (value.find(L',') == std::wstring::npos) {
        return;
    }
    std::vector<std::wstring> fields = splitFields(value, 4);
    fields.resize(4);
    RefHolder<Image> image = lookUp<Image>(fields[0], fields[1]);
    if (!image) {
        return;
    }
    StyleLayoutState& state = label->getState();
    RefHolder<Sprite> sprite = new Sprite(state.penX, state.penY, image.get());
    const std::wstring& place = fields[2];
    if (place == L"left") {
        sprite->setX(0);
    } else if (place == L"center") {
        sprite->setX((label->getWidth() - sprite->getWidth()) / 2);
    } else if (place == L"right") {
        sprite->setX(label->getWidth() - sprite->getWidth());
    }
    const std::wstring& flow = fields[3];
    if (flow == L"none") {
        if (state.penX != 0) {
            label->endLine();
        }
        sprite->setY(state.penY);
        state.penY += sprite->getHeight();
    } else if (flow == L"single") {
        state.lineHeight = std::max(state.lineHeight, sprite->getHeight());
    }
    state.images.push_back(sprite);
    if (label->getHeight() < sprite->getHeight()) {
        label->setHeight(sprite->getHeight());
    }
}

FormatWrapStyle::FormatWrapStyle() : StyleFormat({L"wrapstyle", L"/wrapstyle"}) {}

void FormatWrapStyle::apply(int32_t index, std::wstring value, StyleLabel* label) {
    static constexpr std::array<const char*, 3> words = {"autowidth", "wordwrap", "truncate"};
    StyleLayoutState& state = label->getState();
    applyStacked(index, value, state.wrapStyle, state.wrapStyleStack, words);
}

FormatAlignV::FormatAlignV() : StyleFormat({L"alignv", L"/alignv"}) {}

void FormatAlignV::apply(int32_t index, std::wstring value, StyleLabel* label) {
    static constexpr std::array<const char*, 4> words = {"top", "center", "baseline", "bottom"};
    StyleLayoutState& state = label->getState();
    applyStacked(index, value, state.alignV, state.alignVStack, words);
}

FormatAlignH::FormatAlignH() : StyleFormat({L"alignh", L"/alignh"}) {}

void FormatAlignH::apply(int32_t index, std::wstring value, StyleLabel* label) {
    static constexpr std::array<const char*, 3> words = {"left", "center", "right"};
    StyleLayoutState& state = label->getState();
    applyStacked(index, value, state.alignH, state.alignHStack, words);
}

FormatTab::FormatTab() : StyleFormat({L"tabs", L"tab"}) {}

void FormatTab::apply(int32_t index, std::wstring value, StyleLabel* label) {
    StyleLayoutState& state = label->getState();
    std::vector<int32_t>& stops = state.tabStops;
    if (index == 0) {
        stops.clear();
        std::vector<std::wstring> pieces;
        wstringSplit(value, pieces, L",", false);
        for (const std::wstring& piece : pieces) {
            // A piece that is no number adds no stop.
            if (const std::optional<int32_t> stop = scanInteger(piece)) {
                stops.push_back(*stop);
            }
        }
    } else if (!value.empty()) {
        const int32_t n = scanInteger(value).value_or(0);
        if (n >= 1 && static_cast<size_t>(n) <= stops.size()) {
            state.penX = stops[static_cast<size_t>(n) - 1];
        }
    } else {
        for (int32_t stop : stops) {
            if (stop >= state.penX) {
                state.penX = stop;
                break;
            }
        }
    }
}

FormatWidth::FormatWidth() : StyleFormat({L"width"}) {}

void FormatWidth::apply(int32_t, std::wstring value, StyleLabel* label) {
    label->setWidth(scanInteger(value).value_or(0));
}

StyleFormatRegistry::StyleFormatRegistry() {
    registerFormats();
}

void StyleFormatRegistry::registerFormats() {
    formats = {new FormatNewLine(), new FormatColor(),     new FormatFont(),
               new FormatImage(),   new FormatWrapStyle(), new FormatAlignV(),
               new FormatAlignH(),  new FormatTab(),       new FormatWidth()};
}

StyleFormatRegistry* StyleFormatRegistry::getInstance() {
    if (!registryInstance) {
        registryInstance = new StyleFormatRegistry();
        registryInstance->addRef();
    }
    return registryInstance;
}

void StyleFormatRegistry::destroyInstance() {
    if (registryInstance) {
        std::exchange(registryInstance, nullptr)->release();
    }
}

bool StyleFormatRegistry::parse(std::wstring name, std::wstring value, StyleLabel* label) {
    for (const RefHolder<StyleFormat>& format : formats) {
        const std::vector<std::wstring>& names = format->getNames();
        for (size_t i = 0; i < names.size(); ++i) {
            if (names[i] == name) {
                format->apply(static_cast<int32_t>(i), std::move(value), label);
                return true;
            }
        }
    }
    return false;
}
