#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/core/BaseObject.h"
#include "framework/nodes/iGuiMethod.h"
#include "framework/platform/iInputListener.h"
#include "framework/platform/iInputListenerContainer.h"

namespace input_listener_test {

// Everything the listeners of a test saw, in order: "name:event" entries.
std::vector<std::string> seen;

// A listener that records every event, consumes them when told to, and can run an action
// from inside its left-button handler.
class Probe : public iInputListener {
public:
    explicit Probe(std::string name, bool consumes = false)
        : name(std::move(name)), consumes(consumes) {}

    bool onKeyDown(int32_t key) override { return note("keyDown " + std::to_string(key)); }
    bool onKeyUp(int32_t key) override { return note("keyUp " + std::to_string(key)); }
    bool onChar(int32_t character) override { return note("char " + std::to_string(character)); }
    bool onMouseMove(int32_t x, int32_t y, int32_t buttons) override {
        return note("move " + point(x, y, buttons));
    }
    bool onLeftButtonDown(int32_t x, int32_t y, int32_t buttons, bool doubleClick) override {
        if (action) {
            action();
        }
        return note("leftDown " + point(x, y, buttons) + (doubleClick ? " double" : ""));
    }
    bool onLeftButtonUp(int32_t x, int32_t y, int32_t buttons) override {
        return note("leftUp " + point(x, y, buttons));
    }
    bool onMiddleButtonDown(int32_t x, int32_t y, int32_t buttons, bool doubleClick) override {
        return note("middleDown " + point(x, y, buttons) + (doubleClick ? " double" : ""));
    }
    bool onMiddleButtonUp(int32_t x, int32_t y, int32_t buttons) override {
        return note("middleUp " + point(x, y, buttons));
    }
    bool onRightButtonDown(int32_t x, int32_t y, int32_t buttons, bool doubleClick) override {
        return note("rightDown " + point(x, y, buttons) + (doubleClick ? " double" : ""));
    }
    bool onRightButtonUp(int32_t x, int32_t y, int32_t buttons) override {
        return note("rightUp " + point(x, y, buttons));
    }
    void cancelInput() override { ++cancels; }

    std::string name;
    bool consumes;
    int cancels = 0;
    std::function<void()> action;

private:
    static std::string point(int32_t x, int32_t y, int32_t buttons) {
        return std::to_string(x) + "," + std::to_string(y) + "/" + std::to_string(buttons);
    }
    bool note(const std::string& event) {
        seen.push_back(name + ":" + event);
        return consumes;
    }
};

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

class InputListenerTest : public ::testing::Test {
protected:
    void SetUp() override { seen.clear(); }
    bool click(iInputListener& target) { return target.onLeftButtonDown(1, 2, 1, false); }
};

TEST_F(InputListenerTest, EveryEventReachesTheListenerWithItsArguments) {
    iInputListenerContainer container;
    Probe probe("p");
    container.addListener(&probe);
    container.onKeyDown(65);
    container.onKeyUp(66);
    container.onChar(97);
    container.onMouseMove(3, 4, 0);
    container.onLeftButtonDown(5, 6, 1, true);
    container.onLeftButtonUp(7, 8, 0);
    container.onMiddleButtonDown(9, 10, 16, false);
    container.onMiddleButtonUp(11, 12, 0);
    container.onRightButtonDown(13, 14, 2 | 8, true);
    container.onRightButtonUp(15, 16, 4);
    EXPECT_EQ(seen, (std::vector<std::string>{
                        "p:keyDown 65", "p:keyUp 66", "p:char 97", "p:move 3,4/0",
                        "p:leftDown 5,6/1 double", "p:leftUp 7,8/0", "p:middleDown 9,10/16",
                        "p:middleUp 11,12/0", "p:rightDown 13,14/10 double", "p:rightUp 15,16/4"}));
}

TEST_F(InputListenerTest, TheNewestListenerIsAskedFirstAndListedOnce) {
    iInputListenerContainer container;
    Probe older("older");
    Probe newer("newer");
    container.addListener(&older);
    container.addListener(&newer);
    container.addListener(&older);
    EXPECT_EQ(container.getListeners(), (std::vector<iInputListener*>{&older, &newer}));
    EXPECT_EQ(older.cancels, 1);  // re-adding removed it first
    EXPECT_FALSE(click(container));
    EXPECT_EQ(seen, (std::vector<std::string>{"older:leftDown 1,2/1", "newer:leftDown 1,2/1"}));

    container.addListener(nullptr);
    container.addListener(&container);  // never inside itself
    EXPECT_EQ(container.getListeners().size(), 2u);
}

TEST_F(InputListenerTest, AConsumedEventEndsTheWalkInEveryEnclosingContainer) {
    iInputListenerContainer outer;
    iInputListenerContainer inner;
    Probe behind("behind");
    Probe innerLast("innerLast");
    Probe taker("taker", true);
    outer.addListener(&behind);
    outer.addListener(&inner);
    inner.addListener(&innerLast);
    inner.addListener(&taker);
    EXPECT_TRUE(click(outer));
    EXPECT_EQ(seen, std::vector<std::string>{"taker:leftDown 1,2/1"});

    // Inactive plain listeners are skipped; inactive containers are still asked.
    seen.clear();
    taker.setActive(false);
    inner.setActive(false);
    EXPECT_FALSE(click(outer));
    EXPECT_EQ(seen, std::vector<std::string>{"behind:leftDown 1,2/1"});
}

TEST_F(InputListenerTest, AModalContainerTakesEverythingAndCancelsWhatIsThere) {
    iInputListenerContainer handler;
    Probe scene("scene");
    CountingContainer earlier;
    Probe earlierWidget("earlierWidget");
    earlier.addListener(&earlierWidget);
    handler.addListener(&scene);
    handler.addListener(&earlier);

    iInputListenerContainer dialog;
    dialog.setModal(true);
    handler.addListener(&dialog);
    EXPECT_EQ(scene.cancels, 1);
    EXPECT_EQ(earlier.cancels, 1);
    EXPECT_EQ(earlierWidget.cancels, 1);

    // Nothing behind the empty modal dialog is asked, and the event counts as consumed.
    EXPECT_TRUE(click(handler));
    EXPECT_TRUE(seen.empty());

    // Inactive, with an inactive focus listener: it reaches nobody and is still consumed.
    Probe drag("drag", false);
    dialog.setFocusListener(&drag);
    drag.setActive(false);
    dialog.setActive(false);
    EXPECT_TRUE(click(handler));
    EXPECT_TRUE(seen.empty());
}

TEST_F(InputListenerTest, TheFocusListenerIsAskedLastOrAloneWhileInactive) {
    iInputListenerContainer dialog;
    Probe drag("drag");
    Probe widget("widget");
    dialog.setFocusListener(&drag);
    dialog.addListener(&widget);
    EXPECT_EQ(dialog.getFocusListener(), &drag);
    click(dialog);
    EXPECT_EQ(seen, (std::vector<std::string>{"widget:leftDown 1,2/1", "drag:leftDown 1,2/1"}));

    seen.clear();
    dialog.setActive(false);
    EXPECT_FALSE(dialog.isActive());
    drag.consumes = true;
    EXPECT_TRUE(click(dialog));
    EXPECT_EQ(seen, std::vector<std::string>{"drag:leftDown 1,2/1"});

    // A new focus replaces the old one, which leaves the list.
    Probe other("other");
    dialog.setFocusListener(&other);
    EXPECT_EQ(drag.cancels, 1);
    EXPECT_EQ(dialog.getListeners(), (std::vector<iInputListener*>{&widget, &other}));
}

TEST_F(InputListenerTest, RemovingTheFocusListenerClearsTheFocus) {
    iInputListenerContainer dialog;
    {
        Probe drag("drag", true);
        dialog.setFocusListener(&drag);
        dialog.removeListener(&drag);
        EXPECT_EQ(drag.cancels, 1);
    }
    // The freed listener is asked no more.
    EXPECT_EQ(dialog.getFocusListener(), nullptr);
    dialog.setActive(false);
    EXPECT_FALSE(click(dialog));
    EXPECT_TRUE(seen.empty());
}

TEST_F(InputListenerTest, RemovalReachesNestedContainersAndCancelsOncePerEntry) {
    iInputListenerContainer handler;
    iInputListenerContainer first;
    iInputListenerContainer second;
    Probe shared("shared");
    Probe other("other");
    handler.addListener(&first);
    handler.addListener(&second);
    first.addListener(&shared);
    first.addListener(&other);
    second.addListener(&shared);
    second.setFocusListener(&shared);  // listed a second time there
    EXPECT_EQ(second.getListeners().size(), 2u);

    handler.removeListener(&shared);
    EXPECT_EQ(shared.cancels, 3);
    EXPECT_EQ(first.getListeners(), std::vector<iInputListener*>{&other});
    EXPECT_TRUE(second.getListeners().empty());
    EXPECT_EQ(second.getFocusListener(), nullptr);

    // Adding a listener takes it out of nested containers first.
    handler.addListener(&other);
    EXPECT_TRUE(first.getListeners().empty());
    EXPECT_EQ(handler.getListeners().front(), &other);

    // Absent or null: nothing happens.
    handler.removeListener(&shared);
    handler.removeListener(nullptr);
    EXPECT_EQ(shared.cancels, 3);

    // cancelInput reaches every listener, nested ones too, active or not.
    first.addListener(&shared);
    shared.setActive(false);
    handler.cancelInput();
    EXPECT_EQ(shared.cancels, 4);
    EXPECT_EQ(other.cancels, 2);
}

TEST_F(InputListenerTest, ListenersMayChangeTheListWhileItDispatches) {
    iInputListenerContainer container;
    Probe last("last");
    Probe middle("middle");
    Probe first("first");
    container.addListener(&last);
    container.addListener(&middle);
    container.addListener(&first);

    // The first removes itself and the one after it, and adds a newcomer at the front.
    auto newcomer = std::make_unique<Probe>("newcomer");
    first.action = [&] {
        container.removeListener(&first);
        container.removeListener(&middle);
        container.addListener(newcomer.get());
    };
    EXPECT_FALSE(click(container));
    EXPECT_EQ(seen, (std::vector<std::string>{"first:leftDown 1,2/1", "last:leftDown 1,2/1"}));
    EXPECT_EQ(container.getListeners(), (std::vector<iInputListener*>{newcomer.get(), &last}));

    // A listener removed by an earlier one in the same dispatch is not asked.
    seen.clear();
    newcomer->action = [&] {
        container.removeListener(&last);
        container.removeListener(newcomer.get());
    };
    EXPECT_FALSE(click(container));
    EXPECT_EQ(seen, std::vector<std::string>{"newcomer:leftDown 1,2/1"});
    EXPECT_TRUE(container.getListeners().empty());

    // A dispatch nested in another one keeps both walks in place.
    seen.clear();
    Probe reentrant("reentrant");
    Probe tail("tail");
    container.addListener(&tail);
    container.addListener(&reentrant);
    bool nested = false;
    reentrant.action = [&] {
        if (!nested) {
            nested = true;
            container.removeListener(&tail);
            click(container);
        }
    };
    click(container);
    EXPECT_EQ(seen,
              (std::vector<std::string>{"reentrant:leftDown 1,2/1", "reentrant:leftDown 1,2/1"}));
    EXPECT_EQ(container.getListeners(), std::vector<iInputListener*>{&reentrant});
}

TEST_F(InputListenerTest, TypeRecordsTellContainersFromListeners) {
    iInputListenerContainer container;
    Probe probe("probe");
    ClickableThing thing;
    iInputListener* asListener = &thing;
    EXPECT_TRUE(iInputListenerContainer::isContainer(&container));
    EXPECT_FALSE(iInputListenerContainer::isContainer(&probe));
    EXPECT_FALSE(iInputListenerContainer::isContainer(asListener));
    // The container record is a root of its own.
    EXPECT_FALSE(container.getType()->isA(&iInputListener::typeRecord));
    EXPECT_EQ(asListener->getType(), &ClickableThing::typeRecord);
    EXPECT_TRUE(asListener->getType()->isA(&iInputListener::typeRecord));
    EXPECT_EQ(probe.getType(), &iInputListener::typeRecord);
    EXPECT_TRUE(probe.isActive());
    EXPECT_FALSE(probe.setActive(false));
}

int32_t addSender(void* target, BaseObject* sender) {
    *static_cast<int*>(target) += sender ? 10 : 1;
    return 7;
}

TEST_F(InputListenerTest, AGuiMethodCallsItsFunctionWithItsTarget) {
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

}  // namespace input_listener_test
