#include "game/screen/HintTriggers.h"

#include <cstddef>
#include <utility>
#include <vector>

#include "framework/nodes/Sprite.h"
#include "framework/scene/Scene.h"
#include "game/profile/QuovelMahjongPlayer.h"
#include "game/rules/Game.h"
#include "game/rules/GameFreeCell.h"
#include "game/rules/Layout.h"
#include "game/rules/Level.h"
#include "game/rules/SideBoard.h"
#include "game/rules/Tile.h"
#include "game/rules/TileManager.h"
#include "game/rules/TuningConstants.h"
#include "game/screen/BoardInput.h"
#include "game/screen/BonusBar.h"
#include "game/screen/GameDialogs.h"
#include "game/screen/LayoutRenderer.h"
#include "game/screen/PlayScreen.h"
#include "game/screen/PlayerAids.h"
#include "game/screen/TimeBar.h"

namespace {

constexpr int32_t MULTIPLIER_HINTED = 3;

bool pending(int32_t id) {
    QuovelMahjongPlayer* player = QuovelMahjongPlayer::current();
    return player && player->isHintPending(id);
}

GameType gameTypeOf(const Game* game) {
    return game && game->getLevel() ? game->getLevel()->getGameType() : NO_GAME_TYPE;
}

RoomKind roomKindOf(const Game* game) {
    return game && game->getLevel() ? game->getLevel()->getGameMode() : static_cast<RoomKind>(-1);
}

// Milliseconds since the game last handled a click of any outcome, on the clock it stamps (the
// time since the level's last restart; the real time runs on over restarts and levels).
int32_t sinceLastClick(const Game* game) {
    return game->levelCounts.timeSinceLastRestart - game->levelCounts.lastClickTime;
}

Tile* firstSelected(const Game* game) {
    return game->getSelection().empty() ? nullptr : game->getSelection().front().get();
}

// A tile of the River that sits between two tiles of its row but may leave up or down.
bool boxedInRow(const Layout& layout, const Tile* tile) {
    const int32_t x = tile->getGridX();
    const int32_t y = tile->getGridY();
    const int32_t z = tile->getGridZ();
    return !layout.isLeftEmpty(x, y, z) && !layout.isRightEmpty(x, y, z) &&
           (layout.isUpEmpty(x, y, z) || layout.isDownEmpty(x, y, z));
}

}  // namespace

Rect HintTriggers::tileRect(const LayoutRenderer* renderer, const Tile* tile) {
    if (!renderer || !tile) {
        return {};
    }
    const TuningConstants& c = tuning();
    return {renderer->gridToScreenX(tile->getGridZ(), tile->getGridX()) -
                static_cast<int32_t>(tile->getAnchor().x),
            renderer->gridToScreenY(tile->getGridZ(), tile->getGridY()) -
                static_cast<int32_t>(tile->getAnchor().y),
            c.TILE_WIDTH, c.TILE_HEIGHT};
}

bool HintTriggers::hintsOn() const {
    QuovelMahjongPlayer* player = QuovelMahjongPlayer::current();
    return player && player->showHints && Game::current();
}

bool HintTriggers::show(const Rect* rect, int32_t id, GameNode* target) {
    return GameDialogs::get().showHint(rect, id, target);
}

void HintTriggers::markTiles(const std::vector<Tile*>& tiles) {
    scene.getInput().deselectAll();
    scene.getAids().markHintTiles(Game::TileList(tiles.begin(), tiles.end()));
}

void HintTriggers::onFrame() {
    if (GameDialogs::get().isHintOpen()) {
        return;
    }
    const int32_t before = pacer++;
    if (before > PACER_FRAMES && scene.getFlow().getPauseState() == PlayScreen::RUNNING &&
        Game::current()) {
        pacer = 0;
        checkBoard();
    }
}

bool HintTriggers::checkBoard() {
    if (!hintsOn() || scene.getAids().getSuperHintTimeLeft() > 0) {
        return false;
    }
    return checkBars() || checkSpecialSuits() || checkRiverPath();
}

bool HintTriggers::checkBars() {
    BonusBar* bonusBar = scene.getBonusBar();
    if (bonusBar && bonusBar->isVisible()) {
        if (pending(HINT_MULTIPLIER) && bonusBar->getMultiplier() >= MULTIPLIER_HINTED) {
            return show(nullptr, HINT_MULTIPLIER,
                        scene.getScene().findChild("BONUSBAR_MULTIPLIER"));
        }
        auto* filling = objectCast<Sprite>(scene.getScene().findChild("BONUSBAR_FILLING"));
        if (pending(HINT_BONUS_HALF) && filling &&
            bonusBar->getShownFill() >= 0.5f * static_cast<float>(filling->getHeight())) {
            const Rect level{filling->getAbsoluteX(),
                             filling->getAbsoluteY() + filling->getHeight() -
                                 static_cast<int32_t>(bonusBar->getShownFill()),
                             filling->getWidth(), 1};
            return show(&level, HINT_BONUS_HALF, nullptr);
        }
    }
    TimeBar* timeBar = scene.getTimeBar();
    if (timeBar && timeBar->isVisible() && pending(HINT_TIME_LOW) &&
        static_cast<float>(timeBar->getTime().getValue()) <=
            0.25f * static_cast<float>(timeBar->getTime().getMaximum())) {
        return show(nullptr, HINT_TIME_LOW, scene.getScene().findChild("TIMEBAR_CLOCK"));
    }
    return false;
}

bool HintTriggers::checkSpecialSuits() {
    Game* game = Game::current();
    if ((!pending(HINT_FLOWERS) && !pending(HINT_SEASONS)) || !game->getSelection().empty() ||
        !game->getSuperHintTiles().empty() ||
        sinceLastClick(game) <= tuning().HINT_CLICK_TIME_SEASONFLOWERS * 1000) {
        return false;
    }
    Game::TileList matches;
    game->findMatches(matches, nullptr);
    const size_t perMatch = static_cast<size_t>(game->getTilesPerMatch());
    for (const auto& [id, suit] : {std::pair{HINT_FLOWERS, TileManager::FLOWER_SUIT},
                                   std::pair{HINT_SEASONS, TileManager::SEASON_SUIT}}) {
        std::vector<Tile*> ofSuit;
        for (const RefHolder<Tile>& tile : matches) {
            if (tile->getSuit() == suit) {
                ofSuit.push_back(tile.get());
            }
        }
        if (!pending(id) || ofSuit.empty() || ofSuit.size() < perMatch) {
            continue;
        }
        markTiles({ofSuit.begin(), ofSuit.begin() + static_cast<std::ptrdiff_t>(perMatch)});
        const Rect rect = tileRect(scene.getRenderer(), ofSuit.front());
        return show(&rect, id, ofSuit.front());
    }
    return false;
}

bool HintTriggers::checkRiverPath() {
    Game* game = Game::current();
    if (!pending(HINT_RIVER_PATH) || gameTypeOf(game) != Game::TYPE_RIVER ||
        !game->getSelection().empty() || !game->getSuperHintTiles().empty() ||
        sinceLastClick(game) <= tuning().HINT_CLICK_TIME_RIVER * 1000 || !game->getLayout()) {
        return false;
    }
    Game::TileList matches;
    game->findMatches(matches, nullptr);
    const Layout& layout = *game->getLayout();
    for (size_t i = 0; i + 1 < matches.size(); i += 2) {
        Tile* a = matches[i].get();
        Tile* b = matches[i + 1].get();
        if (boxedInRow(layout, a) && boxedInRow(layout, b)) {
            // Marking a River pair also draws the path between them.
            markTiles({a, b});
            const Rect rect = tileRect(scene.getRenderer(), a);
            return show(&rect, HINT_RIVER_PATH, a);
        }
    }
    return false;
}

bool HintTriggers::onClickTaken() {
    if (!hintsOn()) {
        return false;
    }
    return checkSplit() || checkFreeCellSideBoard() || checkRiver();
}

bool HintTriggers::checkSplit() {
    Game* game = Game::current();
    const int32_t type = gameTypeOf(game);
    Tile* clicked = game->getClickedTile();
    Tile* first = firstSelected(game);
    if ((type != Game::TYPE_SPLIT && type != Game::TYPE_SPEED) ||
        game->getClickOutcome() != Game::CLICK_SELECT || !first || !clicked || clicked == first ||
        clicked->getMatchKey() != first->getMatchKey()) {
        return false;
    }
    Game::TileList matches;
    game->findMatches(matches, nullptr);
    if (matches.size() < 2) {
        return false;
    }
    if (pending(HINT_SPLIT_BOARD) && !clicked->isOnSideBoard() && !first->isOnSideBoard()) {
        markTiles({matches[0].get(), matches[1].get()});
        return show(nullptr, HINT_SPLIT_BOARD, nullptr);
    }
    if (pending(HINT_SPLIT_SIDEBOARD) && clicked->isOnSideBoard() && first->isOnSideBoard()) {
        return show(nullptr, HINT_SPLIT_SIDEBOARD, nullptr);
    }
    return false;
}

bool HintTriggers::checkFreeCellSideBoard() {
    Game* game = Game::current();
    auto* freeCell = dynamic_cast<GameFreeCell*>(game);
    const RoomKind room = roomKindOf(game);
    if (!freeCell || !pending(HINT_FREECELL_SIDEBOARD) || gameTypeOf(game) != Game::TYPE_FREECELL ||
        (room != RoomKind::CASINO && room != RoomKind::ROOF) ||
        game->getClickOutcome() != Game::CLICK_MATCH || !game->getLayout() ||
        !game->getLayout()->getSideBoard()) {
        return false;
    }
    Tile* clicked = game->getClickedTile();
    Tile* first = firstSelected(game);
    if ((clicked && clicked->isOnSideBoard()) || (first && first->isOnSideBoard())) {
        // The player already matches from the side board: nothing to teach.
        QuovelMahjongPlayer::current()->clearTutorialHint(HINT_FREECELL_SIDEBOARD);
        return false;
    }
    std::vector<RefHolder<Tile>> sideTiles;
    std::vector<RefHolder<Tile>> freeTiles;
    game->getLayout()->getSideBoard()->getTiles(sideTiles);
    game->getLayout()->getFreeTiles(freeTiles);
    for (const RefHolder<Tile>& side : sideTiles) {
        for (const RefHolder<Tile>& free : freeTiles) {
            if (!game->canMatch(side.get(), free.get())) {
                continue;
            }
            freeCell->setHintCounter(freeCell->getHintCounter() + 1);
            if (freeCell->getHintCounter() <= FREECELL_HINT_AFTER) {
                return false;
            }
            markTiles({side.get(), free.get()});
            return show(nullptr, HINT_FREECELL_SIDEBOARD, nullptr);
        }
    }
    return false;
}

bool HintTriggers::checkRiver() {
    Game* game = Game::current();
    Tile* clicked = game->getClickedTile();
    Tile* first = firstSelected(game);
    const int32_t outcome = game->getClickOutcome();
    if (gameTypeOf(game) != Game::TYPE_RIVER || !first || !clicked || clicked == first ||
        clicked->getMatchKey() != first->getMatchKey()) {
        return false;
    }
    const Rect rect = tileRect(scene.getRenderer(), clicked);
    if (pending(HINT_RIVER_NEIGHBOURS) &&
        (outcome == Game::CLICK_BLOCKED || outcome == Game::CLICK_SELECT) &&
        clicked->isNeighbourOf(first)) {
        return show(&rect, HINT_RIVER_NEIGHBOURS, clicked);
    }
    if (outcome != Game::CLICK_SELECT) {
        return false;
    }
    const bool sameLayer = clicked->getGridZ() == first->getGridZ();
    if (!sameLayer && pending(HINT_RIVER_LAYERS)) {
        return show(&rect, HINT_RIVER_LAYERS, clicked);
    }
    if (sameLayer && pending(HINT_RIVER_SAME_LAYER)) {
        return show(&rect, HINT_RIVER_SAME_LAYER, clicked);
    }
    return false;
}

bool HintTriggers::afterClickActedOn() {
    Game* game = Game::current();
    if (!hintsOn() || !pending(HINT_FREECELL_COVERING) || gameTypeOf(game) != Game::TYPE_FREECELL ||
        !game->getSelection().empty() || !game->getLayout() || !game->getLayout()->getSideBoard()) {
        return false;
    }
    const SideBoard& side = *game->getLayout()->getSideBoard();
    if (side.getTileCount() >= side.getColumns() * side.getRows() ||
        game->countMatches(nullptr) != 0) {
        return false;
    }
    return showCovering(HINT_FREECELL_COVERING);
}

bool HintTriggers::onShuffle() {
    Game* game = Game::current();
    if (!hintsOn() || !pending(HINT_FREECELL_SHUFFLE) || gameTypeOf(game) != Game::TYPE_FREECELL ||
        !game->getLayout()) {
        return false;
    }
    return showCovering(HINT_FREECELL_SHUFFLE);
}

bool HintTriggers::showCovering(int32_t id) {
    Tile* tile = Game::current()->getLayout()->findFreeCoveringTile();
    if (!tile) {
        return false;
    }
    scene.getInput().deselectAll();
    scene.getInput().markHintTile(tile);
    const Rect rect = tileRect(scene.getRenderer(), tile);
    return show(&rect, id, tile);
}
