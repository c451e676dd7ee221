#include "gui/TextLayoutAudit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <optional>
#include <set>

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
#include "gui/HeadlessPicture.h"
#include "testsupport/platform/PixelAccess.h"

namespace {

using testpixels::alphaAt;
using testpixels::colorAt;

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
    GameNode* dialog = nullptr;
    Rect drawn;        // where its picture is opaque (its box when it has none)
    size_t order = 0;  // of drawing
};

// A thin line drawn in a picture, one to three pixels thick, on the screen.
struct AuditedRule {
    Rect box;
    bool horizontal = true;
};

// A plain sprite's picture on the screen: its box and where it is opaque, its lines and, drawn
// unstretched, its image and the part of it shown. A frame is open in its middle around what it
// marks.
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
    std::vector<AuditedBox> buttons;
    std::vector<AuditedPicture> pictures;
    std::vector<AuditedBox> dialogs;
    std::vector<AuditedRule> backdropRules;  // the lines of the scene's background
    std::vector<std::string> problems;
    size_t order = 0;
};

// Pixels of clear space a widget keeps from a line running along its edge (a panel's rim), and
// from the edge of a dialog it does not belong to.
constexpr int32_t CLEARANCE = 4;
// The length of a line of the background that is a panel's side, not a stroke of the scenery.
constexpr int32_t LONG_RULE = 64;

Rect auditedBoxOf(const Sprite* sprite) {
    return Rect{sprite->getAbsoluteX() - static_cast<int32_t>(sprite->getAnchor().x),
                sprite->getAbsoluteY() - static_cast<int32_t>(sprite->getAnchor().y),
                sprite->getWidth(), sprite->getHeight()};
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

// How many fully inked pixels of the line's rows of the label's image the picture does not show
// as the label drew them: covered by something drawn later, or beyond the picture.
int32_t auditedHiddenInk(const Image* picture, const Image* image, int32_t left, int32_t top,
                         int32_t fromRow, int32_t toRow) {
    int32_t hidden = 0;
    for (int32_t y = std::max(fromRow, 0); y < std::min(toRow, image->getHeight()); ++y) {
        for (int32_t x = 0; x < image->getWidth(); ++x) {
            if (alphaAt(image, x, y) < 255) {
                continue;
            }
            // A centred label may land half a pixel off its measured place: a neighbour counts;
            // blending and depth leave a colour up to 8 levels off a channel.
            bool shown = false;
            for (int32_t dy = -1; dy <= 1 && !shown; ++dy) {
                for (int32_t dx = -1; dx <= 1 && !shown; ++dx) {
                    const int32_t px = left + x + dx;
                    const int32_t py = top + y + dy;
                    shown =
                        px >= 0 && py >= 0 && px < picture->getWidth() &&
                        py < picture->getHeight() &&
                        auditedColorDistance(colorAt(picture, px, py), colorAt(image, x, y)) <= 8;
                }
            }
            hidden += shown ? 0 : 1;
        }
    }
    return hidden;
}

// Where the shown part of the image is at least half opaque, relative to that part.
Rect auditedOpaque(const Image* image, const Rect& source) {
    Rect opaque;
    for (int32_t y = 0; y < source.h; ++y) {
        for (int32_t x = 0; x < source.w; ++x) {
            if (alphaAt(image, source.x + x, source.y + y) >= 128) {
                opaque = opaque.isEmpty() ? Rect{x, y, 1, 1} : uniteRects(opaque, Rect{x, y, 1, 1});
            }
        }
    }
    return opaque;
}

// Whether the picture is drawn opaque anywhere in the rectangle (a stretched one: anywhere in
// its box).
bool auditedOpaqueWithin(const AuditedPicture& p, const Rect& rect) {
    const Rect common = intersectRects(p.opaque, rect);
    return !common.isEmpty() &&
           (!p.image ||
            !auditedOpaque(p.image, Rect{p.source.x + common.x - p.box.x,
                                         p.source.y + common.y - p.box.y, common.w, common.h})
                 .isEmpty());
}

// The thin straight lines in the shown part of the image, as rectangles relative to it: runs
// of at least 32 pixels of one colour, one to three pixels thick, that stand out from the
// pixels on both sides (a rule, a divider, a frame's stroke; not the edge of a filled shape).
std::vector<Rect> auditedRules(const Image* image, const Rect& source) {
    std::vector<Rect> rules;
    for (const bool horizontal : {true, false}) {
        const int32_t across = horizontal ? source.h : source.w;
        const int32_t along = horizontal ? source.w : source.h;
        // The pixel at (a, b) is not opaque, lies outside the shown part, or is off the colour
        // by more than the limit in a channel.
        const auto standsOut = [&](int32_t a, int32_t b, uint32_t color, int32_t limit) {
            const int32_t x = horizontal ? b : a, y = horizontal ? a : b;
            return x < 0 || y < 0 || x >= source.w || y >= source.h ||
                   alphaAt(image, source.x + x, source.y + y) < 128 ||
                   auditedColorDistance(colorAt(image, source.x + x, source.y + y), color) > limit;
        };
        // Thickness of the line starting at (a, b) across, 0 when none starts there.
        const auto thickness = [&](int32_t a, int32_t b, uint32_t& color) {
            color =
                colorAt(image, source.x + (horizontal ? b : a), source.y + (horizontal ? a : b));
            if (standsOut(a, b, color, 255) || !standsOut(a - 1, b, color, 12)) {
                return 0;
            }
            // It ends where a pixel stands out; one a little off its colour spoils it.
            for (int32_t t = 1; t <= 3; ++t) {
                if (standsOut(a + t, b, color, 8)) {
                    return standsOut(a + t, b, color, 12) ? t : 0;
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
                if (t > 0 && t == runThickness && auditedColorDistance(color, runColor) <= 8) {
                    continue;
                }
                if (runThickness > 0 && b - start >= 32) {
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

// The least number of face pixels along a row between the caption drawn in a button's picture
// (the shown part `source` of `image`) and its rim, left or right; nothing without a caption.
// The rim has the colour of the middle row's first opaque pixel; a row's face is its commonest
// other colour, give or take 32 levels (a highlight or a gradient changes it from row to row).
// Where faces most often begin and end are the rim's inner edges; from the first to the last row
// meeting both (where the rim runs straight), a letter stands out by more than 64 levels from
// the face of the nearest such row above: a letter merged with the rim counts as 0.
std::optional<int32_t> auditedCaptionMargin(const Image* image, const Rect& source) {
    if (source.isEmpty()) {
        return std::nullopt;  // a source outside its picture (a shine's copy) shows nothing
    }
    // The pixel is at least half opaque and within `limit` levels of `c`.
    const auto near = [&](int32_t x, int32_t y, uint32_t c, int32_t limit) {
        return alphaAt(image, source.x + x, source.y + y) >= 128 &&
               auditedColorDistance(colorAt(image, source.x + x, source.y + y), c) <= limit;
    };
    int32_t rimX = 0;
    while (rimX < source.w && alphaAt(image, source.x + rimX, source.y + source.h / 2) < 255) {
        ++rimX;
    }
    if (rimX == source.w) {
        return std::nullopt;
    }
    const uint32_t rim = colorAt(image, source.x + rimX, source.y + source.h / 2);
    const auto commonest = [](const auto& counts) {
        return std::ranges::max_element(counts, {}, [](const auto& c) { return c.second; })->first;
    };
    struct Row {
        uint32_t face;
        int32_t first, last;
    };
    std::map<int32_t, Row> rows;  // by y, those with a face
    std::map<int32_t, int32_t> starts, ends;
    for (int32_t y = 0; y < source.h; ++y) {
        std::map<uint32_t, int32_t> colors;
        for (int32_t x = 0; x < source.w; ++x) {
            if (near(x, y, rim, 255) && !near(x, y, rim, 32)) {
                ++colors[colorAt(image, source.x + x, source.y + y)];
            }
        }
        if (colors.empty()) {
            continue;
        }
        Row& row = rows[y] = Row{commonest(colors), source.w, -1};
        for (int32_t x = 0; x < source.w; ++x) {
            if (near(x, y, row.face, 32)) {
                row = Row{row.face, std::min(row.first, x), x};
            }
        }
        ++starts[row.first];
        ++ends[row.last];
    }
    if (rows.empty()) {
        return std::nullopt;
    }
    const int32_t inner = commonest(starts), outer = commonest(ends);
    std::erase_if(rows,
                  [&](const auto& r) { return r.second.first != inner || r.second.last != outer; });
    if (rows.empty()) {
        return std::nullopt;
    }
    // A shaded rim's own rows may meet both edges: a row counts with a face near the middle one's.
    const uint32_t middle =
        std::next(rows.begin(), static_cast<std::ptrdiff_t>(rows.size() / 2))->second.face;
    std::erase_if(rows,
                  [&](const auto& r) { return auditedColorDistance(r.second.face, middle) > 64; });
    std::optional<int32_t> margin;
    uint32_t face = 0;
    for (int32_t y = rows.begin()->first; y <= rows.rbegin()->first; ++y) {
        face = rows.contains(y) ? rows[y].face : face;
        for (int32_t x = inner; x <= outer; ++x) {
            if (!near(x, y, face, 64)) {
                margin = std::min({margin.value_or(x - inner), x - inner, outer - x});
            }
        }
    }
    return margin;
}

bool auditedIsButton(GameNode* node) {
    return objectCast<Button>(node) || objectCast<Switch>(node);
}

// The nearest dialog above the node, or the nearest named one: what lies in one dialog is drawn
// over, and hides, what lies under another.
GameNode* auditedDialogOf(GameNode* node, bool named = false) {
    for (GameNode* up = node->getParent(); up; up = up->getParent()) {
        if (objectCast<Dialog>(up) && (!named || !up->getName().empty())) {
            return up;
        }
    }
    return nullptr;
}

// The node's name, after the name of the dialog that holds it, for the findings.
std::string auditedName(GameNode* node) {
    const std::string name = node->getName().empty() ? "(unnamed)" : node->getName();
    GameNode* dialog = auditedDialogOf(node, true);
    return dialog ? dialog->getName() + "/" + name : name;
}

// A finding told by its parts, a blank between each two.
template <typename... Parts>
void note(LayoutSurvey& survey, const std::string& first, const Parts&... rest) {
    survey.problems.push_back((first + ... + (" " + std::string(rest))));
}

// `what` at `box`, unless the box lies whole on the screen: a finding.
void auditOnScreen(LayoutSurvey& survey, const std::string& what, const Rect& box) {
    if (!survey.screen.contains(box)) {
        note(survey, what, rectText(box), "reaches out of the screen");
    }
}

std::string auditedPictureName(const AuditedPicture& p) {
    return (auditedIsButton(p.sprite) ? "button " : "picture ") + auditedName(p.sprite) + " " +
           rectText(p.opaque);
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
            const Rect ink = auditedOpaque(
                image,
                Rect{0, line.y, image->getWidth(), std::min(step, image->getHeight() - line.y)});
            audited.ink = Rect{labelBox.x + bounds.x + ink.x,
                               labelBox.y + bounds.y + line.y + ink.y, ink.w, ink.h};
            audited.ink = clip ? intersectRects(audited.ink, *clip) : audited.ink;
        }
        const std::string name = auditedLineName(audited);
        if (boxed && line.width > label->getWidth()) {
            survey.problems.push_back(name + " is wider than its box");
        }
        // Ink is compared only where the label is drawn as rendered: whole and unstretched.
        audited.inkHidden =
            survey.picture && label->getImage() && label->getAlpha() >= 255 && !stretched &&
            auditedHiddenInk(survey.picture, label->getImage(), labelBox.x + bounds.x,
                             labelBox.y + bounds.y, line.y, line.y + step) > 0;
        if (!label->getAutoFitHeight() && line.y + step > label->getHeight()) {
            survey.problems.push_back(name + " falls below its box");
        }
        if (dialogBox && !dialogBox->contains(audited.box)) {
            note(survey, name, rectText(audited.box), "reaches out of its dialog",
                 rectText(*dialogBox));
        }
        auditOnScreen(survey, name, audited.box);
        block = block.isEmpty() ? audited.box : uniteRects(block, audited.box);
        survey.lines.push_back(audited);
    }
    for (size_t index = first; index < survey.lines.size(); ++index) {
        survey.lines[index].block = block;
    }
}

bool auditedMoving(GameNode* node) {
    return std::ranges::any_of(node->getRunningModifiers(), [](const RefHolder<Modifier>& m) {
        return objectCast<ModifierLocation>(m.get()) != nullptr;
    });
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
    AuditedPicture picture{sprite,       auditedBoxOf(sprite),    {},    {},
                           nullptr,      auditedMoving(sprite),   false, false,
                           survey.order, auditedDialogOf(sprite), {}};
    // The clip and stretch rectangles are relative to the parent; no clip bounds nothing.
    const int32_t parentX = sprite->getAbsoluteX() - sprite->getX();
    const int32_t parentY = sprite->getAbsoluteY() - sprite->getY();
    const std::optional<Rect> given = sprite->getClipRect();
    const Rect clip = given ? Rect{given->x + parentX, given->y + parentY, given->w, given->h}
                            : Rect{INT32_MIN / 2, INT32_MIN / 2, INT32_MAX, INT32_MAX};
    const auto onScreen = [&](const Rect& r) {
        return intersectRects(Rect{r.x + picture.box.x, r.y + picture.box.y, r.w, r.h}, clip);
    };
    std::vector<Rect> rules;
    if (const std::optional<Rect>& stretch = sprite->getStretchRect()) {
        picture.box = Rect{stretch->x + parentX, stretch->y + parentY, stretch->w, stretch->h};
        picture.opaque = intersectRects(picture.box, clip);
    } else {
        picture.image = image;
        const Rect whole{0, 0, image->getWidth(), image->getHeight()};
        picture.source =
            sprite->getSourceRect() ? intersectRects(*sprite->getSourceRect(), whole) : whole;
        const Rect opaque = auditedOpaque(image, picture.source);
        picture.opaque = onScreen(opaque);
        picture.frame =
            !opaque.isEmpty() && alphaAt(image, picture.source.x + opaque.x + opaque.w / 2,
                                         picture.source.y + opaque.y + opaque.h / 2) < 128;
        rules = auditedRules(image, picture.source);
    }
    if (picture.opaque.isEmpty()) {
        return;
    }
    for (const Rect& rule : rules) {
        if (const Rect box = onScreen(rule); !box.isEmpty()) {
            picture.rules.push_back({box, rule.w > rule.h});
        }
    }
    // A sprite at rest lies whole on the screen; a moving one may be on its way in or out, and
    // one showing a strip at the screen's edge has slid aside (a door into its wall).
    const Rect shown = intersectRects(picture.opaque, survey.screen);
    picture.slidAside =
        std::min(shown.w, shown.h) <= 24 && picture.opaque.w > 96 && picture.opaque.h > 96;
    if (!picture.moving && !picture.slidAside) {
        auditOnScreen(survey, "picture " + auditedName(sprite), picture.opaque);
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
        auditOnScreen(survey, "dialog " + auditedName(node), ownDialogBox);
        if (sprite->getScale() == 1.0f) {
            survey.dialogs.push_back({node, ownDialogBox, nullptr, ownDialogBox, survey.order});
        }
        // A box laid over the screen covers the pictures drawn before it whole or not at all.
        for (const AuditedPicture& p : survey.pictures) {
            if (!ownDialogBox.contains(survey.screen) && sprite->getAlpha() >= 128 &&
                sprite->getScale() == 1.0f && !p.moving && rectsOverlap(p.opaque, ownDialogBox) &&
                !ownDialogBox.contains(p.opaque) &&
                !(p.frame && p.opaque.contains(ownDialogBox))) {  // a frame round the box
                note(survey, "dialog " + auditedName(node), rectText(ownDialogBox), "cuts",
                     auditedPictureName(p));
            }
        }
    } else if (sprite && auditedIsButton(node)) {
        const Rect box = auditedBoxOf(sprite);
        Rect drawn = box;
        if (const Image* image = sprite->getImage(); image && !sprite->getStretchRect()) {
            const Rect whole{0, 0, image->getWidth(), image->getHeight()};
            const Rect source =
                sprite->getSourceRect() ? intersectRects(*sprite->getSourceRect(), whole) : whole;
            const Rect opaque = auditedOpaque(image, source);
            drawn = Rect{box.x + opaque.x, box.y + opaque.y, opaque.w, opaque.h};
            // The caption drawn in it keeps 3 pixels of face off its rim; one narrower than 32
            // pixels shows an icon (a knob, a tick), not a caption.
            const std::optional<int32_t> margin =
                box.w >= 32 ? auditedCaptionMargin(image, source) : std::nullopt;
            if (margin && *margin < 3) {
                note(survey, "button " + auditedName(node), rectText(drawn), "has its caption",
                     std::to_string(*margin), "pixels from its rim");
            }
        }
        survey.buttons.push_back({node, box, auditedDialogOf(node), drawn, survey.order});
        button = node;
        auditOnScreen(survey, "button " + auditedName(node), box);
    } else if (auto* label = objectCast<Label>(node)) {
        surveyLabel(survey, label, dialogBox, button);
    } else if (sprite && !button && !objectCast<Panel>(node)) {
        surveyPicture(survey, sprite);
    }
    for (GameNode* child = node->getFirstChild(); child; child = child->getNextSibling()) {
        surveyNode(survey, child, dialogBox, button);
    }
}

// Whether the rule runs through the inside of `other` (not along its outermost rows or
// columns) for at least 4 pixels of its length, or all of `other` if less.
bool auditedRuleCrosses(const AuditedRule& rule, const Rect& other) {
    // Turned a quarter so that the rule runs along x.
    const auto turn = [&](const Rect& r) { return rule.horizontal ? r : Rect{r.y, r.x, r.h, r.w}; };
    const Rect line = turn(rule.box), o = turn(other), common = intersectRects(line, o);
    return !common.isEmpty() && line.y > o.y && line.y + line.h < o.y + o.h &&
           common.w >= std::min(4, o.w);
}

// The least opacity of the unstretched picture's pixels in a rectangle on the screen within it.
int32_t auditedLeastAlpha(const AuditedPicture& p, const Rect& rect) {
    int32_t least = 255;
    for (int32_t y = rect.y; y < rect.y + rect.h; ++y) {
        for (int32_t x = rect.x; x < rect.x + rect.w; ++x) {
            least = std::min<int32_t>(
                least, alphaAt(p.image, p.source.x + x - p.box.x, p.source.y + y - p.box.y));
        }
    }
    return least;
}

// The parts of a line of the background that the picture of the screen shows (all of it
// without one).
void surveyBackdropRule(LayoutSurvey& survey, const Image* backdrop, const Rect& rule) {
    const bool horizontal = rule.w > rule.h;
    const int32_t length = horizontal ? rule.w : rule.h;
    int32_t start = -1;
    for (int32_t i = 0; i <= length; ++i) {
        const int32_t x = rule.x + (horizontal ? i : 0), y = rule.y + (horizontal ? 0 : i);
        const bool shown =
            i < length &&
            (!survey.picture ||
             (x < survey.picture->getWidth() && y < survey.picture->getHeight() &&
              auditedColorDistance(colorAt(survey.picture, x, y), colorAt(backdrop, x, y)) <= 8));
        if (shown && start < 0) {
            start = i;
        } else if (!shown && start >= 0) {
            const Rect part = horizontal ? Rect{rule.x + start, rule.y, i - start, rule.h}
                                         : Rect{rule.x, rule.y + start, rule.w, i - start};
            survey.backdropRules.push_back({part, horizontal});
            start = -1;
        }
    }
}

// The corner of a rim the picture's opaque area hides, whole or in part: a horizontal and a
// vertical line of the background, each long (a panel's side, not a stroke of the scenery), with
// ends a rounded corner apart, one of them under the picture, each line lying beyond the other's
// end (a line running on past the other's end only passes it). Its place, or nothing.
std::optional<Rect> auditedHiddenCorner(const std::vector<Rect>& lines, const Rect& opaque) {
    constexpr int32_t CORNER = 16;
    struct End {
        int32_t x, y, outward;  // a pixel; 1 at the right or lower end of its line, -1 else
    };
    std::vector<End> across, down;
    for (const Rect& r : lines) {
        const bool horizontal = r.w > r.h;
        if ((horizontal ? r.w : r.h) >= LONG_RULE) {
            (horizontal ? across : down).push_back({r.x, r.y, -1});
            (horizontal ? across : down).push_back({r.x + r.w - 1, r.y + r.h - 1, 1});
        }
    }
    for (const End& a : across) {
        for (const End& d : down) {
            if (std::abs(a.x - d.x) <= CORNER && std::abs(a.y - d.y) <= CORNER &&
                (d.x - a.x) * a.outward >= 0 && (a.y - d.y) * d.outward >= 0 &&
                (opaque.contains(a.x, a.y) || opaque.contains(d.x, d.y))) {
                return uniteRects(Rect{a.x, a.y, 1, 1}, Rect{d.x, d.y, 1, 1});
            }
        }
    }
    return std::nullopt;
}

// Whether the line runs along an edge of `drawn` (over at least half of it) on its outermost
// pixels or less than CLEARANCE pixels off it, inside or outside: a widget sitting on a rim.
bool auditedRuleAlong(const AuditedRule& rule, const Rect& drawn) {
    // Turned a quarter so that the rule runs along x.
    const auto turn = [&](const Rect& r) { return rule.horizontal ? r : Rect{r.y, r.x, r.h, r.w}; };
    const Rect line = turn(rule.box), d = turn(drawn);
    const int32_t shared = std::min(line.x + line.w, d.x + d.w) - std::max(line.x, d.x);
    if (shared * 2 < d.w) {
        return false;
    }
    const auto near = [&](int32_t edge) {
        return line.y + line.h > edge - CLEARANCE && line.y < edge + CLEARANCE;
    };
    return near(d.y) || near(d.y + d.h);
}

// The panel of the background around `area`: within the nearest long lines above, below, left
// and right of it that run along it (its rim), the screen's edge standing for one of them at
// most (a rim lost against a floor as dark). Nothing where fewer lines enclose it.
std::optional<Rect> auditedPanelAround(const std::vector<Rect>& lines, const Rect& area,
                                       const Rect& screen) {
    int32_t edges[4] = {screen.y, screen.y + screen.h, screen.x, screen.x + screen.w};
    bool found[4] = {};  // above, below, left, right
    for (const Rect& line : lines) {
        const bool horizontal = line.w > line.h;
        // Turned a quarter so that the line runs along x.
        const auto turn = [&](const Rect& r) { return horizontal ? r : Rect{r.y, r.x, r.h, r.w}; };
        const Rect l = turn(line), a = turn(area);
        if (l.w < LONG_RULE || l.x >= a.x + a.w || l.x + l.w <= a.x ||
            (l.y < a.y + a.h && l.y + l.h > a.y)) {
            continue;
        }
        const bool before = l.y < a.y;
        const size_t side = (horizontal ? 0 : 2) + (before ? 0 : 1);
        const int32_t edge = before ? l.y : l.y + l.h;
        if (!found[side] || (before ? edge > edges[side] : edge < edges[side])) {
            edges[side] = edge;
            found[side] = true;
        }
    }
    if (std::count(found, found + 4, true) < 3) {
        return std::nullopt;
    }
    return Rect{edges[2], edges[0], edges[3] - edges[2], edges[1] - edges[0]};
}

// A picture or a button laid on a picture (a preview on its panel, a stop button on the lift's
// panel in the background) keeps clear of the small ornaments of the unstretched one below: a
// rivet half under it looks misplaced. An ornament is a patch of one colour (neighbours at most
// 12 levels apart), 3 to 16 pixels across, that `p` covers or touches.
void auditOrnaments(LayoutSurvey& survey, const AuditedPicture& under, const AuditedPicture& p) {
    if (!under.image || under.moving || p.order <= under.order || p.moving ||
        p.dialog != under.dialog || !under.opaque.contains(p.opaque) ||
        p.opaque.contains(under.opaque)) {
        return;
    }
    constexpr int32_t LARGEST = 16;
    const Rect& area = p.opaque;
    const Rect window = intersectRects(Rect{area.x - 2 * LARGEST, area.y - 2 * LARGEST,
                                            area.w + 4 * LARGEST, area.h + 4 * LARGEST},
                                       under.opaque);
    // The colour of the picture at a pixel of the screen, where it is at least half opaque.
    const auto at = [&](int32_t x, int32_t y) -> std::optional<uint32_t> {
        const int32_t ix = under.source.x + x - under.box.x, iy = under.source.y + y - under.box.y;
        return under.opaque.contains(x, y) && alphaAt(under.image, ix, iy) >= 128
                   ? std::optional(colorAt(under.image, ix, iy))
                   : std::nullopt;
    };
    std::set<std::pair<int32_t, int32_t>> seen;
    for (int32_t y0 = window.y; y0 < window.y + window.h; ++y0) {
        for (int32_t x0 = window.x; x0 < window.x + window.w; ++x0) {
            if (!at(x0, y0) || !seen.insert({x0, y0}).second) {
                continue;
            }
            // One patch, grown over its neighbours in the window; one reaching past it is large.
            const size_t before = seen.size() - 1;
            Rect patch{x0, y0, 1, 1};
            for (std::vector<std::pair<int32_t, int32_t>> todo{{x0, y0}}; !todo.empty();) {
                const auto [x, y] = todo.back();
                todo.pop_back();
                for (const auto& [nx, ny] :
                     {std::pair{x + 1, y}, {x - 1, y}, {x, y + 1}, {x, y - 1}}) {
                    const std::optional<uint32_t> other = at(nx, ny);
                    if (other && auditedColorDistance(*other, *at(x, y)) <= 12) {
                        patch = uniteRects(patch, Rect{nx, ny, 1, 1});
                        if (window.contains(nx, ny) && seen.insert({nx, ny}).second) {
                            todo.emplace_back(nx, ny);
                        }
                    }
                }
            }
            if (window.contains(patch) && seen.size() - before >= 6 &&
                std::min(patch.w, patch.h) >= 3 && std::max(patch.w, patch.h) <= LARGEST &&
                rectsOverlap(Rect{patch.x - 1, patch.y - 1, patch.w + 2, patch.h + 2}, area)) {
                note(survey, auditedPictureName(p), "lies on an ornament", rectText(patch), "of",
                     under.sprite ? auditedPictureName(under) : "the background");
            }
        }
    }
}

}  // namespace

std::vector<std::string> auditTextLayout(GameNode* root, int32_t screenWidth, int32_t screenHeight,
                                         const Image* picture, const ToolTip* toolTip,
                                         const Image* backdrop) {
    LayoutSurvey survey;
    survey.screen = Rect{0, 0, screenWidth, screenHeight};
    survey.picture = picture;
    if (!root) {
        return {};
    }
    surveyNode(survey, root, nullptr, nullptr);
    const Rect whole = backdrop ? Rect{0, 0, backdrop->getWidth(), backdrop->getHeight()} : Rect{};
    const std::vector<Rect> backdropLines =
        backdrop ? auditedRules(backdrop, whole) : std::vector<Rect>{};
    for (const Rect& rule : backdropLines) {
        surveyBackdropRule(survey, backdrop, rule);
    }
    for (const AuditedBox& button : survey.buttons) {
        if (button.dialog) {
            continue;
        }
        const std::string name = "button " + auditedName(button.node);
        // A bare hit area draws nothing to sit anywhere.
        const bool drawnAny = objectCast<Sprite>(button.node)->getImage() != nullptr;
        for (const AuditedRule& rule : survey.backdropRules) {
            if (drawnAny && auditedRuleAlong(rule, button.drawn)) {
                note(survey, name, rectText(button.drawn), "sits on a line", rectText(rule.box),
                     "of the background");
            }
        }
        // A widget of the scene drawn over a dialog (a frame button) lies wholly on it or off it.
        for (const AuditedBox& dialog : survey.dialogs) {
            const Rect& d = dialog.box;
            const Rect near{d.x - CLEARANCE, d.y - CLEARANCE, d.w + 2 * CLEARANCE,
                            d.h + 2 * CLEARANCE};
            if (dialog.order < button.order && rectsOverlap(button.drawn, near) &&
                !d.contains(button.drawn)) {
                note(survey, name, rectText(button.drawn), "lies on the edge of dialog",
                     auditedName(dialog.node), rectText(dialog.box));
            }
        }
    }
    // A picture that a text of the scene lies on, standing free of the screen's edges (a
    // balloon, a board), or one slid aside (a door into its wall) does not hide the corner of a
    // panel's rim in the background.
    for (const AuditedPicture& p : survey.pictures) {
        const bool backsText = std::ranges::any_of(survey.lines, [&](const AuditedLine& line) {
            return !line.dialog && !line.ink.isEmpty() && p.order < line.order &&
                   p.box.contains(line.ink);
        });
        const Rect inner{1, 1, survey.screen.w - 2, survey.screen.h - 2};
        if (p.dialog || p.moving || !(p.slidAside || (backsText && inner.contains(p.opaque)))) {
            continue;
        }
        if (const std::optional<Rect> corner = auditedHiddenCorner(backdropLines, p.opaque)) {
            note(survey, auditedPictureName(p), "hides the corner", rectText(*corner),
                 "of a rim of the background");
        }
    }
    for (const AuditedPicture& drawnIn : survey.pictures) {
        for (const AuditedRule& rule : drawnIn.rules) {
            const std::string ruleName =
                "a line " + rectText(rule.box) + " of " + auditedName(drawnIn.sprite);
            // It runs through another picture of the same dialog, unless that one is its backdrop,
            // a line itself or a frame around it.
            for (const AuditedPicture& p : survey.pictures) {
                if (&p != &drawnIn && p.dialog == drawnIn.dialog && !p.moving && !p.thin() &&
                    !p.frame && !p.opaque.contains(drawnIn.opaque) &&
                    auditedRuleCrosses(rule, p.opaque)) {
                    survey.problems.push_back(ruleName + " crosses " + auditedPictureName(p));
                }
            }
            // A moving picture's lines pass behind or over a text for a moment.
            for (const AuditedLine& line : survey.lines) {
                if (!line.ink.isEmpty() && drawnIn.dialog == line.dialog && !drawnIn.moving &&
                    auditedRuleCrosses(rule, line.ink)) {
                    note(survey, auditedLineName(line), rectText(line.ink), "is crossed by",
                         ruleName);
                }
            }
        }
    }
    // Pictures and buttons lie on the ornaments of the pictures below them; a button also on
    // those of the background's panel it is on, not on the scenery's (a town's lit windows).
    std::vector<AuditedPicture> covers = survey.pictures;
    for (const AuditedBox& button : survey.buttons) {
        auto* sprite = objectCast<Sprite>(button.node);
        if (sprite->getImage()) {  // a bare hit area draws nothing
            covers.push_back({.sprite = sprite,
                              .opaque = button.drawn,
                              .moving = auditedMoving(sprite),
                              .order = button.order,
                              .dialog = button.dialog});
        }
    }
    for (const AuditedPicture& p : covers) {
        for (const AuditedPicture& under : survey.pictures) {
            auditOrnaments(survey, under, p);
        }
        const std::optional<Rect> panel =
            auditedIsButton(p.sprite) ? auditedPanelAround(backdropLines, p.opaque, survey.screen)
                                      : std::nullopt;
        if (panel) {
            auditOrnaments(survey,
                           {.box = whole, .opaque = *panel, .source = whole, .image = backdrop}, p);
        }
    }
    if (toolTip && toolTip->isShowing()) {
        const Sprite* box = toolTip->getRenderer();
        const auto* label = objectCast<ToolTipLabel>(box);
        const int32_t padding = label ? label->getPadding() : ToolTipLabel::DEFAULT_PADDING;
        const Rect drawn{toolTip->getBoxX() - padding, toolTip->getBoxY() - padding,
                         box->getWidth() + 2 * padding, box->getHeight() + 2 * padding};
        const std::string name =
            "tooltip \"" + (label ? wstringToString(label->getText()) : "") + "\"";
        auditOnScreen(survey, name, drawn);
        // The middle of what it tells about (a button's caption) stays in sight.
        if (const Sprite* told = toolTip->getCurrentSprite()) {
            const Rect box = auditedBoxOf(told);
            const Rect middle{box.x, box.y + box.h / 3, box.w, box.h - 2 * (box.h / 3)};
            if (rectsOverlap(drawn, middle)) {
                note(survey, name, rectText(drawn), "covers the middle", rectText(middle), "of",
                     auditedName(const_cast<Sprite*>(told)));
            }
        }
    }
    for (size_t i = 0; i < survey.lines.size(); ++i) {
        const AuditedLine& line = survey.lines[i];
        // A dialog drawn later over the whole line (one that darkens the screen) covers it as
        // meant.
        if (line.inkHidden && std::ranges::none_of(survey.dialogs, [&](const AuditedBox& dialog) {
                return dialog.order > line.order && dialog.box.contains(line.box);
            })) {
            survey.problems.push_back(auditedLineName(line) + " is covered in the picture");
        }
        for (const AuditedBox& button : survey.buttons) {
            // A text wholly on a button is its caption, as on a sign that is a button.
            if (line.button != button.node && button.dialog == line.dialog &&
                rectsOverlap(line.box, button.box) && !button.box.contains(line.block)) {
                note(survey, auditedLineName(line), rectText(line.box), "lies under button",
                     auditedName(button.node), rectText(button.box));
            }
        }
        // A picture of the dialog drawn after the letters covers what of them it overlaps; one
        // at rest drawn before crosses them with its edge, unless they lie on it: a text laid on
        // a picture drawn before it is on its backdrop, whatever that shows.
        for (const AuditedPicture& p : survey.pictures) {
            if (line.ink.isEmpty() || p.dialog != line.dialog ||
                !auditedOpaqueWithin(p, line.ink)) {
                continue;
            }
            if (p.order > line.order) {
                note(survey, auditedLineName(line), rectText(line.ink), "lies under",
                     auditedPictureName(p));
            } else if (!p.moving && !p.thin() && !p.box.contains(line.ink) &&
                       !p.opaque.contains(line.ink)) {
                note(survey, auditedLineName(line), rectText(line.ink), "is crossed by the edge of",
                     auditedPictureName(p));
            }
        }
        // In a dialog drawn from its pictures alone, the first one under a text is its backdrop:
        // what lies below the dialog must not show through it.
        auto* holder = objectCast<Dialog>(line.dialog);
        const auto under = std::ranges::find_if(survey.pictures, [&](const AuditedPicture& p) {
            return p.dialog == line.dialog && p.order < line.order && p.image &&
                   p.box.contains(line.ink);
        });
        if (holder && !holder->getPainter() && !holder->getBackgroundImage() &&
            !line.ink.isEmpty() && under != survey.pictures.end()) {
            if (const int32_t least = auditedLeastAlpha(*under, line.ink); least < 250) {
                note(survey, auditedLineName(line), rectText(line.ink), "lies on",
                     auditedPictureName(*under) + ", see-through (" + std::to_string(least) + ")");
            }
        }
        for (size_t j = i + 1; j < survey.lines.size(); ++j) {
            const AuditedLine& other = survey.lines[j];
            if (other.label != line.label && rectsOverlap(line.box, other.box)) {
                note(survey, auditedLineName(line), rectText(line.box), "overlaps",
                     auditedLineName(other), rectText(other.box));
            }
        }
    }
    return survey.problems;
}

void expectClearLayout(Scene* scene, const std::string& name, const Image* picture, GameNode* root,
                       const ToolTip* toolTip) {
    EXPECT_EQ(auditTextLayout(root ? root : scene->getTree(), 800, 600, picture, toolTip,
                              root ? nullptr : scene->getBackgroundImage()),
              std::vector<std::string>())
        << name;
}

RefHolder<Image> expectClearPicture(Scene* scene, const std::string& name, GameNode* root) {
    RefHolder<Image> picture = writeScenePicture(scene, name);
    EXPECT_NE(picture, nullptr) << name;
    expectClearLayout(scene, name, picture.get(), root);
    return picture;
}
