#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/core/RefHolder.h"

class GameNode;
class Image;
class Scene;
class ToolTip;

// What a player would see wrong with the texts of a shown node tree, laid out with their own
// fonts: a text line over a button or over a line of another text, a text line, a button or a
// dialog reaching past the screen, and a line cut off by its label's box or by the dialog that
// holds it. Hidden and removed nodes are skipped with their subtrees; a text drawn on its own
// button (a row of a list, a caption) is its button's business. Given the picture of the screen
// as drawn, a line whose ink the picture does not show (something drawn over it) is a finding
// too, as are a line drawn in a plain sprite's picture through letters or another picture
// not its backdrop, a picture's edge through letters not wholly on it, a dialog covering part of
// a picture drawn before it, and a picture at rest or the shown tooltip not whole on the
// screen. A picture drawn over letters is a finding whatever the picture shows, as is a text
// in a dialog of pictures laid on a see-through one, a scene's widget (a frame button) on the
// edge of a dialog, and the shown tooltip over the middle of what it tells about. Given the
// scene's background, its thin lines (a panel's rim) keep clear of the scene's widgets' edges,
// and a picture that a text lies on hides no corner of its rims. One sentence per finding,
// naming the nodes.
std::vector<std::string> auditTextLayout(GameNode* root, int32_t screenWidth, int32_t screenHeight,
                                         const Image* picture = nullptr,
                                         const ToolTip* toolTip = nullptr,
                                         const Image* backdrop = nullptr);

// The scene drawn and written as `name`, expected to be written and, from `root` (the scene's
// tree and background when null), without findings. The picture.
RefHolder<Image> expectClearPicture(Scene* scene, const std::string& name,
                                    GameNode* root = nullptr);
