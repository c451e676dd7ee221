#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string_view>
#include <vector>

#include "framework/os/SdlDisplay.h"
#include "framework/os/SdlEventSource.h"

namespace sdl_event_source_test {

constexpr int EVENT_WINDOW_WIDTH = 800;
constexpr int EVENT_WINDOW_HEIGHT = 600;

// A real SDL window under the dummy driver, fed with pushed events.
class SdlEventSourceTest : public ::testing::Test {
protected:
    void SetUp() override { setenv("SDL_VIDEODRIVER", "dummy", 0); }

    void open(bool fullScreen) {
        display = std::make_unique<SdlDisplay>();
        ASSERT_TRUE(
            display->createWindow("Quovel", EVENT_WINDOW_WIDTH, EVENT_WINDOW_HEIGHT, fullScreen))
            << SDL_GetError();
        ASSERT_TRUE(display->createPresenter(4)) << SDL_GetError();
        display->show();
        source = std::make_unique<SdlEventSource>(*display);
        drain();
    }

    std::vector<MessageRecord> drain() {
        std::vector<MessageRecord> records;
        MessageRecord record;
        while (source->nextMessage(record)) {
            records.push_back(record);
        }
        return records;
    }

    void pushKey(bool down, SDL_Keycode key) {
        SDL_Event event{};
        event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        event.key.windowID = display->windowId();
        event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
        event.key.keysym.sym = key;
        ASSERT_EQ(SDL_PushEvent(&event), 1);
    }
    void pushText(const char* text) {
        SDL_Event event{};
        event.type = SDL_TEXTINPUT;
        event.text.windowID = display->windowId();
        SDL_strlcpy(event.text.text, text, sizeof event.text.text);
        ASSERT_EQ(SDL_PushEvent(&event), 1);
    }
    void pushMotion(int x, int y, uint32_t state) {
        SDL_Event event{};
        event.type = SDL_MOUSEMOTION;
        event.motion.windowID = display->windowId();
        event.motion.x = x;
        event.motion.y = y;
        event.motion.state = state;
        ASSERT_EQ(SDL_PushEvent(&event), 1);
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
        ASSERT_EQ(SDL_PushEvent(&event), 1);
    }
    void pushWindow(uint32_t windowId, uint8_t kind) {
        SDL_Event event{};
        event.type = SDL_WINDOWEVENT;
        event.window.windowID = windowId;
        event.window.event = kind;
        ASSERT_EQ(SDL_PushEvent(&event), 1);
    }

    std::unique_ptr<SdlDisplay> display;
    std::unique_ptr<SdlEventSource> source;
};

TEST_F(SdlEventSourceTest, KeysCharactersAndAlt) {
    open(false);
    pushKey(true, SDLK_a);
    pushText("a");
    pushKey(false, SDLK_a);
    pushKey(true, SDLK_BACKSPACE);
    pushKey(true, SDLK_ESCAPE);
    pushKey(true, SDLK_LALT);
    pushKey(true, SDLK_RETURN);
    pushKey(false, SDLK_RETURN);
    pushKey(false, SDLK_LALT);
    pushKey(true, SDLK_F5);
    const std::vector<MessageRecord> records = drain();
    const std::vector<std::pair<uint32_t, uint32_t>> expected = {{WM_KEYDOWN, 'A'},
                                                                 {WM_CHAR, 'a'},
                                                                 {WM_KEYUP, 'A'},
                                                                 {WM_KEYDOWN, VK_BACK},
                                                                 {WM_CHAR, 8},
                                                                 {WM_KEYDOWN, VK_ESCAPE},
                                                                 {WM_CHAR, 27},
                                                                 {WM_SYSKEYDOWN, VK_MENU},
                                                                 {WM_SYSKEYDOWN, VK_RETURN},
                                                                 {WM_SYSKEYUP, VK_RETURN},
                                                                 {WM_SYSKEYUP, VK_MENU},
                                                                 {WM_KEYDOWN, VK_F1 + 4}};
    ASSERT_EQ(records.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(records[i].message, expected[i].first) << i;
        EXPECT_EQ(records[i].wParam, expected[i].second) << i;
    }
}

TEST_F(SdlEventSourceTest, MouseRecordsCarryTrackedModifiers) {
    open(false);
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

TEST_F(SdlEventSourceTest, FullScreenMouseCoordinatesAreTheGamesPixels) {
    open(true);
    int windowWidth = 0;
    int windowHeight = 0;
    SDL_GetWindowSize(display->sdlWindow(), &windowWidth, &windowHeight);
    if (windowWidth == EVENT_WINDOW_WIDTH && windowHeight == EVENT_WINDOW_HEIGHT) {
        GTEST_SKIP() << "the desktop is the game's size; nothing is scaled";
    }
    float logicalX = 0;
    float logicalY = 0;
    SDL_RenderWindowToLogical(display->sdlRenderer(), windowWidth / 2, windowHeight / 2, &logicalX,
                              &logicalY);
    ASSERT_NEAR(logicalX, EVENT_WINDOW_WIDTH / 2, 1.0f);
    pushMotion(windowWidth / 2, windowHeight / 2, 0);
    const std::vector<MessageRecord> records = drain();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_NEAR(static_cast<int>(loWord(records[0].lParam)), EVENT_WINDOW_WIDTH / 2, 1);
    EXPECT_NEAR(static_cast<int>(hiWord(records[0].lParam)), EVENT_WINDOW_HEIGHT / 2, 1);

    if (std::string_view(SDL_GetCurrentVideoDriver()) != "dummy") {
        GTEST_SKIP() << "where a full-screen window sits is the window manager's choice";
    }
    SDL_WarpMouseInWindow(display->sdlWindow(), windowWidth / 2, windowHeight / 2);
    int32_t x = 0;
    int32_t y = 0;
    ASSERT_TRUE(source->cursorPosition(x, y));
    EXPECT_NEAR(x, EVENT_WINDOW_WIDTH / 2, 1);
    EXPECT_NEAR(y, EVENT_WINDOW_HEIGHT / 2, 1);
}

TEST_F(SdlEventSourceTest, CursorPositionInAWindow) {
    open(false);
    SDL_WarpMouseInWindow(display->sdlWindow(), 123, 45);
    int32_t x = 0;
    int32_t y = 0;
    ASSERT_TRUE(source->cursorPosition(x, y));
    EXPECT_EQ(x, 123);
    EXPECT_EQ(y, 45);
    display->destroyWindow();
    EXPECT_FALSE(source->cursorPosition(x, y));
}

TEST_F(SdlEventSourceTest, WindowEventsOfTheCurrentWindow) {
    open(false);
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

TEST_F(SdlEventSourceTest, OwnFullScreenSwitchMakesNoSizeMessages) {
    open(false);
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

TEST_F(SdlEventSourceTest, RendererResetRemakesTheTextureWithoutAMessage) {
    open(false);
    std::vector<uint32_t> frame(static_cast<size_t>(EVENT_WINDOW_WIDTH) * EVENT_WINDOW_HEIGHT);
    ASSERT_TRUE(display->present(frame.data(), EVENT_WINDOW_WIDTH * 4));
    EXPECT_EQ(display->textureCreations(), 1);
    SDL_Event reset{};
    reset.type = SDL_RENDER_TARGETS_RESET;
    ASSERT_EQ(SDL_PushEvent(&reset), 1);
    reset.type = SDL_RENDER_DEVICE_RESET;
    ASSERT_EQ(SDL_PushEvent(&reset), 1);
    EXPECT_TRUE(drain().empty());
    ASSERT_TRUE(display->present(frame.data(), EVENT_WINDOW_WIDTH * 4));
    EXPECT_EQ(display->textureCreations(), 2);
}

TEST_F(SdlEventSourceTest, PostedQuitFollowsTheRecordsAlreadyTaken) {
    open(false);
    pushKey(true, SDLK_BACKSPACE);
    MessageRecord record;
    ASSERT_TRUE(source->nextMessage(record));
    EXPECT_EQ(record.message, WM_KEYDOWN);
    source->postQuit(3);
    pushKey(true, SDLK_ESCAPE);
    ASSERT_TRUE(source->nextMessage(record));
    EXPECT_EQ(record, (MessageRecord{WM_CHAR, 8, record.lParam}));
    ASSERT_TRUE(source->nextMessage(record));
    EXPECT_EQ(record, (MessageRecord{WM_QUIT, 3, 0}));
    ASSERT_TRUE(source->nextMessage(record));
    EXPECT_EQ(record.wParam, VK_ESCAPE);
}

}  // namespace sdl_event_source_test
