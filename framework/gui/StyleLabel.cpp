#include "framework/gui/StyleLabel.h"

#include <algorithm>
#include <array>

#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PropertyNode.h"
#include "framework/core/StringUtils.h"
#include "framework/gui/StyleFormat.h"
#include "framework/platform/Graphics.h"
#include "framework/platform/Image.h"

QUOVEL_DEFINE_TYPE(StyleLabel, &Sprite::typeRecord)
QUOVEL_REGISTER_CLASS(StyleLabel)

namespace {

// A run of a styled line: a label that keeps the vertical alignment it was made with.
class StyleRun : public Label {
public:
    StyleRun(int32_t x, int32_t y, Font* font) : Label(x, y, 0, 0, font, WRAP_AUTOWIDTH) {}
    int32_t getStyleFlags() const override { return flags; }
    void setStyleFlags(int32_t value) override { flags = value; }

private:
    int32_t flags = 0;
};

// Strict overlap of the run's box with the picture's; an empty box overlaps nothing.
bool overlaps(const Label* run, int32_t runHeight, const Sprite* image) {
    if (run->getWidth() <= 0 || runHeight <= 0) {
        return false;
    }
    return run->getX() < image->getX() + image->getWidth() &&
           image->getX() < run->getX() + run->getWidth() &&
           run->getY() < image->getY() + image->getHeight() &&
           image->getY() < run->getY() + runHeight;
}

int32_t baselineOf(const Label* run) {
    return run->getFont() ? run->getFont()->getBaseline() : 0;
}

int32_t cellHeightOf(const Font* font) {
    return font ? font->getCellHeight() : 0;
}

// The color a run's box is filled with under its text.
uint32_t drawColorOf(const Label* run) {
    const Font* font = run->getFont();
    const std::vector<uint32_t>& colors = run->getTextColors();
    if (!font || (font->isLastLayerAlphaOnly() && !colors.empty())) {
        return colors.empty() ? 0 : colors.front();
    }
    return font->getLastLayerColor();
}

}  // namespace

StyleLabel::StyleLabel(PropertyNode* definition) : Sprite(definition) {
    readDefinition(nodeOrDummy(definition));
}

StyleLabel::~StyleLabel() = default;

void StyleLabel::readDefinition(PropertyNode* node) {
    state.currentFont = Label::definitionFont(node);
    if (AbstractProperty* value = node->getChild("color")) {
        state.colorStack.push_back(static_cast<uint32_t>(value->getInt()));
    }
    if (node->getChild("wrapstyle")) {
        state.wrapStyle = node->getChoice("wrapstyle", Label::WRAP_STYLE_NAMES, -1);
    }
    if (node->getChild("alignh")) {
        state.alignH = node->getChoice("alignh", Label::ALIGN_NAMES, -1);
    }
    if (AbstractProperty* value = node->getChild("autofitheight")) {
        autoFit = value->getBool();
    }
    if (std::optional<std::wstring> given = Label::definitionText(node)) {
        setText(*given);
    }
}

void StyleLabel::setText(const std::wstring& value) {
    state.images.clear();
    std::wstring converted = value;
    wstringReplace(converted, L"\\n", L"\n", true);
    if (converted != text) {
        text = std::move(converted);
        relayout();
    }
}

void StyleLabel::relayout() {
    layout();
    renderImage();
}

int32_t StyleLabel::fontLineHeight() const {
    return state.currentFont ? state.currentFont->getLineHeight() : 0;
}

void StyleLabel::layout() {
    state.penX = 0;
    state.penY = 0;
    state.lineHeight = 0;
    state.nextLineHeight = 0;
    state.lastRunRight = 0;
    state.lineTruncated = false;
    runStart = 0;
    lines.clear();
    currentLine = new StyleLabelLine();
    for (parsePos = 0; parsePos < text.size(); ++parsePos) {
        const wchar_t c = text[parsePos];
        if (c == L'\n') {
            closeRun();
            endLine();
        } else if (c == L' ') {
            // Spaces are never part of a run; one at the start of a line adds nothing.
            closeRun();
            if (state.penX != 0 && state.currentFont) {
                const Font* font = state.currentFont.get();
                state.penX += font->measureText(L" ", 0, 1, 0) - 2 * font->getMargin();
            }
        } else if (c == L'[') {
            scanTag();
        }
    }
    parsePos = std::min(parsePos, text.size());
    closeRun();
    // The last line is neither aligned nor measured.
    lines.push_back(currentLine);
    if (autoFit && state.lastRunRight > getWidth()) {
        setWidth(state.lastRunRight);
    }
    setHeight(std::max(getHeight(), state.penY + cellHeightOf(state.currentFont.get())));
    if (getHeight() == 0) {
        setHeight(1);
    }
    if (getWidth() == 0) {
        setWidth(1);
    }
    StyleFormatRegistry::destroyInstance();
    currentLine.reset();
}

void StyleLabel::scanTag() {
    if (parsePos > 0 && text[parsePos - 1] == L'\\') {
        // An escaped "[": the backslash goes from the stored text, the "[" (now one to the left)
        // stays in the run, and the character after it is passed over unexamined.
        text.erase(parsePos - 1, 1);
        return;
    }
    closeRun();
    const size_t nameEnd = text.find_first_of(L"]=", parsePos + 1);
    std::wstring name =
        text.substr(parsePos + 1, nameEnd == std::wstring::npos ? nameEnd : nameEnd - parsePos - 1);
    std::wstring value;
    size_t close = nameEnd;
    if (nameEnd != std::wstring::npos && text[nameEnd] == L'=') {
        close = text.find(L']', nameEnd + 1);
        value = text.substr(nameEnd + 1, close == std::wstring::npos ? close : close - nameEnd - 1);
    }
    parsePos = close == std::wstring::npos ? text.size() : close;
    runStart = parsePos + 1;
    StyleFormatRegistry::getInstance()->parse(std::move(name), std::move(value), this);
}

void StyleLabel::closeRun() {
    if (runStart >= parsePos) {
        runStart = parsePos + 1;
        return;
    }
    RefHolder<Label> run = new StyleRun(state.penX, state.penY, state.currentFont.get());
    if (!state.colorStack.empty()) {
        run->setTextColor(state.colorStack.back(), 0);
    }
    run->setStyleFlags(state.alignV);
    run->setText(text.substr(runStart, parsePos - runStart));
    run->renderText();
    runStart = parsePos + 1;
    const int32_t runHeight = run->effectiveLineHeight();
    if (state.lineTruncated) {
        return;
    }
    bool kept = true;
    if (state.wrapStyle == Label::WRAP_WORDWRAP) {
        if (state.penX + run->getWidth() > getWidth()) {
            if (state.penX != 0 && run->getWidth() <= getWidth()) {
                state.nextLineHeight = runHeight;
                endLine();
                run->setPosition(state.penX, state.penY);
            } else {
                kept = false;
            }
        }
    } else {
        state.nextLineHeight = runHeight;
        if (state.wrapStyle == Label::WRAP_TRUNCATE) {
            kept = truncateRun(run.get());
        }
    }
    if (!kept || !avoidImages(run.get(), runHeight)) {
        return;
    }
    currentLine->runs.push_back(run);
    state.lastRunRight = state.penX + run->getWidth();
    state.lineHeight = std::max(state.lineHeight, runHeight);
    state.penX += run->getWidth();
}

bool StyleLabel::truncateRun(Label* run) {
    const int32_t width = getWidth();
    if (state.penX + run->getWidth() <= width) {
        return true;
    }
    if (state.lastRunRight >= width) {
        return false;
    }
    // The rest of the line is cut away, whatever happens to this run.
    state.lineTruncated = true;
    run->setText(run->getText().substr(0, 1) + L"...");
    run->renderText();
    if (state.penX + run->getWidth() <= width) {
        return true;
    }
    // Not even the first letter fits: the run before it, when there is one, is cut instead.
    if (!currentLine->runs.empty()) {
        Label* last = currentLine->runs.back().get();
        const std::wstring& previous = last->getText();
        const std::wstring kept =
            previous.size() > 3 ? previous.substr(0, previous.size() - 3) : previous.substr(0, 1);
        last->setText(kept + L"...");
        last->renderText();
        state.lastRunRight = last->getX() + last->getWidth();
        state.penX = state.lastRunRight;
    }
    return false;
}

bool StyleLabel::avoidImages(Label* run, int32_t runHeight) {
    for (bool moved = true; moved;) {
        moved = false;
        for (const RefHolder<Sprite>& image : state.images) {
            if (!overlaps(run, runHeight, image.get())) {
                continue;
            }
            state.penX = image->getX() + image->getWidth() + 1;
            run->setX(state.penX);
            moved = true;
            if (state.wrapStyle == Label::WRAP_WORDWRAP &&
                state.penX + run->getWidth() > getWidth()) {
                if (state.penX == 0 || run->getWidth() > getWidth()) {
                    return false;
                }
                state.nextLineHeight = runHeight;
                endLine();
                run->setPosition(state.penX, state.penY);
            }
        }
    }
    return true;
}

void StyleLabel::endLine() {
    if (!currentLine) {
        return;
    }
    alignLine(currentLine.get());
    lines.push_back(currentLine);
    state.penY += state.lineHeight != 0 ? state.lineHeight : fontLineHeight();
    state.penX = 0;
    state.lineHeight = state.nextLineHeight;
    currentLine = new StyleLabelLine();
    if (autoFit) {
        if (state.penY > getHeight()) {
            setHeight(state.penY);
        }
        if (state.lastRunRight > getWidth()) {
            setWidth(state.lastRunRight);
        }
    }
    state.lineTruncated = false;
    state.lastRunRight = 0;
}

void StyleLabel::alignLine(StyleLabelLine* line) {
    const Label* deepest = nullptr;
    for (const RefHolder<Label>& run : line->runs) {
        if (!deepest || baselineOf(run.get()) > baselineOf(deepest)) {
            deepest = run.get();
        }
    }
    if (deepest) {
        const int32_t gap = state.lineHeight - deepest->effectiveLineHeight();
        for (const RefHolder<Label>& run : line->runs) {
            const int32_t cell = cellHeightOf(run->getFont());
            int32_t down = 0;
            switch (run->getStyleFlags()) {
                case ALIGNV_CENTER:
                    down = (state.lineHeight - cell) / 2;
                    break;
                case ALIGNV_BASELINE:
                    down = baselineOf(deepest) + gap - baselineOf(run.get());
                    break;
                case ALIGNV_BOTTOM:
                    down = state.lineHeight - cell;
                    break;
                default:
                    break;
            }
            run->setY(run->getY() + down);
        }
    }

    // Pictures standing in the space right of the text take their width from it.
    const int32_t right = state.lastRunRight;
    int32_t freeSpace = getWidth() - right;
    for (bool lowered = true; lowered;) {
        lowered = false;
        for (const RefHolder<Sprite>& image : state.images) {
            if (image->getX() + image->getWidth() > right &&
                image->getY() + image->getHeight() > state.penY &&
                image->getX() < right + freeSpace &&
                image->getY() < state.penY + state.lineHeight) {
                const int32_t less = std::max(freeSpace - image->getWidth(), 0);
                lowered = lowered || less < freeSpace;
                freeSpace = std::min(freeSpace, less);
            }
        }
    }
    int32_t shift = 0;
    if (state.alignH == Label::ALIGN_CENTER) {
        shift = freeSpace / 2;
    } else if (state.alignH == Label::ALIGN_RIGHT && freeSpace > 0) {
        shift = freeSpace;
    }
    if (shift != 0) {
        for (const RefHolder<Label>& run : line->runs) {
            run->setX(run->getX() + shift);
        }
    }
}

void StyleLabel::renderImage() {
    RefHolder<Image> image = Image::createImage(getWidth(), getHeight());
    setImage(image.get());
    if (!image) {
        return;
    }
    RefHolder<Graphics> graphics = image->createGraphics();
    if (!graphics) {
        return;
    }
    graphics->fillChannel(Channel::ALPHA, 0);
    // The boxes first, so the text's soft edges blend into its own color.
    for (const RefHolder<StyleLabelLine>& line : lines) {
        for (const RefHolder<Label>& run : line->runs) {
            graphics->setColor(drawColorOf(run.get()));
            graphics->fillRect(run->getX(), run->getY(), run->getWidth(), run->getHeight());
        }
    }
    for (const RefHolder<StyleLabelLine>& line : lines) {
        for (const RefHolder<Label>& run : line->runs) {
            graphics->setFont(run->getFont());
            graphics->setColor(drawColorOf(run.get()));
            graphics->drawTextColors(run->getText(), run->getX(), run->getY(),
                                     run->getTextColors());
        }
    }
    for (const RefHolder<Sprite>& sprite : state.images) {
        if (Image* picture = sprite->getImage()) {
            graphics->blitWhole(picture, sprite->getX(), sprite->getY());
            graphics->blitChannelMaxWhole(picture, Channel::ALPHA, sprite->getX(), sprite->getY());
        }
    }
}
