#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PropertyNode.h"
#include "framework/core/PropertyValue.h"
#include "framework/platform/Graphics.h"
#include "framework/platform/Image.h"
#include "game/rules/Layout.h"
#include "game/rules/SideBoard.h"
#include "rules/RecordingGameScreen.h"
#include "testsupport/rules/RulesFixtures.h"

namespace side_board_test {

using rules_test::FakeGame;
using rules_test::makeTile;
using rules_test::RecordingGameScreen;
using rules_test::ScopedGameScreen;
using rules_test::ScopedTuning;
using rules_test::tileNode;

RefHolder<SideBoard> makeBoard(int width, int height, int x = 0, int y = 0) {
    RefHolder<PropertyNode> node(new PropertyNode("sideboard", "SideBoard"));
    node->addChild(new PropertyValue("x", x, true));
    node->addChild(new PropertyValue("y", y, true));
    node->addChild(new PropertyValue("width", width, true));
    node->addChild(new PropertyValue("height", height, true));
    return RefHolder<SideBoard>(new SideBoard(node.get()));
}

RefHolder<Image> filledImage(int width, int height, uint32_t color) {
    RefHolder<Image> image(Image::createImage(width, height, 4));
    RefHolder<Graphics> graphics(image->createGraphics());
    graphics->fillRectChannel(Channel::ALPHA, color >> 24, 0, 0, width, height);
    graphics->setColor(color | 0xFF000000u);
    graphics->fillRect(0, 0, width, height);
    return image;
}

uint32_t rackPixelAt(Image* image, int x, int y) {
    const auto* row = reinterpret_cast<const uint32_t*>(image->getPixels() + y * image->getPitch());
    return row[x];
}

// Draws the side board once on a throw-away target, which redraws its own picture.
void renderOnce(SideBoard& board) {
    RefHolder<Image> target(Image::createImage(800, 600, 4));
    RefHolder<Graphics> graphics(target->createGraphics());
    board.render(graphics.get());
}

const std::vector<std::pair<std::string, int32_t>> CONSTANTS = {{"SIDEBOARD_WIDTH_PER_TILE", 40},
                                                                {"SIDEBOARD_HEIGHT_PER_TILE", 50},
                                                                {"SIDEBOARD_PADDING_X", 6},
                                                                {"SIDEBOARD_PADDING_Y", 7},
                                                                {"SIDEBOARD_FREECELL_PADDING_X", 3},
                                                                {"SIDEBOARD_FREECELL_PADDING_Y", 4},
                                                                {"SIDEBOARD_SPEED_EXTRA_X", 10},
                                                                {"SIDEBOARD_SPEED_EXTRA_Y", 20},
                                                                {"RENDERER_TILE_FACE_WIDTH", 36},
                                                                {"RENDERER_TILE_FACE_HEIGHT", 44},
                                                                {"RENDERER_TILE_SIDE_WIDTH", 5},
                                                                {"TILE_FACE_WIDTH", 30},
                                                                {"TILE_FACE_HEIGHT", 40},
                                                                {"TILE_WIDTH", 8},
                                                                {"TILE_HEIGHT", 8},
                                                                {"TILE_FADEOUT_TIME", 300},
                                                                {"TILE_HOVER_COLOR", 0x00FF00},
                                                                {"TILE_HOVER_ALPHA", 90},
                                                                {"TILE_SELECT_COLOR", 0xFF0000},
                                                                {"TILE_SELECT_ALPHA", 120}};

class SideBoardTest : public ::testing::Test {
protected:
    ScopedTuning constants{CONSTANTS};
    RecordingGameScreen screen;
    ScopedGameScreen installed{screen};
};

TEST_F(SideBoardTest, AFreeCellRackIsOneSlotPictureWidePerColumn) {
    FakeGame freeCell(1);
    screen.setBoardShown(true);
    screen.addImage("manual", "SIDEBOARD_FREECELL_SLOT", filledImage(30, 40, 0x80123456).get());
    RefHolder<SideBoard> board = makeBoard(4, 1, 500, 60);
    renderOnce(*board);
    EXPECT_EQ(board->getWidth(), 4 * 30);
    EXPECT_EQ(board->getHeight(), 40);
    EXPECT_EQ(board->getSlotPitchX(), 30);
    EXPECT_EQ(board->getSlotPitchY(), 40);
    EXPECT_EQ(board->getSlotOffsetX(), 3);
    EXPECT_EQ(board->getSlotOffsetY(), 4);
    ASSERT_NE(board->getBackgroundImage(), nullptr);
    // Every slot shows the slot picture, alpha included, in the side board's own picture.
    Image* picture = board->getImage();
    ASSERT_NE(picture, nullptr);
    ASSERT_EQ(picture->getWidth(), 120);
    for (int column = 0; column < 4; ++column) {
        EXPECT_EQ(rackPixelAt(picture, column * 30 + 15, 20), 0x80123456u) << column;
    }
    EXPECT_FALSE(board->getDirtyRect().has_value());
}

TEST_F(SideBoardTest, OtherRacksAreNamedByTheirSlotGrid) {
    for (int type : {2, 5}) {
        FakeGame game(type);
        screen.calls.clear();
        screen.setBoardShown(true);
        screen.addImage("manual", "SIDEBOARD_2X4", filledImage(90, 190, 0xFF000000).get());
        RefHolder<SideBoard> board = makeBoard(2, 4);
        renderOnce(*board);
        EXPECT_EQ(screen.calls, std::vector<std::string>{"findImage manual SIDEBOARD_2X4"});
        EXPECT_EQ(board->getWidth(), 90);
        EXPECT_EQ(board->getHeight(), 190);
        EXPECT_EQ(board->getSlotPitchX(), 36);
        EXPECT_EQ(board->getSlotPitchY(), 44);
        EXPECT_EQ(board->getSlotOffsetX(), type == 5 ? 16 : 6);
        EXPECT_EQ(board->getSlotOffsetY(), type == 5 ? 27 : 7);
    }
}

TEST_F(SideBoardTest, NothingIsDrawnWhileTheBoardIsNotShown) {
    FakeGame split(2);
    RefHolder<SideBoard> board = makeBoard(2, 4);
    renderOnce(*board);
    EXPECT_TRUE(screen.calls.empty());
    EXPECT_EQ(board->getDirtyRect(), (Rect{0, 0, 800, 600}));
    EXPECT_EQ(board->getImage(), nullptr);
}

TEST_F(SideBoardTest, SlotTilesAreDrawnWithTheirShadows) {
    FakeGame classic(0);
    screen.setBoardShown(true);
    // A tile with a see-through bottom-left corner.
    screen.tilePicture = filledImage(8, 8, 0xFF00FF00);
    std::memset(screen.tilePicture->getPixels() + 7 * screen.tilePicture->getPitch(), 0, 4);
    screen.tileAlpha = 255;
    screen.setShadowImage(filledImage(4, 4, 0xFF0000FF).get());
    screen.addImage("manual", "SIDEBOARD_2X1", filledImage(100, 60, 0xFF202020).get());
    RefHolder<SideBoard> board = makeBoard(2, 1);
    board->placeTile(makeTile(0, 0, 0, 1, 2).get(), 1, 0);
    renderOnce(*board);
    Image* picture = board->getImage();
    ASSERT_NE(picture, nullptr);
    // Slot 1 lies at offset 6 + 36, 7; the shadow covers the tile's top-left 4 x 4 pixels.
    EXPECT_EQ(rackPixelAt(picture, 42 + 6, 7 + 6), 0xFF00FF00u);
    EXPECT_EQ(rackPixelAt(picture, 42 + 1, 7 + 1), 0xFF0000FFu);
    EXPECT_EQ(rackPixelAt(picture, 6 + 2, 7 + 2), 0xFF202020u);  // empty slot 0: the rack
    EXPECT_EQ(rackPixelAt(picture, 42, 7 + 7), 0xFF202020u);     // the rack under the corner
}

TEST_F(SideBoardTest, SlotsFillRowByRowAndFillingStopsWithTheGame) {
    RefHolder<SideBoard> board = makeBoard(2, 2);
    EXPECT_EQ(board->getCapacity(), 4);
    board->placeTile(makeTile(0, 0, 0).get(), 0, 0);
    board->placeTile(makeTile(0, 0, 0).get(), 1, 0);
    int column = 0;
    int row = 0;
    board->findFreeSlot(column, row);
    EXPECT_EQ(column, 0);
    EXPECT_EQ(row, 1);

    FakeGame speed(5);
    speed.queue.push_back(makeTile(0, 0, 0, 2, 1));
    board->fillFromGame();
    EXPECT_EQ(speed.asked, 2);  // one tile, then none
    EXPECT_EQ(board->getTileCount(), 3);
    Tile* placed = board->getTileAt(0, 1);
    ASSERT_NE(placed, nullptr);
    EXPECT_TRUE(placed->isOnSideBoard());
    EXPECT_EQ(placed->getGridX(), 0);
    EXPECT_EQ(placed->getGridY(), 1);
    EXPECT_EQ(placed->getGridZ(), 0);

    board->placeTile(makeTile(0, 0, 0).get(), 1, 1);
    board->findFreeSlot(column, row);
    EXPECT_EQ(column, -1);
    EXPECT_EQ(row, -1);
    speed.queue.push_back(makeTile(0, 0, 0));
    board->fillFromGame();
    EXPECT_EQ(speed.asked, 2);  // full: nothing asked

    std::vector<RefHolder<Tile>> tiles;
    board->getTiles(tiles);
    ASSERT_EQ(tiles.size(), 4u);
    EXPECT_EQ(tiles[2].get(), placed);  // row by row
}

TEST_F(SideBoardTest, SlotTileSpritesArePlacedFromTheSideBoardsPosition) {
    RefHolder<SideBoard> board = makeBoard(3, 2, 600, 100);
    RefHolder<Tile> tile = makeTile(0, 0, 0);
    board->placeTile(tile.get(), 2, 1);
    EXPECT_EQ(tile->getX(), 600 + 2 * 40 + 6);
    EXPECT_EQ(tile->getY(), 100 + 1 * 50 + 7);
    // The headless screen finds slot tiles by their sprites.
    RefHolder<Layout> layout(new Layout(DUMMY_NODE, TYPE_CLASSIC, -1));
    layout->setSideBoard(board.get());
    EXPECT_EQ(screen.tileAtPoint(layout.get(), 600 + 86 + 39, 100 + 57 + 49), tile.get());
    EXPECT_EQ(screen.tileAtPoint(layout.get(), 600 + 86 + 40, 100 + 57), nullptr);
}

TEST_F(SideBoardTest, TwoDirtySlotsMakeOnePendingRectangle) {
    FakeGame split(2);
    screen.setBoardShown(true);
    RefHolder<SideBoard> board = makeBoard(2, 5);
    renderOnce(*board);  // no rack picture: the slots are still laid out
    ASSERT_FALSE(board->getDirtyRect().has_value());
    board->invalidateTileRect(0, 0);
    EXPECT_EQ(board->getDirtyRect(), (Rect{6, 7, 41, 88}));
    board->invalidateTileRect(1, 3);
    // From slot (0, 0) to slot (1, 3): x 6 .. 6 + 36 + 41, y 7 .. 7 + 3 * 44 + 88.
    EXPECT_EQ(board->getDirtyRect(), (Rect{6, 7, 36 + 41, 3 * 44 + 88}));
    board->invalidateAll();
    EXPECT_EQ(board->getDirtyRect(), (Rect{0, 0, board->getWidth(), board->getHeight()}));
}

TEST_F(SideBoardTest, PointsBecomeSlotsOnlyWithAPositivePitch) {
    FakeGame split(2);
    RefHolder<SideBoard> board = makeBoard(2, 3, 500, 100);
    int x = 520;
    int y = 120;
    EXPECT_FALSE(board->pointToSlot(x, y));  // never drawn: pitch 0

    screen.setBoardShown(true);
    renderOnce(*board);
    x = 500 + 6 + 36 + 1;
    y = 100 + 7 + 2 * 44 + 43;
    ASSERT_TRUE(board->pointToSlot(x, y));
    EXPECT_EQ(x, 1);
    EXPECT_EQ(y, 2);
    x = 499;
    y = 150;
    EXPECT_FALSE(board->pointToSlot(x, y));
    x = 500 + 6 + 2 * 36;
    y = 110;
    EXPECT_FALSE(board->pointToSlot(x, y));  // column 2 does not exist
    int column = 1;
    int row = 2;
    board->slotToPoint(column, row);
    EXPECT_EQ(column, 500 + 36 + 6);
    EXPECT_EQ(row, 100 + 88 + 7);

    // A copy before its first redraw keeps the source's slot geometry.
    RefHolder<SideBoard> copy(new SideBoard(*board));
    EXPECT_EQ(copy->getSlotPitchX(), 36);
    EXPECT_EQ(copy->getSlotOffsetY(), 7);
    x = 500 + 6 + 1;
    y = 100 + 7 + 1;
    EXPECT_TRUE(copy->pointToSlot(x, y));
}

TEST_F(SideBoardTest, SlotCountsFromFilesAreKeptInRange) {
    RefHolder<SideBoard> negative = makeBoard(-3, 2);
    EXPECT_EQ(negative->getCapacity(), 0);
    EXPECT_FALSE(negative->placeTile(makeTile(0, 0, 0).get(), 0, 0));
    RefHolder<SideBoard> huge = makeBoard(100000, 2);
    EXPECT_EQ(huge->getColumns(), SideBoard::MAX_SLOTS_PER_SIDE);
    EXPECT_EQ(huge->getCapacity(), SideBoard::MAX_SLOTS_PER_SIDE * 2);
    RefHolder<SideBoard> unset(new SideBoard(DUMMY_NODE));
    EXPECT_EQ(unset->getColumns(), -1);
    EXPECT_EQ(unset->getRows(), -1);
    int column = 0;
    int row = 0;
    unset->findFreeSlot(column, row);
    EXPECT_EQ(column, -1);
}

TEST_F(SideBoardTest, TheReaderSkipsTilesOutsideTheSlotsAndOtherEntries) {
    RefHolder<PropertyNode> node(new PropertyNode("sideboard", "SideBoard"));
    node->addChild(new PropertyValue("width", 2, true));
    node->addChild(new PropertyValue("height", 1, true));
    auto* tiles = new PropertyVector("tiles");
    node->addChild(tiles);
    tiles->addChild(tileNode(1, 0, 0, 3, 2, true).get());
    tiles->addChild(tileNode(2, 0, 0, 3, 2, true).get());
    tiles->addChild(tileNode(0, 1, 0, 3, 2, true).get());
    tiles->addChild(tileNode(-1, 0, 0, 3, 2, true).get());
    tiles->addChild(new PropertyNode("", "GameNode"));
    RefHolder<BaseObject> made(ObjectFactoryContainer::instance()->create("SideBoard", node.get()));
    auto* board = objectCast<SideBoard>(made.get());
    ASSERT_NE(board, nullptr);
    EXPECT_EQ(board->getTileCount(), 1);
    ASSERT_NE(board->getTileAt(1, 0), nullptr);
    EXPECT_EQ(board->getTileAt(1, 0)->getMatchKey(), 0x302);

    // Written back: width, height, position and the tiles, columns outer.
    board->placeTile(makeTile(0, 0, 0, 1, 1).get(), 0, 0);
    RefHolder<PropertyNode> saved(new PropertyNode("sideboard", "SideBoard"));
    board->save(saved.get());
    EXPECT_EQ(saved->getChildValue("width")->getInt(), 2);
    EXPECT_EQ(saved->getChildValue("height")->getInt(), 1);
    PropertyVector* written = saved->getChildVector("tiles");
    ASSERT_EQ(written->getChildCount(), 2);
    auto* first = nodeOrDummy(written->getChildAt(0));
    EXPECT_EQ(first->getTypeWord(), "Tile");
    EXPECT_EQ(first->getChildValue("suit")->getInt(), 1);
    EXPECT_TRUE(first->getChildValue("sideboard")->getBool());
}

TEST_F(SideBoardTest, LooksRunOnTheSlotTilesAndAFinishedFadeOutEmptiesTheSlot) {
    FakeGame freeCell(1);
    RefHolder<SideBoard> board = makeBoard(2, 1);
    RefHolder<Tile> tile = makeTile(0, 0, 0, 4, 2);
    board->placeTile(tile.get(), 1, 0);
    auto* look = dynamic_cast<HeadlessRenderTile*>(board->getRenderTileAt(1, 0));
    ASSERT_NE(look, nullptr);
    EXPECT_EQ(look->getFaceOffsetX(), (2 + 4) * 30);
    EXPECT_EQ(look->getFaceOffsetY(), 4 * 41);
    ASSERT_EQ(look->getLooks().size(), 1u);
    EXPECT_EQ(look->getLooks()[0].kind, TileLook::PLAIN);

    board->addSelectTint(tile.get());
    board->addHoverTint(tile.get());
    ASSERT_EQ(look->getLooks().size(), 2u);
    EXPECT_EQ(look->getLooks()[1].kind, TileLook::TINTED);
    EXPECT_EQ(look->getLooks()[1].color, 0x00FF00);  // the hover tint replaced the select tint
    EXPECT_EQ(look->getLooks()[1].alpha, 90);

    board->addFadeOut(tile.get());
    board->update(200);
    EXPECT_EQ(board->getTileAt(1, 0), tile.get());
    board->update(150);
    EXPECT_EQ(board->getTileAt(1, 0), nullptr);
    EXPECT_EQ(board->getRenderTileAt(1, 0), nullptr);
    EXPECT_EQ(tile->getRefCount(), 1);
    // A tile that is not in a slot gets no look.
    board->addPlainImage(tile.get());
}

TEST_F(SideBoardTest, SplitAndSpeedSlotTilesFlash) {
    FakeGame split(2);
    RefHolder<SideBoard> board = makeBoard(1, 1);
    board->placeTile(makeTile(0, 0, 0).get(), 0, 0);
    auto* look = dynamic_cast<HeadlessRenderTile*>(board->getRenderTileAt(0, 0));
    ASSERT_NE(look, nullptr);
    EXPECT_EQ(look->getLooks().front().kind, TileLook::FLASH);
}

TEST_F(SideBoardTest, ACopyHasItsOwnTilesAndPicture) {
    FakeGame freeCell(1);
    screen.setBoardShown(true);
    screen.addImage("manual", "SIDEBOARD_FREECELL_SLOT", filledImage(30, 40, 0xFF010203).get());
    RefHolder<SideBoard> board = makeBoard(3, 1, 640, 30);
    RefHolder<Tile> tile = makeTile(0, 0, 0, 2, 7);
    board->placeTile(tile.get(), 2, 0);
    renderOnce(*board);
    RefHolder<SideBoard> copy(new SideBoard(*board));
    EXPECT_EQ(copy->getX(), 640);
    EXPECT_EQ(copy->getCapacity(), 3);
    EXPECT_EQ(copy->getImage(), nullptr);
    EXPECT_EQ(copy->getBackgroundImage(), nullptr);
    EXPECT_EQ(copy->getDirtyRect(), (Rect{0, 0, 800, 600}));
    Tile* copied = copy->getTileAt(2, 0);
    ASSERT_NE(copied, nullptr);
    EXPECT_NE(copied, tile.get());
    EXPECT_EQ(copied->getMatchKey(), 0x207);
    EXPECT_NE(copy->getRenderTileAt(2, 0), nullptr);
    EXPECT_NE(copy->getRenderTileAt(2, 0), board->getRenderTileAt(2, 0));
    renderOnce(*copy);
    EXPECT_NE(copy->getImage(), nullptr);
    EXPECT_NE(copy->getImage(), board->getImage());
}

}  // namespace side_board_test
