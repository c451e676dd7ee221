#include "game/rules/GameTriple.h"

#include <algorithm>

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

void GameTriple::findMatches(TileList& out, Layout* layout) {
    TileList freeTiles;
    if (freeTilesForMatches(layout, freeTiles) == nullptr) {
        return;
    }
    // The first two untaken tiles of a's key group (other than a) are the ones the ordered
    // search over every choice of three would meet first.
    const MatchKeyGroups groups(freeTiles);
    std::vector<char> taken = listedIn(freeTiles, out);
    for (size_t i = 0; i < freeTiles.size(); ++i) {
        if (taken[i]) {
            continue;
        }
        size_t partners[2];
        size_t found = 0;
        for (const size_t* j = groups.begin(i); j != groups.end(i) && found < 2; ++j) {
            if (*j != i && !taken[*j]) {
                partners[found++] = *j;
            }
        }
        if (found == 2) {
            out.push_back(freeTiles[i]);
            out.push_back(freeTiles[partners[0]]);
            out.push_back(freeTiles[partners[1]]);
            taken[i] = taken[partners[0]] = taken[partners[1]] = 1;
        }
    }
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
