#include "game/screen/TileModifiers.h"

#include <algorithm>

#include "framework/nodes/ResourceLookup.h"
#include "framework/platform/Graphics.h"
#include "game/rules/TuningConstants.h"

RefHolder<Image> blankTileImage() {
    return findOrLoad<Image>("TILE", "default");
}

namespace {

// A new copy of the blank tile, or null without one.
Image* copyOfTile() {
    return Image::copyImage(blankTileImage().get());
}

// The level moved by 4 x elapsed ms in either direction, kept within 32 bits.
int32_t stepLevel(int32_t level, int32_t elapsedMs, bool up) {
    const int64_t step = int64_t{4} * elapsedMs;
    const int64_t moved = up ? int64_t{level} + step : int64_t{level} - step;
    return static_cast<int32_t>(std::clamp<int64_t>(moved, INT32_MIN, INT32_MAX));
}

// One step of a pulse between two levels: it turns when it passes either bound and stops there.
// True when it turned at the lower bound.
bool swing(int32_t& level, bool& rising, int32_t elapsedMs, int32_t low, int32_t high) {
    level = stepLevel(level, elapsedMs, rising);
    if (rising && level > high) {
        level = high;
        rising = false;
    } else if (!rising && level < low) {
        level = low;
        rising = true;
        return true;
    }
    return false;
}

// The blank tile restored into the picture, then filled whole with the color at the alpha.
void paintTint(Image* picture, int32_t color, int32_t alpha) {
    RefHolder<Image> tile = blankTileImage();
    if (picture == nullptr || !tile) {
        return;
    }
    RefHolder<Graphics> graphics(picture->createGraphics());
    if (!graphics) {
        return;
    }
    graphics->copyRectWhole(tile.get(), 0, 0);
    graphics->setColor(static_cast<uint32_t>(color));
    graphics->setAlpha(alpha);
    graphics->fillRect(0, 0, picture->getWidth(), picture->getHeight());
}

}  // namespace

TileModifier* makeTileLook(RenderTile* renderTile, const TileLook& look) {
    switch (look.kind) {
        case TileLook::TINTED:
            return new TileImage(renderTile, look.color, look.alpha);
        case TileLook::FLASH:
            return new TileFlash(renderTile);
        case TileLook::HINT_PULSE:
            return new TileHintPulse(renderTile);
        case TileLook::BLOCKED_PULSE:
            return new TileBlockedPulse(renderTile);
        case TileLook::FADE_OUT:
            // Side-board tiles fade at once, as with a multiplier of 1.
            return new TileFadeOut(renderTile, 1, look.durationMs);
        case TileLook::PLAIN:
            break;
    }
    return new TileImage(renderTile);
}

TileImage::TileImage(RenderTile* renderTile) : TileModifier(renderTile) {
    picture = blankTileImage();
    renderTile->requestRedraw();
}

TileImage::TileImage(RenderTile* renderTile, int32_t color, int32_t alpha)
    : TileModifier(renderTile) {
    picture = copyOfTile();
    paintTint(picture.get(), color, alpha);
    renderTile->requestRedraw();
}

TileBlockedPulse::TileBlockedPulse(RenderTile* renderTile) : TileModifier(renderTile) {
    picture = copyOfTile();
    renderTile->requestRedraw();
}

void TileBlockedPulse::apply(int32_t elapsedMs) {
    const TuningConstants& constants = tuning();
    if (swing(level, rising, elapsedMs, constants.TILE_BLOCKED_MIN_ALPHA * 8,
              constants.TILE_BLOCKED_MAX_ALPHA * 8)) {
        ++bounces;
    }
    paintTint(picture.get(), constants.TILE_BLOCKED_COLOR, level >> 3);
    renderTile->requestRedraw();
    if (bounces >= 2) {
        renderTile->clearModifiers();
    }
}

TileHintPulse::TileHintPulse(RenderTile* renderTile) : TileModifier(renderTile) {
    picture = copyOfTile();
    renderTile->requestRedraw();
}

void TileHintPulse::apply(int32_t elapsedMs) {
    const TuningConstants& constants = tuning();
    swing(level, rising, elapsedMs, constants.TILE_HINT_MIN_ALPHA * 32,
          constants.TILE_HINT_MAX_ALPHA * 32);
    paintTint(picture.get(), constants.TILE_HINT_COLOR, level >> 5);
    renderTile->requestRedraw();
}

TileFlash::TileFlash(RenderTile* renderTile) : TileModifier(renderTile) {
    picture = copyOfTile();
    renderTile->requestRedraw();
}

void TileFlash::apply(int32_t elapsedMs) {
    const TuningConstants& constants = tuning();
    level = stepLevel(level, elapsedMs, rising);
    if (rising) {
        if (level >= constants.TILE_FLASH_MAX_ALPHA * 8) {
            level = constants.TILE_FLASH_MAX_ALPHA * 8;
            rising = false;
        }
    } else if (level <= 0) {
        renderTile->clearModifiers();
        return;
    }
    paintTint(picture.get(), constants.TILE_FLASH_COLOR, level >> 3);
    renderTile->requestRedraw();
}

TileDarken::TileDarken(RenderTile* renderTile) : TileModifier(renderTile) {
    picture = copyOfTile();
    renderTile->requestRedraw();
}

void TileDarken::apply(int32_t elapsedMs) {
    const TuningConstants& constants = tuning();
    level = stepLevel(level, elapsedMs, true);
    if (level >= constants.TILE_DARKEN_ALPHA * 16) {
        renderTile->addModifier(
            new TileImage(renderTile, constants.TILE_DARKEN_COLOR, constants.TILE_DARKEN_ALPHA));
        return;
    }
    paintTint(picture.get(), constants.TILE_DARKEN_COLOR, level >> 4);
    renderTile->requestRedraw();
}

TileUndarken::TileUndarken(RenderTile* renderTile)
    : TileModifier(renderTile), level(tuning().TILE_DARKEN_ALPHA * 8) {
    picture = copyOfTile();
    paintTint(picture.get(), tuning().TILE_DARKEN_COLOR, tuning().TILE_DARKEN_ALPHA);
    renderTile->requestRedraw();
}

void TileUndarken::apply(int32_t elapsedMs) {
    level = stepLevel(level, elapsedMs, false);
    if (level <= 0) {
        renderTile->addModifier(new TileImage(renderTile));
        return;
    }
    paintTint(picture.get(), tuning().TILE_DARKEN_COLOR, level >> 3);
    renderTile->requestRedraw();
}

TileFadeOut::TileFadeOut(RenderTile* renderTile, int32_t multiplier, int32_t fadeTimeMs)
    : TileModifier(renderTile),
      delay(multiplier >= 1 && multiplier <= 3 ? 0 : DELAY_MS),
      total(fadeTimeMs),
      remaining(fadeTimeMs) {
    picture = copyOfTile();
    renderTile->requestRedraw();
    renderTile->setLocked(true);
    renderTile->setSeeThrough(true);
}

int32_t TileFadeOut::getSymbolAlpha() const {
    // A fade time of 0 or less has nothing left to show (and must not be divided by).
    if (total <= 0) {
        return 0;
    }
    return static_cast<int32_t>(int64_t{remaining} * 255 / total);
}

void TileFadeOut::apply(int32_t elapsedMs) {
    if (delay > 0) {
        delay -= elapsedMs;  // the excess of the last step is not carried over
        return;
    }
    remaining = std::max(0, remaining - std::max(elapsedMs, 0));
    const int32_t alpha = getSymbolAlpha();
    if (alpha <= 0) {
        finish();
        return;
    }
    RefHolder<Image> tile = blankTileImage();
    RefHolder<Graphics> graphics(picture ? picture->createGraphics() : nullptr);
    if (graphics && tile) {
        graphics->copyRectWhole(tile.get(), 0, 0);
        graphics->fillChannel(Channel::ALPHA, alpha);
        // The tile's own transparent corners stay transparent.
        graphics->blitChannelMinWhole(tile.get(), Channel::ALPHA, 0, 0);
    }
    renderTile->requestRedraw();
}

void TileFadeOut::finish() {
    renderTile->setLocked(false);
    renderTile->setSeeThrough(false);
    renderTile->setOutOfGrid(true);
    renderTile->clearModifiers();
}
