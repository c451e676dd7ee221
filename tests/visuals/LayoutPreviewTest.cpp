// The layout preview: synthetic quarters and backgrounds checked pixel by pixel (centring,
// cutting, layer shift, the background choice), and three authored layouts drawn with the
// game's own art into build/pictures/screen/preview-<layout>.png for a person to look at.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "content/MediaContent.h"
#include "framework/platform/PngDecoder.h"
#include "game/visuals/LayoutPreview.h"
#include "testsupport/TempFolder.h"
#include "testsupport/platform/PictureWriter.h"
#include "testsupport/screen/SyntheticBoard.h"

namespace layout_preview_test {

using media::GAME_FOLDER;
using screen_test::fill;
using screen_test::pixelAt;

// The miniature tile's four quarters (5 x 7 each) and the six backgrounds.
constexpr uint32_t QUARTER[4] = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFF00u};
constexpr uint32_t BACKGROUND[6] = {0xFF101010u, 0xFF202020u, 0xFF303030u,
                                    0xFF404040u, 0xFF505050u, 0xFF606060u};

class ScopedPreviewArt {
public:
    ScopedPreviewArt()
        : tuning({{"PREVIEW_WIDTH", 40},
                  {"PREVIEW_HEIGHT", 30},
                  {"PREVIEW_TILE_FACE_WIDTH", 10},
                  {"PREVIEW_TILE_FACE_HEIGHT", 14},
                  {"PREVIEW_LAYER_OFFSETX", -2},
                  {"PREVIEW_LAYER_OFFSETY", -1}}) {
        RefHolder<Image> tile(Image::createImage(10, 14, 4));
        for (int32_t q = 0; q < 4; ++q) {
            fill(tile.get(), (q % 2) * 5, (q / 2) * 7, 5, 7, QUARTER[q]);
        }
        std::vector<std::pair<std::string, RefHolder<Image>>> manual{{"TILE_PREVIEW", tile}};
        for (int32_t i = 0; i < 6; ++i) {
            RefHolder<Image> background(Image::createImage(40, 30, 4));
            fill(background.get(), 0, 0, 40, 30, BACKGROUND[i]);
            manual.emplace_back("PREVIEWBACKGROUND" + std::to_string(i + 1), background);
        }
        screen_test::ScopedBoardArt::addSection(ResourceManager::createInstance(), "manual",
                                                manual);
    }
    ~ScopedPreviewArt() { ResourceManager::stopLoader(); }
    ScopedPreviewArt(const ScopedPreviewArt&) = delete;
    ScopedPreviewArt& operator=(const ScopedPreviewArt&) = delete;

private:
    rules_test::ScopedTuning tuning;
};

// Whether the pixel shows `colour`: the blitter may blend a run's odd last pixel by 254 of 255.
bool shows(const Image* picture, int32_t x, int32_t y, uint32_t colour) {
    const uint32_t pixel = pixelAt(picture, x, y);
    for (int32_t shift = 0; shift < 32; shift += 8) {
        const int32_t a = static_cast<int32_t>((pixel >> shift) & 0xFF);
        const int32_t b = static_cast<int32_t>((colour >> shift) & 0xFF);
        if (a < b - 2 || a > b + 2) {
            return false;
        }
    }
    return true;
}

TEST(LayoutPreview, CentresLayersCutsWideLayoutsEquallyAndChoosesTheBackground) {
    ScopedPreviewArt art;
    LayoutPreview preview;

    // No tiles: the bare background of the index.
    RefHolder<Layout> empty = screen_test::makeLayout({});
    preview.build(empty.get(), 2);
    Image* picture = preview.getPicture();
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->getWidth(), 40);
    EXPECT_EQ(picture->getHeight(), 30);
    EXPECT_TRUE(shows(picture, 0, 0, BACKGROUND[2]));
    EXPECT_TRUE(shows(picture, 39, 29, BACKGROUND[2]));
    EXPECT_EQ(preview.getLayout(), empty.get());
    // An index outside 0-5 takes no background: transparent white.
    preview.build(empty.get(), 6);
    EXPECT_EQ(pixelAt(preview.getPicture(), 20, 15), 0x00FFFFFFu);
    preview.build(empty.get(), -1);
    EXPECT_EQ(pixelAt(preview.getPicture(), 20, 15), 0x00FFFFFFu);

    // One tile (2 x 2 cells of 5 x 7) centred: offset ((40 - 10) / 2, (30 - 14) / 2) = (15, 8);
    // the tile on layer 1 above it moves 2 left and 1 up and covers it.
    RefHolder<Layout> stacked = screen_test::makeLayout({{0, 0, 0}, {0, 0, 1}});
    preview.build(stacked.get(), 0);
    picture = preview.getPicture();
    EXPECT_TRUE(shows(picture, 13, 7, QUARTER[0]));  // top layer's top-left corner
    EXPECT_TRUE(shows(picture, 12, 7, BACKGROUND[0]));
    EXPECT_TRUE(shows(picture, 22, 20, QUARTER[3]));  // top layer's last pixel
    EXPECT_TRUE(shows(picture, 24, 21, QUARTER[3]));  // the lower tile shows below and right
    EXPECT_TRUE(shows(picture, 24, 8, QUARTER[1]));
    EXPECT_TRUE(shows(picture, 25, 21, BACKGROUND[0]));
    // Empty columns and rows before the tiles move nothing.
    preview.build(screen_test::makeLayout({{7, 5, 0}, {7, 5, 1}}).get(), 0);
    EXPECT_TRUE(shows(preview.getPicture(), 13, 7, QUARTER[0]));

    // Ten tiles side by side: 100 pixels for a 40-pixel picture, offset -30, cut 30 pixels at
    // both sides. Column 0 shows cell 6 (a left quarter), column 39 cell 13 (a right quarter).
    std::vector<game_test::Position> row;
    for (int32_t x = 0; x < 20; x += 2) {
        row.push_back({x, 0, 0});
    }
    RefHolder<Layout> wide = screen_test::makeLayout(row);
    preview.build(wide.get(), 5);
    picture = preview.getPicture();
    EXPECT_TRUE(shows(picture, 0, 8, QUARTER[0]));
    EXPECT_TRUE(shows(picture, 4, 8, QUARTER[0]));
    EXPECT_TRUE(shows(picture, 5, 8, QUARTER[1]));
    EXPECT_TRUE(shows(picture, 39, 8, QUARTER[1]));
    EXPECT_TRUE(shows(picture, 35, 8, QUARTER[1]));
    EXPECT_TRUE(shows(picture, 34, 8, QUARTER[0]));
    EXPECT_TRUE(shows(picture, 0, 7, BACKGROUND[5]));

    preview.clear();
    EXPECT_EQ(preview.getPicture(), nullptr);
}

TEST(LayoutPreview, ThreeAuthoredLayoutsDrawnWithTheGameArt) {
    const std::filesystem::path media = GAME_FOLDER / "media";
    const std::filesystem::path previews = media / "images/previews";
    screen_test::Geometry geometry;
    std::vector<std::pair<std::string, int32_t>> values;
    if (!std::filesystem::exists(previews / "previewbackground1.png") ||
        !screen_test::readGameGeometry(media, geometry, values)) {
        GTEST_SKIP() << "the build has not made the game's art";
    }
    rules_test::ScopedTuning tuning(values);
    std::vector<std::pair<std::string, RefHolder<Image>>> manual;
    const auto load = [](const std::filesystem::path& file) {
        return RefHolder<Image>(loadPngFile(file.string(), PngDecodeFlags::FULL_COLOR));
    };
    manual.emplace_back("TILE_PREVIEW", load(media / "images/tiles/tile_preview.png"));
    for (int32_t i = 1; i <= 6; ++i) {
        manual.emplace_back("PREVIEWBACKGROUND" + std::to_string(i),
                            load(previews / ("previewbackground" + std::to_string(i) + ".png")));
    }
    for (const auto& [key, image] : manual) {
        ASSERT_TRUE(image) << key;
    }
    screen_test::ScopedBoardArt::addSection(ResourceManager::createInstance(), "manual", manual);
    LayoutPreview preview;
    const std::filesystem::path folder =
        std::filesystem::path(QUOVEL_BINARY_DIR) / "pictures" / "screen";
    std::filesystem::create_directories(folder);
    const std::vector<std::pair<std::string, int32_t>> shown{
        {"butterfly", 0}, {"dragon", 2}, {"fortress", 4}};
    for (const auto& [name, type] : shown) {
        RefHolder<Layout> layout;
        {
            CurrentFolderScope inside(GAME_FOLDER);
            layout = Layout::findByName("media/levels/" + name + ".xml", TYPE_CLASSIC, 0);
        }
        ASSERT_TRUE(layout) << name;
        ASSERT_GT(layout->getTileCount(), 0) << name;
        preview.build(layout.get(), type);
        Image* picture = preview.getPicture();
        ASSERT_NE(picture, nullptr);
        // A good part of the picture shows miniature tiles instead of the background.
        Image* background = manual[static_cast<size_t>(type) + 1].second.get();
        int32_t covered = 0;
        for (int32_t y = 0; y < picture->getHeight(); ++y) {
            for (int32_t x = 0; x < picture->getWidth(); ++x) {
                covered += pixelAt(picture, x, y) != pixelAt(background, x, y) ? 1 : 0;
            }
        }
        EXPECT_GT(covered, picture->getWidth() * picture->getHeight() / 10) << name;
        EXPECT_TRUE(writeImagePng((folder / ("preview-" + name + ".png")).string(), picture));
    }
    ResourceManager::stopLoader();
}

}  // namespace layout_preview_test
