#pragma once

#include <cstdint>

#include "game/rules/RenderTile.h"

// The tile effects. Each takes its render tile and sets its dirty flag; the animated ones own a
// copy of the blank tile "TILE" and repaint it in place each frame. Levels are integers scaled
// by 8, 16 or 32 so that 4 x elapsed ms per frame gives their rates without fractions. Colors
// and alphas come from the tuning constants.

// The blank tile "TILE" of section "default", or null: the board draws it and the effects copy it.
RefHolder<Image> blankTileImage();

// The effect that draws a look: the render tiles' look maker.
TileModifier* makeTileLook(RenderTile* renderTile, const TileLook& look);

// A still picture: the blank tile itself, or a copy tinted once with a color at an alpha.
class TileImage : public TileModifier {
public:
    explicit TileImage(RenderTile* renderTile);
    TileImage(RenderTile* renderTile, int32_t color, int32_t alpha);
    bool isStill() const override { return true; }
};

// A blocked tile's pulse: up to the maximum alpha, down to the minimum, twice, then plain.
class TileBlockedPulse : public TileModifier {
public:
    explicit TileBlockedPulse(RenderTile* renderTile);
    void apply(int32_t elapsedMs) override;

private:
    int32_t level = 0;  // alpha x 8
    int32_t bounces = 0;
    bool rising = true;
};

// A hinted tile's pulse between two alphas, until another effect replaces it.
class TileHintPulse : public TileModifier {
public:
    explicit TileHintPulse(RenderTile* renderTile);
    void apply(int32_t elapsedMs) override;

private:
    int32_t level = 0;  // alpha x 32
    bool rising = true;
};

// One flash up to the maximum alpha and back, then plain.
class TileFlash : public TileModifier {
public:
    explicit TileFlash(RenderTile* renderTile);
    void apply(int32_t elapsedMs) override;

private:
    int32_t level = 0;  // alpha x 8
    bool rising = true;
};

// A tile becoming blocked darkens, then stays darkened as a tinted picture.
class TileDarken : public TileModifier {
public:
    explicit TileDarken(RenderTile* renderTile);
    void apply(int32_t elapsedMs) override;

private:
    int32_t level = 0;  // alpha x 16
};

// A darkened tile becoming free brightens twice as fast, then is plain.
class TileUndarken : public TileModifier {
public:
    explicit TileUndarken(RenderTile* renderTile);
    void apply(int32_t elapsedMs) override;

private:
    int32_t level;  // alpha x 8
};

// A removed tile fades out, symbol with it, after a delay unless the multiplier is 1 to 3; the
// render tile is locked and see-through meanwhile and leaves the grid at the end.
class TileFadeOut : public TileModifier {
public:
    static constexpr int32_t DELAY_MS = 450;

    TileFadeOut(RenderTile* renderTile, int32_t multiplier, int32_t fadeTimeMs);
    int32_t getSymbolAlpha() const override;
    void apply(int32_t elapsedMs) override;

private:
    // Ends the fade: the tile leaves the grid with a plain picture.
    void finish();

    int32_t delay;
    int32_t total;
    int32_t remaining;
};
