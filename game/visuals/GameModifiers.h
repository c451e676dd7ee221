#pragma once

#include <climits>
#include <cstdint>

#include "framework/core/Modifier.h"
#include "framework/core/RefHolder.h"
#include "framework/nodes/ModifierFraction.h"
#include "framework/nodes/ModifierLocation.h"

class Image;
class Sprite;

// The game's own animation modifiers: thrown nodes, jitter, light sweeps, the high-score light
// bar and a deferred image change.

// Throws its target with a velocity under a constant pull, slowed by drag (per 50 ms unit).
class ModifierGravity : public ModifierLocation {
    QUOVEL_TYPE(ModifierGravity)
public:
    using ModifierLocation::ModifierLocation;
    void update(int32_t elapsedMs) override;

    float gx = 0.0f;
    float gy = 0.0f;
    float fx = 0.0f;
    float fy = 0.0f;
    float vx = 0.0f;
    float vy = 0.0f;
};

// Jitters its target around the position it had when attached, one jolt every random
// interval, and puts it back there when the time runs out.
class ModifierShake : public Modifier {
    QUOVEL_TYPE(ModifierShake)
public:
    ModifierShake(int32_t amplitudeX, int32_t amplitudeY, int32_t durationMs, bool positiveOnly,
                  int32_t leastInterval, int32_t greatestInterval);
    void update(int32_t elapsedMs) override;
    void setTarget(GameNode* node) override;

private:
    // A draw in [lo, hi); lo when the range is empty.
    static int32_t draw(int32_t lo, int32_t hi);

    int32_t amplitudeX;
    int32_t amplitudeY;
    int32_t remaining;
    int32_t countdown;
    int32_t restX = 0;
    int32_t restY = 0;
    int32_t leastInterval;
    int32_t greatestInterval;
    bool positiveOnly;
};

// Sweeps a light image across its target sprite's image from left to right over the duration,
// optionally limited by a mask. An additive shine gives the plain image back at the end; a
// plain one (a white glint cut to the sprite's outline) leaves the sprite without an image.
class ModifierShine : public ModifierFraction {
    QUOVEL_TYPE(ModifierShine)
public:
    ModifierShine(Image* shine, Image* mask, int32_t durationMs);
    ModifierShine(Image* shine, int32_t durationMs);
    ~ModifierShine() override;
    void update(int32_t elapsedMs) override;
    void finish() override;

    void setAdditive(bool value) { additive = value; }
    int32_t getLastOffset() const { return lastOffset; }

    // The greeting of something newly opened: the node's running modifiers go, then after half
    // a second three sweeps of the light through the mask, each half a second after the last.
    static void shineThreeTimes(GameNode* node, Image* shine, Image* mask);

private:
    void compose(int32_t offset);

    RefHolder<Image> shine;
    RefHolder<Image> mask;
    RefHolder<Image> plain;
    // The picture shown during the sweep, and where the light was last laid on it.
    RefHolder<Image> canvas;
    // The plain picture's content the canvas was copied from.
    uint64_t plainCopied = 0;
    int32_t litX = 0;
    int32_t litY = 0;
    Sprite* owner = nullptr;
    int32_t lastOffset = INT32_MIN;
    int32_t plainWidth = 0;
    bool additive = true;
};

// Runs a wave of light along a bar of 29 small additive lights, left to right, once every
// 1,160 ms.
class ModifierHighScoreBar : public ModifierFraction {
    QUOVEL_TYPE(ModifierHighScoreBar)
public:
    // A null bar or light image is taken from the "default" section.
    ModifierHighScoreBar(int32_t durationMs, GameNode* parent, Image* bar, Image* light);
    ~ModifierHighScoreBar() override;
    void update(int32_t elapsedMs) override;

    Sprite* getBar() const { return bar.get(); }

private:
    void buildLights();

    RefHolder<Image> lightImage;
    RefHolder<Image> barImage;
    RefHolder<Sprite> bar;
    int32_t rise = 20;
    int32_t fall = 720;
    int32_t hold = 200;
    int32_t spacing = 40;
    int32_t lightCount = 29;
    int32_t speedDivisor = 1;
    int32_t brightness = 80;
    int32_t firstLightX = 0;
    int32_t lightY = -12;
    int32_t lightPitch = 12;
};

// Gives its target sprite an image on its first update.
class ModifierSetImage : public Modifier {
    QUOVEL_TYPE(ModifierSetImage)
public:
    explicit ModifierSetImage(Image* image);
    ~ModifierSetImage() override;
    void update(int32_t elapsedMs) override;

private:
    RefHolder<Image> image;
};
