#pragma once

#include <cstdint>

#include "framework/os/Messages.h"

// Where the game's window messages come from: the records of the window and of the user's
// keyboard and mouse, in arrival order, plus the quit message the game posts itself.
class EventSource {
public:
    // The code of the WM_QUIT that a request to end from outside (a termination signal) brings:
    // the game ends as after its own quit, without asking.
    static constexpr uint32_t SIGNAL_QUIT_CODE = 0x80000000u;

    virtual ~EventSource() = default;

    // Takes the next record without waiting; false when none is waiting.
    virtual bool nextMessage(MessageRecord& record) = 0;
    // Queues WM_QUIT with the code in wParam; it comes after the records already taken from
    // the system and ends the message loop.
    virtual void postQuit(uint32_t code) = 0;
    // The mouse position relative to the window's client area, outside it too; false while
    // there is no window.
    virtual bool cursorPosition(int32_t& x, int32_t& y) = 0;
    // Keeps mouse events coming to the window while the pointer is outside it (or stops);
    // false when the system cannot.
    virtual bool setCapture(bool capture) = 0;
    // Lets the system deliver what it has for the window (answering the window manager's
    // pings) while records are not being taken; the records wait for the next nextMessage.
    virtual void serviceQueue() {}
};
