#pragma once

#include <string>
#include <utility>

#include "framework/core/PropertyNode.h"
#include "framework/core/PropertyValue.h"
#include "framework/platform/ResourceManager.h"
#include "framework/scene/SceneManager.h"
#include "game/rules/Game.h"
#include "game/rules/Level.h"

// A 144-tile Classic level, entered as a hallway door enters its own: the benches that drive
// the real program into a level use it.
inline void enterBenchLevel() {
    RefHolder<PropertyNode> definition(new PropertyNode("level", "Level"));
    for (const auto& [key, value] : {std::pair{"gameType", "Classic"},
                                     {"layout", "cathedral.xml"},
                                     {"gameMode", "0"},
                                     {"pointsPerMatch", "100"},
                                     {"playTime", "2600"},
                                     {"timeBonus", "1500"},
                                     {"bonusAt", "1400"},
                                     {"bonusSpeed", "15"},
                                     {"multiplierTime", "6000"}}) {
        definition->addChild(new PropertyValue(key, std::string(value), true));
    }
    RefHolder<Level> level(new Level(definition.get()));
    if (!Game::createForLevel(level->getGameType(), level.get())) {
        return;
    }
    SceneManager::getInstance()->goToScene("SCENE_GAME", "TRANSITION_DEFAULT");
}
