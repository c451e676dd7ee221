#pragma once
// What an X server shows, for the picture tests in a real X session; Xlib stays in its own file.

#include <sys/types.h>

#include <cstdint>
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

// A window manager run on the display (DISPLAY) until this object goes; up once it names its
// check window on the root, as managers that take full-screen requests do. No name, none.
class XWindowManager {
public:
    explicit XWindowManager(const std::string& name);
    ~XWindowManager();
    XWindowManager(const XWindowManager&) = delete;
    XWindowManager& operator=(const XWindowManager&) = delete;
    bool isUp() const { return up; }

private:
    pid_t pid = -1;
    bool up = false;
};
