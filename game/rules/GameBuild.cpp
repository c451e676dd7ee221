// Level building: faces are dealt, the mode's attempt finds an order in which the tiles can be
// taken off the board in free groups, and the faces are laid along that order so that every
// group matches. Playing the groups in order then empties the board.
#include <algorithm>
#include <chrono>
#include <cstdlib>

#include "framework/core/PropertyNode.h"
#include "framework/core/PropertyValue.h"
#include "framework/core/Random.h"
#include "game/rules/FaceGroups.h"
#include "game/rules/Game.h"
#include "game/rules/GameHooks.h"
#include "game/rules/Layout.h"
#include "game/rules/Level.h"
#include "game/rules/SideBoard.h"
#include "game/rules/Tile.h"
#include "game/rules/TileManager.h"

namespace {

constexpr int32_t NO_SUIT = Tile::NO_SUIT;

void giveFace(Tile* tile, int32_t suit, int32_t value) {
    tile->setFace(suit, value);
}

}  // namespace

Random& Game::buildRandom() {
    if (Random* program = Random::getInstance()) {
        return *program;
    }
    static Random fallback(0, 0);
    return fallback;
}

void Game::prepareLevel(Layout* board) {
    if (board == nullptr) {
        return;
    }
    const int32_t count = board->getTileCount();
    int32_t copies = 2;
    int32_t groupSize = 4;
    if (gameType == TYPE_SPLIT || gameType == TYPE_SPEED) {
        copies = 1;
    } else if (gameType == TYPE_TRIPLE) {
        copies = 3;
        groupSize = 6;
    }
    FaceList faces;
    if (const TileManager* manager = TileManager::instance()) {
        manager->dealDefs(count, copies, groupSize, 5, faces);
    }
    TileList tiles;
    board->getAllTiles(tiles);
    applyFaces(faces, tiles);
    buildLevel(board);
}

void Game::applyFaces(const FaceList& faces, const TileList& tiles) {
    for (size_t i = 0; i < tiles.size(); ++i) {
        if (i < faces.size()) {
            giveFace(tiles[i].get(), faces[i]->getSuit(), faces[i]->getValue());
        } else {
            giveFace(tiles[i].get(), NO_SUIT, 0);
        }
    }
}

void Game::buildLevel(Layout* board) {
    buildStatistics = BuildStatistics();
    buildOrder.clear();
    if (board == nullptr) {
        return;
    }
    TileList snapshot;
    board->getAllTiles(snapshot);
    // The dealer gave fewer faces than tiles: the faceless tiles spoil any order.
    buildStatistics.missingFaces =
        std::any_of(snapshot.begin(), snapshot.end(),
                    [](const RefHolder<Tile>& tile) { return tile->getSuit() == NO_SUIT; });

    TileList order;
    bool solved = false;
    // No attempt starts that, taking as long as the longest so far, would end past the budget,
    // so that a board no attempt can solve still has its faces dealt within it.
    const auto start = std::chrono::steady_clock::now();
    const auto budget = std::chrono::milliseconds(buildAttemptBudgetMs);
    std::chrono::steady_clock::duration longest{};
    for (auto now = start; !solved && buildStatistics.attempts < MAX_BUILD_ATTEMPTS &&
                           now - start + longest < budget;) {
        ++buildStatistics.attempts;
        order.clear();
        solved = buildAttempt(board, order);
        board->placeTiles(snapshot);
        if (!solved) {
            ++buildStatistics.numNotSolvable;
        }
        const auto finished = std::chrono::steady_clock::now();
        longest = std::max(longest, finished - now);
        now = finished;
    }
    if (!solved) {
        buildStatistics.allAttemptsFailed = true;
        if (gameType == TYPE_SPLIT || gameType == TYPE_SPEED) {
            GameHooks::showMessage(
                "Quovel Mahjong Error",
                "There was an error creating the new level.\nPlease restart the game.");
        }
        // The player asked to restart; until then the level goes on with the plain order,
        // as in the other types.
        order = snapshot;
    }

    const bool checksStacking = gameType == TYPE_CLASSIC || gameType == TYPE_TRIPLE;
    FaceList best;
    int32_t bestCount = -1;
    bool lastDealFailed = false;
    bool lastDealStacked = false;
    for (int32_t deal = 0; deal < MAX_DEALS; ++deal) {
        ++buildStatistics.deals;
        FaceList faces;
        dealTileDefs(faces);
        applyFaces(faces, order);
        const bool stacked = checksStacking && hasStackingProblem(board, order);
        if (stacked) {
            ++buildStatistics.numStackingProblem;
        }
        const int32_t matches = countMatches(board);
        lastDealStacked = stacked;
        lastDealFailed = stacked || matches == 0;
        if (!lastDealFailed) {
            best = std::move(faces);
            break;
        }
        if (matches > bestCount) {
            best = std::move(faces);
            bestCount = matches;
        }
    }
    if (lastDealFailed && checksStacking) {
        buildStatistics.usedFallbackDeal = true;
        fallbackDeal(board, snapshot);
    } else {
        applyFaces(best, order);
    }

    if (gameType == TYPE_SPLIT || gameType == TYPE_SPEED) {
        if (SideBoard* sideBoard = board->getSideBoard()) {
            sideBoard->fillFromGame();
            sideBoard->invalidateAll();
        }
    }
    buildStatistics.levelBuildProblem = buildStatistics.allAttemptsFailed || lastDealStacked;
    buildOrder = std::move(order);
    reportBuild();
}

bool Game::hasStackingProblem(Layout* board, const TileList& order) {
    for (const RefHolder<Tile>& tile : order) {
        const int32_t x = tile->getGridX();
        const int32_t y = tile->getGridY();
        const int32_t z = tile->getGridZ() + 1;
        Tile* above[] = {board->getTileAt(x, y, z), board->getTileAt(x + 1, y, z),
                         board->getTileAt(x, y + 1, z), board->getTileAt(x + 1, y + 1, z)};
        for (Tile* other : above) {
            if (other != nullptr && canMatch(tile.get(), other)) {
                return true;
            }
        }
    }
    return false;
}

void Game::fallbackDeal(Layout* board, const TileList& snapshot) {
    FaceList faces;
    dealTileDefs(faces);
    TileList working;
    while (!faces.empty()) {
        if (working.empty()) {
            board->getFreeTiles(working);
            if (working.empty()) {
                break;
            }
        }
        Tile* tile = working.back().get();
        giveFace(tile, faces.back()->getSuit(), faces.back()->getValue());
        board->removeTile(tile);
        working.pop_back();
        faces.pop_back();
    }
    board->placeTiles(snapshot);
}

void Game::reportBuild() {
    PropertyNode* event = addCustomEvent();
    if (event == nullptr) {
        return;
    }
    event->addChild(new PropertyValue("numNotSolvable", buildStatistics.numNotSolvable));
    event->addChild(new PropertyValue("numStackingProblem", buildStatistics.numStackingProblem));
    event->addBool("levelBuildProblem", buildStatistics.levelBuildProblem, false);
}

void Game::dealTileDefs(FaceList& out) {
    dealShuffledGroups(out, 2, [this](Tile* a, Tile* b) { return canMatch(a, b); });
}

void Game::dealShuffledGroups(FaceList& out, int32_t groupSize,
                              const std::function<bool(Tile*, Tile*)>& matches) {
    if (!layout) {
        return;
    }
    TileList tiles;
    layout->getAllTiles(tiles);
    shuffleList(tiles.begin(), tiles.end());
    dealFacesInGroups(tiles, groupSize, matches, out);
}

void Game::takeGroup(Layout* board, std::initializer_list<Tile*> group, TileList& candidates,
                     TileList& order) {
    for (Tile* tile : group) {
        order.emplace_back(tile);
    }
    for (Tile* tile : group) {
        RefHolder<Tile> keep(tile);
        eraseTile(candidates, tile);
        board->removeTile(tile);
    }
}

int32_t Game::drawDistanceThreshold() {
    int32_t hi = 0;
    int32_t lo = 0;
    if (level) {
        hi = level->getTileDistMax().getInt();
        lo = level->getTileDistMin().getInt();
    }
    const int32_t threshold = lo < hi ? buildRandom().nextInt(lo, hi) : hi;
    return std::max(threshold, 1);
}

Tile* Game::drawFreeTile(Layout* board, const TileList& candidates) {
    // Only free candidates can be drawn; none free means the attempt is stuck.
    if (std::none_of(candidates.begin(), candidates.end(),
                     [board](const RefHolder<Tile>& t) { return board->isTileFree(t.get()); })) {
        return nullptr;
    }
    Random& random = buildRandom();
    const int32_t size = static_cast<int32_t>(candidates.size());
    for (;;) {
        Tile* drawn = candidates[random.nextInt(0, size)].get();
        if (board->isTileFree(drawn)) {
            return drawn;
        }
    }
}

void Game::sortByDistanceFrom(const Tile* first, TileList& candidates) {
    const int32_t fx = first->getGridX();
    const int32_t fy = first->getGridY();
    const int32_t fz = first->getGridZ();
    for (const RefHolder<Tile>& tile : candidates) {
        tile->setDistance(std::abs(tile->getGridZ() - fz) + std::abs(tile->getGridY() - fy) +
                          std::abs(tile->getGridX() - fx));
    }
    // Sorted as (distance, position) records, with the same comparison and so the same
    // permutation of equal distances as sorting the tiles themselves, at a fraction of the cost.
    struct Entry {
        int32_t distance;
        uint32_t position;
    };
    std::vector<Entry> entries(candidates.size());
    for (size_t i = 0; i < candidates.size(); ++i) {
        entries[i] = {candidates[i]->getDistance(), static_cast<uint32_t>(i)};
    }
    std::sort(entries.begin(), entries.end(),
              [](const Entry& a, const Entry& b) { return a.distance < b.distance; });
    TileList sorted;
    sorted.reserve(candidates.size());
    for (const Entry& entry : entries) {
        sorted.push_back(std::move(candidates[entry.position]));
    }
    candidates = std::move(sorted);
}

Tile* Game::pickPartner(Layout* board, const TileList& candidates, int32_t threshold,
                        const Tile* skip) {
    for (const RefHolder<Tile>& tile : candidates) {
        if (tile.get() != skip && tile->getDistance() >= threshold &&
            board->isTileFree(tile.get())) {
            return tile.get();
        }
    }
    for (auto it = candidates.rbegin(); it != candidates.rend(); ++it) {
        if (it->get() != skip && board->isTileFree(it->get())) {
            return it->get();
        }
    }
    return nullptr;
}

bool Game::removeFreePairs(Layout* board, TileList& candidates, TileList& order) {
    while (!candidates.empty()) {
        Tile* first = drawFreeTile(board, candidates);
        if (first == nullptr) {
            return false;
        }
        sortByDistanceFrom(first, candidates);
        Tile* partner = pickPartner(board, candidates, drawDistanceThreshold(), nullptr);
        if (partner == nullptr || partner == first) {
            return false;
        }
        takeGroup(board, {first, partner}, candidates, order);
    }
    return true;
}
