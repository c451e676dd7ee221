#pragma once

// Set-up of the fuzz targets that read the game's own files: the tile suits, the random
// generator and a game screen without pictures, made once for the run.

#include <string>

#include "FuzzSupport.h"
#include "framework/core/PropertyNode.h"
#include "framework/core/PropertyValue.h"
#include "framework/core/Random.h"
#include "game/rules/HeadlessGameScreen.h"
#include "game/rules/IGameScreen.h"
#include "game/rules/TileManager.h"

namespace fuzz {

inline void gameReady() {
    static const bool ready = [] {
        files();
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
        Random::createInstance(1);
        static HeadlessGameScreen* const screen = new HeadlessGameScreen();
        setGameScreen(screen);
        return true;
    }();
    (void)ready;
}

}  // namespace fuzz
