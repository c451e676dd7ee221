#include "framework/gui/Label.h"

#include <algorithm>
#include <array>

#include "framework/core/BasicProperties.h"
#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PropertyNode.h"
#include "framework/nodes/ResourceLookup.h"
#include "framework/platform/Graphics.h"
#include "framework/platform/Image.h"

QUOVEL_DEFINE_TYPE(Label, &Sprite::typeRecord, &iText::typeRecord)
QUOVEL_REGISTER_CLASS(Label)

namespace {

constexpr std::array<const char*, 2> PAD_NAMES = {"offset", "none"};

// Where the font margin pushes the image for each anchor type: -1 left/up, 1 right/down.
constexpr std::array<std::array<int32_t, 2>, 9> ANCHOR_PAD = {
    {{-1, -1}, {0, -1}, {1, -1}, {-1, 0}, {0, 0}, {1, 0}, {-1, 1}, {0, 1}, {1, 1}}};

bool isBlank(wchar_t c) {
    return c == L' ' || c == L'\t';
}

std::wstring withoutLeadingBlanks(const std::wstring& text, size_t from) {
    while (from < text.size() && isBlank(text[from])) {
        ++from;
    }
    return from < text.size() ? text.substr(from) : std::wstring();
}

std::vector<std::wstring> paragraphsOf(const std::wstring& text) {
    std::vector<std::wstring> paragraphs;
    size_t start = 0;
    for (;;) {
        const size_t end = text.find(L'\n', start);
        paragraphs.push_back(text.substr(start, end == std::wstring::npos ? end : end - start));
        if (end == std::wstring::npos) {
            return paragraphs;
        }
        start = end + 1;
    }
}

}  // namespace

Label::Label(PropertyNode* definition) : Sprite(definition) {
    if (definition) {
        readDefinition(nodeOrDummy(definition));
    }
}

Label::Label(int32_t x, int32_t y, int32_t width, int32_t height, Font* initialFont,
             int32_t initialWrapStyle)
    : Sprite(x, y, width, height), font(initialFont), wrapStyle(initialWrapStyle) {}

Label::~Label() = default;

void Label::readDefinition(PropertyNode* node) {
    if (node->getChild("font")) {
        font = definitionFont(node);
    }
    if (AbstractProperty* value = node->getChild("color")) {
        setTextColor(static_cast<uint32_t>(value->getInt()), 0);
    } else {
        for (int32_t i = 0;; ++i) {
            AbstractProperty* indexed = node->getChild("color" + std::to_string(i));
            if (!indexed) {
                break;
            }
            setTextColor(static_cast<uint32_t>(indexed->getInt()), i);
        }
    }
    if (node->getChild("wrapstyle")) {
        wrapStyle = node->getChoice("wrapstyle", WRAP_STYLE_NAMES, -1);
    }
    if (node->getChild("padstyle")) {
        padStyle = node->getChoice("padstyle", PAD_NAMES, -1);
    }
    if (node->getChild("alignh")) {
        alignH = node->getChoice("alignh", ALIGN_NAMES, -1);
    }
    if (AbstractProperty* value = node->getChild("autofitheight")) {
        autoFitHeight = value->getBool();
    }
    if (AbstractProperty* value = node->getChild("lineheight")) {
        lineHeight = value->getInt();
    }
    if (AbstractProperty* value = node->getChild("maxlines")) {
        maxLines = std::max(value->getInt(), 0);
    }
    if (std::optional<std::wstring> given = definitionText(node)) {
        setText(*given);
    }
    markForRender();
}

RefHolder<Font> Label::definitionFont(PropertyNode* node) {
    AbstractProperty* key = node->getChild("font");
    if (!key) {
        return nullptr;
    }
    const AbstractProperty* section = node->getChild("section");
    return findOrLoad<Font>(key->getValue(), section ? section->getValue() : std::string());
}

std::optional<std::wstring> Label::definitionText(PropertyNode* node) {
    if (AbstractProperty* value = node->getChild("text")) {
        return value->getText();
    }
    if (AbstractProperty* other = node->getChild("value")) {
        return other->getText();
    }
    if (AbstractProperty* id = node->getChild("textid")) {
        return getBasicText(id->getValue());
    }
    return std::nullopt;
}

void* Label::castTo(const TypeRecord* type) {
    if (type == &iText::typeRecord) {
        return static_cast<iText*>(this);
    }
    return Sprite::castTo(type);
}

void Label::setAlignH(int32_t value) {
    if (value != alignH) {
        alignH = value;
        markForRender();
    }
}

void Label::setText(const std::wstring& value) {
    std::wstring converted;
    converted.reserve(value.size());
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] == L'\\' && i + 1 < value.size() && value[i + 1] == L'n') {
            converted += L'\n';
            ++i;
        } else {
            converted += value[i];
        }
    }
    if (converted != text) {
        text = std::move(converted);
        markForRender();
    }
}

void Label::setFont(Font* value) {
    font = value;
    markForRender();
}

void Label::setTextColor(uint32_t color, int32_t index) {
    if (index < 0) {
        return;
    }
    if (colors.size() < static_cast<size_t>(index) + 1) {
        colors.resize(static_cast<size_t>(index) + 1, 0);
        markForRender();
    }
    if (colors[static_cast<size_t>(index)] != color) {
        colors[static_cast<size_t>(index)] = color;
        markForRender();
    }
}

void Label::setAnchorOffset(float offsetX, float offsetY) {
    if (offsetX != getAnchor().x || offsetY != getAnchor().y) {
        Sprite::setAnchorOffset(offsetX, offsetY);
        markForRender();
    }
}

void Label::setAnchorOffsetPoint(const PointF& offset) {
    setAnchorOffset(offset.x, offset.y);
}

void Label::setAnchorType(int32_t type) {
    if (type != getAnchor().type) {
        setAnchor(type);
        markForRender();
    }
}

void Label::setWrapStyle(int32_t value) {
    if (value != wrapStyle) {
        wrapStyle = value;
        markForRender();
    }
}

void Label::setAutoFitHeight(bool value) {
    if (value != autoFitHeight) {
        autoFitHeight = value;
        markForRender();
    }
}

void Label::setMaxLines(int32_t value) {
    value = std::max(value, 0);
    if (value != maxLines) {
        maxLines = value;
        markForRender();
    }
}

void Label::setWidth(int32_t value) {
    if (value != getWidth()) {
        Sprite::setWidth(value);
        if (!fittingImage) {
            markForRender();
        }
    }
}

int32_t Label::effectiveLineHeight() const {
    if (lineHeight > 0 || !font) {
        return lineHeight;
    }
    return font->getLineHeight();
}

int32_t Label::measure(const std::wstring& line, int32_t count) const {
    return font->measureText(line, 0, count, 0);
}

void Label::renderText() {
    if (!textDirty) {
        return;
    }
    if (!font) {
        setImage(nullptr);
        bounds = Rect{};
    } else {
        layOut();
        measureLines();
        if ((wrapStyle == WRAP_WORDWRAP || wrapStyle == WRAP_TRUNCATE) && getWidth() <= 0) {
            setImage(nullptr);
        } else {
            renderLines();
        }
    }
    textDirty = false;
}

void Label::layOut() {
    lines.clear();
    if (wrapStyle < WRAP_AUTOWIDTH || wrapStyle > WRAP_TRUNCATE) {
        return;
    }
    for (const std::wstring& paragraph : paragraphsOf(text)) {
        if (wrapStyle == WRAP_WORDWRAP && maxLines > 0 &&
            static_cast<int32_t>(lines.size()) >= maxLines) {
            // A paragraph that has no line left is told by the ellipsis on the last one, unless
            // that line was shortened already.
            std::wstring& last = lines.back().text;
            if (!last.ends_with(L"...")) {
                last = last.empty() ? L"..." : withEllipsis(last, getWidth());
            }
            break;
        }
        if (wrapStyle == WRAP_AUTOWIDTH) {
            lines.push_back({paragraph});
        } else if (wrapStyle == WRAP_WORDWRAP) {
            wrapParagraph(paragraph, getWidth());
        } else {
            truncateParagraph(paragraph, getWidth());
        }
    }
}

void Label::wrapParagraph(const std::wstring& paragraph, int32_t maxWidth) {
    if (paragraph.empty() || measure(paragraph) <= maxWidth) {
        lines.push_back({paragraph});
        return;
    }
    std::wstring rest = paragraph;
    // Every pass takes at least one character, so the loop ends even at a width below 0.
    while (!rest.empty() && measure(rest) > maxWidth) {
        const size_t cut = findBreak(rest, maxWidth);
        // With a line limit, a word is never split and the last line ends the text shortened.
        if (maxLines > 0 &&
            (!isBlank(rest[cut]) || static_cast<int32_t>(lines.size()) + 1 >= maxLines)) {
            lines.push_back({withEllipsis(rest, maxWidth)});
            return;
        }
        lines.push_back({rest.substr(0, cut)});
        rest = withoutLeadingBlanks(rest, cut);
    }
    rest = withoutLeadingBlanks(rest, 0);
    if (!rest.empty()) {
        lines.push_back({rest});
    }
}

size_t Label::findBreak(const std::wstring& rest, int32_t maxWidth) const {
    size_t lastBlank = 0;
    bool blankSeen = false;
    for (size_t i = 1; i <= rest.size(); ++i) {
        if (measure(rest, static_cast<int32_t>(i)) <= maxWidth) {
            if (i < rest.size() && isBlank(rest[i])) {
                lastBlank = i;
                blankSeen = true;
            }
            continue;
        }
        if (blankSeen) {
            return lastBlank;
        }
        size_t fits = i - 1;
        while (fits > 1 && measure(rest, static_cast<int32_t>(fits)) > maxWidth) {
            --fits;
        }
        return std::max<size_t>(fits, 1);
    }
    return rest.size();
}

void Label::truncateParagraph(const std::wstring& paragraph, int32_t maxWidth) {
    if (paragraph.empty() || measure(paragraph) <= maxWidth) {
        lines.push_back({paragraph});
        return;
    }
    lines.push_back({withEllipsis(paragraph, maxWidth)});
}

std::wstring Label::withEllipsis(const std::wstring& line, int32_t maxWidth) const {
    std::wstring fitted;
    for (size_t i = 1; i <= line.size(); ++i) {
        while (i < line.size() && line[i - 1] == L' ') {
            ++i;
        }
        std::wstring candidate = line.substr(0, i) + L"...";
        if (measure(candidate) > maxWidth) {
            break;
        }
        fitted = std::move(candidate);
    }
    return fitted;
}

void Label::measureLines() {
    const int32_t step = effectiveLineHeight();
    const auto count = static_cast<int32_t>(lines.size());
    int32_t blockWidth = 0;
    for (int32_t i = 0; i < count; ++i) {
        LabelLine& line = lines[static_cast<size_t>(i)];
        line.width = measure(line.text);
        line.y = i * step;
        blockWidth = std::max(blockWidth, line.width);
    }
    for (LabelLine& line : lines) {
        line.x = alignH == ALIGN_CENTER  ? (blockWidth - line.width) / 2
                 : alignH == ALIGN_RIGHT ? blockWidth - line.width
                                         : 0;
    }
    bounds.w = blockWidth;
    bounds.h = font->getCellHeight() + (count - 1) * step;
    bounds.x = 0;
    bounds.y = 0;
    const int32_t anchorType = getAnchor().type;
    if (padStyle == PAD_OFFSET && anchorType >= 0 && anchorType < 9) {
        bounds.x = font->getMargin() * ANCHOR_PAD[static_cast<size_t>(anchorType)][0];
        bounds.y = font->getMargin() * ANCHOR_PAD[static_cast<size_t>(anchorType)][1];
    }
    if (wrapStyle == WRAP_WORDWRAP || wrapStyle == WRAP_TRUNCATE) {
        if (alignH == ALIGN_CENTER) {
            bounds.x += (getWidth() - blockWidth) / 2;
        } else if (alignH == ALIGN_RIGHT) {
            bounds.x += getWidth() - blockWidth;
        }
    }
}

void Label::renderLines() {
    int32_t imageWidth = bounds.w;
    int32_t imageHeight = bounds.h;
    if ((wrapStyle == WRAP_WORDWRAP || wrapStyle == WRAP_TRUNCATE) && imageWidth > getWidth()) {
        imageWidth = getWidth();
    }
    if (!autoFitHeight && imageHeight > getHeight()) {
        imageHeight = getHeight();
    }
    RefHolder<Image> image =
        imageWidth > 0 && imageHeight > 0 ? Image::createImage(imageWidth, imageHeight) : nullptr;
    setImage(image.get());
    if (!image) {
        return;
    }
    RefHolder<Graphics> graphics = image->createGraphics();
    if (!graphics) {
        return;
    }
    graphics->setFont(font.get());
    graphics->setColor(font->isLastLayerAlphaOnly() && !colors.empty() ? colors.front()
                                                                       : font->getLastLayerColor());
    graphics->fillRect(0, 0, imageWidth, imageHeight);
    graphics->fillChannel(Channel::ALPHA, 0);
    std::vector<TextLine> drawn;
    drawn.reserve(lines.size());
    for (const LabelLine& line : lines) {
        drawn.push_back({line.text, line.x, line.y});
    }
    graphics->drawTextLines(drawn, colors);
}

void Label::setImage(Image* newImage) {
    const int32_t previousWidth = getWidth();
    const int32_t previousHeight = getHeight();
    fittingImage = true;
    Sprite::setImage(newImage);
    if (wrapStyle == WRAP_WORDWRAP || wrapStyle == WRAP_TRUNCATE) {
        setWidth(previousWidth);
    }
    if (!autoFitHeight) {
        setHeight(previousHeight);
    }
    fittingImage = false;
}

void Label::render(Graphics* graphics) {
    renderText();
    if (!graphics) {
        return;
    }
    graphics->translate(bounds.x, bounds.y);
    Sprite::render(graphics);
    graphics->translate(-bounds.x, -bounds.y);
}
