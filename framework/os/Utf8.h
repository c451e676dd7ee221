#pragma once

#include <string>
#include <string_view>

// The one UTF-8 codec. Narrow strings (names, keys, file names) are UTF-8; wide strings hold
// one code point per wchar_t. Conversions never throw and never cut: invalid input becomes
// U+FFFD.

std::wstring stringToWString(std::string_view text);
std::string wstringToString(std::wstring_view text);
