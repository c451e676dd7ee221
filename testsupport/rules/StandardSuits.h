#pragma once

// The game's tile suits for tests and tools that play without the game's files.

#include <string>

#include "framework/core/BasicProperties.h"
#include "framework/core/PropertyNode.h"
#include "framework/core/PropertyValue.h"
#include "framework/core/RefHolder.h"
#include "game/rules/TileManager.h"

namespace game_test {

// The game's suits: regular sizes 9, 9, 9, 4, 3, then two special suits of 4 that match as a
// whole; the tile manager is made from them.
class ScopedSuits {
public:
    ScopedSuits() {
        BasicProperties::createInstance();
        RefHolder<PropertyNode> defs(new PropertyNode("suitDefs", "Node"));
        const int sizes[] = {9, 9, 9, 4, 3, 4, 4};
        for (int i = 0; i < 7; ++i) {
            RefHolder<PropertyNode> suit(new PropertyNode("s" + std::to_string(i), "Suit"));
            suit->addChild(new PropertyValue("size", std::to_string(sizes[i]), true));
            suit->addChild(new PropertyValue("matchType", i >= 5 ? "suit" : "exact", true));
            defs->addChild(suit.get());
        }
        BasicProperties::instance()->setNode("suitDefs", defs.get());
        TileManager::createInstance();
    }
    ~ScopedSuits() {
        TileManager::releaseInstance();
        BasicProperties::releaseInstance();
    }
    ScopedSuits(const ScopedSuits&) = delete;
    ScopedSuits& operator=(const ScopedSuits&) = delete;
};

}  // namespace game_test
