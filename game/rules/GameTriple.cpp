#include "game/rules/GameTriple.h"

#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PropertyNode.h"
#include "game/rules/FaceGroups.h"
#include "game/rules/GameClassic.h"
#include "game/rules/Layout.h"
#include "game/rules/Tile.h"

QUOVEL_DEFINE_TYPE(GameTriple, &Game::typeRecord)
QUOVEL_REGISTER_CLASS(GameTriple)

GameTriple::GameTriple(PropertyNode* saved) : Game(saved, TYPE_TRIPLE) {}

bool GameTriple::isTriple(Tile* a, Tile* b, Tile* c) {
    return GameClassic::sameFace(a, b) && GameClassic::sameFace(a, c) && b != c;
}

bool GameTriple::canMatch(Tile* a, Tile* b) {
    return GameClassic::sameFace(a, b);
}

bool GameTriple::completesSelection() {
    const TileList& selection = getSelection();
    Tile* clicked = getClickedTile();
    if (selection.size() == 3) {
        return isTileSelected(clicked);
    }
    if (selection.size() == 2) {
        return isTriple(clicked, selection[0].get(), selection[1].get());
    }
    return false;
}

void GameTriple::dealTileDefs(FaceList& out) {
    dealShuffledGroups(out, 3, GameClassic::sameFace);
}

bool GameTriple::buildAttempt(Layout* layout, TileList& order) {
    order.clear();
    if (layout == nullptr) {
        return false;
    }
    TileList candidates;
    layout->getAllTiles(candidates);
    return removeFreeGroups(layout, candidates, 3, order);
}

void GameTriple::save(PropertyNode* node) {
    Game::save(node);
    if (node != nullptr) {
        node->setTypeWord("GameTriple");
    }
}
