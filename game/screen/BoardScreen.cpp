#include "game/screen/BoardScreen.h"

#include <string>

#include "framework/gui/Panel.h"
#include "framework/nodes/ResourceLookup.h"
#include "framework/nodes/Sprite.h"
#include "framework/platform/Graphics.h"
#include "framework/platform/Image.h"
#include "framework/scene/Scene.h"
#include "game/rules/Game.h"
#include "game/rules/Layout.h"
#include "game/rules/Level.h"
#include "game/rules/SideBoard.h"
#include "game/rules/Tile.h"
#include "game/rules/TuningConstants.h"
#include "game/screen/BoardInput.h"
#include "game/screen/BonusBar.h"
#include "game/screen/GameDialogs.h"
#include "game/screen/GameHud.h"
#include "game/screen/LayoutRenderer.h"
#include "game/screen/PlayScreen.h"
#include "game/screen/PlayerAids.h"

namespace {

// Calls `use` with the board's renderer, while the level has one.
template <typename Use>
void withRenderer(PlayScreen& play, Use use) {
    if (LayoutRenderer* renderer = play.getRenderer()) {
        use(*renderer);
    }
}

}  // namespace

BoardScreen::BoardScreen(PlayScreen& play, BoardInput& input, Floaters& floaters)
    : play(play), input(input), floaters(floaters) {}

// --- The board renderer ---

Tile* BoardScreen::tileAtPoint(Layout* layout, int32_t x, int32_t y) {
    LayoutRenderer* renderer = play.getRenderer();
    return renderer ? renderer->tileAtPoint(layout, x, y) : nullptr;
}

void BoardScreen::addSuperHintTint(Tile* tile) {
    withRenderer(play, [&](LayoutRenderer& renderer) { renderer.addSuperHintTint(tile); });
}

void BoardScreen::clearModifiers(Tile* tile) {
    withRenderer(play, [&](LayoutRenderer& renderer) { renderer.clearModifiers(tile); });
}

void BoardScreen::addFadeOut(Tile* tile, int32_t chain) {
    withRenderer(play, [&](LayoutRenderer& renderer) { renderer.addFadeOut(tile, chain); });
}

void BoardScreen::addBlockedPulse(Tile* tile) {
    withRenderer(play, [&](LayoutRenderer& renderer) { renderer.addBlockedPulse(tile); });
}

void BoardScreen::restoreRenderTile(Tile* tile) {
    LayoutRenderer* renderer = play.getRenderer();
    if (!renderer) {
        return;
    }
    if (RenderTile* renderTile = renderer->findRenderTile(tile)) {
        renderTile->clearModifiers();
        renderTile->setOutOfGrid(false);
        renderer->placeInGrid(renderTile);
    }
}

RenderTile* BoardScreen::createRenderTile(int32_t column, int32_t row, int32_t layer,
                                          int32_t faceOffsetX, int32_t faceOffsetY) {
    return new RenderTile(column, row, layer, faceOffsetX, faceOffsetY);
}

void BoardScreen::addDirtyRect(const Rect& area) {
    withRenderer(play, [&](LayoutRenderer& renderer) { renderer.addDirtyRect(area); });
}

// --- The bars and the board input ---

void BoardScreen::addBonusPoints(int32_t points) {
    BonusBar* bonusBar = play.getBonusBar();
    if (bonusBar) {
        bonusBar->addPoints(points);
    }
}

int32_t BoardScreen::getChainCounter() const {
    BonusBar* bonusBar = play.getBonusBar();
    return bonusBar ? bonusBar->getMultiplier() : 1;
}

void BoardScreen::showHostHint(int32_t hint) {
    Scene& scene = play.getScene();
    if (scene.isDialogOpen("DIALOG_DORRICK_HINT")) {
        return;
    }
    if (Dialog* dialog = GameDialogs::get().hostHint(scene, hint, {})) {
        scene.openDialog(dialog);
    }
}

void BoardScreen::resetHintPath() {
    input.clearHintPath(true);
}

void BoardScreen::clearHoverTile() {
    input.clearHover();
}

void BoardScreen::showTileSelected(Tile* tile) {
    input.showTileSelected(tile);
}

void BoardScreen::showTileBlocked(Tile* tile) {
    input.showTileBlocked(tile);
}

void BoardScreen::removeTileEffect(Tile* tile) {
    BoardInput::removeTileEffect(tile);
}

// --- Free and blocked tiles ---

void BoardScreen::markFreeTiles() {
    LayoutRenderer* renderer = play.getRenderer();
    Game* game = Game::current();
    Layout* layout = game ? game->getLayout() : nullptr;
    if (!layout || !renderer) {
        return;
    }
    Level* level = game->getLevel();
    const bool darken =
        level && level->getDarkenTiles().getInt() > 0 && level->getGameType() != Game::TYPE_RIVER;
    SideBoard* sideBoard = layout->getSideBoard();
    layout->forEachTile([&](Tile* tile) {
        if (tile->isOnSideBoard()) {
            if (darken && sideBoard) {
                sideBoard->addPlainImage(tile);
            }
            return;
        }
        const bool wasFree = tile->isFreeMarked();
        const bool free = layout->isTileFree(tile);
        if (darken) {
            if (!wasFree && free) {
                renderer->clearModifiers(tile);
                renderer->addUndarken(tile);
            } else if (wasFree && !free) {
                renderer->addDarken(tile);
            }
        } else if (!wasFree && free) {
            renderer->addPlainImage(tile);
        }
        tile->setFreeMarked(free);
    });
}

void BoardScreen::resetFreeMarks() {
    Game* game = Game::current();
    if (Layout* layout = game ? game->getLayout() : nullptr) {
        layout->forEachTile([](Tile* tile) {
            if (!tile->isOnSideBoard()) {
                tile->setFreeMarked(true);
            }
        });
    }
}

// --- What the scene's parts hold ---

DisplayValue& BoardScreen::getTimeValue() {
    return play.getTimeValue();
}

int32_t BoardScreen::getSuperHintCounter() const {
    return play.getAids().getSuperHintTimeLeft();
}

void BoardScreen::markSuperHintTiles() {
    play.getAids().markSuperHintTiles();
}

void BoardScreen::enterGameWon() {
    play.getFlow().endLevel(true);
}

void BoardScreen::updateMatchesText() {
    play.getHud().updateMatchesText();
}

void BoardScreen::updateProgressLabel() {
    play.getHud().updateProgressLabel();
}

void BoardScreen::restartScoreCount() {
    play.getHud().restartScoreCount();
}

// --- The floaters ---

void BoardScreen::showTileFaceShine(Tile* tile, int32_t chainCounter) {
    floaters.showTileFaceShine(tile, chainCounter);
}

void BoardScreen::showSuperScore(int32_t newScore, int32_t increment) {
    floaters.showSuperScore(newScore, increment);
}

void BoardScreen::showScoreFloater(int32_t multiplier, Tile* tile, int32_t points) {
    floaters.showScoreFloater(multiplier, tile, points);
}

// --- The side board ---

GameNode* BoardScreen::getSideBoardHolder() {
    if (!currentSideBoard()) {
        return nullptr;
    }
    Panel* layoutPanel = play.getHud().getLayoutPanel();
    return layoutPanel ? static_cast<GameNode*>(layoutPanel) : play.getScene().getTree();
}

bool BoardScreen::isBoardShown() const {
    return play.getRenderer() != nullptr && play.getScene().getState() == Scene::STATE_CURRENT;
}

bool BoardScreen::drawsShadows() const {
    return static_cast<bool>(const_cast<BoardScreen*>(this)->getShadowImage());
}

RefHolder<Image> BoardScreen::getShadowImage() {
    return findLoaded<Image>("SHADOW", "manual");
}

RefHolder<Image> BoardScreen::findImage(const std::string& section, const std::string& name) {
    return findOrLoad<Image>(name, section);
}

Image* BoardScreen::getShownSymbols() {
    LayoutRenderer* renderer = play.getRenderer();
    return renderer && renderer->getSymbolsShown() ? renderer->getSymbolImage() : nullptr;
}

GameNode* BoardScreen::liftTile(Tile* tile) {
    LayoutRenderer* renderer = play.getRenderer();
    Game* game = Game::current();
    GameNode* floaterLayer = floaters.getLayer();
    if (!renderer || !floaterLayer || tile == nullptr || !game || !game->getLayout()) {
        return nullptr;
    }
    int32_t x = tile->getGridX();
    int32_t y = tile->getGridY();
    if (tile->isOnSideBoard()) {
        SideBoard* sideBoard = game->getLayout()->getSideBoard();
        if (sideBoard == nullptr) {
            return nullptr;
        }
        sideBoard->slotToPoint(x, y);
    } else {
        RenderTile* renderTile = renderer->findRenderTile(tile);
        if (renderTile == nullptr) {
            return nullptr;
        }
        renderer->positionRenderTile(renderTile->getColumn(), renderTile->getRow(),
                                     renderTile->getLayer());
        x = renderer->gridToScreenX(tile->getGridZ(), tile->getGridX());
        y = renderer->gridToScreenY(tile->getGridZ(), tile->getGridY());
    }
    // The blank tile with the tile's symbol, as the board draws it.
    RefHolder<Image> picture(Image::copyImage(LayoutRenderer::getTileImage().get()));
    Image* symbols = getShownSymbols();
    if (picture && symbols) {
        RefHolder<Graphics> graphics(picture->createGraphics());
        const TuningConstants& c = tuning();
        if (graphics) {
            graphics->blit(symbols, 0, 0, tile->getFaceOffsetX(), tile->getFaceOffsetY(),
                           c.TILE_FACE_WIDTH, c.TILE_FACE_HEIGHT);
        }
    }
    RefHolder<Sprite> flying(new Sprite(x, y, picture.get()));
    GameNode::appendChild(flying.get(), floaterLayer);
    return flying.get();
}
