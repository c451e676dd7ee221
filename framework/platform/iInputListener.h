#pragma once

#include <cstdint>

#include "framework/core/Interface.h"

// Something that answers mouse and keyboard events: a button, a dialog, the tooltip. Each event
// operation returns true when it consumed the event, which ends its dispatch at every level.
// Coordinates are client-area pixels; `buttons` is the key-state word of the event (1 left
// button, 2 right, 4 shift, 8 control, 16 middle); a double-click arrives as a button-down with
// `doubleClick` set.
//
// Mixed into BaseObject classes: a class that also derives from BaseObject answers getType
// with its own record from both parts (QUOVEL_TYPE overrides both).
class iInputListener : public Interface {
    QUOVEL_INTERFACE_TYPE(iInputListener)
public:
    virtual const TypeRecord* getType() const;
    virtual bool onKeyDown(int32_t key);
    virtual bool onKeyUp(int32_t key);
    virtual bool onChar(int32_t character);
    virtual bool onMouseMove(int32_t x, int32_t y, int32_t buttons);
    virtual bool onLeftButtonDown(int32_t x, int32_t y, int32_t buttons, bool doubleClick);
    virtual bool onLeftButtonUp(int32_t x, int32_t y, int32_t buttons);
    virtual bool onMiddleButtonDown(int32_t x, int32_t y, int32_t buttons, bool doubleClick);
    virtual bool onMiddleButtonUp(int32_t x, int32_t y, int32_t buttons);
    virtual bool onRightButtonDown(int32_t x, int32_t y, int32_t buttons, bool doubleClick);
    virtual bool onRightButtonUp(int32_t x, int32_t y, int32_t buttons);
    // Stores the flag and returns it. Inactive listeners are skipped by their container.
    virtual bool setActive(bool value);
    virtual bool isActive() const;
    // Forget any half-done gesture (a pressed button, a drag) without firing anything.
    virtual void cancelInput() = 0;

private:
    bool active = true;
};
