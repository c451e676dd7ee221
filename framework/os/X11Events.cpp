#include "framework/os/X11Events.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/XKBlib.h>
#include <X11/keysym.h>
#include <poll.h>

#include <cstring>

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

struct KeyPair {
    int sdlKey;
    KeySym symbol;
};

// Every key without a character of its own that the event translator gives a virtual key.
constexpr KeyPair KEY_SYMBOLS[] = {
    {SDLK_RETURN, XK_Return},
    {SDLK_KP_ENTER, XK_KP_Enter},
    {SDLK_BACKSPACE, XK_BackSpace},
    {SDLK_TAB, XK_Tab},
    {SDLK_ESCAPE, XK_Escape},
    {SDLK_SPACE, XK_space},
    {SDLK_DELETE, XK_Delete},
    {SDLK_INSERT, XK_Insert},
    {SDLK_PAUSE, XK_Pause},
    {SDLK_LSHIFT, XK_Shift_L},
    {SDLK_RSHIFT, XK_Shift_R},
    {SDLK_LCTRL, XK_Control_L},
    {SDLK_RCTRL, XK_Control_R},
    {SDLK_LALT, XK_Alt_L},
    {SDLK_RALT, XK_Alt_R},
    {SDLK_PAGEUP, XK_Prior},
    {SDLK_PAGEDOWN, XK_Next},
    {SDLK_END, XK_End},
    {SDLK_HOME, XK_Home},
    {SDLK_LEFT, XK_Left},
    {SDLK_UP, XK_Up},
    {SDLK_RIGHT, XK_Right},
    {SDLK_DOWN, XK_Down},
    {SDLK_KP_0, XK_KP_0},
    {SDLK_KP_1, XK_KP_1},
    {SDLK_KP_2, XK_KP_2},
    {SDLK_KP_3, XK_KP_3},
    {SDLK_KP_4, XK_KP_4},
    {SDLK_KP_5, XK_KP_5},
    {SDLK_KP_6, XK_KP_6},
    {SDLK_KP_7, XK_KP_7},
    {SDLK_KP_8, XK_KP_8},
    {SDLK_KP_9, XK_KP_9},
    {SDLK_KP_MULTIPLY, XK_KP_Multiply},
    {SDLK_KP_PLUS, XK_KP_Add},
    {SDLK_KP_COMMA, XK_KP_Separator},
    {SDLK_KP_MINUS, XK_KP_Subtract},
    {SDLK_KP_PERIOD, XK_KP_Decimal},
    {SDLK_KP_DIVIDE, XK_KP_Divide},
};

KeySym keySymOf(int sdlKey) {
    if (sdlKey > ' ' && sdlKey < 0x7F) {
        return static_cast<KeySym>(sdlKey);  // SDL's and X's codes of these are both ASCII
    }
    if (sdlKey >= SDLK_F1 && sdlKey <= SDLK_F12) {
        return XK_F1 + static_cast<KeySym>(sdlKey - SDLK_F1);
    }
    for (const KeyPair& pair : KEY_SYMBOLS) {
        if (pair.sdlKey == sdlKey) {
            return pair.symbol;
        }
    }
    return NoSymbol;
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

unsigned long x11KeySym(int sdlKey) {
    return keySymOf(sdlKey);
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

int x11RightAltIsAltGr(SDL_Window* window) {
    ::Display* display = x11Display(window);
    XkbDescPtr keyboard = display ? XkbGetMap(display, 0, XkbUseCoreKbd) : nullptr;
    if (!keyboard) {
        return -1;
    }
    KeySym symbol = NoSymbol;
    if (XkbGetNames(display, XkbKeyNamesMask, keyboard) == Success && keyboard->names &&
        keyboard->names->keys) {
        for (int code = keyboard->min_key_code; code <= keyboard->max_key_code; ++code) {
            if (std::strncmp(keyboard->names->keys[code].name, "RALT", XkbKeyNameLength) == 0) {
                symbol = XkbKeycodeToKeysym(display, static_cast<KeyCode>(code), 0, 0);
                break;
            }
        }
    }
    XkbFreeKeyboard(keyboard, 0, True);
    if (symbol == NoSymbol) {
        return -1;
    }
    // Anything but Alt there (the level-three shift, the mode switch, a compose key) types.
    return symbol == XK_Alt_R || symbol == XK_Alt_L || symbol == XK_Meta_R ? 0 : 1;
}
