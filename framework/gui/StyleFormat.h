#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "framework/core/BaseObject.h"
#include "framework/core/RefHolder.h"

class StyleLabel;

// One handler of the styled-text markup: a family of tag names ("color" and "/color", ...)
// and what a tag of the family does to a StyleLabel's layout state. A name's position in the
// family is the index `apply` is called with.
class StyleFormat : public BaseObject {
    QUOVEL_TYPE(StyleFormat)
public:
    ~StyleFormat() override;

    virtual void apply(int32_t index, std::wstring value, StyleLabel* label) = 0;

    const std::vector<std::wstring>& getNames() const { return names; }

protected:
    explicit StyleFormat(std::initializer_list<const wchar_t*> tagNames);

private:
    std::vector<std::wstring> names;
};

// "br": ends the line.
class FormatNewLine : public StyleFormat {
    QUOVEL_TYPE(FormatNewLine)
public:
    FormatNewLine();
    void apply(int32_t index, std::wstring value, StyleLabel* label) override;
};

// "color=#RRGGBB" pushes a color for the runs that follow; "/color" pops it.
class FormatColor : public StyleFormat {
    QUOVEL_TYPE(FormatColor)
public:
    FormatColor();
    void apply(int32_t index, std::wstring value, StyleLabel* label) override;
};

// "font=KEY,SECTION" switches to a font resource, saving the current one; "/font" restores it.
// A tag whose font cannot be found is skipped.
class FormatFont : public StyleFormat {
    QUOVEL_TYPE(FormatFont)
public:
    FormatFont();
    void apply(int32_t index, std::wstring value, StyleLabel* label) override;
};

// "image=KEY,SECTION,PLACE,FLOW" puts a picture into the text. PLACE is "left", "center",
// "right" or inline; FLOW "none" gives the picture lines of its own, "single" raises the
// line's height to it, and otherwise the text flows around it. A missing picture is skipped.
class FormatImage : public StyleFormat {
    QUOVEL_TYPE(FormatImage)
public:
    FormatImage();
    void apply(int32_t index, std::wstring value, StyleLabel* label) override;
};

// "wrapstyle=autowidth|wordwrap|truncate" and "/wrapstyle".
class FormatWrapStyle : public StyleFormat {
    QUOVEL_TYPE(FormatWrapStyle)
public:
    FormatWrapStyle();
    void apply(int32_t index, std::wstring value, StyleLabel* label) override;
};

// "alignv=top|center|baseline|bottom" and "/alignv".
class FormatAlignV : public StyleFormat {
    QUOVEL_TYPE(FormatAlignV)
public:
    FormatAlignV();
    void apply(int32_t index, std::wstring value, StyleLabel* label) override;
};

// "alignh=left|center|right" and "/alignh".
class FormatAlignH : public StyleFormat {
    QUOVEL_TYPE(FormatAlignH)
public:
    FormatAlignH();
    void apply(int32_t index, std::wstring value, StyleLabel* label) override;
};

// "tabs=X1,X2,..." sets the tab stops (pixel columns, kept in the given order); "tab=N" moves
// the pen to stop N (from 1), and a bare "tab" to the first stop at or right of the pen.
class FormatTab : public StyleFormat {
    QUOVEL_TYPE(FormatTab)
public:
    FormatTab();
    void apply(int32_t index, std::wstring value, StyleLabel* label) override;
};

// "width=N" sets the label's width for the rest of the layout.
class FormatWidth : public StyleFormat {
    QUOVEL_TYPE(FormatWidth)
public:
    FormatWidth();
    void apply(int32_t index, std::wstring value, StyleLabel* label) override;
};

// Finds the handler of a tag by its name (exact and case-sensitive) and applies it. One
// instance lives from the first tag of a layout to the end of that layout.
class StyleFormatRegistry : public BaseObject {
public:
    static StyleFormatRegistry* getInstance();
    static void destroyInstance();

    // True when a handler knows the name; unknown names do nothing.
    bool parse(std::wstring name, std::wstring value, StyleLabel* label);

private:
    StyleFormatRegistry();
    void registerFormats();

    std::vector<RefHolder<StyleFormat>> formats;
};
