#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace fontbaker {

// Writes 8-bit pixels as a PNG: 1 channel (grey) or 4 (RGBA), rows of width * channels bytes.
// False when the file cannot be written or the sizes do not match the pixels.
bool writePng(const std::string& path, int width, int height, int channels,
              const std::vector<uint8_t>& pixels);

}  // namespace fontbaker
