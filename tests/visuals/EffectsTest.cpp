// Shines, star bursts and the pop-in driven through their scene-graph results.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "framework/core/ModifierContainer.h"
#include "framework/core/Random.h"
#include "framework/nodes/ModifierFunction.h"
#include "framework/nodes/Sprite.h"
#include "game/visuals/Effects.h"
#include "testsupport/screen/SyntheticBoard.h"

namespace effects_test {

const std::vector<std::pair<std::string, int32_t>> kTimes{{"BONUS_ANIM_EXPLOSION_TIME", 600},
                                                          {"TILE_FADEOUT_TIME", 300}};

int32_t effectChildCount(GameNode* node) {
    int32_t count = 0;
    for (GameNode* child = node->getFirstChild(); child; child = child->getNextSibling()) {
        ++count;
    }
    return count;
}

TEST(Effects, TileShineAndItsStarsFollowTheMultiplier) {
    screen_test::ScopedBoardArt art(screen_test::Geometry(), kTimes);
    screen_test::ScopedRandom random(77);
    RefHolder<Layout> layout = screen_test::makeLayout({{2, 2, 0}});
    RefHolder<LayoutRenderer> renderer(new LayoutRenderer());
    renderer->build(layout.get(), {});
    std::vector<RefHolder<Tile>> tiles;
    layout->getAllTiles(tiles);
    Tile* tile = tiles.front().get();

    struct Case {
        int32_t multiplier;
        int32_t stars;
        int32_t radius;
    };
    for (const Case& c : {Case{3, -1, 0}, Case{4, 0, 0}, Case{7, 4, 25}, Case{40, 30, 97}}) {
        SCOPED_TRACE(c.multiplier);
        RefHolder<GameNode> parent(new GameNode());
        RefHolder<AnimTree> tree(new AnimTree());
        showTileFaceShine(parent.get(), *renderer, layout.get(), tile, c.multiplier, tree.get());
        if (c.stars < 0) {
            EXPECT_EQ(parent->getFirstChild(), nullptr);
            continue;
        }
        ASSERT_EQ(effectChildCount(parent.get()), c.stars + 1);
        // The glint is drawn last, over its stars, at the tile's face.
        auto* glint = objectCast<Sprite>(parent->getLastChild());
        ASSERT_NE(glint, nullptr);
        EXPECT_EQ(glint->getWidth(), 20);
        EXPECT_EQ(glint->getLeft(), renderer->gridToScreenX(0, 2));
        EXPECT_EQ(glint->getTop(), renderer->gridToScreenY(0, 2));
        // Every star ends its flight on the circle of the burst's radius round the glint.
        if (c.stars > 0) {
            const float cx = static_cast<float>(glint->getX());
            const float cy = static_cast<float>(glint->getY());
            std::vector<RefHolder<GameNode>> stars;
            for (GameNode* star = parent->getFirstChild(); star != glint;
                 star = star->getNextSibling()) {
                stars.emplace_back(star);
            }
            for (int32_t frame = 0; frame < 150; ++frame) {
                GameNode::tickTree(parent.get(), 10);
            }
            for (const RefHolder<GameNode>& star : stars) {
                EXPECT_NEAR(std::hypot(star->getX() - cx, star->getY() - cy),
                            static_cast<float>(c.radius), 1.0f);
            }
        }
        // The glint goes away after its shine and fade.
        for (int32_t frame = 0; frame < 100; ++frame) {
            Modifier::runTree(tree.get(), 10);
            Modifier::purge(tree.get());
        }
        EXPECT_TRUE(glint->isRemoved());
    }
}

TEST(Effects, ASingleStarFliesStraightDownByTheRadiusAndFades) {
    rules_test::ScopedTuning tuning(kTimes);
    screen_test::ScopedRandom random(77);
    RefHolder<GameNode> parent(new GameNode());
    RefHolder<Image> image(Image::createImage(10, 60, 4));
    image->setFrameCount(6);
    RefHolder<Sprite> node(new Sprite(100, 50, image.get()));
    GameNode::appendChild(node.get(), parent.get());
    // Frames over 600 ms, then a frame's wait and a frame's fade: the path ends first.
    flyStarAlongPath(node.get(), 1, image.get(), 30, 200, 0, true, 600);
    ASSERT_EQ(effectChildCount(parent.get()), 2);
    RefHolder<Sprite> star(objectCast<Sprite>(node->getNextSibling()));
    ASSERT_NE(star, nullptr);
    EXPECT_FALSE(star->isVisible());
    EXPECT_EQ(star->getAlpha(), 200);
    GameNode::tickTree(parent.get(), 1);
    EXPECT_TRUE(star->isVisible());  // start delay 0
    for (int32_t frame = 0; frame < 65; ++frame) {
        GameNode::tickTree(parent.get(), 10);
    }
    // Straight below the node's middle (105, 55).
    EXPECT_EQ(star->getX(), 105);
    EXPECT_EQ(star->getY(), 55 + 30);
    EXPECT_FALSE(star->isRemoved());
    for (int32_t frame = 0; frame < 30; ++frame) {
        GameNode::tickTree(parent.get(), 10);
    }
    EXPECT_TRUE(star->isRemoved());  // faded out after its frames

    // No stars for a count of 0 or less.
    flyStarAlongPath(node.get(), 0, image.get(), 30, 255, 0, true, 300);
    EXPECT_EQ(effectChildCount(parent.get()), 2);
}

TEST(Effects, PopInShowsScalesThenWobblesWithTheSoundAtTheWobble) {
    RefHolder<Sprite> sprite(new Sprite());
    sprite->setVisible(false);
    RefHolder<AnimTree> tree(new AnimTree());
    int32_t soundAt = -1;
    int32_t now = 0;
    struct Clock {
        int32_t* now;
        int32_t* soundAt;
    } clock{&now, &soundAt};
    auto* sound = new ModifierFunction(
        [](void* context, BaseObject*) {
            auto* c = static_cast<Clock*>(context);
            *c->soundAt = *c->now;
            return 0;
        },
        &clock);
    addPopInModifiers(sprite.get(), tree.get(), 100, 50, 0.2f, sound);
    float largestTurn = 0.0f;
    for (now = 10; now <= 500; now += 10) {
        Modifier::runTree(tree.get(), 10);
        Modifier::purge(tree.get());
        if (now == 60) {
            EXPECT_TRUE(sprite->isVisible());
            EXPECT_NEAR(sprite->getScale(), 0.5f, 0.11f);
            EXPECT_EQ(sprite->getRotation(), 0.0f);
        }
        largestTurn = std::max(largestTurn, std::fabs(sprite->getRotation()));
    }
    EXPECT_FLOAT_EQ(sprite->getScale(), 1.0f);
    EXPECT_FLOAT_EQ(largestTurn, 0.2f);
    EXPECT_EQ(sprite->getRotation(), 0.0f);
    EXPECT_GE(soundAt, 100);
    EXPECT_LE(soundAt, 120);
}

}  // namespace effects_test
