#include "game/dialogs/DialogTrophyText.h"

#include <algorithm>

#include "framework/core/ObjectFactoryContainer.h"

QUOVEL_DEFINE_TYPE(DialogTrophyText, &DialogInfoPop::typeRecord)
QUOVEL_REGISTER_CLASS(DialogTrophyText)

namespace {

constexpr int32_t WIDTH_STEP = 50;
constexpr int32_t WIDEST = 750;
constexpr size_t MOST_TEXT_LINES = 2;

}  // namespace

void widenToTwoLines(Label* label, int32_t firstWidth) {
    if (!label) {
        return;
    }
    for (int32_t width = firstWidth; width <= WIDEST; width += WIDTH_STEP) {
        label->setWidth(width);
        label->renderText();
        if (label->getLines().size() <= MOST_TEXT_LINES) {
            return;
        }
    }
}

DialogTrophyText::DialogTrophyText(PropertyNode* definition) : DialogInfoPop(definition) {
    headerLabel = objectCast<Label>(findChild("LABEL_HEADER"));
    textLabel = objectCast<Label>(findChild("LABEL_TEXT"));
    addFadingLabel(headerLabel);
    addFadingLabel(textLabel);
    baseHeight = getRequestedHeight();
    baseWidth = getRequestedWidth();
    baseY = getY();
    textBaseY = textLabel ? textLabel->getY() : 0;
}

DialogTrophyText::~DialogTrophyText() = default;

void DialogTrophyText::setTexts(const std::wstring& header, const std::wstring& body) {
    if (!headerLabel || !textLabel) {
        return;
    }
    headerLabel->setText(header);
    headerLabel->renderText();
    textLabel->setText(body);
    textLabel->renderText();
    widenToTwoLines(textLabel);
    const int32_t w = std::max(headerLabel->getWidth(), textLabel->getWidth());
    setWidth(baseWidth + w);
    textLabel->setWidth(w);
    const int32_t textHeight = textLabel->getHeight();
    int32_t top = baseY - textHeight;
    int32_t height = baseHeight + textHeight;
    textLabel->setY(textBaseY);
    if (header.empty()) {
        textLabel->setY(textBaseY - headerLabel->getHeight());
        top += headerLabel->getHeight();
        height -= headerLabel->getHeight();
    }
    setY(top + height / 2);
    setHeight(height);
    placeComponents();
}
