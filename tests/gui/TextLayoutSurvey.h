#pragma once

#include <cstddef>
#include <cstdint>
#include <ranges>
#include <string>
#include <utility>
#include <vector>

#include "framework/core/Rect.h"
#include "testsupport/platform/PixelAccess.h"

class GameNode;
class Image;
class Label;
class Sprite;

// The survey of a shown node tree that auditTextLayout makes, with the findings of each node on
// its own (TextLayoutFit.cpp), before those between the nodes it found (TextLayoutAudit.cpp).
namespace text_layout_survey {

using testpixels::alphaAt;
using testpixels::colorAt;

// The pixels of the rectangle, row by row, as (x, y).
inline auto pixelsOf(const Rect& r) {
    return std::views::iota(int64_t{0}, r.isEmpty() ? 0 : int64_t{r.w} * r.h) |
           std::views::transform([r](int64_t i) {
               return std::pair{static_cast<int32_t>(r.x + i % r.w),
                                static_cast<int32_t>(r.y + i / r.w)};
           });
}

struct AuditedLine {
    Label* label = nullptr;
    size_t index = 0;
    Rect box;
    GameNode* button = nullptr;  // the button the text is drawn on, if any
    Rect block;                  // all the lines of the label
    Rect ink;                    // where the line's letters are, when the label has a picture
    size_t order = 0;            // of drawing, among the audited nodes
    GameNode* dialog = nullptr;  // the nearest dialog holding the label
    bool inkHidden = false;      // the picture does not show the letters as the label drew them
};

struct AuditedBox {
    GameNode* node = nullptr;
    Rect box;
    size_t order = 0;  // of drawing
};

// A thin line drawn in a picture, one to three pixels thick, on the screen.
struct AuditedRule {
    Rect box;
    bool horizontal = true;
};

// A plain sprite's picture on the screen: its box and where it is opaque, its lines and, drawn
// unstretched, its image and the part of it shown. A frame is open in its middle around what it
// marks. For a button, only its box, where it is opaque (its box when it draws no picture), whether
// it moves, its order and its dialog are given.
struct AuditedPicture {
    Sprite* sprite = nullptr;
    Rect box{}, opaque{}, source{};
    const Image* image = nullptr;
    bool moving = false, frame = false, slidAside = false;
    size_t order = 0;
    GameNode* dialog = nullptr;
    std::vector<AuditedRule> rules{};
    // A picture that is a line itself, as its lines are found: lines crossing it make a grid.
    bool thin() const { return opaque.w <= 3 || opaque.h <= 3; }
};

struct LayoutSurvey {
    Rect screen;
    const Image* picture = nullptr;
    std::vector<AuditedLine> lines;
    std::vector<AuditedPicture> buttons;
    std::vector<AuditedPicture> pictures;
    std::vector<AuditedBox> dialogs;
    std::vector<AuditedRule> backdropRules;  // the lines of the scene's background
    std::vector<std::string> problems;
    size_t order = 0;
};

// A finding told by its parts, a blank between each two.
template <typename... Parts>
void note(LayoutSurvey& survey, const std::string& first, const Parts&... rest) {
    survey.problems.push_back((first + ... + (" " + std::string(rest))));
}

// TextLayoutFit.cpp tells what each of these gives.
Rect auditedBoxOf(const Sprite* sprite);
int32_t auditedColorDistance(uint32_t a, uint32_t b);
std::vector<Rect> auditedRules(const Image* image, const Rect& source);
bool auditedIsButton(GameNode* node);
std::string auditedName(GameNode* node);
void auditOnScreen(LayoutSurvey& survey, const std::string& what, const Rect& box);
std::string auditedPictureName(const AuditedPicture& p);
std::string auditedLineName(const AuditedLine& line);
bool auditedMoving(GameNode* node);
void surveyNode(LayoutSurvey& survey, GameNode* node, const Rect* dialogBox, GameNode* button);

}  // namespace text_layout_survey
