// The game's base dialog: fading in and out with input off, its sounds, the order of the close,
// the game screen paused while dialogs are open, and the darkened backdrop.
#include "dialogs/GameDialogFixture.h"
#include "gui/HeadlessPicture.h"

using namespace testpixels;

namespace dialog_quovel_mahjong_test {

constexpr const char* BASE_DIALOG_DEFINITIONS =
    "<Node id=\"dialogs\">"
    "<DialogQuovelMahjong id=\"DIALOG_A\" x=\"300\" y=\"200\" background=\"PANEL\" "
    "section=\"gui\"><Vector id=\"components\">"
    "<Button id=\"BUTTON_OK\" x=\"10\" y=\"10\" image=\"STRIP\" section=\"gui\"/>"
    "</Vector></DialogQuovelMahjong>"
    "<DialogQuovelMahjong id=\"DIALOG_B\"/>"
    "<DialogQuovelMahjong id=\"DIALOG_DARK\" x=\"300\" y=\"200\" background=\"PANEL\" "
    "section=\"gui\" dodarkenbackground=\"true\"><Vector id=\"components\">"
    "<Button id=\"BUTTON_OK\" x=\"10\" y=\"10\" image=\"STRIP\" section=\"gui\"/>"
    "</Vector></DialogQuovelMahjong>"
    "</Node>";

class DialogQuovelMahjongTest : public GameDialogTest {
protected:
    void SetUp() override {
        GameDialogTest::SetUp();
        addPicture("PANEL", filled(100, 60, 4, 0x00F6EFE0, 255).get());
        definitionsFrom(BASE_DIALOG_DEFINITIONS);
    }
    DialogQuovelMahjong* open(const std::string& name, Scene* on = nullptr) {
        Scene* target = on ? on : scene.get();
        auto* dialog = objectCast<DialogQuovelMahjong>(target->getDialog(name));
        target->openDialog(dialog);
        return dialog;
    }
    bool takesInput(Dialog* dialog) {
        return dialog->getComponentsContainer().isActive() && dialog->iInputListener::isActive();
    }

public:
    // What the after-close callback saw.
    std::vector<std::string> events;
};

int32_t recordClosed(void* target, BaseObject*) {
    auto* test = static_cast<DialogQuovelMahjongTest*>(target);
    test->events.push_back(test->events.empty() ? "callback" : "callback again");
    return 0;
}

TEST_F(DialogQuovelMahjongTest, FadesInDeafThenCloseGoesSoundFadeRemovalCallback) {
    DialogQuovelMahjong* dialog = open("DIALOG_A");
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->getAlpha(), 0);
    EXPECT_TRUE(dialog->isBuffered());
    EXPECT_FALSE(takesInput(dialog));
    frame(50);
    EXPECT_EQ(played(), Keys{"SOUND_DIALOG_SHOW"});
    EXPECT_GT(dialog->getAlpha(), 0);
    EXPECT_LT(dialog->getAlpha(), 255);
    EXPECT_FALSE(takesInput(dialog));
    frame(60);
    EXPECT_EQ(dialog->getAlpha(), 255);
    EXPECT_FALSE(dialog->isBuffered());
    EXPECT_TRUE(takesInput(dialog));

    dialog->setCallback(this, &recordClosed);
    dialog->close();
    dialog->close();  // already closing: ignored
    EXPECT_FALSE(takesInput(dialog));
    EXPECT_TRUE(dialog->isBuffered());
    frame(50);
    EXPECT_EQ(played(), Keys{"SOUND_DIALOG_HIDE"});
    EXPECT_TRUE(scene->isDialogOpen("DIALOG_A"));
    EXPECT_TRUE(events.empty());
    RefHolder<Dialog> keep = dialog;
    frame(60);
    // Gone from the scene, then the callback; a new opening makes a new dialog.
    EXPECT_FALSE(scene->isDialogOpen("DIALOG_A"));
    EXPECT_EQ(scene->findDialog("DIALOG_A"), nullptr);
    EXPECT_EQ(events, std::vector<std::string>{"callback"});
    EXPECT_EQ(keep->getAlpha(), 0);
    frame(100);
    EXPECT_EQ(events.size(), 1u);
    EXPECT_NE(open("DIALOG_A"), keep.get());

    // Without sounds, closing is silent; with a fade time of 0 the reset follows at once.
    setTuning(0, 128);
    DialogQuovelMahjong* quiet = open("DIALOG_B");
    quiet->setSoundsEnabled(false);
    frame(0);
    EXPECT_TRUE(takesInput(quiet));
    played();
    quiet->close();
    frame(0);
    EXPECT_TRUE(played().empty());
    EXPECT_FALSE(scene->isDialogOpen("DIALOG_B"));
}

TEST_F(DialogQuovelMahjongTest, TheGamePausesUntilEveryDialogOverItHasClosed) {
    setTuning(0, 128);
    DialogQuovelMahjong* first = open("DIALOG_A");
    DialogQuovelMahjong* second = open("DIALOG_B");
    EXPECT_EQ(screen.getOpenDialogs().size(), 2u);
    EXPECT_EQ(screen.pauses, 2);
    first->close();
    frame(0);
    frame(0);
    EXPECT_EQ(screen.resumes, 0);
    second->close();
    frame(0);
    frame(0);
    EXPECT_EQ(screen.resumes, 1);
    EXPECT_TRUE(screen.getOpenDialogs().empty());

    // A dialog that does not pause, or one over another scene, is not registered; its hide
    // resumes nothing.
    auto* free = objectCast<DialogQuovelMahjong>(scene->getDialog("DIALOG_A"));
    free->setPausesGame(false);
    scene->openDialog(free);
    RefHolder<Scene> lobby = new Scene(nullptr);
    SceneManager::getInstance()->requestScene(lobby.get());
    frame(0);
    open("DIALOG_B", lobby.get());
    EXPECT_EQ(screen.pauses, 2);
    scene->closeDialog(free);
    lobby->closeDialog(lobby->findDialog("DIALOG_B"));
    EXPECT_EQ(screen.resumes, 1);

    // A dialog released while still registered leaves the list without resuming anything.
    {
        RefHolder<DialogQuovelMahjong> lost = new DialogQuovelMahjong(nullptr);
        screen.onDialogOpened(lost.get());
    }
    EXPECT_TRUE(screen.getOpenDialogs().empty());
    EXPECT_EQ(screen.resumes, 1);
    SceneManager::getInstance()->requestScene(scene.get());  // back to the game, not yet begun
    open("DIALOG_B");
    EXPECT_EQ(screen.pauses, 4);
}

TEST_F(DialogQuovelMahjongTest, ADarkenedDialogCoversTheScreenWithItsPictureAndButtonsInPlace) {
    setTuning(0, 128);
    RefHolder<Image> white = filled(800, 600, 4, 0x00FFFFFF, 255);
    scene->setBackgroundImage(white.get());
    DialogQuovelMahjong* dialog = open("DIALOG_DARK");
    frame(0);
    EXPECT_EQ(dialog->getX(), 0);
    EXPECT_EQ(dialog->getWidth(), 800);
    EXPECT_EQ(dialog->getHeight(), 600);
    EXPECT_FALSE(dialog->isMovable());
    auto* button = objectCast<Button>(dialog->findChild("BUTTON_OK"));
    ASSERT_NE(button, nullptr);
    EXPECT_TRUE(button->containsPoint(315, 215));
    EXPECT_FALSE(button->containsPoint(305, 205));

    RefHolder<Image> shown = writeScenePicture(scene.get(), "darkened-dialog");
    ASSERT_NE(shown, nullptr);
    // Black at alpha 128 over white outside; the panel and its button where the dialog stood.
    EXPECT_NEAR(static_cast<int>(colorAt(shown.get(), 5, 5) & 0xFF), 127, 2);
    EXPECT_NEAR(static_cast<int>(colorAt(shown.get(), 799, 599) & 0xFF), 127, 2);
    EXPECT_EQ(colorAt(shown.get(), 305, 205), 0xF6EFE0u);
    EXPECT_EQ(colorAt(shown.get(), 315, 215), 0x000010u);  // the strip's normal frame
    EXPECT_NEAR(static_cast<int>(colorAt(shown.get(), 405, 205) & 0xFF), 127, 2);
}

}  // namespace dialog_quovel_mahjong_test
