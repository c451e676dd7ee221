#include <gtest/gtest.h>

#include <vector>

#include "framework/core/GameNode.h"
#include "framework/core/Random.h"
#include "framework/core/RefHolder.h"
#include "framework/core/Sprite.h"
#include "game/screen/ScreenUtils.h"
#include "platform/PixelAccess.h"

namespace {

using namespace testpixels;

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

TEST(ScreenUtilsTest, GreyImageRectGreysTheRectangleAtBothDepthsAndStaysInsideTheImage) {
    // R 100, G 200, B 50: grey (3 R + 6 G + B) / 10 = 155; in 5-6-5 bits (12, 25 of 50, 6): 19.
    RefHolder<Image> wide = filled(8, 6, 4, 0x64C832, 77);
    greyImageRect(wide.get(), 2, 1, 3, 2);
    EXPECT_EQ(get32(wide.get(), 2, 1), 0x4D9B9B9Bu);
    EXPECT_EQ(get32(wide.get(), 4, 2), 0x4D9B9B9Bu);
    EXPECT_EQ(get32(wide.get(), 5, 2), 0x4D64C832u);
    EXPECT_EQ(get32(wide.get(), 2, 3), 0x4D64C832u);
    // A rectangle reaching past the image greys only the part inside it.
    greyImageRect(wide.get(), 6, 4, 10, 10);
    EXPECT_EQ(get32(wide.get(), 7, 5), 0x4D9B9B9Bu);
    EXPECT_EQ(get32(wide.get(), 5, 5), 0x4D64C832u);
    greyImageRect(wide.get(), -3, -3, 4, 4);
    EXPECT_EQ(get32(wide.get(), 0, 0), 0x4D9B9B9Bu);
    EXPECT_EQ(get32(wide.get(), 1, 0), 0x4D64C832u);

    RefHolder<Image> narrow = filled(4, 4, 2, 0x64C832, 77);
    greyImageRect(narrow.get(), 1, 1, 2, 2);
    EXPECT_EQ(get16(narrow.get(), 1, 1), (19 << 11) | (38 << 5) | 19);
    EXPECT_EQ(alphaAt(narrow.get(), 1, 1), 77);
    EXPECT_EQ(get16(narrow.get(), 0, 1), (12 << 11) | (50 << 5) | 6);
}

}  // namespace
