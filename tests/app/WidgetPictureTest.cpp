// A dialog of the game's own art and fonts with labels and buttons, and the full-screen frame
// buttons in the corner, drawn headless into build/pictures/gui/widgets-dialog.png for a person
// to look at.
#include "app/GameMediaFixture.h"
#include "framework/gui/Button.h"
#include "framework/gui/Label.h"
#include "framework/scene/FullScreenHandler.h"
#include "framework/scene/Scene.h"
#include "gui/HeadlessPicture.h"
#include "testsupport/platform/PixelAccess.h"

using namespace testpixels;

namespace widget_picture_test {

constexpr const char* WIDGET_DIALOG = R"(
<Dialog id="DIALOG_WIDGETS" painterid="PAINTER_DIALOG" minwidth="440" minheight="250"
        autocenter="true">
  <Vector id="components">
    <Label id="HEADER" x="220" y="22" anchorpoint="top" font="FONT_HEADER"
           section="preloading" text="Leave the building?"/>
    <Label id="MESSAGE" x="40" y="70" width="360" wrapstyle="wordwrap" alignh="center"
           font="FONT_BODY" section="preloading"
           text="Your place on this floor is kept, and the elevator will bring you back to it whenever you return."/>
    <Label id="HINT" x="220" y="138" anchorpoint="top" font="FONT_SMALL" section="preloading"
           text="Enter answers Yes, Escape answers No"/>
    <Button id="BUTTON_YES" x="30" y="178" image="IMAGE_BUTTON" section="preloading"
            firekey="13"/>
    <Label id="YES" x="110" y="198" anchorpoint="center" font="FONT_BODY" section="preloading"
           color="#FFFFF4D6" text="Yes"/>
    <Button id="BUTTON_NO" x="250" y="178" image="IMAGE_BUTTON" section="preloading"
            firekey="27"/>
    <Label id="NO" x="330" y="198" anchorpoint="center" font="FONT_BODY" section="preloading"
           color="#FFFFF4D6" text="No"/>
  </Vector>
</Dialog>)";

class WidgetPictureTest : public GameMediaTest {};

TEST_F(WidgetPictureTest, ADialogWithLabelsAndButtonsAndTheFrameButtons) {
    loadResources({"IMAGE_FRAME_TL", "IMAGE_FRAME_T", "IMAGE_FRAME_TR", "IMAGE_FRAME_L",
                   "IMAGE_FRAME_R", "IMAGE_FRAME_BL", "IMAGE_FRAME_B", "IMAGE_FRAME_BR"},
                  "default");
    loadResources({"FONT_BODY", "FONT_HEADER", "FONT_SMALL", "IMAGE_BUTTON", "IMAGE_BUTTON_QUIT",
                   "IMAGE_BUTTON_RESTORE", "IMAGE_BUTTON_MINIMIZE"},
                  "preloading");
    RefHolder<PropertyNode> definition = nodeFrom(WIDGET_DIALOG, "DIALOG_WIDGETS");
    RefHolder<Dialog> dialog = make<Dialog>(definition.get());
    ASSERT_NE(dialog, nullptr);
    auto* message = objectCast<Label>(dialog->findChild("MESSAGE"));
    auto* yes = objectCast<Button>(dialog->findChild("BUTTON_YES"));
    auto* no = objectCast<Button>(dialog->findChild("BUTTON_NO"));
    ASSERT_TRUE(message && yes && no);
    EXPECT_EQ(yes->getWidth(), 160);
    EXPECT_EQ(yes->getHeight(), 40);
    EXPECT_EQ(yes->getFireKeys(), std::vector<int32_t>{13});
    // The pointer over "No": its lighter frame shows.
    no->setState(Button::STATE_OVER);

    RefHolder<Scene> scene = new Scene(nullptr);
    RefHolder<Image> lobby = lobbyBackdrop();
    scene->setBackgroundImage(lobby.get());
    scene->show();
    scene->openDialog(dialog.get());
    // Without a game window there is nothing to centre on: placed by hand.
    dialog->setX((800 - dialog->getWidth()) / 2);
    dialog->setY((600 - dialog->getHeight()) / 2);

    FullScreenHandler* frame = FullScreenHandler::createSetup("DEFAULT_FSH");
    ASSERT_NE(frame, nullptr);
    frame->setX(800);
    frame->attachToScene(scene.get());
    // No game window here: shown as full screen shows it.
    frame->setVisible(true);
    ASSERT_NE(frame->getMinimiseButton(), nullptr);
    EXPECT_EQ(frame->getQuitButton()->getX(), -28);
    EXPECT_EQ(frame->getMinimiseButton()->getX(), -28 * (frame->getRestoreButton() ? 3 : 2));

    RefHolder<Image> shown = writeScenePicture(scene.get(), "widgets-dialog");
    ASSERT_NE(shown, nullptr);
    // The message wraps inside its 360 pixels; its text is dark ink on the paper.
    EXPECT_GE(message->getLines().size(), 2u);
    const Rect bounds = message->getTextBounds();
    EXPECT_LE(bounds.w, 360);
    int32_t inked = 0;
    const int32_t left = dialog->getX() + 40;
    const int32_t top = dialog->getY() + 70;
    for (int32_t y = top; y < top + bounds.h; ++y) {
        for (int32_t x = left; x < left + 360; ++x) {
            inked += (colorAt(shown.get(), x, y) >> 16) < 0x80;
        }
    }
    EXPECT_GT(inked, 1000);
    FullScreenHandler::releaseInstance();
    scene->closeDialog(dialog.get());
    scene->hide();
}

}  // namespace widget_picture_test
