#include <gtest/gtest.h>

#include <vector>

#include "framework/platform/Graphics.h"
#include "game/rules/Layout.h"
#include "game/rules/SideBoard.h"
#include "game/rules/Tile.h"
#include "game/screen/LayoutRenderer.h"
#include "game/screen/TileModifiers.h"
#include "testsupport/rules/HeadlessGameScreen.h"
#include "testsupport/screen/SyntheticBoard.h"

namespace layout_renderer_test {

using screen_test::Geometry;
using screen_test::makeLayout;
using screen_test::ScopedBoardArt;

// Counts the frames it is run for.
class CountingModifier : public TileModifier {
public:
    CountingModifier(RenderTile* tile, int* runs) : TileModifier(tile), runs(runs) {}
    void apply(int32_t) override { ++*runs; }

private:
    int* runs;
};

Rect tileRect(const Geometry& g, int x, int y) {
    return {x * g.faceWidth / 2, y * g.faceHeight / 2, g.faceWidth + g.layerX + g.shadowX,
            g.faceHeight + g.layerY + g.shadowY};
}

TEST(LayoutRendererTest, BuildsInDrawOrderFromTheOriginOfTheFirstBuild) {
    ScopedBoardArt art;
    const Geometry g;
    RefHolder<LayoutRenderer> renderer(new LayoutRenderer());
    renderer->build(makeLayout({}).get(), {});
    EXPECT_TRUE(renderer->getRenderTiles().empty());
    EXPECT_TRUE(renderer->getDirtyRects().empty());
    EXPECT_EQ(renderer->getOriginX(), 41);

    RefHolder<Layout> layout = makeLayout({{7, 4, 1}, {5, 4, 0}, {3, 2, 0}, {3, 6, 0}, {9, 2, 0}});
    // A removed tile comes back as an extra render tile; a side-board one does not.
    RefHolder<Tile> removed = rules_test::makeTile(11, 6, 0);
    RefHolder<Tile> onSideBoard = rules_test::makeTile(13, 6, 0);
    onSideBoard->setOnSideBoard(true);
    renderer->build(layout.get(), {removed, onSideBoard});
    std::vector<std::array<int, 3>> order;
    for (const RefHolder<RenderTile>& tile : renderer->getRenderTiles()) {
        order.push_back({tile->getColumn(), tile->getRow(), tile->getLayer()});
        EXPECT_EQ(
            renderer->getGrid().at(tile->getColumn() + 1, tile->getRow() + 1, tile->getLayer()),
            tile.get());
    }
    EXPECT_EQ(order, (std::vector<std::array<int, 3>>{
                         {0, 0, 0}, {6, 0, 0}, {2, 2, 0}, {0, 4, 0}, {8, 4, 0}, {4, 2, 1}}));
    EXPECT_EQ(renderer->findRenderTile(layout->getTileAt(7, 4, 1)),
              renderer->getRenderTiles().back().get());
    EXPECT_EQ(renderer->findRenderTile(onSideBoard.get()), nullptr);
    ASSERT_EQ(renderer->getLayerCount(), 2);
    EXPECT_EQ(renderer->getFirstChild(), renderer->getLayerSprites()[0].get());
    EXPECT_EQ(renderer->getLayerSprites()[0]->getNextSibling(),
              renderer->getLayerSprites()[1].get());
    EXPECT_EQ(renderer->getWidth(), 10 * g.faceWidth / 2 + g.sideWidth + g.shadowX);
    EXPECT_EQ(renderer->getHeight(), 6 * g.faceHeight / 2 + g.sideHeight + g.shadowY);
    EXPECT_EQ(renderer->getDirtyRects(), std::vector<Rect>{SCREEN_RECT});
    renderer->update(16);
    EXPECT_EQ(renderer->getDirtyRects(), std::vector<Rect>{SCREEN_RECT})
        << "the new tiles' own rectangles lie within the full redraw";

    renderer->setPosition(100, 50);
    EXPECT_EQ(renderer->gridToScreenX(0, 3), 100 + g.shadowX);
    EXPECT_EQ(renderer->gridToScreenY(1, 4), 50 + g.shadowY + g.faceHeight - g.layerY);

    // A shuffle's rebuild keeps the first origin.
    renderer->buildFromLayout(makeLayout({{5, 4, 1}, {9, 6, 1}}).get());
    ASSERT_EQ(renderer->getRenderTiles().size(), 2u);
    const RenderTile* first = renderer->getRenderTiles()[0].get();
    EXPECT_EQ(first->getColumn(), 2);
    EXPECT_EQ(first->getRow(), 2);
    EXPECT_EQ(first->getLayer(), 1);
    EXPECT_EQ(renderer->getOriginX(), 3);
    EXPECT_EQ(renderer->getOriginY(), 2);
}

TEST(LayoutRendererTest, HitTestFindsFacesSidesAndTheTopmostLayer) {
    ScopedBoardArt art;
    const Geometry g;
    RefHolder<LayoutRenderer> renderer(new LayoutRenderer());
    RefHolder<Layout> layout = makeLayout({{3, 2, 0}, {10, 2, 1}, {10, 2, 2}, {3, 8, 2}});
    renderer->build(layout.get(), {});
    renderer->setPosition(100, 100);
    Tile* low = layout->getTileAt(3, 2, 0);
    const int ax = 100 + g.shadowX;
    const int ay = 100 + g.shadowY;

    EXPECT_EQ(renderer->tileAtPoint(layout.get(), ax + 1, ay + 1), low);
    // Within the side strips right of and below the face, where no other tile lies.
    EXPECT_EQ(renderer->tileAtPoint(layout.get(), ax + g.faceWidth + g.layerX - 1, ay + 5), low);
    EXPECT_EQ(renderer->tileAtPoint(layout.get(), ax + 5, ay + g.faceHeight + g.layerY - 1), low);
    EXPECT_EQ(renderer->tileAtPoint(layout.get(), ax + g.faceWidth + g.layerX, ay + 5), nullptr);

    // The layer-2 face over a layer-1 tile.
    const int topX = renderer->gridToScreenX(2, 10);
    const int topY = renderer->gridToScreenY(2, 2);
    EXPECT_EQ(renderer->tileAtPoint(layout.get(), topX + g.layerX + 2, topY + g.layerY + 2),
              layout->getTileAt(10, 2, 2));

    // Left of the board: within two layer shifts the layer-2 tile is found, beyond it nothing.
    const int leftmost = ax - 2 * g.layerX;
    const int row = renderer->gridToScreenY(2, 8) + 2;
    EXPECT_EQ(renderer->tileAtPoint(layout.get(), leftmost, row), layout->getTileAt(3, 8, 2));
    EXPECT_EQ(renderer->tileAtPoint(layout.get(), leftmost - 1, row), nullptr);
    EXPECT_EQ(renderer->tileAtPoint(nullptr, ax + 1, ay + 1), nullptr);
}

TEST(LayoutRendererTest, UpdateRunsOnlyTopModifiersOfTilesInTheGridAndQueuesTheirRectangles) {
    ScopedBoardArt art(Geometry(), {{"TILE_FADEOUT_TIME", 64}});
    const Geometry g;
    RefHolder<LayoutRenderer> renderer(new LayoutRenderer());
    RefHolder<Layout> layout = makeLayout({{2, 2, 0}, {4, 2, 0}, {2, 2, 1}});
    renderer->build(layout.get(), {});
    renderer->rebuild();
    EXPECT_TRUE(renderer->getDirtyRects().empty());

    RenderTile* left = renderer->findRenderTile(layout->getTileAt(2, 2, 0));
    int bottomRuns = 0;
    int topRuns = 0;
    left->addModifier(new CountingModifier(left, &bottomRuns));
    left->removeModifier(new CountingModifier(left, &topRuns));
    renderer->update(16);
    EXPECT_EQ(topRuns, 1);
    EXPECT_EQ(bottomRuns, 0);
    EXPECT_EQ(renderer->getDirtyRects(), std::vector<Rect>{tileRect(g, 0, 0)});
    renderer->rebuild();
    renderer->update(16);
    EXPECT_EQ(topRuns, 2);
    EXPECT_TRUE(renderer->getDirtyRects().empty()) << "an unchanged picture queues nothing";

    // A fading tile is locked against tints and clearing, then leaves the grid.
    Tile* right = layout->getTileAt(4, 2, 0);
    RenderTile* fading = renderer->findRenderTile(right);
    renderer->addFadeOut(right, 1);
    renderer->addSuperHintTint(right);
    renderer->clearModifiers(right);
    EXPECT_NE(dynamic_cast<TileFadeOut*>(fading->getTopModifier()), nullptr);
    for (int frame = 0; frame < 4; ++frame) {
        renderer->update(16);
    }
    EXPECT_TRUE(fading->isOutOfGrid());
    EXPECT_EQ(renderer->getGrid().at(3, 1, 0), nullptr);
    EXPECT_EQ(renderer->findRenderTile(right), fading) << "found in the list when out of grid";
    renderer->rebuild();
    renderer->placeInGrid(fading);
    EXPECT_FALSE(fading->isOutOfGrid());
    EXPECT_EQ(renderer->getGrid().at(3, 1, 0), fading);
    EXPECT_EQ(renderer->getDirtyRects(), std::vector<Rect>{tileRect(g, 2, 0)});

    // Hover and clearing queue at once; side-board tiles are left to the side board.
    renderer->rebuild();
    renderer->addHoverTint(right);
    EXPECT_EQ(renderer->getDirtyRects(), std::vector<Rect>{tileRect(g, 2, 0)});
    renderer->rebuild();
    renderer->clearModifiers(right);
    EXPECT_EQ(renderer->getDirtyRects(), std::vector<Rect>{tileRect(g, 2, 0)});
    renderer->rebuild();
    right->setOnSideBoard(true);
    renderer->addHoverTint(right);
    renderer->clearModifiers(right);
    EXPECT_TRUE(renderer->getDirtyRects().empty());

    // Out of the grid nothing runs; symbols switch with a full redraw.
    const int runsBefore = topRuns;
    renderer->clearGrid();
    renderer->update(16);
    EXPECT_EQ(topRuns, runsBefore);
    renderer->rebuild();
    renderer->hideSymbols();
    EXPECT_FALSE(renderer->getLayerSprites()[1]->getSymbolsShown());
    EXPECT_EQ(renderer->getDirtyRects(), std::vector<Rect>{SCREEN_RECT});
}

TEST(LayoutRendererTest, TheSideBoardAnswersFirstWhereItsSlotHoldsATile) {
    ScopedBoardArt art(Geometry(),
                       {{"SIDEBOARD_WIDTH_PER_TILE", 40}, {"SIDEBOARD_HEIGHT_PER_TILE", 50}});
    HeadlessGameScreen screen;
    screen.setBoardShown(true);
    rules_test::ScopedGameScreen installed(screen);
    rules_test::FakeGame split(2);
    RefHolder<PropertyNode> node(new PropertyNode("sideboard", "SideBoard"));
    node->addChild(new PropertyValue("width", 2, true));
    node->addChild(new PropertyValue("height", 1, true));
    RefHolder<SideBoard> sideBoard(new SideBoard(node.get()));
    RefHolder<Tile> rackTile = rules_test::makeTile(0, 0, 0, 1, 2);
    sideBoard->placeTile(rackTile.get(), 0, 0);
    RefHolder<Image> target(Image::createImage(800, 600, 4));
    RefHolder<Graphics> graphics(target->createGraphics());
    sideBoard->render(graphics.get());  // lays out its slots

    RefHolder<Layout> layout = makeLayout({{0, 0, 0}, {8, 0, 0}});
    layout->setSideBoard(sideBoard.get());
    RefHolder<LayoutRenderer> renderer(new LayoutRenderer());
    renderer->build(layout.get(), {});
    for (int column : {0, 1}) {
        int x = column;
        int y = 0;
        sideBoard->slotToPoint(x, y);
        const int boardColumn = column == 0 ? 0 : 8;
        renderer->setPosition(x - renderer->gridToScreenX(0, boardColumn) + renderer->getX(), 0);
        Tile* expected = column == 0 ? rackTile.get() : layout->getTileAt(8, 0, 0);
        EXPECT_EQ(renderer->tileAtPoint(layout.get(), x + 1, renderer->gridToScreenY(0, 0) + 1),
                  expected)
            << "slot " << column;
    }
}

TEST(LayoutRendererTest, SymbolsComeFromTheTileSetItIsGiven) {
    ScopedBoardArt art;
    const Geometry g;
    RefHolder<Layout> layout = makeLayout({{0, 0, 0}});
    const auto symbolDrawn = [&layout, &g](RefHolder<LayoutRenderer> renderer) {
        renderer->build(layout.get(), {});
        renderer->rebuild();
        return screen_test::pixelAt(renderer->getLayerSprites()[0]->getImage(),
                                    g.shadowX + g.faceWidth / 2, g.shadowY + g.faceHeight / 2);
    };
    EXPECT_EQ(symbolDrawn(new LayoutRenderer()), screen_test::symbolColor(0, 0)) << "the first set";
    EXPECT_EQ(symbolDrawn(new LayoutRenderer(1)), screen_test::symbolColor(0, 0) ^ 0x00FFFFFFu);
}

}  // namespace layout_renderer_test
