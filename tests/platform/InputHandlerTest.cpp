#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/core/BaseObject.h"
#include "framework/nodes/iGuiMethod.h"
#include "framework/platform/InputHandler.h"
#include "framework/platform/iInputListener.h"
#include "framework/platform/iInputListenerContainer.h"
#include "platform/FakeWindow.h"

namespace input_test {

using Log = std::vector<std::string>;

// Logs every event it is offered as "name:event x y buttons [dbl]", answers it as told, runs
// an action after each and counts its cancels.
class Probe : public iInputListener {
public:
    Probe(Log& log, std::string name, bool consumes = false)
        : consumes(consumes), log(log), name(std::move(name)) {}

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
    void cancelInput() override { ++cancels; }

    bool consumes;
    int cancels = 0;
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

    Log& log;
    std::string name;
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

    Log log;
    Probe widget{log, "w"};
    RefHolder<InputHandler> handler{new InputHandler()};
    GameWindow* window = nullptr;
    // For the container cases: a container and two listeners that log as "a" and "b".
    iInputListenerContainer container;
    Probe a{log, "a"};
    Probe b{log, "b"};
    bool click(iInputListener& target) { return target.onLeftButtonDown(1, 2, 1, false); }
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
    EXPECT_EQ(log, (Log{"w:keydown 65", "w:char 97", "w:keyup 65"}));
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
    EXPECT_EQ(log, (Log{"w:keydown 4660"}));
}

TEST_F(InputHandlerTest, MouseCoordinatesAreClampedToTheWindow) {
    // Released outside the window while captured: negative coordinates arrive packed.
    send(WM_LBUTTONUP, MK_SHIFT, packCoordinates(-5, -1));
    EXPECT_EQ(InputHandler::getMouseX(), 0xFFFB);  // as the window reported it
    send(WM_MOUSEMOVE, MK_LBUTTON, packCoordinates(900, 700));
    send(WM_RBUTTONDOWN, MK_RBUTTON, packCoordinates(800, 600));
    send(WM_MBUTTONUP, 0, packCoordinates(799, 599));
    handler->update(16);
    EXPECT_EQ(log,
              (Log{"w:lup 0 0 4", "w:move 800 600 1", "w:rdown 800 600 2", "w:mup 799 599 0"}));
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
    send(WM_LBUTTONUP, MK_SHIFT, packCoordinates(10, 20));
    handler->update(16);
    EXPECT_EQ(log, (Log{"w:ldown 10 20 1", "w:ldown 10 20 1 dbl", "w:rdown 1 2 2 dbl",
                        "w:mdown 3 4 24 dbl", "w:mdown 3 4 16", "w:rup 1 2 0", "w:lup 10 20 4"}));
}

TEST_F(InputHandlerTest, APointerOnOrBeyondTheEdgeGetsAMoveEveryFrame) {
    events.cursorX = -30;
    events.cursorY = 250;
    handler->update(16);
    handler->update(16);
    EXPECT_EQ(log, (Log{"w:move 0 250 0", "w:move 0 250 0"}));
    EXPECT_EQ(InputHandler::getMouseX(), 0);
    log.clear();
    // On the border itself too; beyond the bottom-right corner it is clamped.
    events.cursorX = 400;
    events.cursorY = 0;
    handler->update(16);
    events.cursorX = 1000;
    events.cursorY = 900;
    handler->update(16);
    EXPECT_EQ(log, (Log{"w:move 400 0 0", "w:move 800 600 0"}));
}

TEST_F(InputHandlerTest, NoMadeUpMoveInsideWithQueuedInputOrWithoutFocus) {
    handler->update(16);  // strictly inside
    EXPECT_TRUE(log.empty());
    events.cursorX = -1;
    send(WM_KEYDOWN, 'Q');  // something queued: only that is replayed
    handler->update(16);
    EXPECT_EQ(log, (Log{"w:keydown 81"}));
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
    EXPECT_EQ(log, (Log{"w:keydown 49"}));
    EXPECT_EQ(handler->getQueueLength(), 0u);
}

TEST_F(InputHandlerTest, ListenersAreAppendedAndAModalContainerCancelsTheOthers) {
    Probe later(log, "later", true);
    handler->addListener(&later);
    handler->addListener(nullptr);
    send(WM_KEYDOWN, 'K');
    handler->update(16);
    // The first added is asked first; "later" consumes what reaches it.
    EXPECT_EQ(log, (Log{"w:keydown 75", "later:keydown 75"}));

    log.clear();
    iInputListenerContainer dialog;
    dialog.setModal(true);
    handler->addListener(&dialog);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(widget.cancels, 1);
    EXPECT_EQ(later.cancels, 1);
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

// A container that records the cancels that reach it.
class CountingContainer : public iInputListenerContainer {
public:
    void cancelInput() override {
        ++cancels;
        iInputListenerContainer::cancelInput();
    }
    int cancels = 0;
};

// A widget-like class: a BaseObject with a listener part answers its own type from both.
class ClickableThing : public BaseObject, public iInputListener {
    QUOVEL_TYPE(ClickableThing)
public:
    void cancelInput() override {}
};

QUOVEL_DEFINE_TYPE(ClickableThing, &BaseObject::typeRecord, &iInputListener::typeRecord)

TEST_F(InputHandlerTest, TheNewestListenerIsAskedFirstAndListedOnce) {
    container.addListener(&a);
    container.addListener(&b);
    container.addListener(&a);
    EXPECT_EQ(container.getListeners(), (std::vector<iInputListener*>{&a, &b}));
    EXPECT_EQ(a.cancels, 1);  // re-adding removed it first
    EXPECT_FALSE(click(container));
    EXPECT_EQ(log, (Log{"a:ldown 1 2 1", "b:ldown 1 2 1"}));

    container.addListener(nullptr);
    container.addListener(&container);  // never inside itself
    EXPECT_EQ(container.getListeners().size(), 2u);
}

TEST_F(InputHandlerTest, AConsumedEventEndsTheWalkInEveryEnclosingContainer) {
    // "a" stands behind the inner container, "b" behind its taker.
    iInputListenerContainer inner;
    Probe taker(log, "taker", true);
    container.addListener(&a);
    container.addListener(&inner);
    inner.addListener(&b);
    inner.addListener(&taker);
    EXPECT_TRUE(click(container));
    EXPECT_EQ(log, Log{"taker:ldown 1 2 1"});

    // Inactive plain listeners are skipped; inactive containers are still asked.
    log.clear();
    taker.setActive(false);
    inner.setActive(false);
    EXPECT_FALSE(click(container));
    EXPECT_EQ(log, Log{"a:ldown 1 2 1"});
}

TEST_F(InputHandlerTest, AModalContainerTakesEverythingAndCancelsWhatIsThere) {
    CountingContainer earlier;
    earlier.addListener(&b);
    container.addListener(&a);
    container.addListener(&earlier);

    iInputListenerContainer dialog;
    dialog.setModal(true);
    container.addListener(&dialog);
    EXPECT_EQ(a.cancels, 1);
    EXPECT_EQ(earlier.cancels, 1);
    EXPECT_EQ(b.cancels, 1);

    // Nothing behind the empty modal dialog is asked, and the event counts as consumed.
    EXPECT_TRUE(click(container));
    EXPECT_TRUE(log.empty());

    // Inactive, with an inactive focus listener: it reaches nobody and is still consumed.
    Probe drag(log, "drag", false);
    dialog.setFocusListener(&drag);
    drag.setActive(false);
    dialog.setActive(false);
    EXPECT_TRUE(click(container));
    EXPECT_TRUE(log.empty());
}

TEST_F(InputHandlerTest, TheFocusListenerIsAskedLastOrAloneWhileInactive) {
    // "a" drags, "b" is a button.
    container.setFocusListener(&a);
    container.addListener(&b);
    EXPECT_EQ(container.getFocusListener(), &a);
    click(container);
    EXPECT_EQ(log, (Log{"b:ldown 1 2 1", "a:ldown 1 2 1"}));

    log.clear();
    container.setActive(false);
    EXPECT_FALSE(container.isActive());
    a.consumes = true;
    EXPECT_TRUE(click(container));
    EXPECT_EQ(log, Log{"a:ldown 1 2 1"});

    // A new focus replaces the old one, which leaves the list.
    Probe other(log, "other");
    container.setFocusListener(&other);
    EXPECT_EQ(a.cancels, 1);
    EXPECT_EQ(container.getListeners(), (std::vector<iInputListener*>{&b, &other}));
}

TEST_F(InputHandlerTest, RemovingTheFocusListenerClearsTheFocus) {
    {
        Probe drag(log, "drag", true);
        container.setFocusListener(&drag);
        container.removeListener(&drag);
        EXPECT_EQ(drag.cancels, 1);
    }
    // The freed listener is asked no more.
    EXPECT_EQ(container.getFocusListener(), nullptr);
    container.setActive(false);
    EXPECT_FALSE(click(container));
    EXPECT_TRUE(log.empty());
}

TEST_F(InputHandlerTest, RemovalReachesNestedContainersAndCancelsOncePerEntry) {
    // "a" is in both nested containers, "b" in the first.
    iInputListenerContainer first;
    iInputListenerContainer second;
    container.addListener(&first);
    container.addListener(&second);
    first.addListener(&a);
    first.addListener(&b);
    second.addListener(&a);
    second.setFocusListener(&a);  // listed a second time there
    EXPECT_EQ(second.getListeners().size(), 2u);

    container.removeListener(&a);
    EXPECT_EQ(a.cancels, 3);
    EXPECT_EQ(first.getListeners(), std::vector<iInputListener*>{&b});
    EXPECT_TRUE(second.getListeners().empty());
    EXPECT_EQ(second.getFocusListener(), nullptr);

    // Adding a listener takes it out of nested containers first.
    container.addListener(&b);
    EXPECT_TRUE(first.getListeners().empty());
    EXPECT_EQ(container.getListeners().front(), &b);

    // Absent or null: nothing happens.
    container.removeListener(&a);
    container.removeListener(nullptr);
    EXPECT_EQ(a.cancels, 3);

    // cancelInput reaches every listener, nested ones too, active or not.
    first.addListener(&a);
    a.setActive(false);
    container.cancelInput();
    EXPECT_EQ(a.cancels, 4);
    EXPECT_EQ(b.cancels, 2);
}

TEST_F(InputHandlerTest, ListenersMayChangeTheListWhileItDispatches) {
    Probe first(log, "first");
    container.addListener(&a);
    container.addListener(&b);
    container.addListener(&first);

    // The first removes itself and the one after it, and adds a newcomer at the front.
    auto newcomer = std::make_unique<Probe>(log, "newcomer");
    first.action = [&] {
        container.removeListener(&first);
        container.removeListener(&b);
        container.addListener(newcomer.get());
    };
    EXPECT_FALSE(click(container));
    EXPECT_EQ(log, (Log{"first:ldown 1 2 1", "a:ldown 1 2 1"}));
    EXPECT_EQ(container.getListeners(), (std::vector<iInputListener*>{newcomer.get(), &a}));

    // A listener removed by an earlier one in the same dispatch is not asked.
    log.clear();
    newcomer->action = [&] {
        container.removeListener(&a);
        container.removeListener(newcomer.get());
    };
    EXPECT_FALSE(click(container));
    EXPECT_EQ(log, Log{"newcomer:ldown 1 2 1"});
    EXPECT_TRUE(container.getListeners().empty());

    // A dispatch nested in another one keeps both walks in place: "a" clicks again once, and
    // takes "b" out first.
    log.clear();
    container.addListener(&b);
    container.addListener(&a);
    bool nested = false;
    a.action = [&] {
        if (!nested) {
            nested = true;
            container.removeListener(&b);
            click(container);
        }
    };
    click(container);
    EXPECT_EQ(log, (Log{"a:ldown 1 2 1", "a:ldown 1 2 1"}));
    EXPECT_EQ(container.getListeners(), std::vector<iInputListener*>{&a});
}

TEST_F(InputHandlerTest, TypeRecordsTellContainersFromListeners) {
    // The handler answers the listener types with its container.
    EXPECT_EQ(handler->castTo(&iInputListenerContainer::typeRecord),
              static_cast<void*>(&handler->getContainer()));
    EXPECT_NE(handler->castTo(&WindowMessageListener::typeRecord), nullptr);
    EXPECT_EQ(handler->castTo(&GameWindow::typeRecord), nullptr);
    EXPECT_TRUE(handler->isA(&Task::typeRecord));
    ClickableThing thing;
    iInputListener* asListener = &thing;
    EXPECT_TRUE(iInputListenerContainer::isContainer(&container));
    EXPECT_FALSE(iInputListenerContainer::isContainer(&a));
    EXPECT_FALSE(iInputListenerContainer::isContainer(asListener));
    // The container record is a root of its own.
    EXPECT_FALSE(container.getType()->isA(&iInputListener::typeRecord));
    EXPECT_EQ(asListener->getType(), &ClickableThing::typeRecord);
    EXPECT_TRUE(asListener->getType()->isA(&iInputListener::typeRecord));
    EXPECT_EQ(a.getType(), &iInputListener::typeRecord);
    EXPECT_TRUE(a.isActive());
    EXPECT_FALSE(a.setActive(false));
}

int32_t addSender(void* target, BaseObject* sender) {
    *static_cast<int*>(target) += sender ? 10 : 1;
    return 7;
}

TEST_F(InputHandlerTest, AGuiMethodCallsItsFunctionWithItsTarget) {
    int total = 0;
    iGuiMethod method(&total, &addSender);
    ClickableThing sender;
    EXPECT_EQ(method.invoke(&sender), 7);
    EXPECT_EQ(method.invoke(nullptr), 7);
    EXPECT_EQ(total, 11);
    EXPECT_EQ(method.getType(), &iGuiMethod::typeRecord);

    // Without a function nothing is called.
    iGuiMethod empty;
    EXPECT_FALSE(empty.hasCallback());
    EXPECT_EQ(empty.invoke(&sender), 0);
    empty.setCallback(&total, &addSender);
    EXPECT_EQ(empty.invoke(&sender), 7);
    EXPECT_EQ(total, 21);
}

}  // namespace input_test
