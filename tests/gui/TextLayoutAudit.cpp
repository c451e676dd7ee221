#include "gui/TextLayoutAudit.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "framework/core/Rect.h"
#include "framework/gui/Button.h"
#include "framework/gui/Dialog.h"
#include "framework/gui/Label.h"
#include "framework/gui/Panel.h"
#include "framework/gui/Switch.h"
#include "framework/gui/ToolTip.h"
#include "framework/nodes/ModifierLocation.h"
#include "framework/os/Utf8.h"
#include "framework/platform/Font.h"
#include "framework/platform/Image.h"
#include "testsupport/platform/PixelAccess.h"

namespace {

struct AuditedLine {
    Label* label = nullptr;
    size_t index = 0;
    Rect box;
    GameNode* button = nullptr;  // the button the text is drawn on, if any
    Rect block;                  // all the lines of the label
    Rect ink;                    // where the line's letters are, when the label has a picture
    size_t order = 0;            // of drawing, among the audited nodes
    GameNode* dialog = nullptr;  // the nearest dialog holding the label
};

struct AuditedBox {
    GameNode* node = nullptr;
    Rect box;
    GameNode* dialog = nullptr;
};

// A picture of a plain sprite: where it is opaque on the screen, and whether it is moving.
struct AuditedPicture {
    Sprite* sprite = nullptr;
    Rect box;
    Rect opaque;
    bool moving = false;
    // A picture that is a line itself, as its lines are found: lines crossing it make a grid.
    bool thin() const { return opaque.w <= 3 || opaque.h <= 3; }
    // A frame, open in its middle around what it marks, shows what lies beneath it there.
    bool frame = false;
    // The image drawn unstretched, and the part of it shown; none for a stretched picture.
    const Image* image = nullptr;
    Rect source;
    size_t order = 0;            // of drawing, among the audited nodes
    GameNode* dialog = nullptr;  // the nearest dialog holding the sprite
};

// A thin line drawn in a picture, one to three pixels thick, on the screen.
struct AuditedRule {
    size_t picture = 0;  // the index of the picture it is drawn in
    Rect box;
    bool horizontal = true;
};

// A dialog smaller than the screen, and how many pictures were drawn before it.
struct AuditedDialog {
    Sprite* dialog = nullptr;
    Rect box;
    size_t picturesBefore = 0;
};

struct LayoutSurvey {
    int32_t screenWidth = 0;
    int32_t screenHeight = 0;
    const Image* picture = nullptr;
    std::vector<AuditedLine> lines;
    std::vector<AuditedBox> buttons;
    std::vector<AuditedPicture> pictures;
    std::vector<AuditedRule> rules;
    std::vector<AuditedDialog> dialogs;
    std::vector<std::string> problems;
    size_t order = 0;
};

Rect auditedBoxOf(const Sprite* sprite) {
    return Rect{sprite->getAbsoluteX() - static_cast<int32_t>(sprite->getAnchor().x),
                sprite->getAbsoluteY() - static_cast<int32_t>(sprite->getAnchor().y),
                sprite->getWidth(), sprite->getHeight()};
}

// A pixel's alpha at either depth; a 16-bit picture without an alpha plane is opaque.
uint8_t auditedAlpha(const Image* image, int32_t x, int32_t y) {
    if (image->getBytesPerPixel() == 4) {
        return image->getPixels()[y * image->getPitch() + x * 4 + 3];
    }
    return image->getAlphaPlane() ? image->getAlphaPlane()[y * image->getWidth() + x] : 255;
}

// The largest difference of the two colours in one channel.
int32_t auditedColorDistance(uint32_t a, uint32_t b) {
    int32_t distance = 0;
    for (int32_t shift = 0; shift < 24; shift += 8) {
        distance = std::max(distance, std::abs(static_cast<int32_t>((a >> shift) & 0xFF) -
                                               static_cast<int32_t>((b >> shift) & 0xFF)));
    }
    return distance;
}

// Colours that differ by at most 8 levels a channel, as blending and depth leave them.
bool auditedSameColor(uint32_t a, uint32_t b) {
    return auditedColorDistance(a, b) <= 8;
}

// How many fully inked pixels of the line's rows of the label's image the picture does not show
// as the label drew them: covered by something drawn later, or beyond the picture.
int32_t auditedHiddenInk(const Image* picture, const Image* image, int32_t left, int32_t top,
                         int32_t fromRow, int32_t toRow) {
    int32_t hidden = 0;
    for (int32_t y = std::max(fromRow, 0); y < std::min(toRow, image->getHeight()); ++y) {
        for (int32_t x = 0; x < image->getWidth(); ++x) {
            if (auditedAlpha(image, x, y) < 255) {
                continue;
            }
            // A centred label may land half a pixel off its measured place: a neighbour counts.
            bool shown = false;
            for (int32_t dy = -1; dy <= 1 && !shown; ++dy) {
                for (int32_t dx = -1; dx <= 1 && !shown; ++dx) {
                    const int32_t px = left + x + dx;
                    const int32_t py = top + y + dy;
                    shown = px >= 0 && py >= 0 && px < picture->getWidth() &&
                            py < picture->getHeight() &&
                            auditedSameColor(testpixels::colorAt(picture, px, py),
                                             testpixels::colorAt(image, x, y));
                }
            }
            hidden += shown ? 0 : 1;
        }
    }
    return hidden;
}

// The part of the image the sprite shows: its source rectangle, or the whole image.
Rect auditedSource(const Sprite* sprite, const Image* image) {
    const std::optional<Rect>& source = sprite->getSourceRect();
    const Rect whole{0, 0, image->getWidth(), image->getHeight()};
    return source ? intersectRects(*source, whole) : whole;
}

// Where the shown part of the image is at least half opaque, relative to that part.
Rect auditedOpaque(const Image* image, const Rect& source) {
    int32_t left = source.w, top = source.h, right = -1, bottom = -1;
    for (int32_t y = 0; y < source.h; ++y) {
        for (int32_t x = 0; x < source.w; ++x) {
            if (auditedAlpha(image, source.x + x, source.y + y) >= 128) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    return right < 0 ? Rect{} : Rect{left, top, right - left + 1, bottom - top + 1};
}

// Whether the picture is drawn opaque anywhere in the rectangle (a stretched one: anywhere in
// its box).
bool auditedOpaqueWithin(const AuditedPicture& p, const Rect& rect) {
    const Rect common = intersectRects(p.opaque, rect);
    for (int32_t y = common.y; p.image && y < common.y + common.h; ++y) {
        for (int32_t x = common.x; x < common.x + common.w; ++x) {
            if (auditedAlpha(p.image, p.source.x + x - p.box.x, p.source.y + y - p.box.y) >= 128) {
                return true;
            }
        }
    }
    return !p.image && !common.isEmpty();
}

// A pixel that is not opaque, or lies outside the shown part, or differs from the colour by
// more than 12 levels in a channel: what makes a line stand out from what lies beside it.
bool auditedStandsOut(const Image* image, const Rect& source, int32_t x, int32_t y, uint32_t c) {
    return x < 0 || y < 0 || x >= source.w || y >= source.h ||
           auditedAlpha(image, source.x + x, source.y + y) < 128 ||
           auditedColorDistance(testpixels::colorAt(image, source.x + x, source.y + y), c) > 12;
}

// The thin straight lines in the shown part of the image, as rectangles relative to it: runs
// of at least 32 pixels of one colour, one to three pixels thick, that stand out from the
// pixels on both sides (a rule, a divider, a frame's stroke; not the edge of a filled shape).
std::vector<Rect> auditedRules(const Image* image, const Rect& source) {
    constexpr int32_t MIN_LENGTH = 32;
    std::vector<Rect> rules;
    for (const bool horizontal : {true, false}) {
        const int32_t across = horizontal ? source.h : source.w;
        const int32_t along = horizontal ? source.w : source.h;
        const auto at = [&](int32_t a, int32_t b) {
            return horizontal ? Rect{b, a, 1, 1} : Rect{a, b, 1, 1};
        };
        // Thickness of the line starting at (a, b) across, 0 when none starts there.
        const auto thickness = [&](int32_t a, int32_t b, uint32_t& color) {
            const Rect p = at(a, b);
            if (auditedAlpha(image, source.x + p.x, source.y + p.y) < 128) {
                return 0;
            }
            color = testpixels::colorAt(image, source.x + p.x, source.y + p.y);
            const Rect before = at(a - 1, b);
            if (!auditedStandsOut(image, source, before.x, before.y, color)) {
                return 0;
            }
            for (int32_t t = 1; t <= 3; ++t) {
                const Rect after = at(a + t, b);
                if (auditedStandsOut(image, source, after.x, after.y, color)) {
                    return t;
                }
                if (!auditedSameColor(
                        testpixels::colorAt(image, source.x + after.x, source.y + after.y),
                        color)) {
                    return 0;
                }
            }
            return 0;
        };
        for (int32_t a = 0; a < across; ++a) {
            int32_t start = 0, runThickness = 0;
            uint32_t runColor = 0;
            for (int32_t b = 0; b <= along; ++b) {
                uint32_t color = 0;
                const int32_t t = b < along ? thickness(a, b, color) : 0;
                if (t > 0 && t == runThickness && auditedSameColor(color, runColor)) {
                    continue;
                }
                if (runThickness > 0 && b - start >= MIN_LENGTH) {
                    rules.push_back(horizontal ? Rect{start, a, b - start, runThickness}
                                               : Rect{a, start, runThickness, b - start});
                }
                start = b;
                runThickness = t;
                runColor = color;
            }
        }
    }
    return rules;
}

bool auditedInside(const Rect& inner, const Rect& outer) {
    return inner.x >= outer.x && inner.y >= outer.y &&
           int64_t{inner.x} + inner.w <= int64_t{outer.x} + outer.w &&
           int64_t{inner.y} + inner.h <= int64_t{outer.y} + outer.h;
}

std::string auditedText(const Rect& box) {
    return "(" + std::to_string(box.x) + "," + std::to_string(box.y) + " " + std::to_string(box.w) +
           "x" + std::to_string(box.h) + ")";
}

// The node's name, after the name of the dialog that holds it, for the findings.
std::string auditedName(GameNode* node) {
    std::string name = node->getName().empty() ? "(unnamed)" : node->getName();
    for (GameNode* up = node->getParent(); up; up = up->getParent()) {
        if (objectCast<Dialog>(up) && !up->getName().empty()) {
            return up->getName() + "/" + name;
        }
    }
    return name;
}

// The nearest dialog above the node: what lies in one dialog is drawn over, and hides, what
// lies under another.
GameNode* auditedDialogOf(GameNode* node) {
    for (GameNode* up = node->getParent(); up; up = up->getParent()) {
        if (objectCast<Dialog>(up)) {
            return up;
        }
    }
    return nullptr;
}

std::string auditedLineName(const AuditedLine& line) {
    return "line " + std::to_string(line.index + 1) + " of " + auditedName(line.label) + " \"" +
           wstringToString(line.label->getLines()[line.index].text) + "\"";
}

void surveyLabel(LayoutSurvey& survey, Label* label, const Rect* dialogBox, GameNode* button) {
    Font* font = label->getFont();
    // Not seen: faded out, or stretched to nothing before it springs up.
    const std::optional<Rect>& stretch = label->getStretchRect();
    if (!font || label->getText().empty() || label->getAlpha() <= 0 ||
        (stretch && stretch->isEmpty())) {
        return;
    }
    label->renderText();
    const Rect labelBox = auditedBoxOf(label);
    // Stretched to its own size (a pop-in that has ended) it is drawn as rendered.
    const bool stretched =
        stretch && (stretch->w != label->getWidth() || stretch->h != label->getHeight());
    const Rect& bounds = label->getTextBounds();
    const int32_t step =
        label->effectiveLineHeight() > 0 ? label->effectiveLineHeight() : font->getCellHeight();
    const bool boxed = label->getWrapStyle() == Label::WRAP_WORDWRAP ||
                       label->getWrapStyle() == Label::WRAP_TRUNCATE;
    // A clipped label (a scrolling text) shows only what lies in its clip rectangle.
    std::optional<Rect> clip = label->getClipRect();
    if (clip) {
        clip->x += label->getAbsoluteX() - label->getX();
        clip->y += label->getAbsoluteY() - label->getY();
    }
    const std::vector<LabelLine>& lines = label->getLines();
    const size_t first = survey.lines.size();
    GameNode* dialog = auditedDialogOf(label);
    Rect block;
    for (size_t index = 0; index < lines.size(); ++index) {
        const LabelLine& line = lines[index];
        if (line.width <= 0) {
            continue;
        }
        const Rect box{labelBox.x + bounds.x + line.x, labelBox.y + bounds.y + line.y, line.width,
                       step};
        AuditedLine audited{label, index, box, button, Rect{}, Rect{}, survey.order, dialog};
        if (clip) {
            audited.box = intersectRects(audited.box, *clip);
            if (audited.box.isEmpty()) {
                continue;
            }
        }
        if (const Image* image = label->getImage(); image && !stretched) {
            const int32_t rows = std::min(step, image->getHeight() - line.y);
            const Rect ink =
                auditedOpaque(image, Rect{0, line.y, image->getWidth(), std::max(rows, 0)});
            if (!ink.isEmpty()) {
                audited.ink = Rect{labelBox.x + bounds.x + ink.x,
                                   labelBox.y + bounds.y + line.y + ink.y, ink.w, ink.h};
                if (clip) {
                    audited.ink = intersectRects(audited.ink, *clip);
                }
            }
        }
        const std::string name = auditedLineName(audited);
        if (boxed && line.width > label->getWidth()) {
            survey.problems.push_back(name + " is wider than its box");
        }
        // Ink is compared only where the label is drawn as rendered: whole and unstretched.
        if (survey.picture && label->getImage() && label->getAlpha() >= 255 && !stretched &&
            auditedHiddenInk(survey.picture, label->getImage(), labelBox.x + bounds.x,
                             labelBox.y + bounds.y, line.y, line.y + step) > 0) {
            survey.problems.push_back(name + " is covered in the picture");
        }
        if (!label->getAutoFitHeight() && line.y + step > label->getHeight()) {
            survey.problems.push_back(name + " falls below its box");
        }
        if (dialogBox && !auditedInside(audited.box, *dialogBox)) {
            survey.problems.push_back(name + " " + auditedText(audited.box) +
                                      " reaches out of its dialog " + auditedText(*dialogBox));
        }
        if (!auditedInside(audited.box, Rect{0, 0, survey.screenWidth, survey.screenHeight})) {
            survey.problems.push_back(name + " " + auditedText(audited.box) +
                                      " reaches out of the screen");
        }
        block = block.isEmpty() ? audited.box : uniteRects(block, audited.box);
        survey.lines.push_back(audited);
    }
    for (size_t index = first; index < survey.lines.size(); ++index) {
        survey.lines[index].block = block;
    }
}

bool auditedMoving(GameNode* node) {
    for (const RefHolder<Modifier>& modifier : node->getRunningModifiers()) {
        if (objectCast<ModifierLocation>(modifier.get())) {
            return true;
        }
    }
    return false;
}

// A plain sprite's picture, at least half opaque and drawn unturned and unscaled: where it is
// opaque, and its lines. A stretched picture counts as opaque over its stretch rectangle and has
// no lines.
void surveyPicture(LayoutSurvey& survey, Sprite* sprite) {
    Image* image = sprite->getImage();
    if (!image || sprite->getAlpha() < 128 || sprite->getRotation() != 0.0f ||
        sprite->getScale() != 1.0f) {
        return;
    }
    AuditedPicture picture;
    picture.sprite = sprite;
    picture.box = auditedBoxOf(sprite);
    picture.moving = auditedMoving(sprite);
    picture.order = survey.order;
    picture.dialog = auditedDialogOf(sprite);
    // The clip and stretch rectangles are relative to the parent.
    const int32_t parentX = sprite->getAbsoluteX() - sprite->getX();
    const int32_t parentY = sprite->getAbsoluteY() - sprite->getY();
    std::optional<Rect> clip = sprite->getClipRect();
    if (clip) {
        clip->x += parentX;
        clip->y += parentY;
    }
    const auto onScreen = [&](Rect rect) {
        rect.x += picture.box.x;
        rect.y += picture.box.y;
        return clip ? intersectRects(rect, *clip) : rect;
    };
    std::vector<Rect> rules;
    if (const std::optional<Rect>& stretch = sprite->getStretchRect()) {
        picture.box = Rect{stretch->x + parentX, stretch->y + parentY, stretch->w, stretch->h};
        picture.opaque = clip ? intersectRects(picture.box, *clip) : picture.box;
    } else {
        picture.image = image;
        picture.source = auditedSource(sprite, image);
        const Rect opaque = auditedOpaque(image, picture.source);
        picture.opaque = onScreen(opaque);
        picture.frame =
            !opaque.isEmpty() && auditedAlpha(image, picture.source.x + opaque.x + opaque.w / 2,
                                              picture.source.y + opaque.y + opaque.h / 2) < 128;
        rules = auditedRules(image, picture.source);
    }
    if (picture.opaque.isEmpty()) {
        return;
    }
    for (const Rect& rule : rules) {
        if (const Rect box = onScreen(rule); !box.isEmpty()) {
            survey.rules.push_back({survey.pictures.size(), box, rule.w > rule.h});
        }
    }
    survey.pictures.push_back(picture);
}

void surveyNode(LayoutSurvey& survey, GameNode* node, const Rect* dialogBox, GameNode* button) {
    if (node->isRemoved() || !node->isVisible()) {
        return;
    }
    ++survey.order;
    Rect ownDialogBox;
    auto* sprite = objectCast<Sprite>(node);
    if (objectCast<Dialog>(node)) {
        ownDialogBox = auditedBoxOf(sprite);
        dialogBox = &ownDialogBox;
        const Rect screen{0, 0, survey.screenWidth, survey.screenHeight};
        if (!auditedInside(ownDialogBox, screen)) {
            survey.problems.push_back("dialog " + auditedName(node) + " " +
                                      auditedText(ownDialogBox) + " reaches out of the screen");
        }
        if (!auditedInside(screen, ownDialogBox) && sprite->getAlpha() >= 128 &&
            sprite->getScale() == 1.0f) {
            survey.dialogs.push_back({sprite, ownDialogBox, survey.pictures.size()});
        }
    } else if (sprite && (objectCast<Button>(node) || objectCast<Switch>(node))) {
        const Rect box = auditedBoxOf(sprite);
        survey.buttons.push_back({node, box, auditedDialogOf(node)});
        button = node;
        if (!auditedInside(box, Rect{0, 0, survey.screenWidth, survey.screenHeight})) {
            survey.problems.push_back("button " + auditedName(node) + " " + auditedText(box) +
                                      " reaches out of the screen");
        }
    } else if (auto* label = objectCast<Label>(node)) {
        surveyLabel(survey, label, dialogBox, button);
    } else if (sprite && !button && !objectCast<Panel>(node)) {
        surveyPicture(survey, sprite);
    }
    for (GameNode* child = node->getFirstChild(); child; child = child->getNextSibling()) {
        surveyNode(survey, child, dialogBox, button);
    }
}

bool auditedOverlap(const Rect& a, const Rect& b) {
    return !intersectRects(a, b).isEmpty();
}

// How far the two rectangles overlap along the rule's length, and whether the rule runs
// through the inside of `other` (not along its outermost rows or columns).
bool auditedRuleCrosses(const AuditedRule& rule, const Rect& other) {
    const Rect common = intersectRects(rule.box, other);
    if (common.isEmpty()) {
        return false;
    }
    if (rule.horizontal) {
        return rule.box.y > other.y && rule.box.y + rule.box.h < other.y + other.h &&
               common.w >= std::min(4, other.w);
    }
    return rule.box.x > other.x && rule.box.x + rule.box.w < other.x + other.w &&
           common.h >= std::min(4, other.h);
}

}  // namespace

std::vector<std::string> auditTextLayout(GameNode* root, int32_t screenWidth, int32_t screenHeight,
                                         const Image* picture, const ToolTip* toolTip) {
    LayoutSurvey survey;
    survey.screenWidth = screenWidth;
    survey.screenHeight = screenHeight;
    survey.picture = picture;
    if (!root) {
        return {};
    }
    surveyNode(survey, root, nullptr, nullptr);
    const Rect screen{0, 0, screenWidth, screenHeight};
    const auto pictureName = [](const AuditedPicture& p) {
        return "picture " + auditedName(p.sprite) + " " + auditedText(p.opaque);
    };
    // A sprite at rest lies whole on the screen; a moving one may be on its way in or out.
    for (const AuditedPicture& p : survey.pictures) {
        if (!p.moving && !auditedInside(p.opaque, screen)) {
            survey.problems.push_back(pictureName(p) + " reaches out of the screen");
        }
    }
    // A line of one picture runs through another one of the same dialog, unless that one is its
    // backdrop, a line itself or a frame around it.
    for (const AuditedRule& rule : survey.rules) {
        const AuditedPicture& drawnIn = survey.pictures[rule.picture];
        for (const AuditedPicture& p : survey.pictures) {
            if (&p == &drawnIn || p.dialog != drawnIn.dialog || p.moving || p.thin() || p.frame ||
                auditedInside(drawnIn.opaque, p.opaque) || !auditedRuleCrosses(rule, p.opaque)) {
                continue;
            }
            survey.problems.push_back("a line " + auditedText(rule.box) + " of " +
                                      auditedName(drawnIn.sprite) + " crosses " + pictureName(p));
        }
    }
    // A box laid over the screen covers the pictures beneath it whole or not at all.
    for (const AuditedDialog& dialog : survey.dialogs) {
        for (size_t index = 0; index < dialog.picturesBefore; ++index) {
            const AuditedPicture& p = survey.pictures[index];
            if (!p.moving && auditedOverlap(p.opaque, dialog.box) &&
                !auditedInside(p.opaque, dialog.box)) {
                survey.problems.push_back("dialog " + auditedName(dialog.dialog) + " " +
                                          auditedText(dialog.box) + " cuts " + pictureName(p));
            }
        }
    }
    if (toolTip && toolTip->isShowing()) {
        const Sprite* box = toolTip->getRenderer();
        const auto* label = objectCast<ToolTipLabel>(box);
        const int32_t padding = label ? label->getPadding() : ToolTipLabel::DEFAULT_PADDING;
        const Rect drawn{toolTip->getBoxX() - padding, toolTip->getBoxY() - padding,
                         box->getWidth() + 2 * padding, box->getHeight() + 2 * padding};
        if (!auditedInside(drawn, screen)) {
            survey.problems.push_back("tooltip \"" +
                                      (label ? wstringToString(label->getText()) : std::string()) +
                                      "\" " + auditedText(drawn) + " reaches out of the screen");
        }
    }
    for (size_t i = 0; i < survey.lines.size(); ++i) {
        const AuditedLine& line = survey.lines[i];
        for (const AuditedBox& button : survey.buttons) {
            // A text wholly on a button is its caption, as on a sign that is a button.
            if (line.button != button.node && button.dialog == line.dialog &&
                auditedOverlap(line.box, button.box) && !auditedInside(line.block, button.box)) {
                survey.problems.push_back(auditedLineName(line) + " " + auditedText(line.box) +
                                          " lies under button " + auditedName(button.node) + " " +
                                          auditedText(button.box));
            }
        }
        // Letters crossed by a line, or by the drawn edge of a picture at rest that they do
        // not lie on.
        for (const AuditedRule& rule : survey.rules) {
            const AuditedPicture& drawnIn = survey.pictures[rule.picture];
            if (!line.ink.isEmpty() && drawnIn.dialog == line.dialog &&
                auditedRuleCrosses(rule, line.ink)) {
                survey.problems.push_back(auditedLineName(line) + " " + auditedText(line.ink) +
                                          " is crossed by a line " + auditedText(rule.box) +
                                          " of " + auditedName(drawnIn.sprite));
            }
        }
        for (const AuditedPicture& p : survey.pictures) {
            // A text laid on a picture drawn before it is on its backdrop, whatever that shows.
            const bool laidOn = p.order < line.order && auditedInside(line.ink, p.box);
            if (!line.ink.isEmpty() && p.dialog == line.dialog && !p.moving && !p.thin() &&
                !laidOn && !auditedInside(line.ink, p.opaque) && auditedOpaqueWithin(p, line.ink)) {
                survey.problems.push_back(auditedLineName(line) + " " + auditedText(line.ink) +
                                          " is crossed by the edge of " + pictureName(p));
            }
        }
        for (size_t j = i + 1; j < survey.lines.size(); ++j) {
            const AuditedLine& other = survey.lines[j];
            if (other.label != line.label && auditedOverlap(line.box, other.box)) {
                survey.problems.push_back(auditedLineName(line) + " " + auditedText(line.box) +
                                          " overlaps " + auditedLineName(other) + " " +
                                          auditedText(other.box));
            }
        }
    }
    return survey.problems;
}
