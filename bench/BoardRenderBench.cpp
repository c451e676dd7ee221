// The board on screen: a full first render of a 144-tile board, the frame after a pair leaves
// it, and a frame with nothing changed, each timed against a memcpy of the 800 x 600 frame in
// the same loop ("x_memcpy": a frame after a removal should stay under ten, an unchanged frame
// under two). The game's tile art and board geometry from the build, or synthetic tiles at the
// authored geometry when the build has not made the art (the label says which).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <vector>

#include "BenchSize.h"
#include "FrameRatio.h"
#include "game/screen/LayoutRenderer.h"
#include "testsupport/screen/SyntheticBoard.h"

namespace {

using screen_test::Frame;

const screen_test::Geometry GEOMETRY{26, 36, 4, 5, 3, 3, 4, 5};

// The pictures and geometry of the board for the scope.
struct BoardArt {
    screen_test::Geometry geometry;
    std::unique_ptr<screen_test::ScopedBoardArt> art =
        screen_test::gameArt(std::filesystem::path(QUOVEL_BINARY_DIR) / "game/media", geometry, {});
    const char* label = "game art";

    BoardArt() {
        if (!art) {
            geometry = GEOMETRY;
            art = std::make_unique<screen_test::ScopedBoardArt>(GEOMETRY);
            label = "synthetic tiles";
        }
    }
};

// A board built, placed and drawn once: the state of play after the first frame.
struct DrawnBoard {
    BoardArt art;
    RefHolder<Layout> layout = screen_test::makeLayout(screen_test::pyramid144());
    Frame frame;
    RefHolder<LayoutRenderer> renderer = screen_test::drawnBoard(layout.get(), frame, 80, 40);
};

void boardArguments(benchmark::internal::Benchmark* benchmark) {
    benchmark->Unit(benchmark::kMicrosecond)
        ->UseManualTime()
        ->Repetitions(benchCount(9))
        ->DisplayAggregatesOnly(true);
}

void BM_BoardFirstRender(benchmark::State& state) {
    BoardArt art;
    RefHolder<Layout> layout = screen_test::makeLayout(screen_test::pyramid144());
    Frame frame;
    bench::measureAgainstMemcpy(
        state, 4,
        [&] {
            RefHolder<LayoutRenderer> renderer(new LayoutRenderer());
            renderer->build(layout.get(), {});
            renderer->setPosition(80, 40);
            GameNode::appendChild(renderer.get(), frame.root());
            frame.drawOver();
        },
        [&] { GameNode::releaseChildren(frame.root()); });
    state.SetLabel(art.label);
}
BENCHMARK(BM_BoardFirstRender)->Apply(boardArguments);

// One pair of the top layers leaves the grid: the frame that repaints its areas. The pair is
// put back and drawn between iterations, untimed.
void BM_BoardFrameAfterPairRemoved(benchmark::State& state) {
    DrawnBoard board;
    std::vector<RenderTile*> pair{
        board.renderer->findRenderTile(board.layout->getTileAt(15, 8, 3)),
        board.renderer->findRenderTile(board.layout->getTileAt(12, 7, 2))};
    bench::measureAgainstMemcpy(
        state, 4,
        [&] {
            for (RenderTile* tile : pair) {
                board.renderer->positionRenderTile(tile->getColumn(), tile->getRow(),
                                                   tile->getLayer());
            }
            board.frame.drawOver();
        },
        [&] {
            for (RenderTile* tile : pair) {
                board.renderer->placeInGrid(tile);
            }
            board.frame.drawOver();
        });
    state.SetLabel(board.art.label);
}
BENCHMARK(BM_BoardFrameAfterPairRemoved)->Apply(boardArguments);

void BM_BoardFrameUnchanged(benchmark::State& state) {
    DrawnBoard board;
    bench::measureAgainstMemcpy(state, 4, [&] { board.frame.drawOver(); });
    state.SetLabel(board.art.label);
}
BENCHMARK(BM_BoardFrameUnchanged)->Apply(boardArguments);

}  // namespace
