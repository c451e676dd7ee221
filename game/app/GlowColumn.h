#pragma once

#include <cstdint>
#include <vector>

#include "framework/core/RefHolder.h"

class Image;
class Sprite;

// The selection glow of the rooms with game-type switches: a column of light from a top cap to
// a bottom cap, with its middle piece beside the chosen switch and a halo around that switch.
struct GlowColumn {
    Sprite* top = nullptr;
    Sprite* bottom = nullptr;
    Sprite* middle = nullptr;
    Sprite* button = nullptr;
    Sprite* dialog = nullptr;

    // The rows where copies of a fill `fillHeight` high start, stacked down from `from` in whole
    // copies that do not pass `to`; none when the gap is shorter than one copy.
    static std::vector<int32_t> fillRows(int32_t from, int32_t to, int32_t fillHeight);

    // Shows the pieces, centres the middle and the halo on the chosen switch (moved by the
    // offsets) and draws the fill above and below the middle into a copy of the background.
    // The copy, or null when a piece, the switch or the copy is missing.
    RefHolder<Image> draw(Image* background, Sprite* chosen, int32_t middleOffset,
                          int32_t buttonOffset, Image* fill) const;
};
