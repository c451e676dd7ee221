#include "testsupport/rules/HeadlessGameScreen.h"

#include <algorithm>
#include <vector>

#include "game/rules/Layout.h"
#include "game/rules/SideBoard.h"
#include "game/rules/Tile.h"
#include "game/rules/TuningConstants.h"

QUOVEL_DEFINE_TYPE(HeadlessRenderTile, &RenderTile::typeRecord)
QUOVEL_DEFINE_TYPE(HeadlessGameScreen, &BaseObject::typeRecord, &IGameScreen::typeRecord)

namespace {

// The process-wide headless screen, made on first use and kept for the whole run.
IGameScreen& processHeadlessScreen() {
    static HeadlessGameScreen* screen = [] {
        auto* made = new HeadlessGameScreen();
        made->addRef();
        return made;
    }();
    return *screen;
}

}  // namespace

void installHeadlessGameScreen() {
    setFallbackGameScreen(&processHeadlessScreen);
}

void HeadlessRenderTile::addLook(const TileLook& look) {
    looks.push_back(look);
    topElapsed = 0;
    requestRedraw();
}

void HeadlessRenderTile::replaceTopLook(const TileLook& look) {
    if (!looks.empty()) {
        looks.pop_back();
    }
    addLook(look);
}

void HeadlessRenderTile::updateTopLook(int32_t elapsedMs) {
    if (looks.empty()) {
        return;
    }
    const TileLook& top = looks.back();
    if (top.kind == TileLook::FADE_OUT) {
        topElapsed = static_cast<int32_t>(
            std::min<int64_t>(int64_t{topElapsed} + std::max(elapsedMs, 0), INT32_MAX));
        if (topElapsed >= top.durationMs) {
            setOutOfGrid(true);
        }
        requestRedraw();
    } else if (top.kind != TileLook::PLAIN && top.kind != TileLook::TINTED) {
        requestRedraw();  // pulses and flashes change every frame
    }
}

HeadlessGameScreen::HeadlessGameScreen(int32_t cellWidth, int32_t cellHeight, int32_t originX,
                                       int32_t originY)
    : cellWidth(std::max(cellWidth, 1)),
      cellHeight(std::max(cellHeight, 1)),
      originX(originX),
      originY(originY),
      effectLayer(new GameNode("effects")) {}

void HeadlessGameScreen::tickEffects(int32_t elapsedMs) {
    RefHolder<GameNode> layer = effectLayer;
    GameNode::tickTree(layer.get(), elapsedMs);
    GameNode::purgeTree(layer.get());
}

Tile* HeadlessGameScreen::tileAtPoint(Layout* layout, int32_t x, int32_t y) {
    if (layout == nullptr) {
        return nullptr;
    }
    const int64_t dx = int64_t{x} - originX;
    const int64_t dy = int64_t{y} - originY;
    if (dx >= 0 && dy >= 0) {
        const int64_t column = dx / cellWidth;
        const int64_t row = dy / cellHeight;
        if (column < Layout::COLUMNS && row < Layout::ROWS) {
            for (int32_t z = Layout::LAYERS - 1; z >= 0; --z) {
                if (Tile* tile = layout->getTileAt(static_cast<int32_t>(column),
                                                   static_cast<int32_t>(row), z)) {
                    return tile;
                }
            }
        }
    }
    if (SideBoard* sideBoard = layout->getSideBoard()) {
        std::vector<RefHolder<Tile>> tiles;
        sideBoard->getTiles(tiles);
        const int32_t width = std::max(tuning().SIDEBOARD_WIDTH_PER_TILE, 1);
        const int32_t height = std::max(tuning().SIDEBOARD_HEIGHT_PER_TILE, 1);
        for (const RefHolder<Tile>& tile : tiles) {
            const int64_t left = tile->getX();
            const int64_t top = tile->getY();
            if (x >= left && x < left + width && y >= top && y < top + height) {
                return tile.get();
            }
        }
    }
    return nullptr;
}

RenderTile* HeadlessGameScreen::createRenderTile(int32_t column, int32_t row, int32_t layer,
                                                 int32_t faceOffsetX, int32_t faceOffsetY) {
    return new HeadlessRenderTile(column, row, layer, faceOffsetX, faceOffsetY);
}

void HeadlessGameScreen::addBonusPoints(int32_t points) {
    bonusPoints += points;
    chainCounter = std::min(chainCounter + 1, MAX_CHAIN_COUNTER);
}

RefHolder<Image> HeadlessGameScreen::findImage(const std::string& section,
                                               const std::string& name) {
    const auto found = images.find(section + "/" + name);
    return found != images.end() ? found->second : nullptr;
}

void HeadlessGameScreen::addImage(const std::string& section, const std::string& name,
                                  Image* image) {
    images[section + "/" + name] = image;
}
