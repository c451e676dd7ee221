#include "game/rules/SideBoard.h"

#include <algorithm>
#include <string>

#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PictureChanges.h"
#include "framework/core/PropertyNode.h"
#include "framework/core/PropertyValue.h"
#include "framework/core/ScreenSize.h"
#include "framework/platform/Graphics.h"
#include "game/rules/ICurrentGame.h"
#include "game/rules/IGameScreen.h"
#include "game/rules/Tile.h"
#include "game/rules/TuningConstants.h"

QUOVEL_DEFINE_TYPE(SideBoard, &Sprite::typeRecord)
QUOVEL_REGISTER_CLASS(SideBoard)

namespace {

const char* const IMAGE_SECTION = "manual";

int32_t clampToInt32(int64_t value) {
    return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

}  // namespace

SideBoard::SideBoard(PropertyNode* definition) : Sprite(definition) {
    load(definition);
}

SideBoard::SideBoard(const SideBoard& other)
    : Sprite(other),
      columns(other.columns),
      rows(other.rows),
      slotOffsetX(other.slotOffsetX),
      slotOffsetY(other.slotOffsetY),
      slotPitchX(other.slotPitchX),
      slotPitchY(other.slotPitchY),
      capacity(other.capacity),
      tiles(other.tiles.size()),
      renderTiles(other.tiles.size()) {
    // The source's picture is its own: the copy draws into a picture of its own later.
    const int32_t width = getWidth();
    const int32_t height = getHeight();
    setImage(nullptr);
    setSize(width, height);
    for (int32_t column = 0; column < columns; ++column) {
        for (int32_t row = 0; row < rows; ++row) {
            if (const Tile* tile = other.getTileAt(column, row)) {
                placeTile(new Tile(*tile), column, row);
            }
        }
    }
    dirty = SCREEN_RECT;
}

SideBoard::~SideBoard() {
    clearAll();
}

void SideBoard::load(PropertyNode* node) {
    if (node->getChild("width") != nullptr) {
        setGridSize(node->getChildValue("width")->getInt(),
                    node->getChildValue("height")->getInt());
    }
    renderTiles.assign(tiles.size(), nullptr);
    ObjectFactoryContainer* factory = ObjectFactoryContainer::instance();
    PropertyVector* list = node->getChildVector("tiles");
    for (int32_t i = 0; i < list->getChildCount(); ++i) {
        RefHolder<BaseObject> made(factory->createObject(list->getChildAt(i)));
        if (Tile* tile = objectCast<Tile>(made.get())) {
            placeTile(tile, tile->getGridX(), tile->getGridY());
        }
    }
}

void SideBoard::save(PropertyNode* node) const {
    node->addChild(new PropertyValue("width", columns, true));
    node->addChild(new PropertyValue("height", rows, true));
    node->addChild(new PropertyValue("x", getX(), true));
    node->addChild(new PropertyValue("y", getY(), true));
    auto* list = new PropertyVector("tiles");
    node->addChild(list);
    for (int32_t column = 0; column < columns; ++column) {
        for (int32_t row = 0; row < rows; ++row) {
            if (const Tile* tile = getTileAt(column, row)) {
                auto* child = new PropertyNode("", "Tile");
                list->addChild(child);
                tile->save(child);
            }
        }
    }
}

void SideBoard::setGridSize(int32_t newColumns, int32_t newRows) {
    clearAll();
    columns = std::clamp(newColumns, 0, MAX_SLOTS_PER_SIDE);
    rows = std::clamp(newRows, 0, MAX_SLOTS_PER_SIDE);
    capacity = columns * rows;
    tiles.assign(capacity, nullptr);
    renderTiles.assign(capacity, nullptr);
}

bool SideBoard::placeTile(Tile* tile, int32_t column, int32_t row) {
    RefHolder<Tile> hold(tile);
    if (tile == nullptr || !hasSlot(column, row)) {
        return false;
    }
    removeTile(column, row);
    tiles[slotIndex(column, row)] = tile;
    tile->setGridPosition(column, row, 0);
    positionTile(tile);
    tile->setOnSideBoard(true);
    invalidateTileRect(column, row);
    makeRenderTile(column, row);
    return true;
}

void SideBoard::removeTile(int32_t column, int32_t row) {
    if (!hasSlot(column, row) || !tiles[slotIndex(column, row)]) {
        return;
    }
    invalidateTileRect(column, row);
    tiles[slotIndex(column, row)].reset();
    renderTiles[slotIndex(column, row)].reset();
}

void SideBoard::findFreeSlot(int32_t& column, int32_t& row) const {
    for (int32_t r = 0; r < rows; ++r) {
        for (int32_t c = 0; c < columns; ++c) {
            if (!tiles[slotIndex(c, r)]) {
                column = c;
                row = r;
                return;
            }
        }
    }
    column = -1;
    row = -1;
}

void SideBoard::fillFromGame() {
    ICurrentGame* game = getCurrentGame();
    if (game == nullptr) {
        return;
    }
    const int32_t freeSlots = capacity - getTileCount();
    for (int32_t i = 0; i < freeSlots; ++i) {
        RefHolder<Tile> tile(game->nextTile());
        if (!tile) {
            return;
        }
        int32_t column = -1;
        int32_t row = -1;
        findFreeSlot(column, row);
        placeTile(tile.get(), column, row);
    }
}

int32_t SideBoard::getTileCount() const {
    return static_cast<int32_t>(std::count_if(tiles.begin(), tiles.end(),
                                              [](const RefHolder<Tile>& t) { return bool(t); }));
}

void SideBoard::getTiles(std::vector<RefHolder<Tile>>& out) const {
    for (int32_t row = 0; row < rows; ++row) {
        for (int32_t column = 0; column < columns; ++column) {
            if (const RefHolder<Tile>& tile = tiles[slotIndex(column, row)]) {
                out.push_back(tile);
            }
        }
    }
}

Tile* SideBoard::getTileAt(int32_t column, int32_t row) const {
    return hasSlot(column, row) ? tiles[slotIndex(column, row)].get() : nullptr;
}

RenderTile* SideBoard::getRenderTileAt(int32_t column, int32_t row) const {
    return hasSlot(column, row) ? renderTiles[slotIndex(column, row)].get() : nullptr;
}

void SideBoard::clearAll() {
    for (RefHolder<Tile>& tile : tiles) {
        tile.reset();
    }
    for (RefHolder<RenderTile>& renderTile : renderTiles) {
        renderTile.reset();
    }
}

bool SideBoard::pointToSlot(int32_t& x, int32_t& y) const {
    const int64_t left = getAbsoluteX();
    const int64_t top = getAbsoluteY();
    if (x < left || y < top || slotPitchX <= 0 || slotPitchY <= 0) {
        return false;
    }
    const int64_t column = (x - left - slotOffsetX) / slotPitchX;
    const int64_t row = (y - top - slotOffsetY) / slotPitchY;
    x = clampToInt32(column);
    y = clampToInt32(row);
    return column >= 0 && column < columns && row >= 0 && row < rows;
}

void SideBoard::slotToPoint(int32_t& column, int32_t& row) const {
    column = clampToInt32(int64_t{getAbsoluteX()} + int64_t{column} * slotPitchX + slotOffsetX);
    row = clampToInt32(int64_t{getAbsoluteY()} + int64_t{row} * slotPitchY + slotOffsetY);
}

void SideBoard::invalidateAll() {
    dirty = Rect{0, 0, getWidth(), getHeight()};
    PictureChanges::mark();
}

void SideBoard::invalidateTileRect(int32_t column, int32_t row) {
    const TuningConstants& constants = tuning();
    const Rect slot{clampToInt32(int64_t{column} * slotPitchX + slotOffsetX),
                    clampToInt32(int64_t{row} * slotPitchY + slotOffsetY),
                    constants.RENDERER_TILE_SIDE_WIDTH + constants.RENDERER_TILE_FACE_WIDTH,
                    2 * constants.RENDERER_TILE_FACE_HEIGHT};
    dirty = dirty ? uniteRects(*dirty, slot) : slot;
    PictureChanges::mark();
}

RenderTile* SideBoard::renderTileOf(Tile* tile) const {
    if (tile == nullptr || getTileAt(tile->getGridX(), tile->getGridY()) != tile) {
        return nullptr;
    }
    return getRenderTileAt(tile->getGridX(), tile->getGridY());
}

void SideBoard::addLook(Tile* tile, const TileLook& look, bool replaceTop) {
    if (RenderTile* renderTile = renderTileOf(tile)) {
        if (replaceTop) {
            renderTile->replaceTopLook(look);
        } else {
            renderTile->addLook(look);
        }
        renderTile->requestRedraw();
    }
}

void SideBoard::addSelectTint(Tile* tile) {
    const TuningConstants& constants = tuning();
    addLook(tile, {TileLook::TINTED, constants.TILE_SELECT_COLOR, constants.TILE_SELECT_ALPHA, 0},
            false);
    if (renderTileOf(tile) != nullptr) {
        invalidateTileRect(tile->getGridX(), tile->getGridY());
    }
}

void SideBoard::addHoverTint(Tile* tile) {
    const TuningConstants& constants = tuning();
    addLook(tile, {TileLook::TINTED, constants.TILE_HOVER_COLOR, constants.TILE_HOVER_ALPHA, 0},
            true);
}

void SideBoard::addSuperHintTint(Tile* tile) {
    const TuningConstants& constants = tuning();
    addLook(tile,
            {TileLook::TINTED, constants.TILE_SUPER_HINT_COLOR, constants.TILE_SUPER_HINT_ALPHA, 0},
            false);
}

void SideBoard::addHintPulse(Tile* tile) {
    addLook(tile, {TileLook::HINT_PULSE, 0, 0, 0}, false);
}

void SideBoard::addBlockedPulse(Tile* tile) {
    addLook(tile, {TileLook::BLOCKED_PULSE, 0, 0, 0}, false);
}

void SideBoard::addPlainImage(Tile* tile) {
    addLook(tile, {TileLook::PLAIN, 0, 0, 0}, false);
}

void SideBoard::addFadeOut(Tile* tile) {
    addLook(tile, {TileLook::FADE_OUT, 0, 0, tuning().TILE_FADEOUT_TIME}, false);
}

void SideBoard::update(int32_t elapsedMs) {
    for (int32_t row = 0; row < rows; ++row) {
        for (int32_t column = 0; column < columns; ++column) {
            const size_t index = slotIndex(column, row);
            RefHolder<RenderTile> renderTile = renderTiles[index];
            if (!renderTile || renderTile->isOutOfGrid()) {
                continue;
            }
            renderTile->updateTopLook(elapsedMs);
            if (renderTile->takeRedrawRequest()) {
                invalidateTileRect(column, row);
            }
            if (renderTile->isOutOfGrid() && tiles[index]) {
                removeTile(column, row);
            }
        }
    }
}

void SideBoard::render(Graphics* graphics) {
    if (dirty) {
        prepareImage();
    }
    Sprite::render(graphics);
}

void SideBoard::rebuildRenderTiles() {
    renderTiles.assign(tiles.size(), nullptr);
    for (int32_t column = 0; column < columns; ++column) {
        for (int32_t row = 0; row < rows; ++row) {
            if (tiles[slotIndex(column, row)]) {
                makeRenderTile(column, row);
            }
        }
    }
}

void SideBoard::positionTile(Tile* tile) {
    const TuningConstants& constants = tuning();
    tile->setPosition(clampToInt32(int64_t{constants.SIDEBOARD_WIDTH_PER_TILE} * tile->getGridX() +
                                   constants.SIDEBOARD_PADDING_X + getAbsoluteX()),
                      clampToInt32(int64_t{constants.SIDEBOARD_HEIGHT_PER_TILE} * tile->getGridY() +
                                   constants.SIDEBOARD_PADDING_Y + getAbsoluteY()));
}

void SideBoard::makeRenderTile(int32_t column, int32_t row) {
    const Tile* tile = getTileAt(column, row);
    if (tile == nullptr) {
        return;
    }
    RefHolder<RenderTile> renderTile(getGameScreen().createRenderTile(
        column, row, 0, tile->getFaceOffsetX(), tile->getFaceOffsetY()));
    if (!renderTile) {
        return;
    }
    const bool flashes = isGameTypeOf(getCurrentGameType(), {TYPE_SPLIT, TYPE_SPEED});
    renderTile->addLook({flashes ? TileLook::FLASH : TileLook::PLAIN, 0, 0, 0});
    renderTiles[slotIndex(column, row)] = renderTile;
}

void SideBoard::loadImages() {
    IGameScreen& screen = getGameScreen();
    const TuningConstants& constants = tuning();
    const GameType type = getCurrentGameType();
    if (type == TYPE_FREECELL) {
        RefHolder<Image> slot = screen.findImage(IMAGE_SECTION, "SIDEBOARD_FREECELL_SLOT");
        if (slot == nullptr) {
            return;
        }
        const int32_t slotWidth = slot->getWidth();
        const int32_t slotHeight = slot->getHeight();
        RefHolder<Image> rack(Image::createImage(clampToInt32(int64_t{columns} * slotWidth),
                                                 clampToInt32(int64_t{rows} * slotHeight)));
        if (rack) {
            // A new image is already clear.
            RefHolder<Graphics> graphics(rack->createGraphics());
            for (int32_t row = 0; graphics && row < rows; ++row) {
                for (int32_t column = 0; column < columns; ++column) {
                    graphics->copyRectWhole(slot.get(), column * slotWidth, row * slotHeight);
                    graphics->blitChannelWhole(slot.get(), Channel::ALPHA, column * slotWidth,
                                               row * slotHeight);
                }
            }
        }
        backgroundImage = rack;
        slotOffsetX = constants.SIDEBOARD_FREECELL_PADDING_X;
        slotOffsetY = constants.SIDEBOARD_FREECELL_PADDING_Y;
        slotPitchX = slotWidth;
        slotPitchY = slotHeight;
    } else {
        const std::string name =
            "SIDEBOARD_" + std::to_string(columns) + "X" + std::to_string(rows);
        backgroundImage = screen.findImage(IMAGE_SECTION, name);
        slotOffsetX = constants.SIDEBOARD_PADDING_X;
        slotOffsetY = constants.SIDEBOARD_PADDING_Y;
        if (type == TYPE_SPEED) {
            slotOffsetX += constants.SIDEBOARD_SPEED_EXTRA_X;
            slotOffsetY += constants.SIDEBOARD_SPEED_EXTRA_Y;
        }
        slotPitchX = constants.RENDERER_TILE_FACE_WIDTH;
        slotPitchY = constants.RENDERER_TILE_FACE_HEIGHT;
    }
    if (backgroundImage) {
        setSize(backgroundImage->getWidth(), backgroundImage->getHeight());
    }
    invalidateAll();
}

void SideBoard::prepareImage() {
    IGameScreen& screen = getGameScreen();
    if (!screen.isBoardShown()) {
        return;
    }
    if (!backgroundImage) {
        loadImages();
    }
    const bool shadows = screen.drawsShadows();
    if (shadows && !shadowImage) {
        shadowImage = screen.getShadowImage();
    }
    const int32_t width = getWidth();
    const int32_t height = getHeight();
    Image* picture = getImage();
    if (picture == nullptr || picture->getWidth() != width || picture->getHeight() != height) {
        RefHolder<Image> own(Image::createImage(width, height));
        setImage(own.get());
        picture = getImage();
    }
    RefHolder<Graphics> graphics(picture != nullptr ? picture->createGraphics() : nullptr);
    if (graphics && dirty) {
        graphics->setClipRectR(*dirty);
        for (int32_t channel = Channel::ALPHA; channel <= Channel::BLUE; ++channel) {
            graphics->fillRectChannelR(channel, 0, *dirty);
        }
        if (backgroundImage) {
            graphics->copyRectWhole(backgroundImage.get(), 0, 0);
            graphics->blitChannelWhole(backgroundImage.get(), Channel::ALPHA, 0, 0);
        }
        const TuningConstants& constants = tuning();
        Image* symbols = screen.getShownSymbols();
        for (int32_t row = 0; row < rows; ++row) {
            for (int32_t column = 0; column < columns; ++column) {
                RenderTile* renderTile = renderTiles[slotIndex(column, row)].get();
                if (!tiles[slotIndex(column, row)] || renderTile == nullptr) {
                    continue;
                }
                const int32_t x = slotOffsetX + column * slotPitchX;
                const int32_t y = slotOffsetY + row * slotPitchY;
                Image* face = renderTile->getPicture();
                // Laid over the rack, not copied with its alpha: the tile's rounded corners and a
                // fading tile would otherwise punch holes through the rack to the screen behind.
                if (face != nullptr && constants.TILE_WIDTH > 0 && constants.TILE_HEIGHT > 0) {
                    graphics->blit(face, x, y, 0, 0, constants.TILE_WIDTH, constants.TILE_HEIGHT);
                    graphics->blitChannelMax(face, Channel::ALPHA, x, y, 0, 0, constants.TILE_WIDTH,
                                             constants.TILE_HEIGHT);
                }
                // The symbol over the (tinted) tile, fading with it, as on the board: a rack of
                // blank tiles would not tell the player which faces it offers.
                if (face != nullptr && symbols != nullptr) {
                    graphics->setAlpha(renderTile->getAlpha());
                    graphics->blit(symbols, x, y, renderTile->getFaceOffsetX(),
                                   renderTile->getFaceOffsetY(), constants.TILE_FACE_WIDTH,
                                   constants.TILE_FACE_HEIGHT);
                    graphics->setAlpha(255);
                }
                if (shadows && shadowImage) {
                    graphics->setAlpha(renderTile->getAlpha());
                    graphics->blit(shadowImage.get(), x, y, 0, 0,
                                   std::min(constants.TILE_FACE_WIDTH, shadowImage->getWidth()),
                                   std::min(constants.TILE_FACE_HEIGHT, shadowImage->getHeight()));
                    graphics->setAlpha(255);
                }
            }
        }
    }
    dirty.reset();
}
