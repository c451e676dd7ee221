#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Numbers as they appear in property texts. Everything here uses the C locale whatever the
// user's locale is, and no input, however long or malformed, is undefined behaviour.

// Integer text: "#" followed by hexadecimal, "0x"/"0X" followed by hexadecimal, else decimal
// with optional leading white space and sign up to the first non-digit. Unreadable text is 0.
// Digits beyond 32 bits wrap modulo 2^32, so "#FFFFFFFF" is -1.
int32_t parseInt(std::wstring_view text);
// Whether parseInt reads all of the text: a digit, and nothing after the digits.
bool isIntText(std::wstring_view text);

// Float and double texts as "%f" and "%lf" read them: leading white space, sign, decimal or
// hexadecimal digits, exponent, "inf" and "nan". Unreadable or out-of-range text is 0.
float parseFloat(std::wstring_view text);
double parseDouble(std::wstring_view text);

// False only for the empty text and exactly "false"; "False", "0" and "no" are true.
bool parseBool(std::wstring_view text);

// "%f" with its trailing zeros (and then a bare ".") removed: 1.5 gives "1.5", 2 gives "2",
// 10 gives "10", 0 gives "0".
std::wstring floatToWString(float value);
