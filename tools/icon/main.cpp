// tile-icon: draws the game's window icon and writes it as a 64x64 RGBA PNG.

#include <cstdio>

#include "tools/font-baker/PngFile.h"
#include "tools/icon/TileIcon.h"

namespace {

constexpr int ICON_SIZE = 64;

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: tile-icon OUTPUT.png\n");
        return 2;
    }
    icontool::IconCanvas canvas(ICON_SIZE);
    icontool::paintTileIcon(canvas);
    if (!fontbaker::writePng(argv[1], ICON_SIZE, ICON_SIZE, 4, canvas.toRgba())) {
        std::fprintf(stderr, "tile-icon: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
