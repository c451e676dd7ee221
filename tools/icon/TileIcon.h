#pragma once

#include "tools/icon/IconCanvas.h"

namespace icontool {

// The game's window icon: a mahjong tile seen slightly from above, an ivory face with rounded
// corners over its thicker back, a soft shadow, and a red disc in a green ring on the face.
// Drawn on a 64-pixel grid and scaled to the canvas; everything outside the tile is clear.
void paintTileIcon(IconCanvas& canvas);

}  // namespace icontool
