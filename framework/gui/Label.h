#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "framework/core/Rect.h"
#include "framework/core/RefHolder.h"
#include "framework/gui/iText.h"
#include "framework/nodes/Sprite.h"
#include "framework/platform/Font.h"

class PropertyNode;

// One laid-out line of a label: its text, its width and its place inside the text block.
struct LabelLine {
    std::wstring text;
    int32_t width = 0;
    int32_t x = 0;
    int32_t y = 0;
};

// The toolkit's plain text widget: a sprite that lays its text out into lines (one per
// paragraph, word-wrapped to its width, or truncated with "...") and renders them once into an
// image of its own. Rendering is lazy: setters only raise the re-render flag, and the next draw
// (or renderText) lays out and renders again.
class Label : public Sprite, public iText {
    QUOVEL_TYPE(Label)
public:
    enum WrapStyle : int32_t { WRAP_AUTOWIDTH = 0, WRAP_WORDWRAP = 1, WRAP_TRUNCATE = 2 };
    enum Align : int32_t { ALIGN_LEFT = 0, ALIGN_CENTER = 1, ALIGN_RIGHT = 2 };
    enum PadStyle : int32_t { PAD_OFFSET = 0, PAD_NONE = 1 };
    // The definition words of the wrap styles and alignments, in enum order.
    static constexpr std::array<const char*, 3> WRAP_STYLE_NAMES = {"autowidth", "wordwrap",
                                                                    "truncate"};
    static constexpr std::array<const char*, 3> ALIGN_NAMES = {"left", "center", "right"};

    // The sprite keys, then "font" + "section", "color" (or "color0", "color1", ...),
    // "wrapstyle", "padstyle", "alignh", "autofitheight", "lineheight" and the text from
    // "text", "value" or "textid". Unknown option words are stored as -1.
    explicit Label(PropertyNode* definition);
    Label(int32_t x, int32_t y, int32_t width, int32_t height, Font* font, int32_t wrapStyle);
    ~Label() override;

    void* castTo(const TypeRecord* type) override;

    // What the text widgets read alike from their definitions: the font named by "font" in the
    // resource section "section" (null when absent or not loaded), and the text of "text", else
    // "value", else the game text named by "textid" (nothing without the three keys).
    static RefHolder<Font> definitionFont(PropertyNode* node);
    static std::optional<std::wstring> definitionText(PropertyNode* node);

    // Hooks for styled text runs; a plain label keeps no value.
    virtual int32_t getStyleFlags() const { return 0; }
    virtual void setStyleFlags(int32_t) {}
    virtual int32_t getAlignH() const { return alignH; }
    virtual void setAlignH(int32_t value);
    // Where the rendered image sits relative to the position, and the text block's size, as of
    // the last render.
    virtual const Rect& getTextBounds() const { return bounds; }
    // A backslash followed by "n" becomes a line break.
    void setText(const std::wstring& value) override;
    const std::wstring& getText() const override { return text; }
    // Marks the label for rendering even when the font is the same.
    virtual void setFont(Font* value);
    virtual Font* getFont() const { return font.get(); }
    // The color of font layer `index`; the list grows with zeros to reach it.
    virtual void setTextColor(uint32_t color, int32_t index);
    virtual void setAnchorOffset(float offsetX, float offsetY);
    virtual void setAnchorOffsetPoint(const PointF& offset);
    virtual void setAnchorType(int32_t type);
    virtual void setWrapStyle(int32_t value);
    virtual int32_t getWrapStyle() const { return wrapStyle; }
    // Lays the text out and renders it into a new image when something changed.
    virtual void renderText();

    void setWidth(int32_t value) override;
    void render(Graphics* graphics) override;
    // An autowidth label takes the image's size; a wrapping or truncating label keeps its width,
    // and a label that does not fit its height to the text keeps its height.
    void setImage(Image* newImage) override;

    const std::vector<LabelLine>& getLines() const { return lines; }
    const std::vector<uint32_t>& getTextColors() const { return colors; }
    int32_t getPadStyle() const { return padStyle; }
    bool getAutoFitHeight() const { return autoFitHeight; }
    void setAutoFitHeight(bool value);
    // A word-wrapped label with a line limit ("maxlines", 0 for none) breaks only at blanks:
    // a word too wide for a line, or text beyond the last line, ends that line with "...".
    void setMaxLines(int32_t value);
    // The line height the layout uses: the label's own when set (or without a font), else the
    // font's.
    int32_t effectiveLineHeight() const;
    bool needsRender() const { return textDirty; }

protected:
    // Also marks the sprite changed, so a buffered dialog holding the label draws it again.
    void markForRender() {
        textDirty = true;
        setDirty(true);
    }

private:
    void readDefinition(PropertyNode* node);
    int32_t measure(const std::wstring& line, int32_t count = -1) const;
    void layOut();
    void wrapParagraph(const std::wstring& paragraph, int32_t maxWidth);
    void truncateParagraph(const std::wstring& paragraph, int32_t maxWidth);
    // The longest start of the line, blanks before the cut skipped, followed by "..." that
    // fits the width (empty when not even one character does).
    std::wstring withEllipsis(const std::wstring& line, int32_t maxWidth) const;
    // The length of the first line cut from `rest`, at least 1.
    size_t findBreak(const std::wstring& rest, int32_t maxWidth) const;
    void measureLines();
    void renderLines();

    std::vector<LabelLine> lines;
    bool textDirty = true;
    RefHolder<Font> font;
    std::vector<uint32_t> colors;
    std::wstring text;
    Rect bounds;
    int32_t wrapStyle = WRAP_AUTOWIDTH;
    int32_t alignH = ALIGN_LEFT;
    int32_t padStyle = PAD_OFFSET;
    bool autoFitHeight = true;
    int32_t lineHeight = 0;
    int32_t maxLines = 0;
    // Set while setImage fits the size, so the fitting does not ask for another render.
    bool fittingImage = false;
};
