#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
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

namespace sdl_window_test {

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

// The game window, or the bare display and its event source, on the real SDL services under
// the dummy video driver, fed with pushed events.
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
    // The bare display and its event source, without a game window.
    void openDisplay(bool fullScreen) {
        ASSERT_TRUE(
            display->createWindow("Quovel", GAME_WINDOW_WIDTH, GAME_WINDOW_HEIGHT, fullScreen))
            << SDL_GetError();
        ASSERT_TRUE(display->createPresenter(4)) << SDL_GetError();
        display->show();
        drain();
    }
    std::vector<MessageRecord> drain() {
        std::vector<MessageRecord> records;
        MessageRecord record;
        while (events->nextMessage(record)) {
            records.push_back(record);
        }
        return records;
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
    void pushText(const char* text) {
        SDL_Event event{};
        event.type = SDL_TEXTINPUT;
        event.text.windowID = display->windowId();
        SDL_strlcpy(event.text.text, text, sizeof event.text.text);
        push(event);
    }
    void pushMotion(int x, int y, uint32_t state) {
        SDL_Event event{};
        event.type = SDL_MOUSEMOTION;
        event.motion.windowID = display->windowId();
        event.motion.x = x;
        event.motion.y = y;
        event.motion.state = state;
        push(event);
    }
    void pushButton(bool down, uint8_t button, uint8_t clicks, int x, int y) {
        SDL_Event event{};
        event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
        event.button.windowID = display->windowId();
        event.button.button = button;
        event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
        event.button.clicks = clicks;
        event.button.x = x;
        event.button.y = y;
        push(event);
    }
    void pushWindow(uint32_t windowId, uint8_t kind) {
        SDL_Event event{};
        event.type = SDL_WINDOWEVENT;
        event.window.windowID = windowId;
        event.window.event = kind;
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
    pushButton(true, SDL_BUTTON_LEFT, 1, 120, 80);
    pushButton(true, SDL_BUTTON_LEFT, 2, 120, 80);
    pushButton(false, SDL_BUTTON_LEFT, 2, 120, 80);
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
    pushWindow(display->windowId(), SDL_WINDOWEVENT_CLOSE);
    EXPECT_EQ(pump(), 0);
    EXPECT_FALSE(display->hasWindow());
}

TEST_F(GameWindowSdlTest, KeysCharactersAndAlt) {
    openDisplay(false);
    pushKey(true, SDLK_a);
    pushText("a");
    pushKey(false, SDLK_a);
    pushKey(true, SDLK_BACKSPACE);
    pushKey(true, SDLK_LALT);
    pushKey(true, SDLK_RETURN);
    pushKey(false, SDLK_RETURN);
    pushKey(false, SDLK_LALT);
    pushKey(true, SDLK_F5);
    // The messages, and the key or character each carries.
    std::vector<uint32_t> messages;
    std::vector<uint32_t> keys;
    for (const MessageRecord& record : drain()) {
        messages.push_back(record.message);
        keys.push_back(record.wParam);
    }
    EXPECT_EQ(messages, (std::vector<uint32_t>{WM_KEYDOWN, WM_CHAR, WM_KEYUP, WM_KEYDOWN, WM_CHAR,
                                               WM_SYSKEYDOWN, WM_SYSKEYDOWN, WM_SYSKEYUP,
                                               WM_SYSKEYUP, WM_KEYDOWN}));
    EXPECT_EQ(keys, (std::vector<uint32_t>{'A', 'a', 'A', VK_BACK, 8, VK_MENU, VK_RETURN, VK_RETURN,
                                           VK_MENU, VK_F1 + 4}));
}

TEST_F(GameWindowSdlTest, MouseRecordsCarryTrackedModifiers) {
    openDisplay(false);
    pushKey(true, SDLK_LSHIFT);
    pushKey(true, SDLK_RCTRL);
    pushMotion(-5, 700, SDL_BUTTON_LMASK);
    pushButton(true, SDL_BUTTON_LEFT, 1, 10, 20);
    pushButton(false, SDL_BUTTON_LEFT, 1, 10, 20);
    pushButton(true, SDL_BUTTON_LEFT, 2, 10, 20);
    pushButton(true, SDL_BUTTON_RIGHT, 4, -1, -1);
    pushButton(false, SDL_BUTTON_MIDDLE, 1, 3, 4);
    // Pushed events leave SDL's own keyboard state alone; the records must not depend on it.
    std::vector<MessageRecord> records = drain();
    EXPECT_EQ(SDL_GetModState() & KMOD_SHIFT, 0);
    ASSERT_EQ(records.size(), 8u);
    const uint32_t modifiers = MK_SHIFT | MK_CONTROL;
    EXPECT_EQ(records[2], (MessageRecord{WM_MOUSEMOVE, MK_LBUTTON | modifiers, 0x02BCFFFBu}));
    EXPECT_EQ(records[3], (MessageRecord{WM_LBUTTONDOWN, MK_LBUTTON | modifiers, 10u | 20u << 16}));
    EXPECT_EQ(records[4], (MessageRecord{WM_LBUTTONUP, modifiers, 10u | 20u << 16}));
    EXPECT_EQ(records[5],
              (MessageRecord{WM_LBUTTONDBLCLK, MK_LBUTTON | modifiers, 10u | 20u << 16}));
    EXPECT_EQ(records[6],
              (MessageRecord{WM_RBUTTONDBLCLK, MK_LBUTTON | MK_RBUTTON | modifiers, 0xFFFFFFFFu}));
    EXPECT_EQ(records[7],
              (MessageRecord{WM_MBUTTONUP, MK_LBUTTON | MK_RBUTTON | modifiers, 3u | 4u << 16}));

    pushKey(false, SDLK_LSHIFT);
    pushMotion(1, 2, 0);
    records = drain();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1].wParam, MK_CONTROL);
}

TEST_F(GameWindowSdlTest, FullScreenMouseCoordinatesAreTheGamesPixels) {
    openDisplay(true);
    int windowWidth = 0;
    int windowHeight = 0;
    SDL_GetWindowSize(display->sdlWindow(), &windowWidth, &windowHeight);
    if (windowWidth == GAME_WINDOW_WIDTH && windowHeight == GAME_WINDOW_HEIGHT) {
        GTEST_SKIP() << "the desktop is the game's size; nothing is scaled";
    }
    float logicalX = 0;
    float logicalY = 0;
    SDL_RenderWindowToLogical(display->sdlRenderer(), windowWidth / 2, windowHeight / 2, &logicalX,
                              &logicalY);
    ASSERT_NEAR(logicalX, GAME_WINDOW_WIDTH / 2, 1.0f);
    pushMotion(windowWidth / 2, windowHeight / 2, 0);
    const std::vector<MessageRecord> records = drain();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_NEAR(static_cast<int>(loWord(records[0].lParam)), GAME_WINDOW_WIDTH / 2, 1);
    EXPECT_NEAR(static_cast<int>(hiWord(records[0].lParam)), GAME_WINDOW_HEIGHT / 2, 1);

    if (std::string_view(SDL_GetCurrentVideoDriver()) != "dummy") {
        GTEST_SKIP() << "where a full-screen window sits is the window manager's choice";
    }
    SDL_WarpMouseInWindow(display->sdlWindow(), windowWidth / 2, windowHeight / 2);
    int32_t x = 0;
    int32_t y = 0;
    ASSERT_TRUE(events->cursorPosition(x, y));
    EXPECT_NEAR(x, GAME_WINDOW_WIDTH / 2, 1);
    EXPECT_NEAR(y, GAME_WINDOW_HEIGHT / 2, 1);
}

TEST_F(GameWindowSdlTest, CursorPositionInAWindow) {
    openDisplay(false);
    SDL_WarpMouseInWindow(display->sdlWindow(), 123, 45);
    int32_t x = 0;
    int32_t y = 0;
    ASSERT_TRUE(events->cursorPosition(x, y));
    EXPECT_EQ(x, 123);
    EXPECT_EQ(y, 45);
    display->destroyWindow();
    EXPECT_FALSE(events->cursorPosition(x, y));
}

TEST_F(GameWindowSdlTest, WindowEventsOfTheCurrentWindow) {
    openDisplay(false);
    const uint32_t id = display->windowId();
    pushWindow(id, SDL_WINDOWEVENT_FOCUS_LOST);
    pushWindow(id + 100, SDL_WINDOWEVENT_CLOSE);
    pushWindow(id, SDL_WINDOWEVENT_MINIMIZED);
    pushWindow(id, SDL_WINDOWEVENT_RESTORED);
    pushWindow(id, SDL_WINDOWEVENT_FOCUS_GAINED);
    pushWindow(id, SDL_WINDOWEVENT_CLOSE);
    const std::vector<MessageRecord> records = drain();
    const std::vector<MessageRecord> expected = {{WM_KILLFOCUS, 0, 0},
                                                 {WM_SIZE, SIZE_MINIMIZED, 0},
                                                 {WM_SIZE, SIZE_RESTORED, 0},
                                                 {WM_SETFOCUS, 0, 0},
                                                 {WM_CLOSE, 0, 0}};
    EXPECT_EQ(records, expected);
}

TEST_F(GameWindowSdlTest, OwnFullScreenSwitchMakesNoSizeMessages) {
    openDisplay(false);
    const uint32_t id = display->windowId();
    // Size events already queued when the game switches are the switch's own.
    pushWindow(id, SDL_WINDOWEVENT_MAXIMIZED);
    pushWindow(id, SDL_WINDOWEVENT_FOCUS_GAINED);
    ASSERT_TRUE(display->setFullScreen(true));
    // A real window system may add paint and move messages of its own.
    int focusMessages = 0;
    for (const MessageRecord& record : drain()) {
        EXPECT_NE(record.message, WM_SIZE);
        focusMessages += record.message == WM_SETFOCUS ? 1 : 0;
    }
    EXPECT_EQ(focusMessages, 1);
}

TEST_F(GameWindowSdlTest, RendererResetRemakesTheTextureWithoutAMessage) {
    openDisplay(false);
    std::vector<uint32_t> frame(static_cast<size_t>(GAME_WINDOW_WIDTH) * GAME_WINDOW_HEIGHT);
    ASSERT_TRUE(display->present(frame.data(), GAME_WINDOW_WIDTH * 4));
    EXPECT_EQ(display->textureCreations(), 1);
    SDL_Event reset{};
    reset.type = SDL_RENDER_TARGETS_RESET;
    ASSERT_EQ(SDL_PushEvent(&reset), 1);
    reset.type = SDL_RENDER_DEVICE_RESET;
    ASSERT_EQ(SDL_PushEvent(&reset), 1);
    EXPECT_TRUE(drain().empty());
    ASSERT_TRUE(display->present(frame.data(), GAME_WINDOW_WIDTH * 4));
    EXPECT_EQ(display->textureCreations(), 2);
}

TEST_F(GameWindowSdlTest, PostedQuitFollowsTheRecordsAlreadyTaken) {
    openDisplay(false);
    pushKey(true, SDLK_BACKSPACE);
    MessageRecord record;
    ASSERT_TRUE(events->nextMessage(record));
    EXPECT_EQ(record.message, WM_KEYDOWN);
    events->postQuit(3);
    pushKey(true, SDLK_ESCAPE);
    ASSERT_TRUE(events->nextMessage(record));
    EXPECT_EQ(record, (MessageRecord{WM_CHAR, 8, record.lParam}));
    ASSERT_TRUE(events->nextMessage(record));
    EXPECT_EQ(record, (MessageRecord{WM_QUIT, 3, 0}));
    ASSERT_TRUE(events->nextMessage(record));
    EXPECT_EQ(record.wParam, VK_ESCAPE);
}

}  // namespace sdl_window_test
