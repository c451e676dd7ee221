#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "framework/core/IRenderable.h"
#include "framework/os/MessageBox.h"
#include "framework/os/SdlClipboard.h"
#include "framework/os/SdlCursor.h"
#include "framework/os/SdlDisplay.h"
#include "framework/os/SdlEventSource.h"
#include "framework/os/StderrMessageBox.h"
#include "framework/os/SystemClock.h"
#include "framework/os/X11Events.h"
#include "framework/platform/DisplayDepth.h"
#include "framework/platform/GameWindow.h"
#include "framework/platform/RenderTask.h"
#include "framework/platform/SceneTasks.h"
#include "framework/platform/TimedTaskManager.h"
#include "platform/XScreen.h"
#include "testsupport/WaitFor.h"
#include "testsupport/platform/PictureWriter.h"

// A picture test in a real X session (Xvfb, SDL's x11 driver): the game window runs a few frames
// of a small scene drawn with fills and blits, and what X shows of it must be the picture the
// game drew (its back buffer, which headless runs see); it is saved as "game-window*.png" in the
// build tree for a person to look at. The test entries run it in a window, and in full screen
// (QUOVEL_FULL_SCREEN=1) on a desktop larger than the game with the window manager that
// QUOVEL_WINDOW_MANAGER names and without one. Skipped under other video drivers.

namespace game_window_screenshot_test {

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
    g->fillRectChannel(Channel::ALPHA, 0x60, 4, 4, 52, 68);
    g->fillRectChannel(Channel::ALPHA, 0xFF, 0, 0, 52, 68);
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

// How many of the back buffer's pixels `shown` does not show, of `compared` (those even over a
// few pixels, and on the screen within `area` when given): 1:1 in a window; in full screen
// scaled by the smaller ratio and centred, so that the scaling's rounding does not count.
size_t differingPixels(const XScreenPicture& shown, GameWindow* window, size_t& compared,
                       const XScreenWindow* area = nullptr) {
    const double scale =
        std::min(double(shown.width) / SHOT_WIDTH, double(shown.height) / SHOT_HEIGHT);
    const int left = (shown.width - int(SHOT_WIDTH * scale)) / 2;
    const int top = (shown.height - int(SHOT_HEIGHT * scale)) / 2;
    Image* back = window->getBackBuffer();
    if (!back->lock()) {
        return SIZE_MAX;
    }
    const auto drawn = [&](int x, int y) { return testpixels::colorAt(back, x, y); };
    const int margin = scale == 1.0 ? 0 : 2;
    size_t differing = 0;
    compared = 0;
    for (int y = margin; y < SHOT_HEIGHT - margin; ++y) {
        for (int x = margin; x < SHOT_WIDTH - margin; ++x) {
            bool even = true;
            for (int dy = -margin; dy <= margin && even; ++dy) {
                for (int dx = -margin; dx <= margin && even; ++dx) {
                    even = drawn(x + dx, y + dy) == drawn(x, y);
                }
            }
            const int sx = left + int((x + 0.5) * scale), sy = top + int((y + 0.5) * scale);
            if (area && (sx < area->left || sy < area->top || sx >= area->left + area->width ||
                         sy >= area->top + area->height)) {
                continue;
            }
            compared += even;
            differing += even && shown.at(sx, sy) != drawn(x, y);
        }
    }
    back->unlock();
    return differing;
}

// The picture written as build/screenshots/<name>.png.
bool writePhoto(const std::string& name, const XScreenPicture& shown) {
    const std::string folder = std::string(QUOVEL_BINARY_DIR) + "/screenshots";
    std::filesystem::create_directories(folder);
    RefHolder<Image> photo = Image::createImage(shown.width, shown.height, 4);
    for (int y = 0; y < shown.height; ++y) {
        for (int x = 0; x < shown.width; ++x) {
            testpixels::set32(photo.get(), x, y, 0xFF000000u | shown.at(x, y));
        }
    }
    return writeImagePng(folder + "/" + name + ".png", photo.get());
}

// An environment variable's value; empty when it is not set.
std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// The game window on its real services, after the window manager that QUOVEL_WINDOW_MANAGER
// names (if any) is up, with the frames that move and draw the backdrop and a small pyramid of
// tiles whose top row glides.
struct RealGame {
    const std::string managerName = environment("QUOVEL_WINDOW_MANAGER");
    XWindowManager manager{managerName};
    SdlDisplay display;
    SdlEventSource events{display};
    SdlCursor cursor;
    SdlClipboard clipboard;
    StderrMessageBox messageBox;
    SystemClock clock;
    GameWindow* window = nullptr;
    RefHolder<GameTree> tree{new GameTree()};
    TimedTaskManager frames{clock};

    explicit RealGame(bool fullScreen) {
        GameWindow::setOpenRetried(false);
        const WindowServices services{&display, &events, &cursor, &clipboard, &messageBox, &clock};
        window = GameWindow::createInstance(services, "Quovel Mahjong", SHOT_WIDTH, SHOT_HEIGHT,
                                            fullScreen, 0, 102);
        GameNode::appendChild(new Backdrop(), tree.get());
        const uint32_t marks[] = {0xFFC0392B, 0xFF27AE60, 0xFF2E86C1, 0xFF8E44AD, 0xFFD68910};
        for (int row = 0; row < 3; ++row) {
            for (int column = 0; column < 7 - 2 * row; ++column) {
                GameNode::appendChild(
                    new TileNode(makeTile(marks[(row + column) % 5]).get(),
                                 190 + row * 52 + column * 52, 420 - row * 84, row == 2 ? 1 : 0),
                    tree.get());
            }
        }
        frames.setFrameRate(60);
        frames.addTask(new MoveTask(tree.get(), nullptr));
        frames.addTask(new RenderTask(tree.get()));
        frames.addTask(window);
    }
    ~RealGame() {
        frames.removeTask(window);
        GameWindow::releaseInstance();
        setDisplayBytesPerPixel(4);
    }
    // Every waiting message through the window procedure.
    void pump() {
        for (MessageRecord record; events.nextMessage(record);) {
            EXPECT_NE(record.message, WM_QUIT);
            window->windowProcedure(record);
        }
    }
};

// The cases run only in a real X session.
class GameWindowScreenshot : public ::testing::Test {
protected:
    void SetUp() override {
        if (environment("SDL_VIDEODRIVER") != "x11" || environment("DISPLAY").empty()) {
            GTEST_SKIP() << "needs SDL_VIDEODRIVER=x11 and an X display (xvfb-run)";
        }
    }
};

TEST_F(GameWindowScreenshot, AFewFramesInARealWindow) {
    // Full screen fills the screen, granted by a window manager or not.
    const bool fullScreen = environment("QUOVEL_FULL_SCREEN") == "1";
    RealGame game(fullScreen);
    auto [manager, display, events] = std::tie(game.manager, game.display, game.events);
    GameWindow* window = game.window;
    ASSERT_EQ(manager.isUp(), !game.managerName.empty()) << "the window manager did not start";
    ASSERT_TRUE(display.hasWindow());
    const bool small = display.screenWidth() <= SHOT_WIDTH || display.screenHeight() <= SHOT_HEIGHT;
    ASSERT_EQ(window->isFullScreen(), small || fullScreen);
    ASSERT_EQ(window->getBytesPerPixel(), 4) << "a 24-bit X screen is needed";
    ASSERT_NE(window->getGraphics(), nullptr);
    // Xvfb has no graphics processor: an OpenGL there rasterises in software, so the display
    // takes SDL's software renderer, drawing into the window's own surface (which can also be
    // read back after it was shown, unlike a GPU renderer's buffer).
    SDL_RendererInfo info;
    ASSERT_EQ(SDL_GetRendererInfo(display.sdlRenderer(), &info), 0);
    ASSERT_STREQ(info.name, "software");
    for (int frame = 0; frame < FRAMES; ++frame) {
        game.pump();
        game.frames.tick();
    }
    ASSERT_FALSE(window->isPaused());

    // The window shows exactly the last frame drawn.
    XScreenPicture shown;
    ASSERT_TRUE(photographX11Window(display.sdlWindow(), shown)) << shown.left << ", " << shown.top;
    const int wide = window->isFullScreen() ? display.screenWidth() : SHOT_WIDTH;
    const int high = window->isFullScreen() ? display.screenHeight() : SHOT_HEIGHT;
    ASSERT_EQ(shown.width, wide);
    ASSERT_EQ(shown.height, high);
    size_t compared = 0;
    EXPECT_EQ(differingPixels(shown, window, compared), 0u) << "of " << compared;
    EXPECT_GT(compared, size_t{SHOT_WIDTH} * SHOT_HEIGHT / 3);
    const std::string name = game.managerName.empty() ? "none" : game.managerName;
    const std::string suffix =
        fullScreen ? (small ? "-small-screen-" : "-full-screen-") + name : "";
    EXPECT_TRUE(writePhoto("game-window" + suffix, shown));

    // The pointer where the game reads it, once X has told: inside the window, and on the
    // desktop beside it (in the window's pixels).
    const auto pointerAt = [&](int32_t wantX, int32_t wantY) {
        waitFor(
            [&] {
                int32_t x = -1;
                int32_t y = -1;
                game.pump();
                EXPECT_TRUE(events.cursorPosition(x, y));
                return x == wantX && y == wantY;
            },
            std::chrono::milliseconds(10));
    };
    if (!window->isFullScreen()) {
        SDL_WarpMouseInWindow(display.sdlWindow(), 123, 45);
        pointerAt(123, 45);
        int left = 0;
        int top = 0;
        SDL_GetWindowPosition(display.sdlWindow(), &left, &top);
        SDL_WarpMouseGlobal(display.screenWidth() - 4, display.screenHeight() - 4);
        pointerAt(display.screenWidth() - 4 - left, display.screenHeight() - 4 - top);
        // Resting there it is asked for less often, but a move is still found.
        for (int32_t n = 0, x = 0, y = 0; n < 3; ++n) {
            EXPECT_TRUE(events.cursorPosition(x, y));
        }
        SDL_WarpMouseGlobal(display.screenWidth() - 9, display.screenHeight() - 6);
        pointerAt(display.screenWidth() - 9 - left, display.screenHeight() - 6 - top);

        // After a quiet spell SDL is pumped only when X holds an event for it. The pointer's
        // move comes in with the reply of a round trip, so the connection's socket no longer
        // shows it; the first look for messages must still find it. (The quiet spell is a
        // length of time the game must see pass, not a wait for an event.)
        for (const uint32_t until = SDL_GetTicks() + 700; SDL_GetTicks() < until;) {
            game.pump();
            SDL_Delay(20);
        }
        SDL_WarpMouseInWindow(display.sdlWindow(), 200, 100);
        int screenX = 0;
        int screenY = 0;
        SDL_GetGlobalMouseState(&screenX, &screenY);
        EXPECT_GT(x11EventsWaiting(display.sdlWindow(), false), 0);
        bool moved = false;
        for (MessageRecord record; events.nextMessage(record);) {
            moved = moved ||
                    (record.message == WM_MOUSEMOVE && record.lParam == packCoordinates(200, 100));
        }
        EXPECT_TRUE(moved);
    }
}

// A system box over the full-screen game: the window manager gives it the focus, which pauses
// the game, and it is answered with Return. Afterwards X shows the game's own picture where the
// box stood, though the game drew nothing new there. Run with QUOVEL_WINDOW_MANAGER naming a
// manager that grants full screen; without one it fails.
TEST_F(GameWindowScreenshot, ASystemBoxOverTheFullScreenGameLeavesNoPictureBehind) {
    RealGame game(true);
    auto [manager, display] = std::tie(game.manager, game.display);
    GameWindow* window = game.window;
    ASSERT_TRUE(manager.isUp()) << "needs a window manager, named by QUOVEL_WINDOW_MANAGER";
    ASSERT_TRUE(display.hasWindow());
    ASSERT_TRUE(window->isFullScreen());
    // The game's main loop for a while: messages first, no frame while the window is paused.
    const auto play = [&](uint32_t ms) {
        for (const uint32_t until = SDL_GetTicks() + ms; SDL_GetTicks() < until;) {
            game.pump();
            if (window->isPaused()) {
                game.clock.sleep(10);
            } else {
                game.frames.tick();
            }
        }
    };
    // Plays until X shows the game's picture (within `area` when given).
    size_t compared = 0;
    const auto playUntilShown = [&](XScreenPicture& shown, const XScreenWindow* area) {
        for (size_t differing = SIZE_MAX; differing;) {
            play(20);
            shown = {};
            differing = photographX11Window(display.sdlWindow(), shown)
                            ? differingPixels(shown, window, compared, area)
                            : SIZE_MAX;
        }
    };
    XScreenPicture before;
    playUntilShown(before, nullptr);

    // The box the game shows its players, answered from another connection once it is drawn.
    // The window manager, held meanwhile as on a busy machine, takes the box's frame away only
    // once the game has paused for the lost focus, and gives no window the focus: the game is
    // asked to paint while paused.
    std::unique_ptr<MessageBox> box = createMessageBox();
    const std::string title = "Damaged room";  // not the game window's own title
    XScreenPicture withBox;
    XScreenWindow frame;
    bool answered = false;
    std::thread answer(
        [&] { answered = answerXWindow(title, withBox, frame, [&] { manager.hold(true); }); });
    const bool toStderr =
        box->show(title, "The data of this room is damaged,\nso it cannot be played.");
    answer.join();
    ASSERT_TRUE(answered && !toStderr) << "no box showed";
    EXPECT_GT(differingPixels(withBox, window, compared, &frame), 0u) << "no box over the game";
    EXPECT_TRUE(writePhoto("system-box-over-full-screen", withBox));
    // The box takes the focus, which pauses the game.
    while (!window->isPaused()) {
        play(20);
    }
    unmapXWindow(frame.id);

    // Where the box stood: the manager's own panel, held too, may still stand elsewhere.
    XScreenPicture after;
    playUntilShown(after, &frame);
    EXPECT_TRUE(writePhoto("system-box-answered", after));
    EXPECT_GT(compared, 10000u);
    manager.hold(false);
}

}  // namespace game_window_screenshot_test
