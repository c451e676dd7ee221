#include "testsupport/content/ShippedBuilds.h"

#include <algorithm>
#include <chrono>
#include <map>
#include <tuple>

#include "framework/core/BasicProperties.h"
#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PropertyNode.h"
#include "framework/core/PropertyStore.h"
#include "framework/core/PropertyValue.h"
#include "framework/core/PropertyVector.h"
#include "framework/core/Random.h"
#include "game/rules/LevelCatalog.h"
#include "game/rules/SideBoard.h"
#include "game/rules/Tile.h"
#include "game/rules/TileManager.h"

namespace content_test {

namespace {

// Every value of a series has reached its cap by this step.
constexpr int32_t LATE_STEP = 40;
const char* const DIFFICULTY_WORDS[] = {"normal", "hard", "expert"};

// A layout of a series and a step at which it is played.
struct SeriesStep {
    std::string layout;
    int32_t step;
};

std::vector<std::string> names(PropertyVector* list, int32_t from) {
    std::vector<std::string> out;
    for (int32_t i = from; i < list->getChildCount(); ++i) {
        out.push_back(list->getChildAt(i)->getValue());
    }
    return out;
}

// The first and the last step at which each layout of the series can stand: the level draws its
// "easy" and "normal" picks at random, then cycles through its hard part.
std::vector<SeriesStep> seriesSteps(PropertyNode* series) {
    std::vector<SeriesStep> steps;
    if (AbstractProperty* list = series->getChild("layoutFileNames")) {
        const std::vector<std::string> all = names(vectorOrDummy(list), 0);
        const int32_t hardStart = series->getChildValue("hardStartIndex")->getInt();
        for (int32_t i = 0; i < static_cast<int32_t>(all.size()); ++i) {
            steps.push_back({all[i], i});
            if (i >= hardStart) {
                steps.push_back({all[i], LATE_STEP});
            }
        }
        return steps;
    }
    int32_t position = 0;
    for (const std::string& name : names(series->getChildVector("intro"), 0)) {
        steps.push_back({name, position++});
    }
    for (const char* group : {"easy", "normal"}) {
        PropertyVector* list = series->getChildVector(group);
        if (list->getChildCount() == 0) {
            continue;
        }
        const std::vector<std::string> pool = names(list, 1);
        const int32_t taken = std::clamp<int32_t>(list->getChildAt(0)->getInt(), 0,
                                                  static_cast<int32_t>(pool.size()));
        for (const std::string& name : pool) {
            if (taken > 0) {
                steps.push_back({name, position});
                steps.push_back({name, position + taken - 1});
            }
        }
        position += taken;
    }
    for (const std::string& name : names(series->getChildVector("hard"), 0)) {
        steps.push_back({name, position});
        steps.push_back({name, LATE_STEP});
    }
    return steps;
}

// The series level with only `layout` in its list, stepped on to `step`.
RefHolder<Level> levelAtStep(PropertyNode* series, const SeriesStep& at) {
    series->addChild(new PropertyValue("layout", at.layout, true));
    auto* list = new PropertyVector("layoutFileNames");
    series->addChild(list);
    list->addChild(new PropertyValue("", at.layout));
    series->addChild(new PropertyValue("hardStartIndex", 0, true));
    // The layout is loaded once, at the step.
    series->addChild(new PropertyValue("isSaveGame", "", true));
    RefHolder<BaseObject> made(ObjectFactoryContainer::instance()->createObject(series));
    RefHolder<Level> level(objectCast<Level>(made.get()));
    if (level) {
        for (int32_t i = 0; i < at.step; ++i) {
            level->nextLevel();
        }
        level->loadLayout();
    }
    return level;
}

// What the build depends on besides the seed.
using Signature =
    std::tuple<int32_t, std::string, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t>;

Signature signatureOf(const Level& level) {
    std::string layout = level.getLayout();
    const std::string folder = Level::LAYOUT_FOLDER;
    if (layout.rfind(folder, 0) == 0) {
        layout.erase(0, folder.size());
    }
    return {level.getGameType(),
            layout,
            level.getTileDistMin().getInt(),
            level.getTileDistMax().getInt(),
            level.getSideBoardIndex().getInt(),
            level.getFirstHand().getInt(),
            level.getSecondHand().getInt(),
            level.getThirdHand().getInt()};
}

}  // namespace

bool loadShippedSuits() {
    RefHolder<PropertyStore> store(new PropertyStore("media/properties/mahjong.xml"));
    if (!store->load()) {
        return false;
    }
    BasicProperties::createInstance();
    BasicProperties::instance()->setNode("suitDefs", store->getChildNode("suitDefs"));
    TileManager::createInstance();
    return TileManager::instance()->getSuitCount() > 0;
}

void releaseShippedSuits() {
    TileManager::releaseInstance();
    BasicProperties::releaseInstance();
}

std::vector<ShippedBuild> shippedBuilds(const LevelCatalog& catalog, int32_t gameType) {
    std::vector<ShippedBuild> builds;
    std::map<Signature, size_t> known;
    const std::string typeWord = Level::gameTypeWord(gameType);
    // Levels of other types are not made: making one loads its layout.
    const auto playedIn = [&typeWord](AbstractProperty* definition) {
        return nodeOrDummy(definition)->getChildValue("gameType")->getValue() == typeWord;
    };
    auto add = [&](const std::string& where, RefHolder<Level> level) {
        if (!level || level->getLayoutObject() == nullptr) {
            builds.push_back({where + " (no level or layout)", -1, nullptr, nullptr});
            return;
        }
        const Signature signature = signatureOf(*level);
        auto [it, fresh] = known.emplace(signature, builds.size());
        if (!fresh) {
            builds[it->second].where += "; " + where;
            return;
        }
        RefHolder<Layout> layout(level->getLayoutObject());
        builds.push_back({where, level->getGameType(), std::move(level), std::move(layout)});
    };

    PropertyVector* hallway = catalog.getHallway();
    for (int32_t floor = 1; floor <= hallway->getChildCount(); ++floor) {
        PropertyVector* doors = vectorOrDummy(hallway->getChildAt(floor - 1));
        for (int32_t room = 1; room <= doors->getChildCount(); ++room) {
            if (playedIn(doors->getChildAt(room - 1))) {
                add("floor " + std::to_string(floor) + " room " + std::to_string(room),
                    catalog.findLevel(floor, room));
            }
        }
    }
    PropertyVector* recroom = catalog.getRecroom();
    for (int32_t page = 0; page < recroom->getChildCount(); ++page) {
        PropertyVector* entries = vectorOrDummy(recroom->getChildAt(page));
        bool wanted = false;
        for (int32_t i = 0; i < entries->getChildCount(); ++i) {
            wanted = wanted || playedIn(entries->getChildAt(i));
        }
        if (!wanted) {
            continue;
        }
        std::vector<RefHolder<Level>> room;
        catalog.levelsOfRoom(room, page);
        for (RefHolder<Level>& level : room) {
            if (level->getGameType() == gameType) {
                const std::string where =
                    "rec room " + std::to_string(page) + "/" + std::to_string(level->getIndex());
                add(where, std::move(level));
            }
        }
    }
    std::vector<std::pair<std::string, PropertyNode*>> series;
    for (int32_t type = 0; type < LevelCatalog::CASINO_TYPE_COUNT; ++type) {
        PropertyNode* place = catalog.getCasino()->getChildNode(Level::gameTypeWord(type));
        for (const char* difficulty : DIFFICULTY_WORDS) {
            series.emplace_back(
                std::string("casino ") + Level::gameTypeWord(type) + " " + difficulty,
                nodeOrDummy(place)->getChildNode(difficulty));
        }
    }
    for (const char* difficulty : DIFFICULTY_WORDS) {
        series.emplace_back(
            std::string("roof Speed ") + difficulty,
            nodeOrDummy(catalog.getRoof()->getChildNode("Speed"))->getChildNode(difficulty));
    }
    for (const auto& [name, place] : series) {
        PropertyNode* definition = nodeOrDummy(nodeOrDummy(place)->getChildNode("level"));
        if (definition == DUMMY_NODE) {
            add(name, nullptr);
            continue;
        }
        if (!playedIn(definition)) {
            continue;
        }
        for (const SeriesStep& at : seriesSteps(definition)) {
            add(name + " step " + std::to_string(at.step) + " " + at.layout,
                levelAtStep(definition, at));
        }
    }
    return builds;
}

Game* startBuild(const ShippedBuild& build, uint32_t seed, double* buildMilliseconds) {
    Random::createInstance(seed);
    Game* game = Game::create(static_cast<GameType>(build.gameType));
    if (game == nullptr || !build.level) {
        return game;
    }
    RefHolder<Layout> board(new Layout(*build.layout));
    build.level->setLayoutObject(board.get());
    const auto start = std::chrono::steady_clock::now();
    game->setLevel(build.level.get());
    if (buildMilliseconds != nullptr) {
        *buildMilliseconds =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
    }
    return game;
}

void fingerprintBuild(uint64_t& hash, Game& game) {
    const auto mix = [&hash](int64_t value) {
        for (int byte = 0; byte < 8; ++byte) {
            hash = (hash ^ static_cast<uint8_t>(value >> (8 * byte))) * 0x100000001b3ULL;
        }
    };
    Layout* board = game.getLayout();
    if (board == nullptr) {
        return;
    }
    Game::TileList tiles;
    board->getAllTiles(tiles);
    if (SideBoard* side = board->getSideBoard()) {
        side->getTiles(tiles);
    }
    for (const RefHolder<Tile>& tile : tiles) {
        mix(tile->getGridX());
        mix(tile->getGridY());
        mix(tile->getGridZ());
        mix(tile->getSuit());
        mix(tile->getValue());
    }
    Game::TileList matches;
    game.findMatches(matches, nullptr);
    mix(static_cast<int64_t>(matches.size()));
    for (const RefHolder<Tile>& tile : matches) {
        mix(tile->getGridX() * 64 + tile->getGridY() * 8 + tile->getGridZ());
    }
}

}  // namespace content_test
