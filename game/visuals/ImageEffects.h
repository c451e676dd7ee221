#pragma once

#include <cstdint>

class Graphics;
class Image;

// Pixel passes shared by the game screen, its dialogs and the building's scenes. Both work on
// the locked pixel memory of 4-byte (ARGB) and 2-byte (RGB565 + alpha plane) images.

// Greys the rectangle (cut to the image): grey = (3 R + 6 G + B) / 10, alpha kept.
void greyImageRect(Image* image, int32_t x, int32_t y, int32_t width, int32_t height);

// Adds `offset` to the hue of every pixel whose mask alpha is above 0. The mask must have the
// image's size; otherwise nothing is changed.
void shiftImageHue(Image* image, Image* mask, float offset);

// Fills the whole target with white of alpha 0, the start of a picture built by channel blits.
void clearToTransparentWhite(Graphics& graphics);

// Conversions between RGB (each 0-255) and hue, saturation and value (each 0-1).
namespace ColorUtil {
void rgbToHsv(float r, float g, float b, float& h, float& s, float& v);
// Each channel comes out plus 0.5, so that truncating it rounds.
void hsvToRgb(float h, float s, float v, float& r, float& g, float& b);
}  // namespace ColorUtil
