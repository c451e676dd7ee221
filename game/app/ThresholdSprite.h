#pragma once

#include <climits>
#include <cstdint>

#include "framework/core/RefHolder.h"
#include "framework/nodes/ModifierFraction.h"
#include "framework/nodes/Sprite.h"

class Image;

// The game window's bytes per pixel, 4 without a window: the depth the splash's own images are
// made in.
int32_t windowPixelBytes();

// A sprite that shows its picture through a greyscale mask at a rising threshold: a pixel
// shows once the threshold has passed its mask value, so the picture is revealed in the order
// of the mask's values, lowest first, and mask value 255 never shows. The mask is read from its
// alpha (the alpha plane, or the alpha byte of 32-bit pixels) and must cover the picture.
class ThresholdSprite : public Sprite {
    QUOVEL_TYPE(ThresholdSprite)
public:
    ThresholdSprite(int32_t x, int32_t y);
    ~ThresholdSprite() override;

    // Makes the displayed image a work image of the picture's size at the window's depth and
    // sizes the sprite to it; the next render passes the whole picture through the mask again.
    void setImage(Image* picture) override;
    // The mask is referenced, the previous one released.
    void setMask(Image* image);
    // Stores the fraction (0 to 1) of the full threshold; the next render applies it.
    void setThresholdFraction(float value);

    // Rewrites the work image when the threshold changed, then draws as any sprite.
    void render(Graphics* graphics) override;

    float getThresholdFraction() const { return thresholdFraction; }
    Image* getMask() const { return mask.get(); }
    Image* getSource() const { return source.get(); }

private:
    // The threshold pass for 2 and 4 bytes per pixel; the three images are locked.
    void applyMask16(int32_t threshold);
    void applyMask32(int32_t threshold);
    // True when the mask's alpha covers every pixel of the source.
    bool maskCovers() const;

    int32_t lastThreshold = -1;
    float thresholdFraction = 0.0f;
    RefHolder<Image> mask;
    RefHolder<Image> source;
    bool thresholdDirty = false;
};

// Raises the threshold of its target ThresholdSprite linearly from 0 to the full threshold over
// its duration.
class ModifierTreshold : public ModifierFraction {
    QUOVEL_TYPE(ModifierTreshold)
public:
    explicit ModifierTreshold(int32_t duration);

    void update(int32_t elapsedMs) override;
};
