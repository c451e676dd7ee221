// The game's animation modifiers driven frame by frame on real nodes and sprites.
#include <gtest/gtest.h>

#include <cstdint>
#include <set>

#include "framework/core/GameNode.h"
#include "framework/core/Random.h"
#include "framework/core/RefHolder.h"
#include "framework/nodes/Sprite.h"
#include "framework/platform/Image.h"
#include "game/visuals/GameModifiers.h"
#include "testsupport/screen/SyntheticBoard.h"

namespace game_modifiers_test {

// An image of one colour with full alpha.
RefHolder<Image> plainImage(int32_t width, int32_t height, uint32_t colour) {
    RefHolder<Image> image(Image::createImage(width, height, 4));
    auto* pixels = reinterpret_cast<uint32_t*>(image->getPixels());
    for (int32_t i = 0; i < width * height; ++i) {
        pixels[i] = colour;
    }
    return image;
}

TEST(GameModifiers, GravityDragSlowsToAStopAndPullAccelerates) {
    RefHolder<GameNode> node(new GameNode());
    RefHolder<ModifierGravity> gravity(new ModifierGravity(10000, 0, 0));
    gravity->vx = 5.0f;
    gravity->fx = 1.0f;
    gravity->gy = 3.0f;
    GameNode::addModifier(node.get(), gravity.get());
    const float expectedVx[] = {4, 3, 2, 1, 0, 0, 0};
    int32_t x = 0;
    for (float vx : expectedVx) {
        GameNode::tick(node.get(), 50);
        EXPECT_FLOAT_EQ(gravity->vx, vx);
        x += static_cast<int32_t>(vx);
        EXPECT_EQ(node->getX(), x);
    }
    // The pull adds 3 per 50 ms: 3, 6, ... 21 after seven frames, the way summed.
    EXPECT_FLOAT_EQ(gravity->vy, 21.0f);
    EXPECT_EQ(node->getY(), 3 * (1 + 2 + 3 + 4 + 5 + 6 + 7));
}

TEST(GameModifiers, ShakeStaysWithinItsRangeAndEndsAtRest) {
    screen_test::ScopedRandom random(1234);
    RefHolder<GameNode> node(new GameNode());
    node->setPosition(100, 50);
    RefHolder<ModifierShake> shake(new ModifierShake(0, 4, 1005, false, 20, 40));
    GameNode::addModifier(node.get(), shake.get());
    std::set<int32_t> ys;
    for (int frame = 0; frame < 200 && !shake->isFinished(); ++frame) {
        GameNode::tick(node.get(), 10);
        if (!shake->isFinished()) {
            EXPECT_EQ(node->getX(), 100);  // no amplitude in x: no move in x
            EXPECT_GE(node->getY(), 46);
            EXPECT_LT(node->getY(), 54);
            ys.insert(node->getY());
        }
    }
    EXPECT_GT(ys.size(), 2u);
    // 1,005 ms end between jolts: back exactly at rest.
    EXPECT_EQ(node->getX(), 100);
    EXPECT_EQ(node->getY(), 50);

    // Empty ranges (equal intervals, positive-only with amplitude 0) jolt without dividing by 0.
    RefHolder<GameNode> other(new GameNode());
    RefHolder<ModifierShake> still(new ModifierShake(0, 0, 100, true, 10, 10));
    GameNode::addModifier(other.get(), still.get());
    for (int frame = 0; frame < 12; ++frame) {
        GameNode::tick(other.get(), 10);
    }
    EXPECT_EQ(other->getX(), 0);
    EXPECT_EQ(other->getY(), 0);
}

TEST(GameModifiers, HighScoreBarLightsPeakFortyMillisecondsApart) {
    RefHolder<Image> bar = plainImage(360, 8, 0xFF303030u);
    RefHolder<Image> light = plainImage(8, 8, 0xFFFFFF80u);
    RefHolder<GameNode> parent(new GameNode());
    RefHolder<ModifierHighScoreBar> wave(
        new ModifierHighScoreBar(5000, parent.get(), bar.get(), light.get()));
    GameNode::addModifier(parent.get(), wave.get());
    Sprite* barSprite = wave->getBar();
    ASSERT_EQ(barSprite->getParent(), parent.get());
    // The first moment each light is at full brightness (80 of 255 with the bar opaque).
    int32_t firstFull[29];
    std::fill(std::begin(firstFull), std::end(firstFull), -1);
    for (int32_t t = 1; t <= 1160; ++t) {
        GameNode::tick(parent.get(), 1);
        int32_t index = 0;
        for (GameNode* child = barSprite->getFirstChild(); child; child = child->getNextSibling()) {
            const auto* sprite = objectCast<Sprite>(child);
            if (sprite->getAlpha() == 80 && firstFull[index] < 0) {
                firstFull[index] = t;
            }
            ++index;
        }
        ASSERT_EQ(index, 29);
    }
    int32_t index = 0;
    for (GameNode* child = barSprite->getFirstChild(); child; child = child->getNextSibling()) {
        EXPECT_EQ(child->getX(), 12 * index);
        EXPECT_EQ(child->getY(), -12);
        ++index;
    }
    // Lights 24 to 28 start inside their bright phase; the others rise one after the other.
    EXPECT_EQ(firstFull[0], 20);
    for (int32_t i = 0; i < 23; ++i) {
        EXPECT_EQ(firstFull[i + 1] - firstFull[i], 40) << i;
    }
    for (int32_t i = 24; i < 29; ++i) {
        EXPECT_EQ(firstFull[i], 1) << i;
    }
}

TEST(GameModifiers, ShineSweepsAcrossAndGivesThePlainPictureBack) {
    RefHolder<Image> plain = plainImage(100, 10, 0xFF202020u);
    RefHolder<Image> shine = plainImage(20, 10, 0xFF404040u);
    RefHolder<Sprite> sprite(new Sprite(0, 0, plain.get()));
    RefHolder<ModifierShine> sweep(new ModifierShine(shine.get(), 1000));
    GameNode::addModifier(sprite.get(), sweep.get());
    int32_t last = -21;
    for (int frame = 0; frame < 99; ++frame) {
        GameNode::tick(sprite.get(), 10);
        EXPECT_GT(sweep->getLastOffset(), last);
        last = sweep->getLastOffset();
        // The shine lies added over the picture where it stands, nowhere else: where it lay a
        // frame before, the plain picture is back.
        const auto* pixels = reinterpret_cast<const uint32_t*>(sprite->getImage()->getPixels());
        for (int32_t row = 0; row < 10; ++row) {
            for (int32_t x = 0; x < 100; ++x) {
                const uint32_t blue = pixels[row * 100 + x] & 0xFF;
                if (x >= last && x < last + 20) {
                    EXPECT_GE(blue, 0x5Eu) << last << "," << x;
                } else {
                    EXPECT_EQ(blue, 0x20u) << last << "," << x;
                }
            }
        }
        EXPECT_NE(sprite->getImage(), plain.get());
    }
    EXPECT_GT(last, 90);
    EXPECT_EQ(sweep->getLastOffset(), last);
    GameNode::tick(sprite.get(), 10);
    EXPECT_EQ(sprite->getImage(), plain.get());
    EXPECT_EQ(reinterpret_cast<const uint32_t*>(plain->getPixels())[50], 0xFF202020u);

    // The tile-face glint: white in the shine's shape cut to the picture's outline, then gone.
    RefHolder<Image> outline = plainImage(40, 10, 0xFF000000u);
    reinterpret_cast<uint32_t*>(outline->getPixels())[39] = 0x00000000u;
    RefHolder<Sprite> face(new Sprite(0, 0, outline.get()));
    RefHolder<ModifierShine> glint(new ModifierShine(shine.get(), 100));
    glint->setAdditive(false);
    GameNode::addModifier(face.get(), glint.get());
    GameNode::tick(face.get(), 90);  // offset trunc(60 * 0.9) - 20 = 34
    const auto* lit = reinterpret_cast<const uint32_t*>(face->getImage()->getPixels());
    EXPECT_EQ(lit[33], 0x00FFFFFFu);
    EXPECT_EQ(lit[34], 0xFFFFFFFFu);
    EXPECT_EQ(lit[39], 0x00FFFFFFu);
    GameNode::tick(face.get(), 10);
    EXPECT_EQ(face->getImage(), nullptr);
}

TEST(GameModifiers, SetImageActsOnItsFirstFrame) {
    RefHolder<Image> image = plainImage(7, 3, 0xFF000000u);
    RefHolder<Sprite> sprite(new Sprite());
    RefHolder<ModifierSetImage> set(new ModifierSetImage(image.get()));
    GameNode::addModifier(sprite.get(), set.get());
    GameNode::tick(sprite.get(), 1);
    EXPECT_EQ(sprite->getImage(), image.get());
    EXPECT_EQ(sprite->getWidth(), 7);
    EXPECT_TRUE(set->isFinished());
}

}  // namespace game_modifiers_test
