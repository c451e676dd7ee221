#pragma once

#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "framework/core/BasicProperties.h"
#include "framework/core/PropertyNode.h"
#include "framework/core/PropertyValue.h"
#include "framework/core/RefHolder.h"
#include "game/rules/ICurrentGame.h"
#include "game/rules/IGameScreen.h"
#include "game/rules/Tile.h"
#include "game/rules/TuningConstants.h"

// Shared helpers of the rules tests.
namespace rules_test {

// A tile node as layout files write it; a negative suit leaves "suit" out.
inline RefHolder<PropertyNode> tileNode(int x, int y, int z, int suit = -1, int value = 0,
                                        bool sideboard = false) {
    RefHolder<PropertyNode> node(new PropertyNode("", "Tile"));
    node->addChild(new PropertyValue("x", x, true));
    node->addChild(new PropertyValue("y", y, true));
    node->addChild(new PropertyValue("z", z, true));
    if (suit >= 0) {
        node->addChild(new PropertyValue("suit", suit, true));
        node->addChild(new PropertyValue("idx", value, true));
        node->addChild(PropertyValue::fromBool("sideboard", sideboard, true));
    }
    return node;
}

inline RefHolder<Tile> makeTile(int x, int y, int z, int suit = 0, int value = 0) {
    return RefHolder<Tile>(new Tile(tileNode(x, y, z, suit, value).get()));
}

// A running game for the hooks: a level type and a queue of tiles for the side board.
class FakeGame : public ICurrentGame {
public:
    explicit FakeGame(int32_t type) : type(type) { setCurrentGame(this); }
    ~FakeGame() override { setCurrentGame(nullptr); }
    FakeGame(const FakeGame&) = delete;
    FakeGame& operator=(const FakeGame&) = delete;

    GameType getLevelGameType() const override { return static_cast<GameType>(type); }
    Tile* nextTile() override {
        ++asked;
        if (queue.empty()) {
            return nullptr;
        }
        RefHolder<Tile> tile = queue.front();
        queue.pop_front();
        handedOut.push_back(tile);  // the game keeps what it dealt
        return tile.get();
    }

    int32_t type;
    std::deque<RefHolder<Tile>> queue;
    std::vector<RefHolder<Tile>> handedOut;
    int asked = 0;
};

// Installs a screen for the scope of a test.
class ScopedGameScreen {
public:
    explicit ScopedGameScreen(IGameScreen& screen) { setGameScreen(&screen); }
    ~ScopedGameScreen() { setGameScreen(nullptr); }
    ScopedGameScreen(const ScopedGameScreen&) = delete;
    ScopedGameScreen& operator=(const ScopedGameScreen&) = delete;
};

// Tuning constants for the scope of a test; all others read 0.
class ScopedTuning {
public:
    explicit ScopedTuning(std::vector<std::pair<std::string, int32_t>> values) {
        BasicProperties::createInstance();
        for (const auto& [name, value] : values) {
            BasicProperties::instance()->setInteger(name, value);
        }
        loadTuningConstants();
    }
    ~ScopedTuning() {
        BasicProperties::releaseInstance();
        loadTuningConstants();  // back to all 0
    }
    ScopedTuning(const ScopedTuning&) = delete;
    ScopedTuning& operator=(const ScopedTuning&) = delete;
};

}  // namespace rules_test
