#pragma once

#include <cstdint>
#include <string>

class BaseObject;
class Dialog;
class GameNode;
class ITileBoard;
class Image;
class Layout;
class Modifier;
class Sprite;
class Tile;

// Effects made of sprites and modifiers that the game screen, its dialogs and the building's
// scenes share: tile pictures, the shine on removed tiles, bursts of stars flying along curved
// paths, and the pop-in of a sprite. They keep nothing; what they make belongs to the scene
// graph and goes away by its modifiers or with its parent.

// A sprite of a tile's face at the tile's place on the board (or its side-board slot), centred
// on the face: the symbol itself, or its silhouette in `colour`; additive when asked.
Sprite* createTileFaceSprite(const ITileBoard& board, Layout* layout, Tile* tile, bool silhouette,
                             uint32_t colour, bool additive);
// A whole tile with the symbol of that suit and value, at (0, 0).
Sprite* createTilePictureSprite(const ITileBoard& board, int32_t suit, int32_t value);
// The shine over a removed tile when the multiplier is above 3, with stars from 7 up; its
// modifiers go into `container` (the current scene's animation tree when null).
void showTileFaceShine(GameNode* parent, const ITileBoard& board, Layout* layout, Tile* tile,
                       int32_t multiplier, Modifier* container = nullptr);

// `count` stars of `image` that fly out of the node's middle along curved paths and fade,
// drawn over the node (placement) or under it.
void flyStarAlongPath(GameNode* node, int32_t count, Image* image, int32_t radius, int32_t alpha,
                      int32_t extraDelay, bool placement, int32_t duration);

namespace Effects {
// Callbacks of function-call modifiers: the sender is the modifier.
// The stars of a cleared floor: more and wider for a higher tag of the modifier's target.
int32_t bonusStar(BaseObject* sender);
int32_t bonusBarStars(BaseObject* sender);
int32_t floaterStars(BaseObject* sender);
}  // namespace Effects

// Raises the alpha of the dialog's buffer under the sprite to the sprite image's alpha.
void stampSpriteAlpha(Dialog* dialog, Sprite* sprite);

// Shows the sprite, scales it up from nothing, then wobbles it five times by `angle`; the
// sound, when given, starts with the wobble.
void addPopInModifiers(Sprite* sprite, Modifier* container, int32_t scaleTime, int32_t rotationTime,
                       float angle, Modifier* sound = nullptr);
