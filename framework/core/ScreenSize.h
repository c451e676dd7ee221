#pragma once

#include <cstdint>

#include "framework/core/Rect.h"

// The game draws into a fixed picture of this size, windowed or full screen; layouts, dialogs
// and redraws are placed against it.
inline constexpr int32_t SCREEN_WIDTH = 800;
inline constexpr int32_t SCREEN_HEIGHT = 600;
// The whole picture, as a full redraw queues it.
inline constexpr Rect SCREEN_RECT{0, 0, SCREEN_WIDTH, SCREEN_HEIGHT};
