#pragma once

#include <cstdint>
#include <vector>

#include "framework/core/BaseObject.h"
#include "framework/core/Interface.h"

// Anything that wants the game window's messages: the scenes' input handlers, the full-screen
// frame and the game screen. It is handed every message the window receives and the window's
// private messages (0xAF00FA00-0xAF00FA02).
class WindowMessageListener : public Interface {
    QUOVEL_INTERFACE_TYPE(WindowMessageListener)
public:
    virtual void onWindowMessage(uint32_t message, uint32_t wParam, uint32_t lParam) = 0;
};

// The game window's list of message listeners, asked in list order. Listeners are not owned:
// whoever adds one removes it before destroying it.
//
// Dispatches nest (a listener's reaction may make the window dispatch again, as a full-screen
// switch does), so their depth is counted. Listeners may be added or removed from inside a
// dispatch: a removed listener is not asked again, not even by the dispatch under way, and an
// added one joins the list when the outermost dispatch ends, so no walk loses its place.
class MessageHandler : public BaseObject {
    QUOVEL_TYPE(MessageHandler)
public:
    MessageHandler() = default;
    MessageHandler(const MessageHandler&) = delete;
    MessageHandler& operator=(const MessageHandler&) = delete;

    // Appends the listener unless it is already listed (or waiting to be); null is ignored.
    void addListener(WindowMessageListener* listener);
    // Removes every occurrence of the listener, and cancels a pending addition of it.
    void removeListener(WindowMessageListener* listener);
    // Hands the message to each listener in list order.
    void dispatch(uint32_t message, uint32_t wParam, uint32_t lParam);

    bool isDispatching() const { return depth > 0; }
    // The listeners in dispatch order, additions still pending left out.
    std::vector<WindowMessageListener*> getListeners() const;

private:
    // Applies what was deferred while the outermost dispatch ran.
    void settle();

    int32_t depth = 0;
    // Entries removed during a dispatch are blanked and erased by settle.
    std::vector<WindowMessageListener*> listeners;
    std::vector<WindowMessageListener*> pendingAdditions;
};
