#include "game/rules/GameClassic.h"

#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PropertyNode.h"
#include "game/rules/Layout.h"
#include "game/rules/Tile.h"

QUOVEL_DEFINE_TYPE(GameClassic, &Game::typeRecord)
QUOVEL_REGISTER_CLASS(GameClassic)

GameClassic::GameClassic(PropertyNode* saved) : Game(saved, TYPE_CLASSIC) {}

bool GameClassic::sameFace(Tile* a, Tile* b) {
    return a != nullptr && b != nullptr && a != b && a->getMatchKey() == b->getMatchKey();
}

bool GameClassic::canMatch(Tile* a, Tile* b) {
    return sameFace(a, b);
}

bool GameClassic::buildAttempt(Layout* layout, TileList& order) {
    if (layout == nullptr) {
        return false;
    }
    TileList candidates;
    layout->getAllTiles(candidates);
    return removeFreeGroups(layout, candidates, 2, order);
}

void GameClassic::save(PropertyNode* node) {
    Game::save(node);
    if (node != nullptr) {
        node->setTypeWord("GameClassic");
    }
}
