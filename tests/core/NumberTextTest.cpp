#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "framework/core/NumberText.h"

namespace number_text_test {

TEST(ParseInt, HexadecimalForms) {
    EXPECT_EQ(parseInt(L"#FF8000"), 16744448);
    EXPECT_EQ(parseInt(L"#1f"), 31);
    EXPECT_EQ(parseInt(L"0x1F"), 31);
    EXPECT_EQ(parseInt(L"0X1f"), 31);
    EXPECT_EQ(parseInt(L"x1F"), 0);
    EXPECT_EQ(parseInt(L"#"), 0);
    EXPECT_EQ(parseInt(L"0x"), 0);
    EXPECT_EQ(parseInt(L"#zz"), 0);
    EXPECT_EQ(parseInt(L"#10zz"), 16);
    // What "%x" accepts after the prefix: blanks, a sign, a second "0x".
    EXPECT_EQ(parseInt(L"# 1f"), 31);
    EXPECT_EQ(parseInt(L"#-1"), -1);
    EXPECT_EQ(parseInt(L"#0x10"), 16);
}

TEST(ParseInt, HexadecimalAboveThirtyOneBitsIsNegative) {
    EXPECT_EQ(parseInt(L"#FFFFFFFF"), -1);
    EXPECT_EQ(parseInt(L"0x80000000"), INT32_MIN);
    EXPECT_EQ(parseInt(L"#7FFFFFFF"), INT32_MAX);
}

TEST(ParseInt, LongTextsWrapModuloTwoToThe32) {
    EXPECT_EQ(parseInt(L"#1FFFFFFFF"), -1);
    EXPECT_EQ(parseInt(L"#123456789"), 0x23456789);
    EXPECT_EQ(parseInt(L"0x10000000000000005"), 5);
    EXPECT_EQ(parseInt(L"4294967295"), -1);
    EXPECT_EQ(parseInt(L"2147483648"), INT32_MIN);
    EXPECT_EQ(parseInt(L"-2147483648"), INT32_MIN);
    EXPECT_EQ(parseInt(L"4294967301"), 5);
    // Hundreds of digits are still only arithmetic modulo 2^32.
    EXPECT_EQ(parseInt(std::wstring(400, L'9')), -1);  // 10^400 - 1 = -1 mod 2^32
    EXPECT_EQ(parseInt(L"#" + std::wstring(300, L'F')), -1);
}

TEST(ParseInt, DecimalStopsAtTheFirstNonDigit) {
    EXPECT_EQ(parseInt(L""), 0);
    EXPECT_EQ(parseInt(L"12abc"), 12);
    EXPECT_EQ(parseInt(L"-0x10"), 0);
    EXPECT_EQ(parseInt(L"  -42"), -42);
    EXPECT_EQ(parseInt(L"\t+7"), 7);
    EXPECT_EQ(parseInt(L"abc"), 0);
    EXPECT_EQ(parseInt(L"- 5"), 0);
    EXPECT_EQ(parseInt(L"3.9"), 3);
}

TEST(ParseBool, OnlyEmptyAndLowerCaseFalseAreFalse) {
    EXPECT_FALSE(parseBool(L""));
    EXPECT_FALSE(parseBool(L"false"));
    EXPECT_TRUE(parseBool(L"False"));
    EXPECT_TRUE(parseBool(L"0"));
    EXPECT_TRUE(parseBool(L"no"));
    EXPECT_TRUE(parseBool(L"false "));
    EXPECT_TRUE(parseBool(L"true"));
}

TEST(ParseFloat, ReadsLikePercentF) {
    EXPECT_FLOAT_EQ(parseFloat(L"1.5"), 1.5f);
    EXPECT_FLOAT_EQ(parseFloat(L"  -2.25xyz"), -2.25f);
    EXPECT_FLOAT_EQ(parseFloat(L"+3"), 3.0f);
    EXPECT_FLOAT_EQ(parseFloat(L"1e3"), 1000.0f);
    EXPECT_FLOAT_EQ(parseFloat(L".5"), 0.5f);
    EXPECT_FLOAT_EQ(parseFloat(L"0x1p3"), 8.0f);
    EXPECT_TRUE(std::isinf(parseFloat(L"inf")));
    EXPECT_EQ(parseFloat(L""), 0.0f);
    EXPECT_EQ(parseFloat(L"abc"), 0.0f);
    EXPECT_EQ(parseFloat(L"+-1"), 0.0f);
    EXPECT_EQ(parseFloat(L"1e99"), 0.0f);  // out of range for a float
    EXPECT_DOUBLE_EQ(parseDouble(L"0.1"), 0.1);
    EXPECT_DOUBLE_EQ(parseDouble(L"1e99"), 1e99);
    EXPECT_DOUBLE_EQ(parseDouble(L"-12.5e-1"), -1.25);
}

TEST(FloatText, TrailingZerosAndBarePointAreTrimmed) {
    EXPECT_EQ(floatToWString(1.5f), L"1.5");
    EXPECT_EQ(floatToWString(2.0f), L"2");
    EXPECT_EQ(floatToWString(10.0f), L"10");
    EXPECT_EQ(floatToWString(0.0f), L"0");
    EXPECT_EQ(floatToWString(-0.25f), L"-0.25");
    EXPECT_EQ(floatToWString(100.125f), L"100.125");
    EXPECT_EQ(floatToWString(0.1f), L"0.1");   // six decimals, then trimmed
    EXPECT_EQ(floatToWString(1.0e-7f), L"0");  // below the sixth decimal
    EXPECT_EQ(floatToWString(16777216.0f), L"16777216");
}

}  // namespace number_text_test
