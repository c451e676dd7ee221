#include "framework/os/X11FullScreen.h"

#include <SDL.h>
#include <SDL_syswm.h>

#include <algorithm>

// Built outside the unity batches: Xlib's macros (None, Status, Bool ...) must not reach other
// files.

namespace {

constexpr Uint32 WINDOW_MANAGER_WAIT_MS = 1000;
constexpr Uint32 POLL_MS = 10;

// An EWMH window manager names its check window on the root; only such a manager takes the
// full-screen state that SDL asks for.
bool hasWindowManager(Display* display) {
    const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", True);
    if (check == None) {
        return false;
    }
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* value = nullptr;
    const bool found =
        XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False, XA_WINDOW,
                           &type, &format, &count, &after, &value) == Success &&
        type == XA_WINDOW && count == 1;
    if (value) {
        XFree(value);
    }
    return found;
}

// Exactly the screen it is on: a window larger than the screen and off its corner would show
// SDL's full-screen picture (drawn at the screen's size) at the window's corner, partly off it.
bool coversDesktop(Display* display, Window window, const SDL_Rect& screen) {
    XWindowAttributes attributes{};
    int rootX = 0;
    int rootY = 0;
    Window child = 0;
    return XGetWindowAttributes(display, window, &attributes) != 0 &&
           XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &rootX, &rootY,
                                 &child) != 0 &&
           rootX == screen.x && rootY == screen.y && attributes.width == screen.w &&
           attributes.height == screen.h;
}

}  // namespace

bool x11FullScreenGranted(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    SDL_Rect screen{};
    if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11 ||
        SDL_GetDisplayBounds(std::max(SDL_GetWindowDisplayIndex(window), 0), &screen) != 0) {
        return true;
    }
    Display* display = info.info.x11.display;
    const Window own = info.info.x11.window;
    if (coversDesktop(display, own, screen)) {
        return true;
    }
    if (!hasWindowManager(display)) {
        return false;
    }
    const Uint32 start = SDL_GetTicks();
    while (SDL_GetTicks() - start < WINDOW_MANAGER_WAIT_MS) {
        SDL_PumpEvents();
        if (coversDesktop(display, own, screen)) {
            return true;
        }
        SDL_Delay(POLL_MS);
    }
    return false;
}
