#include <algorithm>
#include <cstdlib>
#include <map>
#include <optional>

#include "framework/gui/Button.h"
#include "framework/gui/Dialog.h"
#include "framework/gui/Label.h"
#include "framework/gui/Panel.h"
#include "framework/gui/Switch.h"
#include "framework/nodes/ModifierLocation.h"
#include "framework/os/Utf8.h"
#include "framework/platform/Font.h"
#include "framework/platform/Image.h"
#include "gui/TextLayoutSurvey.h"

// The survey of the tree, with the findings made on the way: a text against its box, its dialog
// and the screen, a caption against its button's rim, a dialog cutting a picture.
namespace text_layout_survey {

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

// Whether the picture does not show a fully inked pixel of the line's rows of the label's image as
// the label drew it: covered by something drawn later, or beyond the picture.
bool auditedInkHidden(const Image* picture, const Image* image, int32_t left, int32_t top,
                      int32_t fromRow, int32_t toRow) {
    const int32_t from = std::max(fromRow, 0);
    const Rect rows{0, from, image->getWidth(), std::min(toRow, image->getHeight()) - from};
    const Rect shown{0, 0, picture->getWidth(), picture->getHeight()};
    return std::ranges::any_of(pixelsOf(rows), [&](const auto& ink) {
        const auto [x, y] = ink;
        // A centred label may land half a pixel off its measured place: a neighbour counts;
        // blending and depth leave a colour up to 8 levels off a channel.
        const Rect around = intersectRects(Rect{left + x - 1, top + y - 1, 3, 3}, shown);
        return alphaAt(image, x, y) == 255 &&
               std::ranges::none_of(pixelsOf(around), [&](const auto& p) {
                   return auditedColorDistance(colorAt(picture, p.first, p.second),
                                               colorAt(image, x, y)) <= 8;
               });
    });
}

// Where the shown part of the image is at least half opaque, relative to that part.
Rect auditedOpaque(const Image* image, const Rect& source) {
    Rect opaque;
    for (const auto [x, y] : pixelsOf(source)) {
        if (alphaAt(image, x, y) >= 128) {
            const Rect pixel{x - source.x, y - source.y, 1, 1};
            opaque = opaque.isEmpty() ? pixel : uniteRects(opaque, pixel);
        }
    }
    return opaque;
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
    // Where the text's image is drawn.
    const int32_t left = auditedBoxOf(label).x + label->getTextBounds().x;
    const int32_t top = auditedBoxOf(label).y + label->getTextBounds().y;
    // Stretched to its own size (a pop-in that has ended) it is drawn as rendered.
    const bool stretched =
        stretch && (stretch->w != label->getWidth() || stretch->h != label->getHeight());
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
        const Rect box{left + line.x, top + line.y, line.width, step};
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
            audited.ink = Rect{left + ink.x, top + line.y + ink.y, ink.w, ink.h};
            audited.ink = clip ? intersectRects(audited.ink, *clip) : audited.ink;
        }
        const std::string name = auditedLineName(audited);
        if (boxed && line.width > label->getWidth()) {
            survey.problems.push_back(name + " is wider than its box");
        }
        // Ink is compared only where the label is drawn as rendered: whole and unstretched.
        audited.inkHidden =
            survey.picture && label->getImage() && label->getAlpha() >= 255 && !stretched &&
            auditedInkHidden(survey.picture, label->getImage(), left, top, line.y, line.y + step);
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
            survey.dialogs.push_back({node, ownDialogBox, survey.order});
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
        AuditedPicture drawn{.sprite = sprite,
                             .box = box,
                             .opaque = box,
                             .moving = auditedMoving(sprite),
                             .order = survey.order,
                             .dialog = auditedDialogOf(node)};
        if (const Image* image = sprite->getImage(); image && !sprite->getStretchRect()) {
            const Rect whole{0, 0, image->getWidth(), image->getHeight()};
            const Rect source =
                sprite->getSourceRect() ? intersectRects(*sprite->getSourceRect(), whole) : whole;
            const Rect opaque = auditedOpaque(image, source);
            drawn.opaque = Rect{box.x + opaque.x, box.y + opaque.y, opaque.w, opaque.h};
            // The caption drawn in it keeps 3 pixels of face off its rim; one narrower than 32
            // pixels shows an icon (a knob, a tick), not a caption.
            const std::optional<int32_t> margin =
                box.w >= 32 ? auditedCaptionMargin(image, source) : std::nullopt;
            if (margin && *margin < 3) {
                note(survey, "button " + auditedName(node), rectText(drawn.opaque),
                     "has its caption", std::to_string(*margin), "pixels from its rim");
            }
        }
        survey.buttons.push_back(drawn);
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

}  // namespace text_layout_survey
