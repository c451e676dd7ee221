#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/SpriteRecorder.h"
#include "framework/core/BasicProperties.h"
#include "framework/core/ObjectFactoryContainer.h"
#include "framework/core/PropertyNode.h"
#include "framework/core/PropertyValue.h"
#include "framework/nodes/ModifierFrame.h"
#include "framework/nodes/Sprite.h"
#include "testsupport/platform/PixelAccess.h"

namespace sprite_test {

using namespace testpixels;

// A drawing target large enough that the recorded blits are not clipped.
struct Canvas {
    RefHolder<Image> target = blankImage(400, 300);
    RefHolder<SpriteRecorder> graphics{new SpriteRecorder(target.get())};
};

RefHolder<PropertyNode> spriteDefinition(const std::string& typeWord = "Sprite") {
    return RefHolder<PropertyNode>(new PropertyNode("entry", typeWord));
}

void addInt(PropertyNode* node, const std::string& name, int32_t value) {
    node->addChild(new PropertyValue(name, value, true));
}

void addText(PropertyNode* node, const std::string& name, const std::wstring& value) {
    node->addChild(new PropertyValue(name, value, true));
}

RefHolder<Sprite> spriteFrom(PropertyNode* definition) {
    RefHolder<BaseObject> made(ObjectFactoryContainer::instance()->createObject(definition));
    return RefHolder<Sprite>(objectCast<Sprite>(made.get()));
}

std::vector<int32_t> framesShown(Sprite* sprite, int count) {
    std::vector<int32_t> frames{sprite->getFrame()};
    for (int i = 1; i < count; ++i) {
        sprite->nextFrame();
        frames.push_back(sprite->getFrame());
    }
    return frames;
}

TEST(SpriteTest, TypeRecordAndRenderInterface) {
    RefHolder<Sprite> sprite(new Sprite());
    EXPECT_TRUE(sprite->isA(&GameNode::typeRecord));
    EXPECT_TRUE(sprite->isA(&IRenderable::typeRecord));
    EXPECT_EQ(sprite->castTo(&IRenderable::typeRecord), static_cast<IRenderable*>(sprite.get()));
    EXPECT_EQ(sprite->castTo(&GameNode::typeRecord), nullptr);
    RefHolder<AdditiveSprite> additive(new AdditiveSprite(3, 4, 10, 10));
    EXPECT_TRUE(additive->isA(&Sprite::typeRecord));
    EXPECT_NE(additive->castTo(&IRenderable::typeRecord), nullptr);
    EXPECT_EQ(additive->getX(), 3);
}

TEST(SpriteTest, DefaultsAndImageSizing) {
    Sprite empty;
    EXPECT_EQ(empty.getWidth(), 0);
    EXPECT_EQ(empty.getAlpha(), 255);
    EXPECT_EQ(empty.getScale(), 1.0f);
    EXPECT_EQ(empty.getFrameCount(), 1);
    EXPECT_EQ(empty.getFrameWrapStyle(), Sprite::WRAP_LOOP);
    EXPECT_TRUE(empty.isDirty());
    EXPECT_FALSE(empty.getSourceRect().has_value());

    RefHolder<Image> strip = blankImage(30, 60);
    strip->setFrameCount(3);
    Sprite sprite(5, 6, strip.get());
    EXPECT_EQ(sprite.getImage(), strip.get());
    EXPECT_EQ(strip->getRefCount(), 2);
    EXPECT_EQ(sprite.getWidth(), 30);
    EXPECT_EQ(sprite.getHeight(), 20);
    EXPECT_EQ(sprite.getFrameCount(), 3);
    EXPECT_EQ(sprite.getFrameStepY(), 20);
    EXPECT_EQ(*sprite.getSourceRect(), (Rect{0, 0, 30, 20}));
    sprite.setImage(nullptr);
    EXPECT_EQ(strip->getRefCount(), 1);
    EXPECT_EQ(sprite.getWidth(), 0);
    EXPECT_EQ(sprite.getHeight(), 0);
}

TEST(SpriteTest, CentreAnchorPlacesTheTopLeft) {
    Canvas canvas;
    RefHolder<Image> image = blankImage(40, 20);
    RefHolder<PropertyNode> definition = spriteDefinition();
    addInt(definition.get(), "x", 100);
    addInt(definition.get(), "y", 100);
    addText(definition.get(), "anchorpoint", L"center");
    RefHolder<Sprite> sprite = spriteFrom(definition.get());
    ASSERT_TRUE(sprite);
    sprite->setImage(image.get());
    EXPECT_EQ(sprite->getLeft(), 80);
    EXPECT_EQ(sprite->getTop(), 90);
    sprite->render(canvas.graphics.get());
    ASSERT_EQ(canvas.graphics->blits.size(), 1u);
    const auto& call = canvas.graphics->blits[0];
    EXPECT_EQ(call.dx, 80);
    EXPECT_EQ(call.dy, 90);
    EXPECT_EQ(call.w, 40);
    EXPECT_EQ(call.h, 20);
    EXPECT_FALSE(sprite->isDirty());
}

TEST(SpriteTest, AnchorTypesFollowTheSizeButExplicitOffsetsDoNot) {
    Sprite sprite(0, 0, 40, 20);
    sprite.setAnchor(Sprite::ANCHOR_BOTTOM_RIGHT);
    EXPECT_EQ(sprite.getAnchor().x, 40.0f);
    EXPECT_EQ(sprite.getAnchor().y, 20.0f);
    EXPECT_EQ(sprite.getPivot().x, 40.0f);
    sprite.setWidth(50);
    EXPECT_EQ(sprite.getAnchor().x, 50.0f);
    EXPECT_EQ(sprite.getPivot().x, 50.0f);
    sprite.setHeight(7);
    // Halves in floating point.
    sprite.setAnchor(Sprite::ANCHOR_LEFT);
    EXPECT_EQ(sprite.getAnchor().x, 0.0f);
    EXPECT_EQ(sprite.getAnchor().y, 3.5f);

    sprite.setAnchorOffset(4.5f, 6.0f);
    EXPECT_EQ(sprite.getAnchor().type, Sprite::ANCHOR_EXPLICIT);
    EXPECT_EQ(sprite.getPivot().x, 4.5f);
    sprite.setWidth(90);
    EXPECT_EQ(sprite.getAnchor().x, 4.5f);
    EXPECT_EQ(sprite.getAnchor().y, 6.0f);
    // getLeft cuts toward zero, the drawing rounds.
    sprite.setX(10);
    EXPECT_EQ(sprite.getLeft(), 6);
    sprite.setAnchor(42);
    EXPECT_EQ(sprite.getAnchor().type, Sprite::ANCHOR_EXPLICIT);
}

TEST(SpriteTest, HorizontalFramesOfAStrip) {
    Canvas canvas;
    RefHolder<Image> strip = blankImage(128, 32);
    Sprite sprite(10, 10, strip.get());
    sprite.setFrameCount(4, true);
    EXPECT_EQ(sprite.getWidth(), 32);
    EXPECT_EQ(sprite.getHeight(), 32);
    sprite.setFrame(3);
    EXPECT_EQ(*sprite.getSourceRect(), (Rect{96, 0, 32, 32}));
    sprite.render(canvas.graphics.get());
    ASSERT_EQ(canvas.graphics->blits.size(), 1u);
    EXPECT_EQ(canvas.graphics->blits[0].sx, 96);
    EXPECT_EQ(canvas.graphics->blits[0].sy, 0);
    EXPECT_EQ(canvas.graphics->blits[0].w, 32);
    EXPECT_EQ(canvas.graphics->blits[0].h, 32);
    // A negative count keeps the stored one; the frame goes back to 0.
    sprite.setFrameCount(-1, false);
    EXPECT_EQ(sprite.getFrameCount(), 4);
    EXPECT_EQ(sprite.getFrame(), 0);
    EXPECT_EQ(sprite.getHeight(), 8);
}

TEST(SpriteTest, NextFrameByWrapStyle) {
    RefHolder<Image> strip = blankImage(16, 64);
    Sprite sprite(0, 0, strip.get());
    sprite.setFrameCount(4, false);
    sprite.setFrameWrapStyle(Sprite::WRAP_SWITCH);
    EXPECT_EQ(framesShown(&sprite, 10), (std::vector<int32_t>{0, 1, 2, 3, 2, 1, 0, 1, 2, 3}));
    sprite.setFrame(0);
    sprite.setReversed(false);
    sprite.setFrameWrapStyle(Sprite::WRAP_LOOP);
    EXPECT_EQ(framesShown(&sprite, 6), (std::vector<int32_t>{0, 1, 2, 3, 0, 1}));
    sprite.setFrame(0);
    sprite.setFrameWrapStyle(Sprite::WRAP_ONCE);
    EXPECT_EQ(framesShown(&sprite, 6), (std::vector<int32_t>{0, 1, 2, 3, 0, 1}));
    // Backwards: "loop" wraps to the last frame, "once" stays at 0.
    sprite.setFrame(1);
    sprite.setReversed(true);
    sprite.setFrameWrapStyle(Sprite::WRAP_LOOP);
    EXPECT_EQ(framesShown(&sprite, 4), (std::vector<int32_t>{1, 0, 3, 2}));
    sprite.setFrame(0);
    sprite.setFrameWrapStyle(Sprite::WRAP_ONCE);
    sprite.nextFrame();
    EXPECT_EQ(sprite.getFrame(), 0);
}

TEST(SpriteTest, ZeroFramesCountAsOne) {
    RefHolder<Image> strip = blankImage(20, 30);
    Sprite sprite(0, 0, strip.get());
    sprite.setFrameCount(0, true);
    EXPECT_EQ(sprite.getFrameCount(), 1);
    EXPECT_EQ(sprite.getWidth(), 20);
    strip->setFrameCount(0);
    Sprite fromImage(0, 0, strip.get());
    EXPECT_EQ(fromImage.getFrameCount(), 1);
    EXPECT_EQ(fromImage.getHeight(), 30);
    fromImage.nextFrame();
    EXPECT_EQ(fromImage.getFrame(), 0);
}

TEST(SpriteTest, FramesOutsideTheStripDrawNothingHarmful) {
    Canvas canvas;
    RefHolder<Image> strip = blankImage(32, 64);
    Sprite sprite(0, 0, strip.get());
    sprite.setFrameCount(2, false);
    for (int32_t frame : {2, -1, 1000, INT32_MAX, INT32_MIN}) {
        sprite.setFrame(frame);
        EXPECT_EQ(sprite.getFrame(), frame);
        sprite.render(canvas.graphics.get());
    }
    EXPECT_TRUE(canvas.graphics->blits.empty());
    // On real pixels too, rotated and stretched.
    RefHolder<Image> target = filled(64, 64, 4, 0x102030, 255);
    RefHolder<Graphics> g = graphicsOf(target.get());
    sprite.setFrame(5);
    sprite.render(g.get());
    sprite.setRotation(0.5f);
    sprite.render(g.get());
    sprite.setRotation(0.0f);
    sprite.setStretchSize(50, 50);
    sprite.render(g.get());
    for (int32_t y = 0; y < 64; ++y) {
        for (int32_t x = 0; x < 64; ++x) {
            ASSERT_EQ(get32(target.get(), x, y), 0xFF102030u) << x << "," << y;
        }
    }
}

TEST(SpriteTest, ContainsPointExcludesTheRightAndBottomEdges) {
    RefHolder<GameNode> parent(new GameNode());
    parent->setPosition(100, 50);
    auto* sprite = new Sprite(10, 20, 30, 40);
    GameNode::appendChild(sprite, parent.get());
    EXPECT_TRUE(sprite->containsPoint(110, 70));
    EXPECT_TRUE(sprite->containsPoint(139, 109));
    EXPECT_FALSE(sprite->containsPoint(140, 70));
    EXPECT_FALSE(sprite->containsPoint(110, 110));
    EXPECT_FALSE(sprite->containsPoint(109, 70));
    EXPECT_FALSE(sprite->containsPoint(110, 69));
    sprite->setAnchor(Sprite::ANCHOR_CENTER);
    EXPECT_TRUE(sprite->containsPoint(95, 50));
    EXPECT_FALSE(sprite->containsPoint(125, 50));
    EXPECT_FALSE(sprite->containsPoint(INT32_MAX, INT32_MIN));
}

TEST(SpriteTest, RenderChoosesTheBlitAndRestoresTheGraphicsState) {
    Canvas canvas;
    SpriteRecorder* g = canvas.graphics.get();
    RefHolder<Image> image = blankImage(20, 10);
    RefHolder<GameNode> parent(new GameNode());
    parent->setPosition(7, 9);
    auto* sprite = new Sprite(30, 40, image.get());
    GameNode::appendChild(sprite, parent.get());
    sprite->setAlpha(128);
    sprite->setSmooth(true);
    sprite->setClipRect(Rect{1, 2, 150, 160});
    g->setAlpha(200);
    const Rect fullClip = *g->getClipRect();

    sprite->render(g);
    ASSERT_EQ(g->states.size(), 1u);
    EXPECT_EQ(g->states[0].alpha, 128);
    EXPECT_TRUE(g->states[0].smooth);
    // The clip is relative to the parent.
    EXPECT_EQ(g->states[0].clip, (Rect{8, 11, 150, 160}));
    EXPECT_EQ(g->getAlpha(), 200);
    EXPECT_FALSE(g->isSmooth());
    EXPECT_EQ(*g->getClipRect(), fullClip);

    sprite->setStretchSize(40, 30);
    sprite->render(g);
    ASSERT_EQ(g->stretched.size(), 1u);
    const auto& stretch = g->stretched[0];
    EXPECT_EQ((Rect{stretch.sx, stretch.sy, stretch.sw, stretch.sh}), (Rect{0, 0, 20, 10}));
    EXPECT_EQ((Rect{stretch.dx, stretch.dy, stretch.dw, stretch.dh}), (Rect{30, 40, 40, 30}));

    sprite->setAnchor(Sprite::ANCHOR_CENTER);
    sprite->setRotation(1.25f);
    sprite->render(g);
    ASSERT_EQ(g->rotated.size(), 1u);
    const auto& turn = g->rotated[0];
    EXPECT_FLOAT_EQ(static_cast<float>(turn.angle), 1.25f);
    EXPECT_EQ(turn.scale, 1.0);
    EXPECT_EQ(turn.dx, 20);
    EXPECT_EQ(turn.dy, 35);
    EXPECT_EQ(turn.pivotX, 10);
    EXPECT_EQ(turn.pivotY, 5);
    sprite->setRotation(0.0f);
    sprite->setScale(2.0f);
    sprite->render(g);
    EXPECT_EQ(g->rotated.size(), 2u);
    EXPECT_EQ(g->rotated[1].scale, 2.0);

    // Without an image nothing is drawn and the sprite is clean.
    Sprite bare(0, 0, 10, 10);
    ASSERT_TRUE(bare.isDirty());
    bare.render(g);
    EXPECT_FALSE(bare.isDirty());
    EXPECT_EQ(g->callCount(), 4);
}

TEST(SpriteTest, AdditiveSpriteRestoresTheBlendMode) {
    Canvas canvas;
    SpriteRecorder* g = canvas.graphics.get();
    RefHolder<Image> image = blankImage(8, 8);
    RefHolder<AdditiveSprite> sprite(new AdditiveSprite(0, 0, image.get()));
    g->setBlendMode(7);
    sprite->render(g);
    ASSERT_EQ(g->states.size(), 1u);
    EXPECT_EQ(g->states[0].blendMode, 1);
    EXPECT_EQ(g->getBlendMode(), 7);

    // On pixels: the colors add up.
    RefHolder<Image> target = filled(8, 8, 4, 0x204060, 255);
    RefHolder<Image> glow = filled(8, 8, 4, 0x101010, 255);
    glow->setUseAlphaChannel(true);
    RefHolder<AdditiveSprite> lit(new AdditiveSprite(0, 0, glow.get()));
    RefHolder<Graphics> real = graphicsOf(target.get());
    lit->render(real.get());
    EXPECT_EQ(colorAt(target.get(), 3, 3), 0x305070u);
    EXPECT_EQ(real->getBlendMode(), 0);
}

TEST(SpriteTest, StretchRectangleKeepsThePivotInPlace) {
    Sprite sprite(100, 100, 40, 20);
    sprite.setAnchor(Sprite::ANCHOR_CENTER);
    sprite.setStretchWidth(80);
    // Created with the sprite's height where the unstretched sprite is drawn; the pivot (the
    // centre) stays at x 100.
    EXPECT_EQ(*sprite.getStretchRect(), (Rect{60, 90, 80, 20}));
    sprite.setStretchHeight(10);
    EXPECT_EQ(*sprite.getStretchRect(), (Rect{60, 95, 80, 10}));
    // Moving the sprite places the rectangle again.
    sprite.setX(200);
    EXPECT_EQ(sprite.getStretchRect()->x, 160);
    sprite.setY(0);
    EXPECT_EQ(sprite.getStretchRect()->y, -5);
    // setStretchSize puts the pivot on the position.
    sprite.setStretchSize(20, 40);
    EXPECT_EQ(*sprite.getStretchRect(), (Rect{190, -20, 20, 40}));

    // A zero-size sprite has no scaled pivot: no division, the rectangle at the position.
    Sprite flat(30, 40, 0, 0);
    flat.setAnchorOffset(3.0f, 4.0f);
    flat.setStretchSize(10, 12);
    EXPECT_EQ(*flat.getStretchRect(), (Rect{30, 40, 10, 12}));
    Sprite thin(30, 40, 0, 0);
    thin.setAnchor(Sprite::ANCHOR_CENTER);
    thin.setStretchWidth(10);
    EXPECT_EQ(*thin.getStretchRect(), (Rect{30, 40, 10, 0}));
}

TEST(SpriteTest, DirtyMarksChangesOnly) {
    Canvas canvas;
    RefHolder<Image> image = blankImage(4, 4);
    Sprite sprite(0, 0, image.get());
    sprite.render(canvas.graphics.get());
    EXPECT_FALSE(sprite.isDirty());
    sprite.setAlpha(255);
    sprite.setX(0);
    sprite.setRotation(0.0f);
    sprite.setImage(image.get());
    EXPECT_FALSE(sprite.isDirty());
    sprite.setColor(0xFF00FF00);
    EXPECT_TRUE(sprite.isDirty());
    sprite.render(canvas.graphics.get());
    sprite.setVisible(true);
    EXPECT_FALSE(sprite.isDirty());
    sprite.setVisible(false);
    EXPECT_TRUE(sprite.isDirty());
}

TEST(SpriteTest, DefinitionKeys) {
    BasicProperties::createInstance();
    BasicProperties::instance()->setText("TIP_OPEN", L"Open the box");
    RefHolder<PropertyNode> definition = spriteDefinition("AdditiveSprite");
    addInt(definition.get(), "x", 12);
    addInt(definition.get(), "width", 64);
    addInt(definition.get(), "height", 48);
    addInt(definition.get(), "alpha", 99);
    addText(definition.get(), "color", L"#FF8000");
    addInt(definition.get(), "frameoffset_x", 16);
    addInt(definition.get(), "frameoffset_y", 2);
    addInt(definition.get(), "framecount", 3);
    addText(definition.get(), "reverseframes", L"true");
    addText(definition.get(), "framewrapstyle", L"switch");
    addInt(definition.get(), "frametime", 40);
    addText(definition.get(), "anchorpoint_x", L"2.5");
    addText(definition.get(), "anchorpoint", L"center");
    addText(definition.get(), "tooltip", L"TIP_OPEN");
    addText(definition.get(), "horizontalframelayout", L"true");
    addText(definition.get(), "smooth", L"true");
    RefHolder<Sprite> sprite = spriteFrom(definition.get());
    ASSERT_TRUE(sprite);
    EXPECT_TRUE(sprite->isA(&AdditiveSprite::typeRecord));
    EXPECT_EQ(sprite->getX(), 12);
    EXPECT_EQ(sprite->getAlpha(), 99);
    EXPECT_EQ(sprite->getColor(), 0xFF8000u);
    EXPECT_TRUE(sprite->isReversed());
    EXPECT_EQ(sprite->getFrameWrapStyle(), Sprite::WRAP_SWITCH);
    // "anchorpoint_x" wins over "anchorpoint"; a missing "anchorpoint_y" reads 0.
    EXPECT_EQ(sprite->getAnchor().type, Sprite::ANCHOR_EXPLICIT);
    EXPECT_EQ(sprite->getAnchor().x, 2.5f);
    EXPECT_EQ(sprite->getAnchor().y, 0.0f);
    ASSERT_TRUE(sprite->getToolTip().has_value());
    EXPECT_EQ(*sprite->getToolTip(), L"Open the box");
    EXPECT_TRUE(sprite->isSmooth());
    // Cut again side by side: 64 / 3.
    EXPECT_EQ(sprite->getFrameCount(), 3);
    EXPECT_EQ(sprite->getWidth(), 21);
    EXPECT_EQ(sprite->getHeight(), 48);
    EXPECT_EQ(sprite->getFrameStepX(), 21);
    // The frame time became an endless frame modifier.
    ASSERT_EQ(sprite->getRunningModifiers().size(), 1u);
    auto* frames = objectCast<ModifierFrame>(sprite->getRunningModifiers()[0].get());
    ASSERT_NE(frames, nullptr);
    EXPECT_EQ(frames->getFrameTime(), 40);
    EXPECT_EQ(frames->getLoopCount(), -1);
    EXPECT_EQ(frames->getTarget(), sprite.get());
    BasicProperties::releaseInstance();
}

TEST(SpriteTest, DefinitionWithoutInitAnimationKeepsTheFrames) {
    RefHolder<PropertyNode> definition = spriteDefinition();
    addInt(definition.get(), "width", 30);
    addInt(definition.get(), "height", 90);
    addInt(definition.get(), "framecount", 3);
    addText(definition.get(), "initanimation", L"false");
    addText(definition.get(), "anchorpoint", L"nowhere");
    addText(definition.get(), "framewrapstyle", L"sideways");
    RefHolder<Sprite> kept = spriteFrom(definition.get());
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->getFrameCount(), 3);
    EXPECT_EQ(kept->getHeight(), 90);
    EXPECT_FALSE(kept->getFrameRect().has_value());
    EXPECT_EQ(kept->getAnchor().type, Sprite::ANCHOR_TOP_LEFT);
    EXPECT_EQ(kept->getFrameWrapStyle(), Sprite::WRAP_LOOP);
    EXPECT_TRUE(kept->getRunningModifiers().empty());

    definition->removeChild("initanimation");
    RefHolder<Sprite> cut = spriteFrom(definition.get());
    EXPECT_EQ(cut->getHeight(), 30);
    EXPECT_EQ(cut->getFrameStepY(), 30);

    // No frames at all count as one.
    addInt(definition.get(), "framecount", 0);
    RefHolder<Sprite> single = spriteFrom(definition.get());
    EXPECT_EQ(single->getFrameCount(), 1);
    EXPECT_EQ(single->getHeight(), 90);
}

TEST(SpriteTest, AnImageNotYetLoadedLeavesTheSpriteEmpty) {
    RefHolder<PropertyNode> definition = spriteDefinition();
    addText(definition.get(), "image", L"IMAGE_NOT_THERE");
    addText(definition.get(), "section", L"nosection");
    RefHolder<Sprite> sprite = spriteFrom(definition.get());
    ASSERT_TRUE(sprite);
    EXPECT_EQ(sprite->getImage(), nullptr);
    EXPECT_EQ(sprite->getWidth(), 0);
    EXPECT_EQ(sprite->getHeight(), 0);
    addInt(definition.get(), "width", 25);
    addInt(definition.get(), "height", 15);
    RefHolder<Sprite> sized = spriteFrom(definition.get());
    EXPECT_EQ(sized->getWidth(), 25);
    EXPECT_EQ(sized->getHeight(), 15);
}

TEST(SpriteTest, CopiesShowTheSameFrame) {
    RefHolder<Image> strip = blankImage(120, 40);
    Sprite original(7, 8, strip.get());
    original.setFrameCount(4, true);
    original.setFrame(2);
    original.setAnchor(Sprite::ANCHOR_BOTTOM);
    original.setAlpha(90);
    original.setClipRect(Rect{0, 0, 5, 5});
    original.setToolTip(L"tip");
    Sprite copy(original);
    EXPECT_EQ(copy.getX(), 7);
    EXPECT_EQ(copy.getImage(), strip.get());
    EXPECT_EQ(copy.getWidth(), 30);
    EXPECT_EQ(copy.getHeight(), 40);
    EXPECT_EQ(copy.getFrame(), 2);
    EXPECT_EQ(*copy.getSourceRect(), (Rect{60, 0, 30, 40}));
    EXPECT_EQ(copy.getAnchor().x, 15.0f);
    EXPECT_EQ(copy.getAlpha(), 90);
    EXPECT_EQ(*copy.getClipRect(), (Rect{0, 0, 5, 5}));
    EXPECT_EQ(*copy.getToolTip(), L"tip");
    EXPECT_EQ(copy.getName(), "");

    copy.setToolTip(L"");
    EXPECT_FALSE(copy.getToolTip().has_value());
}

TEST(SpriteTest, PixelsOfAnchoredFrameWithAlpha) {
    // A 2-frame vertical strip: frame 0 red, frame 1 green.
    RefHolder<Image> strip = filled(4, 8, 4, 0xFF0000, 255);
    for (int32_t y = 4; y < 8; ++y) {
        for (int32_t x = 0; x < 4; ++x) {
            put(strip.get(), x, y, 0x00FF00, 255);
        }
    }
    strip->setUseAlphaChannel(true);
    strip->setFrameCount(2);
    RefHolder<Image> target = filled(16, 16, 4, 0x000000, 255);
    RefHolder<Graphics> g = graphicsOf(target.get());
    Sprite sprite(8, 8, strip.get());
    sprite.setAnchor(Sprite::ANCHOR_BOTTOM_RIGHT);
    sprite.setFrame(1);
    sprite.setAlpha(128);
    sprite.render(g.get());
    // Drawn at (4, 4)-(7, 7), green at half strength; nothing else changed.
    for (int32_t y = 0; y < 16; ++y) {
        for (int32_t x = 0; x < 16; ++x) {
            const bool inside = x >= 4 && x < 8 && y >= 4 && y < 8;
            const uint32_t c = colorAt(target.get(), x, y);
            if (inside) {
                EXPECT_EQ(c & 0xFF00FFu, 0u) << x << "," << y;
                EXPECT_NEAR(static_cast<int>((c >> 8) & 0xFF), 128, 2) << x << "," << y;
            } else {
                ASSERT_EQ(c, 0u) << x << "," << y;
            }
        }
    }
}

}  // namespace sprite_test
