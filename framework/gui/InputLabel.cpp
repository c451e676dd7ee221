#include "framework/gui/InputLabel.h"

#include <algorithm>
#include <utility>

#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PictureChanges.h"
#include "framework/core/PropertyNode.h"
#include "framework/core/StringUtils.h"
#include "framework/gui/Label.h"
#include "framework/nodes/ModifierAppearance.h"
#include "framework/nodes/ResourceLookup.h"
#include "framework/os/Messages.h"
#include "framework/platform/GameWindow.h"
#include "framework/platform/Graphics.h"
#include "framework/platform/Image.h"
#include "framework/platform/InputHandler.h"

QUOVEL_DEFINE_TYPE(InputLabel, &Sprite::typeRecord, &iInputListener::typeRecord,
                   &iGuiMethod::typeRecord)
QUOVEL_REGISTER_CLASS(InputLabel)

namespace {

constexpr int32_t KEY_COPY = 'C';
constexpr int32_t KEY_PASTE = 'V';
constexpr int32_t KEY_CUT = 'X';
constexpr int32_t CHAR_BACKSPACE = 8;

int32_t lengthOf(const std::wstring& text) {
    return static_cast<int32_t>(text.size());
}

void stripLeadingSpaces(std::wstring& text) {
    text.erase(0, std::min(text.find_first_not_of(L' '), text.size()));
}

}  // namespace

InputLabel::InputLabel(PropertyNode* definition) : Sprite(definition) {
    readDefinition(nodeOrDummy(definition));
}

InputLabel::~InputLabel() = default;

void InputLabel::readDefinition(PropertyNode* node) {
    if (AbstractProperty* value = node->getChild("width")) {
        setWidth(value->getInt());
    }
    if (AbstractProperty* value = node->getChild("height")) {
        setHeight(value->getInt());
    }
    const std::pair<const char*, int32_t*> numbers[] = {
        {"maxlength", &maxLength}, {"cursorx", &cursorX}, {"cursory", &cursorY}};
    for (const auto& [key, field] : numbers) {
        if (AbstractProperty* value = node->getChild(key)) {
            *field = value->getInt();
        }
    }
    if (AbstractProperty* value = node->getChild("text")) {
        text = value->getText();
    }
    if (AbstractProperty* value = node->getChild("stripspaces")) {
        stripSpaces = value->getBool();
    }
    const std::pair<const char*, int32_t*> selection[] = {{"maxwidth", &maxWidth},
                                                          {"selalpha", &selAlpha},
                                                          {"selborderalpha", &selBorderAlpha},
                                                          {"selyoffset", &selYOffset}};
    for (const auto& [key, field] : selection) {
        if (AbstractProperty* value = node->getChild(key)) {
            *field = value->getInt();
        }
    }
    if (AbstractProperty* value = node->getChild("selcolor")) {
        selColor = static_cast<uint32_t>(value->getInt());
    }
    if (AbstractProperty* value = node->getChild("selbordercolor")) {
        selBorderColor = static_cast<uint32_t>(value->getInt());
    }
    if (AbstractProperty* definition = node->getChild("label")) {
        RefHolder<BaseObject> made = ObjectFactoryContainer::instance()->createObject(definition);
        label = objectCast<Label>(made.get());
        if (label) {
            label->setText(text);
            label->renderText();
            GameNode::appendChild(label.get(), this);
        }
    }
    if (AbstractProperty* key = node->getChild("cursorimage")) {
        const AbstractProperty* section = node->getChild("section");
        RefHolder<Image> image =
            findOrLoad<Image>(key->getValue(), section ? section->getValue() : std::string());
        if (image) {
            setCursorImage(image.get());
        }
    }
    if (AbstractProperty* on = node->getChild("durationon")) {
        const AbstractProperty* off = node->getChild("durationoff");
        setBlinkTimes(on->getInt(), off ? off->getInt() : on->getInt());
    }
}

void* InputLabel::castTo(const TypeRecord* type) {
    if (type == &iInputListener::typeRecord) {
        return static_cast<iInputListener*>(this);
    }
    if (type == &iGuiMethod::typeRecord) {
        return static_cast<iGuiMethod*>(this);
    }
    return Sprite::castTo(type);
}

bool InputLabel::containsPoint(int32_t px, int32_t py) {
    return Sprite::containsPoint(px, py) || (label && label->containsPoint(px, py));
}

Font* InputLabel::font() const {
    return label ? label->getFont() : nullptr;
}

int32_t InputLabel::measure(const std::wstring& value, int32_t count) const {
    const Font* current = font();
    return current ? current->measureText(value, 0, count, 0) : 0;
}

int32_t InputLabel::xOf(int32_t index) const {
    if (!label) {
        return 0;
    }
    return label->getX() + measure(text, index) + label->getTextBounds().x;
}

int32_t InputLabel::indexAt(int32_t x) const {
    const int32_t local = x - getAbsoluteX();
    const int32_t length = lengthOf(text);
    if (length == 0 || local < 1) {
        return 0;
    }
    for (int32_t i = 0; i <= length; ++i) {
        const int32_t right = xOf(i);
        if (local < right) {
            return i > 0 && local - xOf(i - 1) < right - local ? i - 1 : i;
        }
    }
    return length;
}

void InputLabel::placeCursor() {
    if (!cursor || !label) {
        return;
    }
    cursor->setX(cursorX - static_cast<int32_t>(label->getAnchor().x) + xOf(caret));
    cursor->setY(cursorY - static_cast<int32_t>(label->getAnchor().y) + label->getY() +
                 label->getTextBounds().y);
}

void InputLabel::collapseAtCaret() {
    selStart = caret;
    selEnd = caret;
    selStartX = xOf(caret);
    selEndX = selStartX;
    mouseSelecting = false;
    PictureChanges::mark();
}

void InputLabel::moveCaret(int32_t position, bool extend, bool collapse) {
    const int32_t old = caret;
    caret = std::clamp(position, 0, lengthOf(text));
    if (!extend) {
        if (collapse) {
            collapseAtCaret();
        }
        placeCursor();
        return;
    }
    if (old == selStart && caret < old) {
        selStart = caret;
    } else if (old == selEnd && caret > old) {
        selEnd = caret;
    } else if (old == selStart) {
        selStart = caret;
    } else {
        selEnd = caret;
    }
    if (selEnd < selStart) {
        std::swap(selStart, selEnd);
    }
    selStartX = xOf(selStart);
    selEndX = xOf(selEnd);
    PictureChanges::mark();
    placeCursor();
}

void InputLabel::setText(const std::wstring& value, bool caretToEnd) {
    text = value;
    if (stripSpaces) {
        while (!text.empty() && text.front() == L' ') {
            text.erase(0, 1);
            caret = std::clamp(caret - 1, 0, lengthOf(text));
        }
    }
    if (maxWidth > 0) {
        while (!text.empty() && measure(text) > maxWidth) {
            text.pop_back();
            caret = std::clamp(caret - 1, 0, lengthOf(text));
        }
    }
    // A selection past the new end would cut outside the text.
    selStart = std::min(selStart, lengthOf(text));
    selEnd = std::min(selEnd, lengthOf(text));
    if (label) {
        label->setText(text);
        label->renderText();
    }
    if (hasCallback()) {
        invoke(this);
    }
    if (caretToEnd) {
        caret = lengthOf(text);
        collapseAtCaret();
    } else {
        caret = std::clamp(caret, 0, lengthOf(text));
    }
    placeCursor();
}

void InputLabel::setEditing(bool value) {
    editing = value;
    if (!editing) {
        holdLeft = false;
        holdRight = false;
        holdDelete = false;
    }
    if (!cursor) {
        return;
    }
    cursor->setSuspended(!editing);
    cursor->setVisible(editing);
    if (!editing) {
        caret = lengthOf(text);
        collapseAtCaret();
        placeCursor();
    }
}

void InputLabel::setCursorImage(Image* image) {
    removeCursor();
    if (!image) {
        return;
    }
    cursor = new Sprite(0, 0, image);
    GameNode::appendChild(cursor.get(), this);
    restartBlink();
    placeCursor();
}

void InputLabel::removeCursor() {
    if (!cursor) {
        return;
    }
    GameNode::removeAllModifiers(cursor.get());
    GameNode::detach(cursor.get());
    cursor->release();  // the reference the tree held
    cursor.reset();
    blink.reset();
}

void InputLabel::restartBlink() {
    GameNode::removeAllModifiers(cursor.get());
    // Shown for durationOn, hidden for durationOff, starting shown.
    blink = new ModifierBlink(0, 255, 0, durationOn, 0, durationOff, -1);
    GameNode::addModifier(cursor.get(), blink.get());
    setEditing(editing);
}

void InputLabel::setBlinkTimes(int32_t on, int32_t off) {
    durationOn = on;
    durationOff = off;
    if (blink) {
        blink->setHoldTimes(durationOn, durationOff);
    }
}

std::wstring InputLabel::getSelectedText() const {
    return text.substr(static_cast<size_t>(selStart),
                       static_cast<size_t>(std::max(selEnd - selStart, 0)));
}

bool InputLabel::fits(std::wstring candidate) const {
    if (stripSpaces) {
        stripLeadingSpaces(candidate);
    }
    if ((maxLength > 0 && lengthOf(candidate) > maxLength) || (textTest && !textTest(candidate))) {
        return false;
    }
    return maxWidth <= 0 || measure(candidate) <= maxWidth;
}

bool InputLabel::accepts(wchar_t character) const {
    // A one-line field takes no line breaks or other control characters.
    if (character < 0x20 || character == 0x7F) {
        return false;
    }
    const Font* current = font();
    return current && current->hasGlyph(character) &&
           (allowedChars.empty() || allowedChars.find(character) != std::wstring::npos);
}

void InputLabel::insert(const std::wstring& value) {
    std::wstring copy = text;
    if (selStart != selEnd) {
        copy.erase(static_cast<size_t>(selStart), static_cast<size_t>(selEnd - selStart));
        caret = std::clamp(selStart, 0, lengthOf(copy));
        collapseAtCaret();
    }
    copy.insert(std::min(static_cast<size_t>(caret), copy.size()), value);
    if (fits(copy)) {
        setText(copy, false);
        caret = std::clamp(caret + lengthOf(value), 0, lengthOf(text));
    }
    collapseAtCaret();
    placeCursor();
}

void InputLabel::deleteForward() {
    if (!text.empty() && !(selStart == selEnd && caret >= lengthOf(text))) {
        std::wstring copy = text;
        if (selStart != selEnd) {
            copy.erase(static_cast<size_t>(selStart), static_cast<size_t>(selEnd - selStart));
            caret = selStart;
        } else {
            copy.erase(static_cast<size_t>(caret), 1);
        }
        caret = std::clamp(caret, 0, lengthOf(copy));
        setText(copy, false);
    }
    collapseAtCaret();
    placeCursor();
}

void InputLabel::deleteBackward() {
    if (text.empty() || (caret <= 0 && selStart == selEnd)) {
        return;
    }
    if (selStart == selEnd) {
        selStart = caret - 1;
        selEnd = caret;
    }
    std::wstring copy = text;
    copy.erase(static_cast<size_t>(selStart), static_cast<size_t>(selEnd - selStart));
    caret = std::clamp(selStart, 0, lengthOf(copy));
    setText(copy, false);
    collapseAtCaret();
    placeCursor();
}

void InputLabel::copySelection() {
    GameWindow::setClipboardText(wstringToString(selStart == selEnd ? text : getSelectedText()));
}

void InputLabel::paste() {
    std::wstring accepted;
    for (wchar_t c : stringToWString(GameWindow::getClipboardText())) {
        if (accepts(c)) {
            accepted += c;
        }
    }
    if (!accepted.empty()) {
        insert(accepted);
    }
}

void InputLabel::cut() {
    if (selStart == selEnd) {
        selStart = 0;
        selEnd = lengthOf(text);
    }
    // What the clipboard did not take is not deleted.
    if (GameWindow::setClipboardText(wstringToString(getSelectedText()))) {
        insert(std::wstring());
    }
}

bool InputLabel::shiftHeld() {
    return InputHandler::isKeyDown(VK_SHIFT);
}

bool InputLabel::ctrlHeld() {
    return InputHandler::isKeyDown(VK_CONTROL);
}

void InputLabel::stepHeldKeys() {
    if (holdLeft) {
        moveCaret(caret - 1, shiftHeld(), true);
    } else if (holdRight) {
        moveCaret(caret + 1, shiftHeld(), true);
    } else if (holdDelete) {
        deleteForward();
    }
}

bool InputLabel::onKeyDown(int32_t key) {
    if (!label || !editing) {
        return false;
    }
    if (key == static_cast<int32_t>(VK_LEFT)) {
        holdLeft = true;
    } else if (key == static_cast<int32_t>(VK_RIGHT)) {
        holdRight = true;
    } else if (key == static_cast<int32_t>(VK_DELETE)) {
        holdDelete = true;
    }
    if (ctrlHeld() && GameWindow::getInstance()) {
        if (key == KEY_COPY) {
            copySelection();
        } else if (key == KEY_PASTE) {
            paste();
        } else if (key == KEY_CUT) {
            cut();
        }
    }
    // The platform repeats key-down while a key is held; each one steps once.
    stepHeldKeys();
    return true;
}

bool InputLabel::onKeyUp(int32_t key) {
    if (!label || !editing) {
        return false;
    }
    switch (static_cast<uint32_t>(key)) {
        case VK_TAB:
            setEditing(false);
            tabCallback.invoke(this);
            return true;
        case VK_RETURN:
            setEditing(false);
            enterCallback.invoke(this);
            return true;
        case VK_ESCAPE:
            setEditing(false);
            escapeCallback.invoke(this);
            return true;
        case VK_END:
            moveCaret(lengthOf(text), shiftHeld(), true);
            return true;
        case VK_HOME:
            moveCaret(0, shiftHeld(), true);
            return true;
        case VK_LEFT:
            holdLeft = false;
            return true;
        case VK_RIGHT:
            holdRight = false;
            return true;
        case VK_DELETE:
            holdDelete = false;
            return true;
        default:
            return false;
    }
}

bool InputLabel::onChar(int32_t character) {
    if (!label || !editing) {
        return false;
    }
    if (character == CHAR_BACKSPACE) {
        deleteBackward();
    } else if (character >= 0 && character <= 0xFFFF && accepts(static_cast<wchar_t>(character))) {
        insert(std::wstring(1, static_cast<wchar_t>(character)));
    }
    return true;
}

void InputLabel::selectWord(int32_t x) {
    const int32_t i = indexAt(x);
    const int32_t length = lengthOf(text);
    const size_t space = text.rfind(L' ', static_cast<size_t>(i));
    selStart = space == std::wstring::npos ? 0 : static_cast<int32_t>(space) + 1;
    const size_t stop = text.find_first_of(L"\t .,", static_cast<size_t>(i));
    selEnd = stop == std::wstring::npos ? 0 : static_cast<int32_t>(stop) + 1;
    // A full stop or comma after the word stays out of the selection; a blank is taken.
    if (selEnd > 0 && (text[static_cast<size_t>(selEnd) - 1] == L'.' ||
                       text[static_cast<size_t>(selEnd) - 1] == L',')) {
        --selEnd;
    }
    if (selEnd == 0 || selEnd > length) {
        selEnd = length;
    }
    selStartX = xOf(selStart);
    selEndX = xOf(selEnd);
    caret = std::clamp(selEnd, 0, length);
    placeCursor();
    wordSelected = true;
}

bool InputLabel::onLeftButtonDown(int32_t x, int32_t y, int32_t, bool doubleClick) {
    if (!label) {
        return false;
    }
    if (!containsPoint(x, y)) {
        setEditing(false);
        return false;
    }
    setEditing(true);
    if (doubleClick) {
        selectWord(x);
    } else {
        wordSelected = false;
        moveCaret(indexAt(x), shiftHeld(), true);
        mouseSelecting = true;
    }
    return false;
}

bool InputLabel::onMouseMove(int32_t x, int32_t, int32_t) {
    if (label && editing && mouseSelecting) {
        moveCaret(indexAt(x), true, false);
    }
    return false;
}

bool InputLabel::onLeftButtonUp(int32_t x, int32_t y, int32_t) {
    if (label && editing) {
        if (!mouseSelecting && !containsPoint(x, y)) {
            setEditing(false);
        } else if (mouseSelecting && !wordSelected) {
            moveCaret(indexAt(x), true, false);
        }
    }
    mouseSelecting = false;
    return false;
}

void InputLabel::cancelInput() {
    mouseSelecting = false;
    holdLeft = false;
    holdRight = false;
    holdDelete = false;
}

void InputLabel::render(Graphics* graphics) {
    Sprite::render(graphics);
    if (!graphics || !label || selStart == selEnd) {
        return;
    }
    const Rect& bounds = label->getTextBounds();
    const int32_t x = getX() + selStartX;
    const int32_t y = label->getY() + getY() + selYOffset + bounds.y;
    const int32_t w = selEndX - selStartX;
    const uint32_t savedColor = graphics->getColor();
    const int32_t savedAlpha = graphics->getAlpha();
    graphics->setColor(selColor);
    graphics->setAlpha(selAlpha);
    graphics->fillRect(x, y, w, bounds.h);
    graphics->setColor(selBorderColor);
    graphics->setAlpha(selBorderAlpha);
    graphics->drawRect(x - 1, y - 1, w + 2, bounds.h + 2);
    graphics->setColor(savedColor);
    graphics->setAlpha(savedAlpha);
}
