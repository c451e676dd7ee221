#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/core/RefHolder.h"
#include "framework/gui/Label.h"
#include "framework/nodes/Sprite.h"
#include "framework/platform/Font.h"

class PropertyNode;

// The runs of one laid-out line of a StyleLabel, in order.
class StyleLabelLine : public BaseObject {
public:
    std::vector<RefHolder<Label>> runs;
};

// What the markup tags read and change while a StyleLabel lays its text out. The stacks, the
// current values, the tab stops and the current font carry over from one layout to the next,
// so a tag left open in one text stays in force for the next; the images are dropped by each
// new text.
struct StyleLayoutState {
    std::vector<uint32_t> colorStack;
    std::vector<int32_t> wrapStyleStack;
    std::vector<int32_t> alignVStack;
    std::vector<int32_t> alignHStack;
    std::vector<int32_t> tabStops;
    std::vector<RefHolder<Font>> fontStack;
    std::vector<RefHolder<Sprite>> images;
    RefHolder<Font> currentFont;
    int32_t penX = 0;
    int32_t penY = 0;
    int32_t lineHeight = 0;
    int32_t alignV = 0;
    int32_t alignH = 0;
    int32_t wrapStyle = 0;
    int32_t nextLineHeight = 0;
    int32_t lastRunRight = 0;
    // The line being built was cut with "..."; later runs of it are dropped.
    bool lineTruncated = false;
};

// A text in several colors and fonts with tags in square brackets (see StyleFormat): cut into
// runs of one style, each a Label placed by the layout, grouped into lines that are aligned
// left, centred or right, wrapped at the width or truncated with "...", with tab stops, line
// breaks and pictures in the flow. The whole is drawn once into the label's own image whenever
// the text changes.
class StyleLabel : public Sprite {
    QUOVEL_TYPE(StyleLabel)
public:
    enum AlignV : int32_t {
        ALIGNV_TOP = 0,
        ALIGNV_CENTER = 1,
        ALIGNV_BASELINE = 2,
        ALIGNV_BOTTOM = 3
    };

    // The sprite keys, then "font" + "section", "color", "wrapstyle", "alignh",
    // "autofitheight" and the text from "text", "value" or "textid".
    explicit StyleLabel(PropertyNode* definition);
    ~StyleLabel() override;

    // Drops the pictures of the last text; a backslash followed by "n" becomes a line break.
    // A text equal to the current one is not laid out again.
    virtual void setText(const std::wstring& value);
    // Lays the text out and draws it into a new image.
    virtual void relayout();

    // Closes the line being built: aligns its runs and starts the next line below it.
    void endLine();

    const std::wstring& getText() const { return text; }
    const std::vector<RefHolder<StyleLabelLine>>& getLines() const { return lines; }
    StyleLayoutState& getState() { return state; }

private:
    void readDefinition(PropertyNode* node);
    void layout();
    // Draws the runs and pictures into a new image of the label's size.
    void renderImage();
    // Hands a "[...]" at parsePos to the markup, or keeps a "\[" as text.
    void scanTag();
    void closeRun();
    // Drops the run, or cuts it (or the run before it) to fit with "..."; false when dropped.
    bool truncateRun(Label* run);
    // Moves the run right of every picture it overlaps; false when it had to be dropped.
    bool avoidImages(Label* run, int32_t runHeight);
    void alignLine(StyleLabelLine* line);
    int32_t fontLineHeight() const;

    StyleLayoutState state;
    std::vector<RefHolder<StyleLabelLine>> lines;
    RefHolder<StyleLabelLine> currentLine;
    bool autoFit = true;
    std::wstring text;
    size_t parsePos = 0;
    size_t runStart = 0;
};
