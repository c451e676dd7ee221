#include <gtest/gtest.h>

#include <vector>

#include "framework/core/GameNode.h"
#include "framework/core/Random.h"
#include "framework/core/RefHolder.h"
#include "framework/nodes/Sprite.h"
#include "game/visuals/ScreenUtils.h"

namespace screen_utils_test {

// How many rectangles of the list cover each pixel of a 64 x 64 area.
std::vector<int> coverCounts(const std::vector<Rect>& rects) {
    std::vector<int> counts(64 * 64, 0);
    for (const Rect& r : rects) {
        for (int y = r.y; y < r.y + r.h; ++y) {
            for (int x = r.x; x < r.x + r.w; ++x) {
                ++counts[static_cast<size_t>(y * 64 + x)];
            }
        }
    }
    return counts;
}

TEST(ScreenUtilsTest, RectUnionIsCoveredExactlyOnceByDisjointBands) {
    std::vector<Rect> out{{1, 1, 1, 1}};
    decomposeRectUnion(out, {});
    EXPECT_TRUE(out.empty());
    decomposeRectUnion(out, {{3, 4, 5, 6}});
    EXPECT_EQ(out, (std::vector<Rect>{{3, 4, 5, 6}}));
    decomposeRectUnion(out, {{0, 0, 10, 10}, {5, 5, 10, 10}});
    EXPECT_EQ(out, (std::vector<Rect>{{0, 0, 10, 5}, {0, 5, 15, 5}, {5, 10, 10, 5}}));

    // Random sets: every pixel of the union is covered once, and nothing else.
    Random random(7, 0);
    for (int round = 0; round < 200; ++round) {
        std::vector<Rect> in;
        const int count = random.nextInt(1, 9);
        for (int i = 0; i < count; ++i) {
            const int x = random.nextInt(0, 50);
            const int y = random.nextInt(0, 50);
            in.push_back({x, y, random.nextInt(0, 64 - x), random.nextInt(0, 64 - y)});
        }
        decomposeRectUnion(out, in);
        const std::vector<int> wanted = coverCounts(in);
        const std::vector<int> got = coverCounts(out);
        for (size_t i = 0; i < wanted.size(); ++i) {
            ASSERT_EQ(got[i], wanted[i] > 0 ? 1 : 0) << "round " << round << " pixel " << i;
        }
    }
}

TEST(ScreenUtilsTest, ReanchoringAndReparentingKeepTheScreenPosition) {
    RefHolder<Sprite> sprite(new Sprite(100, 100, 40, 20));
    setSpriteAnchor(sprite.get(), Sprite::ANCHOR_CENTER);
    EXPECT_EQ(sprite->getAnchor().type, Sprite::ANCHOR_CENTER);
    EXPECT_EQ(sprite->getX(), 120);
    EXPECT_EQ(sprite->getY(), 110);
    EXPECT_EQ(sprite->getLeft(), 100);
    EXPECT_EQ(sprite->getTop(), 100);

    RefHolder<GameNode> root(new GameNode());
    RefHolder<GameNode> from(new GameNode());
    RefHolder<GameNode> to(new GameNode());
    GameNode::appendChild(from.get(), root.get());
    GameNode::appendChild(to.get(), root.get());
    from->setPosition(30, 50);
    to->setPosition(10, 20);
    RefHolder<GameNode> node(new GameNode());
    GameNode::appendChild(node.get(), from.get());
    node->setPosition(20, 10);
    node->setRemoved(true);
    setPositionRelativeTo(node.get(), to.get());
    EXPECT_EQ(node->getParent(), to.get());
    EXPECT_EQ(from->getFirstChild(), nullptr);
    EXPECT_EQ(node->getX(), 40);
    EXPECT_EQ(node->getY(), 40);
    EXPECT_FALSE(node->isRemoved());
}

TEST(ScreenUtilsTest, LevelKeys) {
    std::string key;
    makeLevelKey(false, key, 1, 0, 12);
    EXPECT_EQ(key, "1_0_12");
    makeLevelKey(true, key, 1, 0, 7);
    EXPECT_EQ(key, "mixed_7");
    makeLevelKey(false, key, -3, 20, 0);
    EXPECT_EQ(key, "-3_20_0");
}

}  // namespace screen_utils_test
