#pragma once

#include <cstdint>
#include <vector>

namespace fontbaker {

// An 8-bit coverage picture: glyph images and the layer images built from them. Reads outside
// the picture give 0, so effects can sample past the edges without checks of their own.
struct GreyBitmap {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;  // rows of `width` bytes, top row first

    GreyBitmap() = default;
    GreyBitmap(int width, int height);

    uint8_t at(int x, int y) const;
    void set(int x, int y, uint8_t value);
    // Copies `source` with its top-left corner at (x, y); parts outside this picture are cut.
    void paste(const GreyBitmap& source, int x, int y);
    bool isEmpty() const;
};

// Grows the shape by `radius` pixels in every direction, with an antialiased round edge: each
// pixel takes the largest neighbour coverage weighted by how far inside the disc it lies.
GreyBitmap dilate(const GreyBitmap& source, int radius);

// A separable box blur of `radius` pixels; the picture keeps its size.
GreyBitmap boxBlur(const GreyBitmap& source, int radius);

}  // namespace fontbaker
