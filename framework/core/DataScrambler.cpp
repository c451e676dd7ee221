#include "framework/core/DataScrambler.h"

#include <array>
#include <utility>

#include "framework/core/Random.h"

namespace {

// Every scrambled file depends on this value: files written by a build with another seed do
// not read back.
constexpr uint32_t KEY_SEED = 0x2F6B91C3u;

std::array<uint8_t, 256> buildTable() {
    Random generator(KEY_SEED, 0);
    std::array<uint8_t, 256> key{};
    generator.nextBytes(key.data(), key.size());

    // The key schedule of RC4; no output stream is drawn from it.
    std::array<uint8_t, 256> table{};
    for (int i = 0; i < 256; ++i) {
        table[i] = static_cast<uint8_t>(i);
    }
    uint8_t j = 0;
    for (int i = 0; i < 256; ++i) {
        j = static_cast<uint8_t>(j + key[i] + table[i]);
        std::swap(table[i], table[j]);
    }
    return table;
}

}  // namespace

const uint8_t* DataScrambler::table() {
    static const std::array<uint8_t, 256> permutation = buildTable();
    return permutation.data();
}

void DataScrambler::apply(uint8_t* buffer, size_t length) {
    const uint8_t* permutation = table();
    for (size_t i = 0; i < length; ++i) {
        buffer[i] ^= permutation[i & 0xFF] & 0x7F;
    }
}
