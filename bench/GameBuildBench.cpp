// Building a classic level happens while the game screen waits; one build should fit in a frame
// (16 ms) even in the slow cases. Each seed deals fresh faces on a 144-tile board and times
// buildLevel alone in the thread's processor time; the counters give the median and the 99th
// percentile over the seeds. A hostile Triple board of 470 tiles, which no attempt can solve,
// stops at the builder's work limit and should take well under half a second.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

#include "BenchSize.h"
#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PropertyNode.h"
#include "framework/core/PropertyValue.h"
#include "framework/core/Random.h"
#include "game/rules/Game.h"
#include "game/rules/Layout.h"
#include "game/rules/Level.h"
#include "game/rules/Tile.h"
#include "game/rules/TileManager.h"
#include "testsupport/ThreadClock.h"
#include "testsupport/rules/StandardSuits.h"

namespace {

// A stepped pyramid of 12 x 8, 8 x 4, 4 x 3 and 2 x 2 tiles: 144.
RefHolder<Layout> pyramidLayout() {
    RefHolder<PropertyNode> node(new PropertyNode("layout", "Layout"));
    RefHolder<PropertyVector> tiles(new PropertyVector("tiles"));
    auto add = [&](int x, int y, int z) {
        RefHolder<PropertyNode> tile(new PropertyNode("", "Tile"));
        tile->addChild(new PropertyValue("x", x, true));
        tile->addChild(new PropertyValue("y", y, true));
        tile->addChild(new PropertyValue("z", z, true));
        tiles->addChild(tile.get());
    };
    const int rows[] = {8, 4, 3, 2};
    const int columns[] = {12, 8, 4, 2};
    const int left[] = {4, 8, 12, 15};
    const int top[] = {2, 6, 7, 8};
    for (int z = 0; z < 4; ++z) {
        for (int row = 0; row < rows[z]; ++row) {
            for (int column = 0; column < columns[z]; ++column) {
                add(left[z] + 2 * column, top[z] + 2 * row, z);
            }
        }
    }
    node->addChild(tiles.get());
    return RefHolder<Layout>(new Layout(node.get(), Game::TYPE_CLASSIC, -1));
}

// 470 tiles, every one free: five layers of 10 x 10 tiles with a gap between columns, each layer
// shifted by a tile against the one below so that none covers another (the last holds 70). Not
// a multiple of three, so no attempt succeeds, and the match search sees all 470 at once.
RefHolder<Layout> hostileTripleLayout() {
    RefHolder<PropertyNode> node(new PropertyNode("layout", "Layout"));
    RefHolder<PropertyVector> tiles(new PropertyVector("tiles"));
    for (int index = 0; index < 470; ++index) {
        const int z = index / 100;
        RefHolder<PropertyNode> tile(new PropertyNode("", "Tile"));
        tile->addChild(new PropertyValue("x", 4 * (index % 10) + 2 * (z % 2), true));
        tile->addChild(new PropertyValue("y", 2 * (index / 10 % 10), true));
        tile->addChild(new PropertyValue("z", z, true));
        tiles->addChild(tile.get());
    }
    node->addChild(tiles.get());
    return RefHolder<Layout>(new Layout(node.get(), Game::TYPE_TRIPLE, -1));
}

double percentile(std::vector<double> values, double share) {
    std::sort(values.begin(), values.end());
    const size_t index = std::min(values.size() - 1, static_cast<size_t>(share * values.size()));
    return values[index];
}

void BM_BuildClassic144(benchmark::State& state) {
    const game_test::ScopedSuits suits;
    RefHolder<PropertyNode> levelNode(new PropertyNode("level", "Level"));
    const std::pair<const char*, const char*> values[] = {{"gameType", "Classic"},
                                                          {"pointsPerMatch", "10"},
                                                          {"tileDistMin", "2"},
                                                          {"tileDistMax", "9"},
                                                          {"isSaveGame", ""}};
    for (const auto& [key, text] : values) {
        levelNode->addChild(new PropertyValue(key, text, true));
    }
    RefHolder<BaseObject> made(
        ObjectFactoryContainer::instance()->create("Level", levelNode.get()));
    RefHolder<Level> level(objectCast<Level>(made.get()));
    RefHolder<Layout> layout = pyramidLayout();
    level->setLayoutObject(layout.get());
    Random::createInstance(1);
    Game* game = Game::create(Game::TYPE_CLASSIC);
    game->setLevel(level.get());
    Layout* board = game->getLayout();
    std::vector<RefHolder<Tile>> tiles;
    board->getAllTiles(tiles);

    const int seeds = static_cast<int>(state.range(0));
    std::vector<double> times;
    std::vector<double> attempts;
    int problems = 0;
    for (auto _ : state) {
        times.clear();
        attempts.clear();
        problems = 0;
        for (int seed = 1; seed <= seeds; ++seed) {
            state.PauseTiming();
            Random::createInstance(static_cast<uint32_t>(seed));
            std::vector<RefHolder<TileDef>> faces;
            TileManager::instance()->dealDefs(144, 2, 4, 5, faces);
            for (size_t i = 0; i < tiles.size() && i < faces.size(); ++i) {
                tiles[i]->setFace(faces[i]->getSuit(), faces[i]->getValue());
            }
            state.ResumeTiming();
            const double start = threadCpuMilliseconds();
            game->buildLevel(board);
            times.push_back(threadCpuMilliseconds() - start);
            attempts.push_back(game->getBuildStatistics().attempts);
            problems += game->getBuildStatistics().levelBuildProblem;
        }
    }
    state.counters["median_ms"] = percentile(times, 0.5);
    state.counters["p99_ms"] = percentile(times, 0.99);
    state.counters["max_ms"] = percentile(times, 1.0);
    state.counters["median_attempts"] = percentile(attempts, 0.5);
    state.counters["p99_attempts"] = percentile(attempts, 0.99);
    state.counters["problem_builds"] = problems;

    Game::releaseCurrent();
    Random::releaseInstance();
}
BENCHMARK(BM_BuildClassic144)->Arg(benchCount(1000))->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_BuildHostileTriple470(benchmark::State& state) {
    const game_test::ScopedSuits suits;
    RefHolder<PropertyNode> levelNode(new PropertyNode("level", "Level"));
    levelNode->addChild(new PropertyValue("gameType", "Triple", true));
    levelNode->addChild(new PropertyValue("tileDistMin", "2", true));
    levelNode->addChild(new PropertyValue("tileDistMax", "9", true));
    RefHolder<BaseObject> made(
        ObjectFactoryContainer::instance()->create("Level", levelNode.get()));
    RefHolder<Level> level(objectCast<Level>(made.get()));
    std::vector<double> times;
    for (auto _ : state) {
        for (int seed = 1; seed <= state.range(0); ++seed) {
            RefHolder<Layout> layout = hostileTripleLayout();
            level->setLayoutObject(layout.get());
            Random::createInstance(static_cast<uint32_t>(seed));
            Game* game = Game::create(Game::TYPE_TRIPLE);
            const auto start = std::chrono::steady_clock::now();
            game->setLevel(level.get());
            times.push_back(
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                    .count());
        }
    }
    state.counters["tiles"] = static_cast<double>(level->getLayoutObject()->getTileCount());
    state.counters["median_ms"] = percentile(times, 0.5);
    state.counters["max_ms"] = percentile(times, 1.0);
    state.counters["goal_max_ms"] = 500;

    Game::releaseCurrent();
    Random::releaseInstance();
}
BENCHMARK(BM_BuildHostileTriple470)
    ->Arg(benchCount(5))
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace
