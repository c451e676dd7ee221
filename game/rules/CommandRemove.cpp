#include "game/rules/CommandRemove.h"

#include <algorithm>
#include <cstdint>

#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PropertyNode.h"
#include "framework/core/PropertyValue.h"
#include "framework/core/ScreenSize.h"
#include "game/rules/Game.h"
#include "game/rules/IGameScreen.h"
#include "game/rules/Layout.h"
#include "game/rules/SideBoard.h"
#include "game/rules/Tile.h"

QUOVEL_DEFINE_TYPE(CommandRemove, &Command::typeRecord)
QUOVEL_REGISTER_CLASS(CommandRemove)

CommandRemove::CommandRemove(int32_t points, int32_t multiplier,
                             const std::vector<RefHolder<Tile>>& tiles)
    : points(points), multiplier(multiplier), tiles(tiles) {
    // Computed in 64 bits and saturated: a huge level value must not wrap into a negative score.
    // The range is symmetric, so that the undo can negate it.
    const int64_t product = static_cast<int64_t>(points) * multiplier;
    score = static_cast<int32_t>(std::clamp<int64_t>(product, -INT32_MAX, INT32_MAX));
}

CommandRemove::CommandRemove(PropertyNode* saved) : score(0) {
    if (saved == nullptr) {
        return;
    }
    PropertyVector* list = saved->getChildVector("tiles");
    for (int32_t i = 0; i < list->getChildCount(); ++i) {
        RefHolder<BaseObject> made(
            ObjectFactoryContainer::instance()->createObject(list->getChildAt(i)));
        if (Tile* tile = objectCast<Tile>(made.get())) {
            tiles.emplace_back(tile);
        }
    }
    score = std::max(saved->getChildValue("score")->getInt(), -INT32_MAX);
}

void CommandRemove::execute(Game& game) {
    IGameScreen& screen = getGameScreen();
    game.addScore(score);
    game.onScoreArrived(score);
    if (!tiles.empty()) {
        screen.showScoreFloater(multiplier, tiles.back().get(), points);
    }
    Layout* layout = game.getLayout();
    SideBoard* sideBoard = layout != nullptr ? layout->getSideBoard() : nullptr;
    const int32_t chain = screen.getChainCounter();
    for (const RefHolder<Tile>& tile : tiles) {
        if (tile->isOnSideBoard() && sideBoard != nullptr) {
            sideBoard->addFadeOut(tile.get());
        } else {
            screen.addFadeOut(tile.get(), chain);
        }
        if (layout != nullptr) {
            layout->removeTile(tile.get());
        }
        screen.showTileFaceShine(tile.get(), chain);
    }
    game.clearSelection();
    if (game.getGameType() == Game::TYPE_RIVER) {
        // The river's rows close up after a removal: the whole screen is drawn again.
        screen.addDirtyRect(SCREEN_RECT);
    }
    screen.markFreeTiles();
    if (sideBoard != nullptr) {
        // Split and Speed hand the side board its next tiles; the other types have none.
        sideBoard->fillFromGame();
        sideBoard->invalidateAll();
    }
    screen.updateMatchesText();
    screen.updateProgressLabel();
}

void CommandRemove::undo(Game& game) {
    IGameScreen& screen = getGameScreen();
    game.clearSelection();
    game.clearSuperHintTiles();
    Layout* layout = game.getLayout();
    for (const RefHolder<Tile>& tile : tiles) {
        if (tile->isOnSideBoard()) {
            game.restoreSideBoardTile(layout, tile.get());
        } else if (layout != nullptr) {
            layout->placeTile(tile.get(), tile->getGridX(), tile->getGridY(), tile->getGridZ());
            screen.restoreRenderTile(tile.get());
        }
    }
    screen.markFreeTiles();
    game.addScoreShownAtOnce(-score);
    screen.restartScoreCount();
    screen.updateMatchesText();
    screen.updateProgressLabel();
}

void CommandRemove::save(PropertyVector* parent) {
    if (parent == nullptr) {
        return;
    }
    RefHolder<PropertyNode> node(new PropertyNode("", "CommandRemove"));
    RefHolder<PropertyVector> list(new PropertyVector("tiles"));
    for (const RefHolder<Tile>& tile : tiles) {
        RefHolder<PropertyNode> child(new PropertyNode("", "Tile"));
        tile->save(child.get());
        list->addChild(child.get());
    }
    node->addChild(list.get());
    node->addChild(new PropertyValue("score", score));
    parent->addChild(node.get());
}
