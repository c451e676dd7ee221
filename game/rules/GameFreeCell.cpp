#include "game/rules/GameFreeCell.h"

#include <algorithm>

#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PropertyNode.h"
#include "framework/core/PropertyValue.h"
#include "framework/core/Random.h"
#include "game/rules/CommandMove.h"
#include "game/rules/FaceGroups.h"
#include "game/rules/GameClassic.h"
#include "game/rules/Layout.h"
#include "game/rules/SideBoard.h"
#include "game/rules/Tile.h"

QUOVEL_DEFINE_TYPE(GameFreeCell, &Game::typeRecord)
QUOVEL_REGISTER_CLASS(GameFreeCell)

namespace {

// Appends (a, b) when neither is listed yet.
void addPair(Game::TileList& out, Tile* a, Tile* b) {
    if (!containsTile(out, a) && !containsTile(out, b)) {
        out.emplace_back(a);
        out.emplace_back(b);
    }
}

// A cell is taken when a tile lies in it or is on its way there.
bool cellTaken(const Game& game, SideBoard* cells, int32_t column, int32_t row) {
    if (cells->getTileAt(column, row) != nullptr) {
        return true;
    }
    for (const RefHolder<Command>& command : game.getUndoHistory()) {
        const auto* move = objectCast<CommandMove>(command.get());
        if (move != nullptr && move->isInFlight() && move->getTargetColumn() == column &&
            move->getTargetRow() == row) {
            return true;
        }
    }
    return false;
}

}  // namespace

GameFreeCell::GameFreeCell(PropertyNode* saved) : Game(saved, TYPE_FREECELL) {
    if (saved != nullptr && saved->getChild("hintCounter") != nullptr) {
        hintCounter = saved->getChildValue("hintCounter")->getInt();
    }
}

bool GameFreeCell::canMatch(Tile* a, Tile* b) {
    return GameClassic::sameFace(a, b);
}

void GameFreeCell::findMatches(TileList& out, Layout* layout) {
    TileList freeTiles;
    layout = freeTilesForMatches(layout, freeTiles);
    if (layout == nullptr) {
        return;
    }
    TileList parked;
    if (SideBoard* cells = layout->getSideBoard()) {
        cells->getTiles(parked);
    }
    for (const RefHolder<Tile>& a : freeTiles) {
        for (const RefHolder<Tile>& b : freeTiles) {
            if (canMatch(a.get(), b.get())) {
                addPair(out, a.get(), b.get());
            }
        }
    }
    for (const RefHolder<Tile>& c : parked) {
        for (const RefHolder<Tile>& f : freeTiles) {
            if (canMatch(c.get(), f.get())) {
                addPair(out, c.get(), f.get());
            }
        }
    }
    for (const RefHolder<Tile>& a : parked) {
        for (const RefHolder<Tile>& b : parked) {
            if (canMatch(a.get(), b.get())) {
                addPair(out, a.get(), b.get());
            }
        }
    }
}

Game::TileList GameFreeCell::findParkedPartners(Layout* layout) {
    TileList partners;
    if (layout == nullptr || layout->getSideBoard() == nullptr) {
        return partners;
    }
    TileList parked;
    layout->getSideBoard()->getTiles(parked);
    TileList working;
    layout->getAllTiles(working);
    TileList waiting;  // parked tiles without a parked partner so far
    for (const RefHolder<Tile>& tile : parked) {
        auto mate = std::find_if(waiting.begin(), waiting.end(), [&](const RefHolder<Tile>& t) {
            return GameClassic::sameFace(tile.get(), t.get());
        });
        if (mate != waiting.end()) {
            waiting.erase(mate);
        } else {
            waiting.push_back(tile);
        }
    }
    for (const RefHolder<Tile>& tile : waiting) {
        // Partners come from the working list: two parked tiles of one key get two partners.
        auto partner = std::find_if(working.begin(), working.end(), [&](const RefHolder<Tile>& t) {
            return GameClassic::sameFace(tile.get(), t.get());
        });
        if (partner != working.end()) {
            partners.push_back(*partner);
            working.erase(partner);
        }
    }
    return partners;
}

void GameFreeCell::dealTileDefs(FaceList& out) {
    Layout* layout = getLayout();
    if (layout == nullptr) {
        return;
    }
    const TileList partners = findParkedPartners(layout);
    TileList working;
    layout->getAllTiles(working);
    for (const RefHolder<Tile>& partner : partners) {
        out.push_back(faceOf(partner.get()));
        eraseTile(working, partner.get());
    }
    shuffleList(working.begin(), working.end());
    dealFacesInGroups(
        working, 2, [this](Tile* a, Tile* b) { return canMatch(a, b); }, out);
}

bool GameFreeCell::buildAttempt(Layout* layout, TileList& order) {
    order.clear();
    if (layout == nullptr) {
        return false;
    }
    TileList candidates;
    layout->getAllTiles(candidates);
    // One board tile per parked tile that needs a partner; it must be free to be taken.
    const size_t singles = findParkedPartners(layout).size();
    while (order.size() < singles) {
        auto last = std::find_if(
            candidates.rbegin(), candidates.rend(),
            [layout](const RefHolder<Tile>& t) { return layout->isTileFree(t.get()); });
        if (last == candidates.rend()) {
            return false;
        }
        RefHolder<Tile> tile = *last;
        candidates.erase(std::next(last).base());
        order.push_back(tile);
        layout->removeTile(tile.get());
    }
    return removeFreeGroups(layout, candidates, 2, order);
}

void GameFreeCell::restoreSideBoardTile(Layout* layout, Tile* tile) {
    SideBoard* cells = layout != nullptr ? layout->getSideBoard() : nullptr;
    if (cells == nullptr || tile == nullptr) {
        return;
    }
    const int32_t column = tile->getGridX();
    const int32_t row = tile->getGridY();
    RefHolder<Tile> keep(tile);
    cells->removeTile(column, row);
    cells->placeTile(tile, column, row);
}

void GameFreeCell::save(PropertyNode* node) {
    Game::save(node);
    if (node != nullptr) {
        node->setTypeWord("GameFreeCell");
        node->addChild(new PropertyValue("hintCounter", hintCounter));
    }
}

void GameFreeCell::onTileClicked(int32_t x, int32_t y) {
    Game::onTileClicked(x, y);
    Layout* layout = getLayout();
    SideBoard* cells = layout != nullptr ? layout->getSideBoard() : nullptr;
    if (getSelection().size() != 1 || getClickOutcome() != CLICK_NO_TILE || cells == nullptr) {
        return;
    }
    int32_t column = x;
    int32_t row = y;
    // A taken cell is never a target: the move would drop the tile parked or arriving there.
    if (cells->pointToSlot(column, row) && !cellTaken(*this, cells, column, row)) {
        setClickOutcome(CLICK_MOVE);
        setMoveTarget(column, row);
    }
}

bool GameFreeCell::isStuck(int32_t matchCount) {
    Layout* layout = getLayout();
    if (matchCount > 0 || layout == nullptr || layout->getTileCount() == 0) {
        return false;
    }
    SideBoard* cells = layout->getSideBoard();
    if (cells == nullptr) {
        return true;
    }
    return cells->getTileCount() >= cells->getColumns() * cells->getRows();
}
