// Damage between two frames' operation lists: what must be drawn again, as few disjoint
// rectangles.
#include <gtest/gtest.h>

#include <algorithm>

#include "framework/platform/DrawingList.h"
#include "framework/platform/DrawingRecorder.h"
#include "framework/platform/Graphics.h"
#include "framework/platform/Image.h"

namespace drawing_list_test {

DrawnOperation operation(int32_t x, int32_t y, int32_t w, int32_t h, int32_t alpha = 255) {
    DrawnOperation op;
    op.touched = Rect{x, y, w, h};
    op.alpha = alpha;
    return op;
}

DrawingList listOf(std::initializer_list<DrawnOperation> operations) {
    DrawingList list;
    for (const DrawnOperation& op : operations) {
        list.add(op);
    }
    return list;
}

bool covers(const std::vector<Rect>& damage, const Rect& r) {
    for (int32_t y = r.y; y < r.y + r.h; ++y) {
        for (int32_t x = r.x; x < r.x + r.w; ++x) {
            bool inside = false;
            for (const Rect& d : damage) {
                inside = inside || d.contains(x, y);
            }
            if (!inside) {
                return false;
            }
        }
    }
    return true;
}

const Rect SCREEN{0, 0, 800, 600};

TEST(DrawingList, ChangedAddedRemovedAndReorderedOperationsDamageWhatTheyTouch) {
    const DrawnOperation background = operation(0, 0, 800, 600);
    const DrawnOperation a = operation(100, 100, 50, 50);
    const DrawnOperation b = operation(120, 120, 50, 50);
    const DrawnOperation c = operation(600, 400, 20, 20);
    std::vector<Rect> damage;

    DrawingList::findDamage(listOf({background, a, b, c}), listOf({background, a, b, c}), damage);
    EXPECT_TRUE(damage.empty());

    // Changed in place: the old and the new look of the same place.
    DrawingList::findDamage(listOf({background, a, b, c}),
                            listOf({background, a, operation(120, 120, 50, 50, 128), c}), damage);
    EXPECT_EQ(damage, (std::vector<Rect>{b.touched, b.touched}));

    // Drawn anew, and gone: nothing else damaged although everything after it moved along.
    damage.clear();
    DrawingList::findDamage(listOf({background, a, c}), listOf({background, a, b, c}), damage);
    EXPECT_EQ(damage, std::vector<Rect>{b.touched});
    damage.clear();
    DrawingList::findDamage(listOf({background, a, b, c}), listOf({background, b, c}), damage);
    EXPECT_EQ(damage, std::vector<Rect>{a.touched});

    // Two overlapping operations swapped: their overlap is drawn in another order.
    damage.clear();
    DrawingList::findDamage(listOf({background, a, b, c}), listOf({background, b, a, c}), damage);
    EXPECT_TRUE(covers(damage, intersectRects(a.touched, b.touched)));
    EXPECT_FALSE(covers(damage, c.touched));
}

TEST(DrawingList, MergedDamageIsDisjointCoversEveryPieceAndFallsBackToTheWholeFrame) {
    // A chain of overlaps that only shows after a first join, a distant piece, and one beyond
    // the frame's edge.
    const std::vector<Rect> pieces{{0, 0, 10, 10},   {200, 0, 10, 10},   {5, 5, 100, 10},
                                   {100, 0, 110, 5}, {500, 500, 10, 10}, {790, 590, 40, 40}};
    // Merged, the rectangles lie inside the frame, apart, and cover every piece; returns the
    // pixels they cover.
    std::vector<Rect> damage;
    const auto merged = [&damage](const std::vector<Rect>& given) {
        damage = given;
        mergeDamage(damage, SCREEN, 60);
        int64_t covered = 0;
        for (const Rect& piece : given) {
            EXPECT_TRUE(covers(damage, intersectRects(piece, SCREEN)));
        }
        for (size_t m = 0; m < damage.size(); ++m) {
            covered += int64_t{damage[m].w} * damage[m].h;
            EXPECT_TRUE(intersectRects(damage[m], SCREEN) == damage[m]);
            for (size_t n = m + 1; n < damage.size(); ++n) {
                EXPECT_FALSE(rectsOverlap(damage[m], damage[n]));
            }
        }
        return covered;
    };
    merged(pieces);
    EXPECT_LT(damage.size(), pieces.size());
    // A thin strip across two wide bands overlaps both but is not joined with them: it is cut
    // around them, covering the same pixels and nothing more.
    EXPECT_EQ(merged({{100, 150, 500, 30}, {300, 100, 20, 200}, {100, 250, 500, 20}}),
              500 * 30 + 500 * 20 + 20 * (200 - 30 - 20));

    // Most of the frame, or a great many pieces spread over it, draw the frame whole.
    damage = {{0, 0, 800, 300}, {0, 300, 400, 300}};
    mergeDamage(damage, SCREEN, 60);
    EXPECT_EQ(damage, std::vector<Rect>{SCREEN});
    damage.clear();
    for (int32_t n = 0; n < 100; ++n) {
        damage.push_back(Rect{(n * 97) % 790, (n * 61) % 590, 4, 4});
    }
    mergeDamage(damage, SCREEN, 60);
    EXPECT_EQ(damage, std::vector<Rect>{SCREEN});
}

TEST(DrawingList, AnOpaquePictureDrawnAlikeInBothFramesHidesTheDamageBeneathItAlone) {
    RefHolder<Image> picture(Image::createImage(100, 60, 4));
    RefHolder<Graphics> graphics(picture->createGraphics());
    graphics->fillChannel(Channel::ALPHA, 255);
    const auto blitOf = [&](const Image* source, int32_t x, int32_t y, int32_t w, int32_t h,
                            int32_t alpha = 255) {
        DrawnOperation op = operation(x, y, w, h, alpha);
        op.kind = DrawingRecorder::BLIT;
        op.source = source;
        op.sourceBytesPerPixel = 4;
        op.sourceAlpha = true;
        op.arguments[0] = x;
        op.arguments[1] = y;
        return op;
    };
    // A faded picture beneath the opaque one, which starts at an odd column; a changed label
    // above it.
    const DrawnOperation plaque = blitOf(picture.get(), 101, 100, 100, 60);
    const DrawnOperation label = blitOf(nullptr, 120, 120, 40, 10);
    DrawingList::Occlusion occlusion;
    std::vector<Rect> damage;
    DrawingList::findVisibleDamage(listOf({blitOf(nullptr, 50, 50, 200, 160, 200), plaque, label}),
                                   listOf({blitOf(nullptr, 50, 50, 200, 160, 100), plaque,
                                           blitOf(nullptr, 120, 120, 40, 10, 9)}),
                                   4, occlusion, damage);
    EXPECT_TRUE(covers(damage, Rect{50, 50, 200, 50}));
    EXPECT_TRUE(covers(damage, Rect{50, 100, 51, 60}));
    EXPECT_TRUE(covers(damage, label.touched));
    // Under the plaque but for the label, whole pairs of its pixels counted from its left end.
    EXPECT_FALSE(covers(damage, Rect{101, 100, 2, 1}));
    EXPECT_FALSE(covers(damage, Rect{199, 159, 2, 1}));
    // A faded picture without alpha writes the alpha bytes the plaque keeps: not hidden.
    damage.clear();
    DrawnOperation flat = blitOf(nullptr, 50, 50, 200, 160, 200);
    flat.sourceAlpha = false;
    DrawnOperation flatter = flat;
    flatter.alpha = 100;
    DrawingList::findVisibleDamage(listOf({flat, plaque}), listOf({flatter, plaque}), 4, occlusion,
                                   damage);
    EXPECT_TRUE(covers(damage, flat.touched));
}

TEST(DrawingList, AMovedPictureDamagesOnlyTheBandsOfItsVisiblePixelsOnceItsContentIsKnown) {
    // Clear but for a 10-pixel-wide diagonal stripe, drawn added at full alpha and at a fade.
    RefHolder<Image> light(Image::createImage(160, 100, 4));
    ASSERT_TRUE(light->lock());
    for (int32_t y = 0; y < 100; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(light->getPixels() + y * light->getPitch());
        for (int32_t x = 0; x < 160; ++x) {
            row[x] = x >= y && x < y + 10 ? 0xFFFFFFFFu : 0x00FFFFFFu;
        }
    }
    light->unlock();
    light->markChanged();
    const auto lightAt = [&](int32_t x, int32_t y, int32_t alpha) {
        DrawnOperation op = operation(x, y, 160, 100, alpha);
        op.kind = DrawingRecorder::BLIT;
        op.source = light.get();
        op.sourceChanges = light->getChangeCount();
        op.sourceBytesPerPixel = 4;
        op.sourceAlpha = true;
        op.blendMode = BlendMode::ADDITIVE;
        op.arguments[0] = x;
        op.arguments[1] = y;
        return op;
    };
    DrawingList::Occlusion occlusion;
    std::vector<Rect> damage;
    int64_t damaged = 0;
    for (int32_t frame = 0; frame < 2; ++frame) {
        damage.clear();
        DrawingList::findVisibleDamage(listOf({lightAt(200, 100, 255)}),
                                       listOf({lightAt(210, 100, 128)}), 4, occlusion, damage);
        damaged = 0;
        for (const Rect& r : damage) {
            damaged += int64_t{r.w} * r.h;
        }
    }
    // The first frame scans nothing and damages both whole pictures; the second only bands of
    // rows around the stripe at both places, whose every pixel is covered.
    for (int32_t y = 0; y < 100; ++y) {
        EXPECT_TRUE(covers(damage, Rect{200 + y, 100 + y, 10, 1})) << y;
        EXPECT_TRUE(covers(damage, Rect{210 + y, 100 + y, 10, 1})) << y;
    }
    EXPECT_FALSE(covers(damage, Rect{200, 199, 1, 1}));
    EXPECT_FALSE(covers(damage, Rect{369, 100, 1, 1}));
    EXPECT_LT(damaged, 160 * 100);
}

}  // namespace drawing_list_test
