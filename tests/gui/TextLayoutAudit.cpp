#include "gui/TextLayoutAudit.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "framework/core/Rect.h"
#include "framework/gui/Button.h"
#include "framework/gui/Dialog.h"
#include "framework/gui/Label.h"
#include "framework/gui/Switch.h"
#include "framework/os/Utf8.h"
#include "framework/platform/Font.h"
#include "framework/platform/Image.h"
#include "platform/PixelAccess.h"

namespace {

struct AuditedLine {
    Label* label = nullptr;
    size_t index = 0;
    Rect box;
    GameNode* button = nullptr;  // the button the text is drawn on, if any
    Rect block;                  // all the lines of the label
};

struct AuditedBox {
    GameNode* node = nullptr;
    Rect box;
};

struct LayoutSurvey {
    int32_t screenWidth = 0;
    int32_t screenHeight = 0;
    const Image* picture = nullptr;
    std::vector<AuditedLine> lines;
    std::vector<AuditedBox> buttons;
    std::vector<std::string> problems;
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

// Colours that differ by at most 8 levels a channel, as blending and depth leave them.
bool auditedSameColor(uint32_t a, uint32_t b) {
    for (int32_t shift = 0; shift < 24; shift += 8) {
        if (std::abs(static_cast<int32_t>((a >> shift) & 0xFF) -
                     static_cast<int32_t>((b >> shift) & 0xFF)) > 8) {
            return false;
        }
    }
    return true;
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
    Rect block;
    for (size_t index = 0; index < lines.size(); ++index) {
        const LabelLine& line = lines[index];
        if (line.width <= 0) {
            continue;
        }
        AuditedLine audited{
            label, index,
            Rect{labelBox.x + bounds.x + line.x, labelBox.y + bounds.y + line.y, line.width, step},
            button, Rect{}};
        if (clip) {
            audited.box = intersectRects(audited.box, *clip);
            if (audited.box.isEmpty()) {
                continue;
            }
        }
        const std::string name = auditedLineName(audited);
        if (boxed && line.width > label->getWidth()) {
            survey.problems.push_back(name + " is wider than its box");
        }
        // Ink is compared only where the label is drawn as rendered: whole and unstretched.
        if (survey.picture && label->getImage() && label->getAlpha() >= 255 && !stretch &&
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

void surveyNode(LayoutSurvey& survey, GameNode* node, const Rect* dialogBox, GameNode* button) {
    if (node->isRemoved() || !node->isVisible()) {
        return;
    }
    Rect ownDialogBox;
    auto* sprite = objectCast<Sprite>(node);
    if (objectCast<Dialog>(node)) {
        ownDialogBox = auditedBoxOf(sprite);
        dialogBox = &ownDialogBox;
        if (!auditedInside(ownDialogBox, Rect{0, 0, survey.screenWidth, survey.screenHeight})) {
            survey.problems.push_back("dialog " + auditedName(node) + " " +
                                      auditedText(ownDialogBox) + " reaches out of the screen");
        }
    } else if (sprite && (objectCast<Button>(node) || objectCast<Switch>(node))) {
        const Rect box = auditedBoxOf(sprite);
        survey.buttons.push_back({node, box});
        button = node;
        if (!auditedInside(box, Rect{0, 0, survey.screenWidth, survey.screenHeight})) {
            survey.problems.push_back("button " + auditedName(node) + " " + auditedText(box) +
                                      " reaches out of the screen");
        }
    } else if (auto* label = objectCast<Label>(node)) {
        surveyLabel(survey, label, dialogBox, button);
    }
    for (GameNode* child = node->getFirstChild(); child; child = child->getNextSibling()) {
        surveyNode(survey, child, dialogBox, button);
    }
}

bool auditedOverlap(const Rect& a, const Rect& b) {
    return !intersectRects(a, b).isEmpty();
}

}  // namespace

std::vector<std::string> auditTextLayout(GameNode* root, int32_t screenWidth, int32_t screenHeight,
                                         const Image* picture) {
    LayoutSurvey survey;
    survey.screenWidth = screenWidth;
    survey.screenHeight = screenHeight;
    survey.picture = picture;
    if (!root) {
        return {};
    }
    surveyNode(survey, root, nullptr, nullptr);
    for (size_t i = 0; i < survey.lines.size(); ++i) {
        const AuditedLine& line = survey.lines[i];
        for (const AuditedBox& button : survey.buttons) {
            // A text wholly on a button is its caption, as on a sign that is a button.
            if (line.button != button.node && auditedOverlap(line.box, button.box) &&
                !auditedInside(line.block, button.box)) {
                survey.problems.push_back(auditedLineName(line) + " " + auditedText(line.box) +
                                          " lies under button " + auditedName(button.node) + " " +
                                          auditedText(button.box));
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
