// The credits as the game authors them: the text scrolls up through its band after the start
// delay and the dialog closes itself after the end delay; OK closes it before any scrolling;
// a definition without the four values closes as soon as it opens.
#include "app/ChoiceDialogsFixture.h"
#include "framework/gui/Label.h"
#include "game/dialogs/DialogCredits.h"

namespace credits_dialog_test {

class CreditsDialogTest : public ChoiceDialogsTest {
protected:
    void steps(int32_t ms) {
        for (int32_t t = 0; t < ms; t += 100) {
            scenes->update(100);
        }
    }
};

TEST_F(CreditsDialogTest, TheTextScrollsThroughItsBandAndTheDialogClosesItself) {
    auto* credits = objectCast<DialogCredits>(scene->getDialog("DIALOG_CREDITS"));
    ASSERT_NE(credits, nullptr);
    Label* message = credits->getMessage();
    ASSERT_NE(message, nullptr);
    const int32_t height = message->getHeight();
    EXPECT_GT(height, 270);  // longer than the band: it scrolls through it
    const int32_t start = 68 + 270 + 10;
    const int32_t end = 68 + 270 - height - 40;
    EXPECT_EQ(message->getY(), start);
    EXPECT_EQ(*message->getClipRect(), (Rect{0, 68, credits->getWidth(), 270}));
    scene->openDialog(credits);
    steps(1400);
    EXPECT_EQ(message->getY(), start);
    steps(20000 + 100);
    EXPECT_LT(message->getY(), start);
    EXPECT_GT(message->getY(), end);
    EXPECT_NE(writeScenePicture(scene.get(), "credits-dialog"), nullptr);
    steps(20000);
    EXPECT_EQ(message->getY(), end);
    EXPECT_TRUE(scene->isDialogOpen("DIALOG_CREDITS"));
    steps(1500 + tuning().DIALOG_FADE_TIME + 200);
    EXPECT_FALSE(scene->isDialogOpen("DIALOG_CREDITS"));
    EXPECT_EQ(scene->findDialog("DIALOG_CREDITS"), nullptr);

    // OK in the start delay: closed before the text moved; a new opening starts over.
    RefHolder<DialogCredits> again = objectCast<DialogCredits>(scene->getDialog("DIALOG_CREDITS"));
    credits = again.get();
    scene->openDialog(credits);
    steps(tuning().DIALOG_FADE_TIME + 100);
    click(credits, objectCast<Sprite>(credits->findChild("BUTTON_OK")));
    steps(tuning().DIALOG_FADE_TIME + 100);
    EXPECT_EQ(credits->getMessage()->getY(), start);
    EXPECT_FALSE(scene->isDialogOpen("DIALOG_CREDITS"));
}

TEST_F(CreditsDialogTest, WithoutItsValuesTheDialogClosesRightAfterOpening) {
    RefHolder<PropertyNode> bare = nodeFrom(
        "<DialogCredits id=\"DIALOG_BARE_CREDITS\" setup=\"SETUP_DIALOG\" minwidth=\"300\" "
        "minheight=\"200\"><Vector id=\"components\"><Label id=\"MESSAGE\" x=\"20\" y=\"40\" "
        "font=\"FONT_BODY\" section=\"preloading\" text=\"Thanks\"/></Vector></DialogCredits>",
        "DIALOG_BARE_CREDITS");
    GuiDefinitions::instance()->getDialogs()->addChild(bare.get());
    auto* credits = objectCast<DialogCredits>(scene->getDialog("DIALOG_BARE_CREDITS"));
    ASSERT_NE(credits, nullptr);
    Label* message = credits->getMessage();
    // A band 0 tall: the text starts 10 below its top and ends 40 + its height above it.
    EXPECT_EQ(message->getY(), 40 + 10);
    EXPECT_EQ(*message->getClipRect(), (Rect{0, 40, credits->getWidth(), 0}));
    scene->openDialog(credits);
    scenes->update(10);
    scenes->update(10);
    EXPECT_TRUE(credits->isClosing());
    EXPECT_EQ(message->getY(), 40 - message->getHeight() - 40);
    steps(2 * tuning().DIALOG_FADE_TIME + 200);
    EXPECT_FALSE(scene->isDialogOpen("DIALOG_BARE_CREDITS"));

    // Without its text either, it still closes itself rather than failing.
    RefHolder<PropertyNode> empty = nodeFrom(
        "<DialogCredits id=\"DIALOG_EMPTY_CREDITS\" setup=\"SETUP_DIALOG\" minwidth=\"300\" "
        "minheight=\"200\"/>",
        "DIALOG_EMPTY_CREDITS");
    GuiDefinitions::instance()->getDialogs()->addChild(empty.get());
    auto* nothing = objectCast<DialogCredits>(scene->getDialog("DIALOG_EMPTY_CREDITS"));
    ASSERT_NE(nothing, nullptr);
    EXPECT_EQ(nothing->getMessage(), nullptr);
    scene->openDialog(nothing);
    steps(2 * tuning().DIALOG_FADE_TIME + 200);
    EXPECT_FALSE(scene->isDialogOpen("DIALOG_EMPTY_CREDITS"));
}

}  // namespace credits_dialog_test
