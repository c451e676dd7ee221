// Scenes: widgets and background loaded once, dialogs made, opened in front of the scene's
// widgets, closed and purged, also by their own closing modifier.
#include "gui/GuiFixture.h"
#include "gui/SceneProbes.h"

#include "framework/nodes/ModifierFunction.h"

namespace scene_test {

// A widget covering the screen that takes every press it gets.
class GreedyWidget : public Sprite, public iInputListener {
public:
    GreedyWidget() : Sprite(0, 0, 800, 600) { setName("GREEDY"); }
    void* castTo(const TypeRecord* type) override {
        return type == &iInputListener::typeRecord ? static_cast<iInputListener*>(this)
                                                   : Sprite::castTo(type);
    }
    bool onLeftButtonDown(int32_t, int32_t, int32_t, bool) override {
        ++presses;
        return true;
    }
    void cancelInput() override {}
    int presses = 0;
};

class SceneTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        definitionsFrom(
            "<Node id=\"dialogs\"><ProbeDialog id=\"DIALOG_PROBE\" width=\"100\" height=\"50\"/>"
            "</Node>");
    }
    RefHolder<ProbeScene> sceneFrom(const std::string& inside) {
        RefHolder<PropertyNode> node =
            nodeFrom("<ProbeScene id=\"SCENE_T\">" + inside + "</ProbeScene>", "SCENE_T");
        return new ProbeScene(node.get());
    }
    static int componentCount(Scene* scene) {
        int count = 0;
        for (GameNode* n = scene->getComponents()->getFirstChild(); n; n = n->getNextSibling()) {
            ++count;
        }
        return count;
    }
    ProbeRegistrations probes;
};

TEST_F(SceneTest, WidgetsAndBackgroundLoadOnTheFirstShowOnly) {
    addPicture("BG", testpixels::filled(800, 600, 4, 0x003B2414, 255).get());
    RefHolder<ProbeScene> scene = sceneFrom(
        "<String id=\"scenebackground\" value=\"BG\"/><String id=\"section\" value=\"gui\"/>"
        "<Vector id=\"scenecomponents\"><Sprite id=\"LOGO\"/></Vector>");
    EXPECT_EQ(scene->getName(), "SCENE_T");
    EXPECT_EQ(scene->getTree()->getFirstChild(), scene->getComponents());
    EXPECT_EQ(componentCount(scene.get()), 0);
    scene->show();
    scene->hide();
    scene->show();
    EXPECT_EQ(scene->loads, 1);
    EXPECT_EQ(componentCount(scene.get()), 1);
    EXPECT_NE(scene->findChild("LOGO"), nullptr);
    ASSERT_NE(scene->getBackgroundImage(), nullptr);
    EXPECT_EQ(scene->getBackgroundImage()->getWidth(), 800);
    // Showing listens to the window; hiding stops.
    MessageHandler* messages = GameWindow::getInstance()->getMessageHandler();
    const auto listens = [&] {
        for (WindowMessageListener* l : messages->getListeners()) {
            if (l == static_cast<WindowMessageListener*>(scene->getInputHandler())) {
                return true;
            }
        }
        return false;
    };
    EXPECT_TRUE(listens());
    scene->hide();
    EXPECT_FALSE(listens());
    // Hidden, the scene lets go of its background; the next show takes it again.
    EXPECT_EQ(scene->getBackgroundImage(), nullptr);
    scene->show();
    ASSERT_NE(scene->getBackgroundImage(), nullptr);
    EXPECT_EQ(scene->getBackgroundImage()->getWidth(), 800);
    EXPECT_EQ(scene->loads, 1);

    RefHolder<ProbeScene> bare = sceneFrom("<Integer id=\"scenecomponents\" value=\"3\"/>");
    bare->show();
    EXPECT_EQ(componentCount(bare.get()), 0);
    RefHolder<ProbeScene> none = sceneFrom("");
    none->show();
    EXPECT_EQ(componentCount(none.get()), 0);
}

TEST_F(SceneTest, GetDialogMakesOnePerInstanceNameAndClosesAnOpenOneFirst) {
    RefHolder<ProbeScene> scene = sceneFrom("");
    Dialog* first = scene->getDialog("DIALOG_PROBE");
    Dialog* second = scene->getDialog("DIALOG_PROBE", "SECOND");
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first, second);
    EXPECT_EQ(first->getName(), "DIALOG_PROBE");
    EXPECT_EQ(second->getName(), "SECOND");
    EXPECT_EQ(scene->getDialog("DIALOG_PROBE"), first);

    scene->openDialog(first);
    scene->openDialog(second);
    EXPECT_TRUE(scene->isDialogOpen("DIALOG_PROBE"));
    EXPECT_EQ(scene->getTree()->getLastChild(), second);
    // Asked for again while open: closed first, so opening puts it last again.
    EXPECT_EQ(scene->getDialog("DIALOG_PROBE"), first);
    EXPECT_FALSE(scene->isDialogOpen("DIALOG_PROBE"));
    scene->openDialog(first);
    EXPECT_EQ(scene->getTree()->getLastChild(), first);
    EXPECT_EQ(scene->getOpenDialogs().back().get(), first);
    EXPECT_FALSE(first->isRemoved());

    // Closed: no longer open at once, still in the tree until the purge.
    scene->closeDialog(first);
    EXPECT_FALSE(scene->isDialogOpen("DIALOG_PROBE"));
    EXPECT_EQ(first->getParent(), scene->getTree());
    scene->getPurgeTask()->update(0);
    EXPECT_EQ(first->getParent(), nullptr);
    EXPECT_EQ(scene->findDialog("DIALOG_PROBE"), first);
}

TEST_F(SceneTest, AnOpenDialogTakesClicksBeforeTheScenesWidgets) {
    RefHolder<ProbeScene> scene = sceneFrom("");
    auto* widget = new GreedyWidget();
    scene->addChild(widget);
    scene->connect("GREEDY", nullptr, nullptr, &scene->getComponentsContainer());
    scene->show();
    InputHandler* input = scene->getInputHandler();
    input->onLeftButtonDown(400, 300, 1, false);
    EXPECT_EQ(widget->presses, 1);

    Dialog* dialog = scene->getDialog("DIALOG_PROBE");
    scene->openDialog(dialog);
    EXPECT_EQ(input->getContainer().getListeners().front(),
              static_cast<iInputListener*>(&dialog->getComponentsContainer()));
    // Outside the dialog too: an open dialog is modal.
    EXPECT_TRUE(input->onLeftButtonDown(400, 300, 1, false));
    EXPECT_EQ(widget->presses, 1);

    scene->closeDialog(dialog);
    input->onLeftButtonDown(400, 300, 1, false);
    EXPECT_EQ(widget->presses, 2);
}

TEST_F(SceneTest, ADialogClosedByItsOwnClosingModifierIsReleasedCleanly) {
    {
        RefHolder<ProbeScene> scene = sceneFrom("");
        SceneManager::getInstance()->addScene("SCENE_T", scene.get());
        SceneManager::getInstance()->requestScene(scene.get());
        SceneManager::getInstance()->update(20);
        Dialog* dialog = scene->getDialog("DIALOG_PROBE");
        scene->openDialog(dialog);
        EXPECT_EQ(liveProbeDialogs, 1);
        // The end of a closing animation: the dialog's own running modifier removes it.
        GameNode::addModifier(dialog,
                              new ModifierFunction(callback<&Dialog::removeFromScene>(dialog)));
        SceneManager::getInstance()->update(20);
        EXPECT_FALSE(scene->isDialogOpen("DIALOG_PROBE"));
        // Out of the tree and out of the table: released, and made afresh on the next use.
        EXPECT_EQ(scene->findDialog("DIALOG_PROBE"), nullptr);
        EXPECT_EQ(liveProbeDialogs, 0);
        EXPECT_NE(scene->getDialog("DIALOG_PROBE"), nullptr);
        EXPECT_EQ(liveProbeDialogs, 1);
        SceneManager::releaseInstance();
    }
    EXPECT_EQ(liveProbeDialogs, 0);
}

}  // namespace scene_test
