#include "gui/TextLayoutAudit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <optional>
#include <set>

#include "framework/gui/Dialog.h"
#include "framework/gui/Label.h"
#include "framework/gui/ToolTip.h"
#include "framework/nodes/Sprite.h"
#include "framework/os/Utf8.h"
#include "framework/platform/Image.h"
#include "gui/HeadlessPicture.h"
#include "gui/TextLayoutSurvey.h"

namespace text_layout_audit {

using namespace text_layout_survey;

// Pixels of clear space a widget keeps from a line running along its edge (a panel's rim), and
// from the edge of a dialog it does not belong to.
constexpr int32_t CLEARANCE = 4;
// The length of a line of the background that is a panel's side, not a stroke of the scenery.
constexpr int32_t LONG_RULE = 64;

// Whether the picture is drawn opaque anywhere in the rectangle (a stretched one: anywhere in
// its box).
bool auditedOpaqueWithin(const AuditedPicture& p, const Rect& rect) {
    return std::ranges::any_of(pixelsOf(intersectRects(p.opaque, rect)), [&](const auto& at) {
        return !p.image || alphaAt(p.image, p.source.x + at.first - p.box.x,
                                   p.source.y + at.second - p.box.y) >= 128;
    });
}

// The least opacity of the unstretched picture's pixels in a rectangle on the screen within it.
int32_t auditedLeastAlpha(const AuditedPicture& p, const Rect& rect) {
    int32_t least = 255;
    for (const auto [x, y] : pixelsOf(rect)) {
        least = std::min<int32_t>(
            least, alphaAt(p.image, p.source.x + x - p.box.x, p.source.y + y - p.box.y));
    }
    return least;
}

// The rectangle turned a quarter unless `horizontal`: a line along it then runs along x.
Rect alongX(const Rect& r, bool horizontal) {
    return horizontal ? r : Rect{r.y, r.x, r.h, r.w};
}

// Whether the rule runs through the inside of `other` (not along its outermost rows or
// columns) for at least 4 pixels of its length, or all of `other` if less.
bool auditedRuleCrosses(const AuditedRule& rule, const Rect& other) {
    const Rect line = alongX(rule.box, rule.horizontal), o = alongX(other, rule.horizontal);
    const Rect common = intersectRects(line, o);
    return !common.isEmpty() && line.y > o.y && line.y + line.h < o.y + o.h &&
           common.w >= std::min(4, o.w);
}

// The parts of a line of the background that the picture of the screen shows (all of it
// without one).
void surveyBackdropRule(LayoutSurvey& survey, const Image* backdrop, const Rect& rule) {
    const bool horizontal = rule.w > rule.h;
    const Rect line = alongX(rule, horizontal);
    int32_t start = -1;
    for (int32_t i = 0; i <= line.w; ++i) {
        const int32_t x = rule.x + (horizontal ? i : 0), y = rule.y + (horizontal ? 0 : i);
        const bool shown =
            i < line.w &&
            (!survey.picture ||
             (x < survey.picture->getWidth() && y < survey.picture->getHeight() &&
              auditedColorDistance(colorAt(survey.picture, x, y), colorAt(backdrop, x, y)) <= 8));
        if (shown && start < 0) {
            start = i;
        } else if (!shown && start >= 0) {
            const Rect part{line.x + start, line.y, i - start, line.h};
            survey.backdropRules.push_back({alongX(part, horizontal), horizontal});
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
    const Rect line = alongX(rule.box, rule.horizontal), d = alongX(drawn, rule.horizontal);
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
        const Rect l = alongX(line, horizontal), a = alongX(area, horizontal);
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
    for (const auto [x0, y0] : pixelsOf(window)) {
        if (!at(x0, y0) || !seen.insert({x0, y0}).second) {
            continue;
        }
        // One patch, grown over its neighbours in the window; one reaching past it is large.
        const size_t before = seen.size() - 1;
        Rect patch{x0, y0, 1, 1};
        for (std::vector<std::pair<int32_t, int32_t>> todo{{x0, y0}}; !todo.empty();) {
            const auto [x, y] = todo.back();
            todo.pop_back();
            for (const auto& [nx, ny] : {std::pair{x + 1, y}, {x - 1, y}, {x, y + 1}, {x, y - 1}}) {
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

// The findings of the lines of the pictures and of `backdrop`, the scene's background: widgets
// on its rims, hidden corners, lines through pictures and texts, pictures on ornaments.
void auditRimsAndOrnaments(LayoutSurvey& survey, const Image* backdrop) {
    const Rect whole = backdrop ? Rect{0, 0, backdrop->getWidth(), backdrop->getHeight()} : Rect{};
    const std::vector<Rect> backdropLines =
        backdrop ? auditedRules(backdrop, whole) : std::vector<Rect>{};
    for (const Rect& rule : backdropLines) {
        surveyBackdropRule(survey, backdrop, rule);
    }
    for (const AuditedPicture& button : survey.buttons) {
        if (button.dialog) {
            continue;
        }
        const std::string name = "button " + auditedName(button.sprite);
        // A bare hit area draws nothing to sit anywhere.
        const bool drawnAny = button.sprite->getImage() != nullptr;
        for (const AuditedRule& rule : survey.backdropRules) {
            if (drawnAny && auditedRuleAlong(rule, button.opaque)) {
                note(survey, name, rectText(button.opaque), "sits on a line", rectText(rule.box),
                     "of the background");
            }
        }
        // A widget of the scene drawn over a dialog (a frame button) lies wholly on it or off it.
        for (const AuditedBox& dialog : survey.dialogs) {
            const Rect& d = dialog.box;
            const Rect near{d.x - CLEARANCE, d.y - CLEARANCE, d.w + 2 * CLEARANCE,
                            d.h + 2 * CLEARANCE};
            if (dialog.order < button.order && rectsOverlap(button.opaque, near) &&
                !d.contains(button.opaque)) {
                note(survey, name, rectText(button.opaque), "lies on the edge of dialog",
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
    std::ranges::copy_if(survey.buttons, std::back_inserter(covers), [](const AuditedPicture& b) {
        return b.sprite->getImage() != nullptr;  // a bare hit area draws nothing
    });
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
}

}  // namespace text_layout_audit

std::vector<std::string> auditTextLayout(GameNode* root, int32_t screenWidth, int32_t screenHeight,
                                         const Image* picture, const ToolTip* toolTip,
                                         const Image* backdrop) {
    using namespace text_layout_audit;
    LayoutSurvey survey;
    survey.screen = Rect{0, 0, screenWidth, screenHeight};
    survey.picture = picture;
    if (!root) {
        return {};
    }
    surveyNode(survey, root, nullptr, nullptr);
    auditRimsAndOrnaments(survey, backdrop);
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
        for (const AuditedPicture& button : survey.buttons) {
            // A text wholly on a button is its caption, as on a sign that is a button.
            if (line.button != button.sprite && button.dialog == line.dialog &&
                rectsOverlap(line.box, button.box) && !button.box.contains(line.block)) {
                note(survey, auditedLineName(line), rectText(line.box), "lies under button",
                     auditedName(button.sprite), rectText(button.box));
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
