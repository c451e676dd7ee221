#include "tools/levels/LayoutPicture.h"

#include <algorithm>

namespace levels {

namespace {

constexpr int kCellW = 10;
constexpr int kCellH = 13;
constexpr int kLayerDX = 4;
constexpr int kLayerDY = 5;
constexpr int kMargin = 12 + 6 * kLayerDY;
constexpr int kRackStrip = 70;

struct Color {
    uint8_t r, g, b;
};

// One hue per layer, from pale sand at the bottom to deep red at the top.
constexpr Color kLayerColors[7] = {{236, 222, 186}, {190, 220, 160}, {150, 200, 220},
                                     {170, 160, 225}, {225, 160, 200}, {235, 150, 110},
                                     {200, 70, 70}};

Color shade(Color c, int percent) {
    return {static_cast<uint8_t>(c.r * percent / 100), static_cast<uint8_t>(c.g * percent / 100),
            static_cast<uint8_t>(c.b * percent / 100)};
}

void fillRect(LayoutPicture& p, int x, int y, int w, int h, Color c) {
    for (int yy = std::max(0, y); yy < std::min(p.height, y + h); ++yy) {
        for (int xx = std::max(0, x); xx < std::min(p.width, x + w); ++xx) {
            uint8_t* px = &p.rgba[(static_cast<size_t>(yy) * p.width + xx) * 4];
            px[0] = c.r;
            px[1] = c.g;
            px[2] = c.b;
            px[3] = 255;
        }
    }
}

void frameRect(LayoutPicture& p, int x, int y, int w, int h, Color c) {
    fillRect(p, x, y, w, 1, c);
    fillRect(p, x, y + h - 1, w, 1, c);
    fillRect(p, x, y, 1, h, c);
    fillRect(p, x + w - 1, y, 1, h, c);
}

}  // namespace

LayoutPicture drawLayoutPicture(const LayoutFileData& layout) {
    LayoutPicture p;
    p.width = 41 * kCellW + 2 * kMargin;
    p.height = 21 * kCellH + 2 * kMargin + kRackStrip;
    p.rgba.assign(static_cast<size_t>(p.width) * p.height * 4, 0);
    fillRect(p, 0, 0, p.width, p.height, {40, 60, 50});
    // The grid's bounds, so a shape's place on the board shows.
    frameRect(p, kMargin, kMargin, 40 * kCellW, 20 * kCellH, {70, 95, 80});

    std::vector<TilePos> tiles = layout.tiles;
    std::sort(tiles.begin(), tiles.end(), [](const TilePos& a, const TilePos& b) {
        if (a.z != b.z) {
            return a.z < b.z;
        }
        if (a.y != b.y) {
            return a.y < b.y;
        }
        return a.x < b.x;
    });
    for (const TilePos& t : tiles) {
        Color face = kLayerColors[std::clamp(t.z, 0, 6)];
        int x = kMargin + t.x * kCellW - t.z * kLayerDX;
        int y = kMargin + t.y * kCellH - t.z * kLayerDY;
        int w = 2 * kCellW;
        int h = 2 * kCellH;
        // The tile's body shows below and right of its face.
        fillRect(p, x + 3, y + 3, w, h, shade(face, 45));
        fillRect(p, x, y, w, h, face);
        fillRect(p, x, y, w, 2, {255, 255, 255});
        frameRect(p, x, y, w, h, shade(face, 60));
    }

    int rackX = kMargin;
    int rackY = p.height - kRackStrip + 8;
    for (const RackSpec& r : layout.racks) {
        int slotW = 10;
        int slotH = 13;
        int columns = std::clamp(r.columns, 0, 12);
        int rows = std::clamp(r.rows, 0, 4);
        for (int c = 0; c < columns; ++c) {
            for (int row = 0; row < rows; ++row) {
                frameRect(p, rackX + c * (slotW + 2), rackY + row * (slotH + 2), slotW, slotH,
                          {230, 230, 230});
            }
        }
        rackX += columns * (slotW + 2) + 14;
    }
    return p;
}

}  // namespace levels
