#include "framework/os/X11Events.h"

#include <SDL.h>
#include <SDL_syswm.h>

// Built outside the unity batches: Xlib's macros (None, Status, Bool ...) must not reach other
// files.

int x11EventsWaiting(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!window || SDL_GetWindowWMInfo(window, &info) != SDL_TRUE ||
        info.subsystem != SDL_SYSWM_X11 || !info.info.x11.display) {
        return -1;
    }
    // Events the library read from the connection while waiting for a reply are moved into
    // the queue too, so none is missed that the socket alone would no longer show.
    return XEventsQueued(info.info.x11.display, QueuedAfterReading);
}
