#include "game/rules/GameSplit.h"

#include <algorithm>
#include <map>
#include <set>

#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PropertyNode.h"
#include "framework/core/PropertyVector.h"
#include "framework/core/Random.h"
#include "game/rules/FaceGroups.h"
#include "game/rules/GameClassic.h"
#include "game/rules/IGameScreen.h"
#include "game/rules/Layout.h"
#include "game/rules/Level.h"
#include "game/rules/SideBoard.h"
#include "game/rules/Tile.h"

QUOVEL_DEFINE_TYPE(GameSplit, &Game::typeRecord)
QUOVEL_REGISTER_CLASS(GameSplit)

namespace {

constexpr const char* ORDER_KEY = "sb_order";
constexpr const char* ORDER_UNDO_KEY = "sb_order_undo";
// The queue as the level began; games kept before it was saved lack it.
constexpr const char* START_ORDER_KEY = "sb_order_start";

// Moves up to `wanted` tiles from the end of the pool to `chosen`; returns how many were missing.
int32_t takeFromPool(Game::TileList& pool, int32_t wanted, Game::TileList& chosen) {
    while (wanted > 0 && !pool.empty()) {
        chosen.push_back(std::move(pool.back()));
        pool.pop_back();
        --wanted;
    }
    return std::max(wanted, 0);
}

// The tiles of `from` that pass `keep`, shuffled; the last one, or null when none passes.
// Plain pointers are shuffled: the same draws, without counting references at every swap.
template <class Keep>
Tile* lastShuffled(const Game::TileList& from, Keep keep) {
    std::vector<Tile*> picked;
    for (const RefHolder<Tile>& tile : from) {
        if (keep(tile)) {
            picked.push_back(tile.get());
        }
    }
    shuffleList(picked.begin(), picked.end());
    return picked.empty() ? nullptr : picked.back();
}

void readTiles(PropertyNode* saved, const char* key, Game::TileList& out) {
    AbstractProperty* list = saved->getChild(key);
    if (list == nullptr || !list->isVector()) {
        return;
    }
    PropertyVector* vector = vectorOrDummy(list);
    for (int32_t i = 0; i < vector->getChildCount(); ++i) {
        RefHolder<BaseObject> made(
            ObjectFactoryContainer::instance()->createObject(vector->getChildAt(i)));
        if (Tile* tile = objectCast<Tile>(made.get())) {
            out.emplace_back(tile);
        }
    }
}

void writeTiles(PropertyNode* node, const char* key, const Game::TileList& tiles) {
    auto* vector = new PropertyVector(key);
    node->addChild(vector);
    for (const RefHolder<Tile>& tile : tiles) {
        auto* child = new PropertyNode("", "Tile");
        vector->addChild(child);
        tile->save(child);
    }
}

}  // namespace

GameSplit::GameSplit(PropertyNode* saved) : GameSplit(saved, TYPE_SPLIT) {}

GameSplit::GameSplit(PropertyNode* saved, GameType gameType) : Game(saved, gameType) {
    if (saved == nullptr || saved == DUMMY_NODE) {
        return;
    }
    loadSideBoardOrder(saved);
    if (gameType == TYPE_SPEED) {
        return;  // no queue: each tile shown is a copy of a free one
    }
    if (!coversLevelStart(initialOrder)) {
        rebuildInitialOrder();
    }
    // A shuffle leaves in the queue only the tiles left at it, in a new order.
    if (!coversLevelStart(initialOrder)) {
        queueFromLevelStart();
    }
}

GameSplit::Hands GameSplit::computeHands(int32_t slots, int32_t h1, int32_t h2, int32_t h3) {
    Hands hands;
    const int64_t s = std::max(slots, 0);
    const int64_t w1 = std::max(h1, 0);
    const int64_t w2 = std::max(h2, 0);
    const int64_t w3 = std::max(h3, 0);
    const int64_t sum = w1 + w2 + w3;
    if (sum == 0) {
        hands.first = 1;
        hands.second = 0;
    } else {
        hands.first = static_cast<int32_t>(std::max<int64_t>(w1 * s / sum, 1));
        hands.second = static_cast<int32_t>(w2 * s / sum);
    }
    hands.third = static_cast<int32_t>(std::max<int64_t>(s - hands.first - hands.second, 0));
    return hands;
}

int32_t GameSplit::slotCount(Layout* layout) {
    SideBoard* sideBoard = layout != nullptr ? layout->getSideBoard() : nullptr;
    return sideBoard != nullptr ? std::max(sideBoard->getCapacity(), 0) : 0;
}

bool GameSplit::canMatch(Tile* a, Tile* b) {
    return GameClassic::sameFace(a, b) && a->isOnSideBoard() != b->isOnSideBoard();
}

void GameSplit::findMatches(TileList& out, Layout* layout) {
    if (layout == nullptr) {
        layout = getLayout();
    }
    if (layout == nullptr || layout->getSideBoard() == nullptr) {
        return;
    }
    TileList rack;
    layout->getSideBoard()->getTiles(rack);
    if (rack.empty()) {
        return;  // so while a level is built, before the side board is filled
    }
    TileList freeTiles;
    layout->getFreeTiles(freeTiles);
    for (const RefHolder<Tile>& f : freeTiles) {
        for (const RefHolder<Tile>& s : rack) {
            if (canMatch(f.get(), s.get())) {
                out.push_back(f);
                out.push_back(s);
            }
        }
    }
}

void GameSplit::dealTileDefs(FaceList& out) {
    Layout* layout = getLayout();
    if (layout == nullptr) {
        return;
    }
    std::vector<Tile*> tiles;
    tiles.reserve(static_cast<size_t>(std::max(layout->getTileCount(), 0)));
    layout->forEachTile([&tiles](Tile* tile) { tiles.push_back(tile); });
    shuffleList(tiles.begin(), tiles.end());
    out.reserve(out.size() + tiles.size());
    for (const Tile* tile : tiles) {
        out.push_back(faces.of(tile->getSuit(), tile->getValue()));
    }
}

bool GameSplit::buildAttempt(Layout* layout, TileList& order) {
    order.clear();
    const int32_t slots = slotCount(layout);
    if (slots <= 0) {
        return false;
    }
    Level* level = getLevel();
    const Hands hands = level == nullptr ? computeHands(slots, 0, 0, 0)
                                         : computeHands(slots, level->getFirstHand().getInt(),
                                                        level->getSecondHand().getInt(),
                                                        level->getThirdHand().getInt());

    TileList all;
    layout->getAllTiles(all);
    TileList pool1;
    layout->getFreeTiles(pool1);
    TileList pool2;
    layout->getTilesFreeAfterOneRemoval(pool2);
    TileList pool3;
    std::copy_if(all.begin(), all.end(), std::back_inserter(pool3), [&](const RefHolder<Tile>& t) {
        return !containsTile(pool1, t.get()) && !containsTile(pool2, t.get());
    });
    shuffleList(pool1.begin(), pool1.end());
    shuffleList(pool2.begin(), pool2.end());
    shuffleList(pool3.begin(), pool3.end());
    TileList chosen;
    int32_t shortfall = takeFromPool(pool1, hands.first, chosen);
    shortfall = takeFromPool(pool2, hands.second + shortfall, chosen);
    takeFromPool(pool3, hands.third + shortfall, chosen);
    TileList board;
    std::copy_if(all.begin(), all.end(), std::back_inserter(board),
                 [&](const RefHolder<Tile>& t) { return !containsTile(chosen, t.get()); });

    while (layout->getTileCount() > 0) {
        shuffleList(chosen.begin(), chosen.end());
        auto next = std::find_if(chosen.begin(), chosen.end(), [layout](const RefHolder<Tile>& t) {
            return layout->isTileFree(t.get());
        });
        if (next == chosen.end()) {
            return false;
        }
        RefHolder<Tile> taken = *next;
        chosen.erase(next);
        order.push_back(taken);
        layout->removeTile(taken.get());
        if (layout->getTileCount() <= static_cast<int32_t>(chosen.size())) {
            continue;
        }

        // Top the chosen set up from the board, keeping the hands' shares of free tiles.
        const auto isFree = [layout](const RefHolder<Tile>& t) {
            return layout->isTileFree(t.get());
        };
        const auto freedByOne = [layout](const RefHolder<Tile>& t) {
            return layout->isFreeAfterOneRemoval(t.get());
        };
        const int32_t freeChosen =
            static_cast<int32_t>(std::count_if(chosen.begin(), chosen.end(), isFree));
        Tile* moved = nullptr;
        bool fromRest = false;
        bool noFreeOnBoard = false;
        if (freeChosen < hands.first) {
            moved = lastShuffled(board, isFree);
            noFreeOnBoard = moved == nullptr;
        }
        // Counted only when asked: the one-removal test is the costliest of the build.
        if (moved == nullptr &&
            std::count_if(chosen.begin(), chosen.end(), freedByOne) + noFreeOnBoard <
                hands.second) {
            moved = lastShuffled(board, freedByOne);
        }
        if (moved == nullptr) {
            fromRest = true;
            moved = lastShuffled(
                board, [&](const RefHolder<Tile>& t) { return !isFree(t) && !freedByOne(t); });
        }
        if (moved != nullptr) {
            chosen.emplace_back(moved);
            eraseTile(board, moved);
        }
        if (fromRest &&
            static_cast<int32_t>(chosen.size() + board.size()) != layout->getTileCount()) {
            return false;
        }
    }
    return true;
}

void GameSplit::dealSideBoard(Layout* board, const TileList& order, bool keep) {
    // The queue hands out its last entry first: the first tile of the order comes out first.
    TileList queue(order.rbegin(), order.rend());
    TileList handedOut;
    if (SideBoard* rack = board->getSideBoard()) {
        rack->clearAll();
        for (int32_t i = 0; i < rack->getCapacity() && !queue.empty(); ++i) {
            int32_t column = -1;
            int32_t row = -1;
            rack->findFreeSlot(column, row);
            RefHolder<Tile> copy(copyFace(queue.back().get()));
            rack->placeTile(copy.get(), column, row);
            handedOut.push_back(std::move(queue.back()));
            queue.pop_back();
        }
    }
    if (keep) {
        sideBoardOrder = std::move(queue);
        sideBoardOrderUndo = std::move(handedOut);
    }
}

Tile* GameSplit::copyFace(const Tile* source) {
    Tile* tile = new Tile(DUMMY_NODE);
    int32_t value = source->getValue();
    if (source->getSuit() == 5 || source->getSuit() == 6) {
        value = buildRandom().nextInt(0, 4);
    }
    tile->setFace(source->getSuit(), value);
    return tile;
}

Tile* GameSplit::nextTile() {
    if (sideBoardOrder.empty()) {
        return nullptr;
    }
    RefHolder<Tile> source = std::move(sideBoardOrder.back());
    sideBoardOrder.pop_back();
    sideBoardOrderUndo.push_back(source);
    return copyFace(source.get());
}

void GameSplit::restoreSideBoardTile(Layout* layout, Tile* tile) {
    SideBoard* sideBoard = layout != nullptr ? layout->getSideBoard() : nullptr;
    if (sideBoard == nullptr || tile == nullptr) {
        return;
    }
    const int32_t column = tile->getGridX();
    const int32_t row = tile->getGridY();
    RefHolder<Tile> keep(tile);
    // The slot holds a tile only when the refill after the removal found one in the queue; a
    // removal whose refill found the queue empty took nothing that could go back.
    Tile* refill = sideBoard->getTileAt(column, row);
    const bool refilled = refill != nullptr && refill != tile;
    sideBoard->removeTile(column, row);
    sideBoard->placeTile(tile, column, row);
    if (refilled && !sideBoardOrderUndo.empty()) {
        sideBoardOrder.push_back(std::move(sideBoardOrderUndo.back()));
        sideBoardOrderUndo.pop_back();
    }
}

void GameSplit::setLevel(Level* level) {
    sideBoardOrder.clear();
    sideBoardOrderUndo.clear();
    initialOrder.clear();
    Game::setLevel(level);
    initialOrder = sideBoardOrder;
}

void GameSplit::restartLevel() {
    Game::restartLevel();
    sideBoardOrder.clear();
    sideBoardOrderUndo.clear();
    Layout* layout = getLayout();
    if (layout == nullptr) {
        return;
    }
    for (const RefHolder<Tile>& tile : initialOrder) {
        Tile* now = layout->getCell(tile->getGridX(), tile->getGridY(), tile->getGridZ());
        if (now != nullptr) {
            sideBoardOrder.emplace_back(now);
        }
    }
}

void GameSplit::rebuildInitialOrder() {
    initialOrder = sideBoardOrder;
    Layout* copy = getLayoutCopy();
    const size_t dealt = copy != nullptr && copy->getSideBoard() != nullptr
                             ? static_cast<size_t>(copy->getSideBoard()->getTileCount())
                             : 0;
    for (size_t i = sideBoardOrderUndo.size(); i > dealt; --i) {
        initialOrder.push_back(sideBoardOrderUndo[i - 1]);
    }
}

bool GameSplit::coversLevelStart(const TileList& order) const {
    Layout* start = getLayoutCopy();
    SideBoard* rack = start != nullptr ? start->getSideBoard() : nullptr;
    if (rack == nullptr) {
        return order.empty();
    }
    // Per key, the board's tiles less the side board's copies and the queue's tiles.
    std::map<int32_t, int32_t> left;
    start->forEachTile([&left](Tile* tile) { ++left[tile->getMatchKey()]; });
    TileList dealt;
    rack->getTiles(dealt);
    for (const RefHolder<Tile>& tile : dealt) {
        --left[tile->getMatchKey()];
    }
    std::set<Tile*> seen;
    for (const RefHolder<Tile>& tile : order) {
        Tile* at = start->getCell(tile->getGridX(), tile->getGridY(), tile->getGridZ());
        if (at == nullptr || at->getGridX() != tile->getGridX() ||
            at->getGridY() != tile->getGridY() || !seen.insert(at).second ||
            at->getMatchKey() != tile->getMatchKey()) {
            return false;
        }
        --left[at->getMatchKey()];
    }
    return std::all_of(left.begin(), left.end(), [](const auto& key) { return key.second == 0; });
}

void GameSplit::queueFromLevelStart() {
    initialOrder.clear();
    Layout* start = getLayoutCopy();
    if (start == nullptr || start->getSideBoard() == nullptr) {
        return;
    }
    RefHolder<Layout> board(new Layout(*start));
    std::map<int32_t, int32_t> shown;  // copies per key on the side board
    TileList dealt;
    board->getSideBoard()->getTiles(dealt);
    for (const RefHolder<Tile>& tile : dealt) {
        ++shown[tile->getMatchKey()];
    }
    // The tiles whose copies are still to come: the board less one tile per shown copy.
    TileList waiting;
    std::map<int32_t, int32_t> covered = shown;
    board->forEachTile([&](Tile* tile) {
        if (covered[tile->getMatchKey()]-- <= 0) {
            waiting.emplace_back(tile);
        }
    });
    // Per key the board holds as many tiles as there are copies shown and waiting: a free tile
    // without a shown copy always has one waiting. Taking a free tile with a shown copy and
    // queueing next a copy for a free tile that shows none, the side board offers a match at
    // every step until the board is empty.
    TileList sequence;
    TileList freeTiles;
    while (board->getTileCount() > 0) {
        freeTiles.clear();
        board->getFreeTiles(freeTiles);
        auto taken =
            std::find_if(freeTiles.begin(), freeTiles.end(),
                         [&](const RefHolder<Tile>& t) { return shown[t->getMatchKey()] > 0; });
        if (taken == freeTiles.end()) {
            break;  // the level began without a match: any order serves
        }
        --shown[(*taken)->getMatchKey()];
        board->removeTile(taken->get());
        freeTiles.clear();
        board->getFreeTiles(freeTiles);
        auto wanted =
            std::find_if(freeTiles.begin(), freeTiles.end(),
                         [&](const RefHolder<Tile>& t) { return shown[t->getMatchKey()] == 0; });
        const int32_t key = wanted != freeTiles.end() ? (*wanted)->getMatchKey()
                            : waiting.empty()         ? -1
                                                      : waiting.front()->getMatchKey();
        auto next = std::find_if(waiting.begin(), waiting.end(), [key](const RefHolder<Tile>& t) {
            return t->getMatchKey() == key;
        });
        if (next != waiting.end()) {
            ++shown[key];
            sequence.push_back(std::move(*next));
            waiting.erase(next);
        }
    }
    sequence.insert(sequence.end(), waiting.begin(), waiting.end());
    initialOrder.assign(sequence.rbegin(), sequence.rend());
}

void GameSplit::loadSideBoardOrder(PropertyNode* saved) {
    sideBoardOrder.clear();
    sideBoardOrderUndo.clear();
    initialOrder.clear();
    readTiles(saved, ORDER_KEY, sideBoardOrder);
    readTiles(saved, ORDER_UNDO_KEY, sideBoardOrderUndo);
    readTiles(saved, START_ORDER_KEY, initialOrder);
}

void GameSplit::save(PropertyNode* node) {
    Game::save(node);
    if (node == nullptr) {
        return;
    }
    node->setTypeWord("GameSplit");
    writeTiles(node, ORDER_KEY, sideBoardOrder);
    writeTiles(node, ORDER_UNDO_KEY, sideBoardOrderUndo);
    writeTiles(node, START_ORDER_KEY, initialOrder);
}

bool GameSplit::completesSelection() {
    Layout* layout = getLayout();
    if (layout == nullptr || layout->getSideBoard() == nullptr) {
        return false;
    }
    TileList rack;
    layout->getSideBoard()->getTiles(rack);
    Tile* clicked = getClickedTile();
    return std::any_of(rack.begin(), rack.end(),
                       [&](const RefHolder<Tile>& s) { return canMatch(clicked, s.get()); });
}

void GameSplit::onTileClicked(int32_t x, int32_t y) {
    Game::onTileClicked(x, y);
    Tile* hit = getClickedTile();
    if (getClickOutcome() == CLICK_SELECT) {
        setClickOutcome(CLICK_NO_TILE);
        if (hit != nullptr && !hit->isOnSideBoard()) {
            getGameScreen().addBlockedPulse(hit);
        }
    }
    if (hit != nullptr && hit->isOnSideBoard()) {
        if (isSuperHintTile(hit)) {
            setClickOutcome(CLICK_MATCH);
        } else if (Layout* layout = getLayout(); layout != nullptr && layout->getSideBoard()) {
            layout->getSideBoard()->addBlockedPulse(hit);
        }
    }
    const TileList& selection = getSelection();
    if (selection.empty() || hit == nullptr) {
        return;
    }
    Tile* first = selection.front().get();
    if (hit == first || hit->getMatchKey() != first->getMatchKey()) {
        return;
    }
    if (!hit->isOnSideBoard() && !first->isOnSideBoard()) {
        ++boardAttempts;
    } else if (hit->isOnSideBoard() && first->isOnSideBoard()) {
        ++sideBoardAttempts;
    }
}

void GameSplit::resetHintCounters() {
    sideBoardAttempts = 0;
    boardAttempts = 0;
}
