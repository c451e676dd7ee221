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
    if (layout == nullptr) {
        layout = getLayout();
    }
    if (layout == nullptr) {
        return;
    }
    TileList freeTiles;
    layout->getFreeTiles(freeTiles);
    for (const RefHolder<Tile>& a : freeTiles) {
        for (const RefHolder<Tile>& b : freeTiles) {
            for (const RefHolder<Tile>& c : freeTiles) {
                if (isTriple(a.get(), b.get(), c.get()) && !containsTile(out, a.get()) &&
                    !containsTile(out, b.get()) && !containsTile(out, c.get())) {
                    out.push_back(a);
                    out.push_back(b);
                    out.push_back(c);
                }
            }
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
    while (!candidates.empty()) {
        Tile* first = drawFreeTile(layout, candidates);
        if (first == nullptr) {
            return false;
        }
        sortByDistanceFrom(first, candidates);
        const int32_t threshold = drawDistanceThreshold();
        Tile* second = pickPartner(layout, candidates, threshold, nullptr);
        if (second == nullptr || second == first) {
            return false;
        }
        Tile* third = pickPartner(layout, candidates, threshold, second);
        if (third == nullptr || third == first) {
            return false;
        }
        takeGroup(layout, {first, second, third}, candidates, order);
    }
    return true;
}

void GameTriple::save(PropertyNode* node) {
    Game::save(node);
    if (node != nullptr) {
        node->setTypeWord("GameTriple");
    }
}
