// The layout grid: placing and removing tiles, the queries in grid order, the reader and writer
// of the layout form, the working copy.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/core/PropertyNode.h"
#include "framework/core/PropertyStore.h"
#include "framework/core/PropertyValue.h"
#include "game/rules/Layout.h"
#include "game/rules/SideBoard.h"
#include "testsupport/TempFolder.h"
#include "testsupport/rules/RulesFixtures.h"

namespace layout_test {

using rules_test::FakeGame;
using rules_test::makeTile;
using rules_test::tileNode;

RefHolder<Layout> emptyLayout() {
    return RefHolder<Layout>(new Layout(DUMMY_NODE, TYPE_CLASSIC, -1));
}

// A layout node with the given tile nodes.
RefHolder<PropertyNode> layoutNode(const std::vector<RefHolder<PropertyNode>>& tiles) {
    RefHolder<PropertyNode> node(new PropertyNode("layout", "Layout"));
    auto* list = new PropertyVector("tiles");
    node->addChild(list);
    for (const auto& tile : tiles) {
        list->addChild(tile.get());
    }
    return node;
}

RefHolder<PropertyNode> sideBoardNode(int x, int y, int width, int height,
                                      const std::string& name = "") {
    RefHolder<PropertyNode> node(new PropertyNode(name, "SideBoard"));
    node->addChild(new PropertyValue("x", x, true));
    node->addChild(new PropertyValue("y", y, true));
    node->addChild(new PropertyValue("width", width, true));
    node->addChild(new PropertyValue("height", height, true));
    return node;
}

std::vector<std::vector<int>> positions(const std::vector<RefHolder<Tile>>& tiles) {
    std::vector<std::vector<int>> out;
    for (const auto& tile : tiles) {
        out.push_back({tile->getGridX(), tile->getGridY(), tile->getGridZ()});
    }
    return out;
}

TEST(Layout, PlacingOverAnotherTileRemovesIt) {
    auto layout = emptyLayout();
    RefHolder<Tile> first = makeTile(10, 4, 0);
    RefHolder<Tile> second = makeTile(0, 0, 0);
    ASSERT_TRUE(layout->placeTile(first.get(), 10, 4, 0));
    EXPECT_EQ(layout->getTileCount(), 1);
    EXPECT_EQ(first->getRefCount(), 5);  // four cells and the test
    ASSERT_TRUE(layout->placeTile(second.get(), 11, 5, 0));
    EXPECT_EQ(layout->getTileCount(), 1);
    EXPECT_EQ(first->getRefCount(), 1);
    EXPECT_EQ(layout->getCell(10, 4, 0), nullptr);
    EXPECT_EQ(layout->getCell(12, 6, 0), second.get());
    EXPECT_EQ(second->getGridX(), 11);
    EXPECT_EQ(second->getGridY(), 5);

    // Placing nothing clears the cells.
    ASSERT_TRUE(layout->placeTile(nullptr, 12, 6, 0));
    EXPECT_EQ(layout->getTileCount(), 0);
    EXPECT_EQ(second->getRefCount(), 1);
}

TEST(Layout, PlacementsOutsideTheGridAreRefused) {
    auto layout = emptyLayout();
    RefHolder<Tile> tile = makeTile(0, 0, 0);
    EXPECT_FALSE(layout->placeTile(tile.get(), 40, 0, 0));
    EXPECT_FALSE(layout->placeTile(tile.get(), 0, 20, 0));
    EXPECT_FALSE(layout->placeTile(tile.get(), 0, 0, 7));
    EXPECT_FALSE(layout->placeTile(tile.get(), -1, 0, 0));
    EXPECT_EQ(layout->getTileCount(), 0);
    EXPECT_EQ(tile->getRefCount(), 1);
}

TEST(Layout, ATileHeldOnlyByTheGridSurvivesBeingPlacedAgain) {
    auto layout = emptyLayout();
    Tile* tile = nullptr;
    {
        RefHolder<Tile> made = makeTile(6, 6, 2);
        layout->placeTile(made.get(), 6, 6, 2);
        tile = made.get();
    }
    ASSERT_EQ(tile->getRefCount(), 4);
    // Its own cells are cleared first, which drops every reference the grid holds.
    ASSERT_TRUE(layout->placeTile(tile, 6, 6, 2));
    EXPECT_EQ(layout->getTileCount(), 1);
    EXPECT_EQ(layout->getCell(7, 7, 2), tile);
    EXPECT_EQ(tile->getRefCount(), 4);
    // Moving it within the grid leaves one copy and one count.
    ASSERT_TRUE(layout->placeTile(tile, 20, 10, 0));
    EXPECT_EQ(layout->getTileCount(), 1);
    EXPECT_EQ(layout->getCell(6, 6, 2), nullptr);
    EXPECT_EQ(tile->getRefCount(), 4);
}

TEST(Layout, RemovingATileNotInTheGridChangesNothing) {
    auto layout = emptyLayout();
    RefHolder<Tile> placed = makeTile(10, 4, 0);
    layout->placeTile(placed.get(), 10, 4, 0);
    // A stray tile that claims the same place.
    RefHolder<Tile> stray = makeTile(10, 4, 0);
    layout->removeTile(stray.get());
    EXPECT_EQ(layout->getTileCount(), 1);
    EXPECT_EQ(layout->getCell(10, 4, 0), placed.get());
    EXPECT_EQ(layout->getCell(11, 5, 0), placed.get());
    // Removing twice counts once.
    layout->removeTile(placed.get());
    layout->removeTile(placed.get());
    layout->removeTile(nullptr);
    EXPECT_EQ(layout->getTileCount(), 0);
    EXPECT_EQ(placed->getRefCount(), 1);
}

TEST(Layout, RemovingASlotTileLeavesTheGridCount) {
    FakeGame freeCell(1);
    RefHolder<PropertyNode> node = layoutNode({tileNode(2, 2, 0), tileNode(4, 2, 0)});
    node->addChild(sideBoardNode(500, 20, 2, 1, "sideboard").get());
    RefHolder<Layout> layout(new Layout(node.get(), TYPE_FREECELL, -1));
    ASSERT_NE(layout->getSideBoard(), nullptr);
    RefHolder<Tile> slotTile = makeTile(0, 0, 0);
    ASSERT_TRUE(layout->getSideBoard()->placeTile(slotTile.get(), 1, 0));
    EXPECT_EQ(layout->getTileCount(), 2);
    layout->removeTile(slotTile.get());
    EXPECT_EQ(layout->getTileCount(), 2);
    EXPECT_EQ(layout->getSideBoard()->getTileCount(), 0);
    EXPECT_EQ(slotTile->getRefCount(), 1);
}

TEST(Layout, QueriesRunInGridOrder) {
    auto layout = emptyLayout();
    for (const auto& p : std::vector<std::vector<int>>{
             {20, 2, 1}, {4, 8, 0}, {2, 8, 0}, {30, 0, 0}, {6, 8, 0}, {20, 2, 0}}) {
        RefHolder<Tile> tile = makeTile(p[0], p[1], p[2]);
        layout->placeTile(tile.get(), p[0], p[1], p[2]);
    }
    std::vector<RefHolder<Tile>> all;
    layout->getAllTiles(all);
    EXPECT_EQ(positions(all),
              (std::vector<std::vector<int>>{
                  {30, 0, 0}, {20, 2, 0}, {2, 8, 0}, {4, 8, 0}, {6, 8, 0}, {20, 2, 1}}));
    std::vector<RefHolder<Tile>> free;
    layout->getFreeTiles(free);
    EXPECT_EQ(positions(free),
              (std::vector<std::vector<int>>{{30, 0, 0}, {2, 8, 0}, {6, 8, 0}, {20, 2, 1}}));
    EXPECT_EQ(layout->countFreeTiles(), 4);
    std::vector<RefHolder<Tile>> layer;
    layout->getTilesOnLayer(0, layer);
    EXPECT_EQ(layer.size(), 5u);
    EXPECT_EQ(layout->getUsedWidth(), 32);
    EXPECT_EQ(layout->getUsedHeight(), 10);
    EXPECT_EQ(emptyLayout()->getUsedWidth(), 0);
}

TEST(Layout, NeighboursAreTheDistinctTilesAroundAndAbove) {
    auto layout = emptyLayout();
    const std::vector<std::vector<int>> around = {{8, 4, 0},  {12, 5, 0}, {12, 3, 0}, {10, 2, 0},
                                                  {10, 6, 0}, {11, 5, 1}, {14, 4, 0}};
    RefHolder<Tile> centre = makeTile(10, 4, 0);
    layout->placeTile(centre.get(), 10, 4, 0);
    for (const auto& p : around) {
        RefHolder<Tile> tile = makeTile(p[0], p[1], p[2]);
        layout->placeTile(tile.get(), p[0], p[1], p[2]);
    }
    std::vector<RefHolder<Tile>> neighbours;
    // All but the tile two columns away.
    EXPECT_EQ(layout->getNeighbours(centre.get(), neighbours), 6);
    EXPECT_EQ(neighbours.size(), 6u);
    EXPECT_TRUE(centre->isNeighbourOf(neighbours[0].get()));
    EXPECT_FALSE(centre->isNeighbourOf(centre.get()));
}

TEST(Layout, TheWorkingCopyCopiesTilesAndStartsFromTheTilesLeft) {
    FakeGame freeCell(1);
    std::vector<RefHolder<PropertyNode>> nodes;
    for (int i = 0; i < 144; ++i) {
        nodes.push_back(tileNode((i % 18) * 2, ((i / 18) % 8) * 2, i / 144, i % 5, i % 9));
    }
    RefHolder<PropertyNode> node = layoutNode(nodes);
    auto* boards = new PropertyVector("sideboards");
    node->addChild(boards);
    boards->addChild(sideBoardNode(600, 40, 4, 1).get());
    RefHolder<Layout> source(new Layout(node.get(), TYPE_FREECELL, 0));
    ASSERT_EQ(source->getTileCount(), 144);
    EXPECT_EQ(source->getStartingTileCount(), 144);
    std::vector<RefHolder<Tile>> all;
    source->getAllTiles(all);
    for (size_t i = 10; i < all.size(); ++i) {
        source->removeTile(all[i].get());
    }
    RefHolder<Tile> slot = makeTile(0, 0, 0, 3, 1);
    source->getSideBoard()->placeTile(slot.get(), 2, 0);

    RefHolder<Layout> copy(new Layout(*source));
    EXPECT_EQ(copy->getTileCount(), 10);
    EXPECT_EQ(copy->getStartingTileCount(), 10);
    std::vector<RefHolder<Tile>> copied;
    copy->getAllTiles(copied);
    ASSERT_EQ(copied.size(), 10u);
    for (size_t i = 0; i < copied.size(); ++i) {
        EXPECT_NE(copied[i].get(), all[i].get());
        EXPECT_EQ(copied[i]->getMatchKey(), all[i]->getMatchKey());
        EXPECT_EQ(copied[i]->getGridX(), all[i]->getGridX());
    }
    ASSERT_NE(copy->getSideBoard(), nullptr);
    EXPECT_NE(copy->getSideBoard(), source->getSideBoard());
    Tile* copiedSlot = copy->getSideBoard()->getTileAt(2, 0);
    ASSERT_NE(copiedSlot, nullptr);
    EXPECT_NE(copiedSlot, slot.get());
    EXPECT_TRUE(copiedSlot->isOnSideBoard());
    EXPECT_EQ(copiedSlot->getMatchKey(), 0x301);
}

TEST(Layout, TheReaderSkipsTilesOutsideTheGridAndEntriesThatAreNotTiles) {
    RefHolder<PropertyNode> node =
        layoutNode({tileNode(39, 19, 6), tileNode(40, 0, 0), tileNode(0, 20, 0), tileNode(0, 0, 7),
                    tileNode(-2, 0, 0), tileNode(2, 2, 0)});
    node->getChildVector("tiles")->addChild(new PropertyNode("", "GameNode"));
    node->getChildVector("tiles")->addChild(new PropertyNode("", "NoSuchClass"));
    node->addChild(new PropertyValue("displayname", "TEXT_LAYOUT_TEST", true));
    RefHolder<Layout> layout(new Layout(node.get(), TYPE_CLASSIC, -1));
    EXPECT_EQ(layout->getTileCount(), 2);
    EXPECT_EQ(layout->getStartingTileCount(), 2);
    EXPECT_EQ(layout->getDisplayName(), "TEXT_LAYOUT_TEST");

    node->addChild(new PropertyValue("displayname", "", true));
    node->addChild(new PropertyValue("originalTileCount", 144, true));
    RefHolder<Layout> again(new Layout(node.get(), TYPE_CLASSIC, -1));
    EXPECT_EQ(again->getDisplayName(), "TEXT_LAYOUT_NONAME");
    EXPECT_EQ(again->getStartingTileCount(), 144);

    RefHolder<Layout> nothing(new Layout(DUMMY_NODE, TYPE_SPLIT, 0));
    EXPECT_EQ(nothing->getTileCount(), 0);
    EXPECT_EQ(nothing->getDisplayName(), "TEXT_LAYOUT_NONAME");
    EXPECT_EQ(nothing->getSideBoard(), nullptr);
}

TEST(Layout, SideBoardsAreReadOnlyForTheTypesThatPlayWithThem) {
    RefHolder<PropertyNode> node = layoutNode({tileNode(2, 2, 0)});
    auto* boards = new PropertyVector("sideboards");
    node->addChild(boards);
    boards->addChild(sideBoardNode(12, 12, 1, 1).get());
    boards->addChild(sideBoardNode(14, 16, 4, 1).get());
    for (int type : {0, 3, 4}) {
        RefHolder<Layout> layout(new Layout(node.get(), static_cast<GameType>(type), 1));
        EXPECT_EQ(layout->getSideBoard(), nullptr) << type;
    }
    RefHolder<Layout> freeCell(new Layout(node.get(), TYPE_FREECELL, 1));
    ASSERT_NE(freeCell->getSideBoard(), nullptr);
    EXPECT_EQ(freeCell->getSideBoard()->getColumns(), 4);
    EXPECT_EQ(freeCell->getSideBoard()->getX(), 14);
    EXPECT_EQ(freeCell->getSideBoard()->getY(), 16);
    RefHolder<Layout> noIndex(new Layout(node.get(), TYPE_SPLIT, -1));
    EXPECT_EQ(noIndex->getSideBoard(), nullptr);
    // Past the end: a side board from the empty node, without slots.
    RefHolder<Layout> pastEnd(new Layout(node.get(), TYPE_SPEED, 9));
    ASSERT_NE(pastEnd->getSideBoard(), nullptr);
    EXPECT_EQ(pastEnd->getSideBoard()->getCapacity(), 0);
    // A single "sideboard" wins over the list.
    node->addChild(sideBoardNode(1, 2, 2, 5, "sideboard").get());
    RefHolder<Layout> single(new Layout(node.get(), TYPE_SPLIT, 1));
    EXPECT_EQ(single->getSideBoard()->getCapacity(), 10);
}

TEST(Layout, ALayoutWithASideBoardSurvivesAnXmlRoundTrip) {
    FakeGame split(2);
    TempFolder folder;
    RefHolder<PropertyNode> node = layoutNode({tileNode(0, 0, 0, 1, 2), tileNode(2, 0, 0, 5, 3),
                                               tileNode(1, 1, 1, 2, 5), tileNode(38, 18, 6, 4, 0)});
    node->addChild(new PropertyValue("displayname", "TEXT_LAYOUT_ROUND", true));
    RefHolder<PropertyNode> board = sideBoardNode(610, 70, 2, 3, "sideboard");
    auto* slots = new PropertyVector("tiles");
    board->addChild(slots);
    slots->addChild(tileNode(1, 2, 0, 0, 8, true).get());
    slots->addChild(tileNode(0, 1, 0, 6, 1, true).get());
    slots->addChild(tileNode(2, 0, 0, 6, 1, true).get());  // outside the slot grid
    node->addChild(board.get());
    RefHolder<Layout> layout(new Layout(node.get(), TYPE_SPLIT, -1));
    ASSERT_EQ(layout->getTileCount(), 4);
    ASSERT_EQ(layout->getSideBoard()->getTileCount(), 2);
    {
        std::vector<RefHolder<Tile>> all;
        layout->getAllTiles(all);
        layout->removeTile(all[0].get());
    }

    RefHolder<PropertyStore> store(new PropertyStore());
    auto* written = new PropertyNode("layout", "Layout");
    store->addChild(written);
    layout->save(written);
    store->setSaveFileName(folder / "round.xml");
    ASSERT_TRUE(store->save());

    RefHolder<Layout> read(Layout::findByName(folder / "round.xml", TYPE_SPLIT, -1));
    EXPECT_EQ(read->getTileCount(), 3);
    EXPECT_EQ(read->getStartingTileCount(), 4);
    EXPECT_EQ(read->getDisplayName(), "TEXT_LAYOUT_ROUND");
    std::vector<RefHolder<Tile>> before;
    std::vector<RefHolder<Tile>> after;
    layout->getAllTiles(before);
    read->getAllTiles(after);
    ASSERT_EQ(after.size(), before.size());
    for (size_t i = 0; i < after.size(); ++i) {
        EXPECT_EQ(positions({after[i]}), positions({before[i]}));
        EXPECT_EQ(after[i]->getSuit(), before[i]->getSuit());
        EXPECT_EQ(after[i]->getValue(), before[i]->getValue());
        EXPECT_FALSE(after[i]->isOnSideBoard());
    }
    SideBoard* sideBoard = read->getSideBoard();
    ASSERT_NE(sideBoard, nullptr);
    EXPECT_EQ(sideBoard->getX(), 610);
    EXPECT_EQ(sideBoard->getY(), 70);
    EXPECT_EQ(sideBoard->getColumns(), 2);
    EXPECT_EQ(sideBoard->getRows(), 3);
    ASSERT_EQ(sideBoard->getTileCount(), 2);
    EXPECT_EQ(sideBoard->getTileAt(1, 2)->getMatchKey(), 0x008);
    EXPECT_EQ(sideBoard->getTileAt(0, 1)->getSuit(), 6);
    EXPECT_TRUE(sideBoard->getTileAt(0, 1)->isOnSideBoard());

    // The file carries the keys of the layout form.
    const std::string text = readTestFile(folder / "round.xml");
    for (const char* key : {"tileCount=\"3\"", "originalTileCount=\"4\"", "<Vector id=\"tiles\">",
                            "<SideBoard id=\"sideboard\"", "sideboard=\"true\""}) {
        EXPECT_NE(text.find(key), std::string::npos) << key;
    }
}

TEST(Layout, AMissingFileGivesAnEmptyLayout) {
    RefHolder<Layout> layout(Layout::findByName("no/such/layout.xml", TYPE_FREECELL, 0));
    EXPECT_EQ(layout->getTileCount(), 0);
    EXPECT_EQ(layout->getDisplayName(), "TEXT_LAYOUT_NONAME");
    EXPECT_EQ(layout->getSideBoard(), nullptr);
}

TEST(Layout, ACoveringTileForTheTutorialNeedsAFreeSlot) {
    FakeGame freeCell(1);
    RefHolder<PropertyNode> node =
        layoutNode({tileNode(10, 4, 0), tileNode(12, 4, 0), tileNode(12, 4, 1)});
    node->addChild(sideBoardNode(0, 0, 1, 1, "sideboard").get());
    RefHolder<Layout> layout(new Layout(node.get(), TYPE_FREECELL, -1));
    Tile* top = layout->getTileAt(12, 4, 1);
    // Only the middle tile waits for one removal, that of the top tile covering it; it has two
    // neighbours, more than the one slot.
    EXPECT_EQ(layout->findFreeCoveringTile(), nullptr);
    RefHolder<Layout> wide(new Layout(*layout));
    wide->getSideBoard()->setGridSize(4, 1);
    EXPECT_EQ(wide->findFreeCoveringTile(), wide->getTileAt(12, 4, 1));
    RefHolder<Tile> filler = makeTile(0, 0, 0);
    for (int column = 0; column < 4; ++column) {
        wide->getSideBoard()->placeTile(new Tile(*filler), column, 0);
    }
    EXPECT_EQ(wide->findFreeCoveringTile(), nullptr);
    EXPECT_NE(top, nullptr);
    EXPECT_EQ(emptyLayout()->findFreeCoveringTile(), nullptr);
}

}  // namespace layout_test
