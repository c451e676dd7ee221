#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/core/Rect.h"

class GameNode;
class Sprite;

// Free helpers shared by the game screen, the building's scenes and the game dialogs.

// Changes the sprite's anchor type (Sprite::AnchorType) without moving its picture on screen.
void setSpriteAnchor(Sprite* sprite, int32_t anchorType);
// Moves the node under newParent (as its last child) without moving it on screen.
void setPositionRelativeTo(GameNode* node, GameNode* newParent);
// The key of a high-score table: "mixed_c" for mixed levels, else "a_b_c".
void makeLevelKey(bool mixed, std::string& out, int32_t a, int32_t b, int32_t c);
// Covers the union of the rectangles in `in` by rectangles that do not overlap, band by band
// from the top, each band's runs from the left; replaces `out`.
void decomposeRectUnion(std::vector<Rect>& out, const std::vector<Rect>& in);
