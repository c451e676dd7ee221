#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "framework/os/SdlDisplay.h"

namespace sdl_display_test {

constexpr int WIDTH = 800;
constexpr int HEIGHT = 600;

class SdlDisplayTest : public ::testing::Test {
protected:
    void SetUp() override { setenv("SDL_VIDEODRIVER", "dummy", 0); }
};

// The window's pixels as 0xRRGGBB, read back from the renderer after a present.
std::vector<uint32_t> readBack(SdlDisplay& display) {
    std::vector<uint32_t> pixels(static_cast<size_t>(WIDTH) * HEIGHT);
    if (SDL_RenderReadPixels(display.sdlRenderer(), nullptr, SDL_PIXELFORMAT_XRGB8888,
                             pixels.data(), WIDTH * 4) != 0) {
        pixels.clear();
    }
    for (uint32_t& pixel : pixels) {
        pixel &= 0xFFFFFF;
    }
    return pixels;
}

// Channels within 3 of each other: renderers widen 5- and 6-bit channels slightly differently.
bool closeColor(uint32_t a, uint32_t b) {
    for (int shift = 0; shift < 24; shift += 8) {
        const int difference =
            static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
        if (difference > 3 || difference < -3) {
            return false;
        }
    }
    return true;
}

TEST_F(SdlDisplayTest, ReportsTheDesktop) {
    SdlDisplay display;
    EXPECT_GT(display.screenWidth(), 0);
    EXPECT_GT(display.screenHeight(), 0);
    const int depth = display.desktopBytesPerPixel();
    EXPECT_TRUE(depth >= 2 && depth <= 4) << depth;
    EXPECT_EQ(display.getDirectXVersion(), 0x900u);
}

TEST_F(SdlDisplayTest, PresentsA32BitBackBuffer) {
    SdlDisplay display;
    ASSERT_TRUE(display.createWindow("Quovel", WIDTH, HEIGHT, false));
    ASSERT_TRUE(display.createPresenter(4));
    display.show();
    EXPECT_FALSE(display.isFullScreen());
    EXPECT_STREQ(SDL_GetWindowTitle(display.sdlWindow()), "Quovel");

    std::vector<uint32_t> frame(static_cast<size_t>(WIDTH) * HEIGHT);
    for (int y = 0; y < HEIGHT; ++y) {
        for (int x = 0; x < WIDTH; ++x) {
            frame[static_cast<size_t>(y) * WIDTH + x] =
                static_cast<uint32_t>((x & 0xFF) << 16 | (y & 0xFF) << 8 | ((x + y) & 0xFF));
        }
    }
    ASSERT_TRUE(display.present(frame.data(), WIDTH * 4));
    EXPECT_EQ(readBack(display), frame);
}

TEST_F(SdlDisplayTest, PresentsA16BitBackBuffer) {
    SdlDisplay display;
    ASSERT_TRUE(display.createWindow("Quovel", WIDTH, HEIGHT, false));
    ASSERT_TRUE(display.createPresenter(2));
    // Bands of pure RGB565 colors, which widen to exact 24-bit colors; a pitch wider than
    // the row, as a padded image would have.
    const uint16_t colors[] = {0xF800, 0x07E0, 0x001F, 0xFFFF, 0x0000};
    const uint32_t expected[] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x000000};
    const int pitch = WIDTH * 2 + 16;
    std::vector<uint16_t> frame(static_cast<size_t>(pitch / 2) * HEIGHT, 0x1234);
    for (int y = 0; y < HEIGHT; ++y) {
        for (int x = 0; x < WIDTH; ++x) {
            frame[static_cast<size_t>(y) * (pitch / 2) + x] = colors[x / 160];
        }
    }
    ASSERT_TRUE(display.present(frame.data(), pitch));
    const std::vector<uint32_t> shown = readBack(display);
    ASSERT_EQ(shown.size(), static_cast<size_t>(WIDTH) * HEIGHT);
    for (int x = 0; x < WIDTH; x += 40) {
        const uint32_t pixel = shown[static_cast<size_t>(HEIGHT - 1) * WIDTH + x];
        EXPECT_TRUE(closeColor(pixel, expected[x / 160])) << x << ": " << std::hex << pixel;
    }
}

TEST_F(SdlDisplayTest, RefusesWhatCannotBePresented) {
    SdlDisplay display;
    std::vector<uint32_t> frame(static_cast<size_t>(WIDTH) * HEIGHT);
    EXPECT_FALSE(display.createPresenter(4));  // no window yet
    EXPECT_FALSE(display.present(frame.data(), WIDTH * 4));
    EXPECT_FALSE(display.createWindow("Quovel", 0, HEIGHT, false));
    ASSERT_TRUE(display.createWindow("Quovel", WIDTH, HEIGHT, false));
    EXPECT_FALSE(display.present(frame.data(), WIDTH * 4));  // no presenter yet
    EXPECT_FALSE(display.createPresenter(3));
    ASSERT_TRUE(display.createPresenter(4));
    EXPECT_FALSE(display.present(nullptr, WIDTH * 4));
    EXPECT_FALSE(display.present(frame.data(), WIDTH * 2));  // rows shorter than the window
    EXPECT_TRUE(display.present(frame.data(), WIDTH * 4));
    display.destroyWindow();
    EXPECT_FALSE(display.hasWindow());
    EXPECT_FALSE(display.present(frame.data(), WIDTH * 4));
}

TEST_F(SdlDisplayTest, FullScreenCoversTheDesktopAndKeepsTheGameSize) {
    SdlDisplay display;
    ASSERT_TRUE(display.createWindow("Quovel", WIDTH, HEIGHT, true));
    ASSERT_TRUE(display.createPresenter(4));
    EXPECT_TRUE(display.isFullScreen());
    int logicalWidth = 0;
    int logicalHeight = 0;
    SDL_RenderGetLogicalSize(display.sdlRenderer(), &logicalWidth, &logicalHeight);
    EXPECT_EQ(logicalWidth, WIDTH);
    EXPECT_EQ(logicalHeight, HEIGHT);
    std::vector<uint32_t> frame(static_cast<size_t>(WIDTH) * HEIGHT, 0x336699);
    EXPECT_TRUE(display.present(frame.data(), WIDTH * 4));

    // Switching in place keeps the presenter.
    EXPECT_TRUE(display.setFullScreen(false));
    EXPECT_FALSE(display.isFullScreen());
    int windowWidth = 0;
    int windowHeight = 0;
    SDL_GetWindowSize(display.sdlWindow(), &windowWidth, &windowHeight);
    EXPECT_EQ(windowWidth, WIDTH);
    EXPECT_EQ(windowHeight, HEIGHT);
    EXPECT_TRUE(display.present(frame.data(), WIDTH * 4));
    EXPECT_TRUE(display.setFullScreen(true));
    EXPECT_TRUE(display.isFullScreen());
    EXPECT_TRUE(display.present(frame.data(), WIDTH * 4));
}

TEST_F(SdlDisplayTest, RendererResetRemakesTheTexture) {
    SdlDisplay display;
    ASSERT_TRUE(display.createWindow("Quovel", WIDTH, HEIGHT, false));
    ASSERT_TRUE(display.createPresenter(2));
    std::vector<uint16_t> frame(static_cast<size_t>(WIDTH) * HEIGHT, 0xF800);
    ASSERT_TRUE(display.present(frame.data(), WIDTH * 2));
    EXPECT_EQ(display.textureCreations(), 1);
    display.rendererReset();
    ASSERT_TRUE(display.present(frame.data(), WIDTH * 2));
    EXPECT_EQ(display.textureCreations(), 2);
    ASSERT_TRUE(display.present(frame.data(), WIDTH * 2));
    EXPECT_EQ(display.textureCreations(), 2);
    EXPECT_TRUE(closeColor(readBack(display)[0], 0xFF0000u));
}

TEST_F(SdlDisplayTest, RectanglesUpdateOnlyThemselvesAndANewTextureTakesTheWholePicture) {
    SdlDisplay display;
    ASSERT_TRUE(display.createWindow("Quovel", WIDTH, HEIGHT, false));
    ASSERT_TRUE(display.createPresenter(4));
    std::vector<uint32_t> frame(static_cast<size_t>(WIDTH) * HEIGHT, 0x102030);
    ASSERT_TRUE(display.present(frame.data(), WIDTH * 4));
    // Two rectangles changed; a third change outside them is not shown.
    const DisplayRect rects[] = {{10, 20, 30, 5}, {700, 590, 100, 10}};
    for (const DisplayRect& r : rects) {
        for (int y = r.y; y < r.y + r.h; ++y) {
            for (int x = r.x; x < r.x + r.w; ++x) {
                frame[static_cast<size_t>(y) * WIDTH + x] = static_cast<uint32_t>(x << 8 | y);
            }
        }
    }
    std::vector<uint32_t> expected = frame;
    frame[static_cast<size_t>(300) * WIDTH + 400] = 0xFFFFFF;
    ASSERT_TRUE(display.presentRects(frame.data(), WIDTH * 4, rects, 2));
    EXPECT_EQ(readBack(display), expected);
    // A texture made again holds nothing yet: the whole picture goes up.
    display.rendererReset();
    ASSERT_TRUE(display.presentRects(frame.data(), WIDTH * 4, rects, 1));
    EXPECT_EQ(readBack(display), frame);
}

TEST_F(SdlDisplayTest, IconsAreCheckedAndKeptForLaterWindows) {
    SdlDisplay display;
    const std::vector<uint32_t> icon(32 * 32, 0xFF00FF00);
    EXPECT_FALSE(display.setIcon(nullptr, 32, 32));
    EXPECT_FALSE(display.setIcon(icon.data(), 0, 32));
    EXPECT_FALSE(display.setIcon(icon.data(), 32, 5000));
    EXPECT_TRUE(display.setIcon(icon.data(), 32, 32));  // before any window
    ASSERT_TRUE(display.createWindow("Quovel", WIDTH, HEIGHT, false));
    EXPECT_TRUE(display.setIcon(icon.data(), 32, 32));
}

}  // namespace sdl_display_test
