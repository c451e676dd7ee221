#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "framework/os/SdlClipboard.h"
#include "framework/os/SdlCursor.h"
#include "framework/os/SdlDisplay.h"
#include "framework/os/SdlEventSource.h"
#include "framework/os/StderrMessageBox.h"
#include "framework/os/SystemClock.h"
#include "framework/platform/DisplayDepth.h"
#include "framework/platform/GameWindow.h"
#include "framework/platform/InputHandler.h"

namespace game_window_sdl_test {

constexpr int GAME_WINDOW_WIDTH = 800;
constexpr int GAME_WINDOW_HEIGHT = 600;

// Logs the mouse and key events replayed to it.
class ListeningWidget : public iInputListener {
public:
    bool onKeyDown(int32_t key) override { return note("keydown " + std::to_string(key)); }
    bool onChar(int32_t c) override { return note("char " + std::to_string(c)); }
    bool onLeftButtonDown(int32_t x, int32_t y, int32_t buttons, bool dbl) override {
        return note("ldown " + std::to_string(x) + " " + std::to_string(y) + " " +
                    std::to_string(buttons) + (dbl ? " dbl" : ""));
    }
    bool onLeftButtonUp(int32_t x, int32_t y, int32_t buttons) override {
        return note("lup " + std::to_string(x) + " " + std::to_string(y) + " " +
                    std::to_string(buttons));
    }
    void cancelInput() override {}
    std::vector<std::string> log;

private:
    bool note(const std::string& event) {
        log.push_back(event);
        return true;
    }
};

// The game window on the real SDL services under the dummy video driver.
class GameWindowSdlTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "dummy", 0);
        GameWindow::setOpenRetried(false);
        display = std::make_unique<SdlDisplay>();
        events = std::make_unique<SdlEventSource>(*display);
    }
    void TearDown() override {
        GameWindow::releaseInstance();
        setDisplayBytesPerPixel(4);
        events.reset();
        display.reset();
    }

    GameWindow* open(bool fullScreen, int32_t depth) {
        const WindowServices services{display.get(), events.get(), &cursor,
                                      &clipboard,    &messageBox,  &clock};
        GameWindow* window = GameWindow::createInstance(services, "Quovel", GAME_WINDOW_WIDTH,
                                                        GAME_WINDOW_HEIGHT, fullScreen, depth, 102);
        pump();
        return window;
    }
    // The main loop's message half: every waiting message through the window procedure.
    // Returns the quit code, or -1 when no quit message came.
    int64_t pump() {
        MessageRecord record;
        while (events->nextMessage(record)) {
            if (record.message == WM_QUIT) {
                return record.wParam;
            }
            GameWindow::getInstance()->windowProcedure(record);
        }
        return -1;
    }
    void push(SDL_Event event) { ASSERT_EQ(SDL_PushEvent(&event), 1); }
    void pushKey(bool down, SDL_Keycode key) {
        SDL_Event event{};
        event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        event.key.windowID = display->windowId();
        event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
        event.key.keysym.sym = key;
        push(event);
    }
    void pushButton(bool down, uint8_t clicks, int x, int y) {
        SDL_Event event{};
        event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
        event.button.windowID = display->windowId();
        event.button.button = SDL_BUTTON_LEFT;
        event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
        event.button.clicks = clicks;
        event.button.x = x;
        event.button.y = y;
        push(event);
    }
    // What the window shows, as 0xRRGGBB, read back from the renderer.
    std::vector<uint32_t> shown(int width, int height) {
        std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
        EXPECT_EQ(SDL_RenderReadPixels(display->sdlRenderer(), nullptr, SDL_PIXELFORMAT_XRGB8888,
                                       pixels.data(), width * 4),
                  0)
            << SDL_GetError();
        for (uint32_t& pixel : pixels) {
            pixel &= 0xFFFFFF;
        }
        return pixels;
    }

    std::unique_ptr<SdlDisplay> display;
    std::unique_ptr<SdlEventSource> events;
    SdlCursor cursor;
    SdlClipboard clipboard;
    StderrMessageBox messageBox;
    SystemClock clock;
};

TEST_F(GameWindowSdlTest, PresentsTheBackBufferAt32Bits) {
    GameWindow* window = open(false, 0);
    ASSERT_NE(window->getBackBuffer(), nullptr);
    ASSERT_FALSE(window->isPaused());
    ASSERT_EQ(window->getBytesPerPixel(), 4);
    Image* back = window->getBackBuffer();
    ASSERT_TRUE(back->lock());
    std::vector<uint32_t> expected(static_cast<size_t>(GAME_WINDOW_WIDTH) * GAME_WINDOW_HEIGHT);
    for (int y = 0; y < GAME_WINDOW_HEIGHT; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(back->getPixels() + y * back->getPitch());
        for (int x = 0; x < GAME_WINDOW_WIDTH; ++x) {
            row[x] = 0xFF000000u | static_cast<uint32_t>((x & 0xFF) << 16 | (y & 0xFF) << 8 | 0x40);
            expected[static_cast<size_t>(y) * GAME_WINDOW_WIDTH + x] = row[x] & 0xFFFFFF;
        }
    }
    back->unlock();
    window->update(16);
    EXPECT_FALSE(window->isPaused());
    EXPECT_EQ(shown(GAME_WINDOW_WIDTH, GAME_WINDOW_HEIGHT), expected);
}

TEST_F(GameWindowSdlTest, PresentsA16BitBackBufferWithItsAlphaPlaneInFullScreen) {
    GameWindow* window = open(true, 2);
    ASSERT_TRUE(window->isFullScreen());
    ASSERT_EQ(window->getBytesPerPixel(), 2);
    EXPECT_EQ(getDisplayBytesPerPixel(), 2);
    Image* back = window->getBackBuffer();
    ASSERT_NE(back, nullptr);
    EXPECT_NE(back->getAlphaPlane(), nullptr);
    // Pure red in RGB565 over the whole buffer.
    ASSERT_TRUE(back->lock());
    for (int y = 0; y < GAME_WINDOW_HEIGHT; ++y) {
        auto* row = reinterpret_cast<uint16_t*>(back->getPixels() + y * back->getPitch());
        std::fill(row, row + GAME_WINDOW_WIDTH, static_cast<uint16_t>(0xF800));
    }
    back->unlock();
    window->update(16);
    EXPECT_FALSE(window->isPaused());
    // The desktop-sized window shows the game letterboxed: its middle is the frame's color.
    int outputWidth = 0;
    int outputHeight = 0;
    ASSERT_EQ(SDL_GetRendererOutputSize(display->sdlRenderer(), &outputWidth, &outputHeight), 0);
    SDL_RenderSetLogicalSize(display->sdlRenderer(), 0, 0);
    const std::vector<uint32_t> pixels = shown(outputWidth, outputHeight);
    const size_t middle = static_cast<size_t>(outputHeight / 2) * outputWidth + outputWidth / 2;
    EXPECT_EQ(pixels[middle], 0xFF0000u);
}

TEST_F(GameWindowSdlTest, PushedEventsTravelTheWholeRoad) {
    GameWindow* window = open(false, 0);
    ASSERT_TRUE(window->canRunWindowed());
    RefHolder<InputHandler> input(new InputHandler());
    ListeningWidget widget;
    input->addListener(&widget);
    window->getMessageHandler()->addListener(input.get());

    pushKey(true, SDLK_ESCAPE);
    pushButton(true, 1, 120, 80);
    pushButton(true, 2, 120, 80);
    pushButton(false, 2, 120, 80);
    EXPECT_EQ(pump(), -1);
    input->update(16);
    EXPECT_EQ(widget.log, (std::vector<std::string>{"keydown 27", "char 27", "ldown 120 80 1",
                                                    "ldown 120 80 1 dbl", "lup 120 80 0"}));

    // Alt+Enter: the key state sees both keys, no widget does, and the window goes full screen.
    widget.log.clear();
    pushKey(true, SDLK_LALT);
    pushKey(true, SDLK_RETURN);
    pump();
    EXPECT_TRUE(InputHandler::isKeyDown(VK_MENU));
    EXPECT_TRUE(InputHandler::isKeyDown(VK_RETURN));
    pushKey(false, SDLK_RETURN);
    pushKey(false, SDLK_LALT);
    pump();
    input->update(16);
    EXPECT_TRUE(widget.log.empty());
    EXPECT_TRUE(window->isFullScreen());
    EXPECT_TRUE(display->isFullScreen());
    window->update(16);
    EXPECT_FALSE(window->isPaused());

    // Closing with no scene shown ends the loop.
    window->getMessageHandler()->removeListener(input.get());
    SDL_Event close{};
    close.type = SDL_WINDOWEVENT;
    close.window.windowID = display->windowId();
    close.window.event = SDL_WINDOWEVENT_CLOSE;
    push(close);
    EXPECT_EQ(pump(), 0);
    EXPECT_FALSE(display->hasWindow());
}

}  // namespace game_window_sdl_test
