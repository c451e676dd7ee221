#include "framework/os/X11Events.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <poll.h>

// Built outside the unity batches: Xlib's macros (None, Status, Bool ...) must not reach other
// files.

int x11EventsWaiting(SDL_Window* window, bool readConnection) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!window || SDL_GetWindowWMInfo(window, &info) != SDL_TRUE ||
        info.subsystem != SDL_SYSWM_X11 || !info.info.x11.display) {
        return -1;
    }
    ::Display* display = info.info.x11.display;
    if (readConnection) {
        return XEventsQueued(display, QueuedAfterReading);
    }
    if (XEventsQueued(display, QueuedAlready) > 0) {
        return 1;
    }
    pollfd socket{ConnectionNumber(display), POLLIN, 0};
    return poll(&socket, 1, 0) > 0 ? 1 : 0;
}
