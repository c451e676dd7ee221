#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/core/RefHolder.h"

class GameNode;
class Image;
class Scene;
class ToolTip;

// What a player would see wrong with the texts, pictures and widgets of a shown node tree, laid
// out with their own fonts: texts over buttons, other texts or pictures, a text line cut off by
// its box or its dialog, anything reaching past the screen, lines of pictures through letters,
// a button's caption against its rim, a picture or a button laid on a rivet of the panel below,
// and more, each told where it is checked. Hidden and removed nodes are skipped with their
// subtrees; a text drawn on its own button (a row of a list, a caption) is its button's
// business. Given the picture of the screen as drawn, letters it does not show are a finding;
// given the shown tooltip, where it lies; given the scene's background, its thin lines (a
// panel's rim) against the scene's widgets and pictures. One sentence per finding, naming the
// nodes.
std::vector<std::string> auditTextLayout(GameNode* root, int32_t screenWidth, int32_t screenHeight,
                                         const Image* picture = nullptr,
                                         const ToolTip* toolTip = nullptr,
                                         const Image* backdrop = nullptr);

// `root` (the scene's tree and background when null) as `picture` shows it, with the shown
// `toolTip`, expected without findings; `name` names it in the failure.
void expectClearLayout(Scene* scene, const std::string& name, const Image* picture,
                       GameNode* root = nullptr, const ToolTip* toolTip = nullptr);
// The scene drawn and written as `name`, expected to be written and laid out clear. The picture.
RefHolder<Image> expectClearPicture(Scene* scene, const std::string& name,
                                    GameNode* root = nullptr);
