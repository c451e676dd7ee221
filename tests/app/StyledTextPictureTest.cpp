// A dialog of the game's own art and fonts with styled text (two fonts, a color, a tile in the
// text, centred and wrapped lines) and a name field with a selection, drawn headless into
// build/pictures/gui/styled-text-dialog.png for a person to look at.
#include "app/GameMediaFixture.h"
#include "framework/gui/InputLabel.h"
#include "framework/gui/Label.h"
#include "framework/gui/StyleLabel.h"
#include "framework/os/Messages.h"
#include "framework/platform/InputHandler.h"
#include "framework/scene/Scene.h"
#include "gui/HeadlessPicture.h"
#include "testsupport/platform/PixelAccess.h"

using namespace testpixels;

namespace styled_text_picture_test {

constexpr const char* STYLED_TEXT_DIALOG = R"(
<Dialog id="DIALOG_STYLED" painterid="PAINTER_DIALOG" minwidth="440" minheight="290"
        autocenter="true">
  <Vector id="components">
    <StyleLabel id="STORY" x="30" y="26" width="380" font="FONT_BODY" section="preloading"
                wrapstyle="wordwrap"
                text="[alignh=center][font=FONT_HEADER,preloading]A free tile[/font][br]Take away two [color=#FFB03A10]matching free tiles[/color] at a time and the board grows smaller, until the last pair is gone.[br][/alignh][alignv=bottom]A tile such as [image=TILE,default,inline,single] is free when no tile lies on it and its left or right side is open.[br]"/>
    <Label id="PROMPT" x="40" y="202" font="FONT_SMALL" section="preloading"
           text="Your name"/>
    <InputLabel id="NAME" x="40" y="222" width="360" height="26" maxlength="20"
                cursorimage="IMAGE_TEXT_CURSOR" section="preloading" cursory="-1"
                selcolor="#FF3870C0" selalpha="90" selbordercolor="#FF3870C0"
                selborderalpha="200">
      <Label id="label" x="4" y="4" font="FONT_BODY" section="preloading"/>
    </InputLabel>
  </Vector>
</Dialog>)";

class StyledTextPictureTest : public GameMediaTest {};

TEST_F(StyledTextPictureTest, ADialogWithStyledTextAndANameFieldWithASelection) {
    loadResources({"IMAGE_FRAME_TL", "IMAGE_FRAME_T", "IMAGE_FRAME_TR", "IMAGE_FRAME_L",
                   "IMAGE_FRAME_R", "IMAGE_FRAME_BL", "IMAGE_FRAME_B", "IMAGE_FRAME_BR", "TILE"},
                  "default");
    loadResources({"FONT_BODY", "FONT_HEADER", "FONT_SMALL", "IMAGE_TEXT_CURSOR"}, "preloading");
    RefHolder<PropertyNode> definition = nodeFrom(STYLED_TEXT_DIALOG, "DIALOG_STYLED");
    RefHolder<Dialog> dialog = make<Dialog>(definition.get());
    ASSERT_NE(dialog, nullptr);
    auto* story = objectCast<StyleLabel>(dialog->findChild("STORY"));
    auto* name = objectCast<InputLabel>(dialog->findChild("NAME"));
    ASSERT_TRUE(story && name && name->getLabel() && name->getCursor());

    // The header and the first paragraph are centred, the paragraph wrapped within 380 pixels
    // with its colored words in their own color; the second paragraph, left-aligned, holds
    // the tile among its words, its text standing on the line's bottom.
    const auto& lines = story->getLines();
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ(story->getWidth(), 380);
    ASSERT_EQ(story->getState().images.size(), 1u);
    const Sprite* tile = story->getState().images[0].get();
    EXPECT_EQ(tile->getWidth(), 30);
    size_t second = 0;
    bool colored = false;
    for (size_t n = 0; n + 1 < lines.size(); ++n) {
        const auto& runs = lines[n]->runs;
        ASSERT_FALSE(runs.empty()) << n;
        if (runs.front()->getText() == L"A" && n > 0) {
            second = n;
        }
        const int32_t left = runs.front()->getX();
        const int32_t right = runs.back()->getX() + runs.back()->getWidth();
        EXPECT_LE(right, 380) << n;
        if (second == 0) {
            EXPECT_LE(std::abs(left - (380 - right)), 1) << n;
        } else {
            EXPECT_EQ(left, 0) << n;
        }
        for (const RefHolder<Label>& run : runs) {
            colored = colored || run->getTextColors() == std::vector<uint32_t>{0xFFB03A10};
        }
    }
    EXPECT_GE(second, 3u);
    EXPECT_TRUE(colored);
    EXPECT_NE(lines[0]->runs[0]->getFont(), lines[1]->runs[0]->getFont());
    EXPECT_EQ(tile->getY(),
              lines[second]->runs[0]->getY() -
                  (tile->getHeight() - lines[second]->runs[0]->getFont()->getCellHeight()));

    // The player's name with its last word selected from the keyboard.
    name->setText(L"Tile Hunter", true);
    name->setEditing(true);
    InputHandler keys;
    keys.onWindowMessage(WM_KEYDOWN, VK_SHIFT, 0);
    for (int i = 0; i < 6; ++i) {
        name->onKeyDown(VK_LEFT);
    }
    name->onKeyUp(VK_LEFT);
    keys.onWindowMessage(WM_KEYUP, VK_SHIFT, 0);
    EXPECT_EQ(name->getSelectedText(), L"Hunter");
    EXPECT_TRUE(name->getCursor()->isVisible());

    RefHolder<Scene> scene = new Scene(nullptr);
    RefHolder<Image> lobby = Image::createImage(800, 600, 4);
    {
        RefHolder<Graphics> g = lobby->createGraphics();
        g->setColor(0xFF2E1C10);
        g->clear();
    }
    scene->setBackgroundImage(lobby.get());
    scene->show();
    scene->openDialog(dialog.get());
    dialog->setX((800 - dialog->getWidth()) / 2);
    dialog->setY((600 - dialog->getHeight()) / 2);
    RefHolder<Image> shown = writeScenePicture(scene.get(), "styled-text-dialog");
    ASSERT_NE(shown, nullptr);

    // The tile's face shows where the layout put it; the selection box tints the paper blue.
    const int32_t storyX = dialog->getX() + 30;
    const int32_t storyY = dialog->getY() + 26;
    EXPECT_EQ(colorAt(shown.get(), storyX + tile->getX() + 15, storyY + tile->getY() + 20),
              colorAt(tile->getImage(), 15, 20));
    // (Its first row, above the letters, right of the cursor.)
    const int32_t boxX = dialog->getX() + 40 + name->getSelStartX() + 8;
    const int32_t boxY = dialog->getY() + 222 + 4;
    const uint32_t tinted = colorAt(shown.get(), boxX, boxY);
    EXPECT_GT(tinted & 0xFF, (tinted >> 16) & 0xFF);
    scene->closeDialog(dialog.get());
    scene->hide();
}

}  // namespace styled_text_picture_test
