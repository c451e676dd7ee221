#include "framework/platform/MessageHandler.h"

#include <algorithm>

QUOVEL_DEFINE_TYPE(WindowMessageListener, &Interface::typeRecord)
QUOVEL_DEFINE_TYPE(MessageHandler, &BaseObject::typeRecord)

void MessageHandler::addListener(WindowMessageListener* listener) {
    if (!listener || std::ranges::find(listeners, listener) != listeners.end() ||
        std::ranges::find(pendingAdditions, listener) != pendingAdditions.end()) {
        return;
    }
    if (depth > 0) {
        pendingAdditions.push_back(listener);
    } else {
        listeners.push_back(listener);
    }
}

void MessageHandler::removeListener(WindowMessageListener* listener) {
    if (!listener) {
        return;
    }
    std::erase(pendingAdditions, listener);
    if (depth > 0) {
        std::ranges::replace(listeners, listener, nullptr);
    } else {
        std::erase(listeners, listener);
    }
}

void MessageHandler::dispatch(uint32_t message, uint32_t wParam, uint32_t lParam) {
    ++depth;
    // By index: the list never shrinks or grows while any dispatch runs.
    for (size_t index = 0; index < listeners.size(); ++index) {
        if (WindowMessageListener* listener = listeners[index]) {
            listener->onWindowMessage(message, wParam, lParam);
        }
    }
    if (--depth == 0) {
        settle();
    }
}

void MessageHandler::settle() {
    std::erase(listeners, nullptr);
    // A listener added by a reaction to this settling waits for nothing: depth is 0.
    std::vector<WindowMessageListener*> added;
    added.swap(pendingAdditions);
    for (WindowMessageListener* listener : added) {
        addListener(listener);
    }
}

std::vector<WindowMessageListener*> MessageHandler::getListeners() const {
    std::vector<WindowMessageListener*> result;
    std::ranges::copy_if(listeners, std::back_inserter(result),
                         [](WindowMessageListener* listener) { return listener != nullptr; });
    return result;
}
