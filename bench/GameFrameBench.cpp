// One frame of the game screen: the game scene over a 144-tile Classic board with its HUD and a
// tile pulsing under a hint mark, stepped (scene, animations) and drawn into an 800 x 600 frame,
// timed against a memcpy of the frame in the same loop, with the frame's own processor time
// ("frame_cpu_us"). A frame should cost under 2 ms. Beside it, the move pass alone over the
// same scene.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <functional>

#include "BenchSize.h"
#include "FrameRatio.h"
#include "framework/core/BasicProperties.h"
#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PropertyNode.h"
#include "framework/core/PropertyValue.h"
#include "framework/core/Random.h"
#include "framework/gui/GuiDefinitions.h"
#include "framework/platform/FileArchive.h"
#include "framework/platform/Graphics.h"
#include "framework/platform/ImageManager.h"
#include "framework/platform/ResourceManager.h"
#include "game/app/GuiDefinitionsLoad.h"
#include "game/rules/Game.h"
#include "game/rules/Layout.h"
#include "game/rules/Level.h"
#include "game/rules/TileManager.h"
#include "game/screen/SceneGame.h"
#include "testsupport/TempFolder.h"

namespace {

// Builds the game scene over a 144-tile Classic board with a free tile pulsing under a hint
// mark, shows it, hands it to `run`, and takes everything down again.
void withGameScene(benchmark::State& state, const std::function<void(SceneGame&)>& run) {
    const std::filesystem::path folder = std::filesystem::path(QUOVEL_BINARY_DIR) / "game";
    if (!std::filesystem::exists(folder / "media/images/game/cap_0.png")) {
        state.SkipWithError("the game media is not built");
        return;
    }
    CurrentFolderScope inside(folder);
    FileArchive::close();
    const bool ownsImages = ImageManager::getInstance() == nullptr;
    ImageManager::createInstance(false);
    BasicProperties::createInstance();
    loadGuiDefinitions();
    ResourceManager* resources = ResourceManager::createInstance();
    resources->loadSectionList("media/properties/resources.xml");
    TileManager::createInstance();
    Random::createInstance(5);
    {
        RefHolder<PropertyNode> definition(new PropertyNode("level", "Level"));
        for (const auto& [key, value] : {std::pair{"gameType", "Classic"},
                                         {"layout", "cathedral.xml"},
                                         {"gameMode", "1"},
                                         {"pointsPerMatch", "100"},
                                         {"playTime", "2600"},
                                         {"bonusAt", "1400"},
                                         {"bonusSpeed", "15"},
                                         {"multiplierTime", "6000"}}) {
            definition->addChild(new PropertyValue(key, std::string(value), true));
        }
        RefHolder<Level> level(new Level(definition.get()));
        Game* game = Game::create(Game::TYPE_CLASSIC);
        game->setLevel(level.get());
        RefHolder<BaseObject> made = ObjectFactoryContainer::instance()->createObject(
            GuiDefinitions::instance()->findScene("SCENE_GAME"));
        RefHolder<SceneGame> scene(objectCast<SceneGame>(made.get()));
        scene->show();
        state.SetLabel(std::to_string(game->getLayout()->getTileCount()) + " tiles");
        // A free tile pulses under a hint mark the whole time: its area is repainted each frame.
        Game::TileList free;
        game->findMatches(free, nullptr);
        scene->getInput().markHintTile(free.empty() ? nullptr : free.front().get());
        run(*scene);
        scene->hide();
        scene = nullptr;
        Game::releaseCurrent();
    }
    TileManager::releaseInstance();
    GuiDefinitions::releaseInstance();
    ResourceManager::stopLoader();
    if (ownsImages) {
        ImageManager::destroyInstance();
    }
}

void BM_GameFrame(benchmark::State& state) {
    withGameScene(state, [&](SceneGame& scene) {
        RefHolder<Image> frame = Image::createImage(SCREEN_WIDTH, SCREEN_HEIGHT, 4);
        RefHolder<Graphics> graphics = frame->createGraphics();
        const auto step = [&] {
            scene.update(16);
            scene.getMoveTask()->update(16);
            static_cast<IRenderable*>(&scene)->render(graphics.get());
            scene.getRenderTask()->renderTree(graphics.get());
        };
        step();
        // The frame's own processor time, apart from the memcpy beside it.
        std::clock_t cpu = 0;
        bench::measureAgainstMemcpy(state, 4, [&] {
            const std::clock_t start = std::clock();
            step();
            cpu += std::clock() - start;
        });
        state.counters["frame_cpu_us"] =
            1e6 * static_cast<double>(cpu) / CLOCKS_PER_SEC /
            static_cast<double>(std::max<int64_t>(1, state.iterations()));
    });
}

// The move pass alone over the same scene with its clock running: the walk over the node tree
// that every frame of a still screen pays. Short steps give many iterations well inside the
// level's time.
void BM_GameMovePass(benchmark::State& state) {
    withGameScene(state, [&](SceneGame& scene) {
        int64_t nodes = 0;
        GameNode::walk(
            scene.getTree(), [](GameNode*, void* count) { ++*static_cast<int64_t*>(count); },
            &nodes);
        for (auto _ : state) {
            scene.getMoveTask()->update(2);
        }
        state.counters["nodes"] = static_cast<double>(nodes);
    });
}

BENCHMARK(BM_GameMovePass)
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(benchCount(100000))
    ->Repetitions(benchCount(5))
    ->DisplayAggregatesOnly(true);

BENCHMARK(BM_GameFrame)
    ->Unit(benchmark::kMicrosecond)
    ->UseManualTime()
    ->Repetitions(benchCount(9))
    ->DisplayAggregatesOnly(true);

}  // namespace
