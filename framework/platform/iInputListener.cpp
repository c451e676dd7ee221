#include "framework/platform/iInputListener.h"

QUOVEL_DEFINE_TYPE(iInputListener, &Interface::typeRecord)

const TypeRecord* iInputListener::getType() const {
    return &typeRecord;
}

bool iInputListener::onKeyDown(int32_t) {
    return false;
}

bool iInputListener::onKeyUp(int32_t) {
    return false;
}

bool iInputListener::onChar(int32_t) {
    return false;
}

bool iInputListener::onMouseMove(int32_t, int32_t, int32_t) {
    return false;
}

bool iInputListener::onLeftButtonDown(int32_t, int32_t, int32_t, bool) {
    return false;
}

bool iInputListener::onLeftButtonUp(int32_t, int32_t, int32_t) {
    return false;
}

bool iInputListener::onMiddleButtonDown(int32_t, int32_t, int32_t, bool) {
    return false;
}

bool iInputListener::onMiddleButtonUp(int32_t, int32_t, int32_t) {
    return false;
}

bool iInputListener::onRightButtonDown(int32_t, int32_t, int32_t, bool) {
    return false;
}

bool iInputListener::onRightButtonUp(int32_t, int32_t, int32_t) {
    return false;
}

bool iInputListener::setActive(bool value) {
    active = value;
    return active;
}

bool iInputListener::isActive() const {
    return active;
}
