#include "game/rules/GameSpeed.h"

#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PropertyNode.h"
#include "framework/core/Random.h"
#include "game/rules/Layout.h"
#include "game/rules/SideBoard.h"
#include "game/rules/Tile.h"

QUOVEL_DEFINE_TYPE(GameSpeed, &GameSplit::typeRecord)
QUOVEL_REGISTER_CLASS(GameSpeed)

GameSpeed::GameSpeed(PropertyNode* saved) : GameSplit(saved, TYPE_SPEED) {}

Tile* GameSpeed::shownTile() const {
    Layout* layout = getLayout();
    SideBoard* sideBoard = layout != nullptr ? layout->getSideBoard() : nullptr;
    return sideBoard != nullptr ? sideBoard->getTileAt(0, 0) : nullptr;
}

bool GameSpeed::findHint(TileList& out) {
    Tile* shown = shownTile();
    if (shown == nullptr) {
        return false;
    }
    TileList freeTiles;
    getLayout()->getFreeTiles(freeTiles);
    for (const RefHolder<Tile>& tile : freeTiles) {
        if (canMatch(shown, tile.get())) {
            out.emplace_back(shown);
            out.push_back(tile);
            return true;
        }
    }
    return false;
}

void GameSpeed::findMatches(TileList& out, Layout* layout) {
    if (layout == nullptr) {
        layout = getLayout();
    }
    SideBoard* sideBoard = layout != nullptr ? layout->getSideBoard() : nullptr;
    Tile* shown = sideBoard != nullptr ? sideBoard->getTileAt(0, 0) : nullptr;
    if (shown == nullptr) {
        return;
    }
    TileList freeTiles;
    layout->getFreeTiles(freeTiles);
    for (const RefHolder<Tile>& tile : freeTiles) {
        if (canMatch(tile.get(), shown)) {
            out.emplace_back(shown);
            out.push_back(tile);
        }
    }
}

bool GameSpeed::buildAttempt(Layout* layout, TileList& order) {
    order.clear();
    if (slotCount(layout) <= 0) {
        return false;
    }
    layout->getAllTiles(order);
    for (const RefHolder<Tile>& tile : order) {
        layout->removeTile(tile.get());
    }
    return true;
}

Tile* GameSpeed::copyOfFreeTile(Layout* board) {
    if (board == nullptr) {
        return nullptr;
    }
    TileList freeTiles;
    board->getFreeTiles(freeTiles);
    if (freeTiles.empty()) {
        return nullptr;
    }
    shuffleList(freeTiles.begin(), freeTiles.end());
    return copyFace(freeTiles.back().get());
}

Tile* GameSpeed::nextTile() {
    return copyOfFreeTile(getLayout());
}

void GameSpeed::dealSideBoard(Layout* board, const TileList&, bool) {
    SideBoard* rack = board->getSideBoard();
    if (rack == nullptr) {
        return;
    }
    // The shown tile must be a face the dealt board offers, not one of the board it replaces.
    rack->clearAll();
    for (int32_t i = 0; i < rack->getCapacity(); ++i) {
        RefHolder<Tile> copy(copyOfFreeTile(board));
        if (!copy) {
            return;
        }
        int32_t column = -1;
        int32_t row = -1;
        rack->findFreeSlot(column, row);
        rack->placeTile(copy.get(), column, row);
    }
}

void GameSpeed::save(PropertyNode* node) {
    Game::save(node);
    if (node != nullptr) {
        node->setTypeWord("GameSpeed");
    }
}

bool GameSpeed::completesSelection() {
    return canMatch(getClickedTile(), shownTile());
}
