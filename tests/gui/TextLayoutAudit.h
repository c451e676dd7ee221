#pragma once

#include <cstdint>
#include <string>
#include <vector>

class GameNode;
class Image;
class ToolTip;

// What a player would see wrong with the texts of a shown node tree, laid out with their own
// fonts: a text line over a button or over a line of another text, a text line, a button or a
// dialog reaching past the screen, and a line cut off by its label's box or by the dialog that
// holds it. Hidden and removed nodes are skipped with their subtrees; a text drawn on its own
// button (a row of a list, a caption) is its button's business. Given the picture of the screen
// as drawn, a line whose ink the picture does not show (something drawn over it) is a finding
// too. The pictures of plain sprites count as well: a thin line drawn in one (a rule, a divider,
// a frame) through the letters of a text or through another picture that is not its backdrop,
// the edge of a picture at rest through letters that do not lie wholly on it, a dialog smaller
// than the screen that covers part of a picture drawn before it, and a picture at rest or the
// shown tooltip's box not whole on the screen. One sentence per finding, naming the
// nodes.
std::vector<std::string> auditTextLayout(GameNode* root, int32_t screenWidth, int32_t screenHeight,
                                         const Image* picture = nullptr,
                                         const ToolTip* toolTip = nullptr);
