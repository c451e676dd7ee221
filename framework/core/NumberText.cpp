#include "framework/core/NumberText.h"

#include <charconv>
#include <string>
#include <system_error>

namespace {

bool isWideSpace(wchar_t c) {
    return c == L' ' || (c >= L'\t' && c <= L'\r');
}

int hexDigitValue(wchar_t c) {
    if (c >= L'0' && c <= L'9') {
        return c - L'0';
    }
    if (c >= L'a' && c <= L'f') {
        return c - L'a' + 10;
    }
    if (c >= L'A' && c <= L'F') {
        return c - L'A' + 10;
    }
    return -1;
}

int digitValue(wchar_t c, bool hex) {
    if (hex) {
        return hexDigitValue(c);
    }
    return c >= L'0' && c <= L'9' ? c - L'0' : -1;
}

// Optional white space and sign; returns the position after them.
size_t skipSpaceAndSign(std::wstring_view text, bool& negative) {
    size_t i = 0;
    while (i < text.size() && isWideSpace(text[i])) {
        ++i;
    }
    negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
        negative = text[i] == L'-';
        ++i;
    }
    return i;
}

// Unsigned arithmetic wraps by definition: the accumulated value is the text modulo 2^32.
int32_t signedResult(uint32_t magnitude, bool negative) {
    return static_cast<int32_t>(negative ? 0u - magnitude : magnitude);
}

// What "%x" (with `hex`) or "%d" reads: white space, sign, for "%x" an optional "0x" prefix,
// then digits. `whole` tells whether there was a digit and nothing after the digits.
int32_t readInteger(std::wstring_view text, bool hex, bool& whole) {
    bool negative = false;
    size_t i = skipSpaceAndSign(text, negative);
    if (hex && i + 2 < text.size() && text[i] == L'0' &&
        (text[i + 1] == L'x' || text[i + 1] == L'X') && hexDigitValue(text[i + 2]) >= 0) {
        i += 2;
    }
    const size_t first = i;
    uint32_t value = 0;
    for (int digit = 0; i < text.size() && (digit = digitValue(text[i], hex)) >= 0; ++i) {
        value = value * (hex ? 16 : 10) + static_cast<uint32_t>(digit);
    }
    whole = i > first && i == text.size();
    return signedResult(value, negative);
}

// parseInt's forms: "#" or "0x" before hexadecimal, else decimal.
int32_t readIntText(std::wstring_view text, bool& whole) {
    if (!text.empty() && text[0] == L'#') {
        return readInteger(text.substr(1), true, whole);
    }
    if (text.size() >= 2 && text[0] == L'0' && (text[1] == L'x' || text[1] == L'X')) {
        return readInteger(text.substr(2), true, whole);
    }
    return readInteger(text, false, whole);
}

// The longest prefix that can belong to a floating-point text, narrowed to ASCII so that
// std::from_chars (locale-independent) can read it.
template <class T>
T readFloating(std::wstring_view text) {
    bool negative = false;
    size_t i = skipSpaceAndSign(text, negative);
    std::string ascii;
    for (; i < text.size() && text[i] > 0 && text[i] < 0x80; ++i) {
        ascii += static_cast<char>(text[i]);
    }
    if (!ascii.empty() && (ascii[0] == '+' || ascii[0] == '-')) {
        return 0;  // a second sign
    }
    auto format = std::chars_format::general;
    size_t start = 0;
    if (ascii.size() > 2 && ascii[0] == '0' && (ascii[1] == 'x' || ascii[1] == 'X')) {
        format = std::chars_format::hex;
        start = 2;
    }
    T value = 0;
    const char* first = ascii.data() + start;
    const auto [end, error] = std::from_chars(first, ascii.data() + ascii.size(), value, format);
    if (error != std::errc() || end == first) {
        return 0;
    }
    return negative ? -value : value;
}

}  // namespace

int32_t parseInt(std::wstring_view text) {
    bool whole = false;
    return readIntText(text, whole);
}

bool isIntText(std::wstring_view text) {
    bool whole = false;
    readIntText(text, whole);
    return whole;
}

float parseFloat(std::wstring_view text) {
    return readFloating<float>(text);
}

double parseDouble(std::wstring_view text) {
    return readFloating<double>(text);
}

bool parseBool(std::wstring_view text) {
    return !text.empty() && text != L"false";
}

std::wstring floatToWString(float value) {
    // "%f" prints the float's exact value rounded to six decimals; so does to_chars.
    char buffer[256];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
    std::wstring text(buffer, result.ptr);
    // Walk back to the second character: drop zeros, then one ".", and stop at anything else.
    while (text.size() > 1) {
        const wchar_t last = text.back();
        if (last == L'0') {
            text.pop_back();
        } else {
            if (last == L'.') {
                text.pop_back();
            }
            break;
        }
    }
    return text;
}
