#include "platform/XScreen.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

static bool namesCheckWindow(Display* x) {
    const Atom check = XInternAtom(x, "_NET_SUPPORTING_WM_CHECK", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* value = nullptr;
    const bool found = XGetWindowProperty(x, DefaultRootWindow(x), check, 0, 1, False, XA_WINDOW,
                                          &type, &format, &count, &after, &value) == Success &&
                       count == 1;
    XFree(value);
    return found;
}

bool photographX11Window(SDL_Window* window, XScreenPicture& out) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) {
        return false;
    }
    Display* x = info.info.x11.display;
    const Window own = info.info.x11.window;
    XSync(x, False);
    XWindowAttributes attributes{};
    int left = 0, top = 0;
    Window child = 0;
    if (!XGetWindowAttributes(x, own, &attributes) ||
        !XTranslateCoordinates(x, own, DefaultRootWindow(x), 0, 0, &left, &top, &child)) {
        return false;
    }
    out = {attributes.width, attributes.height, left, top, {}};
    if (left < 0 || top < 0 || left + out.width > DisplayWidth(x, DefaultScreen(x)) ||
        top + out.height > DisplayHeight(x, DefaultScreen(x))) {
        return false;
    }
    XImage* image =
        XGetImage(x, DefaultRootWindow(x), left, top, static_cast<unsigned>(attributes.width),
                  static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (!image) {
        return false;
    }
    for (int py = 0; py < out.height; ++py) {
        for (int px = 0; px < out.width; ++px) {
            out.pixels.push_back(static_cast<uint32_t>(XGetPixel(image, px, py)) & 0xFFFFFFu);
        }
    }
    XDestroyImage(image);
    return true;
}

XWindowManager::XWindowManager(const std::string& name) {
    if (name.empty()) {
        return;
    }
    pid = fork();
    if (pid == 0) {
        execlp(name.c_str(), name.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    Display* x = XOpenDisplay(nullptr);
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (x && !namesCheckWindow(x) && std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    up = x && namesCheckWindow(x);
    if (x) {
        XCloseDisplay(x);
    }
}

XWindowManager::~XWindowManager() {
    if (pid > 0) {
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
    }
}
