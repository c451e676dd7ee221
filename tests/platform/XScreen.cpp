#include "platform/XScreen.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>

#include "testsupport/EndWithParent.h"
#include "testsupport/WaitFor.h"

using namespace std::chrono_literals;

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

// The screen's pixels in the picture's rectangle.
static bool readScreen(Display* x, XScreenPicture& out) {
    XImage* image = XGetImage(x, DefaultRootWindow(x), out.left, out.top, unsigned(out.width),
                              unsigned(out.height), AllPlanes, ZPixmap);
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

// What X shows where the window stands, at its real size and place (given even when false: it
// reaches past the screen).
static bool photographWindow(Display* x, Window window, XScreenPicture& out) {
    XWindowAttributes attributes{};
    int left = 0, top = 0;
    Window child = 0;
    if (!XGetWindowAttributes(x, window, &attributes) ||
        !XTranslateCoordinates(x, window, DefaultRootWindow(x), 0, 0, &left, &top, &child)) {
        return false;
    }
    out = {attributes.width, attributes.height, left, top, {}};
    if (left < 0 || top < 0 || left + out.width > DisplayWidth(x, DefaultScreen(x)) ||
        top + out.height > DisplayHeight(x, DefaultScreen(x))) {
        return false;
    }
    return readScreen(x, out);
}

bool photographX11Window(SDL_Window* window, XScreenPicture& out) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) {
        return false;
    }
    XSync(info.info.x11.display, False);
    return photographWindow(info.info.x11.display, info.info.x11.window, out);
}

// The viewable window below `parent` (itself included) whose name is `title`; 0 for none.
static Window findShownWindow(Display* x, Window parent, const std::string& title) {
    // The name's bytes, whatever text encoding the window gave them.
    XTextProperty name{};
    const bool named = XGetWMName(x, parent, &name) && name.value &&
                       title == std::string(reinterpret_cast<const char*>(name.value), name.nitems);
    XFree(name.value);
    XWindowAttributes attributes{};
    if (named && XGetWindowAttributes(x, parent, &attributes) &&
        attributes.map_state == IsViewable) {
        return parent;
    }
    Window root = 0, up = 0;
    Window* children = nullptr;
    unsigned count = 0;
    Window found = 0;
    if (XQueryTree(x, parent, &root, &up, &children, &count)) {
        for (unsigned i = 0; i < count && !found; ++i) {
            found = findShownWindow(x, children[i], title);
        }
        XFree(children);
    }
    return found;
}

// Whether the window's top row and left column show one colour, as a box does once it has filled
// its background (until then its place shows what lay under it).
static bool showsItsBackground(Display* x, Window window) {
    XScreenPicture box;
    bool plain = photographWindow(x, window, box);
    for (int i = 0; plain && i < std::max(box.width, box.height); ++i) {
        plain = box.at(std::min(i, box.width - 1), 0) == box.at(0, 0) &&
                box.at(0, std::min(i, box.height - 1)) == box.at(0, 0);
    }
    return plain;
}

bool answerXWindow(const std::string& title, XScreenPicture& shown, XScreenWindow& frame,
                   const std::function<void()>& beforeAnswer) {
    Display* x = XOpenDisplay(nullptr);
    if (!x) {
        return false;
    }
    Window box = 0;
    waitFor([&] { return (box = findShownWindow(x, DefaultRootWindow(x), title)) != 0; });
    // The box draws itself on its first exposure.
    waitFor([&] { return showsItsBackground(x, box); });
    shown = {DisplayWidth(x, DefaultScreen(x)), DisplayHeight(x, DefaultScreen(x)), 0, 0, {}};
    readScreen(x, shown);
    // The top-level window holding the box: a frame round it, or the box itself.
    Window top = box, root = 0, parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    while (XQueryTree(x, top, &root, &parent, &children, &count)) {
        XFree(children);
        if (parent == root) {
            break;
        }
        top = parent;
    }
    XWindowAttributes place{};
    XGetWindowAttributes(x, top, &place);
    frame = {top, place.x, place.y, place.width + 2 * place.border_width,
             place.height + 2 * place.border_width};
    if (beforeAnswer) {
        beforeAnswer();
    }
    for (const int type : {KeyPress, KeyRelease}) {
        XEvent key{};
        key.xkey.type = type;
        key.xkey.display = x;
        key.xkey.window = box;
        key.xkey.root = DefaultRootWindow(x);
        key.xkey.same_screen = True;
        key.xkey.keycode = XKeysymToKeycode(x, XK_Return);
        XSendEvent(x, box, True, type == KeyPress ? KeyPressMask : KeyReleaseMask, &key);
    }
    XSync(x, False);
    XCloseDisplay(x);
    return true;
}

void unmapXWindow(unsigned long window) {
    if (Display* x = XOpenDisplay(nullptr)) {
        XUnmapWindow(x, window);
        XSync(x, False);
        XCloseDisplay(x);
    }
}

XWindowManager::XWindowManager(const std::string& name) {
    if (name.empty()) {
        return;
    }
    const pid_t parent = getpid();
    pid = fork();
    if (pid == 0) {
        endWithParent(parent);
        execlp(name.c_str(), name.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    Display* x = XOpenDisplay(nullptr);
    if (x) {
        waitFor([&] { return namesCheckWindow(x); });
    }
    up = x != nullptr;
    if (x) {
        XCloseDisplay(x);
    }
}

void XWindowManager::hold(bool stopped) {
    if (pid > 0) {
        kill(pid, stopped ? SIGSTOP : SIGCONT);
    }
}

XWindowManager::~XWindowManager() {
    if (pid > 0) {
        kill(pid, SIGCONT);
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
    }
}
