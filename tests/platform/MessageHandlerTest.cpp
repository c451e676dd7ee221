#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/core/RefHolder.h"
#include "framework/os/Messages.h"
#include "framework/platform/MessageHandler.h"
#include "testsupport/ThreadClock.h"

namespace message_handler_test {

std::vector<std::string> heard;

// Logs what it hears and runs an optional reaction to it.
class Listener : public WindowMessageListener {
public:
    explicit Listener(std::string name) : name(std::move(name)) {}
    void onWindowMessage(uint32_t message, uint32_t, uint32_t) override {
        heard.push_back(name + ":" + std::to_string(message));
        if (reaction) {
            reaction(message);
        }
    }
    std::string name;
    std::function<void(uint32_t)> reaction;
};

class MessageHandlerTest : public ::testing::Test {
protected:
    void SetUp() override { heard.clear(); }
    RefHolder<MessageHandler> handler{new MessageHandler()};
};

TEST_F(MessageHandlerTest, ListenersHearEveryMessageInListOrderOnce) {
    Listener a("a");
    Listener b("b");
    handler->addListener(&a);
    handler->addListener(&b);
    handler->addListener(&a);  // already listed
    handler->addListener(nullptr);
    handler->dispatch(WM_PAINT, 0, 0);
    EXPECT_EQ(heard, (std::vector<std::string>{"a:15", "b:15"}));
    EXPECT_FALSE(handler->isDispatching());
    handler->removeListener(&a);
    handler->dispatch(WM_MOVE, 0, 0);
    EXPECT_EQ(heard.back(), "b:3");
    EXPECT_EQ(handler->getListeners(), (std::vector<WindowMessageListener*>{&b}));
}

TEST_F(MessageHandlerTest, ChangesDuringADispatchApplySafelyAndAtOnce) {
    Listener a("a");
    Listener b("b");
    Listener c("c");
    Listener late("late");
    handler->addListener(&a);
    handler->addListener(&b);
    handler->addListener(&c);
    // a removes itself and c, and adds a newcomer, from inside the dispatch.
    a.reaction = [&](uint32_t) {
        handler->removeListener(&a);
        handler->removeListener(&c);
        handler->addListener(&late);
    };
    const long waitsBefore = threadWaits();
    handler->dispatch(WM_CLOSE, 0, 0);
    const long waits = threadWaits() - waitsBefore;
    // c is not asked once removed; the newcomer waits for the next message.
    EXPECT_EQ(heard, (std::vector<std::string>{"a:16", "b:16"}));
    EXPECT_EQ(handler->getListeners(), (std::vector<WindowMessageListener*>{&b, &late}));
    // Nothing waits for the dispatch to end: no sleep or blocking wait in it.
    EXPECT_EQ(waits, 0);
    heard.clear();
    handler->dispatch(WM_CLOSE, 0, 0);
    EXPECT_EQ(heard, (std::vector<std::string>{"b:16", "late:16"}));
}

TEST_F(MessageHandlerTest, AListenerAddedAndRemovedInOneDispatchNeverJoins) {
    Listener a("a");
    Listener passing("passing");
    handler->addListener(&a);
    a.reaction = [&](uint32_t) {
        handler->addListener(&passing);
        handler->removeListener(&passing);
    };
    handler->dispatch(WM_PAINT, 0, 0);
    EXPECT_EQ(handler->getListeners(), (std::vector<WindowMessageListener*>{&a}));
    // Removed and added again within one dispatch: it joins at the end, once.
    a.reaction = [&](uint32_t) {
        handler->removeListener(&a);
        handler->addListener(&a);
        handler->addListener(&a);
    };
    handler->dispatch(WM_PAINT, 0, 0);
    a.reaction = nullptr;
    heard.clear();
    handler->dispatch(WM_PAINT, 0, 0);
    EXPECT_EQ(heard, (std::vector<std::string>{"a:15"}));
}

TEST_F(MessageHandlerTest, NestedDispatchesKeepTheOuterWalkSafe) {
    Listener switcher("switcher");
    Listener remover("remover");
    Listener victim("victim");
    Listener newcomer("newcomer");
    handler->addListener(&switcher);
    handler->addListener(&remover);
    handler->addListener(&victim);
    // Like a full-screen switch: handling one message dispatches another.
    switcher.reaction = [&](uint32_t message) {
        if (message == WM_SYSKEYDOWN) {
            handler->dispatch(MSG_FULLSCREEN_CHANGED, 1, 0);
            // The inner dispatch is over, the outer is not: changes still wait.
            EXPECT_TRUE(handler->isDispatching());
            handler->addListener(&newcomer);
        }
    };
    remover.reaction = [&](uint32_t message) {
        if (message == MSG_FULLSCREEN_CHANGED) {
            handler->removeListener(&victim);
        }
    };
    handler->dispatch(WM_SYSKEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(heard, (std::vector<std::string>{"switcher:260", "switcher:2936076800",
                                               "remover:2936076800", "remover:260"}));
    EXPECT_FALSE(handler->isDispatching());
    EXPECT_EQ(handler->getListeners(),
              (std::vector<WindowMessageListener*>{&switcher, &remover, &newcomer}));
}

}  // namespace message_handler_test
