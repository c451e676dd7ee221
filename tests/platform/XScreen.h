#pragma once
// What an X server shows, for the picture tests in a real X session; Xlib stays in its own file.

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct SDL_Window;

// Pixels as 0xRRGGBB.
struct XScreenPicture {
    int width = 0, height = 0;
    int left = 0, top = 0;  // the window's place on the screen
    std::vector<uint32_t> pixels;
    uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// What X shows where the SDL window is, at its real size and place as X has them (not SDL's
// idea of them). False when the window is not an X window, reaches past the screen (its place
// and size are still given) or cannot be read.
bool photographX11Window(SDL_Window* window, XScreenPicture& out);

// A window on the screen: its id and its place.
struct XScreenWindow {
    unsigned long id = 0;
    int left = 0, top = 0, width = 0, height = 0;
};

// On the display (DISPLAY), waits for a shown window titled `title` (a message box),
// photographs the whole screen into `shown` once it has been drawn, calls `beforeAnswer` and
// answers it with the Return key. `frame` is the top-level window that holds it (a window
// manager's frame round it). False when the display cannot be opened.
bool answerXWindow(const std::string& title, XScreenPicture& shown, XScreenWindow& frame,
                   const std::function<void()>& beforeAnswer = {});
// Unmaps a window on the display (DISPLAY), whoever made it.
void unmapXWindow(unsigned long window);

// A window manager run on the display (DISPLAY) until this object goes; up once it names its
// check window on the root, as managers that take full-screen requests do. No name, none.
class XWindowManager {
public:
    explicit XWindowManager(const std::string& name);
    ~XWindowManager();
    XWindowManager(const XWindowManager&) = delete;
    XWindowManager& operator=(const XWindowManager&) = delete;
    bool isUp() const { return up; }
    // Stops the manager where it stands, or lets it go on: a window that closes meanwhile keeps
    // its frame, and no window is given the focus.
    void hold(bool stopped);

private:
    pid_t pid = -1;
    bool up = false;
};
