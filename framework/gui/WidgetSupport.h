#pragma once

#include <cstdint>
#include <string>

#include "framework/core/RefHolder.h"

class Image;
class PropertyNode;
class Sprite;

// What the clickable widgets share: the hit test of a framed sprite, the frames of their image
// strip and their sound playing.

// The point in window coordinates on the sprite's frame (its position, less the anchor offset,
// plus its ancestors' positions): with a hit mask, on a mask pixel more opaque than 128; else
// with a threshold of 0 or more, on a pixel of the sprite's own image (first frame) more
// opaque than the threshold; else anywhere in the frame.
bool widgetContainsPoint(Sprite& sprite, Image* hitMask, int32_t threshold, int32_t px, int32_t py);

// Plays the sound under the key of the section once, full volume, centred; an empty key or a
// missing sound plays nothing.
void playWidgetSound(const std::string& key, const std::string& section);

// The hit mask named by the definition's "hitmask" (an image key in its "section"); null when
// it names none or the image is not loaded.
RefHolder<Image> findHitMask(PropertyNode* node);

// A widget's hit test as its definition gives it: "hitmask" (an image key in "section") and
// "hitmaskthreshold" (-1, none, when missing).
struct WidgetHitTest {
    RefHolder<Image> mask;
    int32_t threshold = -1;

    void read(PropertyNode* node);
    // widgetContainsPoint with this mask and threshold.
    bool contains(Sprite& sprite, int32_t px, int32_t py) const;
};

// Shows frame `frame` of the sprite's strip, unless it shows it already.
void showWidgetFrame(Sprite& sprite, int32_t frame);
// Puts `image` on the sprite cut into `frameCount` stacked frames (frame 0 shown); false, with
// nothing done, when the sprite already has that image.
bool setWidgetStrip(Sprite& sprite, Image* image, int32_t frameCount);

// Stores the hover flag, raising or lowering the input handler's hover count when it changes.
void setWidgetHovered(bool& hovered, bool value);
// Stores the enabled flag; on a change the sprite shows frame `state` again (its setFrame picks
// the disabled frame), and a disabled widget stops counting as hovered.
void setWidgetEnabled(Sprite& sprite, bool& enabled, bool& hovered, int32_t state, bool value);
