#include "framework/os/X11Events.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/keysym.h>
#include <poll.h>

// Built outside the unity batches: Xlib's macros (None, Status, Bool ...) must not reach other
// files.

namespace {

::Display* x11Display(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!window || SDL_GetWindowWMInfo(window, &info) != SDL_TRUE ||
        info.subsystem != SDL_SYSWM_X11) {
        return nullptr;
    }
    return info.info.x11.display;
}

KeySym keySymOf(int sdlKey) {
    if (sdlKey > ' ' && sdlKey < 0x7F) {
        return static_cast<KeySym>(sdlKey);  // SDL's and X's codes of these are both ASCII
    }
    switch (sdlKey) {
        case SDLK_RETURN:
            return XK_Return;
        case SDLK_BACKSPACE:
            return XK_BackSpace;
        case SDLK_TAB:
            return XK_Tab;
        case SDLK_ESCAPE:
            return XK_Escape;
        case SDLK_SPACE:
            return XK_space;
        case SDLK_DELETE:
            return XK_Delete;
        case SDLK_LSHIFT:
            return XK_Shift_L;
        case SDLK_RSHIFT:
            return XK_Shift_R;
        case SDLK_LCTRL:
            return XK_Control_L;
        case SDLK_RCTRL:
            return XK_Control_R;
        case SDLK_LALT:
            return XK_Alt_L;
        case SDLK_RALT:
            return XK_Alt_R;
        default:
            return NoSymbol;
    }
}

}  // namespace

int x11EventsWaiting(SDL_Window* window, bool readConnection) {
    ::Display* display = x11Display(window);
    if (!display) {
        return -1;
    }
    if (readConnection) {
        return XEventsQueued(display, QueuedAfterReading);
    }
    if (XEventsQueued(display, QueuedAlready) > 0) {
        return 1;
    }
    pollfd socket{ConnectionNumber(display), POLLIN, 0};
    return poll(&socket, 1, 0) > 0 ? 1 : 0;
}

int x11KeyDown(SDL_Window* window, int sdlKey) {
    ::Display* display = x11Display(window);
    const KeySym symbol = keySymOf(sdlKey);
    const KeyCode code = display && symbol != NoSymbol ? XKeysymToKeycode(display, symbol) : 0;
    if (code == 0) {
        return -1;
    }
    char keys[32] = {};
    XQueryKeymap(display, keys);
    return (keys[code / 8] >> (code % 8)) & 1;
}
