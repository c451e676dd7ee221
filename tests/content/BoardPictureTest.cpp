// The board art put together: every authored layout, with the side-board racks its levels
// use, fits the board area left of the HUD; and a full 144-tile board drawn with plain blits of the
// built pictures, a quarter tile per cell as the board draws them, is written to
// review/board-144.png in the build tree for a person to look at.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "content/ContentXml.h"
#include "content/MediaContent.h"
#include "framework/core/RefHolder.h"
#include "framework/platform/Graphics.h"
#include "framework/platform/Image.h"
#include "framework/platform/PngDecoder.h"
#include "testsupport/platform/PictureEncoder.h"
#include "testsupport/platform/PixelAccess.h"

namespace board_picture_test {

namespace fs = std::filesystem;

// The board area: the screen left of the HUD, whose time bar stands at x 709.
constexpr int32_t AREA_WIDTH = 700;
constexpr int32_t AREA_HEIGHT = 600;

struct Cell {
    int32_t x, y, z;
};

struct Rack {
    int32_t x, y, columns, rows;
};

struct LayoutFile {
    std::string name;
    std::vector<Cell> tiles;
    std::vector<Rack> racks;
};

LayoutFile readLayout(const fs::path& file) {
    LayoutFile layout{file.filename().string(), {}, {}};
    std::vector<ContentNode> top;
    std::string error;
    if (!readContentFile(file.string(), top, error)) {
        ADD_FAILURE() << error;
        return layout;
    }
    const ContentNode* node = findById(top, "layout");
    if (node == nullptr) {
        ADD_FAILURE() << file << ": no layout";
        return layout;
    }
    if (const ContentNode* tiles = node->child("tiles")) {
        for (const ContentNode& tile : tiles->children) {
            layout.tiles.push_back({std::stoi(tile.value("x")), std::stoi(tile.value("y")),
                                    std::stoi(tile.value("z"))});
        }
    }
    if (const ContentNode* racks = node->child("sideboards")) {
        for (const ContentNode& rack : racks->children) {
            layout.racks.push_back({std::stoi(rack.value("x")), std::stoi(rack.value("y")),
                                    std::stoi(rack.value("width")),
                                    std::stoi(rack.value("height"))});
        }
    }
    return layout;
}

// The board as the board renderer places it: coordinates from the smallest of the layout, its
// extent, and the board centred in the area.
struct Board {
    std::vector<Cell> tiles;  // normalised, in draw order (layer, row, column)
    int32_t width = 0, height = 0, left = 0, top = 0;
};

class BoardArt : public ::testing::Test {
protected:
    void SetUp() override {
        auto values = media::geometryValues();
        fw = values["RENDERER_TILE_FACE_WIDTH"];
        fh = values["RENDERER_TILE_FACE_HEIGHT"];
        lx = values["RENDERER_TILE_LAYER_OFFSETX"];
        ly = values["RENDERER_TILE_LAYER_OFFSETY"];
        sx = values["RENDERER_SHADOW_OFFSETX"];
        sy = values["RENDERER_SHADOW_OFFSETY"];
        sw = values["RENDERER_TILE_SIDE_WIDTH"];
        sh = values["RENDERER_TILE_SIDE_HEIGHT"];
        ASSERT_GT(fw, 0);
        ASSERT_GT(fh, 0);
    }

    Board place(const std::vector<Cell>& cells) const {
        Board board;
        Cell low{INT32_MAX, INT32_MAX, INT32_MAX};
        for (const Cell& c : cells) {
            low = {std::min(low.x, c.x), std::min(low.y, c.y), std::min(low.z, c.z)};
        }
        int32_t maxX = 0, maxY = 0, zAtLeft = 0, zAtTop = 0;
        for (const Cell& c : cells) {
            const Cell n{c.x - low.x, c.y - low.y, c.z - low.z};
            board.tiles.push_back(n);
            maxX = std::max(maxX, n.x);
            maxY = std::max(maxY, n.y);
            zAtLeft = n.x == 0 ? std::max(zAtLeft, n.z) : zAtLeft;
            zAtTop = n.y == 0 ? std::max(zAtTop, n.z) : zAtTop;
        }
        std::sort(board.tiles.begin(), board.tiles.end(), [](const Cell& a, const Cell& b) {
            return std::tie(a.z, a.y, a.x) < std::tie(b.z, b.y, b.x);
        });
        board.width = (maxX + 2) * fw / 2 + sw + lx * zAtLeft + sx;
        board.height = (maxY + 2) * fh / 2 + sh + ly * zAtTop + sy;
        board.left = (AREA_WIDTH - board.width) / 2;
        board.top = (AREA_HEIGHT - board.height) / 2;
        return board;
    }
    // Top left of a tile's face on the screen.
    int32_t faceX(const Board& board, const Cell& c) const {
        return board.left + sx + c.x * fw / 2 - c.z * lx;
    }
    int32_t faceY(const Board& board, const Cell& c) const {
        return board.top + sy + c.y * fh / 2 - c.z * ly;
    }

    static RefHolder<Image> picture(const std::string& relative) {
        RefHolder<Image> image(
            loadPngFile((media::GAME_FOLDER / relative).string(), PngDecodeFlags::FULL_COLOR));
        EXPECT_TRUE(image) << relative;
        return image;
    }

    int32_t fw = 0, fh = 0, lx = 0, ly = 0, sx = 0, sy = 0, sw = 0, sh = 0;
};

// Every layout a level plays, with the rack indices it plays it with (none when the game type
// has no side board).
void collectLevelUses(const ContentNode& node, std::map<std::string, std::set<int>>& uses) {
    if (node.tag == "Level") {
        std::vector<std::string> layouts;
        if (node.has("layout")) {
            layouts.push_back(node.value("layout"));
        }
        std::vector<const ContentNode*> pending{&node};
        while (!pending.empty()) {
            const ContentNode* current = pending.back();
            pending.pop_back();
            for (const ContentNode& child : current->children) {
                if (child.tag == "String") {
                    layouts.push_back(child.value("value"));
                }
                pending.push_back(&child);
            }
        }
        std::set<int> racks;
        const std::string type = node.value("gameType");
        if (type == "Freecell" || type == "Split" || type == "Speed") {
            if (const ContentNode* range = node.child("sideBoardIndex");
                range != nullptr && range->attributes.count("start")) {
                for (int i = int(std::stod(range->attributes.at("start")));
                     i <= int(std::stod(range->attributes.at("cap"))); ++i) {
                    racks.insert(i);
                }
            } else {
                racks.insert(std::stoi(node.value("sideBoardIndex")));
            }
        }
        for (const std::string& layout : layouts) {
            uses[layout].insert(racks.begin(), racks.end());
        }
        return;
    }
    for (const ContentNode& child : node.children) {
        collectLevelUses(child, uses);
    }
}

TEST_F(BoardArt, EveryLayoutAndTheRacksItsLevelsUseFitBesideTheHud) {
    std::map<std::string, std::set<int>> uses;
    for (const auto& entry :
         fs::directory_iterator(media::GAME_FOLDER / "media/properties/levels")) {
        std::vector<ContentNode> top;
        std::string error;
        ASSERT_TRUE(readContentFile(entry.path().string(), top, error)) << error;
        for (const ContentNode& node : top) {
            collectLevelUses(node, uses);
        }
    }
    ASSERT_GT(uses.size(), 50u);

    RefHolder<Image> slot = picture("media/images/sideboard/freecell_slot.png");
    ASSERT_TRUE(slot);
    int layouts = 0;
    for (const auto& entry : fs::directory_iterator(media::GAME_FOLDER / "media/levels")) {
        const LayoutFile layout = readLayout(entry.path());
        SCOPED_TRACE(layout.name);
        ++layouts;
        const Board board = place(layout.tiles);
        EXPECT_GE(board.left, 0) << "board " << board.width << " wide";
        EXPECT_GE(board.top, 0) << "board " << board.height << " high";
        for (const int index : uses[layout.name]) {
            ASSERT_LT(index, static_cast<int>(layout.racks.size()));
            const Rack& rack = layout.racks[index];
            // A row of cells is FreeCell's, built from slot pictures; the others are racks.
            int32_t width = rack.columns * slot->getWidth();
            int32_t height = rack.rows * slot->getHeight();
            if (rack.rows > 1 || rack.columns == 1) {
                RefHolder<Image> named =
                    picture("media/images/sideboard/sideboard_" + std::to_string(rack.columns) +
                            "x" + std::to_string(rack.rows) + ".png");
                ASSERT_TRUE(named);
                width = named->getWidth();
                height = named->getHeight();
            }
            for (const Cell& c : board.tiles) {
                // The tile with its sides and shadow, and a few pixels of air.
                const int32_t x = faceX(board, c) - sx, y = faceY(board, c) - sy;
                const bool apart = x >= rack.x + width + 4 || x + fw + sw + sx + 4 <= rack.x ||
                                   y >= rack.y + height + 4 || y + fh + sh + sy + 4 <= rack.y;
                ASSERT_TRUE(apart) << rack.columns << "x" << rack.rows << " rack meets tile " << c.x
                                   << "," << c.y << "," << c.z;
            }
        }
    }
    EXPECT_GT(layouts, 0);
}

// Writes an ARGB image as an RGB PNG.
void writeRgbPng(Image* image, const fs::path& file) {
    PngSpec spec;
    spec.width = image->getWidth();
    spec.height = image->getHeight();
    for (int32_t y = 0; y < spec.height; ++y) {
        std::vector<uint8_t> row;
        for (int32_t x = 0; x < spec.width; ++x) {
            const uint32_t p = testpixels::get32(image, x, y);
            row.insert(row.end(), {uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p)});
        }
        spec.rows.push_back(row);
    }
    const std::vector<uint8_t> bytes = encodePng(spec);
    fs::create_directories(file.parent_path());
    FILE* out = std::fopen(file.string().c_str(), "wb");
    ASSERT_NE(out, nullptr) << file;
    std::fwrite(bytes.data(), 1, bytes.size(), out);
    std::fclose(out);
}

// A face of the symbol sheet.
struct Face {
    int32_t suit, value;
};

// A deal of the suits the rules use: every regular face `copies` times, flowers and seasons
// once each, shuffled.
std::vector<Face> shuffledFaces(int copies, unsigned seed) {
    std::vector<Face> faces;
    const int32_t sizes[] = {9, 9, 9, 4, 3, 4, 4};
    for (int32_t suit = 0; suit < 7; ++suit) {
        for (int32_t value = 0; value < sizes[suit]; ++value) {
            for (int copy = 0; copy < (suit < 5 ? copies : 1); ++copy) {
                faces.push_back({suit, value});
            }
        }
    }
    std::shuffle(faces.begin(), faces.end(), std::mt19937(seed));
    return faces;
}

// Draws boards on an 800 x 600 screen from the built pictures.
class BoardDrawing : public BoardArt {
protected:
    void SetUp() override {
        BoardArt::SetUp();
        tile = picture("media/images/tiles/tile.png");
        shadow = picture("media/images/tiles/shadow.png");
        symbols = picture("media/images/tiles/symbols1.png");
        screen = Image::createImage(800, 600, 4);
        ASSERT_TRUE(tile && shadow && symbols && screen && screen->lock());
        g = screen->createGraphics();
        ASSERT_TRUE(g);
    }
    void TearDown() override {
        if (screen) {
            screen->unlock();
        }
    }

    void blitFace(const Face& face, int32_t x, int32_t y, int32_t qx, int32_t qy) {
        const int32_t row = face.suit <= 2 ? face.suit : (face.suit <= 4 ? 4 : 3);
        const int32_t column = face.value + (face.suit == 4 || face.suit == 6 ? 4 : 0);
        g->blit(symbols.get(), x + qx, y + qy, column * fw + qx, row * (fh + 1) + qy, fw / 2,
                fh / 2);
    }

    void drawBoard(const Board& board, const std::vector<Face>& faces) {
        for (size_t first = 0; first < board.tiles.size();) {
            size_t end = first;
            while (end < board.tiles.size() && board.tiles[end].z == board.tiles[first].z) {
                ++end;
            }
            drawLayer(board, faces, first, end);
            first = end;
        }
    }

    // A layer: the shadows it casts, then its tiles a quarter per cell in reading order, so
    // that tiles half a tile apart cover one another as on the board; a cell left empty between
    // a tile on its left and one above it gets the corner of the bottom side.
    void drawLayer(const Board& board, const std::vector<Face>& faces, size_t first, size_t end) {
        std::map<std::pair<int32_t, int32_t>, size_t> cells;
        for (size_t i = first; i < end; ++i) {
            const Cell& c = board.tiles[i];
            g->blit(shadow.get(), faceX(board, c) - sx, faceY(board, c) - sy, 0, 0, fw + 2 * sx,
                    2 * sy);
            g->blit(shadow.get(), faceX(board, c) - sx, faceY(board, c) + sy, 0, 2 * sy, 2 * sx,
                    fh + ly - sy);
            for (int32_t dy = 0; dy < 2; ++dy) {
                for (int32_t dx = 0; dx < 2; ++dx) {
                    cells[{c.y + dy, c.x + dx}] = i;
                }
            }
        }
        auto at = [&](int32_t y, int32_t x) {
            const auto found = cells.find({y, x});
            return found == cells.end() ? SIZE_MAX : found->second;
        };
        for (int32_t y = 0; y < 21; ++y) {
            for (int32_t x = 0; x < 41; ++x) {
                const size_t i = at(y, x);
                if (i == SIZE_MAX) {
                    if (at(y, x - 1) != SIZE_MAX && at(y - 1, x) != SIZE_MAX) {
                        const Cell corner{x, y, board.tiles[first].z};
                        g->blit(tile.get(), faceX(board, corner), faceY(board, corner), 0, fh, sw,
                                sh);
                    }
                    continue;
                }
                const Cell& c = board.tiles[i];
                const int32_t qx = at(y, x - 1) == i ? fw / 2 : 0;
                const int32_t qy = at(y - 1, x) == i ? fh / 2 : 0;
                g->blit(tile.get(), faceX(board, c) + qx, faceY(board, c) + qy, qx, qy,
                        fw / 2 + (qx ? sw : 0), fh / 2 + (qy ? sh : 0));
                blitFace(faces[i], faceX(board, c), faceY(board, c), qx, qy);
            }
        }
    }

    RefHolder<Image> tile, shadow, symbols, screen;
    RefHolder<Graphics> g;
};

TEST_F(BoardDrawing, AFullBoardIsWrittenForReview) {
    const LayoutFile layout = readLayout(media::GAME_FOLDER / "media/levels/cathedral.xml");
    ASSERT_EQ(layout.tiles.size(), 144u);
    const Board board = place(layout.tiles);
    const std::vector<Face> faces = shuffledFaces(4, 24);
    ASSERT_EQ(faces.size(), board.tiles.size());
    RefHolder<Image> background = picture("media/images/backgrounds/board1.png");
    ASSERT_TRUE(background && background->lock());
    g->copyRectWhole(background.get(), 0, 0);
    drawBoard(board, faces);

    // The board sits inside the area on the background: the screen's corners and the HUD
    // column show the background, a face of the top layer shows the tile.
    EXPECT_GE(board.left, 0);
    EXPECT_LE(board.left + board.width, AREA_WIDTH);
    for (const auto& [x, y] : {std::pair{3, 3}, std::pair{750, 300}, std::pair{3, 596}}) {
        EXPECT_EQ(testpixels::get32(screen.get(), x, y) & 0xFFFFFF,
                  testpixels::get32(background.get(), x, y) & 0xFFFFFF)
            << x << "," << y;
    }
    const Cell& last = board.tiles.back();
    const uint32_t face =
        testpixels::get32(screen.get(), faceX(board, last) + 2, faceY(board, last) + fh / 2);
    EXPECT_GT((face >> 16 & 0xFF) + (face >> 8 & 0xFF) + (face & 0xFF), 600u) << std::hex << face;
    background->unlock();
    writeRgbPng(screen.get(), fs::path(QUOVEL_BINARY_DIR) / "review/board-144.png");
}

// The widest layout of a Split level with its 2 x 3 rack full: the rack and the board side by
// side as the player sees them.
TEST_F(BoardDrawing, ABoardWithItsRackIsWrittenForReview) {
    const LayoutFile layout = readLayout(media::GAME_FOLDER / "media/levels/dragonlair.xml");
    ASSERT_EQ(layout.racks.size(), 7u);
    const Rack& rack = layout.racks[6];
    ASSERT_EQ(rack.columns * rack.rows, 6);
    const Board board = place(layout.tiles);
    std::vector<Face> faces = shuffledFaces(8, 7);
    ASSERT_GE(faces.size(), board.tiles.size() + 6);
    RefHolder<Image> background = picture("media/images/backgrounds/board3.png");
    RefHolder<Image> rackPicture = picture("media/images/sideboard/sideboard_2x3.png");
    ASSERT_TRUE(background && rackPicture);
    g->copyRectWhole(background.get(), 0, 0);
    drawBoard(board, faces);

    g->blitWhole(rackPicture.get(), rack.x, rack.y);
    const auto values = media::geometryValues();
    for (int32_t r = 0; r < rack.rows; ++r) {
        for (int32_t c = 0; c < rack.columns; ++c) {
            const int32_t x = rack.x + values.at("SIDEBOARD_PADDING_X") + c * fw;
            const int32_t y = rack.y + values.at("SIDEBOARD_PADDING_Y") + r * fh;
            g->blitWhole(tile.get(), x, y);
            for (int32_t q = 0; q < 4; ++q) {
                blitFace(faces[board.tiles.size() + r * 2 + c], x, y, q % 2 * fw / 2,
                         q / 2 * fh / 2);
            }
        }
    }
    // The rack's right edge stays clear of the board's first column.
    EXPECT_LT(rack.x + rackPicture->getWidth(), board.left);
    writeRgbPng(screen.get(), fs::path(QUOVEL_BINARY_DIR) / "review/board-with-rack.png");
}

// Layout miniatures as the layout preview draws them: the six game types' backgrounds, each
// with a layout drawn a quarter of the miniature tile per cell, layer over layer, centred.
TEST_F(BoardDrawing, LayoutMiniaturesAreWrittenForReview) {
    const auto values = media::geometryValues();
    const int32_t width = values.at("PREVIEW_WIDTH"), height = values.at("PREVIEW_HEIGHT");
    const int32_t hw = values.at("PREVIEW_TILE_FACE_WIDTH") / 2;
    const int32_t hh = values.at("PREVIEW_TILE_FACE_HEIGHT") / 2;
    RefHolder<Image> mini = picture("media/images/tiles/tile_preview.png");
    ASSERT_TRUE(mini);
    g->setColor(0xFF3B2414);
    g->fillRect(0, 0, 800, 600);
    const char* names[] = {"dragonlair.xml",   "cathedral.xml", "fourpillars.xml",
                           "greatpyramid.xml", "spiral.xml",    "butterfly.xml"};
    for (int type = 0; type < 6; ++type) {
        RefHolder<Image> panel =
            picture("media/images/previews/previewbackground" + std::to_string(type + 1) + ".png");
        ASSERT_TRUE(panel);
        const int32_t left = 20 + type % 3 * (width + 30), top = 40 + type / 3 * (height + 60);
        g->blitWhole(panel.get(), left, top);
        const LayoutFile layout = readLayout(media::GAME_FOLDER / "media/levels" / names[type]);
        const Board board = place(layout.tiles);
        int32_t usedW = 0, usedH = 0;
        for (const Cell& c : board.tiles) {
            usedW = std::max(usedW, c.x + 2);
            usedH = std::max(usedH, c.y + 2);
        }
        EXPECT_LE(usedW * hw, width) << names[type];
        EXPECT_LE(usedH * hh, height) << names[type];
        const int32_t ox = left + (width - usedW * hw) / 2, oy = top + (height - usedH * hh) / 2;
        for (const Cell& c : board.tiles) {
            for (int32_t q = 0; q < 4; ++q) {
                const int32_t x = c.x + q % 2, y = c.y + q / 2;
                g->blit(mini.get(), ox + x * hw + values.at("PREVIEW_LAYER_OFFSETX") * c.z,
                        oy + y * hh + values.at("PREVIEW_LAYER_OFFSETY") * c.z, q % 2 * hw,
                        q / 2 * hh, hw, hh);
            }
        }
    }
    writeRgbPng(screen.get(), fs::path(QUOVEL_BINARY_DIR) / "review/layout-miniatures.png");
}

}  // namespace board_picture_test
