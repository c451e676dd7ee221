// Dialogs: built from definitions with painters and backgrounds, drawn buffered, centred,
// dragged, and routing input to the components bound with connect.
#include "gui/GuiFixture.h"

#include "framework/gui/Dialog.h"
#include "framework/gui/DialogPainter.h"

using namespace testpixels;

namespace dialog_test {

// A component that listens and calls back, as buttons do; it records the presses it gets.
class ProbeWidget : public Sprite, public iInputListener, public iGuiMethod {
public:
    ProbeWidget(int32_t x, int32_t y, int32_t w, int32_t h) : Sprite(x, y, w, h) {}
    const TypeRecord* getType() const override { return &Sprite::typeRecord; }
    void* castTo(const TypeRecord* type) override {
        if (type == &iInputListener::typeRecord) {
            return static_cast<iInputListener*>(this);
        }
        if (type == &iGuiMethod::typeRecord) {
            return static_cast<iGuiMethod*>(this);
        }
        return Sprite::castTo(type);
    }
    bool onLeftButtonDown(int32_t x, int32_t y, int32_t, bool) override {
        ++presses;
        return containsPoint(x, y);
    }
    void cancelInput() override {}
    int presses = 0;
};

class DialogTest : public GuiTest {
protected:
    RefHolder<Dialog> dialogFrom(const std::string& keys, const std::string& inside = "") {
        RefHolder<PropertyNode> node =
            nodeFrom("<Dialog id=\"d\" " + keys + ">" + inside + "</Dialog>", "d");
        return new Dialog(node.get());
    }
    void addFramePieces() {
        addPicture("C", filled(16, 16, 4, 0x00AA0000, 255).get());
        addPicture("E", filled(8, 8, 4, 0x0000AA00, 255).get());
    }
    static constexpr const char* FRAME_PAINTER =
        "<DialogPainter id=\"painter\" section=\"gui\"><Vector id=\"images\">"
        "<String value=\"C\"/><String value=\"E\"/><String value=\"C\"/>"
        "<String value=\"E\"/><String value=\"\"/><String value=\"E\"/>"
        "<String value=\"C\"/><String value=\"E\"/><String value=\"C\"/>"
        "</Vector></DialogPainter>";

public:
    int callbacks = 0;
};

TEST_F(DialogTest, PressMoveAndReleaseDragOnlyPastThreePixelsAndOnlyMovableDialogs) {
    RefHolder<Dialog> dialog =
        dialogFrom("x=\"100\" y=\"100\" width=\"200\" height=\"100\" movable=\"true\"");
    auto* button = new ProbeWidget(10, 10, 20, 20);
    button->setName("BUTTON");
    dialog->addChild(button);
    iInputListenerContainer& input = dialog->getComponentsContainer();
    ASSERT_EQ(dialog->connect("BUTTON", nullptr, nullptr, &input), button);
    dialog->show();

    // A press on the button is the button's: no drag starts.
    EXPECT_TRUE(input.onLeftButtonDown(115, 115, 1, false));
    EXPECT_EQ(dialog->getDragState(), Dialog::DRAG_IDLE);
    // A press on no component is the dialog's.
    EXPECT_TRUE(input.onLeftButtonDown(150, 150, 1, false));
    EXPECT_EQ(dialog->getDragState(), Dialog::DRAG_PRESSED);
    input.onMouseMove(153, 147, 1);
    EXPECT_EQ(dialog->getDragState(), Dialog::DRAG_PRESSED);
    EXPECT_EQ(dialog->getX(), 100);
    input.onMouseMove(154, 150, 1);
    EXPECT_EQ(dialog->getDragState(), Dialog::DRAG_MOVING);
    EXPECT_EQ(dialog->getX(), 104);  // the whole 4 pixels
    EXPECT_EQ(dialog->getY(), 100);
    // While dragging, the components hear nothing.
    input.onMouseMove(120, 130, 1);
    EXPECT_EQ(dialog->getX(), 70);
    EXPECT_EQ(dialog->getY(), 80);
    EXPECT_FALSE(input.isActive());
    EXPECT_TRUE(input.onLeftButtonUp(120, 130, 0));
    EXPECT_EQ(dialog->getDragState(), Dialog::DRAG_IDLE);
    EXPECT_TRUE(input.isActive());

    // Released without dragging: whether the release lies inside.
    input.onLeftButtonDown(150, 150, 1, false);
    EXPECT_TRUE(dialog->onLeftButtonUp(151, 151, 0));
    input.onLeftButtonDown(150, 150, 1, false);
    EXPECT_FALSE(dialog->onLeftButtonUp(500, 500, 0));

    // A fixed dialog consumes a click on itself and starts nothing; outside it is not its own.
    RefHolder<Dialog> fixed = dialogFrom("width=\"50\" height=\"50\"");
    EXPECT_TRUE(fixed->onLeftButtonDown(10, 10, 1, false));
    EXPECT_EQ(fixed->getDragState(), Dialog::DRAG_IDLE);
    EXPECT_FALSE(fixed->onLeftButtonDown(60, 10, 1, false));
}

TEST_F(DialogTest, ADragCancelledMidwayGivesTheComponentsTheirInputBack) {
    RefHolder<Dialog> dialog = dialogFrom("width=\"200\" height=\"100\" movable=\"true\"");
    auto* button = new ProbeWidget(0, 0, 20, 20);
    button->setName("BUTTON");
    dialog->addChild(button);
    iInputListenerContainer& input = dialog->getComponentsContainer();
    dialog->connect("BUTTON", nullptr, nullptr, &input);
    dialog->show();
    input.onLeftButtonDown(100, 50, 1, false);
    input.onMouseMove(120, 50, 1);
    ASSERT_FALSE(input.isActive());
    const int pressesBefore = button->presses;
    input.cancelInput();
    EXPECT_EQ(dialog->getDragState(), Dialog::DRAG_IDLE);
    EXPECT_TRUE(input.isActive());
    EXPECT_TRUE(input.onLeftButtonDown(5, 5, 1, false));
    EXPECT_EQ(button->presses, pressesBefore + 1);
}

TEST_F(DialogTest, ConnectBindsListenerAndCallbackOrFindsNothing) {
    RefHolder<Dialog> dialog = dialogFrom("width=\"100\" height=\"100\"");
    auto* button = new ProbeWidget(0, 0, 20, 20);
    button->setName("BUTTON_OK");
    dialog->addChild(button);
    iInputListenerContainer container;
    const size_t before = container.getListeners().size();
    EXPECT_EQ(dialog->connect("BUTTON_NO", this, nullptr, &container), nullptr);
    EXPECT_EQ(container.getListeners().size(), before);

    const iGuiMethod::Callback callback = [](void* target, BaseObject*) {
        ++static_cast<DialogTest*>(target)->callbacks;
        return 0;
    };
    EXPECT_EQ(dialog->connect("BUTTON_OK", this, callback, &container), button);
    EXPECT_EQ(container.getListeners().front(), static_cast<iInputListener*>(button));
    button->invoke(button);
    EXPECT_EQ(callbacks, 1);
}

TEST_F(DialogTest, AutocenterPlacesTheDialogInTheMiddleOfTheWindow) {
    RefHolder<Dialog> even = dialogFrom("width=\"300\" height=\"200\" autocenter=\"true\"");
    even->show();
    EXPECT_EQ(even->getX(), 250);
    EXPECT_EQ(even->getY(), 200);
    RefHolder<Dialog> odd = dialogFrom("width=\"301\" height=\"200\" autocenter=\"true\"");
    odd->show();
    EXPECT_EQ(odd->getX(), 249);
    RefHolder<Dialog> fixed = dialogFrom("x=\"7\" width=\"301\" height=\"200\"");
    fixed->show();
    EXPECT_EQ(fixed->getX(), 7);
}

TEST_F(DialogTest, APainterRoundsTheSizeUpUnlessEnlargingIsOff) {
    addFramePieces();
    definitionsFrom(std::string("<Node id=\"templates\">") + FRAME_PAINTER + "</Node>");

    RefHolder<Dialog> fromTemplate =
        dialogFrom("painterid=\"painter\" minwidth=\"100\" minheight=\"40\"");
    ASSERT_NE(objectCast<DialogPainter>(fromTemplate->getPainter()), nullptr);
    EXPECT_EQ(fromTemplate->getWidth(), 104);
    EXPECT_EQ(fromTemplate->getHeight(), 40);
    EXPECT_EQ(fromTemplate->getRequestedWidth(), 100);
    fromTemplate->setWidth(33);
    EXPECT_EQ(fromTemplate->getWidth(), 40);

    // Enlarging off: the size as defined, not the -1 x -1 of a size never asked for.
    RefHolder<Dialog> exact =
        dialogFrom("width=\"99\" height=\"45\" autoenlarge=\"false\"", FRAME_PAINTER);
    ASSERT_NE(exact->getPainter(), nullptr);
    EXPECT_EQ(exact->getWidth(), 99);
    EXPECT_EQ(exact->getHeight(), 45);

    // A painter whose type word names no class: no painter, the size stands.
    RefHolder<Dialog> unknown =
        dialogFrom("width=\"99\" height=\"45\"", "<NoSuchPainter id=\"painter\"/>");
    EXPECT_EQ(unknown->getPainter(), nullptr);
    EXPECT_EQ(unknown->getWidth(), 99);
    // A painterid that names no template gives a painter of the null definition's type: none.
    RefHolder<Dialog> missing = dialogFrom("width=\"99\" height=\"45\" painterid=\"NOPE\"");
    EXPECT_EQ(missing->getPainter(), nullptr);
    EXPECT_EQ(missing->getWidth(), 99);
}

TEST_F(DialogTest, TheBackgroundSetsTheSizeAndANameWithoutPictureKeepsIt) {
    addPicture("BG", filled(60, 30, 4, 0x00F6EFE0, 255).get());
    RefHolder<Dialog> dialog =
        dialogFrom("width=\"5\" height=\"5\" background=\"BG\" section=\"gui\"");
    EXPECT_EQ(dialog->getWidth(), 60);
    EXPECT_EQ(dialog->getHeight(), 30);
    RefHolder<Dialog> missing =
        dialogFrom("width=\"5\" height=\"6\" background=\"NONE\" section=\"gui\"");
    EXPECT_EQ(missing->getBackgroundImage(), nullptr);
    EXPECT_EQ(missing->getWidth(), 5);
    EXPECT_EQ(missing->getHeight(), 6);
}

TEST_F(DialogTest, ABufferedDialogRedrawsWhenAVisibleComponentChangesOnly) {
    addPicture("BG", filled(40, 20, 4, 0x00F6EFE0, 255).get());
    addPicture("DOT", filled(2, 2, 4, 0x00FF0000, 255).get());
    RefHolder<Dialog> dialog = dialogFrom(
        "x=\"100\" y=\"100\" background=\"BG\" section=\"gui\" usebuffer=\"true\" "
        "anchorpoint=\"center\"",
        "<Vector id=\"components\">"
        "<Sprite id=\"SHOWN\" image=\"DOT\" section=\"gui\" x=\"-10\" y=\"-5\"/>"
        "<Sprite id=\"HIDDEN\" image=\"DOT\" section=\"gui\" visible=\"false\"/>"
        "<Sprite id=\"CLIPPED\" image=\"DOT\" section=\"gui\" x=\"4\" y=\"4\"/>"
        "</Vector>");
    // Clipped, relative to the dialog's position, to its right-hand column: as on screen, only
    // that column of the component is drawn into the buffer.
    auto* clipped = static_cast<Sprite*>(dialog->findChild("CLIPPED"));
    clipped->setClipRect({5, 0, 10, 10});
    EXPECT_FALSE(dialog->getComponents()->isVisible());  // drawn into the buffer instead
    RefHolder<Image> screen = filled(300, 300, 4, 0, 255);
    RefHolder<Graphics> graphics = graphicsOf(screen.get());
    dialog->render(graphics.get());
    Image* shown = dialog->getImage();
    Sprite* dot = static_cast<Sprite*>(dialog->findChild("SHOWN"));
    ASSERT_NE(dot, nullptr);
    ASSERT_NE(dot->getImage(), nullptr);
    EXPECT_EQ(dot->getWidth(), 2);
    ASSERT_NE(shown, nullptr);
    EXPECT_NE(shown, dialog->getBackgroundImage());
    EXPECT_FALSE(dialog->needsRepaint());
    // The component sits 10 left of and 5 above the centre anchor: at (10, 5) of the picture,
    // so at (90, 95) on screen; the background's own pixels are untouched.
    EXPECT_EQ(colorAt(shown, 10, 5), 0x00FF0000u);
    EXPECT_EQ(colorAt(dialog->getBackgroundImage(), 10, 5), 0x00F6EFE0u);
    EXPECT_EQ(colorAt(screen.get(), 90, 95), 0x00FF0000u);
    EXPECT_EQ(colorAt(screen.get(), 89, 95), 0x00F6EFE0u);
    EXPECT_EQ(colorAt(screen.get(), 79, 95), 0u);
    EXPECT_EQ(colorAt(shown, 24, 14), 0x00F6EFE0u);
    // A lone column is blended at the blitter's near-opaque weight: red with a trace of paper.
    EXPECT_GE(colorAt(shown, 25, 14) >> 16, 0xF0u);
    EXPECT_LE(colorAt(shown, 25, 14) & 0xFFFFu, 0x0808u);
    EXPECT_EQ(*clipped->getClipRect(), (Rect{5, 0, 10, 10}));

    dialog->findChild("HIDDEN")->setX(3);
    dialog->render(graphics.get());
    EXPECT_EQ(dialog->getImage(), shown);

    static_cast<Sprite*>(dialog->findChild("SHOWN"))->setX(0);
    dialog->render(graphics.get());
    EXPECT_NE(dialog->getImage(), shown);
    EXPECT_EQ(colorAt(dialog->getImage(), 20, 5), 0x00FF0000u);
    EXPECT_EQ(colorAt(dialog->getImage(), 10, 5), 0x00F6EFE0u);
}

}  // namespace dialog_test
