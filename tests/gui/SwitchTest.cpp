// Switches: the press-drag-release road with its frames, sounds and the hover count, radio
// groups (by click and by construction), disabled switches, alpha hit tests and captions.
#include "framework/gui/Switch.h"

#include "framework/platform/InputHandler.h"
#include "gui/ButtonFixture.h"

namespace switch_test {

class SwitchTest : public ButtonTest {
protected:
    void SetUp() override {
        ButtonTest::SetUp();
        // Eight frames of 20 x 10; the left half of every frame is transparent.
        RefHolder<Image> image = Image::createImage(20, 80, 4);
        RefHolder<Graphics> graphics = image->createGraphics();
        graphics->setColor(0xFF808080u);
        graphics->fillRect(0, 0, 20, 80);
        graphics->fillChannel(Channel::ALPHA, 255);
        graphics->fillRectChannel(Channel::ALPHA, 0, 0, 0, 10, 80);
        addPicture("EIGHT", image.get());
    }
    RefHolder<Switch> switchFrom(const std::string& keys) {
        RefHolder<PropertyNode> node = nodeFrom(
            "<Switch id=\"s\" image=\"EIGHT\" section=\"gui\" soundsection=\"gui\" "
            "onsound=\"CLICK\" "
            "offsound=\"OVER\" disabledsound=\"DENIED\" " +
                keys + "/>",
            "s");
        RefHolder<BaseObject> made = ObjectFactoryContainer::instance()->createObject(node.get());
        return objectCast<Switch>(made.get());
    }
    using ButtonTest::bind;
    void bind(Switch* target) { target->setCallback(this, &SwitchTest::countFire); }
    // A full click at the point.
    bool click(Switch* target, int32_t x, int32_t y) {
        target->onMouseMove(x, y, 0);
        target->onLeftButtonDown(x, y, 1, false);
        return target->onLeftButtonUp(x, y, 0);
    }
};

TEST_F(SwitchTest, PressDragAndReleaseToggleWithFramesSoundsAndTheHoverCount) {
    const int32_t hover = InputHandler::getHoverCount();
    {
        RefHolder<Switch> box = switchFrom("x=\"100\" y=\"50\"");
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->getFrameCount(), 8);
        EXPECT_EQ(box->getHeight(), 10);
        // A dialog's connect finds neither a listener nor a callback on it.
        EXPECT_EQ(box->castTo(&iInputListener::typeRecord), nullptr);
        EXPECT_EQ(box->castTo(&iGuiMethod::typeRecord), nullptr);
        bind(box.get());

        // Press inside, release outside: nothing toggles and the switch is normal again.
        box->onMouseMove(105, 55, 0);
        EXPECT_EQ(box->getFrame(), 1);
        EXPECT_EQ(InputHandler::getHoverCount(), hover + 1);
        EXPECT_TRUE(box->onLeftButtonDown(105, 55, 1, false));
        EXPECT_EQ(box->getFrame(), 2);
        box->onMouseMove(5, 5, 1);
        EXPECT_FALSE(box->onLeftButtonUp(5, 5, 0));
        EXPECT_FALSE(box->isOn());
        EXPECT_EQ(box->getState(), Switch::STATE_NORMAL);
        EXPECT_EQ(InputHandler::getHoverCount(), hover);

        // Press, drag out (over), back in (pressed), release: on, one callback, the on sound.
        box->onLeftButtonDown(105, 55, 1, false);
        box->onMouseMove(5, 5, 1);
        EXPECT_EQ(box->getState(), Switch::STATE_OVER);
        box->onMouseMove(105, 55, 1);
        EXPECT_EQ(box->getState(), Switch::STATE_PRESSED);
        played();
        EXPECT_TRUE(box->onLeftButtonUp(105, 55, 0));
        EXPECT_TRUE(box->isOn());
        EXPECT_EQ(fired, 1);
        EXPECT_EQ(played(), Keys{"CLICK"});
        EXPECT_EQ(box->getFrame(), 4);
        // Pointer moves are never consumed.
        EXPECT_FALSE(box->onMouseMove(106, 55, 0));
        EXPECT_EQ(box->getFrame(), 5);

        // Clicked again: off, with the off sound.
        EXPECT_TRUE(click(box.get(), 105, 55));
        EXPECT_FALSE(box->isOn());
        EXPECT_EQ(fired, 2);
        EXPECT_EQ(played(), Keys{"OVER"});

        // Destroyed while hovered: the hover count is back where it was.
        box->onMouseMove(105, 55, 0);
        EXPECT_EQ(InputHandler::getHoverCount(), hover + 1);
    }
    EXPECT_EQ(InputHandler::getHoverCount(), hover);
}

TEST_F(SwitchTest, ARadioGroupKeepsOneMemberOn) {
    RefHolder<Switch> first = switchFrom("groupid=\"3\" checked=\"true\"");
    RefHolder<Switch> second = switchFrom("groupid=\"3\" y=\"20\"");
    RefHolder<Switch> other = switchFrom("groupid=\"4\" y=\"40\" checked=\"true\"");
    ASSERT_TRUE(first->isOn());
    // Built checked, the third member turns off the first during its construction.
    RefHolder<Switch> third = switchFrom("groupid=\"3\" y=\"60\" checked=\"true\"");
    EXPECT_FALSE(first->isOn());
    EXPECT_TRUE(third->isOn());
    EXPECT_EQ(first->getFrame(), 0);
    for (Switch* member : {first.get(), second.get(), third.get()}) {
        bind(member);
    }
    played();

    // Clicking the member that is on is consumed and changes nothing.
    EXPECT_TRUE(click(third.get(), 15, 65));
    EXPECT_TRUE(third->isOn());
    EXPECT_EQ(fired, 0);
    EXPECT_TRUE(played().empty());

    // Clicking an off member: it turns on, the others off without their callbacks.
    EXPECT_TRUE(click(second.get(), 15, 25));
    EXPECT_TRUE(second->isOn());
    EXPECT_FALSE(third->isOn());
    EXPECT_FALSE(first->isOn());
    EXPECT_EQ(fired, 1);
    EXPECT_EQ(played(), Keys{"CLICK"});
    // Another group is left alone.
    EXPECT_TRUE(other->isOn());
}

TEST_F(SwitchTest, DisabledSwitchesAlphaHitsAndCaptions) {
    RefHolder<Switch> box = switchFrom("enabled=\"false\" checked=\"true\" hitmaskthreshold=\"0\"");
    bind(box.get());
    EXPECT_EQ(box->getFrame(), 7);
    // A release over a disabled switch plays the disabled sound and goes on to what is behind.
    played();
    EXPECT_FALSE(click(box.get(), 15, 5));
    EXPECT_EQ(played(), Keys{"DENIED"});
    EXPECT_TRUE(box->isOn());
    EXPECT_EQ(fired, 0);
    EXPECT_EQ(box->getFrame(), 7);
    EXPECT_FALSE(box->isHovered());

    box->setEnabled(true);
    EXPECT_EQ(box->getFrame(), 4 + Switch::STATE_OVER);
    // The transparent left half of the first frame misses, though inside the rectangle.
    EXPECT_FALSE(box->containsPoint(5, 5));
    EXPECT_TRUE(box->containsPoint(15, 5));
    // A caption's area counts as the switch's.
    RefHolder<Sprite> caption = new Sprite(40, 0, 60, 10);
    box->setCaption(caption.get());
    EXPECT_TRUE(click(box.get(), 70, 5));
    EXPECT_FALSE(box->isOn());
    EXPECT_EQ(fired, 1);
}

}  // namespace switch_test
