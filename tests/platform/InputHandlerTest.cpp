#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/platform/InputHandler.h"
#include "platform/FakeWindow.h"

namespace input_handler_test {

// Logs every event it is offered as "name:event x y buttons [dbl]".
class LoggingListener : public iInputListener {
public:
    LoggingListener(std::vector<std::string>& log, std::string name, bool consumes = false)
        : log(log), name(std::move(name)), consumes(consumes) {}

    bool onKeyDown(int32_t key) override { return note("keydown " + std::to_string(key)); }
    bool onKeyUp(int32_t key) override { return note("keyup " + std::to_string(key)); }
    bool onChar(int32_t c) override { return note("char " + std::to_string(c)); }
    bool onMouseMove(int32_t x, int32_t y, int32_t buttons) override {
        return note("move" + where(x, y, buttons));
    }
    bool onLeftButtonDown(int32_t x, int32_t y, int32_t buttons, bool dbl) override {
        return note("ldown" + where(x, y, buttons) + (dbl ? " dbl" : ""));
    }
    bool onLeftButtonUp(int32_t x, int32_t y, int32_t buttons) override {
        return note("lup" + where(x, y, buttons));
    }
    bool onMiddleButtonDown(int32_t x, int32_t y, int32_t buttons, bool dbl) override {
        return note("mdown" + where(x, y, buttons) + (dbl ? " dbl" : ""));
    }
    bool onMiddleButtonUp(int32_t x, int32_t y, int32_t buttons) override {
        return note("mup" + where(x, y, buttons));
    }
    bool onRightButtonDown(int32_t x, int32_t y, int32_t buttons, bool dbl) override {
        return note("rdown" + where(x, y, buttons) + (dbl ? " dbl" : ""));
    }
    bool onRightButtonUp(int32_t x, int32_t y, int32_t buttons) override {
        return note("rup" + where(x, y, buttons));
    }
    void cancelInput() override { log.push_back(name + ":cancel"); }

    std::function<void()> action;

private:
    static std::string where(int32_t x, int32_t y, int32_t buttons) {
        return " " + std::to_string(x) + " " + std::to_string(y) + " " + std::to_string(buttons);
    }
    bool note(const std::string& event) {
        log.push_back(name + ":" + event);
        if (action) {
            action();
        }
        return consumes;
    }

    std::vector<std::string>& log;
    std::string name;
    bool consumes;
};

class InputHandlerTest : public FakeWindowTest {
protected:
    void SetUp() override {
        FakeWindowTest::SetUp();
        window = open(false);
        window->getMessageHandler()->addListener(handler.get());
        handler->addListener(&widget);
        // The pointer rests inside the window unless a test moves it.
        events.cursorX = 400;
        events.cursorY = 300;
    }
    void TearDown() override {
        window->getMessageHandler()->removeListener(handler.get());
        FakeWindowTest::TearDown();
    }

    std::vector<std::string> log;
    LoggingListener widget{log, "w"};
    RefHolder<InputHandler> handler{new InputHandler()};
    GameWindow* window = nullptr;
};

TEST_F(InputHandlerTest, KeysAreRecordedAtOnceAndReplayedOnTheFrame) {
    send(WM_KEYDOWN, 'A');
    send(WM_CHAR, 'a');
    EXPECT_TRUE(InputHandler::isKeyDown('A'));
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(handler->getQueueLength(), 2u);
    handler->update(16);
    send(WM_KEYUP, 'A');
    EXPECT_FALSE(InputHandler::isKeyDown('A'));
    handler->update(16);
    EXPECT_EQ(log, (std::vector<std::string>{"w:keydown 65", "w:char 97", "w:keyup 65"}));
    EXPECT_EQ(handler->getQueueLength(), 0u);
}

TEST_F(InputHandlerTest, AltKeysUpdateTheKeyStateButReachNoListener) {
    send(WM_SYSKEYDOWN, VK_MENU);
    send(WM_SYSKEYDOWN, 'X');
    EXPECT_TRUE(InputHandler::isKeyDown(VK_MENU));
    EXPECT_TRUE(InputHandler::isKeyDown('X'));
    send(WM_SYSKEYUP, 'X');
    send(WM_SYSKEYUP, VK_MENU);
    handler->update(16);
    EXPECT_TRUE(log.empty());
    EXPECT_FALSE(InputHandler::isKeyDown(VK_MENU));
    // Codes outside the table touch nothing.
    send(WM_KEYDOWN, 0x1234);
    handler->update(16);
    EXPECT_FALSE(InputHandler::isKeyDown(0x1234));
    EXPECT_EQ(log, (std::vector<std::string>{"w:keydown 4660"}));
}

TEST_F(InputHandlerTest, MouseCoordinatesAreClampedToTheWindow) {
    // Released outside the window while captured: negative coordinates arrive packed.
    send(WM_LBUTTONUP, MK_SHIFT, packCoordinates(-5, -1));
    EXPECT_EQ(InputHandler::getMouseX(), 0xFFFB);  // as the window reported it
    send(WM_MOUSEMOVE, MK_LBUTTON, packCoordinates(900, 700));
    send(WM_RBUTTONDOWN, MK_RBUTTON, packCoordinates(800, 600));
    send(WM_MBUTTONUP, 0, packCoordinates(799, 599));
    handler->update(16);
    EXPECT_EQ(log, (std::vector<std::string>{"w:lup 0 0 4", "w:move 800 600 1", "w:rdown 800 600 2",
                                             "w:mup 799 599 0"}));
    EXPECT_EQ(InputHandler::getMouseX(), 799);
    EXPECT_EQ(InputHandler::getMouseY(), 599);
    EXPECT_EQ(handler->getLastX(), 800);
    EXPECT_EQ(handler->getLastY(), 600);
}

TEST_F(InputHandlerTest, DoubleClicksArriveAsButtonDownsWithTheFlag) {
    send(WM_LBUTTONDOWN, MK_LBUTTON, packCoordinates(10, 20));
    send(WM_LBUTTONDBLCLK, MK_LBUTTON, packCoordinates(10, 20));
    send(WM_RBUTTONDBLCLK, MK_RBUTTON, packCoordinates(1, 2));
    send(WM_MBUTTONDBLCLK, MK_MBUTTON | MK_CONTROL, packCoordinates(3, 4));
    send(WM_MBUTTONDOWN, MK_MBUTTON, packCoordinates(3, 4));
    send(WM_RBUTTONUP, 0, packCoordinates(1, 2));
    handler->update(16);
    EXPECT_EQ(log, (std::vector<std::string>{"w:ldown 10 20 1", "w:ldown 10 20 1 dbl",
                                             "w:rdown 1 2 2 dbl", "w:mdown 3 4 24 dbl",
                                             "w:mdown 3 4 16", "w:rup 1 2 0"}));
}

TEST_F(InputHandlerTest, APointerOnOrBeyondTheEdgeGetsAMoveEveryFrame) {
    events.cursorX = -30;
    events.cursorY = 250;
    handler->update(16);
    handler->update(16);
    EXPECT_EQ(log, (std::vector<std::string>{"w:move 0 250 0", "w:move 0 250 0"}));
    EXPECT_EQ(InputHandler::getMouseX(), 0);
    log.clear();
    // On the border itself too; beyond the bottom-right corner it is clamped.
    events.cursorX = 400;
    events.cursorY = 0;
    handler->update(16);
    events.cursorX = 1000;
    events.cursorY = 900;
    handler->update(16);
    EXPECT_EQ(log, (std::vector<std::string>{"w:move 400 0 0", "w:move 800 600 0"}));
}

TEST_F(InputHandlerTest, NoMadeUpMoveInsideWithQueuedInputOrWithoutFocus) {
    handler->update(16);  // strictly inside
    EXPECT_TRUE(log.empty());
    events.cursorX = -1;
    send(WM_KEYDOWN, 'Q');  // something queued: only that is replayed
    handler->update(16);
    EXPECT_EQ(log, (std::vector<std::string>{"w:keydown 81"}));
    log.clear();
    send(WM_KILLFOCUS);
    handler->update(16);
    EXPECT_TRUE(log.empty());
}

TEST_F(InputHandlerTest, ADisabledHandlerIgnoresAndDropsInput) {
    send(WM_LBUTTONDOWN, MK_LBUTTON, packCoordinates(1, 1));
    handler->setActive(false);
    EXPECT_EQ(handler->getQueueLength(), 0u);
    send(WM_KEYDOWN, 'Z');
    EXPECT_EQ(handler->getQueueLength(), 0u);
    EXPECT_FALSE(InputHandler::isKeyDown('Z'));
    handler->setActive(true);
    handler->update(16);
    EXPECT_TRUE(log.empty());
}

TEST_F(InputHandlerTest, AListenerMayStopTheHandlerDuringTheReplay) {
    widget.action = [&] { handler->setActive(false); };
    send(WM_KEYDOWN, '1');
    send(WM_KEYDOWN, '2');
    send(WM_KEYDOWN, '3');
    handler->update(16);
    EXPECT_EQ(log, (std::vector<std::string>{"w:keydown 49"}));
    EXPECT_EQ(handler->getQueueLength(), 0u);
}

TEST_F(InputHandlerTest, ListenersAreAppendedAndAModalContainerCancelsTheOthers) {
    LoggingListener later(log, "later", true);
    handler->addListener(&later);
    handler->addListener(nullptr);
    send(WM_KEYDOWN, 'K');
    handler->update(16);
    // The first added is asked first; "later" consumes what reaches it.
    EXPECT_EQ(log, (std::vector<std::string>{"w:keydown 75", "later:keydown 75"}));

    log.clear();
    iInputListenerContainer dialog;
    dialog.setModal(true);
    handler->addListener(&dialog);
    EXPECT_EQ(log, (std::vector<std::string>{"w:cancel", "later:cancel"}));
    EXPECT_EQ(handler->getContainer().getListeners(),
              (std::vector<iInputListener*>{&widget, &later, &dialog}));
    handler->removeListener(&dialog);
    handler->removeListener(&later);
}

TEST_F(InputHandlerTest, TheHandIsShownWhileAWidgetIsHovered) {
    cursor.applied.clear();
    InputHandler::raiseHoverCount();
    send(WM_MOUSEMOVE, 0, packCoordinates(5, 5));
    handler->update(16);
    EXPECT_EQ(window->getLoadedCursor(), 3);
    InputHandler::lowerHoverCount();
    send(WM_MOUSEMOVE, 0, packCoordinates(6, 5));
    handler->update(16);
    EXPECT_EQ(window->getLoadedCursor(), 2);
    EXPECT_EQ(InputHandler::getHoverCount(), 0);
    EXPECT_EQ(cursor.applied, (std::vector<int>{3, 2}));
}

TEST_F(InputHandlerTest, TheHandlerAnswersTheListenerTypesWithItsContainer) {
    EXPECT_EQ(handler->castTo(&iInputListenerContainer::typeRecord),
              static_cast<void*>(&handler->getContainer()));
    EXPECT_NE(handler->castTo(&WindowMessageListener::typeRecord), nullptr);
    EXPECT_EQ(handler->castTo(&GameWindow::typeRecord), nullptr);
    EXPECT_TRUE(handler->isA(&Task::typeRecord));
}

}  // namespace input_handler_test
