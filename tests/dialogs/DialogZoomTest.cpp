// The zoom dialog: components in one clipped content node, popping in from nothing, the
// content scrolled out and back around a swap, shrinking away after a delay (queued when asked
// twice), and the game screen kept running while it is open.
#include "dialogs/GameDialogFixture.h"
#include "game/dialogs/DialogZoom.h"
#include "gui/HeadlessPicture.h"

using namespace testpixels;

namespace dialog_zoom_test {

constexpr const char* ZOOM_DEFINITIONS =
    "<Node id=\"dialogs\">"
    "<DialogZoom id=\"ZOOM\" x=\"400\" y=\"300\" background=\"PANEL\" section=\"gui\">"
    "<Vector id=\"components\">"
    "<Button id=\"BUTTON_OK\" x=\"10\" y=\"10\" image=\"STRIP\" section=\"gui\"/>"
    "<Sprite id=\"PICTURE\" x=\"40\" y=\"20\" image=\"STRIP\" section=\"gui\"/>"
    "</Vector></DialogZoom>"
    "<DialogZoom id=\"ZOOM_TOPLEFT\" anchorpoint=\"topleft\" background=\"PANEL\" "
    "section=\"gui\"/>"
    "</Node>";

// Counts the swaps of its content.
class CountingZoom : public DialogZoom {
public:
    using DialogZoom::DialogZoom;
    void onContentSwap() override {
        ++swaps;
        yAtSwap = getContent()->getY();
    }
    int swaps = 0;
    int32_t yAtSwap = 0;
};

class DialogZoomTest : public GameDialogTest {
protected:
    void SetUp() override {
        GameDialogTest::SetUp();
        addPicture("PANEL", filled(200, 100, 4, 0x00F6EFE0, 255).get());
        definitionsFrom(ZOOM_DEFINITIONS);
        BasicProperties& table = *BasicProperties::instance();
        table.setInteger("DIALOG_ZOOM_APPEAR_TIME", 200);
        table.setInteger("DIALOG_ZOOM_DISAPPEAR_TIME", 100);
        table.setInteger("DIALOG_ZOOM_HIDE_DELAY", 300);
        table.setInteger("DIALOG_ZOOM_SCROLL_TIME", 50);
        loadTuningConstants();
    }
    void frames(int32_t ms) {
        for (int32_t t = 0; t < ms; t += 10) {
            frame(10);
        }
    }
};

TEST_F(DialogZoomTest, ComponentsLiveInTheClippedContentAndTheAnchorIsTheCentreUnlessDefined) {
    RefHolder<DialogZoom> zoom = new DialogZoom(GuiDefinitions::instance()->findDialog("ZOOM"));
    Sprite* content = zoom->getContent();
    EXPECT_EQ(zoom->getComponents()->getFirstChild(), content);
    EXPECT_EQ(zoom->getComponents()->getLastChild(), content);
    EXPECT_EQ(zoom->findChild("PICTURE")->getParent(), content);
    RefHolder<Sprite> late = new Sprite();
    late->setName("LATE");
    zoom->addChild(late.get());
    EXPECT_EQ(late->getParent(), content);
    EXPECT_EQ(zoom->findChild("LATE"), late.get());
    EXPECT_EQ(zoom->getAnchor().type, Sprite::ANCHOR_CENTER);
    ASSERT_TRUE(content->getClipRect().has_value());
    EXPECT_EQ(*content->getClipRect(), (Rect{25 - 100, 25 - 50, 150, 50}));
    // The content's children see the same window, relative to the content.
    EXPECT_EQ(*objectCast<Sprite>(zoom->findChild("PICTURE"))->getClipRect(),
              (Rect{25 - 100, 25 - 50, 150, 50}));
    EXPECT_FALSE(zoom->isVisible());
    EXPECT_FALSE(content->isVisible());
    EXPECT_FALSE(zoom->getPausesGame());
    EXPECT_FALSE(zoom->getComponentsContainer().isModal());

    RefHolder<DialogZoom> topLeft =
        new DialogZoom(GuiDefinitions::instance()->findDialog("ZOOM_TOPLEFT"));
    EXPECT_EQ(topLeft->getAnchor().type, Sprite::ANCHOR_TOP_LEFT);
    EXPECT_EQ(*topLeft->getContent()->getClipRect(), (Rect{25, 25, 150, 50}));
}

TEST_F(DialogZoomTest, PopsInSwapsItsContentAndShrinksAwayWhileTheGameRuns) {
    RefHolder<CountingZoom> zoom = new CountingZoom(GuiDefinitions::instance()->findDialog("ZOOM"));
    zoom->setName("ZOOM");
    scene->openDialog(zoom.get());
    EXPECT_EQ(screen.pauses, 0);
    Sprite* content = zoom->getContent();
    frames(tuning().DIALOG_FADE_TIME + 10);  // the base dialog's fade-in comes first

    zoom->zoomIn();
    EXPECT_TRUE(zoom->isVisible());
    EXPECT_EQ(zoom->getScale(), 0.0f);
    frames(100);
    EXPECT_NEAR(zoom->getScale(), 0.5f, 0.06f);
    EXPECT_FALSE(content->isVisible());
    frames(120);
    EXPECT_EQ(zoom->getScale(), 1.0f);
    EXPECT_TRUE(content->isVisible());

    zoom->zoomIn();
    frames(200);
    EXPECT_EQ(zoom->swaps, 1);
    EXPECT_EQ(zoom->yAtSwap, -100);  // scrolled up by its height, out of the window
    EXPECT_EQ(content->getY(), 0);
    // The picture moved with the content, inside the same window on screen.
    auto* picture = objectCast<Sprite>(zoom->findChild("PICTURE"));
    EXPECT_EQ(*picture->getClipRect(), (Rect{25 - 100, 25 - 50, 150, 50}));
    zoom->zoomIn();
    frames(30);
    const int32_t y = content->getY();
    EXPECT_LT(y, 0);
    RefHolder<Image> picture800 = Image::createImage(800, 600, 4);
    RefHolder<Graphics> graphics = picture800->createGraphics();
    scene->getRenderTask()->renderTree(graphics.get());
    EXPECT_EQ(*picture->getClipRect(), (Rect{25 - 100, 25 - 50 - y, 150, 50}));
    frames(200);

    // Asked twice: the second delay and shrink are queued behind the first; the first shrink
    // waits behind the second delay, and the second shrink (asked at full size) follows it.
    zoom->scheduleHide();
    zoom->scheduleHide();
    frames(250);
    EXPECT_TRUE(content->isVisible());
    EXPECT_FALSE(zoom->isHidden());
    frames(100);
    EXPECT_FALSE(content->isVisible());
    EXPECT_TRUE(zoom->isHidden());
    EXPECT_TRUE(zoom->isVisible());
    EXPECT_EQ(zoom->getScale(), 1.0f);
    frames(600);
    EXPECT_TRUE(zoom->isHidden());
    EXPECT_EQ(zoom->getScale(), 0.0f);
    EXPECT_FALSE(zoom->isVisible());
    frames(400);
    EXPECT_FALSE(zoom->isVisible());
    EXPECT_EQ(screen.pauses, 0);

    // Hidden again, it pops in from nothing over the whole appear time.
    zoom->zoomIn();
    frames(100);
    EXPECT_NEAR(zoom->getScale(), 0.5f, 0.06f);
    scene->closeDialog(zoom.get());
}

}  // namespace dialog_zoom_test
