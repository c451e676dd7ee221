// Level building: faces are dealt, the mode's attempt finds an order in which the tiles can be
// taken off the board in free groups, and the faces are laid along that order so that every
// group matches. Playing the groups in order then empties the board.
#include <algorithm>
#include <cstdlib>

#include "framework/core/ProblemLog.h"
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

// The candidates (grid tiles) of a removal in groups as packed records (distance to the group's
// first tile, tile index, grid position) and a copy of the board's present cells
// (Layout::getPresentCells): an attempt draws, sorts and frees tiles without touching the tiles
// or the layout, and allocates only once.
class FreeGroupSearch {
public:
    FreeGroupSearch(const Layout& layout, const Game::TileList& candidates)
        : river(getCurrentGameType() == TYPE_RIVER), rows(layout.getPresentCells()) {
        tiles.reserve(candidates.size());
        records.reserve(candidates.size());
        for (const RefHolder<Tile>& tile : candidates) {
            records.push_back(
                {0, static_cast<uint16_t>(tiles.size()), static_cast<uint8_t>(tile->getGridX()),
                 static_cast<uint8_t>(tile->getGridY()), static_cast<uint8_t>(tile->getGridZ())});
            tiles.push_back(tile.get());
        }
    }

    bool empty() const { return records.empty(); }
    Tile* tile(int32_t index) const { return tiles[static_cast<size_t>(index)]; }

    // A random free candidate's tile index, drawn until one is free; -1 when none is.
    int32_t drawFree(Random& random) const {
        if (std::none_of(records.begin(), records.end(),
                         [this](const Record& r) { return isFree(r); })) {
            return -1;
        }
        const int32_t size = static_cast<int32_t>(records.size());
        for (;;) {
            const Record& drawn = records[static_cast<size_t>(random.nextInt(0, size))];
            if (isFree(drawn)) {
                return drawn.tile;
            }
        }
    }

    // Sets each record's distance to the tile's in grid steps and sorts by it. The sort compares
    // distances only, so the records end in the permutation the tiles themselves would.
    void sortByDistanceFrom(int32_t first) {
        const Record* from = &*std::find_if(records.begin(), records.end(),
                                            [first](const Record& r) { return r.tile == first; });
        const int32_t fx = from->x;
        const int32_t fy = from->y;
        const int32_t fz = from->z;
        for (Record& r : records) {
            r.distance =
                static_cast<int16_t>(std::abs(r.z - fz) + std::abs(r.y - fy) + std::abs(r.x - fx));
        }
        std::sort(records.begin(), records.end(),
                  [](const Record& a, const Record& b) { return a.distance < b.distance; });
    }

    // The first free candidate at or beyond the threshold, else the last free one searching
    // from the end; `skip` is never taken. -1 when no candidate is free.
    int32_t pickPartner(int32_t threshold, int32_t skip) const {
        for (const Record& r : records) {
            if (r.tile != skip && r.distance >= threshold && isFree(r)) {
                return r.tile;
            }
        }
        for (auto it = records.rbegin(); it != records.rend(); ++it) {
            if (it->tile != skip && isFree(*it)) {
                return it->tile;
            }
        }
        return -1;
    }

    // Takes the group's tiles off the candidates (the others keep their order) and the board.
    void take(const int32_t* group, int32_t count) {
        std::erase_if(records, [group, count, this](const Record& r) {
            if (std::find(group, group + count, r.tile) == group + count) {
                return false;
            }
            const uint64_t cells = uint64_t{3} << r.x;
            rows[Layout::rowIndex(r.y, r.z)] &= ~cells;
            rows[Layout::rowIndex(r.y + 1, r.z)] &= ~cells;
            return true;
        });
    }

private:
    struct Record {
        int16_t distance;
        uint16_t tile;
        uint8_t x;
        uint8_t y;
        uint8_t z;
    };

    bool isFree(const Record& r) const { return Layout::isFreeAmong(rows, r.x, r.y, r.z, river); }

    const bool river;
    Layout::CellRows rows;
    std::vector<Tile*> tiles;
    std::vector<Record> records;
};

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
    if (board && board != layout.get() && board != pendingLayout.get()) {
        reportMistake(
            "Game::buildLevel: the board is neither the game's nor its pending "
            "shuffle; nothing is dealt");
        return;
    }
    buildStatistics = BuildStatistics();
    buildOrder.clear();
    if (board == nullptr) {
        return;
    }
    TileList order;
    dealLevel(board, buildStatistics, order);
    if (gameType == TYPE_SPLIT || gameType == TYPE_SPEED) {
        // The player is asked to restart; until then the level goes on with the plain order.
        if (buildStatistics.allAttemptsFailed) {
            GameHooks::showMessage(GameHooks::messageText("TEXT_LEVEL_BUILD_ERROR_TITLE"),
                                   GameHooks::messageText("TEXT_LEVEL_BUILD_ERROR"));
        }
        if (SideBoard* sideBoard = board->getSideBoard()) {
            dealSideBoard(board, order, true);
            sideBoard->invalidateAll();
        }
    }
    buildOrder = std::move(order);
    reportBuild();
}

void Game::dealShuffle() {
    if (!layout) {
        return;
    }
    RefHolder<Layout> shuffled(new Layout(*layout));
    // The same level dealt again: its progress, full time and saved starting count stay the
    // level's, not the tiles left at the shuffle (FreeCell's parked tiles would count past it).
    shuffled->setStartingTileCount(layout->getStartingTileCount());
    setPendingLayout(shuffled.get());
    buildLevel(shuffled.get());
}

bool Game::shuffleWouldHelp() {
    if (!layout) {
        return false;
    }
    // The trial deals a copy of its own: the game's order, queue, statistics and side board stay
    // those of the board in play, and a trial that fails says nothing.
    RefHolder<Layout> copy(new Layout(*layout));
    BuildStatistics trial;
    TileList order;
    dealLevel(copy.get(), trial, order);
    if (copy->getSideBoard() != nullptr) {
        dealSideBoard(copy.get(), order, false);
    }
    return countMatches(copy.get()) > 0;
}

void Game::dealSideBoard(Layout*, const TileList&, bool) {}

void Game::dealLevel(Layout* board, BuildStatistics& statistics, TileList& order) {
    TileList snapshot;
    board->getAllTiles(snapshot);
    // The dealer gave fewer faces than tiles: the faceless tiles spoil any order.
    statistics.missingFaces =
        std::any_of(snapshot.begin(), snapshot.end(),
                    [](const RefHolder<Tile>& tile) { return tile->getSuit() == NO_SUIT; });

    bool solved = false;
    // An attempt walks the board's tiles once per group it takes: its work is counted as the
    // square of the tile count, whether it fails early or late.
    const int64_t attemptWork = static_cast<int64_t>(snapshot.size()) * snapshot.size();
    while (!solved && statistics.attempts < MAX_BUILD_ATTEMPTS &&
           statistics.work < MAX_BUILD_WORK) {
        ++statistics.attempts;
        order.clear();
        solved = buildAttempt(board, order);
        statistics.work += attemptWork;
        board->placeTiles(snapshot);
        if (!solved) {
            ++statistics.numNotSolvable;
        }
    }
    if (!solved) {
        statistics.allAttemptsFailed = true;
        // No attempt solved the board: it is played in the plain order.
        order = snapshot;
    }

    const bool checksStacking = gameType == TYPE_CLASSIC || gameType == TYPE_TRIPLE;
    FaceList best;
    int32_t bestCount = -1;
    bool lastDealFailed = false;
    bool lastDealStacked = false;
    for (int32_t deal = 0; deal < MAX_DEALS; ++deal) {
        ++statistics.deals;
        FaceList faces;
        dealTileDefs(faces);
        applyFaces(faces, order);
        const bool stacked = checksStacking && hasStackingProblem(board, order);
        if (stacked) {
            ++statistics.numStackingProblem;
        }
        // A stacked deal is never kept (the stacking types fall back when the last deal fails),
        // so its matches need no count.
        const int32_t matches = stacked ? 0 : countMatches(board);
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
        statistics.usedFallbackDeal = true;
        fallbackDeal(board, snapshot);
    } else {
        applyFaces(best, order);
    }

    statistics.levelBuildProblem = statistics.allAttemptsFailed || lastDealStacked;
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

bool Game::removeFreeGroups(Layout* layout, const TileList& candidates, int32_t groupSize,
                            TileList& order) {
    if (layout == nullptr) {
        return false;
    }
    FreeGroupSearch search(*layout, candidates);
    Random& random = buildRandom();
    const int32_t partnersWanted = std::clamp(groupSize, 2, 3) - 1;
    order.reserve(order.size() + candidates.size());
    while (!search.empty()) {
        const int32_t first = search.drawFree(random);
        if (first < 0) {
            return false;
        }
        search.sortByDistanceFrom(first);
        const int32_t threshold = drawDistanceThreshold();
        int32_t group[3] = {first, -1, -1};
        for (int32_t k = 1; k <= partnersWanted; ++k) {
            // A later partner skips the one picked before it; the first tile itself may come
            // back from the search from the end, which fails the attempt.
            group[k] = search.pickPartner(threshold, k > 1 ? group[k - 1] : -1);
            if (group[k] < 0 || group[k] == first) {
                return false;
            }
        }
        for (int32_t k = 0; k <= partnersWanted; ++k) {
            order.emplace_back(search.tile(group[k]));
        }
        search.take(group, partnersWanted + 1);
    }
    return true;
}
