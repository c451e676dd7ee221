// Switches, a slider and the game's default tooltip as the game authors them (its switch and
// slider art, dialog frame and fonts), in a dialog over a lobby-colored scene: one frame drawn
// by the scene manager into the game window's back buffer and written to
// build/pictures/gui/switches-slider-tooltip.png.
#include "app/GameMediaFixture.h"
#include "framework/gui/Dialog.h"
#include "framework/gui/Slider.h"
#include "framework/gui/Switch.h"
#include "framework/gui/ToolTip.h"
#include "framework/os/Messages.h"
#include "framework/scene/Scene.h"
#include "framework/scene/SceneManager.h"
#include "gui/HeadlessPicture.h"
#include "gui/TextLayoutAudit.h"
#include "testsupport/platform/PixelAccess.h"

using namespace testpixels;

namespace widgets_picture_test {

const char* const SETTINGS = R"xml(
<Dialog id="SETTINGS" painterid="PAINTER_DIALOG" minwidth="420" minheight="300">
  <Vector id="components">
    <Label id="HEADER" x="210" y="24" anchorpoint="top" font="FONT_HEADER" section="preloading"
           text="Settings"/>
    <Switch id="MUSIC" x="40" y="76" image="IMAGE_SWITCH" section="preloading" checked="true"
            tooltip="PICTURE_TIP_MUSIC"/>
    <Label id="MUSIC_TEXT" x="76" y="80" font="FONT_BODY" section="preloading" text="Music"/>
    <Switch id="FULL" x="40" y="112" image="IMAGE_SWITCH" section="preloading"/>
    <Label id="FULL_TEXT" x="76" y="116" font="FONT_BODY" section="preloading"
           text="Full screen"/>
    <Switch id="HINTS" x="40" y="148" image="IMAGE_SWITCH" section="preloading" checked="true"
            enabled="false"/>
    <Label id="HINTS_TEXT" x="76" y="152" font="FONT_BODY" section="preloading"
           text="Hints (locked)"/>
    <Switch id="IVORY" x="230" y="76" image="IMAGE_SWITCH" section="preloading" groupid="7"
            checked="true"/>
    <Label id="IVORY_TEXT" x="266" y="80" font="FONT_BODY" section="preloading" text="Ivory"/>
    <Switch id="JADE" x="230" y="112" image="IMAGE_SWITCH" section="preloading" groupid="7"/>
    <Label id="JADE_TEXT" x="266" y="116" font="FONT_BODY" section="preloading" text="Jade"/>
    <Label id="VOLUME_TEXT" x="40" y="200" font="FONT_BODY" section="preloading" text="Volume"/>
    <Slider id="VOLUME" x="100" y="226" image="IMAGE_SLIDER_TRACK" section="preloading"
            tooltip="PICTURE_TIP_VOLUME">
      <Button id="button" image="IMAGE_SLIDER_KNOB" section="preloading"/>
      <Button id="decbutton" image="IMAGE_SLIDER_DEC" section="preloading"/>
      <Button id="incbutton" image="IMAGE_SLIDER_INC" section="preloading"/>
    </Slider>
  </Vector>
</Dialog>)xml";

class WidgetsPictureTest : public GameMediaTest {
protected:
    void SetUp() override {
        GameMediaTest::SetUp();
        openWindow(0, 102);
    }
};

TEST_F(WidgetsPictureTest, SwitchesASliderAndAnOpenTooltipInADialog) {
    loadResources({"IMAGE_FRAME_TL", "IMAGE_FRAME_T", "IMAGE_FRAME_TR", "IMAGE_FRAME_L",
                   "IMAGE_FRAME_R", "IMAGE_FRAME_BL", "IMAGE_FRAME_B", "IMAGE_FRAME_BR"},
                  "default");
    loadResources({"FONT_BODY", "FONT_HEADER", "IMAGE_SWITCH", "IMAGE_SLIDER_TRACK",
                   "IMAGE_SLIDER_KNOB", "IMAGE_SLIDER_DEC", "IMAGE_SLIDER_INC"},
                  "preloading");
    BasicProperties::instance()->setText("PICTURE_TIP_MUSIC", L"Plays the music of each floor.");
    BasicProperties::instance()->setText(
        "PICTURE_TIP_VOLUME", L"Drag the knob, or click the arrows, to set the sound volume.");
    GameWindow* window = GameWindow::getInstance();
    ASSERT_NE(window->getGraphics(), nullptr);

    SceneManager* scenes = SceneManager::createInstance();
    RefHolder<Scene> scene = runLobbyColoredScene(scenes);

    // Installed first, as at start-up, so every dialog opened later carries its listener.
    RefHolder<ToolTip> tip =
        make<ToolTip>(GuiDefinitions::instance()->findTemplate("DEFAULT_TOOLTIP"));
    ASSERT_NE(tip, nullptr);
    EXPECT_EQ(tip->getShowDelay(), 1000);
    ASSERT_NE(objectCast<ToolTipLabel>(tip->getRenderer()), nullptr);
    scenes->setToolTip(tip.get());
    // The pointer rests at (x, y) for a second.
    const auto restAt = [&](int32_t x, int32_t y) {
        events.cursorX = x;
        events.cursorY = y;
        window->windowProcedure({WM_MOUSEMOVE, 0, packCoordinates(x, y)});
        for (int i = 0; i < 70; ++i) {
            scenes->update(16);
        }
    };

    RefHolder<Dialog> dialog = make<Dialog>(nodeFrom(SETTINGS, "SETTINGS").get());
    ASSERT_NE(dialog, nullptr);
    dialog->setPosition((800 - dialog->getWidth()) / 2, (600 - dialog->getHeight()) / 2);
    scene->openDialog(dialog.get());
    auto* slider = objectCast<Slider>(dialog->findChild("VOLUME"));
    ASSERT_NE(slider, nullptr);
    ASSERT_NE(slider->getKnob(), nullptr);
    slider->value = 0.7f;
    slider->updateKnob();
    auto* jade = objectCast<Switch>(dialog->findChild("JADE"));
    auto* ivory = objectCast<Switch>(dialog->findChild("IVORY"));
    ASSERT_TRUE(jade && ivory);
    EXPECT_TRUE(ivory->isOn());

    // The pointer rests on the slider's track, left of the knob.
    const int32_t px = slider->getAbsoluteX() + 60;
    const int32_t py = slider->getAbsoluteY() + 12;
    restAt(px, py);
    ASSERT_TRUE(tip->isShowing());
    EXPECT_EQ(tip->getCurrentSprite(), slider);

    Image* frame = window->getBackBuffer();
    ASSERT_TRUE(frame->lock());
    const std::string path = (pictureFolder() / "switches-slider-tooltip.png").string();
    EXPECT_TRUE(writeImagePng(path, frame));
    // The box's border and fill, below the pointer.
    const auto* tipLabel = objectCast<ToolTipLabel>(tip->getRenderer());
    const int32_t pad = tipLabel->getPadding();
    EXPECT_EQ(colorAt(frame, tip->getBoxX() - pad, tip->getBoxY() - pad), 0x3B2414u);
    EXPECT_EQ(colorAt(frame, tip->getBoxX() - 2, tip->getBoxY() - 2), 0xFFF4D6u);
    EXPECT_EQ(tip->getBoxY(), py + 24);
    // The text keeps clear of the border: six columns inside each side hold only the fill.
    const int32_t left = tip->getBoxX() - pad, right = tip->getBoxX() + tipLabel->getWidth() + pad;
    for (int32_t y = tip->getBoxY() - pad + 1; y < tip->getBoxY() + tipLabel->getHeight(); ++y) {
        for (int32_t inset = 1; inset <= 6; ++inset) {
            ASSERT_EQ(colorAt(frame, left + inset, y), 0xFFF4D6u) << y;
            ASSERT_EQ(colorAt(frame, right - 1 - inset, y), 0xFFF4D6u) << y;
        }
    }
    frame->unlock();

    // A button in each corner of the screen, the pointer in its far corner, as on the rooms'
    // lift button: the whole box, border included, stays on the screen.
    scene->closeDialog(dialog.get());
    std::vector<RefHolder<Sprite>> corners;
    for (const auto& [x, y] :
         {std::pair{0, 0}, std::pair{799, 0}, std::pair{0, 599}, std::pair{799, 599}}) {
        corners.emplace_back(new Sprite(x == 0 ? 0 : 642, y == 0 ? 0 : 558, nullptr));
        corners.back()->setSize(158, 42);
        corners.back()->setToolTip(L"Back to the elevator");
        GameNode::appendChild(corners.back().get(), scene->getTree());
        restAt(x, y);
        ASSERT_TRUE(tip->isShowing()) << x << "," << y;
        EXPECT_EQ(auditTextLayout(scene->getTree(), 800, 600, nullptr, tip.get()),
                  std::vector<std::string>())
            << x << "," << y;
    }
    scenes->setToolTip(nullptr);
}

}  // namespace widgets_picture_test
