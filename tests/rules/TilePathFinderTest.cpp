// The path search on hand-made boards: straight, one-turn and two-turn lines, the margin around
// the board, blocked sides, hidden tiles and other layers, the ranking of paths, the orientation
// of the best path and its screen form.
#include <gtest/gtest.h>

#include <vector>

#include "framework/core/PropertyNode.h"
#include "framework/core/Random.h"
#include "game/rules/Layout.h"
#include "game/rules/TilePathFinder.h"
#include "testsupport/rules/RulesFixtures.h"

namespace tile_path_finder_test {

using rules_test::makeTile;

class PathBoard {
public:
    PathBoard() : layout(new Layout(DUMMY_NODE, TYPE_CLASSIC, -1)) {}

    Tile* put(int x, int y, int z = 0) {
        RefHolder<Tile> tile = makeTile(x, y, z);
        EXPECT_TRUE(layout->placeTile(tile.get(), x, y, z));
        return tile.get();
    }
    // A row of tiles side by side from column `from` to `to` (tile positions).
    void row(int from, int to, int y, int z = 0) {
        for (int x = from; x <= to; x += 2) {
            put(x, y, z);
        }
    }
    TilePath best(const Tile* a, const Tile* b, bool* found = nullptr) const {
        TilePathFinder finder(*layout, *a, *b);
        const bool result = finder.search();
        if (found != nullptr) {
            *found = result;
        }
        return finder.getPath();
    }
    bool connected(const Tile* a, const Tile* b) const {
        return TilePathFinder::areConnected(*layout, *a, *b);
    }

    RefHolder<Layout> layout;
};

// Fine coordinates of a tile's centre.
int centreX(const Tile* tile) {
    return 2 * tile->getGridX() + 4;
}
int centreY(const Tile* tile) {
    return 2 * tile->getGridY() + 4;
}

// Every inner point of the path's segments is free, the segments join end to start, and the
// path runs from the first tile's centre to the second's.
void expectJoined(const TilePathFinder& finder, const Tile* a, const Tile* b) {
    const TilePath& path = finder.getPath();
    ASSERT_FALSE(path.empty());
    EXPECT_TRUE(path.front().x1 == centreX(a) || path.front().y1 == centreY(a));
    EXPECT_TRUE(path.back().x2 == centreX(b) || path.back().y2 == centreY(b));
    for (size_t i = 0; i < path.size(); ++i) {
        const PathSegment& segment = path[i];
        EXPECT_TRUE(segment.dx == 0 || segment.dy == 0) << "segment " << i;
        if (i > 0) {
            EXPECT_EQ(segment.x1, path[i - 1].x2);
            EXPECT_EQ(segment.y1, path[i - 1].y2);
        }
        // Points strictly between the tile edges: skip the ends that reach into the tiles.
        const int steps = segment.length;
        for (int s = 1; s < steps; ++s) {
            const int x = segment.x1 + (segment.dx > 0 ? s : segment.dx < 0 ? -s : 0);
            const int y = segment.y1 + (segment.dy > 0 ? s : segment.dy < 0 ? -s : 0);
            const bool insideEnd = (i == 0 && s < 2) || (i + 1 == path.size() && steps - s < 2);
            if (!insideEnd) {
                EXPECT_TRUE(finder.isPointFree(x, y)) << x << "," << y;
            }
        }
    }
}

TEST(TilePathFinder, TilesInOneRowWithAGapJoinStraightThroughTheirMiddles) {
    PathBoard board;
    Tile* a = board.put(4, 4);
    Tile* b = board.put(10, 4);
    TilePathFinder finder(*board.layout, *a, *b);
    ASSERT_TRUE(finder.search());
    const TilePath& path = finder.getPath();
    ASSERT_EQ(path.size(), 1u);
    EXPECT_EQ(path[0].x1, centreX(a));
    EXPECT_EQ(path[0].x2, centreX(b));
    EXPECT_EQ(path[0].y1, centreY(a));
    EXPECT_EQ(path[0].y2, centreY(a));
    EXPECT_EQ(path[0].dx, 12);
    EXPECT_EQ(path[0].length, 12);
    EXPECT_TRUE(path[0].middle);
    expectJoined(finder, a, b);

    // From the right-hand tile the path runs the other way.
    const TilePath back = board.best(b, a);
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0].x1, centreX(b));
    EXPECT_EQ(back[0].x2, centreX(a));
    EXPECT_EQ(back[0].dx, -12);
}

TEST(TilePathFinder, TilesOnDifferentRowsAndColumnsJoinWithOneTurn) {
    PathBoard board;
    Tile* a = board.put(4, 4);
    Tile* b = board.put(10, 10);
    TilePathFinder finder(*board.layout, *a, *b);
    ASSERT_TRUE(finder.search());
    const TilePath& path = finder.getPath();
    ASSERT_EQ(path.size(), 2u);
    // Right out of the first tile's middle, down into the second's: found first among equals.
    EXPECT_EQ(path[0].dy, 0);
    EXPECT_EQ(path[0].x2, centreX(b));
    EXPECT_EQ(path[1].dx, 0);
    EXPECT_EQ(path[1].y2, centreY(b));
    expectJoined(finder, a, b);
}

TEST(TilePathFinder, ATileBetweenIsPassedAboveOrBelowOrNotAtAll) {
    PathBoard board;
    Tile* a = board.put(4, 4);
    board.put(7, 4);
    Tile* b = board.put(10, 4);
    TilePathFinder finder(*board.layout, *a, *b);
    ASSERT_TRUE(finder.search());
    ASSERT_EQ(finder.getPath().size(), 3u);
    EXPECT_EQ(finder.getPath()[0].dx, 0);  // leaves vertically
    EXPECT_EQ(finder.getPath()[1].dy, 0);  // crosses over horizontally
    EXPECT_EQ(finder.getPath()[2].dx, 0);
    // Over the top of the board: its end segments are long, while the line just below the row
    // has end segments of length 1, so the longer way ranks first.
    EXPECT_EQ(finder.getPath()[1].y1, 0);
    expectJoined(finder, a, b);

    // Rows of tiles directly above and below close both ways round.
    board.row(4, 10, 2);
    EXPECT_TRUE(board.connected(a, b));  // still round the bottom
    board.row(4, 10, 6);
    EXPECT_FALSE(board.connected(a, b));
    bool found = true;
    EXPECT_TRUE(board.best(a, b, &found).empty());
    EXPECT_FALSE(found);
}

TEST(TilePathFinder, APathMayRunThroughTheMarginOutsideTheBoard) {
    PathBoard board;
    Tile* a = board.put(0, 4);
    board.put(0, 6);
    Tile* b = board.put(0, 8);
    // A wall on the right: the only way round is left of column 0.
    board.put(2, 4);
    board.put(2, 6);
    board.put(2, 8);
    EXPECT_TRUE(board.layout->isTileFree(a));
    TilePathFinder finder(*board.layout, *a, *b);
    ASSERT_TRUE(finder.search());
    const TilePath& path = finder.getPath();
    ASSERT_EQ(path.size(), 3u);
    EXPECT_LT(path[1].x1, 2);  // the connector lies in the margin
    EXPECT_EQ(path[1].x1, path[1].x2);
    EXPECT_TRUE(finder.isPointFree(0, 20));
    EXPECT_FALSE(finder.isPointFree(-1, 20));
    EXPECT_FALSE(finder.isPointFree(TilePathFinder::FINE_COLUMNS, 20));
    expectJoined(finder, a, b);
}

TEST(TilePathFinder, AClosedInTileHasNoPath) {
    PathBoard board;
    Tile* a = board.put(10, 8);
    board.put(8, 8);
    board.put(12, 8);
    board.row(9, 11, 6);
    board.row(9, 11, 10);
    Tile* b = board.put(30, 8);
    EXPECT_FALSE(board.connected(a, b));
    EXPECT_FALSE(board.connected(b, a));
    // Opening one upper cell is enough for a ray from the edge point above it.
    PathBoard open;
    Tile* c = open.put(10, 8);
    open.put(8, 8);
    open.put(12, 8);
    open.put(11, 6);  // covers only the right half of the upper side
    open.row(9, 11, 10);
    Tile* d = open.put(30, 8);
    EXPECT_TRUE(open.connected(c, d));
}

TEST(TilePathFinder, HiddenTilesAndOtherLayersDoNotBlock) {
    PathBoard board;
    Tile* a = board.put(4, 4);
    Tile* between = board.put(7, 4);
    Tile* b = board.put(10, 4);
    board.row(4, 10, 2);
    board.row(4, 10, 6);
    EXPECT_FALSE(board.connected(a, b));
    between->setVisible(false);
    EXPECT_TRUE(board.connected(a, b));
    EXPECT_EQ(board.best(a, b).size(), 1u);

    // Tiles on the layers below and above the pair's layer never enter the search.
    PathBoard layers;
    Tile* c = layers.put(4, 4, 1);
    Tile* d = layers.put(10, 4, 1);
    layers.put(7, 4, 0);
    layers.put(7, 4, 2);
    layers.row(0, 38, 2, 0);
    layers.row(0, 38, 6, 2);
    EXPECT_EQ(layers.best(c, d).size(), 1u);
    layers.put(7, 4, 1);
    EXPECT_EQ(layers.best(c, d).size(), 3u);
}

TEST(TilePathFinder, FirstPathModeAgreesWithTheFullSearch) {
    // Random sparse boards on one layer: whether a path exists does not depend on the mode.
    Random::createInstance(4711);
    for (int round = 0; round < 40; ++round) {
        PathBoard board;
        for (int i = 0; i < 60; ++i) {
            const int x = Random::getInstance()->nextInt(0, Layout::MAX_TILE_X + 1);
            const int y = Random::getInstance()->nextInt(0, Layout::MAX_TILE_Y + 1);
            if (board.layout->getCell(x, y, 0) == nullptr &&
                board.layout->getCell(x + 1, y, 0) == nullptr &&
                board.layout->getCell(x, y + 1, 0) == nullptr &&
                board.layout->getCell(x + 1, y + 1, 0) == nullptr) {
                board.put(x, y);
            }
        }
        std::vector<RefHolder<Tile>> tiles;
        board.layout->getAllTiles(tiles);
        for (size_t i = 1; i < tiles.size(); i += 3) {
            TilePathFinder finder(*board.layout, *tiles[i - 1], *tiles[i]);
            const bool found = finder.search();
            EXPECT_EQ(board.connected(tiles[i - 1].get(), tiles[i].get()), found);
            if (found) {
                EXPECT_LE(finder.getPath().size(), 3u);
                expectJoined(finder, tiles[i - 1].get(), tiles[i].get());
            }
        }
    }
    Random::releaseInstance();
}

// A path of segments with the given lengths; the ends carry the middle flags.
TilePath crafted(std::vector<int> lengths, bool middleFirst, bool middleLast) {
    TilePath path;
    for (int length : lengths) {
        PathSegment segment;
        segment.x2 = length;
        segment.measure();
        path.push_back(segment);
    }
    path.front().middle = middleFirst;
    path.back().middle = middleLast;
    return path;
}

TEST(TilePathFinder, RankingRulesDecideInTheirOrder) {
    struct Case {
        const char* rule;
        TilePath candidate;
        TilePath best;
        bool better;
    };
    const std::vector<Case> cases = {
        {"anything beats no path", crafted({9, 9, 9}, false, false), {}, true},
        {"no path beats nothing", {}, {}, false},
        {"more middle exits", crafted({1, 5, 9}, true, false), crafted({4}, false, false), true},
        {"fewer middle exits", crafted({4}, false, false), crafted({1, 5, 9}, true, false), false},
        {"fewer segments", crafted({3, 3}, true, true), crafted({3, 1, 3}, true, true), true},
        {"more segments", crafted({3, 1, 3}, true, true), crafted({3, 3}, true, true), false},
        {"balanced ends", crafted({4, 9, 5}, true, true), crafted({2, 1, 6}, true, true), true},
        {"unbalanced ends", crafted({2, 1, 6}, true, true), crafted({4, 9, 5}, true, true), false},
        {"both ends long", crafted({2, 9, 2}, true, true), crafted({1, 1, 1}, true, true), true},
        {"an end too short", crafted({1, 1, 1}, true, true), crafted({2, 9, 2}, true, true), false},
        {"longer short end", crafted({1, 4, 2}, true, true), crafted({0, 1, 1}, true, true), true},
        {"shorter total", crafted({5, 1, 5}, true, true), crafted({5, 8, 5}, true, true), true},
        {"a tie keeps the best", crafted({5, 8, 5}, true, true), crafted({5, 8, 5}, true, true),
         false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TilePathFinder::isBetterPath(c.candidate, c.best), c.better) << c.rule;
    }
    EXPECT_FALSE(TilePathFinder::isBetterPath(crafted({0, 1, 0}, true, true),
                                              crafted({1, 9, 1}, true, true)));
    EXPECT_EQ(TilePathFinder::pathLength(crafted({5, 8, 5}, false, false)), 18);
}

TEST(TilePathFinder, SegmentsTurnIntoScreenPoints) {
    rules_test::ScopedTuning tuningValues({{"TILE_FACE_WIDTH", 42}, {"TILE_FACE_HEIGHT", 48}});
    PathSegment segment;
    segment.x1 = 1;
    segment.y1 = 1;
    segment.x2 = 6;
    segment.y2 = 1;
    segment.measure();
    segment.toScreen(100, 50);
    EXPECT_EQ(segment.x1, 90);  // (1 - 2) * 42 / 4 = -10.5 truncates to -10
    EXPECT_EQ(segment.y1, 38);
    EXPECT_EQ(segment.x2, 142);
    EXPECT_EQ(segment.y2, 38);
    EXPECT_EQ(segment.dx, 52);
    EXPECT_EQ(segment.dy, 0);
    EXPECT_EQ(segment.length, 52);
}

}  // namespace tile_path_finder_test
