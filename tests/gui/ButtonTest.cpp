// Buttons: the press-move-release road with its frames, sounds and the hover count, hit tests
// on masks and alpha, fire keys, disabled buttons, and link buttons opening their address.
#include "framework/os/UrlOpener.h"
#include "framework/platform/InputHandler.h"
#include "gui/ButtonFixture.h"
#include "testsupport/TempFolder.h"

namespace button_test {

class RecordingOpener : public UrlOpener {
public:
    bool open(const std::string& address) override {
        opened.push_back(address);
        return true;
    }
    std::vector<std::string> opened;
};

TEST_F(ButtonTest, PressMoveAndReleaseWithFramesSoundsAndTheHoverCount) {
    RefHolder<Button> button = buttonFrom(
        "x=\"100\" y=\"50\" clicksound=\"CLICK\" oversound=\"OVER\" disabledsound=\"DENIED\"");
    ASSERT_NE(button.get(), nullptr);
    EXPECT_EQ(button->getHeight(), 10);
    const int32_t hover = InputHandler::getHoverCount();

    // Entering plays the over sound once; moving inside plays nothing more.
    EXPECT_FALSE(button->onMouseMove(105, 55, 0));
    EXPECT_FALSE(button->onMouseMove(110, 55, 0));
    EXPECT_EQ(played(), Keys{"OVER"});
    EXPECT_EQ(button->getFrame(), Button::STATE_OVER);
    EXPECT_EQ(InputHandler::getHoverCount(), hover + 1);

    // Press, leave while held, come back, release inside: fires once.
    bind(button.get());
    EXPECT_TRUE(button->onLeftButtonDown(110, 55, 1, false));
    EXPECT_EQ(played(), Keys{"CLICK"});
    EXPECT_EQ(button->getFrame(), Button::STATE_PRESSED);
    button->onMouseMove(10, 10, 1);
    EXPECT_EQ(button->getState(), Button::STATE_OVER);
    EXPECT_EQ(InputHandler::getHoverCount(), hover);
    button->onMouseMove(110, 55, 1);
    EXPECT_EQ(button->getState(), Button::STATE_PRESSED);
    EXPECT_TRUE(button->onLeftButtonUp(110, 55, 0));
    EXPECT_EQ(fired, 1);
    EXPECT_EQ(button->getState(), Button::STATE_NORMAL);

    // Press, leave, release outside: nothing fires.
    button->onLeftButtonDown(110, 55, 1, false);
    button->onMouseMove(10, 10, 1);
    EXPECT_FALSE(button->onLeftButtonUp(10, 10, 0));
    EXPECT_EQ(fired, 1);
    EXPECT_EQ(button->getState(), Button::STATE_NORMAL);
    // Leaving and entering again plays the over sound again.
    played();
    button->onMouseMove(110, 55, 0);
    EXPECT_EQ(played(), Keys{"OVER"});

    // Disabled: the disabled frame, the disabled sound, the press not consumed, no firing, and
    // the hover given up.
    button->setEnabled(false);
    EXPECT_EQ(InputHandler::getHoverCount(), hover);
    EXPECT_EQ(button->getFrame(), Button::FRAME_DISABLED);
    EXPECT_FALSE(button->onLeftButtonDown(110, 55, 1, false));
    EXPECT_EQ(played(), Keys{"DENIED"});
    EXPECT_EQ(button->getFrame(), Button::FRAME_DISABLED);
    EXPECT_FALSE(button->onLeftButtonUp(110, 55, 0));
    button->onMouseMove(111, 55, 0);
    EXPECT_EQ(InputHandler::getHoverCount(), hover);
    EXPECT_EQ(fired, 1);
    button->setEnabled(true);
    EXPECT_EQ(button->getFrame(), button->getState());

    // Without a callback a release still resets and is consumed.
    button->setCallback(nullptr, nullptr);
    button->onLeftButtonDown(110, 55, 1, false);
    EXPECT_TRUE(button->onLeftButtonUp(110, 55, 0));
    EXPECT_EQ(button->getState(), Button::STATE_NORMAL);

    // A hovered button gives its hover back when cancelled or destroyed.
    button->onMouseMove(110, 55, 0);
    EXPECT_EQ(InputHandler::getHoverCount(), hover + 1);
    button->cancelInput();
    EXPECT_EQ(InputHandler::getHoverCount(), hover);
    EXPECT_EQ(button->getState(), Button::STATE_NORMAL);
    button->onMouseMove(110, 55, 0);
    button.reset();
    EXPECT_EQ(InputHandler::getHoverCount(), hover);
}

TEST_F(ButtonTest, HitsFollowTheMaskOrTheImagesAlpha) {
    // Frame 0 of the strip: alpha 0 at column 0, 1 at column 1, 128 at 2, 129 at 3.
    RefHolder<Image> art = strip(20, 10);
    RefHolder<Image> mask = Image::createImage(20, 10, 1);
    const uint8_t alphas[] = {0, 1, 128, 129};
    for (int32_t x = 0; x < 4; ++x) {
        *art->getAlphaAddress(x, 0) = alphas[x];
        *mask->getAlphaAddress(x, 0) = alphas[x];
    }
    addPicture("ART", art.get());
    addPicture("MASK", mask.get());

    RefHolder<Button> byAlpha = buttonFrom("hitmaskthreshold=\"0\"", "Button", "ART");
    byAlpha->setState(Button::STATE_PRESSED);  // the test reads the top frame whatever is shown
    EXPECT_EQ((std::vector<bool>{byAlpha->containsPoint(0, 0), byAlpha->containsPoint(1, 0)}),
              (std::vector<bool>{false, true}));

    // Placed in a parent, centred on its anchor: the mask's (2, 0) and (3, 0) lie at 192 and 193.
    RefHolder<Button> masked =
        buttonFrom("x=\"40\" y=\"5\" hitmask=\"MASK\" anchorpoint=\"center\"");
    RefHolder<GameNode> parent = new GameNode();
    parent->setX(160);
    parent->setY(100);
    GameNode::appendChild(masked.get(), parent.get());
    EXPECT_FALSE(masked->containsPoint(192, 100));
    EXPECT_TRUE(masked->containsPoint(193, 100));
    RefHolder<Button> plain = buttonFrom("");
    EXPECT_TRUE(plain->containsPoint(0, 0));
    EXPECT_FALSE(plain->containsPoint(0, 10));  // the frame is 10 high
    EXPECT_FALSE(plain->containsPoint(20, 0));
    EXPECT_FALSE(plain->containsPoint(-1, 0));
}

TEST_F(ButtonTest, FireKeysPressAndFireOnlyWhileEnabled) {
    RefHolder<Button> button = buttonFrom("firekey=\"0x0D, 32,,#1B\"");
    EXPECT_EQ(button->getFireKeys(), (std::vector<int32_t>{13, 32, 27}));
    bind(button.get());
    EXPECT_FALSE(button->onKeyDown(65));
    EXPECT_TRUE(button->onKeyDown(13));
    EXPECT_EQ(button->getState(), Button::STATE_PRESSED);
    EXPECT_TRUE(button->onKeyUp(13));
    EXPECT_EQ(button->getState(), Button::STATE_NORMAL);
    // A release whose press went elsewhere (a window command, a box opened since) fires not.
    EXPECT_FALSE(button->onKeyUp(32));
    EXPECT_EQ(fired, 1);
    button->setEnabled(false);
    EXPECT_FALSE(button->onKeyDown(13));
    EXPECT_FALSE(button->onKeyUp(13));
    EXPECT_EQ(fired, 1);
}

TEST_F(ButtonTest, ALinkButtonOpensItsAddressThenCallsBack) {
    RecordingOpener opener;
    UrlOpener::install(&opener);
    RefHolder<Button> link = buttonFrom("url=\"https://example.org/quovel\"", "URLButton");
    ASSERT_NE(objectCast<URLButton>(link.get()), nullptr);
    // The callback sees how many addresses were opened when it runs.
    link->setCallback(&opener, [](void* target, BaseObject*) -> int32_t {
        return static_cast<int32_t>(static_cast<RecordingOpener*>(target)->opened.size());
    });
    link->onMouseMove(5, 5, 0);
    link->onLeftButtonDown(5, 5, 1, false);
    EXPECT_TRUE(link->onLeftButtonUp(5, 5, 0));
    EXPECT_EQ(opener.opened, (std::vector<std::string>{"https://example.org/quovel"}));
    EXPECT_EQ(link->invoke(link.get()), 2);
    // A picture file missing: the strip given by the definition stays.
    RefHolder<Button> missing = buttonFrom("file=\"no/such.png\"", "URLButton");
    EXPECT_EQ(missing->getHeight(), 10);
    // A picture file that loads becomes the strip: the built 160 x 160 button art.
    putFile("link.png",
            readTestFile(std::string(QUOVEL_BINARY_DIR) + "/game/media/images/gui/button.png"));
    RefHolder<Button> pictured = buttonFrom("file=\"link.png\"", "URLButton");
    EXPECT_EQ(pictured->getWidth(), 160);
    EXPECT_EQ(pictured->getHeight(), 40);
    UrlOpener::install(nullptr);
}

}  // namespace button_test
