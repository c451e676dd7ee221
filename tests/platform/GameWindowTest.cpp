#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "framework/core/GameNode.h"
#include "framework/core/IRenderable.h"
#include "framework/platform/RenderTask.h"
#include "platform/FakeWindow.h"
#include "testsupport/os/FakeInstanceLock.h"

namespace game_window_test {

using GameWindowTest = FakeWindowTest;

TEST_F(GameWindowTest, OpensAWindowOnALargeDesktopAtTheDesktopDepth) {
    GameWindow* window = open(false);
    EXPECT_EQ(display.calls, (std::vector<std::string>{"createWindow windowed", "createPresenter 4",
                                                       "setClientPosition 112,97", "show"}));
    EXPECT_TRUE(display.shown);
    EXPECT_EQ(display.title, "Quovel");
    EXPECT_FALSE(window->isFullScreen());
    EXPECT_TRUE(window->canRunWindowed());
    EXPECT_FALSE(window->isPaused());
    EXPECT_EQ(window->getIconId(), 102);
    ASSERT_NE(window->getBackBuffer(), nullptr);
    EXPECT_EQ(window->getBackBuffer()->getWidth(), 800);
    EXPECT_EQ(window->getBackBuffer()->getHeight(), 600);
    EXPECT_EQ(window->getBackBuffer()->getBytesPerPixel(), 4);
    // A window gets the arrow as soon as it exists.
    EXPECT_EQ(cursor.applied, (std::vector<int>{2}));
    EXPECT_TRUE(messageBox.shown.empty());

    // A frame presents the back buffer when its picture changed: a back buffer nothing was
    // drawn into is not shown again, nor one drawn again with the same picture; a changed one
    // is, and a repaint request shows it whatever it holds.
    window->update(16);
    window->update(16);
    EXPECT_EQ(display.presentCount, 1);
    EXPECT_EQ(display.lastPixels, display.backBuffer.pixels);
    EXPECT_EQ(display.lastPitch, 800 * 4);
    Image* back = window->getBackBuffer();
    back->markChanged();
    window->update(16);
    EXPECT_EQ(display.presentCount, 1);
    ASSERT_TRUE(back->lock());
    back->getPixels()[800 * 4 * 599 + 4 * 799] ^= 0xFF;
    back->unlock();
    back->markChanged();
    window->update(16);
    window->update(16);
    EXPECT_EQ(display.presentCount, 2);
    window->windowProcedure({WM_PAINT, 0, 0});
    EXPECT_EQ(display.presentCount, 3);
}

TEST_F(GameWindowTest, ADesktopOfAtMost800By600ForcesFullScreenAndAltEnterDoesNothing) {
    display.screenW = 800;
    display.screenH = 600;
    GameWindow* window = open(false);
    EXPECT_TRUE(window->isFullScreen());
    EXPECT_FALSE(window->canRunWindowed());
    EXPECT_EQ(display.calls.front(), "createWindow full");

    display.calls.clear();
    send(WM_SYSKEYDOWN, VK_RETURN);
    EXPECT_TRUE(window->isFullScreen());
    EXPECT_EQ(windowCreations(), 0);
    EXPECT_TRUE(listener.privateMessages().empty());
}

TEST_F(GameWindowTest, OnlyADesktopSmallerOnBothSidesForcesFullScreen) {
    display.screenW = 800;
    display.screenH = 768;
    GameWindow* window = open(false);
    EXPECT_FALSE(window->isFullScreen());
    EXPECT_TRUE(window->canRunWindowed());
}

TEST_F(GameWindowTest, AltEnterTogglesFullScreenAndAnnouncesTheChange) {
    GameWindow* window = open(false);
    display.calls.clear();
    send(WM_SYSKEYDOWN, VK_RETURN);
    EXPECT_TRUE(window->isFullScreen());
    EXPECT_TRUE(display.fullScreen);
    EXPECT_TRUE(display.shown);                        // the remade window is shown again
    send(WM_SYSKEYDOWN, 'A');                          // other Alt keys do nothing
    send(WM_SYSKEYDOWN, VK_RETURN, KEY_WAS_DOWN | 1);  // nor does holding Alt+Enter
    EXPECT_TRUE(window->isFullScreen());
    send(WM_SYSKEYDOWN, VK_RETURN);
    EXPECT_FALSE(window->isFullScreen());
    EXPECT_EQ(windowCreations(), 2);
    EXPECT_EQ(listener.privateMessages(),
              (std::vector<MessageRecord>{{MSG_FULLSCREEN_CHANGED, 1, 0},
                                          {MSG_FULLSCREEN_CHANGED, 0, 0}}));
    // Setting the mode it is already in changes nothing.
    window->setFullScreen(false);
    EXPECT_EQ(windowCreations(), 2);
}

TEST_F(GameWindowTest, TheMaximiseBoxGoesFullScreenOnce) {
    GameWindow* window = open(false);
    send(WM_SIZE, SIZE_MAXIMIZED);
    EXPECT_TRUE(window->isFullScreen());
    display.calls.clear();
    send(WM_SIZE, SIZE_MAXIMIZED);
    EXPECT_TRUE(window->isFullScreen());
    EXPECT_EQ(windowCreations(), 0);
}

TEST_F(GameWindowTest, AFailedFullScreenWindowFallsBackToAWindowAtOnce) {
    display.fullScreenFails = true;
    GameWindow* window = open(true);
    EXPECT_EQ(display.calls,
              (std::vector<std::string>{"createWindow full", "createWindow windowed",
                                        "createPresenter 4", "setClientPosition 112,97", "show"}));
    EXPECT_FALSE(window->isFullScreen());
    EXPECT_FALSE(window->isPaused());
    EXPECT_FALSE(GameWindow::isOpenRetried());
}

TEST_F(GameWindowTest, AFailedOpenIsRetriedOnceInTheOtherMode) {
    display.windowedFails = true;
    GameWindow* window = open(false);
    EXPECT_EQ(display.calls,
              (std::vector<std::string>{"createWindow windowed", "destroyWindow",
                                        "createWindow full", "createPresenter 4", "show"}));
    EXPECT_TRUE(window->isFullScreen());
    EXPECT_FALSE(window->isPaused());
    EXPECT_FALSE(GameWindow::isOpenRetried());  // a success clears it
    EXPECT_TRUE(messageBox.shown.empty());
    EXPECT_TRUE(events.queue.empty());
}

TEST_F(GameWindowTest, TwoFailuresShowTheErrorBoxAndQuit) {
    display.presenterFails = true;
    GameWindow* window = open(false);
    ASSERT_EQ(messageBox.shown.size(), 1u);
    EXPECT_EQ(messageBox.shown[0].title, "Error");
    EXPECT_EQ(messageBox.shown[0].text,
              "Something went wrong with creating the game-window.\nThis game will quit now.");
    ASSERT_EQ(events.queue.size(), 1u);
    EXPECT_EQ(events.queue.front(), (MessageRecord{WM_QUIT, 0, 0}));
    EXPECT_TRUE(window->isPaused());
    EXPECT_FALSE(display.window);
    EXPECT_EQ(window->getBackBuffer(), nullptr);
    // A paused window sleeps instead of presenting.
    window->update(16);
    EXPECT_EQ(display.presentCount, 0);
    EXPECT_EQ(clock.sleeps, (std::vector<uint32_t>{10}));
}

TEST_F(GameWindowTest, AWindowOnADesktopItCannotShowGoesFullScreenAt16Bits) {
    display.desktopDepth = 3;
    RefHolder<Image> picture(Image::createImage(4, 4));  // follows the display
    GameWindow* window = open(false);
    EXPECT_TRUE(window->isFullScreen());
    EXPECT_FALSE(window->canRunWindowed());
    EXPECT_EQ(window->getBytesPerPixel(), 2);
    EXPECT_FALSE(window->isSwitchingMode());
    // Destroying the first window did not end the run.
    EXPECT_TRUE(events.queue.empty());
    ASSERT_NE(window->getBackBuffer(), nullptr);
    EXPECT_EQ(window->getBackBuffer()->getBytesPerPixel(), 2);
    EXPECT_NE(window->getBackBuffer()->getAlphaPlane(), nullptr);
    EXPECT_EQ(getDisplayBytesPerPixel(), 2);
    EXPECT_EQ(picture->getBytesPerPixel(), 2);  // every image follows the new depth
}

TEST_F(GameWindowTest, TheWindowIsCentredWithItsFrameAndFollowsWhereItIsMoved) {
    // 1024 x 768 screen; the frame adds 4 left, 30 top, 4 right and 4 bottom.
    GameWindow* window = open(false);
    EXPECT_EQ(window->getFrameRect(), (Rect{-4, -30, 808, 634}));
    EXPECT_EQ(window->getX(), 108);
    EXPECT_EQ(window->getY(), 67);
    EXPECT_EQ(window->getClientScreenX(), 112);
    EXPECT_EQ(window->getClientScreenY(), 97);
    window->moveWindow(-10, 5);
    EXPECT_EQ(display.clientX, -6);
    EXPECT_EQ(display.clientY, 35);
    // The player drags the window: its position follows.
    display.clientX = 300;
    display.clientY = 200;
    send(WM_MOVE);
    EXPECT_EQ(window->getX(), 296);
    EXPECT_EQ(window->getY(), 170);
    window->setX(1);
    EXPECT_EQ(display.clientX, 300);  // the setters only keep the value

    // Vertical sync stays chosen across a change of mode; a full-screen window has no frame.
    window->setVSync(true);
    window->setFullScreen(true);
    EXPECT_TRUE(window->isVSync());
    EXPECT_TRUE(display.vSync);
    EXPECT_EQ(window->getFrameRect(), (Rect{0, 0, 800, 600}));
    EXPECT_EQ(window->getX(), 112);
    EXPECT_EQ(window->getY(), 84);
    window->releaseInstance();
    EXPECT_EQ(GameWindow::getInstance(), nullptr);
}

TEST_F(GameWindowTest, TheBackBufferIsASurfaceOverTheDisplaysMemory) {
    GameWindow* window = open(true, 2);
    Image* back = window->getBackBuffer();
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->getAlphaPlane(), display.backBuffer.alphaPlane);
    EXPECT_FALSE(back->getOwnsBuffers());
    EXPECT_EQ(Image::copyImage(back), nullptr);
    // A 16-bit copy into it takes the color only; its alpha plane keeps what it had.
    RefHolder<Image> tile(Image::createImage(2, 2, 2));
    ASSERT_TRUE(tile->lock());
    std::fill_n(reinterpret_cast<uint16_t*>(tile->getPixels()), 4, uint16_t{0x07E0});
    std::fill_n(tile->getAlphaPlane(), 4, uint8_t{0x80});
    tile->unlock();
    window->getGraphics()->copyRect(tile.get(), 10, 20, 0, 0, 2, 2);
    uint16_t shown = 0;
    std::memcpy(&shown, display.backBuffer.pixels + 20 * 800 * 2 + 11 * 2, 2);
    EXPECT_EQ(shown, 0x07E0);
    EXPECT_EQ(display.backBuffer.alphaPlane[20 * 800 + 11], 0);
    window->update(16);
    EXPECT_EQ(display.lastPixels, display.backBuffer.pixels);
}

TEST_F(GameWindowTest, FullScreenTakesTheRequestedDepth) {
    GameWindow* window = open(true, 2);
    EXPECT_EQ(window->getBytesPerPixel(), 2);
    EXPECT_EQ(display.bytesPerPixel, 2);
    window->update(16);
    EXPECT_EQ(display.lastPitch, 800 * 2);
    // A depth the display cannot show is taken as "the desktop's".
    GameWindow::releaseInstance();
    window = open(true, 3);
    EXPECT_EQ(window->getBytesPerPixel(), 4);
}

TEST_F(GameWindowTest, MinimiseAndRestoreSendThePrivateMessages) {
    GameWindow* window = open(false);
    send(WM_SIZE, SIZE_MINIMIZED);
    EXPECT_TRUE(window->isPaused());
    send(WM_SIZE, SIZE_RESTORED);
    EXPECT_FALSE(window->isPaused());
    // Listeners hear the window message itself first, then the private message.
    EXPECT_EQ(listener.records, (std::vector<MessageRecord>{{WM_SIZE, SIZE_MINIMIZED, 0},
                                                            {MSG_DEACTIVATED, 0, 0},
                                                            {WM_SIZE, SIZE_RESTORED, 0},
                                                            {MSG_ACTIVATED, 0, 0}}));
}

TEST_F(GameWindowTest, FocusLossPausesOnlyInFullScreen) {
    GameWindow* window = open(false);
    send(WM_KILLFOCUS);
    EXPECT_FALSE(window->isPaused());
    EXPECT_FALSE(window->hasFocus());
    send(WM_SETFOCUS);
    EXPECT_TRUE(window->hasFocus());
    window->setFullScreen(true);
    listener.records.clear();
    send(WM_KILLFOCUS);
    EXPECT_TRUE(window->isPaused());
    // Paused, a repaint request still shows the whole frame (a box that took the focus left
    // its picture on the window); with the focus back the next frame shows it whole again,
    // though nothing was drawn since.
    const int presented = display.presentCount;
    send(WM_PAINT);
    EXPECT_EQ(display.presentCount, presented + 1);
    send(WM_SETFOCUS);
    EXPECT_FALSE(window->isPaused());
    window->update(16);
    EXPECT_EQ(display.presentCount, presented + 2);
    EXPECT_EQ(listener.privateMessages(),
              (std::vector<MessageRecord>{{MSG_DEACTIVATED, 0, 0}, {MSG_ACTIVATED, 0, 0}}));
}

TEST_F(GameWindowTest, OtherMessagesThatEndAPause) {
    GameWindow* window = open(false);
    window->setPaused(true);
    send(WM_ACTIVATEAPP, 0);
    EXPECT_TRUE(window->isPaused());
    send(WM_ACTIVATEAPP, 1);
    EXPECT_FALSE(window->isPaused());
    window->setPaused(true);
    send(WM_NCPAINT);
    EXPECT_FALSE(window->isPaused());
}

TEST_F(GameWindowTest, AFrameThatCannotBeShownPausesTheGame) {
    GameWindow* window = open(false);
    display.presentFails = true;
    send(WM_PAINT);
    EXPECT_TRUE(window->isPaused());
    display.presentFails = false;
    send(WM_SETFOCUS);
    window->update(16);
    EXPECT_EQ(display.presentCount, 1);
}

TEST_F(GameWindowTest, ClosingWithoutASceneClosesTheWindowAndQuits) {
    GameWindow* window = open(false);
    send(WM_CLOSE);
    EXPECT_FALSE(display.window);
    EXPECT_EQ(window->getBackBuffer(), nullptr);
    EXPECT_EQ(listener.records, (std::vector<MessageRecord>{{WM_CLOSE, 0, 0}, {WM_DESTROY, 0, 0}}));
    ASSERT_EQ(events.queue.size(), 1u);
    EXPECT_EQ(events.queue.front().message, WM_QUIT);
}

GameNode* shownScene = nullptr;
std::vector<GameNode*> quitRequests;

TEST_F(GameWindowTest, ClosingWithASceneAsksTheScene) {
    GameNode scene;
    scene.addRef();  // on the stack: never released to 0
    shownScene = &scene;
    quitRequests.clear();
    SceneHooks::currentScene.install([] { return shownScene; });
    SceneHooks::quitRequest.install([](GameNode* node) { quitRequests.push_back(node); });
    open(false);
    send(WM_CLOSE);
    EXPECT_EQ(quitRequests, (std::vector<GameNode*>{&scene}));
    EXPECT_TRUE(display.window);
    EXPECT_TRUE(events.queue.empty());
    // Without a current scene the window closes at once.
    shownScene = nullptr;
    send(WM_CLOSE);
    EXPECT_FALSE(display.window);
    EXPECT_EQ(quitRequests.size(), 1u);
}

TEST_F(GameWindowTest, CursorCaptureAndClipboard) {
    GameWindow* window = open(false);
    window->setCursorKind(1);
    window->setCursorKind(1);  // unchanged: not applied again
    send(WM_LBUTTONDOWN, MK_LBUTTON, packCoordinates(5, 5));
    EXPECT_TRUE(events.captured);
    EXPECT_EQ(cursor.applied, (std::vector<int>{2, 1, 1}));
    send(WM_LBUTTONUP, 0, packCoordinates(5, 5));
    EXPECT_FALSE(events.captured);
    send(WM_SETCURSOR);
    EXPECT_EQ(cursor.applied.size(), 4u);
    EXPECT_EQ(window->getLoadedCursor(), 1);

    EXPECT_TRUE(GameWindow::setClipboardText("Tile \xE2\x80\x94 pair"));
    EXPECT_EQ(GameWindow::getClipboardText(), "Tile \xE2\x80\x94 pair");
    GameWindow::releaseInstance();
    EXPECT_FALSE(GameWindow::setClipboardText("gone"));
    EXPECT_EQ(GameWindow::getClipboardText(), "");
}

TEST_F(GameWindowTest, MinimiseCommandsReachTheDisplay) {
    GameWindow* window = open(false);
    window->minimise();
    EXPECT_TRUE(display.minimised);
    display.minimised = false;
    send(WM_SYSCOMMAND, SC_MINIMIZE);
    EXPECT_TRUE(display.minimised);
}

TEST_F(GameWindowTest, ASecondCopyStopsAndCallsTheFirstForward) {
    FakeInstanceLock lock;
    lock.anotherCopyRunning = true;
    display.directXVersion = 0x801;
    EXPECT_TRUE(GameWindow::checkSingleInstance(lock, display));
    EXPECT_EQ(lock.signalsSent, 1);

    FakeInstanceLock ours;
    EXPECT_FALSE(GameWindow::checkSingleInstance(ours, display));
    EXPECT_TRUE(ours.held);
    EXPECT_EQ(GameWindow::getDisplayVersion(), 0x801u);
    // The running copy answers a request on its next frame.
    GameWindow* window = open(false);
    display.minimise();
    ours.raiseRequests = 1;
    window->update(16);
    EXPECT_FALSE(display.minimised);
    EXPECT_EQ(display.calls.back(), "restoreAndRaise");
    EXPECT_FALSE(window->answerRaiseRequest());
    // After that the frames look for a request only every RAISE_CHECK_MS, and still answer it.
    display.minimise();
    ours.raiseRequests = 1;
    window->update(16);
    EXPECT_EQ(ours.raiseRequests, 1);
    window->update(GameWindow::RAISE_CHECK_MS - 16);
    EXPECT_EQ(ours.raiseRequests, 0);
    EXPECT_FALSE(display.minimised);
}

// A node that fills a 10 x 10 square at its position.
class FillNode : public GameNode, public IRenderable {
public:
    FillNode(int32_t x, int32_t y, uint32_t color) : color(color) { setPosition(x, y); }
    void* castTo(const TypeRecord* type) override {
        return type == &IRenderable::typeRecord ? static_cast<IRenderable*>(this)
                                                : GameNode::castTo(type);
    }
    void render(Graphics* graphics) override {
        graphics->setColor(color);
        graphics->fillRect(getX(), getY(), 10, 10);
    }
    uint32_t color;
};

TEST_F(GameWindowTest, TheRenderPassDrawsIntoTheBackBufferAtEitherDepth) {
    for (const int32_t depth : {4, 2}) {
        GameWindow* window = open(true, depth);
        ASSERT_NE(window->getGraphics(), nullptr);
        RefHolder<GameTree> tree(new GameTree());
        auto* parent = new FillNode(100, 50, 0xFF0000FF);
        GameNode::appendChild(parent, tree.get());
        GameNode::appendChild(new FillNode(20, 0, 0xFFFF0000), parent);
        RenderTask task(tree.get());
        task.update(16);
        Image* back = window->getBackBuffer();
        ASSERT_TRUE(back->lock());
        const auto pixel = [back, depth](int32_t x, int32_t y) -> uint32_t {
            const uint8_t* at = back->getPixels() + y * back->getPitch() + x * depth;
            return depth == 4 ? *reinterpret_cast<const uint32_t*>(at) & 0xFFFFFF
                              : *reinterpret_cast<const uint16_t*>(at);
        };
        // The child draws relative to its parent, over nothing else.
        EXPECT_EQ(pixel(105, 55), depth == 4 ? 0x0000FFu : 0x001Fu) << depth;
        EXPECT_EQ(pixel(125, 55), depth == 4 ? 0xFF0000u : 0xF800u) << depth;
        EXPECT_EQ(pixel(135, 55), 0u) << depth;
        back->unlock();
        GameWindow::releaseInstance();
    }
}

}  // namespace game_window_test
