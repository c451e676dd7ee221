#include "framework/core/StringUtils.h"

#include <algorithm>

namespace {

constexpr char32_t replacementCharacter = 0xFFFD;

bool isContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

bool isScalarValue(uint32_t code) {
    return code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF);
}

void appendUtf8(std::string& out, uint32_t code) {
    if (!isScalarValue(code)) {
        code = replacementCharacter;
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

std::wstring intToWString(int32_t value) {
    return std::to_wstring(value);
}

std::string intToString(int32_t value) {
    return std::to_string(value);
}

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
            out += static_cast<wchar_t>(replacementCharacter);
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
        out += static_cast<wchar_t>(valid ? code : replacementCharacter);
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

std::wstring formatGroupedNumber(uint32_t value, const std::wstring& separator) {
    std::wstring reversed;
    int digits = 0;
    do {
        reversed += static_cast<wchar_t>(L'0' + value % 10);
        value /= 10;
        ++digits;
        if (value != 0 && digits % 3 == 0) {
            reversed += separator;
        }
    } while (value != 0);
    // The whole text is reversed, separator included.
    std::reverse(reversed.begin(), reversed.end());
    return reversed;
}

std::wstring formatDuration(uint32_t milliseconds, bool showMinutes, bool twoDigitMinutes) {
    const uint32_t hours = milliseconds / 3600000;
    const uint32_t minutes = milliseconds % 3600000 / 60000;
    const uint32_t seconds = milliseconds % 3600000 % 60000 / 1000;
    std::wstring text;
    if (hours > 0) {
        text += std::to_wstring(hours) + L":";
    }
    if (hours > 0 || minutes > 0 || showMinutes) {
        if (twoDigitMinutes && minutes < 10) {
            text += L"0";
        }
        text += std::to_wstring(minutes) + L":";
    }
    if (seconds < 10) {
        text += L"0";
    }
    text += std::to_wstring(seconds);
    return text;
}

void wstringSplit(const std::wstring& text, std::vector<std::wstring>& pieces,
                  const std::wstring& separator, bool keepEmpty) {
    if (separator.empty()) {
        if (!text.empty()) {
            pieces.push_back(text);
        }
        return;
    }
    size_t position = 0;
    for (size_t found = text.find(separator); found != std::wstring::npos;
         found = text.find(separator, position)) {
        if (found > position) {
            pieces.push_back(text.substr(position, found - position));
        } else if (keepEmpty) {
            pieces.emplace_back();
        }
        position = found + separator.size();
    }
    if (position < text.size()) {
        pieces.push_back(text.substr(position));
    }
}

bool trim(std::wstring& text, std::wstring_view set, bool atStart, bool atEnd) {
    const size_t before = text.size();
    if (atStart) {
        const size_t first = text.find_first_not_of(set);
        text.erase(0, first == std::wstring::npos ? text.size() : first);
    }
    if (atEnd) {
        const size_t last = text.find_last_not_of(set);
        text.erase(last == std::wstring::npos ? 0 : last + 1);
    }
    return text.size() != before;
}

bool wstringTrim(std::wstring& text, bool atStart, bool atEnd) {
    return trim(text, L"\t ", atStart, atEnd);
}

bool wstringReplace(std::wstring& text, const std::wstring& searched,
                    const std::wstring& replacement, bool all) {
    if (searched.empty()) {
        return false;
    }
    bool restart = replacement.size() <= searched.size() &&
                   replacement.find(searched) == std::wstring::npos;
    // A shorter replacement shrinks the text each time, so it restarts at most this often; an
    // equally long one is held to the same count.
    size_t restartsLeft = text.size();
    bool replaced = false;
    size_t position = 0;
    while ((position = text.find(searched, position)) != std::wstring::npos) {
        text.replace(position, searched.size(), replacement);
        replaced = true;
        if (!all) {
            break;
        }
        restart = restart && restartsLeft-- > 0;
        position = restart ? 0 : position + replacement.size();
    }
    return replaced;
}
