// layout-render: draws layout files as PNG pictures for review, one picture per layout or,
// with --sheet, all of them side by side at half size on one contact sheet.
// Usage: layout-render <output folder> <layout.xml>...
//        layout-render --sheet <sheet.png> <layout.xml>...
#include <cstdio>
#include <cstring>
#include <string>

#include "tools/font-baker/PngFile.h"
#include "tools/levels/LayoutFile.h"
#include "tools/levels/LayoutPicture.h"

namespace {

constexpr int SHEET_COLUMNS = 4;

// Copies the picture at half size into the sheet at (left, top).
void pasteHalf(const levels::LayoutPicture& from, levels::LayoutPicture& sheet, int left, int top) {
    for (int y = 0; y < from.height / 2; ++y) {
        for (int x = 0; x < from.width / 2; ++x) {
            for (int c = 0; c < 4; ++c) {
                int sum = 0;
                for (int dy = 0; dy < 2; ++dy) {
                    for (int dx = 0; dx < 2; ++dx) {
                        sum += from.rgba[((2 * y + dy) * static_cast<size_t>(from.width) + 2 * x +
                                          dx) *
                                             4 +
                                         c];
                    }
                }
                sheet.rgba[((top + y) * static_cast<size_t>(sheet.width) + left + x) * 4 + c] =
                    static_cast<uint8_t>(sum / 4);
            }
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr,
                     "usage: layout-render <output folder> <layout.xml>...\n"
                     "       layout-render --sheet <sheet.png> <layout.xml>...\n");
        return 2;
    }
    bool sheetMode = std::strcmp(argv[1], "--sheet") == 0;
    int first = sheetMode ? 3 : 2;
    if (sheetMode && argc < 4) {
        return 2;
    }
    levels::LayoutPicture sheet;
    int failures = 0;
    for (int i = first; i < argc; ++i) {
        std::string path = argv[i];
        levels::LayoutFileData data;
        if (!levels::readLayoutFile(path, data)) {
            std::fprintf(stderr, "cannot read %s\n", path.c_str());
            ++failures;
            continue;
        }
        levels::LayoutPicture picture = levels::drawLayoutPicture(data);
        if (sheetMode) {
            int cellW = picture.width / 2, cellH = picture.height / 2;
            int count = argc - first;
            if (sheet.rgba.empty()) {
                sheet.width = cellW * SHEET_COLUMNS;
                sheet.height = cellH * ((count + SHEET_COLUMNS - 1) / SHEET_COLUMNS);
                sheet.rgba.assign(static_cast<size_t>(sheet.width) * sheet.height * 4, 255);
            }
            int index = i - first;
            pasteHalf(picture, sheet, (index % SHEET_COLUMNS) * cellW,
                      (index / SHEET_COLUMNS) * cellH);
            continue;
        }
        std::string base = path.substr(path.find_last_of('/') + 1);
        base = base.substr(0, base.find_last_of('.'));
        if (!fontbaker::writePng(std::string(argv[1]) + "/" + base + ".png", picture.width,
                                 picture.height, 4, picture.rgba)) {
            std::fprintf(stderr, "cannot write %s.png\n", base.c_str());
            ++failures;
        }
    }
    if (sheetMode && !sheet.rgba.empty() &&
        !fontbaker::writePng(argv[2], sheet.width, sheet.height, 4, sheet.rgba)) {
        std::fprintf(stderr, "cannot write %s\n", argv[2]);
        ++failures;
    }
    return failures == 0 ? 0 : 1;
}
