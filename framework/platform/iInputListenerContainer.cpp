#include "framework/platform/iInputListenerContainer.h"

QUOVEL_DEFINE_TYPE(iInputListenerContainer)

iInputListenerContainer::WalkGuard::WalkGuard(iInputListenerContainer& owner) : owner(owner) {
    ++owner.walks;
}

iInputListenerContainer::WalkGuard::~WalkGuard() {
    if (--owner.walks == 0) {
        owner.listeners.remove(nullptr);
    }
}

const TypeRecord* iInputListenerContainer::getType() const {
    return &typeRecord;
}

bool iInputListenerContainer::isContainer(const iInputListener* listener) {
    return listener && listener->getType()->isA(&iInputListenerContainer::typeRecord);
}

template <class... Params, class... Args>
bool iInputListenerContainer::dispatch(bool (iInputListener::*event)(Params...), Args... args) {
    bool consumed = false;
    if (isActive()) {
        WalkGuard guard(*this);
        for (iInputListener* listener : listeners) {
            // Nested containers are asked even when inactive: they still serve their focus
            // listener and still block when modal.
            if (listener && (listener->isActive() || isContainer(listener)) &&
                (listener->*event)(args...)) {
                consumed = true;
                break;
            }
        }
    } else if (focus && focus->isActive()) {
        consumed = (focus->*event)(args...);
    }
    return modal || consumed;
}

bool iInputListenerContainer::onKeyDown(int32_t key) {
    return dispatch(&iInputListener::onKeyDown, key);
}

bool iInputListenerContainer::onKeyUp(int32_t key) {
    return dispatch(&iInputListener::onKeyUp, key);
}

bool iInputListenerContainer::onChar(int32_t character) {
    return dispatch(&iInputListener::onChar, character);
}

bool iInputListenerContainer::onMouseMove(int32_t x, int32_t y, int32_t buttons) {
    return dispatch(&iInputListener::onMouseMove, x, y, buttons);
}

bool iInputListenerContainer::onLeftButtonDown(int32_t x, int32_t y, int32_t buttons,
                                               bool doubleClick) {
    return dispatch(&iInputListener::onLeftButtonDown, x, y, buttons, doubleClick);
}

bool iInputListenerContainer::onLeftButtonUp(int32_t x, int32_t y, int32_t buttons) {
    return dispatch(&iInputListener::onLeftButtonUp, x, y, buttons);
}

bool iInputListenerContainer::onMiddleButtonDown(int32_t x, int32_t y, int32_t buttons,
                                                 bool doubleClick) {
    return dispatch(&iInputListener::onMiddleButtonDown, x, y, buttons, doubleClick);
}

bool iInputListenerContainer::onMiddleButtonUp(int32_t x, int32_t y, int32_t buttons) {
    return dispatch(&iInputListener::onMiddleButtonUp, x, y, buttons);
}

bool iInputListenerContainer::onRightButtonDown(int32_t x, int32_t y, int32_t buttons,
                                                bool doubleClick) {
    return dispatch(&iInputListener::onRightButtonDown, x, y, buttons, doubleClick);
}

bool iInputListenerContainer::onRightButtonUp(int32_t x, int32_t y, int32_t buttons) {
    return dispatch(&iInputListener::onRightButtonUp, x, y, buttons);
}

void iInputListenerContainer::cancelInput() {
    WalkGuard guard(*this);
    for (iInputListener* listener : listeners) {
        if (listener) {
            listener->cancelInput();
        }
    }
}

void iInputListenerContainer::addListener(iInputListener* listener) {
    if (!listener || listener == this) {
        return;
    }
    removeListener(listener);
    if (isContainer(listener) && static_cast<iInputListenerContainer*>(listener)->isModal()) {
        cancelInput();
    }
    listeners.push_front(listener);
}

void iInputListenerContainer::appendListener(iInputListener* listener) {
    if (listener && listener != this) {
        listeners.push_back(listener);
    }
}

void iInputListenerContainer::removeListener(iInputListener* listener) {
    if (!listener) {
        return;
    }
    // A removed focus must not keep receiving events (it may be freed next).
    if (focus == listener) {
        focus = nullptr;
    }
    WalkGuard guard(*this);
    for (iInputListener*& entry : listeners) {
        if (entry && isContainer(entry)) {
            static_cast<iInputListenerContainer*>(entry)->removeListener(listener);
        }
        if (entry == listener) {
            entry = nullptr;
            listener->cancelInput();
        }
    }
}

void iInputListenerContainer::setFocusListener(iInputListener* listener) {
    if (listener == focus) {
        return;
    }
    removeListener(focus);
    focus = listener;
    if (listener) {
        listeners.push_back(listener);
    }
}

std::vector<iInputListener*> iInputListenerContainer::getListeners() const {
    std::vector<iInputListener*> result;
    for (iInputListener* listener : listeners) {
        if (listener) {
            result.push_back(listener);
        }
    }
    return result;
}
