#pragma once

#include <cstdint>
#include <memory>
#include <string>

// Memory that the display owns and lends to an image: the back buffer. `owner` keeps the memory
// alive for as long as an image refers to it.
struct SurfaceMemory {
    uint8_t* pixels = nullptr;
    // One byte per pixel, rows of `width` bytes; required at 2 bytes per pixel.
    uint8_t* alphaPlane = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    int32_t pitch = 0;
    int32_t bytesPerPixel = 0;
    std::shared_ptr<void> owner;
};

// A rectangle of the back buffer, in pixels.
struct DisplayRect {
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
};

// The screen and the game's one window: what the game window needs to open itself in a window
// or full screen, and to show the back buffer it draws into once per frame. The window's
// client area is always the game's own size; full screen covers the desktop and letterboxes
// that size, so the desktop's mode and depth never change.
class Display {
public:
    virtual ~Display() = default;

    // The desktop's size in pixels and its depth in bytes per pixel (3 for a 24-bit desktop).
    // A size of 0: no screen, for the reason startFailure gives when it knows one.
    virtual int screenWidth() = 0;
    virtual int screenHeight() = 0;
    virtual int desktopBytesPerPixel() = 0;
    // Why no screen was found: the display tried and the video system's reason; empty when one
    // was found or nothing is known.
    virtual std::string startFailure() { return {}; }

    // Makes the window, centred and hidden until `show`; false (and no window) on failure.
    virtual bool createWindow(const std::string& title, int width, int height, bool fullScreen) = 0;
    // Makes what presents a back buffer of 2 (RGB565) or 4 (XRGB8888) bytes per pixel into
    // the window, and the back buffer itself; false on failure, when the window stays without
    // one.
    virtual bool createPresenter(int bytesPerPixel) = 0;
    // The presenter's back buffer: zeroed memory of the window's size at its depth, with an
    // alpha plane at 2 bytes per pixel. Empty without a presenter; a new presenter makes a new
    // buffer, while the old one lives on for whoever still holds it.
    virtual SurfaceMemory getBackBuffer() = 0;
    // Destroys the presenter and the window, if any.
    virtual void destroyWindow() = 0;
    virtual bool hasWindow() = 0;

    virtual void show() = 0;
    // Brings the window back from minimised and in front of the others.
    virtual void restoreAndRaise() = 0;
    virtual void minimise() = 0;
    virtual void setTitle(const std::string& title) = 0;
    // Switches the existing window between a window and full screen; false when it cannot.
    virtual bool setFullScreen(bool fullScreen) = 0;
    virtual bool isFullScreen() = 0;

    // Shows a back buffer of the window's size at the presenter's depth; `pitch` is the byte
    // distance between rows. False when nothing could be shown (no presenter, or it was lost
    // and could not be made again).
    virtual bool present(const void* pixels, int pitch) = 0;
    // Shows a back buffer that differs from the one shown last only inside the rectangles
    // (which lie inside the buffer); a presenter that keeps the last picture takes just those.
    virtual bool presentRects(const void* pixels, int pitch, const DisplayRect* rects, int count) {
        (void)rects;
        (void)count;
        return present(pixels, pitch);
    }

    // The memory that holds the picture on screen byte for byte as the back buffer held it,
    // which presents copy into, and the byte distance between its rows; null when the display
    // keeps no such picture (the default).
    virtual const uint8_t* shownFrame(int& pitch) {
        pitch = 0;
        return nullptr;
    }

    // Where the window's client area lies on the screen; false (with 0, 0) without a window.
    virtual bool getClientPosition(int& x, int& y) = 0;
    // Moves a window so that its client area starts at (x, y) on the screen.
    virtual void setClientPosition(int x, int y) = 0;
    // How far the window's frame reaches beyond the client area on each side; all 0 without a
    // window or without a frame.
    virtual void getFrameBorders(int& left, int& top, int& right, int& bottom) = 0;
    // Whether presenting waits for the vertical blank; kept for later presenters as well.
    virtual void setVSync(bool on) = 0;

    virtual bool hasFocus() = 0;
    virtual bool isMinimised() = 0;

    // Icon of this and every later window, from 32-bit pixels 0xAARRGGBB, row after row.
    virtual bool setIcon(const uint32_t* pixels, int width, int height) = 0;

    // The display-version code: 0x900 when the video system starts and can draw, 0xE0 when not.
    virtual uint32_t getDirectXVersion() = 0;
};
