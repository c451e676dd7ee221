#include "framework/core/StringUtils.h"

#include <algorithm>

std::wstring intToWString(int32_t value) {
    return std::to_wstring(value);
}

std::string intToString(int32_t value) {
    return std::to_string(value);
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
    bool restart =
        replacement.size() <= searched.size() && replacement.find(searched) == std::wstring::npos;
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
