#pragma once

#include <cstdint>
#include <string>

// How many kinds of pick-up the hidden mini-game has.
inline constexpr int32_t PICK_UP_KIND_COUNT = 6;

// The text the hidden mini-game shows when a pick-up of that kind is collected; empty for a
// kind outside 0 to PICK_UP_KIND_COUNT - 1.
const std::wstring& getPickUpText(int32_t kind);
