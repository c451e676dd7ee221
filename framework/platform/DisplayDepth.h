#pragma once

#include <cstdint>

// The game window's bytes per pixel (2 or 4), read by every image made "at the display's depth"
// and by the image manager's conversion. It is 4 until a window sets it; tests set it to make
// images of either depth without a window. Safe to read from the loader thread.
int32_t getDisplayBytesPerPixel();
// Stores 2 or 4; any other value is ignored.
void setDisplayBytesPerPixel(int32_t bytesPerPixel);
