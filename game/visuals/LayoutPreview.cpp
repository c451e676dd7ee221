#include "game/visuals/LayoutPreview.h"

#include <algorithm>
#include <string>

#include "framework/nodes/ResourceLookup.h"
#include "framework/platform/Graphics.h"
#include "framework/platform/Image.h"
#include "framework/platform/ResourceManager.h"
#include "game/rules/Layout.h"
#include "game/rules/Tile.h"
#include "game/rules/TuningConstants.h"
#include "game/visuals/ImageEffects.h"

namespace {

constexpr int32_t LAYERS = 7;
constexpr int32_t ROWS = 21;
constexpr int32_t COLUMNS = 41;

}  // namespace

LayoutPreview::LayoutPreview() {
    ResourceManager* manager = ResourceManager::getInstance();
    if (!manager) {
        return;
    }
    tileImage = findOrLoad<Image>("TILE_PREVIEW", "manual");
    for (int32_t index = 0; index < GAME_TYPE_COUNT; ++index) {
        backgrounds[static_cast<size_t>(index)] =
            findOrLoad<Image>(backgroundKey(static_cast<GameType>(index)), "manual");
    }
    manager->unloadSection("manual");
}

std::string LayoutPreview::backgroundKey(GameType gameType) {
    return "PREVIEWBACKGROUND" + std::to_string(gameType + 1);
}

void LayoutPreview::clear() {
    tileImage = nullptr;
    picture = nullptr;
    for (RefHolder<Image>& background : backgrounds) {
        background = nullptr;
    }
}

void LayoutPreview::build(Layout* shown, int32_t index) {
    picture = nullptr;
    layout = shown;
    const TuningConstants& constants = tuning();
    RefHolder<Image> image(Image::createImage(constants.PREVIEW_WIDTH, constants.PREVIEW_HEIGHT));
    RefHolder<Graphics> graphics(image ? image->createGraphics() : nullptr);
    if (!graphics) {
        return;
    }
    clearToTransparentWhite(*graphics);
    if (index >= 0 && index < GAME_TYPE_COUNT) {
        if (Image* background = backgrounds[static_cast<size_t>(index)].get()) {
            graphics->blitWhole(background, 0, 0);
            graphics->blitChannelMaxWhole(background, Channel::ALPHA, 0, 0);
        }
    }
    if (shown && tileImage) {
        const int32_t hw = constants.PREVIEW_TILE_FACE_WIDTH / 2;
        const int32_t hh = constants.PREVIEW_TILE_FACE_HEIGHT / 2;
        // Centred on the occupied cells: empty columns and rows before the first tile would
        // otherwise push the miniature right and down.
        int32_t left = COLUMNS;
        int32_t top = ROWS;
        int32_t right = 0;
        int32_t bottom = 0;
        for (int32_t z = 0; z < LAYERS; ++z) {
            for (int32_t y = 0; y < ROWS; ++y) {
                for (int32_t x = 0; x < COLUMNS; ++x) {
                    if (shown->getTileAt(x, y, z)) {
                        left = std::min(left, x);
                        top = std::min(top, y);
                        right = std::max(right, x + 1);
                        bottom = std::max(bottom, y + 1);
                    }
                }
            }
        }
        const int32_t ox = (image->getWidth() - (right - left) * hw) / 2 - left * hw;
        const int32_t oy = (image->getHeight() - (bottom - top) * hh) / 2 - top * hh;
        for (int32_t z = 0; z < LAYERS; ++z) {
            for (int32_t y = 0; y < ROWS; ++y) {
                for (int32_t x = 0; x < COLUMNS; ++x) {
                    const Tile* tile = shown->getTileAt(x, y, z);
                    if (!tile) {
                        continue;
                    }
                    const int32_t dx = hw * x + ox + constants.PREVIEW_LAYER_OFFSETX * z;
                    const int32_t dy = hh * y + oy + constants.PREVIEW_LAYER_OFFSETY * z;
                    const int32_t sx = (x - tile->getGridX()) * hw;
                    const int32_t sy = (y - tile->getGridY()) * hh;
                    graphics->blit(tileImage.get(), dx, dy, sx, sy, hw, hh);
                    graphics->blitChannelMax(tileImage.get(), Channel::ALPHA, dx, dy, sx, sy, hw,
                                             hh);
                }
            }
        }
    }
    picture = image;
}
