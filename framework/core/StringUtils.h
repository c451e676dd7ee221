#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "framework/os/Utf8.h"

// Wide strings (property values and all displayed text) hold one code point per wchar_t; the
// conversions to and from UTF-8 are the os layer's codec.

std::wstring intToWString(int32_t value);
std::string intToString(int32_t value);

// 1234567 with ',' gives "1,234,567".
std::wstring formatGroupedNumber(uint32_t value, const std::wstring& separator);

// Clock text: [h:][m:]ss. Minutes appear when there are hours or minutes or `showMinutes` is set;
// `twoDigitMinutes` pads them to two digits.
std::wstring formatDuration(uint32_t milliseconds, bool showMinutes, bool twoDigitMinutes);

// Appends the pieces of `text` between separators. Empty pieces are kept only with `keepEmpty`;
// a separator at the very end never yields a trailing empty piece.
void wstringSplit(const std::wstring& text, std::vector<std::wstring>& pieces,
                  const std::wstring& separator, bool keepEmpty);

// Removes characters of `set` from the start and/or end; true when anything was removed.
bool trim(std::wstring& text, std::wstring_view set, bool atStart, bool atEnd);
// trim with tabs and blanks.
bool wstringTrim(std::wstring& text, bool atStart, bool atEnd);

// Replaces `searched` by `replacement` (every occurrence with `all`); true when at least one
// replacement was made. With `all` the search starts again from the beginning after each
// replacement, so "  " by " " leaves one blank of any run. A replacement that contains the
// searched text, or is longer than it, could make that go on for ever: the search then goes on
// after the inserted text.
bool wstringReplace(std::wstring& text, const std::wstring& searched,
                    const std::wstring& replacement, bool all);
