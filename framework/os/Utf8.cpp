#include "framework/os/Utf8.h"

namespace {

constexpr char32_t REPLACEMENT_CHARACTER = 0xFFFD;

bool isContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

bool isScalarValue(uint32_t code) {
    return code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF);
}

void appendUtf8(std::string& out, uint32_t code) {
    if (!isScalarValue(code)) {
        code = REPLACEMENT_CHARACTER;
    }
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

}  // namespace

std::wstring stringToWString(std::string_view text) {
    std::wstring out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {
            out += static_cast<wchar_t>(lead);
            ++i;
            continue;
        }
        // Length and the allowed range of the second byte, which rules out overlong forms,
        // surrogates and values above U+10FFFF.
        size_t length = 0;
        unsigned char low = 0x80, high = 0xBF;
        uint32_t code = 0;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            code = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            code = lead & 0x0F;
            low = lead == 0xE0 ? 0xA0 : 0x80;
            high = lead == 0xED ? 0x9F : 0xBF;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            code = lead & 0x07;
            low = lead == 0xF0 ? 0x90 : 0x80;
            high = lead == 0xF4 ? 0x8F : 0xBF;
        } else {
            out += static_cast<wchar_t>(REPLACEMENT_CHARACTER);
            ++i;
            continue;
        }
        // A broken sequence yields one U+FFFD for its longest valid start.
        size_t taken = 1;
        bool valid = true;
        while (taken < length) {
            if (i + taken >= text.size()) {
                valid = false;
                break;
            }
            const auto byte = static_cast<unsigned char>(text[i + taken]);
            const bool inRange = taken == 1 ? byte >= low && byte <= high : isContinuation(byte);
            if (!inRange) {
                valid = false;
                break;
            }
            code = (code << 6) | (byte & 0x3F);
            ++taken;
        }
        out += static_cast<wchar_t>(valid ? code : REPLACEMENT_CHARACTER);
        i += taken;
    }
    return out;
}

std::string wstringToString(std::wstring_view text) {
    std::string out;
    out.reserve(text.size());
    for (wchar_t c : text) {
        appendUtf8(out, static_cast<uint32_t>(c));
    }
    return out;
}
