#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "framework/core/RefHolder.h"
#include "framework/platform/Image.h"
#include "framework/platform/PngDecoder.h"
#include "platform/PixelAccess.h"

namespace {

const std::string iconFile = std::string(QUOVEL_BINARY_DIR) + "/game/media/images/icon.png";

struct Rgba {
    uint32_t a, r, g, b;
};

Rgba at(const Image* icon, int x, int y) {
    const uint32_t p = testpixels::get32(icon, x, y);
    return {p >> 24, (p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF};
}

class TileIconTest : public ::testing::Test {
protected:
    void SetUp() override {
        icon = loadPngFile(iconFile, PngDecodeFlags::FullColor);
        ASSERT_TRUE(icon) << iconFile;
        ASSERT_TRUE(icon->lock());
    }
    void TearDown() override {
        if (icon) {
            icon->unlock();
        }
    }
    RefHolder<Image> icon;
};

TEST_F(TileIconTest, IsA64PixelTileClearAroundItsCorners) {
    ASSERT_EQ(icon->getWidth(), 64);
    ASSERT_EQ(icon->getHeight(), 64);
    for (int x : {0, 63}) {
        for (int y : {0, 63}) {
            EXPECT_EQ(at(icon.get(), x, y).a, 0u) << x << "," << y;
        }
    }
    // Nothing touches the top row or the left column: the tile's thickness and shadow fall to
    // the bottom right.
    for (int k = 0; k < 64; ++k) {
        EXPECT_EQ(at(icon.get(), k, 0).a, 0u) << k;
        EXPECT_EQ(at(icon.get(), 0, k).a, 0u) << k;
    }
    for (int x = 24; x < 40; ++x) {
        for (int y = 24; y < 40; ++y) {
            EXPECT_EQ(at(icon.get(), x, y).a, 255u) << x << "," << y;
        }
    }
}

TEST_F(TileIconTest, ShowsAnIvoryFaceWithARedAndGreenEmblemOverADarkerEdge) {
    const Rgba ivory = at(icon.get(), 12, 10);
    EXPECT_EQ(ivory.a, 255u);
    EXPECT_GT(ivory.r, 220u);
    EXPECT_GT(ivory.g, 210u);
    EXPECT_GT(ivory.b, 170u);
    EXPECT_LT(ivory.b, ivory.r);

    const Rgba red = at(icon.get(), 28, 30);  // the disc in the middle of the face
    EXPECT_GT(red.r, 150u);
    EXPECT_LT(red.g, 90u);
    EXPECT_LT(red.b, 90u);

    const Rgba green = at(icon.get(), 41, 28);  // the ring around it
    EXPECT_GT(green.g, green.r + 40);
    EXPECT_GT(green.g, green.b);

    // The thickness right of and below the face is opaque and darker than the face.
    for (const auto& [x, y] : {std::pair{51, 28}, std::pair{28, 54}}) {
        const Rgba edge = at(icon.get(), x, y);
        EXPECT_EQ(edge.a, 255u) << x << "," << y;
        EXPECT_LT(edge.r + edge.g + edge.b, ivory.r + ivory.g + ivory.b - 60) << x << "," << y;
    }
}

TEST_F(TileIconTest, EdgesAndShadowAreSmooth) {
    // The shadow fades out beyond the tile's far corner rather than stopping at a hard edge.
    int partial = 0;
    int darkPartial = 0;
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            const Rgba p = at(icon.get(), x, y);
            if (p.a > 0 && p.a < 255) {
                ++partial;
                darkPartial += p.r + p.g + p.b < 200 && x + y > 64 ? 1 : 0;
            }
        }
    }
    EXPECT_GT(partial, 100);
    EXPECT_GT(darkPartial, 60);
    // Along the shadow's fade the opacity only falls.
    uint32_t previous = 255;
    for (int x = 55; x < 64; ++x) {
        const uint32_t alpha = at(icon.get(), x, 40).a;
        EXPECT_LE(alpha, previous) << x;
        previous = alpha;
    }
    EXPECT_LT(at(icon.get(), 58, 40).a, 255u);
    EXPECT_GT(at(icon.get(), 57, 40).a, 0u);
}

}  // namespace
