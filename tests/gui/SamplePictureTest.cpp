// Sample pictures for a person to look at: a framed dialog with its widgets, and a scene with
// that dialog open on it, drawn headless into build/pictures/gui/.
#include "gui/GuiFixture.h"
#include "gui/HeadlessPicture.h"

#include "framework/core/ObjectFactoryContainer.h"
#include "framework/gui/DialogPainter.h"

using namespace testpixels;

namespace sample_picture_test {

constexpr uint32_t WOOD = 0xFF3B2414;
constexpr uint32_t BRASS = 0xFFC8A25A;
constexpr uint32_t PAPER = 0x00F6EFE0;
constexpr uint32_t FELT = 0x000F5132;

class SamplePictureTest : public GuiTest {
protected:
    // Frame pieces drawn in code in the frame's colors: wood with a brass inlay on the inner
    // side; corners carry a brass plate and leave their outermost pixel transparent.
    void addFrame() {
        addPicture("TOP", band(16, 20, false, 14).get());
        addPicture("BOTTOM", band(16, 20, false, 4).get());
        addPicture("LEFT", band(20, 16, true, 14).get());
        addPicture("RIGHT", band(20, 16, true, 4).get());
        RefHolder<Image> corner = filled(20, 20, 4, WOOD & 0xFFFFFF, 255);
        RefHolder<Graphics> g = graphicsOf(corner.get());
        g->setColor(BRASS);
        g->fillRect(4, 4, 9, 9);
        put(corner.get(), 0, 0, 0, 0);
        addPicture("CORNER", corner.get());
        addPicture("DOT", filled(100, 28, 4, BRASS & 0xFFFFFF, 255).get());
        addPicture("BAR", filled(280, 26, 4, WOOD & 0xFFFFFF, 255).get());
    }
    // Wood with the brass inlay at `inlay` across the band.
    static RefHolder<Image> band(int32_t w, int32_t h, bool vertical, int32_t inlay) {
        RefHolder<Image> image = filled(w, h, 4, WOOD & 0xFFFFFF, 255);
        RefHolder<Graphics> g = graphicsOf(image.get());
        g->setColor(BRASS);
        if (vertical) {
            g->fillRect(inlay, 0, 2, h);
        } else {
            g->fillRect(0, inlay, w, 2);
        }
        return image;
    }
    RefHolder<Dialog> sampleDialog() {
        definitionsFrom(
            "<Node id=\"templates\"><DialogPainter id=\"FRAME\" section=\"gui\" "
            "centercolor=\"#FFF6EFE0\" initalpha=\"true\"><Vector id=\"images\">"
            "<String value=\"CORNER\"/><String value=\"TOP\"/><String value=\"CORNER\"/>"
            "<String value=\"LEFT\"/><String value=\"\"/><String value=\"RIGHT\"/>"
            "<String value=\"CORNER\"/><String value=\"BOTTOM\"/><String value=\"CORNER\"/>"
            "</Vector></DialogPainter></Node>"
            "<Node id=\"dialogs\"><Dialog id=\"DIALOG_SAMPLE\" painterid=\"FRAME\" "
            "minwidth=\"320\" minheight=\"180\" autocenter=\"true\"><Vector id=\"components\">"
            "<Sprite id=\"HEADER\" image=\"BAR\" section=\"gui\" x=\"20\" y=\"24\"/>"
            "<Sprite id=\"BUTTON_YES\" image=\"DOT\" section=\"gui\" x=\"40\" y=\"120\"/>"
            "<Sprite id=\"BUTTON_NO\" image=\"DOT\" section=\"gui\" x=\"184\" y=\"120\"/>"
            "</Vector></Dialog></Node>");
        RefHolder<BaseObject> made = ObjectFactoryContainer::instance()->createObject(
            GuiDefinitions::instance()->findDialog("DIALOG_SAMPLE"));
        return objectCast<Dialog>(made.get());
    }
};

TEST_F(SamplePictureTest, ASampleDialogAndASampleSceneAreDrawnIntoPictures) {
    addFrame();
    RefHolder<Dialog> dialog = sampleDialog();
    ASSERT_NE(dialog, nullptr);
    dialog->show();
    EXPECT_EQ(dialog->getWidth(), 328);  // 2 x 20 of corners and 18 tiles of 16
    EXPECT_EQ(dialog->getHeight(), 184);
    EXPECT_EQ(dialog->getX(), 236);
    RefHolder<Image> alone = writeDialogPicture(dialog.get(), "sample-dialog", FELT);
    ASSERT_NE(alone, nullptr);
    // Paper in the middle, wood and brass in the frame, the felt through the transparent corner.
    EXPECT_EQ(colorAt(alone.get(), 400, 300 - 8), PAPER);
    EXPECT_EQ(colorAt(alone.get(), 236, dialog->getY()), FELT);
    EXPECT_EQ(colorAt(alone.get(), 236 + 6, dialog->getY() + 6), BRASS & 0xFFFFFF);
    EXPECT_EQ(colorAt(alone.get(), 236 + 60, dialog->getY() + 2), WOOD & 0xFFFFFF);
    EXPECT_EQ(colorAt(alone.get(), 236 + 60, dialog->getY() + 184 - 20 + 4), BRASS & 0xFFFFFF);
    EXPECT_EQ(colorAt(alone.get(), 236 + 60, dialog->getY() + 130), BRASS & 0xFFFFFF);

    RefHolder<PropertyNode> node = nodeFrom("<Scene id=\"SCENE_SAMPLE\"/>", "SCENE_SAMPLE");
    RefHolder<Scene> scene = new Scene(node.get());
    RefHolder<Image> lobby = lobbyBackdrop();
    scene->setBackgroundImage(lobby.get());
    scene->show();
    scene->openDialog(dialog.get());
    RefHolder<Image> shown = writeScenePicture(scene.get(), "sample-scene");
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(colorAt(shown.get(), 400, 300 - 8), PAPER);
    EXPECT_EQ(colorAt(shown.get(), 10, 0), 0x003B2414u);
    EXPECT_EQ(colorAt(shown.get(), 236, dialog->getY()), colorAt(lobby.get(), 236, dialog->getY()));
    scene->closeDialog(dialog.get());
    scene->hide();
}

}  // namespace sample_picture_test
