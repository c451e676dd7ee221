#pragma once

#include <string>
#include <vector>

#include "framework/os/Display.h"

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;
struct SDL_Rect;
struct SDL_Surface;

// The display on SDL2: one window, a renderer (accelerated, else software; an OpenGL that
// would rasterise on the processor counts as software, see RendererChoice.h) and a streaming
// XRGB8888 texture that each present uploads the back buffer into (an RGB565 buffer converted on
// the way, with SDL's own colors). Full screen is the desktop-sized window with the game's size
// as the renderer's logical size, letterboxed; where the window system does not grant it, a
// borderless window of the screen's size at its corner, scaled the same way. The software renderer
// repaints the whole window at each present, so while the window is the game's size it is bypassed:
// the frame goes straight into the window's own surface, and a damaged frame updates only its
// rectangles there. A renderer reset stands for lost surfaces: the texture is made again on the
// next present.
class SdlDisplay : public Display {
public:
    // Starts SDL's video system; without it every window operation fails. With an X display
    // named (DISPLAY) and no driver asked for, video that did not come up on x11 is started once
    // more on x11 by name.
    SdlDisplay();
    ~SdlDisplay() override;
    SdlDisplay(const SdlDisplay&) = delete;
    SdlDisplay& operator=(const SdlDisplay&) = delete;

    int screenWidth() override;
    int screenHeight() override;
    int desktopBytesPerPixel() override;
    std::string startFailure() override { return videoError; }
    bool createWindow(const std::string& title, int width, int height, bool fullScreen) override;
    bool createPresenter(int bytesPerPixel) override;
    SurfaceMemory getBackBuffer() override { return backBuffer; }
    void destroyWindow() override;
    bool hasWindow() override { return window != nullptr; }
    void show() override;
    void restoreAndRaise() override;
    void minimise() override;
    void setTitle(const std::string& title) override;
    bool setFullScreen(bool fullScreen) override;
    bool isFullScreen() override;
    bool present(const void* pixels, int pitch) override;
    // Uploads only the rectangles into a texture that holds the last picture shown.
    bool presentRects(const void* pixels, int pitch, const DisplayRect* rects, int count) override;
    // The window's surface, at 4 bytes per pixel while it holds the last frame shown.
    const uint8_t* shownFrame(int& pitch) override;
    bool getClientPosition(int& x, int& y) override;
    void setClientPosition(int x, int y) override;
    void getFrameBorders(int& left, int& top, int& right, int& bottom) override;
    void setVSync(bool on) override;
    bool hasFocus() override;
    bool isMinimised() override;
    bool setIcon(const uint32_t* pixels, int width, int height) override;
    uint32_t getDirectXVersion() override;

    // The textures are gone (SDL reported a render-target or device reset).
    void rendererReset() {
        textureLost = true;
        filledSurface = nullptr;
    }

    // For the event source, which maps coordinates and filters by window.
    SDL_Window* sdlWindow() const { return window; }
    SDL_Renderer* sdlRenderer() const { return renderer; }
    uint32_t windowId() const;
    // How many textures were made since the window was created.
    int textureCreations() const { return textureCount; }
    // How many frames were handed to the window system, counted for the event source: a
    // present may wait for replies through a driver of its own.
    uint64_t presentCount() const { return presents; }

private:
    bool createTexture();
    // Draws the texture into the window and shows it.
    bool showTexture();
    // Copies a rectangle of the back buffer into the texture.
    bool uploadRect(const void* pixels, int pitch, const DisplayRect& rect);
    // The window's surface when presents go through it (software renderer, no letterbox, an
    // XRGB8888 surface of at least the window's size); null otherwise.
    SDL_Surface* presentingSurface();
    // Copies a rectangle of the back buffer into 32-bit XRGB8888 rows at `target`.
    void copyRect(const void* pixels, int pitch, const DisplayRect& rect, void* target,
                  int targetPitch) const;
    void applyIcon();
    // Makes the window cover the screen at its top left (see screenCovered).
    void coverScreen();
    // Drops the minimise/restore/maximise events that the game's own switch has caused.
    void dropOwnSizeEvents();

    bool videoStarted = false;
    // Why no screen was found (see Display::startFailure); empty when one was.
    std::string videoError;
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    int width = 0;
    int height = 0;
    int bytesPerPixel = 0;
    bool textureLost = false;
    // Whether the texture holds a whole picture, which rectangles may then update.
    bool textureFilled = false;
    int textureCount = 0;
    uint64_t presents = 0;
    // Whether the renderer is SDL's own software one.
    bool softwareRenderer = false;
    // The window surface that holds a whole picture, which rectangles may then update; null
    // for none.
    SDL_Surface* filledSurface = nullptr;
    // The rectangles of the surface's last update, kept for their memory.
    std::vector<SDL_Rect> updatedRects;
    // XRGB8888 of each RGB565 pixel, as SDL converts them; empty at 4 bytes per pixel.
    std::vector<uint32_t> colors565;
    SurfaceMemory backBuffer;
    // The window system left a full-screen window at its own size (X without a window
    // manager): a plain borderless window covers the screen instead, the picture scaled into it
    // as in full screen, and counts as full screen.
    bool screenCovered = false;
    bool vSync = false;
    std::vector<uint32_t> iconPixels;
    int iconWidth = 0;
    int iconHeight = 0;
};
