// The road of a tile click: outcome, sound, selection, match removal and scoring, undo, and the
// queries the game screen asks (matches left, hints, stuck).
#include <algorithm>
#include <string>

#include "framework/core/NumberClamp.h"
#include "game/rules/CommandMove.h"
#include "game/rules/CommandRemove.h"
#include "game/rules/FaceGroups.h"
#include "game/rules/Game.h"
#include "game/rules/GameSound.h"
#include "game/rules/IGameScreen.h"
#include "game/rules/IPlayerHooks.h"
#include "game/rules/Layout.h"
#include "game/rules/Level.h"
#include "game/rules/SideBoard.h"
#include "game/rules/Tile.h"
#include "game/rules/TrophyId.h"

namespace {

// The host's hints the rules show, each announcing the trophy of the same number; the big
// score's trophy is 13, but host hint 13 is Speed's instructions, so its hint is 15.
constexpr int32_t HOST_HINT_SCORE = 15;
constexpr int32_t HOST_HINT_PAIRS = trophyIndex(TrophyId::PAIRS);
constexpr int32_t HOST_HINT_SAME_FACE = trophyIndex(TrophyId::SAME_FACE_TWICE);
// The tutorial hints that a removal clears.
constexpr int32_t TUTORIAL_HINT_SUIT_5 = 18;
constexpr int32_t TUTORIAL_HINT_SUIT_6 = 19;
constexpr int32_t TUTORIAL_HINT_FREE_CELL = 23;
constexpr int32_t MAX_COMBO_SOUND = 10;

// Shows a host hint once per player, kept as shown under its trophy's number.
void showHostHintOnce(int32_t hint, TrophyId trophy) {
    IPlayerHooks* player = getCurrentPlayer();
    if (player == nullptr || player->wasHostHintShown(trophyIndex(trophy))) {
        return;
    }
    player->setHostHintShown(trophyIndex(trophy));
    getGameScreen().showHostHint(hint);
}

}  // namespace

void Game::onTileClicked(int32_t x, int32_t y) {
    clickedTile = nullptr;
    Layout* board = level ? level->getLayoutObject() : layout.get();
    if (board != nullptr) {
        clickedTile = getGameScreen().tileAtPoint(board, x, y);
    }
    Tile* clicked = clickedTile.get();
    if (clicked == nullptr) {
        clickOutcome = CLICK_NO_TILE;
        return;
    }
    if (!layout || !layout->isTileFree(clicked)) {
        playGameSound("SOUND_TILE_BLOCKED");
        clickOutcome = CLICK_BLOCKED;
        return;
    }
    if (completesSelection()) {
        int32_t number = 1;
        if (!level || level->getGameMode() != RoomKind::RECROOM) {
            number = std::clamp(getGameScreen().getChainCounter(), 1, MAX_COMBO_SOUND);
        }
        playGameSound("SOUND_COMBO" + std::to_string(number));
        clickOutcome = CLICK_MATCH;
        return;
    }
    if (!isTileSelected(clicked)) {
        playGameSound("SOUND_TILE_SELECT");
        clickOutcome = !selection.empty() && canMatch(clicked, selection.front().get())
                           ? CLICK_ADD
                           : CLICK_SELECT;
        return;
    }
    playGameSound("SOUND_TILE_DESELECT");
    clickOutcome = CLICK_DESELECT;
}

bool Game::completesSelection() {
    Tile* clicked = clickedTile.get();
    if (selection.size() == 2) {
        return isTileSelected(clicked);
    }
    if (selection.size() == 1) {
        return canMatch(clicked, selection.front().get());
    }
    return false;
}

void Game::update() {
    levelCounts.lastClickTime = levelCounts.timeSinceLastRestart;
    IGameScreen& screen = getGameScreen();
    screen.resetHintPath();
    // The outcome handlers may drop the selection's reference to the clicked tile.
    RefHolder<Tile> clicked = clickedTile;
    switch (clickOutcome) {
        case CLICK_DESELECT:
            deselectTile(clicked.get());
            screen.removeTileEffect(clicked.get());
            break;
        case CLICK_SELECT:
        case CLICK_ADD:
            if (clickOutcome == CLICK_SELECT) {
                clearSelection();
            }
            addSelectedTile(clicked.get());
            if (screen.getSuperHintCounter() <= 0) {
                clearSuperHintTiles();
            }
            screen.showTileSelected(clicked.get());
            break;
        case CLICK_MATCH:
            if (!isTileSelected(clicked.get())) {
                SideBoard* sideBoard = layout ? layout->getSideBoard() : nullptr;
                if ((gameType == TYPE_SPLIT || gameType == TYPE_SPEED) && sideBoard != nullptr) {
                    clearSelection();
                    // A board tile pairs with the side board; a side-board tile (clicked as a
                    // super hint) with its board partner, a super-hint tile first.
                    TileList partners;
                    if (clicked->isOnSideBoard()) {
                        layout->getFreeTiles(partners);
                        std::stable_partition(partners.begin(), partners.end(),
                                              [this](const RefHolder<Tile>& tile) {
                                                  return isSuperHintTile(tile.get());
                                              });
                    } else {
                        sideBoard->getTiles(partners);
                    }
                    for (const RefHolder<Tile>& tile : partners) {
                        if (canMatch(clicked.get(), tile.get())) {
                            addSelectedTile(tile.get());
                            break;
                        }
                    }
                    // Without a partner nothing is taken: a lone tile is no match.
                    if (selection.empty()) {
                        break;
                    }
                }
                addSelectedTile(clicked.get());
            }
            removePair();
            if (screen.getSuperHintCounter() >= 1) {
                screen.markSuperHintTiles();
            } else {
                clearSuperHintTiles();
            }
            break;
        case CLICK_MOVE:
            moveSelectedTile();
            clearSuperHintTiles();
            break;
        case CLICK_BLOCKED:
            screen.showTileBlocked(clicked.get());
            break;
        default:
            break;
    }
}

void Game::addSelectedTile(Tile* tile) {
    if (tile != nullptr && !isTileSelected(tile)) {
        selection.emplace_back(tile);
    }
}

bool Game::isTileSelected(Tile* tile) const {
    return tile != nullptr && containsTile(selection, tile);
}

void Game::deselectTile(Tile* tile) {
    if (tile == nullptr) {
        return;
    }
    IGameScreen& screen = getGameScreen();
    SideBoard* sideBoard = layout ? layout->getSideBoard() : nullptr;
    if (tile->isOnSideBoard() && sideBoard != nullptr) {
        if (isSuperHintTile(tile)) {
            sideBoard->addSuperHintTint(tile);
        } else {
            sideBoard->addPlainImage(tile);
        }
    } else if (isSuperHintTile(tile)) {
        screen.addSuperHintTint(tile);
    } else {
        screen.clearModifiers(tile);
    }
    eraseTile(selection, tile);
}

void Game::clearSelection() {
    IGameScreen& screen = getGameScreen();
    SideBoard* sideBoard = layout ? layout->getSideBoard() : nullptr;
    const bool superHintRunning = screen.getSuperHintCounter() > 0;
    for (const RefHolder<Tile>& tile : selection) {
        if (tile->isOnSideBoard() && sideBoard != nullptr) {
            if (isSuperHintTile(tile.get())) {
                sideBoard->addSuperHintTint(tile.get());
            } else {
                sideBoard->addPlainImage(tile.get());
            }
            sideBoard->invalidateTileRect(tile->getGridX(), tile->getGridY());
        } else if (isSuperHintTile(tile.get()) && superHintRunning) {
            screen.addSuperHintTint(tile.get());
        } else {
            screen.clearModifiers(tile.get());
        }
    }
    selection.clear();
}

void Game::clearSuperHintTiles() {
    IGameScreen& screen = getGameScreen();
    SideBoard* sideBoard = layout ? layout->getSideBoard() : nullptr;
    for (const RefHolder<Tile>& tile : superHintTiles) {
        if (tile->isOnSideBoard() && sideBoard != nullptr) {
            sideBoard->addPlainImage(tile.get());
        } else {
            screen.clearModifiers(tile.get());
        }
    }
    superHintTiles.clear();
}

bool Game::isSuperHintTile(Tile* tile) const {
    return tile != nullptr && containsTile(superHintTiles, tile);
}

void Game::addSuperHintTile(Tile* tile) {
    if (tile != nullptr && !isSuperHintTile(tile)) {
        superHintTiles.emplace_back(tile);
    }
}

void Game::removePair() {
    if (selection.empty() || !level) {
        return;
    }
    IGameScreen& screen = getGameScreen();
    RefHolder<Tile> first = selection.front();
    // A match never takes points away (the score's floor would make its undo give them back).
    const int32_t points = std::max(level->getPointsPerMatch().getInt(), 0);
    screen.addBonusPoints(points);
    screen.getTimeValue().addImmediate(level->getTimeBonus().getInt());
    screenCounts.lastSubmitTime = levelCounts.timeSinceLastRestart;
    levelCounts.removedTilesCount = saturateToInt32(int64_t{levelCounts.removedTilesCount} +
                                                    static_cast<int64_t>(selection.size()));
    screenCounts.matchCount = saturateToInt32(int64_t{screenCounts.matchCount} + 1);

    IPlayerHooks* player = getCurrentPlayer();
    if (player != nullptr) {
        if (first->getSuit() == 5 && player->isTutorialHintSet(TUTORIAL_HINT_SUIT_5)) {
            player->clearTutorialHint(TUTORIAL_HINT_SUIT_5);
        }
        if (first->getSuit() == 6 && player->isTutorialHintSet(TUTORIAL_HINT_SUIT_6)) {
            player->clearTutorialHint(TUTORIAL_HINT_SUIT_6);
        }
        const bool fromFreeCell =
            std::any_of(selection.begin(), selection.end(),
                        [](const RefHolder<Tile>& tile) { return tile->isOnSideBoard(); });
        if (gameType == TYPE_FREECELL && fromFreeCell &&
            player->isTutorialHintSet(TUTORIAL_HINT_FREE_CELL)) {
            player->clearTutorialHint(TUTORIAL_HINT_FREE_CELL);
        }
    }

    const int32_t multiplier = screen.getChainCounter() - 1;
    runCommand(new CommandRemove(points, multiplier, selection));

    screen.clearHoverTile();
    if (player != nullptr) {
        player->addRemovedPair();
    }
    const int32_t key = first->getMatchKey();
    if (gameType == TYPE_CLASSIC && gameCounts.lastMatchKey != -1 &&
        key == gameCounts.lastMatchKey && !first->isWholeSuit()) {
        showHostHintOnce(HOST_HINT_SAME_FACE, TrophyId::SAME_FACE_TWICE);
    }
    if (player != nullptr && player->getRemovedPairs() == 10000) {
        showHostHintOnce(HOST_HINT_PAIRS, TrophyId::PAIRS);
    }
    gameCounts.lastMatchKey = key;

    if (layout && layout->getTileCount() == 0) {
        SideBoard* sideBoard = layout->getSideBoard();
        if (gameType != TYPE_FREECELL || sideBoard == nullptr || sideBoard->getTileCount() == 0) {
            screen.enterGameWon();
        }
    }
}

void Game::runCommand(Command* command) {
    if (command == nullptr) {
        return;
    }
    undoHistory.emplace_back(command);
    command->execute(*this);
}

void Game::undo() {
    if (undoHistory.empty()) {
        return;
    }
    screenCounts.pressedUndo = true;
    RefHolder<Command> command = undoHistory.back();
    command->undo(*this);
    undoHistory.pop_back();
    runCounts.undoCount = saturateToInt32(int64_t{runCounts.undoCount} + 1);
    gameCounts.lastMatchKey = -1;
    playGameSound("SOUND_USE_UNDO");
}

void Game::moveSelectedTile() {
    if (selection.empty()) {
        return;
    }
    levelCounts.moveCount = saturateToInt32(int64_t{levelCounts.moveCount} + 1);
    runCommand(new CommandMove(moveTargetColumn, moveTargetRow, selection.front().get()));
}

void Game::getRemovedTiles(TileList& out) const {
    for (const RefHolder<Command>& command : undoHistory) {
        TileList removed = command->getRemovedTiles();
        out.insert(out.end(), removed.begin(), removed.end());
    }
}

Layout* Game::freeTilesForMatches(Layout* board, TileList& freeTiles) const {
    if (board == nullptr) {
        board = layout.get();
    }
    if (board != nullptr) {
        board->getFreeTiles(freeTiles);
    }
    return board;
}

void Game::findMatches(TileList& out, Layout* board) {
    TileList freeTiles;
    if (freeTilesForMatches(board, freeTiles) == nullptr) {
        return;
    }
    // Each free tile a, in order, takes the first tiles after or before it that it matches,
    // unless taken already, as many as a match needs besides a: the ones an ordered search over
    // every choice would meet first. canMatch holds only for equal match keys, so only a's key
    // group is searched.
    const size_t partnersNeeded = static_cast<size_t>(std::max(getTilesPerMatch(), 2)) - 1;
    const MatchKeyGroups groups(freeTiles);
    std::vector<char> taken = listedIn(freeTiles, out);
    std::vector<size_t> partners;
    for (size_t i = 0; i < freeTiles.size(); ++i) {
        if (taken[i]) {
            continue;
        }
        Tile* a = freeTiles[i].get();
        partners.clear();
        for (const size_t* j = groups.begin(i);
             j != groups.end(i) && partners.size() < partnersNeeded; ++j) {
            if (*j != i && !taken[*j] && canMatch(a, freeTiles[*j].get())) {
                partners.push_back(*j);
            }
        }
        if (partners.size() == partnersNeeded) {
            out.push_back(freeTiles[i]);
            taken[i] = 1;
            for (size_t j : partners) {
                out.push_back(freeTiles[j]);
                taken[j] = 1;
            }
        }
    }
}

int32_t Game::countMatches(Layout* board) {
    TileList matches;
    findMatches(matches, board);
    const int32_t perMatch = std::max(getTilesPerMatch(), 1);
    return static_cast<int32_t>(matches.size()) / perMatch;
}

bool Game::findHint(TileList& out) {
    TileList matches;
    findMatches(matches, nullptr);
    const int32_t perMatch = std::max(getTilesPerMatch(), 1);
    const int32_t count = static_cast<int32_t>(matches.size());
    if (count < perMatch) {
        return false;
    }
    const int32_t half = count / 2;
    int32_t start = half - half % perMatch;
    if (start + perMatch > count) {
        start = count - perMatch;
    }
    out.insert(out.end(), matches.begin() + start, matches.begin() + start + perMatch);
    return true;
}

bool Game::isStuck(int32_t matches) {
    return matches <= 0 && layout && layout->getTileCount() > 0;
}

void Game::addScore(int32_t points) {
    if (score.getShown() > 100000 && level && level->getGameMode() == RoomKind::FLOORS) {
        showHostHintOnce(HOST_HINT_SCORE, TrophyId::BIG_SCORE);
    }
    score.add(points);
}

void Game::onScoreArrived(int32_t points) {
    score.arrive(points);
    IGameScreen& screen = getGameScreen();
    screen.restartScoreCount();
    screen.showSuperScore(score.getShown(), points);
}

int32_t Game::checkSuperScore(int32_t newScore, int32_t delta) const {
    if (!level) {
        return -1;
    }
    const IPlayerHooks* player = getCurrentPlayer();
    const int32_t best =
        player != nullptr ? player->getBestScore(level->getFloor(), level->getRoom()) : 0;
    const int64_t before = static_cast<int64_t>(newScore) - delta;
    const auto reaches = [&](int32_t threshold) {
        return before < threshold && newScore >= threshold && best < threshold;
    };
    if (reaches(level->getSilver())) {
        return 1;
    }
    if (reaches(level->getGold())) {
        return 2;
    }
    return -1;
}
