#include "game/screen/BoardInput.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "framework/nodes/ModifierAppearance.h"
#include "framework/nodes/ModifierDelay.h"
#include "framework/nodes/ResourceLookup.h"
#include "framework/nodes/Sprite.h"
#include "game/rules/Game.h"
#include "game/rules/GameSound.h"
#include "game/rules/Layout.h"
#include "game/rules/Level.h"
#include "game/rules/SideBoard.h"
#include "game/rules/Tile.h"
#include "game/rules/TuningConstants.h"
#include "game/screen/GameDialogs.h"
#include "game/screen/LayoutRenderer.h"
#include "game/screen/PlayScreen.h"

namespace {

constexpr uint32_t WM_SETFOCUS_MESSAGE = 7;
constexpr uint32_t WM_KILLFOCUS_MESSAGE = 8;
constexpr uint32_t WINDOW_DEACTIVATED = 0xAF00FA01u;
constexpr uint32_t WINDOW_ACTIVATED = 0xAF00FA02u;

// Split and Speed mark selections with the blocked pulse and give side-board tiles no hover.
bool pulsesSelection(GameType gameType) {
    return gameType == Game::TYPE_SPLIT || gameType == Game::TYPE_SPEED;
}

SideBoard* sideBoardOf(Tile* tile) {
    return tile && tile->isOnSideBoard() ? currentSideBoard() : nullptr;
}

}  // namespace

BoardInput::BoardInput(Screen& screen, Tutorial& tutorial)
    : screen(screen), tutorial(tutorial), hintPathLayer(new GameNode()) {}

bool BoardInput::onMouseMove(int32_t x, int32_t y) {
    if (!screen.isPlaying()) {
        return false;
    }
    updateHover(x, y);
    return true;
}

bool BoardInput::onLeftButtonDown(int32_t x, int32_t y) {
    Game* game = Game::current();
    if (!screen.isPlaying() || !game) {
        return false;
    }
    game->onTileClicked(x, y);
    // A tutorial hint that takes the click drops its outcome.
    if (!GameDialogs::get().isHintOpen() && tutorial.onClickTaken()) {
        return false;
    }
    game->update();
    tutorial.afterClickActedOn();
    return false;
}

bool BoardInput::shuffleHintShown() {
    return !GameDialogs::get().isHintOpen() && tutorial.onShuffle();
}

bool BoardInput::onRightButtonDown() {
    Game* game = Game::current();
    if (!screen.isPlaying() || !game) {
        return false;
    }
    if (!game->getSelection().empty()) {
        playGameSound("SOUND_TILE_DESELECT");
    }
    game->clearSelection();
    clearHintPath(true);
    return true;
}

void BoardInput::onWindowMessage(uint32_t message) {
    if (message == WM_KILLFOCUS_MESSAGE) {
        focusLost = true;
    } else if (message == WM_SETFOCUS_MESSAGE || message == WINDOW_ACTIVATED) {
        focusLost = false;
    } else if (message == WINDOW_DEACTIVATED) {
        deactivatedThisFrame = true;
    }
}

void BoardInput::restoreLook(Tile* tile) {
    LayoutRenderer* renderer = screen.getRenderer();
    Game* game = Game::current();
    const bool superHint = screen.getSuperHintTimeLeft() > 0 && game && game->isSuperHintTile(tile);
    if (SideBoard* sideBoard = sideBoardOf(tile)) {
        if (superHint) {
            sideBoard->addSuperHintTint(tile);
        } else {
            sideBoard->addPlainImage(tile);
        }
    } else if (renderer) {
        if (superHint) {
            renderer->addSuperHintTint(tile);
        } else {
            renderer->clearModifiers(tile);
        }
    }
}

void BoardInput::markHover(Tile* tile) {
    LayoutRenderer* renderer = screen.getRenderer();
    if (SideBoard* sideBoard = sideBoardOf(tile)) {
        if (!pulsesSelection(Game::currentLevelGameType())) {
            sideBoard->addHoverTint(tile);
        }
    } else if (renderer) {
        renderer->addHoverTint(tile);
    }
}

void BoardInput::updateHover(int32_t x, int32_t y) {
    LayoutRenderer* renderer = screen.getRenderer();
    Game* game = Game::current();
    if (!game || !renderer) {
        return;
    }
    Tile* tile = renderer->tileAtPoint(game->getLayout(), x, y);
    if (tile == hoveredTile.get()) {
        return;
    }
    if (hoveredTile && !game->isTileSelected(hoveredTile.get())) {
        restoreLook(hoveredTile.get());
    }
    if (tile && game->getLayout()->isTileFree(tile)) {
        hoveredTile = tile;
        if (!game->isTileSelected(tile)) {
            markHover(tile);
        }
    } else {
        hoveredTile = nullptr;
    }
    if (game->getSuperHintTiles().empty() || screen.getSuperHintTimeLeft() > 0) {
        clearHintPath(true);
    }
}

void BoardInput::clearHover() {
    Game* game = Game::current();
    if (hoveredTile && game && !game->isTileSelected(hoveredTile.get())) {
        restoreLook(hoveredTile.get());
    }
    hoveredTile = nullptr;
}

void BoardInput::deselectAll() {
    if (Game* game = Game::current()) {
        game->clearSelection();
        clearHover();
        game->clearSuperHintTiles();
    } else {
        hoveredTile = nullptr;
    }
    clearHintPath(true);
}

void BoardInput::reset() {
    hoveredTile = nullptr;
    clearHintPath(true);
}

void BoardInput::clearHintPath(bool resetHoverTime) {
    GameNode::releaseChildren(hintPathLayer.get());
    pathSegments.clear();
    if (resetHoverTime) {
        hoverTime = 0;
    }
}

void BoardInput::showTileSelected(Tile* tile) {
    LayoutRenderer* renderer = screen.getRenderer();
    SideBoard* sideBoard = sideBoardOf(tile);
    if (pulsesSelection(Game::currentLevelGameType())) {
        if (sideBoard) {
            sideBoard->addBlockedPulse(tile);
        } else if (renderer) {
            renderer->addBlockedPulse(tile);
        }
    } else if (sideBoard) {
        sideBoard->addSelectTint(tile);
    } else if (renderer) {
        renderer->addSelectTint(tile);
    }
}

void BoardInput::showTileBlocked(Tile* tile) {
    LayoutRenderer* renderer = screen.getRenderer();
    Game* game = Game::current();
    const bool darkens =
        game && game->getLevel() && game->getLevel()->getDarkenTiles().getInt() != 0;
    if (renderer && !darkens) {
        renderer->addBlockedPulse(tile);
    }
}

void BoardInput::removeTileEffect(Tile* tile) {
    if (tile && tile->getEffectNode()) {
        tile->getEffectNode()->setRemoved(true);
        tile->setEffectNode(nullptr);
    }
}

void BoardInput::markHintTile(Tile* tile) {
    LayoutRenderer* renderer = screen.getRenderer();
    if (!tile) {
        return;
    }
    if (SideBoard* sideBoard = sideBoardOf(tile)) {
        sideBoard->addHintPulse(tile);
    } else if (renderer) {
        renderer->addHintPulse(tile);
    }
}

void BoardInput::advanceHoverPath(int32_t elapsedMs) {
    Game* game = Game::current();
    if (Game::currentLevelGameType() != Game::TYPE_RIVER || !game) {
        return;
    }
    // A plain hint's marks hold the path back; a running super hint does not.
    if (!game->getSuperHintTiles().empty() && screen.getSuperHintTimeLeft() <= 0) {
        return;
    }
    if (!hoveredTile || game->getSelection().empty()) {
        hoverTime = 0;
        return;
    }
    Tile* first = game->getSelection().front().get();
    const int32_t appearDelay = tuning().PATH_APPEAR_DELAY;
    if (hoverTime >= appearDelay) {
        return;  // shown already
    }
    if (first != hoveredTile.get() && game->canMatch(first, hoveredTile.get())) {
        hoverTime = appearDelay;
    } else {
        hoverTime += elapsedMs;
    }
    if (hoverTime >= appearDelay) {
        showHintPath(first, hoveredTile.get());
    }
}

void BoardInput::fadeInPathPiece(Sprite* piece, int32_t delay) {
    piece->setAlpha(0);
    GameNode::addModifier(piece, new ModifierDelay(delay));
    GameNode::addModifier(piece, new ModifierAlpha(tuning().PATH_ANIM_FADE_TIME, 0, 255));
}

void BoardInput::showHintPath(Tile* from, Tile* to) {
    LayoutRenderer* renderer = screen.getRenderer();
    clearHintPath(false);
    Game* game = Game::current();
    if (!from || !to || from == to || from->getGridZ() != to->getGridZ() || !game || !renderer) {
        return;
    }
    TilePathFinder finder(*game->getLayout(), *from, *to);
    if (!finder.search() || finder.getPath().empty()) {
        return;
    }
    pathSegments = finder.getPath();
    const std::string prefix = game->canMatch(from, to) ? "" : "RED_";
    const int32_t z = from->getGridZ();
    const int32_t originX = renderer->gridToScreenX(z, 0);
    const int32_t originY = renderer->gridToScreenY(z, 0);
    for (PathSegment& segment : pathSegments) {
        segment.toScreen(originX, originY);
    }
    const float delayMul = tuning().PATH_ANIM_DELAY_MUL;
    const size_t n = pathSegments.size();
    float delay = 0.0f;
    Rect previous{};
    for (size_t i = 0; i <= n; ++i) {
        std::string key;
        int32_t x = 0;
        int32_t y = 0;
        if (i < n) {
            x = pathSegments[i].x1;
            y = pathSegments[i].y1;
        } else {
            x = pathSegments[n - 1].x2;
            y = pathSegments[n - 1].y2;
        }
        if (i == 0) {
            const PathSegment& s = pathSegments[0];
            key = s.dy < 0 ? "CAP_0" : s.dx > 0 ? "CAP_1" : s.dy > 0 ? "CAP_2" : "CAP_3";
        } else if (i == n) {
            const PathSegment& s = pathSegments[n - 1];
            key = s.dy > 0 ? "CAP_0" : s.dx < 0 ? "CAP_1" : s.dy < 0 ? "CAP_2" : "CAP_3";
        } else {
            const PathSegment& p = pathSegments[i - 1];
            const PathSegment& s = pathSegments[i];
            int32_t index = 0;
            if (s.dy == 0) {
                index = (s.dx < 0 ? 1 : 0) | (p.dy > 0 ? 2 : 0);
            } else {
                index = (p.dx > 0 ? 1 : 0) | (s.dy < 0 ? 2 : 0);
            }
            key = "CORNER_" + std::to_string(index);
        }
        RefHolder<Image> image = gameImage(prefix + key);
        const int32_t w = image ? image->getWidth() : 0;
        const int32_t h = image ? image->getHeight() : 0;
        const Rect rect{x - w / 2, y - h / 2, w, h};
        RefHolder<Sprite> piece(new Sprite(rect.x, rect.y, image.get()));
        GameNode::appendChild(piece.get(), hintPathLayer.get());
        if (i >= 1) {
            // The stretch from the previous piece, drawn over this one.
            const PathSegment& p = pathSegments[i - 1];
            addPathSegments(previous, rect, p.dy == 0, p.dx < 0 || p.dy < 0, prefix, delay);
        }
        delay += 10.0f * delayMul;
        fadeInPathPiece(piece.get(), static_cast<int32_t>(delay));
        delay += 10.0f * delayMul;
        previous = rect;
    }
}

void BoardInput::addPathSegments(const Rect& a, const Rect& b, bool horizontal, bool backwards,
                                 const std::string& prefix, float& delay) {
    const int32_t start =
        horizontal ? std::min(a.x + a.w, b.x + b.w) : std::min(a.y + a.h, b.y + b.h);
    const int32_t end = horizontal ? std::max(a.x, b.x) : std::max(a.y, b.y);
    const int32_t length = end - start;
    const int32_t thickness = horizontal ? a.h : a.w;
    if (length <= 0 || thickness <= 0) {
        return;
    }
    RefHolder<Image> image = gameImage(prefix + (horizontal ? "PATH_H" : "PATH_V"));
    const int32_t step = image ? (horizontal ? image->getWidth() : image->getHeight()) : 0;
    if (step <= 0) {
        return;
    }
    const float delayMul = tuning().PATH_ANIM_DELAY_MUL;
    const float span = static_cast<float>(length) * delayMul;
    for (int32_t offset = 0; start + offset < end; offset += step) {
        const float pieceDelay = backwards
                                     ? delay + span - static_cast<float>(offset + 1) * delayMul
                                     : delay + static_cast<float>(offset) * delayMul;
        const int32_t x = horizontal ? start + offset : a.x;
        const int32_t y = horizontal ? a.y : start + offset;
        RefHolder<Sprite> piece(new Sprite(x, y, image.get()));
        GameNode::appendChild(piece.get(), hintPathLayer.get());
        fadeInPathPiece(piece.get(), static_cast<int32_t>(pieceDelay));
    }
    delay += span;
}
