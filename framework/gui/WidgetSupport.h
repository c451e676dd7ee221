#pragma once

#include <cstdint>
#include <string>

#include "framework/core/RefHolder.h"

class Image;
class PropertyNode;
class Sprite;

// What the clickable widgets share: the hit test of a framed sprite and their sound playing.

// The point in window coordinates on the sprite's frame (its position, less the anchor offset,
// plus its ancestors' positions): with a hit mask, on a mask pixel more opaque than 128; else
// with a threshold of 0 or more, on a pixel of the sprite's own image (first frame) more
// opaque than the threshold; else anywhere in the frame.
bool widgetContainsPoint(Sprite& sprite, Image* hitMask, int32_t threshold, int32_t px,
                         int32_t py);

// Plays the sound under the key of the section once, full volume, centred; an empty key or a
// missing sound plays nothing.
void playWidgetSound(const std::string& key, const std::string& section);

// The hit mask named by the definition's "hitmask" (an image key in its "section"); null when
// it names none or the image is not loaded.
RefHolder<Image> findHitMask(PropertyNode* node);

// Stores the hover flag, raising or lowering the input handler's hover count when it changes.
void setWidgetHovered(bool& hovered, bool value);
