#include <SDL.h>
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "framework/core/IRenderable.h"
#include "framework/os/SdlClipboard.h"
#include "framework/os/SdlCursor.h"
#include "framework/os/SdlDisplay.h"
#include "framework/os/SdlEventSource.h"
#include "framework/os/StderrMessageBox.h"
#include "framework/os/SystemClock.h"
#include "framework/platform/DisplayDepth.h"
#include "framework/platform/GameWindow.h"
#include "framework/platform/RenderTask.h"
#include "framework/platform/SceneTasks.h"
#include "framework/platform/TimedTaskManager.h"
#include "platform/XScreen.h"

// Picture tests in a real X session (Xvfb, SDL's x11 driver): the game window runs a few frames
// of a small scene drawn with fills and blits, and what X shows of the window is compared with
// the picture the game drew (its back buffer, as headless runs see it) and saved under
// "screenshots/" in the build tree for a person to look at: in a window, and in full screen on a
// desktop larger than the game with and without a window manager. Skipped under other video
// drivers; the test entries run them under Xvfb and fail when it cannot start.

namespace {

constexpr int SHOT_WIDTH = 800;
constexpr int SHOT_HEIGHT = 600;
constexpr int FRAMES = 30;

// The background: bands of color from top to bottom, drawn with fills.
class Backdrop : public GameNode, public IRenderable {
public:
    void* castTo(const TypeRecord* type) override {
        return type == &IRenderable::typeRecord ? static_cast<IRenderable*>(this)
                                                : GameNode::castTo(type);
    }
    void render(Graphics* g) override {
        for (int y = 0; y < SHOT_HEIGHT; y += 4) {
            const uint32_t shade = static_cast<uint32_t>(40 + y * 80 / SHOT_HEIGHT);
            g->setColor(0xFF000000u | (shade / 3) << 16 | shade << 8 | (shade / 2 + 20));
            g->fillRect(0, y, SHOT_WIDTH, 4);
        }
        g->setColor(0xFF8B5A2B);
        g->fillRect(60, 500, 680, 24);
        g->setAlpha(128);
        g->setColor(0xFFFFFFFF);
        g->fillRect(60, 500, 680, 6);
        g->setAlpha(255);
    }
};

// A tile picture blitted at the node's position; it glides a little every frame.
class TileNode : public GameNode, public IRenderable {
public:
    TileNode(Image* picture, int32_t x, int32_t y, int32_t drift) : picture(picture), drift(drift) {
        setPosition(x, y);
    }
    void* castTo(const TypeRecord* type) override {
        return type == &IRenderable::typeRecord ? static_cast<IRenderable*>(this)
                                                : GameNode::castTo(type);
    }
    void update(int32_t) override { setX(getX() + drift); }
    void render(Graphics* g) override { g->blitWhole(picture.get(), getX(), getY()); }

private:
    RefHolder<Image> picture;
    int32_t drift;
};

// A 56 x 72 tile with a soft shadow (alpha), an ivory face and a colored mark.
RefHolder<Image> makeTile(uint32_t mark) {
    RefHolder<Image> tile(Image::createImage(56, 72, 4));
    RefHolder<Graphics> g(tile->createGraphics());
    // The picture starts black and transparent: the shadow is only opacity, the face opaque.
    g->fillRectChannel(Channel::Alpha, 0x60, 4, 4, 52, 68);
    g->fillRectChannel(Channel::Alpha, 0xFF, 0, 0, 52, 68);
    g->setColor(0xFFF4EBD0);
    g->fillRect(0, 0, 52, 68);
    g->setColor(0xFFB8AD8C);
    g->drawRect(0, 0, 52, 68);
    g->setColor(mark);
    g->fillRect(14, 16, 24, 36);
    g->setColor(0xFFFFFFFF);
    g->fillRect(18, 20, 6, 6);
    return tile;
}

bool writePng(const std::string& path, const std::vector<uint32_t>& pixels, int width,
              int height) {
    std::vector<uint8_t> rgba;
    rgba.reserve(pixels.size() * 4);
    for (const uint32_t pixel : pixels) {
        rgba.insert(rgba.end(),
                    {static_cast<uint8_t>(pixel >> 16), static_cast<uint8_t>(pixel >> 8),
                     static_cast<uint8_t>(pixel), 0xFF});
    }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGBA;
    const bool written =
        png_image_write_to_file(&image, path.c_str(), 0, rgba.data(), width * 4, nullptr) != 0;
    png_image_free(&image);
    return written;
}

std::string screenshotPath(const std::string& name) {
    const std::string folder = std::string(QUOVEL_BINARY_DIR) + "/screenshots";
    std::filesystem::create_directories(folder);
    return folder + "/" + name + ".png";
}

// The real X session and the game window in it, with the scene drawn for a few frames.
class RealWindow {
public:
    explicit RealWindow(bool fullScreen) {
        GameWindow::setOpenRetried(false);
        window = GameWindow::createInstance(services, "Quovel Mahjong", SHOT_WIDTH, SHOT_HEIGHT,
                                            fullScreen, 0, 102);
    }
    ~RealWindow() {
        GameWindow::releaseInstance();
        setDisplayBytesPerPixel(4);
    }

    // Runs the frames; false when the window asked to quit or paused.
    bool drawFrames() {
        RefHolder<GameTree> tree(new GameTree());
        GameNode::appendChild(new Backdrop(), tree.get());
        const uint32_t marks[] = {0xFFC0392B, 0xFF27AE60, 0xFF2E86C1, 0xFF8E44AD, 0xFFD68910};
        RefHolder<Image> tiles[5];
        for (int i = 0; i < 5; ++i) {
            tiles[i] = makeTile(marks[i]);
        }
        // A small pyramid of tiles; the top row glides while the frames run.
        for (int row = 0; row < 3; ++row) {
            for (int column = 0; column < 7 - 2 * row; ++column) {
                const int32_t x = 190 + row * 52 + column * 52;
                const int32_t y = 420 - row * 80 - row * 4;
                GameNode::appendChild(
                    new TileNode(tiles[(row + column) % 5].get(), x, y, row == 2 ? 1 : 0),
                    tree.get());
            }
        }
        TimedTaskManager frames(clock);
        frames.setFrameRate(60);
        frames.addTask(new MoveTask(tree.get(), nullptr));
        frames.addTask(new RenderTask(tree.get()));
        frames.addTask(window);
        for (int frame = 0; frame < FRAMES; ++frame) {
            MessageRecord record;
            while (events.nextMessage(record)) {
                if (record.message == WM_QUIT) {
                    return false;
                }
                window->windowProcedure(record);
            }
            frames.tick();
        }
        frames.removeTask(window);
        return !window->isPaused();
    }
    // The last frame drawn, as 0xRRGGBB.
    std::vector<uint32_t> drawnPicture() const {
        std::vector<uint32_t> pixels(static_cast<size_t>(SHOT_WIDTH) * SHOT_HEIGHT);
        Image* back = window->getBackBuffer();
        if (!back->lock()) {
            return {};
        }
        for (int y = 0; y < SHOT_HEIGHT; ++y) {
            const auto* row =
                reinterpret_cast<const uint32_t*>(back->getPixels() + y * back->getPitch());
            for (int x = 0; x < SHOT_WIDTH; ++x) {
                pixels[static_cast<size_t>(y) * SHOT_WIDTH + x] = row[x] & 0xFFFFFF;
            }
        }
        back->unlock();
        return pixels;
    }

    SdlDisplay display;
    SdlEventSource events{display};
    SdlCursor cursor;
    SdlClipboard clipboard;
    StderrMessageBox messageBox;
    SystemClock clock;
    const WindowServices services{&display, &events, &cursor, &clipboard, &messageBox, &clock};
    GameWindow* window = nullptr;
};

bool realX11Session() {
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    return driver && std::string_view(driver) == "x11" && std::getenv("DISPLAY");
}

TEST(GameWindowScreenshot, AFewFramesInARealWindow) {
    if (!realX11Session()) {
        GTEST_SKIP() << "needs SDL_VIDEODRIVER=x11 and an X display (xvfb-run)";
    }
    RealWindow real(false);
    GameWindow* window = real.window;
    ASSERT_TRUE(real.display.hasWindow());
    ASSERT_FALSE(window->isFullScreen()) << "the X screen must be larger than the game";
    ASSERT_EQ(window->getBytesPerPixel(), 4) << "a 24-bit X screen is needed";
    ASSERT_NE(window->getGraphics(), nullptr);
    // Xvfb has no graphics processor: an OpenGL there rasterises in software, so the display
    // takes SDL's software renderer, drawing into the window's own surface (which can also be
    // read back after it was shown, unlike a GPU renderer's buffer).
    SDL_RendererInfo info;
    ASSERT_EQ(SDL_GetRendererInfo(real.display.sdlRenderer(), &info), 0);
    ASSERT_STREQ(info.name, "software");
    ASSERT_TRUE(real.drawFrames());

    std::vector<uint32_t> pixels(static_cast<size_t>(SHOT_WIDTH) * SHOT_HEIGHT);
    ASSERT_EQ(SDL_RenderReadPixels(real.display.sdlRenderer(), nullptr, SDL_PIXELFORMAT_XRGB8888,
                                   pixels.data(), SHOT_WIDTH * 4),
              0)
        << SDL_GetError();
    // The window shows exactly the last frame drawn.
    const std::vector<uint32_t> drawn = real.drawnPicture();
    ASSERT_EQ(drawn.size(), pixels.size());
    size_t differing = 0;
    for (size_t i = 0; i < pixels.size(); ++i) {
        differing += drawn[i] != (pixels[i] & 0xFFFFFF);
    }
    EXPECT_EQ(differing, 0u);
    EXPECT_TRUE(writePng(screenshotPath("game-window"), pixels, SHOT_WIDTH, SHOT_HEIGHT));
}

// The game asks for full screen on a desktop larger than itself. With a window manager
// (QUOVEL_WINDOW_MANAGER names it) the window covers the desktop and shows the whole picture
// scaled and letterboxed; without one X leaves the window at its size, and the game falls back
// to showing its picture 1:1 in a window. Either way X shows the whole picture the game drew.
TEST(GameWindowScreenshot, FullScreenShowsTheWholePictureWithOrWithoutAWindowManager) {
    if (!realX11Session()) {
        GTEST_SKIP() << "needs SDL_VIDEODRIVER=x11 and an X display (xvfb-run)";
    }
    const char* named = std::getenv("QUOVEL_WINDOW_MANAGER");
    const std::string managerName = named ? named : "none";
    const bool managed = managerName != "none";
    XWindowManager manager(managed ? managerName : "");
    ASSERT_EQ(manager.isUp(), managed) << "the window manager " << managerName << " did not start";

    RealWindow real(true);
    const int desktopWidth = real.display.screenWidth();
    const int desktopHeight = real.display.screenHeight();
    ASSERT_GT(desktopWidth, SHOT_WIDTH) << "the X screen must be larger than the game";
    ASSERT_GT(desktopHeight, SHOT_HEIGHT);
    ASSERT_TRUE(real.drawFrames());
    EXPECT_EQ(real.window->isFullScreen(), managed);

    XScreenPicture shown;
    ASSERT_TRUE(photographX11Window(real.display.sdlWindow(), shown));
    EXPECT_TRUE(writePng(screenshotPath("game-window-full-screen-" + managerName), shown.pixels,
                         shown.width, shown.height));
    const std::vector<uint32_t> drawn = real.drawnPicture();
    ASSERT_FALSE(drawn.empty());
    if (!managed) {
        ASSERT_EQ(shown.width, SHOT_WIDTH);
        ASSERT_EQ(shown.height, SHOT_HEIGHT);
        size_t differing = 0;
        for (size_t i = 0; i < drawn.size(); ++i) {
            differing += drawn[i] != shown.pixels[i];
        }
        EXPECT_EQ(differing, 0u);
        return;
    }
    ASSERT_EQ(shown.width, desktopWidth);
    ASSERT_EQ(shown.height, desktopHeight);
    // Scaled by the smaller ratio and centred; compared where the drawn picture is even over a
    // few pixels, so that the scaling's rounding does not count.
    const double scale = std::min(double(desktopWidth) / SHOT_WIDTH,
                                  double(desktopHeight) / SHOT_HEIGHT);
    const int left = (desktopWidth - int(SHOT_WIDTH * scale)) / 2;
    const int top = (desktopHeight - int(SHOT_HEIGHT * scale)) / 2;
    const auto drawnAt = [&](int x, int y) { return drawn[size_t(y) * SHOT_WIDTH + x]; };
    int compared = 0;
    int differing = 0;
    for (int y = 2; y < SHOT_HEIGHT - 2; y += 3) {
        for (int x = 2; x < SHOT_WIDTH - 2; x += 3) {
            bool even = true;
            for (int dy = -2; dy <= 2 && even; ++dy) {
                for (int dx = -2; dx <= 2 && even; ++dx) {
                    even = drawnAt(x + dx, y + dy) == drawnAt(x, y);
                }
            }
            if (even) {
                ++compared;
                differing += shown.at(left + int((x + 0.5) * scale),
                                      top + int((y + 0.5) * scale)) != drawnAt(x, y);
            }
        }
    }
    EXPECT_GT(compared, 10000);
    EXPECT_EQ(differing, 0) << "of " << compared;
}

}  // namespace
