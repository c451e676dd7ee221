#include "gui/TextLayoutAudit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "framework/gui/Dialog.h"
#include "framework/gui/Label.h"
#include "framework/gui/ToolTip.h"
#include "framework/os/Utf8.h"
#include "framework/platform/Image.h"
#include "gui/HeadlessPicture.h"
#include "gui/TextLayoutSurvey.h"

namespace text_layout_audit {

using namespace text_layout_survey;

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
    text_layout_rims::auditRimsAndOrnaments(survey, backdrop);
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
