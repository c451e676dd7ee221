#include "game/rules/GameRiver.h"

#include <algorithm>
#include <utility>

#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PropertyNode.h"
#include "framework/core/Random.h"
#include "game/rules/FaceGroups.h"
#include "game/rules/GameClassic.h"
#include "game/rules/Layout.h"
#include "game/rules/Tile.h"
#include "game/rules/TilePathFinder.h"

QUOVEL_DEFINE_TYPE(GameRiver, &Game::typeRecord)
QUOVEL_REGISTER_CLASS(GameRiver)

GameRiver::GameRiver(PropertyNode* saved) : Game(saved, TYPE_RIVER) {}

bool GameRiver::canMatch(Tile* a, Tile* b) {
    Layout* layout = getLayout();
    return layout != nullptr && GameClassic::sameFace(a, b) && a->getGridZ() == b->getGridZ() &&
           TilePathFinder::areConnected(*layout, *a, *b);
}

void GameRiver::dealTileDefs(FaceList& out) {
    // Faces pair by key alone: the path that canMatch also asks for depends on the board.
    dealShuffledGroups(out, 2, GameClassic::sameFace);
}

bool GameRiver::isRemovablePair(Layout* layout, Tile* a, Tile* b) {
    // A path can leave a tile through half a side, where the free-tile rule wants the whole side
    // empty: such a pair could not be clicked, so the build takes free tiles only.
    return a != b && layout->isTileFree(a) && layout->isTileFree(b) &&
           TilePathFinder::areConnected(*layout, *a, *b);
}

bool GameRiver::buildAttempt(Layout* layout, TileList& order) {
    order.clear();
    if (layout == nullptr) {
        return false;
    }
    Random& random = buildRandom();
    for (int32_t z = Layout::MAX_TILE_Z; z >= 0; --z) {
        TileList tiles;
        layout->getTilesOnLayer(z, tiles);
        while (!tiles.empty()) {
            const int32_t size = static_cast<int32_t>(tiles.size());
            std::pair<Tile*, Tile*> pair{nullptr, nullptr};
            for (int32_t draw = 0; draw < MAX_PAIR_DRAWS && pair.first == nullptr; ++draw) {
                Tile* a = tiles[random.nextInt(0, size)].get();
                Tile* b = tiles[random.nextInt(0, size)].get();
                if (isRemovablePair(layout, a, b)) {
                    pair = {a, b};
                }
            }
            if (pair.first == nullptr) {
                // The draws found none: look at every pair, and fail when none is joined.
                std::vector<std::pair<Tile*, Tile*>> joined;
                for (int32_t i = 0; i < size; ++i) {
                    for (int32_t j = i + 1; j < size; ++j) {
                        if (isRemovablePair(layout, tiles[i].get(), tiles[j].get())) {
                            joined.emplace_back(tiles[i].get(), tiles[j].get());
                        }
                    }
                }
                if (joined.empty()) {
                    return false;
                }
                pair = joined[random.nextInt(0, static_cast<int32_t>(joined.size()))];
            }
            takeGroup(layout, {pair.first, pair.second}, tiles, order);
        }
    }
    return true;
}

void GameRiver::save(PropertyNode* node) {
    Game::save(node);
    if (node != nullptr) {
        node->setTypeWord("GameRiver");
    }
}

void GameRiver::onTileClicked(int32_t x, int32_t y) {
    Game::onTileClicked(x, y);
    Tile* clicked = getClickedTile();
    const TileList& selection = getSelection();
    if (selection.empty() || clicked == nullptr) {
        return;
    }
    Tile* first = selection.front().get();
    if (clicked != first && clicked->getGridZ() != first->getGridZ() &&
        clicked->getMatchKey() == first->getMatchKey()) {
        ++attemptCounter;
    }
}
