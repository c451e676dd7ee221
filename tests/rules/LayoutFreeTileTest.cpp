// The free-tile rule on hand-written boards: every layer, the grid edges, half-tile offsets,
// hidden tiles and River's widening, and the one-removal look-ahead.
#include <gtest/gtest.h>

#include <vector>

#include "framework/core/PropertyNode.h"
#include "game/rules/Layout.h"
#include "testsupport/rules/RulesFixtures.h"

namespace layout_free_tile_test {

using rules_test::FakeGame;
using rules_test::makeTile;

// An empty layout that tiles are put on by hand.
class FreeTileBoard {
public:
    FreeTileBoard() : layout(new Layout(DUMMY_NODE, TYPE_CLASSIC, -1)) {}

    Tile* put(int x, int y, int z) {
        RefHolder<Tile> tile = makeTile(x, y, z);
        EXPECT_TRUE(layout->placeTile(tile.get(), x, y, z));
        return tile.get();
    }
    // The grid's rule, checked against the same rule on a copy of the present cells.
    bool free(const Tile* tile) const {
        const bool result = layout->isTileFree(tile);
        if (tile && !tile->isOnSideBoard()) {
            EXPECT_EQ(
                Layout::isFreeAmong(layout->getPresentCells(), tile->getGridX(), tile->getGridY(),
                                    tile->getGridZ(), getCurrentGameType() == TYPE_RIVER),
                result);
        }
        return result;
    }

    RefHolder<Layout> layout;
};

TEST(LayoutFreeTiles, ARowIsFreeAtItsEndsOnEveryLayer) {
    for (int z = 0; z < Layout::LAYERS; ++z) {
        SCOPED_TRACE(z);
        FreeTileBoard board;
        Tile* left = board.put(10, 4, z);
        Tile* middle = board.put(12, 4, z);
        Tile* right = board.put(14, 4, z);
        EXPECT_TRUE(board.free(left));
        EXPECT_FALSE(board.free(middle));
        EXPECT_TRUE(board.free(right));
        if (z < Layout::MAX_TILE_Z) {
            // A tile above blocks whatever the sides are.
            board.put(10, 4, z + 1);
            EXPECT_FALSE(board.free(left));
            EXPECT_TRUE(board.free(right));
        }
    }
}

TEST(LayoutFreeTiles, ATowerIsBlockedUpToItsTopTile) {
    FreeTileBoard board;
    std::vector<Tile*> tower;
    for (int z = 0; z < Layout::LAYERS; ++z) {
        tower.push_back(board.put(12, 4, z));
    }
    for (int z = 0; z < Layout::MAX_TILE_Z; ++z) {
        EXPECT_FALSE(board.free(tower[z])) << z;
    }
    // Layer 6 has nothing above it: one empty side is enough.
    EXPECT_TRUE(board.free(tower[6]));
    board.put(10, 4, 6);
    EXPECT_TRUE(board.free(tower[6]));
    board.put(14, 4, 6);
    EXPECT_FALSE(board.free(tower[6]));
}

TEST(LayoutFreeTiles, TilesAtTheGridEdgesHaveAnEmptySide) {
    FreeTileBoard board;
    Tile* leftEdge = board.put(0, 8, 0);
    board.put(2, 8, 0);
    Tile* rightEdge = board.put(Layout::MAX_TILE_X, 8, 0);
    board.put(Layout::MAX_TILE_X - 2, 8, 0);
    EXPECT_TRUE(board.free(leftEdge));
    EXPECT_TRUE(board.free(rightEdge));
    EXPECT_TRUE(board.layout->isLeftEmpty(0, 8, 0));
    EXPECT_TRUE(board.layout->isRightEmpty(Layout::MAX_TILE_X, 8, 0));
    EXPECT_FALSE(board.layout->isLeftEmpty(Layout::MAX_TILE_X, 8, 0));

    // The edge does not help a covered tile.
    board.put(0, 8, 1);
    EXPECT_FALSE(board.free(leftEdge));

    // Tiles in the corners and on the last row and layer fit the grid.
    EXPECT_NE(board.put(0, 0, 0), nullptr);
    EXPECT_NE(board.put(Layout::MAX_TILE_X, Layout::MAX_TILE_Y, Layout::MAX_TILE_Z), nullptr);
    EXPECT_EQ(board.layout->getTileAt(40, 20, 6),
              board.layout->getTileAt(Layout::MAX_TILE_X, Layout::MAX_TILE_Y, 6));
    EXPECT_TRUE(board.layout->isCellEmpty(41, 0, 0));
    EXPECT_TRUE(board.layout->isCellEmpty(-1, 0, 0));
    EXPECT_TRUE(board.layout->isCellEmpty(0, 0, 7));
}

TEST(LayoutFreeTiles, HalfTileOffsetsBlockThroughOneCell) {
    FreeTileBoard board;
    Tile* tile = board.put(10, 4, 0);
    // Half a row lower on the right: it shares cell (12, 5) with the right side.
    board.put(12, 5, 0);
    EXPECT_FALSE(board.layout->isRightEmpty(10, 4, 0));
    EXPECT_TRUE(board.free(tile));
    // Half a row higher on the left: it shares cell (9, 4) with the left side.
    board.put(8, 3, 0);
    EXPECT_FALSE(board.layout->isLeftEmpty(10, 4, 0));
    EXPECT_FALSE(board.free(tile));

    // A tile above, half a tile to the side, still covers one of its cells.
    FreeTileBoard covered;
    Tile* low = covered.put(10, 4, 0);
    covered.put(11, 5, 1);
    EXPECT_FALSE(covered.free(low));
    // Two cells further it no longer does.
    FreeTileBoard beside;
    Tile* alone = beside.put(10, 4, 0);
    beside.put(12, 5, 1);
    EXPECT_TRUE(beside.free(alone));
}

TEST(LayoutFreeTiles, HiddenTilesBlockNothing) {
    FreeTileBoard board;
    Tile* left = board.put(10, 4, 0);
    Tile* middle = board.put(12, 4, 0);
    Tile* right = board.put(14, 4, 0);
    Tile* above = board.put(12, 4, 1);
    EXPECT_FALSE(board.free(middle));

    above->setVisible(false);
    EXPECT_FALSE(above->isPresent());
    EXPECT_TRUE(above->isVisible());  // only the present flag changes
    EXPECT_TRUE(board.layout->isCellEmpty(12, 4, 1));
    EXPECT_FALSE(board.free(middle));  // its sides are still taken

    left->setVisible(false);
    EXPECT_TRUE(board.free(middle));
    EXPECT_EQ(board.layout->getTileAt(10, 4, 0), nullptr);
    EXPECT_EQ(board.layout->getCell(10, 4, 0), left);

    left->setVisible(true);
    above->setVisible(true);
    EXPECT_FALSE(board.free(middle));
    EXPECT_TRUE(board.free(right));
}

TEST(LayoutFreeTiles, RiverAlsoFreesTilesWithAnEmptyUpperOrLowerSide) {
    FreeTileBoard board;
    // A plus sign: the centre is blocked left and right, open above and below.
    Tile* centre = board.put(12, 8, 0);
    board.put(10, 8, 0);
    board.put(14, 8, 0);
    Tile* top = board.put(12, 0, 0);
    board.put(10, 0, 0);
    board.put(14, 0, 0);
    Tile* bottom = board.put(12, Layout::MAX_TILE_Y, 0);
    board.put(10, Layout::MAX_TILE_Y, 0);
    board.put(14, Layout::MAX_TILE_Y, 0);
    EXPECT_FALSE(board.free(centre));
    EXPECT_FALSE(board.free(top));
    EXPECT_FALSE(board.free(bottom));
    {
        FakeGame river(4);
        EXPECT_TRUE(board.free(centre));
        EXPECT_TRUE(board.free(top));
        EXPECT_TRUE(board.free(bottom));
        board.put(12, 6, 0);
        EXPECT_TRUE(board.free(centre));  // still open below
        Tile* cover = board.put(12, 8, 1);
        EXPECT_FALSE(board.free(centre));  // covered tiles stay blocked in River too
        board.layout->removeTile(cover);
        EXPECT_TRUE(board.free(centre));
        board.put(13, 10, 0);  // half a tile over, it closes the lower side
        EXPECT_FALSE(board.free(centre));
    }
    FakeGame classic(0);
    EXPECT_FALSE(board.free(top));
}

TEST(LayoutFreeTiles, SlotTilesAreAlwaysFree) {
    FreeTileBoard board;
    RefHolder<Tile> slot = makeTile(0, 0, 0);
    slot->setOnSideBoard(true);
    board.put(0, 0, 1);  // a grid tile on the cells that share its numbers
    board.put(2, 0, 0);
    EXPECT_TRUE(board.free(slot.get()));
    EXPECT_FALSE(board.free(nullptr));
}

TEST(LayoutFreeTiles, FreeAfterOneRemovalUnderOneFreeTile) {
    FreeTileBoard board;
    Tile* low = board.put(10, 4, 0);
    Tile* top = board.put(10, 4, 1);
    board.put(12, 4, 0);
    EXPECT_FALSE(board.free(low));
    EXPECT_TRUE(board.layout->isFreeAfterOneRemoval(low));
    // Both sides taken: removing the top alone is not enough.
    board.put(8, 4, 0);
    EXPECT_FALSE(board.layout->isFreeAfterOneRemoval(low));

    // Two different tiles above.
    FreeTileBoard two;
    Tile* under = two.put(10, 4, 0);
    two.put(9, 4, 1);
    two.put(11, 4, 1);
    EXPECT_FALSE(two.layout->isFreeAfterOneRemoval(under));

    // The tile above must itself be free.
    FreeTileBoard blocked;
    Tile* base = blocked.put(10, 4, 0);
    blocked.put(10, 4, 1);
    blocked.put(10, 4, 2);
    EXPECT_FALSE(blocked.layout->isFreeAfterOneRemoval(base));

    // Free tiles, tiles in River and slot tiles never count.
    EXPECT_FALSE(board.layout->isFreeAfterOneRemoval(top));
    FakeGame river(4);
    EXPECT_FALSE(board.layout->isFreeAfterOneRemoval(low));
}

TEST(LayoutFreeTiles, FreeAfterOneRemovalOfASingleFreeNeighbour) {
    FreeTileBoard board;
    Tile* a = board.put(10, 4, 0);
    Tile* b = board.put(12, 4, 0);
    Tile* c = board.put(14, 4, 0);
    Tile* d = board.put(16, 4, 0);
    // b: its left neighbour a is free.
    EXPECT_TRUE(board.layout->isFreeAfterOneRemoval(b));
    EXPECT_TRUE(board.layout->isFreeAfterOneRemoval(c));
    EXPECT_FALSE(board.layout->isFreeAfterOneRemoval(a));
    EXPECT_FALSE(board.layout->isFreeAfterOneRemoval(d));
    // Two half-offset tiles on each side of a middle tile: more than one tile per side.
    FreeTileBoard offsets;
    Tile* middle = offsets.put(10, 4, 0);
    offsets.put(8, 3, 0);
    offsets.put(8, 5, 0);
    offsets.put(12, 3, 0);
    offsets.put(12, 5, 0);
    EXPECT_FALSE(offsets.free(middle));
    EXPECT_FALSE(offsets.layout->isFreeAfterOneRemoval(middle));

    std::vector<RefHolder<Tile>> soon;
    board.layout->getTilesFreeAfterOneRemoval(soon);
    ASSERT_EQ(soon.size(), 2u);
    EXPECT_EQ(soon[0].get(), b);
    EXPECT_EQ(soon[1].get(), c);
}

}  // namespace layout_free_tile_test
