#include "tools/levels/LayoutPicture.h"

#include <algorithm>

namespace levels {

namespace {

constexpr int CELL_W = 10;
constexpr int CELL_H = 13;
constexpr int LAYER_DX = 4;
constexpr int LAYER_DY = 5;
constexpr int MARGIN = 12 + 6 * LAYER_DY;
constexpr int RACK_STRIP = 70;

struct Color {
    uint8_t r, g, b;
};

// One hue per layer, from pale sand at the bottom to deep red at the top.
constexpr Color LAYER_COLORS[7] = {{236, 222, 186}, {190, 220, 160}, {150, 200, 220},
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
    p.width = 41 * CELL_W + 2 * MARGIN;
    p.height = 21 * CELL_H + 2 * MARGIN + RACK_STRIP;
    p.rgba.assign(static_cast<size_t>(p.width) * p.height * 4, 0);
    fillRect(p, 0, 0, p.width, p.height, {40, 60, 50});
    // The grid's bounds, so a shape's place on the board shows.
    frameRect(p, MARGIN, MARGIN, 40 * CELL_W, 20 * CELL_H, {70, 95, 80});

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
        Color face = LAYER_COLORS[std::clamp(t.z, 0, 6)];
        int x = MARGIN + t.x * CELL_W - t.z * LAYER_DX;
        int y = MARGIN + t.y * CELL_H - t.z * LAYER_DY;
        int w = 2 * CELL_W;
        int h = 2 * CELL_H;
        // The tile's body shows below and right of its face.
        fillRect(p, x + 3, y + 3, w, h, shade(face, 45));
        fillRect(p, x, y, w, h, face);
        fillRect(p, x, y, w, 2, {255, 255, 255});
        frameRect(p, x, y, w, h, shade(face, 60));
    }

    int rackX = MARGIN;
    int rackY = p.height - RACK_STRIP + 8;
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
