#pragma once

#include <cstdint>
#include <string>

#include "framework/core/RefHolder.h"
#include "framework/nodes/Sprite.h"
#include "framework/nodes/iGuiMethod.h"
#include "framework/platform/iInputListener.h"

class Font;
class Image;
class Label;
class ModifierBlink;
class PropertyNode;

// The one-line text entry field: shows its text through a child label, draws a box behind the
// selection and a blinking cursor picture at the caret while it has the keyboard, and answers
// the caret keys, Backspace, Delete, Home, End, copy, cut and paste with Ctrl, Tab, Enter and
// Escape (these three on release), clicks, drags and double clicks on words. A length limit,
// a width limit, a set of allowed characters and a text test keep out what does not fit. The
// text-changed callback is the iGuiMethod part; Enter, Escape and Tab have their own callbacks.
//
// A field made without its "label" child has nothing to measure or show, and edits nothing.
class InputLabel : public Sprite, public iInputListener, public iGuiMethod {
    QUOVEL_TYPE(InputLabel)
public:
    // The sprite keys, then "width", "height", "maxlength", "text", "cursorx", "cursory",
    // "stripspaces", "maxwidth", "selcolor", "selbordercolor", "selalpha", "selborderalpha",
    // "selyoffset", "label" (a definition the object factory builds), "cursorimage" +
    // "section", "durationon" and "durationoff".
    explicit InputLabel(PropertyNode* definition);
    ~InputLabel() override;

    void* castTo(const TypeRecord* type) override;
    // On the field's own rectangle or on its label.
    bool containsPoint(int32_t px, int32_t py) override;
    // The sprite, then the selection box; the label and the cursor are children.
    void render(Graphics* graphics) override;

    bool onKeyDown(int32_t key) override;
    bool onKeyUp(int32_t key) override;
    bool onChar(int32_t character) override;
    bool onMouseMove(int32_t x, int32_t y, int32_t buttons) override;
    bool onLeftButtonDown(int32_t x, int32_t y, int32_t buttons, bool doubleClick) override;
    bool onLeftButtonUp(int32_t x, int32_t y, int32_t buttons) override;
    // Forgets a drag and the keys held.
    void cancelInput() override;

    // Stores the text with leading spaces stripped (when asked) and cut to the width limit,
    // shows it and calls the text-changed callback; the caret goes to the end or stays within
    // the text.
    void setText(const std::wstring& value, bool caretToEnd);
    const std::wstring& getText() const { return text; }
    // Gives or takes the keyboard. Taking it hides the cursor, puts the caret at the end with no
    // selection and forgets the keys held.
    void setEditing(bool value);
    bool isEditing() const { return editing; }
    // A new cursor sprite showing the picture, or, with none, no cursor.
    void setCursorImage(Image* image);
    void setBlinkTimes(int32_t on, int32_t off);
    std::wstring getSelectedText() const;
    // When not empty, only these characters can be typed or pasted.
    void setAllowedChars(const std::wstring& value) { allowedChars = value; }
    // When set, a typed or pasted text must also pass it (a limit in the unit of whoever keeps
    // the text); null removes it.
    using TextTest = bool (*)(const std::wstring& text);
    void setTextTest(TextTest test) { textTest = test; }

    iGuiMethod& onEnter() { return enterCallback; }
    iGuiMethod& onEscape() { return escapeCallback; }
    iGuiMethod& onTab() { return tabCallback; }

    int32_t getCaret() const { return caret; }
    int32_t getSelStart() const { return selStart; }
    int32_t getSelEnd() const { return selEnd; }
    int32_t getSelStartX() const { return selStartX; }
    int32_t getSelEndX() const { return selEndX; }
    int32_t getMaxWidth() const { return maxWidth; }
    Label* getLabel() const { return label.get(); }
    Sprite* getCursor() const { return cursor.get(); }

private:
    void readDefinition(PropertyNode* node);
    Font* font() const;
    int32_t measure(const std::wstring& value, int32_t count = -1) const;
    // The x of the caret before character i, in the field's coordinates.
    int32_t xOf(int32_t index) const;
    // The caret position nearest to a pointer x in window coordinates.
    int32_t indexAt(int32_t x) const;
    void placeCursor();
    void moveCaret(int32_t position, bool extend, bool collapse);
    // An empty selection at the caret, and no drag.
    void collapseAtCaret();
    void selectWord(int32_t x);
    bool fits(std::wstring candidate) const;
    // Whether a typed or pasted character may enter the text.
    bool accepts(wchar_t character) const;
    // Replaces the selection by the string, when the result fits.
    void insert(const std::wstring& value);
    // Deletes the selection, or the character at the caret.
    void deleteForward();
    void deleteBackward();
    void copySelection();
    void paste();
    void cut();
    void stepHeldKeys();
    void restartBlink();
    void removeCursor();
    static bool shiftHeld();
    static bool ctrlHeld();

    std::wstring text;
    std::wstring allowedChars;
    TextTest textTest = nullptr;
    bool editing = false;
    bool holdLeft = false;
    bool holdRight = false;
    bool holdDelete = false;
    bool mouseSelecting = false;
    bool wordSelected = false;
    int32_t selStartX = 0;
    int32_t selEndX = 0;
    int32_t selStart = 0;
    int32_t selEnd = 0;
    uint32_t selColor = 0xFF00FF;
    uint32_t selBorderColor = 0;
    int32_t selAlpha = 128;
    int32_t selBorderAlpha = 255;
    int32_t selYOffset = 0;
    int32_t maxLength = -1;
    int32_t caret = 0;
    RefHolder<Sprite> cursor;
    int32_t cursorX = 0;
    int32_t cursorY = 0;
    int32_t durationOn = 500;
    int32_t durationOff = 500;
    bool stripSpaces = false;
    int32_t maxWidth = -1;
    iGuiMethod enterCallback;
    iGuiMethod escapeCallback;
    iGuiMethod tabCallback;
    RefHolder<Label> label;
    RefHolder<ModifierBlink> blink;
};
