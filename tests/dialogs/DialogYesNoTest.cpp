// The yes/no question: asked by key (once per key), its layout around the message, and its two
// answers with their defaults.
#include "game/dialogs/DialogYesNo.h"

#include "dialogs/GameDialogFixture.h"
#include "framework/gui/Label.h"

namespace dialog_yes_no_test {

// A 200 x 100 dialog; the font advances 6 pixels a character, lines are 10 apart, 8 high.
constexpr const char* YES_NO_DEFINITIONS =
    "<Node id=\"dialogs\"><DialogYesNo id=\"DIALOG_YESNO\" width=\"200\" height=\"100\">"
    "<Vector id=\"components\">"
    "<Label id=\"HEADER\" x=\"100\" y=\"10\" font=\"F\" section=\"gui\"/>"
    "<Label id=\"MESSAGE\" x=\"20\" y=\"40\" width=\"160\" wrapstyle=\"wordwrap\" font=\"F\" "
    "section=\"gui\"/>"
    "<Button id=\"BUTTON_YES\" x=\"20\" y=\"30\" image=\"STRIP\" section=\"gui\"/>"
    "<Button id=\"BUTTON_NO\" x=\"120\" y=\"30\" image=\"STRIP\" section=\"gui\"/>"
    "</Vector></DialogYesNo></Node>";

class DialogYesNoTest : public GameDialogTest {
protected:
    void SetUp() override {
        GameDialogTest::SetUp();
        font = new SyntheticFont();
        section->addObject("F", new MemoryObjectResource(font.get()));
        definitionsFrom(YES_NO_DEFINITIONS);
        texts({{"SHORT", L"Quit now?"},
               {"LONG", L"Your place on this floor is kept for you."},
               {"HEADER", L"Sure"},
               {"WIDE_HEADER", L"A header of thirty characters."}});
    }
    static void texts(const std::vector<std::pair<std::string, std::wstring>>& entries) {
        for (const auto& [key, text] : entries) {
            BasicProperties::instance()->setText(key, text);
        }
    }
    // Clicks the button once the question has faded in.
    void click(Button* button) {
        const int32_t x = button->getAbsoluteX() + 2;
        const int32_t y = button->getAbsoluteY() + 2;
        InputHandler* input = scene->getInputHandler();
        input->onMouseMove(x, y, 0);
        input->onLeftButtonDown(x, y, 1, false);
        input->onLeftButtonUp(x, y, 0);
    }

    RefHolder<SyntheticFont> font;

public:
    BaseObject* answeredBy = nullptr;
    void* answeredTo = nullptr;
};

int32_t answerCallback(void* target, BaseObject* sender) {
    auto* test = static_cast<DialogYesNoTest*>(target);
    test->answeredTo = target;
    test->answeredBy = sender;
    return 1;
}

TEST_F(DialogYesNoTest, TheLayoutFollowsTheMessageAndTheHeader) {
    // One line: the dialog grows by the message's 8 pixels, buttons count from the bottom, and
    // the header, message and buttons move by 5, 10 and -5.
    DialogYesNo* one = DialogYesNo::ask("SHORT", "HEADER", {}, {}, scene.get());
    ASSERT_NE(one, nullptr);
    EXPECT_EQ(one->getHeight(), 108);
    EXPECT_EQ(one->getHeader()->getY(), 15);
    EXPECT_EQ(one->getMessage()->getY(), 50);
    EXPECT_EQ(one->getYesButton()->getY(), 108 - 30 - 5);
    EXPECT_EQ(one->getNoButton()->getY(), 108 - 30 - 5);
    EXPECT_EQ(one->getMessage()->getText(), L"Quit now?");

    // Two lines: 18 high, no shift.
    DialogYesNo* two = DialogYesNo::ask("LONG", "HEADER", {}, {}, scene.get());
    EXPECT_EQ(two->getMessage()->getLines().size(), 2u);
    EXPECT_EQ(two->getHeight(), 118);
    EXPECT_EQ(two->getHeader()->getY(), 10);
    EXPECT_EQ(two->getMessage()->getY(), 40);
    EXPECT_EQ(two->getYesButton()->getY(), 88);

    // A header 20 pixels wider than the message widens the dialog and the message by 20; the
    // message keeps its margins, the header and the buttons move by half of it, so the header
    // stays centred and the buttons side by side.
    DialogYesNo* wide = DialogYesNo::ask("LONG", "WIDE_HEADER", {}, {}, scene.get());
    EXPECT_EQ(wide->getWidth(), 220);
    EXPECT_EQ(wide->getMessage()->getWidth(), 180);
    EXPECT_EQ(wide->getComponents()->getX(), 0);
    EXPECT_EQ(wide->getHeader()->getX(), 110);
    EXPECT_EQ(wide->getMessage()->getX(), 20);
    EXPECT_EQ(wide->getYesButton()->getX(), 30);
    EXPECT_EQ(wide->getNoButton()->getX(), 130);
    // A missing key gives an empty text, and the layout still runs.
    DialogYesNo* blank = DialogYesNo::ask("NO_SUCH_KEY", "HEADER", {}, {}, scene.get());
    EXPECT_EQ(blank->getMessage()->getText(), L"");
    EXPECT_EQ(blank->getHeight(), 100);  // an empty message has no height
    EXPECT_EQ(blank->getYesButton()->getY(), 100 - 30 - 5);
}

TEST_F(DialogYesNoTest, AskingAgainLeavesOneQuestionAndTheAnswersReachTheirCallbacks) {
    DialogYesNo* first =
        DialogYesNo::ask("SHORT", "HEADER", {this, &answerCallback}, {}, scene.get());
    scene->openDialog(first);
    DialogYesNo* second =
        DialogYesNo::ask("SHORT", "HEADER", {this, &answerCallback}, {}, scene.get());
    scene->openDialog(second);
    EXPECT_NE(first, second);
    EXPECT_EQ(scene->getOpenDialogs().size(), 1u);
    EXPECT_EQ(scene->findDialog("SHORT"), second);
    EXPECT_TRUE(scene->isDialogOpen("SHORT"));
    frame(200);  // faded in
    played();

    // Yes: the caller's callback with its target and the button; the question stays.
    click(second->getYesButton());
    EXPECT_EQ(answeredTo, this);
    EXPECT_EQ(answeredBy, second->getYesButton());
    EXPECT_TRUE(scene->isDialogOpen("SHORT"));

    // No, by default: closed at once, without the fade or its sound.
    RefHolder<Dialog> keep = second;
    click(second->getNoButton());
    EXPECT_FALSE(scene->isDialogOpen("SHORT"));
    EXPECT_EQ(scene->findDialog("SHORT"), nullptr);
    EXPECT_EQ(keep->getAlpha(), 255);
    frame(200);
    EXPECT_EQ(played(), Keys{});
}

}  // namespace dialog_yes_no_test
