#pragma once

#include <cstddef>
#include <cstdint>

// Makes stored files unreadable to casual inspection: a keyed XOR with a fixed 256-byte
// permutation. Not a cipher. The same operation scrambles and unscrambles, and only the low
// seven bits of each byte change.
class DataScrambler {
public:
    // The permutation of 0..255, built once (thread-safe) from a private generator.
    static const uint8_t* table();
    // Scrambles or unscrambles a whole buffer in place; positions count from its start, so a
    // file is always processed as a whole.
    static void apply(uint8_t* buffer, size_t length);
};
