#include <gtest/gtest.h>

#include "framework/core/StringUtils.h"

namespace string_utils_test {

TEST(NumberText, IntegersUseTheCLocaleDecimalForm) {
    EXPECT_EQ(intToString(0), "0");
    EXPECT_EQ(intToString(-2147483647 - 1), "-2147483648");
    EXPECT_EQ(intToWString(2147483647), L"2147483647");
    EXPECT_EQ(intToWString(-42), L"-42");
}

TEST(TextConversion, NonAsciiRoundTripsWhole) {
    const std::wstring name = L"Zoë Ångström 日本 \U0001F004";
    const std::string narrow = wstringToString(name);
    EXPECT_GT(narrow.size(), name.size());  // would have been cut at name.size() + 1
    EXPECT_EQ(narrow,
              "Zo\xC3\xAB \xC3\x85ngstr\xC3\xB6m \xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x80\x84");
    EXPECT_EQ(stringToWString(narrow), name);
}

TEST(TextConversion, InvalidInputBecomesReplacementCharacters) {
    // A lone continuation byte, an overlong form, an encoded surrogate, a cut sequence.
    EXPECT_EQ(stringToWString("a\x80z"), L"a\uFFFDz");
    EXPECT_EQ(stringToWString("\xC0\xAF"), L"\uFFFD\uFFFD");
    EXPECT_EQ(stringToWString("\xED\xA0\x80"), L"\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(stringToWString("ok\xE6\x97"), L"ok\uFFFD");
    EXPECT_EQ(stringToWString("\xF4\x90\x80\x80"), L"\uFFFD\uFFFD\uFFFD\uFFFD");
    // Lone surrogates and values past U+10FFFF cannot be written.
    std::wstring bad = L"x";
    bad += static_cast<wchar_t>(0xD800);
    bad += static_cast<wchar_t>(0x110000);
    EXPECT_EQ(wstringToString(bad), "x\xEF\xBF\xBD\xEF\xBF\xBD");
    EXPECT_EQ(stringToWString(""), L"");
    EXPECT_EQ(wstringToString(L""), "");
}

TEST(TextConversion, EmbeddedNullsAreKept) {
    const std::string narrow("a\0b", 3);
    const std::wstring wide = stringToWString(narrow);
    ASSERT_EQ(wide.size(), 3u);
    EXPECT_EQ(wstringToString(wide), narrow);
}

TEST(FormatGroupedNumber, SeparatesEveryThirdDigitFromTheRight) {
    EXPECT_EQ(formatGroupedNumber(1234567, L","), L"1,234,567");
    EXPECT_EQ(formatGroupedNumber(1000, L","), L"1,000");
    EXPECT_EQ(formatGroupedNumber(999, L","), L"999");
    EXPECT_EQ(formatGroupedNumber(0, L","), L"0");
    EXPECT_EQ(formatGroupedNumber(100000, L"."), L"100.000");
    EXPECT_EQ(formatGroupedNumber(4294967295u, L" "), L"4 294 967 295");
    // A separator of several characters comes out reversed.
    EXPECT_EQ(formatGroupedNumber(1000, L"ab"), L"1ba000");
}

TEST(FormatDuration, ClockTextByFlags) {
    EXPECT_EQ(formatDuration(0, false, false), L"00");
    EXPECT_EQ(formatDuration(59999, false, false), L"59");
    EXPECT_EQ(formatDuration(5000, false, false), L"05");
    EXPECT_EQ(formatDuration(5000, true, false), L"0:05");
    EXPECT_EQ(formatDuration(5000, true, true), L"00:05");
    EXPECT_EQ(formatDuration(65000, false, false), L"1:05");
    EXPECT_EQ(formatDuration(65000, false, true), L"01:05");
    EXPECT_EQ(formatDuration(3725000, false, false), L"1:2:05");
    EXPECT_EQ(formatDuration(3725000, false, true), L"1:02:05");
    EXPECT_EQ(formatDuration(3600000, false, false), L"1:0:00");
    EXPECT_EQ(formatDuration(4294967295u, false, true), L"1193:02:47");
}

TEST(WStringSplit, EmptyPiecesOnlyWhenAsked) {
    std::vector<std::wstring> pieces;
    wstringSplit(L";a;;b;", pieces, L";", false);
    EXPECT_EQ(pieces, (std::vector<std::wstring>{L"a", L"b"}));

    pieces.clear();
    wstringSplit(L";a;;b;", pieces, L";", true);
    EXPECT_EQ(pieces, (std::vector<std::wstring>{L"", L"a", L"", L"b"}));

    pieces.clear();
    wstringSplit(L"", pieces, L";", true);
    EXPECT_TRUE(pieces.empty());

    pieces = {L"kept"};
    wstringSplit(L"one::two", pieces, L"::", false);
    EXPECT_EQ(pieces, (std::vector<std::wstring>{L"kept", L"one", L"two"}));

    pieces.clear();
    wstringSplit(L"whole", pieces, L",", false);
    EXPECT_EQ(pieces, (std::vector<std::wstring>{L"whole"}));
}

TEST(Trim, RemovesOnlyTheChosenEnds) {
    std::wstring text = L" \t padded\t ";
    EXPECT_TRUE(wstringTrim(text, true, false));
    EXPECT_EQ(text, L"padded\t ");
    EXPECT_TRUE(wstringTrim(text, false, true));
    EXPECT_EQ(text, L"padded");
    EXPECT_FALSE(wstringTrim(text, true, true));

    std::wstring blanks = L" \t \t";
    EXPECT_TRUE(wstringTrim(blanks, false, true));
    EXPECT_EQ(blanks, L"");

    std::wstring nothing;
    EXPECT_FALSE(wstringTrim(nothing, true, true));

    std::wstring zeros = L"001.2500";
    EXPECT_TRUE(trim(zeros, L"0", false, true));
    EXPECT_EQ(zeros, L"001.25");
    EXPECT_TRUE(trim(zeros, L"0", true, false));
    EXPECT_EQ(zeros, L"1.25");
}

TEST(WStringReplace, FirstOrEveryOccurrence) {
    std::wstring text = L"a-b-c";
    EXPECT_TRUE(wstringReplace(text, L"-", L"+", false));
    EXPECT_EQ(text, L"a+b-c");
    EXPECT_TRUE(wstringReplace(text, L"-", L"+", true));
    EXPECT_EQ(text, L"a+b+c");
    EXPECT_FALSE(wstringReplace(text, L"-", L"+", true));
    EXPECT_FALSE(wstringReplace(text, L"", L"x", true));
    EXPECT_EQ(text, L"a+b+c");

    std::wstring shrink = L"%n%n";
    EXPECT_TRUE(wstringReplace(shrink, L"%n", L"", true));
    EXPECT_EQ(shrink, L"");

    // Each replacement starts the search again from the beginning: runs of blanks collapse.
    std::wstring blanks = L"   ";
    EXPECT_TRUE(wstringReplace(blanks, L"  ", L" ", true));
    EXPECT_EQ(blanks, L" ");
    std::wstring words = L"a  b     c";
    EXPECT_TRUE(wstringReplace(words, L"  ", L" ", true));
    EXPECT_EQ(words, L"a b c");
    // A replacement that makes a new occurrence before it is found again.
    std::wstring nested = L"aabb";
    EXPECT_TRUE(wstringReplace(nested, L"ab", L"", true));
    EXPECT_EQ(nested, L"");
}

TEST(WStringReplace, ReplacementContainingTheSearchedTextEnds) {
    std::wstring text = L"a.b.c";
    EXPECT_TRUE(wstringReplace(text, L".", L"..", true));
    EXPECT_EQ(text, L"a..b..c");

    std::wstring same = L"xx";
    EXPECT_TRUE(wstringReplace(same, L"x", L"x", true));
    EXPECT_EQ(same, L"xx");
}

}  // namespace string_utils_test
