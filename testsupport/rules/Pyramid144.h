#pragma once
// The tests' own 144-tile board, free of test macros so that benchmarks can use it too.

#include <array>
#include <vector>

namespace game_test {

using Position = std::array<int, 3>;

// Our own 144-tile board: a stepped pyramid of 12 x 8, 8 x 4, 4 x 3 (lying half a tile off the
// rows below) and 2 x 2 tiles.
inline std::vector<Position> pyramid144() {
    std::vector<Position> positions;
    for (int row = 0; row < 8; ++row) {
        for (int column = 0; column < 12; ++column) {
            positions.push_back({4 + 2 * column, 2 + 2 * row, 0});
        }
    }
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 8; ++column) {
            positions.push_back({8 + 2 * column, 6 + 2 * row, 1});
        }
    }
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 4; ++column) {
            positions.push_back({12 + 2 * column, 7 + 2 * row, 2});
        }
    }
    for (int row = 0; row < 2; ++row) {
        for (int column = 0; column < 2; ++column) {
            positions.push_back({15 + 2 * column, 8 + 2 * row, 3});
        }
    }
    return positions;
}

}  // namespace game_test
