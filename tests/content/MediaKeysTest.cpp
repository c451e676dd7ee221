// The built media against the resource list, read as the game reads it: through the resource
// manager from the packed archive. Every key loads; every built file is named by a key; the
// pictures have the sizes the board geometry gives; the symbol sheets are laid out as the board
// reads them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "content/MediaContent.h"
#include "framework/platform/FileArchive.h"
#include "framework/platform/Image.h"
#include "framework/platform/ImageResource.h"
#include "framework/platform/ResourceManager.h"
#include "framework/platform/ResourceObject.h"
#include "game/dialogs/DialogSelectBackground.h"
#include "game/profile/QuovelMahjongPlayer.h"
#include "game/screen/LevelFlow.h"
#include "game/visuals/LayoutPreview.h"
#include "testsupport/TempFolder.h"
#include "testsupport/platform/PixelAccess.h"

namespace media_keys_test {

const std::vector<std::string> SECTIONS = {
    "splash",  "music",  "preloading", "default", "lobby", "trophy", "elevator",
    "hallway", "casino", "casrecroof", "recroom", "roof",  "game",   "manual"};

// Read by the game window by its path, not through a key.
const std::string WINDOW_ICON = "media/images/icon.png";

class MediaKeysTest : public ::testing::Test {
protected:
    void SetUp() override {
        FileArchive::open(2, (media::GAME_FOLDER / "media.dat").string());
        ASSERT_NE(FileArchive::getInstance()->openArchive(), nullptr);
        manager = ResourceManager::createInstance();
        ASSERT_TRUE(manager->loadSectionList("media/properties/resources.xml"));
        geometry = media::geometryValues();
    }
    void TearDown() override {
        ResourceManager::stopLoader();
        FileArchive::close();
    }

    int32_t value(const std::string& name) {
        EXPECT_TRUE(geometry.count(name)) << name;
        return geometry[name];
    }
    Image* picture(const std::string& key, const std::string& section) {
        Image* image = objectCast<Image>(manager->getLoadedResourceHandle(key, section));
        EXPECT_NE(image, nullptr) << section << "/" << key;
        return image;
    }
    void expectSize(const std::string& key, const std::string& section, int32_t width,
                    int32_t height) {
        if (Image* image = picture(key, section)) {
            EXPECT_EQ(image->getWidth(), width) << section << "/" << key;
            EXPECT_EQ(image->getHeight(), height) << section << "/" << key;
        }
    }
    void expectAtLeast(const std::string& key, const std::string& section, int32_t width,
                       int32_t height) {
        if (Image* image = picture(key, section)) {
            EXPECT_GE(image->getWidth(), width) << section << "/" << key;
            EXPECT_GE(image->getHeight(), height) << section << "/" << key;
        }
    }

    ResourceManager* manager = nullptr;
    std::map<std::string, int32_t> geometry;
};

TEST_F(MediaKeysTest, EveryKeyLoadsFromTheArchiveAndEveryBuiltFileIsNamedByAKey) {
    std::set<std::string> named;
    for (const std::string& section : SECTIONS) {
        ASSERT_NE(manager->getSection(section), nullptr) << section;
        for (const auto& [key, resource] : manager->getSection(section)->getResources()) {
            EXPECT_NE(manager->getLoadedResourceHandle(key, section), nullptr)
                << section << "/" << key << " (" << resource->getFileName() << ")";
            EXPECT_FALSE(resource->getHasError()) << section << "/" << key;
            named.insert(resource->getFileName());
            // A mask read alone names its file as the mask.
            if (auto* image = objectCast<ImageResource>(resource.get())) {
                named.insert(image->getMaskFileName());
            }
        }
    }
    // Some keys stand for different files in different sections.
    EXPECT_NE(manager->getSection("manual")->findResource("BACKGROUND1")->getFileName(),
              manager->getSection("default")->findResource("BACKGROUND1")->getFileName());

    const std::vector<std::string> built = media::builtFiles();
    EXPECT_GT(built.size(), 50u);
    for (const std::string& file : built) {
        if (file == WINDOW_ICON) {
            continue;
        }
        const bool fontLayer = file.rfind("media/fonts/", 0) == 0 && file.size() > 4 &&
                               file.substr(file.size() - 4) == ".png";
        if (fontLayer) {
            // A font's layer pictures are named by its description, which a key names.
            const std::string layer = file.substr(file.rfind('/') + 1);
            const bool described = std::any_of(named.begin(), named.end(), [&](auto& font) {
                return font.rfind("media/fonts/", 0) == 0 &&
                       readTestFile(media::GAME_FOLDER / font).find(layer) != std::string::npos;
            });
            EXPECT_TRUE(described) << file << " belongs to no font that a key names";
        } else {
            EXPECT_TRUE(named.count(file)) << file << " is built but no key names it";
        }
    }
    EXPECT_TRUE(std::find(built.begin(), built.end(), WINDOW_ICON) != built.end());
}

TEST_F(MediaKeysTest, PicturesHaveTheSizesOfTheBoardGeometry) {
    const int32_t fw = value("RENDERER_TILE_FACE_WIDTH");
    const int32_t fh = value("RENDERER_TILE_FACE_HEIGHT");
    const int32_t sw = value("RENDERER_TILE_SIDE_WIDTH");
    const int32_t sh = value("RENDERER_TILE_SIDE_HEIGHT");
    // The symbol cell is the face; a whole tile is face and sides; layers shift by the sides.
    EXPECT_EQ(value("TILE_FACE_WIDTH"), fw);
    EXPECT_EQ(value("TILE_FACE_HEIGHT"), fh);
    EXPECT_EQ(value("TILE_WIDTH"), fw + sw);
    EXPECT_EQ(value("TILE_HEIGHT"), fh + sh);
    EXPECT_EQ(value("RENDERER_TILE_LAYER_OFFSETX"), sw);
    EXPECT_EQ(value("RENDERER_TILE_LAYER_OFFSETY"), sh);
    EXPECT_EQ(value("SIDEBOARD_WIDTH_PER_TILE"), fw);
    EXPECT_EQ(value("SIDEBOARD_HEIGHT_PER_TILE"), fh);
    EXPECT_EQ(fw % 2 + fh % 2, 0) << "the board halves faces into cells";

    expectSize("TILE", "default", fw + sw, fh + sh);
    expectAtLeast("SHADOW", "manual", fw + 2 * value("RENDERER_SHADOW_OFFSETX"),
                  2 * fh + value("RENDERER_SHADOW_OFFSETY"));
    for (int set = 1; set <= 4; ++set) {
        expectSize("SYMBOLS" + std::to_string(set), "manual", 9 * fw, 5 * (fh + 1) - 1);
    }
    expectSize("TILE_PREVIEW", "manual", value("PREVIEW_TILE_FACE_WIDTH"),
               value("PREVIEW_TILE_FACE_HEIGHT"));
    // Keys the code computes, through the code's own functions; a count and its list agree.
    for (int32_t type = 0; type < GAME_TYPE_COUNT; ++type) {
        expectSize(LayoutPreview::backgroundKey(GameType(type)), "manual", value("PREVIEW_WIDTH"),
                   value("PREVIEW_HEIGHT"));
        expectSize(LevelFlow::backgroundKey(GameType(type), 0), "manual", 800, 600);
    }
    const int32_t backgrounds = QuovelMahjongPlayer::BACKGROUND_COUNT;
    for (int32_t custom = 1; custom < backgrounds; ++custom) {
        expectSize(LevelFlow::backgroundKey(TYPE_CLASSIC, custom), "manual", 800, 600);
    }
    // The selection dialog greys (5, 4, 218, 163) of a background and (16, 17, 196, 60) of a
    // tile set.
    for (int32_t choice = 0; choice < backgrounds; ++choice) {
        expectAtLeast(DialogSelectBackground::previewKey(choice), "default", 223, 167);
    }
    EXPECT_EQ(manager->getSection("manual")->findResource(
                  LayoutPreview::backgroundKey(GameType(GAME_TYPE_COUNT))),
              nullptr);
    EXPECT_EQ(manager->getSection("manual")->findResource(
                  LevelFlow::backgroundKey(TYPE_CLASSIC, backgrounds)),
              nullptr);
    EXPECT_EQ(manager->getSection("default")->findResource(
                  DialogSelectBackground::previewKey(backgrounds)),
              nullptr);
    for (int set = 0; set <= 3; ++set) {
        expectAtLeast("TILESET" + std::to_string(set), "default", 212, 77);
    }

    // Racks hold their slots at the padding, one face apart, with room for the last tile's
    // sides; the Speed rack (1 x 1) has the wider rim.
    const int32_t px = value("SIDEBOARD_PADDING_X");
    const int32_t py = value("SIDEBOARD_PADDING_Y");
    for (const auto& [columns, rows] :
         std::vector<std::pair<int, int>>{{2, 1}, {3, 1}, {4, 1}, {2, 3}, {2, 4}, {2, 5}}) {
        expectSize("SIDEBOARD_" + std::to_string(columns) + "X" + std::to_string(rows), "manual",
                   2 * px + columns * fw + sw, 2 * py + rows * fh + sh);
    }
    expectSize("SIDEBOARD_1X1", "manual", 2 * (px + value("SIDEBOARD_SPEED_EXTRA_X")) + fw + sw,
               2 * (py + value("SIDEBOARD_SPEED_EXTRA_Y")) + fh + sh);
    expectSize("SIDEBOARD_FREECELL_SLOT", "manual",
               2 * value("SIDEBOARD_FREECELL_PADDING_X") + fw + sw,
               2 * value("SIDEBOARD_FREECELL_PADDING_Y") + fh + sh);
}

// The faces of the suits the rules deal, at the cells the board reads them from.
struct TileFace {
    int suit;
    int value;
};

std::vector<TileFace> dealtFaceList() {
    const int sizes[] = {9, 9, 9, 4, 3, 4, 4};
    std::vector<TileFace> faces;
    for (int suit = 0; suit < 7; ++suit) {
        for (int value = 0; value < sizes[suit]; ++value) {
            faces.push_back({suit, value});
        }
    }
    return faces;
}

int sheetRow(int suit) {
    return suit <= 2 ? suit : (suit <= 4 ? 4 : 3);
}

TEST_F(MediaKeysTest, EverySetDrawsEveryFaceDistinctlyInItsCell) {
    const int32_t fw = value("TILE_FACE_WIDTH");
    const int32_t fh = value("TILE_FACE_HEIGHT");
    std::vector<std::vector<uint32_t>> firstSet;
    for (int set = 1; set <= 4; ++set) {
        SCOPED_TRACE("set " + std::to_string(set));
        Image* sheet = picture("SYMBOLS" + std::to_string(set), "manual");
        ASSERT_NE(sheet, nullptr);
        ASSERT_TRUE(sheet->lock());
        // The one-pixel gaps between rows are clear.
        for (int row = 1; row < 5; ++row) {
            for (int x = 0; x < sheet->getWidth(); ++x) {
                ASSERT_EQ(testpixels::get32(sheet, x, row * (fh + 1) - 1) >> 24, 0u) << row;
            }
        }
        std::vector<std::vector<uint32_t>> cells;
        for (const TileFace& face : dealtFaceList()) {
            const int x0 = (face.value + (face.suit == 4 || face.suit == 6 ? 4 : 0)) * fw;
            const int y0 = sheetRow(face.suit) * (fh + 1);
            std::vector<uint32_t> cell;
            int ink = 0;
            for (int y = 0; y < fh; ++y) {
                for (int x = 0; x < fw; ++x) {
                    const uint32_t pixel = testpixels::get32(sheet, x0 + x, y0 + y);
                    cell.push_back(pixel);
                    // Dark or saturated, well covered: a stroke of the symbol, not the wash.
                    const int r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
                    const int spread = std::max({r, g, b}) - std::min({r, g, b});
                    ink += (pixel >> 24) > 160 && (r + g + b < 420 || spread > 90) ? 1 : 0;
                }
            }
            EXPECT_GT(ink, 25) << "suit " << face.suit << " value " << face.value;
            for (size_t other = 0; other < cells.size(); ++other) {
                EXPECT_NE(cells[other], cell) << "suit " << face.suit << " value " << face.value
                                              << " looks like face " << other;
            }
            cells.push_back(cell);
        }
        sheet->unlock();
        if (set == 1) {
            firstSet = cells;
        } else {
            for (size_t face = 0; face < cells.size(); ++face) {
                EXPECT_NE(cells[face], firstSet[face]) << "face " << face;
            }
        }
    }
}

}  // namespace media_keys_test
