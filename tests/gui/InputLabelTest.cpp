// Input fields: typing, selecting, pasting and deleting within a length limit and a set of
// allowed characters, the keys that end editing, words picked by double clicks, the selection
// box and the cursor, driven through the field's listener face.
#include "framework/gui/InputLabel.h"

#include "framework/gui/Label.h"
#include "framework/nodes/ModifierAppearance.h"
#include "framework/platform/InputHandler.h"
#include "gui/GuiFixture.h"
#include "gui/SyntheticFont.h"

using namespace testpixels;

namespace input_label_test {

// The field stands at (100, 50); with 6 pixels per letter and no margin, the caret before
// letter i is at x 100 + 6 i.
constexpr int32_t LEFT = 100;
constexpr int32_t TOP = 50;

class InputLabelTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        font = new SyntheticFont(0, 6, 8, 10);
        section->addObject("F", new MemoryObjectResource(font.get()));
        addPicture("CARET", filled(2, 10, 4, 0x000000, 255).get());
    }
    void TearDown() override {
        hold(VK_SHIFT, false);
        hold(VK_CONTROL, false);
        GuiTest::TearDown();
    }
    RefHolder<InputLabel> field(const std::string& keys = "", const std::string& label =
                                                                  "<Label id=\"label\" font=\"F\" "
                                                                  "section=\"gui\"/>") {
        RefHolder<PropertyNode> node = nodeFrom(
            "<InputLabel id=\"f\" x=\"100\" y=\"50\" width=\"120\" height=\"12\" "
            "cursorimage=\"CARET\" section=\"gui\" " +
                keys + ">" + label + "</InputLabel>",
            "f");
        RefHolder<InputLabel> made = new InputLabel(node.get());
        made->setCallback(this, &InputLabelTest::countChange);
        return made;
    }
    // Shift and Ctrl as the input handlers record them.
    void hold(uint32_t key, bool down) {
        keys.onWindowMessage(down ? WM_KEYDOWN : WM_KEYUP, key, 0);
        keys.clearQueue();
    }
    static void type(InputLabel* input, const std::wstring& text) {
        for (wchar_t c : text) {
            input->onChar(c);
        }
    }
    static void press(InputLabel* input, int32_t key) {
        input->onKeyDown(key);
        input->onKeyUp(key);
    }
    void ctrl(InputLabel* input, char key) {
        hold(VK_CONTROL, true);
        press(input, key);
        hold(VK_CONTROL, false);
    }
    static void click(InputLabel* input, int32_t letter, bool doubleClick = false) {
        input->onLeftButtonDown(LEFT + 6 * letter + 1, TOP + 4, 1, doubleClick);
        input->onLeftButtonUp(LEFT + 6 * letter + 1, TOP + 4, 0);
    }
    static int32_t countChange(void* target, BaseObject*) {
        return ++static_cast<InputLabelTest*>(target)->changes;
    }
    static int32_t countKey(void* target, BaseObject*) { return ++*static_cast<int*>(target); }

    RefHolder<SyntheticFont> font;
    InputHandler keys;
    int changes = 0;
};

TEST_F(InputLabelTest, TypingSelectingPastingAndDeletingStayWithinTheLimits) {
    RefHolder<InputLabel> input = field("maxlength=\"5\"");
    input->setAllowedChars(L"abcxyz \u00E9");
    // Nothing is typed before the field has the keyboard.
    EXPECT_FALSE(input->onChar('a'));
    EXPECT_FALSE(input->getCursor()->isVisible());
    click(input.get(), 0);
    EXPECT_TRUE(input->isEditing());
    EXPECT_TRUE(input->getCursor()->isVisible());

    type(input.get(), L"abq\tx");
    EXPECT_EQ(input->getText(), L"abx");
    EXPECT_EQ(input->getLabel()->getText(), L"abx");
    EXPECT_EQ(input->getCaret(), 3);
    EXPECT_EQ(changes, 2 + 1);
    EXPECT_EQ(input->getCursor()->getX(), 18);

    // Shift+Home selects back to the start; copy takes the selection.
    hold(VK_SHIFT, true);
    press(input.get(), VK_HOME);
    hold(VK_SHIFT, false);
    EXPECT_EQ(input->getSelStart(), 0);
    EXPECT_EQ(input->getSelEnd(), 3);
    ctrl(input.get(), 'C');
    EXPECT_EQ(clipboard.text, "abx");

    // Right collapses the selection one letter on; the pasted text goes through the same
    // checks as typing (the clipboard is UTF-8), and one too long is refused whole.
    press(input.get(), VK_RIGHT);
    EXPECT_EQ(input->getCaret(), 1);
    EXPECT_EQ(input->getSelStart(), input->getSelEnd());
    clipboard.text = "\xC3\xA9\nzq";
    ctrl(input.get(), 'V');
    EXPECT_EQ(input->getText(), L"a\u00E9zbx");
    EXPECT_EQ(input->getCaret(), 3);
    clipboard.text = "y";
    ctrl(input.get(), 'V');
    EXPECT_EQ(input->getText(), L"a\u00E9zbx");
    type(input.get(), L"c");
    EXPECT_EQ(input->getText(), L"a\u00E9zbx");

    // Dragging from letter 1 to 4 selects "\u00E9zb"; typing replaces it.
    input->onLeftButtonDown(LEFT + 6 + 1, TOP + 4, 1, false);
    input->onMouseMove(LEFT + 24 + 2, TOP + 4, 1);
    input->onLeftButtonUp(LEFT + 24 + 2, TOP + 4, 0);
    EXPECT_EQ(input->getSelectedText(), L"\u00E9zb");
    EXPECT_EQ(input->getSelStartX(), 6);
    EXPECT_EQ(input->getSelEndX(), 24);
    type(input.get(), L"y");
    EXPECT_EQ(input->getText(), L"ayx");
    EXPECT_EQ(input->getCaret(), 2);

    // Delete at the caret; Backspace before it; cut with nothing selected takes everything,
    // but only once the clipboard has taken it.
    input->onKeyDown(VK_DELETE);
    input->onKeyUp(VK_DELETE);
    EXPECT_EQ(input->getText(), L"ay");
    input->onChar(8);
    EXPECT_EQ(input->getText(), L"a");
    clipboard.setFails = true;
    ctrl(input.get(), 'X');
    EXPECT_EQ(input->getText(), L"a");
    clipboard.setFails = false;
    ctrl(input.get(), 'X');
    EXPECT_EQ(input->getText(), L"");
    EXPECT_EQ(clipboard.text, "a");
    EXPECT_EQ(input->getCursor()->getX(), 0);
}

TEST_F(InputLabelTest, EditingFollowsTheEdgeCases) {
    RefHolder<InputLabel> input = field();
    input->setEditing(true);
    // A one-line field takes no line breaks or tabs, whatever the font holds.
    type(input.get(), L"\r\n\t");
    EXPECT_EQ(input->getText(), L"");
    // Backspace at the end of three letters; then over the selection 0..2.
    input->setText(L"abc", true);
    input->onChar(8);
    EXPECT_EQ(input->getText(), L"ab");
    EXPECT_EQ(input->getCaret(), 2);
    input->setText(L"abc", true);
    press(input.get(), VK_HOME);
    hold(VK_SHIFT, true);
    press(input.get(), VK_RIGHT);
    press(input.get(), VK_RIGHT);
    hold(VK_SHIFT, false);
    EXPECT_EQ(input->getSelectedText(), L"ab");
    input->onChar(8);
    EXPECT_EQ(input->getText(), L"c");
    EXPECT_EQ(input->getCaret(), 0);

    // Delete at the end with nothing selected deletes nothing.
    input->setText(L"abc", true);
    press(input.get(), VK_DELETE);
    EXPECT_EQ(input->getText(), L"abc");
    EXPECT_EQ(input->getSelStart(), 3);
    EXPECT_EQ(input->getSelEnd(), 3);

    // A double click picks the word under it: without the comma after it, with the blank.
    input->setText(L"one two, three", true);
    click(input.get(), 5, true);
    EXPECT_EQ(input->getSelectedText(), L"two");
    EXPECT_EQ(input->getCaret(), 7);
    click(input.get(), 1, true);
    EXPECT_EQ(input->getSelectedText(), L"one ");
    // A later single click and drag selects again, whatever the double click did before.
    input->onLeftButtonDown(LEFT + 6 * 9 + 1, TOP + 4, 1, false);
    input->onLeftButtonUp(LEFT + 6 * 14 + 1, TOP + 4, 0);
    EXPECT_EQ(input->getSelectedText(), L"three");

    // A click outside ends editing and puts the caret at the end.
    click(input.get(), 2);
    input->onLeftButtonDown(10, 10, 1, false);
    EXPECT_FALSE(input->isEditing());
    EXPECT_EQ(input->getCaret(), 14);
    EXPECT_FALSE(input->getCursor()->isVisible());
    EXPECT_TRUE(input->getCursor()->isSuspended());

    // maxLength 3: a fourth letter, and two letters pasted over a one-letter selection.
    RefHolder<InputLabel> limited = field(R"(maxlength="3" stripspaces="true")");
    limited->setEditing(true);
    limited->setText(L"  ab", true);
    EXPECT_EQ(limited->getText(), L"ab");
    EXPECT_EQ(limited->getCaret(), 2);
    type(limited.get(), L" c d");
    EXPECT_EQ(limited->getText(), L"ab ");
    click(limited.get(), 1);
    hold(VK_SHIFT, true);
    press(limited.get(), VK_RIGHT);
    hold(VK_SHIFT, false);
    clipboard.text = "xy";
    ctrl(limited.get(), 'V');
    EXPECT_EQ(limited->getText(), L"ab ");
    EXPECT_EQ(limited->getCaret(), 1);
    EXPECT_EQ(limited->getSelStart(), limited->getSelEnd());

    // maxWidth cuts a text set from outside; the selection never passes its end.
    RefHolder<InputLabel> narrow = field(R"(maxwidth="20")");
    narrow->setText(L"abcdef", false);
    EXPECT_EQ(narrow->getText(), L"abc");
    EXPECT_EQ(narrow->getCaret(), 0);
    narrow->setEditing(true);
    press(narrow.get(), VK_END);
    hold(VK_SHIFT, true);
    press(narrow.get(), VK_LEFT);
    hold(VK_SHIFT, false);
    narrow->setText(L"a", false);
    EXPECT_EQ(narrow->getSelectedText(), L"");
    EXPECT_EQ(narrow->getCaret(), 1);
}

TEST_F(InputLabelTest, TabEnterAndEscapeEndEditingOnReleaseAndHeldKeysStepOnlyWhileEditing) {
    int enter = 0;
    int escape = 0;
    int tab = 0;
    RefHolder<InputLabel> input = field();
    input->onEnter().setCallback(&enter, &InputLabelTest::countKey);
    input->onEscape().setCallback(&escape, &InputLabelTest::countKey);
    input->onTab().setCallback(&tab, &InputLabelTest::countKey);
    input->setText(L"abc", true);
    const std::pair<uint32_t, int*> keysAndCounts[] = {
        {VK_RETURN, &enter}, {VK_ESCAPE, &escape}, {VK_TAB, &tab}};
    for (const auto& [key, count] : keysAndCounts) {
        input->setEditing(true);
        EXPECT_TRUE(input->onKeyDown(static_cast<int32_t>(key)));
        EXPECT_TRUE(input->isEditing());
        EXPECT_TRUE(input->onKeyUp(static_cast<int32_t>(key)));
        EXPECT_FALSE(input->isEditing());
        EXPECT_EQ(*count, 1);
        EXPECT_FALSE(input->onKeyUp(static_cast<int32_t>(key)));
    }
    EXPECT_FALSE(input->onKeyDown(VK_LEFT));

    // Left held while Escape ends editing: the next key-down neither moves the caret then nor
    // after editing starts again.
    input->setEditing(true);
    input->onKeyDown(VK_LEFT);
    EXPECT_EQ(input->getCaret(), 2);
    input->onKeyDown(VK_LEFT);
    EXPECT_EQ(input->getCaret(), 1);
    input->onKeyUp(VK_ESCAPE);
    input->onKeyUp(VK_LEFT);
    input->onKeyDown('A');
    EXPECT_EQ(input->getCaret(), 3);
    input->setEditing(true);
    input->onKeyDown('A');
    EXPECT_EQ(input->getCaret(), 3);
    EXPECT_EQ(escape, 2);

    // The cursor blinks at the hold times given: shown first.
    auto* blink = objectCast<ModifierBlink>(input->getCursor()->getRunningModifiers()[0].get());
    ASSERT_NE(blink, nullptr);
    GameNode::tick(input->getCursor(), 0);
    EXPECT_EQ(input->getCursor()->getAlpha(), 255);
    GameNode::tick(input->getCursor(), 500);
    GameNode::tick(input->getCursor(), 0);
    EXPECT_EQ(input->getCursor()->getAlpha(), 0);
    input->setBlinkTimes(100, 100);
    input->setCursorImage(nullptr);
    EXPECT_EQ(input->getCursor(), nullptr);
    EXPECT_EQ(input->getFirstChild(), input->getLabel());
    EXPECT_EQ(input->getLabel()->getNextSibling(), nullptr);
}

TEST_F(InputLabelTest, AFieldWithoutItsLabelShowsAndEditsNothing) {
    RefHolder<InputLabel> input = field("text=\"abc\"", "");
    EXPECT_EQ(input->getLabel(), nullptr);
    click(input.get(), 1, false);
    click(input.get(), 1, true);
    input->setEditing(true);
    type(input.get(), L"xy\b");
    press(input.get(), VK_DELETE);
    clipboard.text = "pasted";
    ctrl(input.get(), 'V');
    ctrl(input.get(), 'X');
    EXPECT_EQ(input->getText(), L"abc");
    EXPECT_EQ(clipboard.text, "pasted");
    RefHolder<Image> target = Image::createImage(300, 100, 4);
    RefHolder<Graphics> graphics = target->createGraphics();
    input->render(graphics.get());
}

TEST_F(InputLabelTest, TheSelectionBoxIsDrawnBehindTheSelectedLetters) {
    RefHolder<InputLabel> input =
        field(R"(text="abcd" selcolor="#0000FF" selalpha="255" selbordercolor="#FF0000")");
    input->setEditing(true);
    click(input.get(), 1);
    hold(VK_SHIFT, true);
    press(input.get(), VK_END);
    hold(VK_SHIFT, false);
    RefHolder<Image> target = Image::createImage(300, 100, 4);
    RefHolder<Graphics> graphics = target->createGraphics();
    input->render(graphics.get());
    // The box covers letters 1..4 (x 106 to 124) over the text block's 8 rows; its border is
    // one pixel outside.
    EXPECT_EQ(colorAt(target.get(), 106, 50), 0x0000FFu);
    EXPECT_EQ(colorAt(target.get(), 123, 57), 0x0000FFu);
    EXPECT_EQ(colorAt(target.get(), 105, 50), 0xFF0000u);
    EXPECT_EQ(colorAt(target.get(), 124, 58), 0xFF0000u);
    EXPECT_EQ(colorAt(target.get(), 110, 59), 0u);
    EXPECT_EQ(colorAt(target.get(), 103, 50), 0u);
    EXPECT_EQ(input->getCursor()->getX(), 24);
}

}  // namespace input_label_test
