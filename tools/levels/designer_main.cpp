// level-designer: draws the game's layouts and writes them, their display names and the four
// level files into a source tree. Usage: level-designer <repository root>
#include <cstdio>
#include <string>

#include "tools/levels/LayoutCatalogue.h"
#include "tools/levels/LayoutFile.h"
#include "tools/levels/LevelTables.h"

namespace {

// Every layout carries the same racks, so any level may pick any of them by sideBoardIndex:
// 0 the Speed rack (one slot), 1-3 FreeCell cells (4, 3, 2), 4-6 Split racks (10, 8, 6 slots).
const std::vector<levels::RackSpec> RACKS = {{1, 1, 12, 12}, {4, 1, 12, 12}, {3, 1, 12, 12},
                                             {2, 1, 12, 12}, {2, 5, 12, 12}, {2, 4, 12, 12},
                                             {2, 3, 12, 12}};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: level-designer <repository root>\n");
        return 2;
    }
    const std::string root = argv[1];
    std::vector<levels::LayoutDesign> designs = levels::designLayouts();
    for (const levels::LayoutDesign& d : designs) {
        if (!levels::writeLayoutFile(root + "/media/levels/" + d.file, d.textKey(), d.shape,
                                     RACKS)) {
            std::fprintf(stderr, "cannot write %s\n", d.file.c_str());
            return 1;
        }
        std::printf("%-20s %4d tiles, layers", d.file.c_str(), d.shape.count());
        for (int z = 0; z <= d.shape.topLayer(); ++z) {
            std::printf(" %d", d.shape.layerCount(z));
        }
        std::printf("  risk %4.2f %4.2f  fits", d.stackingRisk(2, 4, 2), d.stackingRisk(3, 6, 3));
        const char* letters = "CFSTRP";
        for (int t = 0; t < 6; ++t) {
            std::printf("%c", d.fits(static_cast<levels::GameType>(t)) ? letters[t] : '-');
        }
        std::printf("\n");
    }
    if (!levels::writeLayoutTexts(root, designs) || !levels::writeLevelFiles(root, designs)) {
        std::fprintf(stderr, "cannot write the level files\n");
        return 1;
    }
    std::printf("%zu layouts\n", designs.size());
    return 0;
}
