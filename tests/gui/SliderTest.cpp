// Sliders: step buttons by click and by fire key, the knob pressed on the track, dragged past
// both ends and grabbed without jumping, vertical tracks, disabled sliders, and the sliders
// that cannot divide: no knob, equal bounds, a track of no length.
#include "framework/gui/Slider.h"

#include "gui/ButtonFixture.h"

namespace slider_test {

constexpr int32_t KEY_RIGHT = 39;
constexpr int32_t KEY_LEFT = 37;

class SliderTest : public ButtonTest {
protected:
    void SetUp() override {
        ButtonTest::SetUp();
        addPicture("KNOB", strip(20, 24).get());
        addPicture("STEP", strip(16, 16).get());
        parent->setPosition(10, 20);
    }
    // A slider (by default 200 x 24) at (100, 50) inside a parent at (10, 20), so at (110, 70)
    // on screen.
    RefHolder<Slider> sliderFrom(const std::string& keys, const std::string& children,
                                 int32_t width = 200, int32_t height = 24) {
        RefHolder<PropertyNode> node =
            nodeFrom("<Slider id=\"s\" x=\"100\" y=\"50\" width=\"" + std::to_string(width) +
                         "\" height=\"" + std::to_string(height) + "\" " + keys + ">" + children +
                         "</Slider>",
                     "s");
        RefHolder<BaseObject> made = ObjectFactoryContainer::instance()->createObject(node.get());
        RefHolder<Slider> slider = objectCast<Slider>(made.get());
        if (slider) {
            GameNode::appendChild(slider.get(), parent.get());
        }
        return slider;
    }
    static std::string knob() { return "<Button id=\"button\" image=\"KNOB\" section=\"gui\"/>"; }
    static std::string steps() {
        return "<Button id=\"decbutton\" image=\"STEP\" section=\"gui\" firekey=\"37\"/>"
               "<Button id=\"incbutton\" image=\"STEP\" section=\"gui\" firekey=\"39\"/>";
    }
    void bind(Slider* slider) { slider->setCallback(this, &SliderTest::countFire); }
    iInputListener* listenerOf(Slider* slider) {
        return static_cast<iInputListener*>(slider->castTo(&iInputListener::typeRecord));
    }
    int32_t holderX(Slider* slider) { return slider->getKnobHolder()->getX(); }

    RefHolder<GameNode> parent = new GameNode();
};

TEST_F(SliderTest, StepButtonsMoveTheValueByATenthByClickAndByKey) {
    RefHolder<Slider> slider = sliderFrom("", knob() + steps());
    ASSERT_NE(slider, nullptr);
    bind(slider.get());
    iInputListener* listener = listenerOf(slider.get());
    ASSERT_NE(listener, nullptr);
    EXPECT_TRUE(iInputListenerContainer::isContainer(listener));
    // The decrement button ends where the track starts, the increment begins where it ends.
    Button* dec = slider->getDecButton();
    Button* inc = slider->getIncButton();
    EXPECT_EQ(dec->getLeft(), 100 - 16 - 100);
    EXPECT_EQ(dec->getTop(), 12 - 8);
    EXPECT_EQ(inc->getLeft(), 200);

    // Ten clicks on the increment button reach exactly the maximum; the first gives 0.1.
    const int32_t incX = inc->getAbsoluteX() + 2 + 8;
    const int32_t incY = 70 + 12;
    for (int i = 0; i < 10; ++i) {
        EXPECT_TRUE(listener->onLeftButtonDown(incX, incY, 1, false));
        EXPECT_TRUE(listener->onLeftButtonUp(incX, incY, 0));
        if (i == 0) {
            EXPECT_FLOAT_EQ(slider->value, 0.1f);
        }
    }
    EXPECT_EQ(slider->value, 1.0f);
    EXPECT_EQ(holderX(slider.get()), 180);
    EXPECT_EQ(fired, 10);

    // The fire keys reach the step buttons through the slider.
    slider->value = 0.05f;
    EXPECT_TRUE(listener->onKeyDown(KEY_LEFT));
    EXPECT_TRUE(listener->onKeyUp(KEY_LEFT));
    EXPECT_EQ(slider->value, 0.0f);
    EXPECT_EQ(holderX(slider.get()), 0);
    listener->onKeyDown(KEY_RIGHT);
    listener->onKeyUp(KEY_RIGHT);
    EXPECT_FLOAT_EQ(slider->value, 0.1f);
    EXPECT_EQ(fired, 12);
}

TEST_F(SliderTest, TheKnobFollowsTheMouseAlongTheTrackAndStopsAtItsEnds) {
    RefHolder<Slider> slider = sliderFrom("minvalue=\"10\" maxvalue=\"20\"", knob());
    bind(slider.get());
    iInputListener* listener = listenerOf(slider.get());
    slider->value = 15.0f;
    slider->updateKnob();
    EXPECT_EQ(holderX(slider.get()), 90);

    // A press on the far end of the track jumps the knob there.
    EXPECT_TRUE(listener->onLeftButtonDown(110 + 199, 75, 1, false));
    EXPECT_EQ(holderX(slider.get()), 180);
    EXPECT_EQ(slider->value, 20.0f);
    EXPECT_EQ(slider->getKnob()->getState(), Button::STATE_PRESSED);
    EXPECT_EQ(fired, 1);
    // Dragged past the start (and off the slider): the knob stays at the start.
    EXPECT_TRUE(listener->onMouseMove(-50, 300, 1));
    EXPECT_EQ(holderX(slider.get()), 0);
    EXPECT_EQ(slider->value, 10.0f);
    EXPECT_EQ(fired, 2);
    EXPECT_TRUE(listener->onMouseMove(900, 75, 1));
    EXPECT_EQ(slider->value, 20.0f);
    // Released on the knob: over.
    EXPECT_TRUE(listener->onLeftButtonUp(110 + 185, 75, 0));
    EXPECT_EQ(slider->getKnob()->getState(), Button::STATE_OVER);
    EXPECT_EQ(fired, 3);

    // Grabbed near its right edge, the knob does not jump; a drag moves it by the same amount.
    slider->value = 10.0f;
    slider->updateKnob();
    EXPECT_TRUE(listener->onLeftButtonDown(110 + 18, 75, 1, false));
    EXPECT_EQ(holderX(slider.get()), 0);
    EXPECT_EQ(slider->value, 10.0f);
    listener->onMouseMove(110 + 18 + 45, 60, 1);
    EXPECT_EQ(holderX(slider.get()), 45);
    EXPECT_FLOAT_EQ(slider->value, 12.5f);
    // Released away from the slider: normal, not consumed.
    EXPECT_FALSE(listener->onLeftButtonUp(0, 0, 0));
    EXPECT_EQ(slider->getKnob()->getState(), Button::STATE_NORMAL);
    // Without the button held the pointer only lights the knob, and the move is not consumed.
    EXPECT_FALSE(listener->onMouseMove(110 + 50, 75, 0));
    EXPECT_EQ(slider->getKnob()->getState(), Button::STATE_OVER);
    EXPECT_FLOAT_EQ(slider->value, 12.5f);
}

TEST_F(SliderTest, VerticalAndDisabledSliders) {
    RefHolder<Slider> slider = sliderFrom("vertical=\"true\"", knob() + steps(), 20, 124);
    iInputListener* listener = listenerOf(slider.get());
    // The decrement button sits above the track, the increment below it.
    EXPECT_LE(slider->getDecButton()->getTop() + 16, 0);
    EXPECT_GE(slider->getIncButton()->getTop(), 124);
    // The value grows downwards.
    EXPECT_TRUE(listener->onLeftButtonDown(115, 70 + 123, 1, false));
    EXPECT_EQ(slider->getKnobHolder()->getY(), 100);
    EXPECT_EQ(slider->value, 1.0f);
    listener->onMouseMove(115, 70 + 50, 1);
    EXPECT_FLOAT_EQ(slider->value, 0.5f);
    listener->onLeftButtonUp(115, 70 + 50, 0);

    // Disabled: a click on the track is consumed and changes nothing, the knob and the step
    // buttons are disabled with it.
    slider->setEnabled(false);
    bind(slider.get());
    EXPECT_FALSE(slider->getKnob()->isEnabled());
    EXPECT_FALSE(slider->getIncButton()->isEnabled());
    EXPECT_TRUE(listener->onLeftButtonDown(115, 70 + 5, 1, false));
    EXPECT_FALSE(listener->onMouseMove(115, 70 + 100, 1));
    EXPECT_FLOAT_EQ(slider->value, 0.5f);
    EXPECT_EQ(fired, 0);
    RefHolder<Slider> off = sliderFrom("enabled=\"false\"", knob() + steps());
    EXPECT_FALSE(off->getKnob()->isEnabled());
    EXPECT_FALSE(off->getDecButton()->isEnabled());
}

TEST_F(SliderTest, SlidersThatCannotDivideKeepTheKnobAtTheStart) {
    // No knob: the track spans the slider and a press still sets the value.
    RefHolder<Slider> bare = sliderFrom("", "");
    ASSERT_NE(bare, nullptr);
    EXPECT_EQ(bare->getKnob(), nullptr);
    iInputListener* listener = listenerOf(bare.get());
    EXPECT_TRUE(listener->onLeftButtonDown(110 + 50, 75, 1, false));
    EXPECT_FLOAT_EQ(bare->value, 0.25f);
    EXPECT_FALSE(listener->onMouseMove(110 + 100, 75, 1));
    EXPECT_TRUE(listener->onLeftButtonUp(110 + 100, 75, 0));

    // Equal bounds: the knob stays at the start.
    RefHolder<Slider> flat = sliderFrom("minvalue=\"5\" maxvalue=\"5\"", knob());
    flat->value = 5.0f;
    flat->updateKnob();
    EXPECT_EQ(holderX(flat.get()), 0);

    // A knob as wide as the slider leaves a track of no length: the value is the minimum.
    RefHolder<Slider> full = sliderFrom("maxvalue=\"3\"", knob(), 20);
    full->value = 2.0f;
    full->updateKnob();
    EXPECT_EQ(holderX(full.get()), 0);
    listener = listenerOf(full.get());
    EXPECT_TRUE(listener->onLeftButtonDown(115, 75, 1, false));
    listener->onMouseMove(400, 75, 1);
    EXPECT_EQ(full->value, 0.0f);
    EXPECT_EQ(holderX(full.get()), 0);
}

}  // namespace slider_test
