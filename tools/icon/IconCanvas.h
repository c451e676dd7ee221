#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace icontool {

// A color with straight (not premultiplied) alpha, each part 0-1.
struct Color {
    float r = 0;
    float g = 0;
    float b = 0;
    float a = 1;
};

// A color from 0xRRGGBB and an opacity.
Color rgb(uint32_t value, float alpha = 1.0f);
// The color a fraction t of the way from `from` to `to`.
Color mix(const Color& from, const Color& to, float t);

// Signed distances in pixels to simple shapes (negative inside), for painting with smooth
// edges. Pixel (x, y) covers [x, x + 1) x [y, y + 1); its centre is (x + 0.5, y + 0.5).
float roundedRectDistance(float x, float y, float left, float top, float right, float bottom,
                          float radius);
float circleDistance(float x, float y, float centreX, float centreY, float radius);

// A square RGBA picture painted shape by shape with antialiased edges: each shape is given by
// its signed distance, so edges are smooth at any size and a wide feather gives soft shadows.
class IconCanvas {
public:
    using Shape = std::function<float(float x, float y)>;
    using Paint = std::function<Color(float x, float y)>;

    explicit IconCanvas(int size);

    int getSize() const { return size; }
    // Paints over what is there, where the shape covers. `feather` is the width in pixels of
    // the edge's fade (1: a crisp antialiased edge).
    void fill(const Shape& shape, const Paint& paint, float feather = 1.0f);
    void fill(const Shape& shape, const Color& color, float feather = 1.0f);
    // Rows of 8-bit R, G, B, A with straight alpha, as PNG files keep them.
    std::vector<uint8_t> toRgba() const;

private:
    int size;
    // Premultiplied R, G, B, A per pixel.
    std::vector<float> pixels;
};

}  // namespace icontool
