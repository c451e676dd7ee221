#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "framework/core/DataScrambler.h"

namespace data_scrambler_test {

std::vector<uint8_t> everyByteTwice() {
    std::vector<uint8_t> bytes(600);
    for (size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<uint8_t>(i * 7 + 3);
    }
    return bytes;
}

TEST(DataScrambler, TableIsAPermutation) {
    const uint8_t* table = DataScrambler::table();
    EXPECT_EQ(DataScrambler::table(), table);  // built once
    std::array<uint8_t, 256> sorted{};
    std::copy(table, table + 256, sorted.begin());
    std::sort(sorted.begin(), sorted.end());
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(sorted[i], i);
    }
    EXPECT_FALSE(std::equal(sorted.begin(), sorted.end(), table));
}

TEST(DataScrambler, TableStaysTheSameFromBuildToBuild) {
    // Stored files depend on the key seed; these bytes were computed independently of this
    // code from the generator's definition and the RC4 key schedule.
    const std::array<uint8_t, 8> expected{0x00, 0x46, 0xA4, 0xD0, 0x7E, 0xF8, 0x84, 0x05};
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), DataScrambler::table()));
}

TEST(DataScrambler, IsItsOwnInverse) {
    const std::vector<uint8_t> original = everyByteTwice();
    std::vector<uint8_t> bytes = original;
    DataScrambler::apply(bytes.data(), bytes.size());
    EXPECT_NE(bytes, original);
    DataScrambler::apply(bytes.data(), bytes.size());
    EXPECT_EQ(bytes, original);

    DataScrambler::apply(nullptr, 0);
    uint8_t untouched = 0x41;
    DataScrambler::apply(&untouched, 0);
    EXPECT_EQ(untouched, 0x41);
}

TEST(DataScrambler, ChangesOnlyTheLowSevenBits) {
    const std::vector<uint8_t> original = everyByteTwice();
    std::vector<uint8_t> bytes = original;
    DataScrambler::apply(bytes.data(), bytes.size());
    for (size_t i = 0; i < bytes.size(); ++i) {
        EXPECT_EQ(bytes[i] & 0x80, original[i] & 0x80) << "byte " << i;
        // The mask repeats every 256 positions.
        if (i >= 256) {
            EXPECT_EQ(bytes[i] ^ original[i], bytes[i - 256] ^ original[i - 256]);
        }
    }
}

TEST(DataScrambler, ScrambledTextStaysAscii) {
    std::string text = "<root><value id=\"name\" value=\"Ann\"/></root>";
    const std::string original = text;
    DataScrambler::apply(reinterpret_cast<uint8_t*>(text.data()), text.size());
    EXPECT_NE(text, original);
    for (char c : text) {
        EXPECT_LT(static_cast<unsigned char>(c), 0x80);
    }
}

}  // namespace data_scrambler_test
