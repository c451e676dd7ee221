#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "core/SpriteRecorder.h"
#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PropertyNode.h"
#include "framework/core/PropertyValue.h"
#include "framework/nodes/ModifierAppearance.h"
#include "framework/nodes/ModifierFrame.h"
#include "framework/nodes/Sprite.h"

namespace appearance_modifier_test {

// A sprite of `frames` stacked 8 x 8 frames.
RefHolder<Sprite> stripSprite(int32_t frames, int32_t wrapStyle) {
    RefHolder<Image> strip = blankImage(8, 8 * frames);
    strip->setFrameCount(frames);
    RefHolder<Sprite> sprite(new Sprite(0, 0, strip.get()));
    sprite->setFrameWrapStyle(wrapStyle);
    return sprite;
}

// Updates the modifier until it finishes (at most `limit` times) and gives what `read` says
// after each update.
template <class Read>
auto trace(Modifier* modifier, int32_t stepMs, int limit, Read read) {
    std::vector<decltype(read())> values;
    for (int i = 0; i < limit && !modifier->isFinished(); ++i) {
        modifier->update(stepMs);
        values.push_back(read());
    }
    return values;
}

TEST(AppearanceModifierTest, AlphaFadesAndALongStepEndsIt) {
    RefHolder<Sprite> sprite(new Sprite(0, 0, 4, 4));
    RefHolder<ModifierAlpha> fade(new ModifierAlpha(300, 255, 0));
    fade->setTarget(sprite.get());
    fade->update(400);
    EXPECT_EQ(sprite->getAlpha(), 0);
    EXPECT_TRUE(fade->isFinished());

    RefHolder<ModifierAlpha> rise(new ModifierAlpha(300, 0, 200));
    rise->setTarget(sprite.get());
    EXPECT_EQ(trace(rise.get(), 100, 10, [&] { return sprite->getAlpha(); }),
              (std::vector<int32_t>{66, 133, 200}));
    // A target that is no sprite only runs the time.
    RefHolder<GameNode> node(new GameNode());
    RefHolder<ModifierAlpha> blind(new ModifierAlpha(100, 0, 10));
    blind->setTarget(node.get());
    blind->update(100);
    EXPECT_TRUE(blind->isFinished());
}

TEST(AppearanceModifierTest, ScaleStretchAndClipFollowTheFraction) {
    RefHolder<Sprite> sprite(new Sprite(50, 50, 20, 10));
    RefHolder<ModifierScale> grow(new ModifierScale(1.0f, 3.0f, 200));
    grow->setTarget(sprite.get());
    EXPECT_EQ(trace(grow.get(), 50, 10, [&] { return sprite->getScale(); }),
              (std::vector<float>{1.5f, 2.0f, 2.5f, 3.0f}));

    RefHolder<ModifierStretch> stretch(new ModifierStretch(100, 20, 10, 41, 30));
    stretch->setTarget(sprite.get());
    stretch->update(50);
    // 30.5 rounds to even.
    EXPECT_EQ(sprite->getStretchRect()->w, 30);
    EXPECT_EQ(sprite->getStretchRect()->h, 20);
    stretch->update(50);
    EXPECT_EQ(*sprite->getStretchRect(), (Rect{50, 50, 41, 30}));
    RefHolder<ModifierStretch> widthOnly(new ModifierStretch(100, 0, 0, 10, 10));
    widthOnly->setStretchHeight(false);
    widthOnly->setTarget(sprite.get());
    widthOnly->update(100);
    EXPECT_EQ(*sprite->getStretchRect(), (Rect{50, 50, 10, 30}));

    RefHolder<ModifierClipRect> clip(
        new ModifierClipRect(100, Rect{0, 0, 10, 10}, Rect{-20, 10, 30, 31}));
    clip->setTarget(sprite.get());
    clip->update(50);
    EXPECT_EQ(*sprite->getClipRect(), (Rect{-10, 5, 20, 20}));
    clip->update(60);
    EXPECT_EQ(*sprite->getClipRect(), (Rect{-20, 10, 30, 31}));
    EXPECT_TRUE(clip->isFinished());
}

TEST(AppearanceModifierTest, RotationEndsOneUpdateAfterItsDuration) {
    RefHolder<Sprite> sprite(new Sprite(0, 0, 4, 4));
    RefHolder<ModifierRotation> turn(new ModifierRotation(0.0f, 2.0f, 200));
    turn->setTarget(sprite.get());
    EXPECT_EQ(trace(turn.get(), 100, 10, [&] { return sprite->getRotation(); }),
              (std::vector<float>{0.0f, 1.0f, 2.0f}));
    EXPECT_TRUE(turn->isFinished());

    RefHolder<ModifierRotation> eased(new ModifierRotation(1.0f, 3.0f, 200));
    eased->setSmooth(true);
    eased->setTarget(sprite.get());
    eased->update(50);
    eased->update(50);
    EXPECT_FLOAT_EQ(sprite->getRotation(), 1.0f + 2.0f * 0.15625f);
}

TEST(AppearanceModifierTest, SpinningNeverEnds) {
    RefHolder<Sprite> sprite(new Sprite(0, 0, 4, 4));
    RefHolder<ModifierRotation> spin(new ModifierRotation(0.5f, 0.0f, 100));
    spin->setSpin(true);
    spin->setTarget(sprite.get());
    const std::vector<float> angles =
        trace(spin.get(), 100, 50, [&] { return sprite->getRotation(); });
    EXPECT_FALSE(spin->isFinished());
    ASSERT_EQ(angles.size(), 50u);
    EXPECT_FLOAT_EQ(angles[1], 0.5f + 2.0f * static_cast<float>(M_PI));
    EXPECT_FLOAT_EQ(angles[49], 0.5f + 49 * 2.0f * static_cast<float>(M_PI));
}

TEST(AppearanceModifierTest, ZeroDurationsTakeTheEndValuesAtOnce) {
    RefHolder<Sprite> sprite(new Sprite(0, 0, blankImage(10, 10).get()));
    for (bool spin : {false, true}) {
        RefHolder<ModifierRotation> turn(new ModifierRotation(0.0f, 1.5f, 0));
        turn->setSpin(spin);
        turn->setTarget(sprite.get());
        turn->update(16);
        EXPECT_TRUE(turn->isFinished());
        EXPECT_EQ(sprite->getRotation(), 1.5f);
    }
    RefHolder<ModifierRotationScale> both(new ModifierRotationScale(0.0f, -1.0f, 1.0f, 0.5f, -4));
    both->setTarget(sprite.get());
    both->update(16);
    EXPECT_TRUE(both->isFinished());
    EXPECT_EQ(sprite->getRotation(), -1.0f);
    EXPECT_EQ(sprite->getScale(), 0.5f);
    // No NaN reaches the rotated blit.
    RefHolder<Image> target = blankImage(50, 50);
    SpriteRecorder graphics(target.get());
    graphics.addRef();
    sprite->render(&graphics);
    ASSERT_EQ(graphics.rotated.size(), 1u);
    EXPECT_FALSE(std::isnan(graphics.rotated[0].angle));
    EXPECT_FALSE(std::isnan(graphics.rotated[0].scale));
}

TEST(AppearanceModifierTest, RotationScaleTurnsAndScalesTogether) {
    RefHolder<Sprite> sprite(new Sprite(0, 0, 4, 4));
    RefHolder<ModifierRotationScale> both(new ModifierRotationScale(0.0f, 1.0f, 1.0f, 3.0f, 100));
    both->setTarget(sprite.get());
    both->update(50);
    both->update(50);
    EXPECT_FLOAT_EQ(sprite->getRotation(), 0.5f);
    EXPECT_FLOAT_EQ(sprite->getScale(), 2.0f);
    EXPECT_FALSE(both->isFinished());
    both->update(50);
    EXPECT_TRUE(both->isFinished());
    EXPECT_EQ(sprite->getRotation(), 1.0f);
    EXPECT_EQ(sprite->getScale(), 3.0f);

    RefHolder<ModifierRotationScale> turnOnly(
        new ModifierRotationScale(0.0f, 1.0f, 5.0f, 5.0f, 100));
    turnOnly->setApplyScale(false);
    turnOnly->setTarget(sprite.get());
    turnOnly->update(50);
    turnOnly->update(50);
    EXPECT_FLOAT_EQ(sprite->getRotation(), 0.5f);
    EXPECT_EQ(sprite->getScale(), 3.0f);
}

TEST(AppearanceModifierTest, FrameModifierWithOneLoopStopsOnTheLastFrame) {
    RefHolder<Sprite> sprite = stripSprite(4, Sprite::WRAP_LOOP);
    RefHolder<ModifierFrame> frames(new ModifierFrame(1, 100));
    frames->setTarget(sprite.get());
    EXPECT_EQ(trace(frames.get(), 100, 20, [&] { return sprite->getFrame(); }),
              (std::vector<int32_t>{0, 1, 2, 3, 3}));
    EXPECT_TRUE(frames->isFinished());

    sprite->setFrame(0);
    RefHolder<ModifierFrame> twice(new ModifierFrame(2, 100));
    twice->setTarget(sprite.get());
    EXPECT_EQ(trace(twice.get(), 100, 20, [&] { return sprite->getFrame(); }),
              (std::vector<int32_t>{0, 1, 2, 3, 0, 1, 2, 3, 3}));
}

TEST(AppearanceModifierTest, FrameModifierStopsOnceStripsAndRunsOthersForEver) {
    RefHolder<Sprite> once = stripSprite(4, Sprite::WRAP_ONCE);
    RefHolder<ModifierFrame> endless(new ModifierFrame(-1, 50));
    endless->setTarget(once.get());
    EXPECT_EQ(trace(endless.get(), 50, 20, [&] { return once->getFrame(); }),
              (std::vector<int32_t>{0, 1, 2, 3, 3}));
    EXPECT_TRUE(endless->isFinished());

    RefHolder<Sprite> swing = stripSprite(3, Sprite::WRAP_SWITCH);
    RefHolder<ModifierFrame> forever(new ModifierFrame(-1, 10));
    forever->setTarget(swing.get());
    EXPECT_EQ(trace(forever.get(), 10, 8, [&] { return swing->getFrame(); }),
              (std::vector<int32_t>{0, 1, 2, 1, 0, 1, 2, 1}));
    EXPECT_FALSE(forever->isFinished());
    // Time gathered in one update is spent in the next: one frame for the 10 ms gathered
    // before, then three for the 30 ms.
    forever->update(30);
    EXPECT_EQ(swing->getFrame(), 0);
    forever->update(0);
    EXPECT_EQ(swing->getFrame(), 1);
    EXPECT_TRUE(swing->isReversed());
    // A whole number of swings (4 frames each) brings it back to where it was.
    forever->update(INT32_MAX);
    forever->update(0);
    EXPECT_EQ(swing->getFrame(), 1);
    EXPECT_TRUE(swing->isReversed());
}

TEST(AppearanceModifierTest, FrameTimesOfZeroCountAsOne) {
    RefHolder<Sprite> sprite = stripSprite(4, Sprite::WRAP_LOOP);
    RefHolder<ModifierFrame> frames(new ModifierFrame(-1, 0));
    EXPECT_EQ(frames->getFrameTime(), 1);
    frames->setTarget(sprite.get());
    frames->update(1);
    frames->update(3);
    EXPECT_EQ(sprite->getFrame(), 1);
    frames->update(0);
    EXPECT_EQ(sprite->getFrame(), 0);

    RefHolder<PropertyNode> definition(new PropertyNode("entry", "ModifierFrame"));
    definition->addChild(new PropertyValue("frametime", -20, true));
    RefHolder<BaseObject> made(ObjectFactoryContainer::instance()->createObject(definition.get()));
    auto* fromDefinition = objectCast<ModifierFrame>(made.get());
    ASSERT_NE(fromDefinition, nullptr);
    EXPECT_EQ(fromDefinition->getFrameTime(), 1);
    EXPECT_EQ(fromDefinition->getLoopCount(), -1);
    definition->addChild(new PropertyValue("loopcount", 3, true));
    definition->removeChild("frametime");
    made = ObjectFactoryContainer::instance()->createObject(definition.get());
    fromDefinition = objectCast<ModifierFrame>(made.get());
    EXPECT_EQ(fromDefinition->getFrameTime(), 100);
    EXPECT_EQ(fromDefinition->getLoopCount(), 3);
    // Without a sprite to animate it ends.
    RefHolder<GameNode> node(new GameNode());
    fromDefinition->setTarget(node.get());
    fromDefinition->update(10);
    EXPECT_TRUE(fromDefinition->isFinished());
}

TEST(AppearanceModifierTest, BlinkRunsItsCyclesAndEndsOnA) {
    RefHolder<Sprite> sprite(new Sprite(0, 0, 4, 4));
    // Fade to B 100, hold at B 50, fade to A 100, hold at A 50; two cycles.
    RefHolder<ModifierBlink> blink(new ModifierBlink(200, 0, 100, 50, 100, 50, 2));
    blink->setTarget(sprite.get());
    const std::vector<int32_t> alphas =
        trace(blink.get(), 50, 40, [&] { return sprite->getAlpha(); });
    EXPECT_EQ(alphas, (std::vector<int32_t>{200, 100, 0, 0, 100, 200, 200, 100, 0, 0, 100, 200}));
    EXPECT_TRUE(blink->isFinished());
    EXPECT_EQ(blink->getCycleCounter(), 2);
}

TEST(AppearanceModifierTest, BlinkDrivesItsOwnSpritesAndEndsWithoutTime) {
    RefHolder<Sprite> a(new Sprite(0, 0, 4, 4));
    RefHolder<Sprite> b(new Sprite(0, 0, 4, 4));
    RefHolder<Sprite> target(new Sprite(0, 0, 4, 4));
    RefHolder<ModifierBlink> blink(new ModifierBlink(255, 55, 100, 0, 100, 0, 0));
    blink->addSprite(a.get());
    blink->addSprite(b.get());
    blink->setTarget(target.get());
    blink->update(50);
    blink->update(0);
    EXPECT_EQ(a->getAlpha(), 155);
    EXPECT_EQ(b->getAlpha(), 155);
    EXPECT_EQ(target->getAlpha(), 255);
    // Endless: a very long update is cheap and keeps blinking.
    blink->update(INT32_MAX);
    blink->update(INT32_MAX);
    blink->update(0);
    EXPECT_FALSE(blink->isFinished());

    RefHolder<ModifierBlink> stuck(new ModifierBlink(30, 60, 0, 0, 0, 0, 0));
    stuck->setTarget(target.get());
    stuck->update(10);
    EXPECT_TRUE(stuck->isFinished());
    EXPECT_EQ(target->getAlpha(), 30);
}

TEST(AppearanceModifierTest, VisibleHidesShowsAndToggles) {
    RefHolder<GameNode> node(new GameNode());
    RefHolder<ModifierVisible> hide(new ModifierVisible(ModifierVisible::MODE_HIDE));
    hide->setTarget(node.get());
    hide->update(0);
    EXPECT_FALSE(node->isVisible());
    EXPECT_TRUE(hide->isFinished());
    RefHolder<ModifierVisible> toggle(new ModifierVisible(0));
    toggle->setTarget(node.get());
    toggle->update(0);
    EXPECT_TRUE(node->isVisible());
    RefHolder<ModifierVisible> show(new ModifierVisible(ModifierVisible::MODE_SHOW));
    show->setTarget(node.get());
    show->update(0);
    EXPECT_TRUE(node->isVisible());
    // In a running list it is dropped in the update that applies it.
    GameNode::addModifier(node.get(), new ModifierVisible(ModifierVisible::MODE_HIDE));
    GameNode::tick(node.get(), 16);
    EXPECT_FALSE(node->isVisible());
    EXPECT_TRUE(node->getRunningModifiers().empty());
}

}  // namespace appearance_modifier_test
