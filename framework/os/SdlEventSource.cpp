#include "framework/os/SdlEventSource.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <string_view>

#include "framework/os/SdlDisplay.h"
#include "framework/os/TerminationSignals.h"
#include "framework/os/X11Events.h"

namespace {

// A logical coordinate as an integer; a degenerate scale (a window of no size) must not turn
// into an out-of-range conversion.
int32_t toEventCoordinate(float value, int fallback) {
    if (!std::isfinite(value)) {
        return fallback;
    }
    return static_cast<int32_t>(std::clamp(std::floor(value), -1.0e6f, 1.0e6f));
}

// The oldest queued event. SDL_PollEvent is not used: it may answer "none" once while events
// are queued (its end-of-poll marker), which would delay input by a frame.
bool takeEvent(SDL_Event& event) {
    return SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) == 1;
}

// Whether the video driver can tell the pointer's position on the screen; the others
// (Wayland, the headless drivers) know only its last position in the window.
bool hasScreenPosition() {
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver && std::string_view(driver) == "x11";
}

// Whether the pointer is inside the window, off its edges, as the events pumped so far tell:
// then SDL's own position is the one the system would give (the round trip to the window
// system each frame is spared), since leaving the window or reaching its edge comes as events.
bool insideByEvents(SDL_Window* window, int& x, int& y) {
    if (SDL_GetMouseFocus() != window) {
        return false;
    }
    int width = 0;
    int height = 0;
    SDL_GetWindowSize(window, &width, &height);
    SDL_GetMouseState(&x, &y);
    return x > 0 && y > 0 && x < width - 1 && y < height - 1;
}

}  // namespace

SdlEventSource::SdlEventSource(SdlDisplay& display)
    : display(display), screenPosition(hasScreenPosition()) {
    eventsStarted = SDL_InitSubSystem(SDL_INIT_EVENTS) == 0;
    eventTranslator.setKeyQuery(
        [&display](int32_t sdlKey) { return x11KeyDown(display.sdlWindow(), sdlKey); });
    eventTranslator.setAltGrQuery([&display] { return x11RightAltIsAltGr(display.sdlWindow()); });
}

SdlEventSource::~SdlEventSource() {
    if (eventsStarted) {
        SDL_QuitSubSystem(SDL_INIT_EVENTS);
    }
}

bool SdlEventSource::nextMessage(MessageRecord& record) {
    if (terminationSignals::take()) {
        postQuit(SIGNAL_QUIT_CODE);
    }
    if (pending.empty() && eventTranslator.hasKeysHeldAcrossWindows()) {
        translated.clear();
        eventTranslator.releaseLetGoKeys(translated);
        pending.insert(pending.end(), translated.begin(), translated.end());
    }
    // Records of one event (a key and its character) stay together; the quit comes after
    // them without reading further events, so a busy queue cannot hold it back.
    while (pending.empty() && !quitPosted && eventsStarted) {
        SDL_Event event;
        if (!takeEvent(event)) {
            if (pumpDue()) {
                SDL_PumpEvents();
                lastPump = SDL_GetTicks();
            }
            if (!takeEvent(event)) {
                break;
            }
        }
        lastEvent = SDL_GetTicks();
        eventSeen = true;
        if (event.type == SDL_RENDER_TARGETS_RESET || event.type == SDL_RENDER_DEVICE_RESET) {
            display.rendererReset();
            continue;
        }
        eventTranslator.setWindowId(display.windowId());
        translated.clear();
        eventTranslator.translate(event, translated);
        pending.insert(pending.end(), translated.begin(), translated.end());
    }
    if (!pending.empty()) {
        record = pending.front();
        pending.pop_front();
        return true;
    }
    if (quitPosted) {
        quitPosted = false;
        record = {WM_QUIT, quitCode, 0};
        return true;
    }
    return false;
}

bool SdlEventSource::pumpDue() {
    // Xlib queues the events it reads while waiting for its own replies; only a present may
    // have read the connection another way.
    const bool presented = display.presentCount() != presentsChecked;
    presentsChecked = display.presentCount();
    const uint32_t now = SDL_GetTicks();
    // SDL's own timed work inside the pump (delayed focus changes, the screen saver's reset)
    // keeps running: every frame for a while after any event, and now and then on a still one.
    if ((eventSeen && now - lastEvent < BUSY_PUMPS_MS) || now - lastPump >= QUIET_PUMP_MS) {
        return true;
    }
    return x11EventsWaiting(display.sdlWindow(), presented) != 0;
}

void SdlEventSource::postQuit(uint32_t code) {
    quitPosted = true;
    quitCode = code;
}

bool SdlEventSource::cursorPosition(int32_t& x, int32_t& y) {
    SDL_Window* window = display.sdlWindow();
    if (!window) {
        return false;
    }
    int windowX = 0;
    int windowY = 0;
    if (!screenPosition) {
        SDL_GetMouseState(&windowX, &windowY);
    } else if (insideByEvents(window, windowX, windowY)) {
        outsideKnown = false;
    } else {
        // Asked of the system: SDL's own position is as old as the last event pumped, and is
        // not kept at all while the pointer is outside the window. Each question is a round
        // trip to the X server, so a pointer resting outside is asked for now and then.
        const uint32_t now = SDL_GetTicks();
        if (!outsideKnown || !outsideResting || now - outsideAsked >= RESTING_POINTER_MS) {
            int screenX = 0;
            int screenY = 0;
            SDL_GetGlobalMouseState(&screenX, &screenY);
            outsideResting = outsideKnown && screenX == outsideX && screenY == outsideY;
            outsideKnown = true;
            outsideX = screenX;
            outsideY = screenY;
            outsideAsked = now;
        }
        int left = 0;
        int top = 0;
        SDL_GetWindowPosition(window, &left, &top);
        windowX = outsideX - left;
        windowY = outsideY - top;
    }
    SDL_Renderer* renderer = display.sdlRenderer();
    if (!renderer) {
        x = windowX;
        y = windowY;
        return true;
    }
    // Full screen scales and letterboxes the client area; the game wants its own pixels.
    float logicalX = 0;
    float logicalY = 0;
    SDL_RenderWindowToLogical(renderer, windowX, windowY, &logicalX, &logicalY);
    x = toEventCoordinate(logicalX, windowX);
    y = toEventCoordinate(logicalY, windowY);
    return true;
}

bool SdlEventSource::setCapture(bool capture) {
    return SDL_CaptureMouse(capture ? SDL_TRUE : SDL_FALSE) == 0;
}

void SdlEventSource::serviceQueue() {
    if (eventsStarted) {
        SDL_PumpEvents();
    }
}
