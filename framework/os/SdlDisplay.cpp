#include "framework/os/SdlDisplay.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "framework/os/DirectXVersion.h"
#include "framework/os/RendererChoice.h"
#include "framework/os/X11FullScreen.h"

namespace {

constexpr int MAX_ICON_SIDE = 1024;

int filterOwnSizeEvents(void* userData, SDL_Event* event) {
    const uint32_t id = *static_cast<const uint32_t*>(userData);
    if (event->type != SDL_WINDOWEVENT || event->window.windowID != id) {
        return 1;
    }
    const uint8_t kind = event->window.event;
    return kind == SDL_WINDOWEVENT_MINIMIZED || kind == SDL_WINDOWEVENT_RESTORED ||
                   kind == SDL_WINDOWEVENT_MAXIMIZED
               ? 0
               : 1;
}

// SDL falls back on its invisible drivers when no screen answers; they are used only when asked
// for by name (tests, benches, headless runs).
bool invisibleDriverNotAsked(const char* driver) {
    if (!driver || (SDL_strcmp(driver, "offscreen") != 0 && SDL_strcmp(driver, "dummy") != 0)) {
        return false;
    }
    const char* asked = SDL_GetHint(SDL_HINT_VIDEODRIVER);
    const std::string_view names = asked ? asked : "";
    for (size_t start = 0; start <= names.size();) {
        const size_t end = std::min(names.find(',', start), names.size());
        if (names.substr(start, end - start) == driver) {
            return false;
        }
        start = end + 1;
    }
    return true;
}

// Whether SDL's own choice should have found an X display: one is named, and no driver was asked
// for by name.
bool x11Expected() {
    const char* display = SDL_getenv("DISPLAY");
    const char* asked = SDL_GetHint(SDL_HINT_VIDEODRIVER);
    return display && display[0] != '\0' && (!asked || asked[0] == '\0');
}

// Why no screen was found, for the player: the X display tried and the video system's reason.
std::string noScreenReason(const std::string& why) {
    const char* display = SDL_getenv("DISPLAY");
    return (display && display[0] != '\0' ? "DISPLAY is \"" + std::string(display) + "\""
                                          : std::string("DISPLAY is not set")) +
           "; " + why;
}

bool desktopMode(SDL_Window* window, SDL_DisplayMode& mode) {
    const int index = window ? SDL_GetWindowDisplayIndex(window) : 0;
    return SDL_GetDesktopDisplayMode(index < 0 ? 0 : index, &mode) == 0;
}

}  // namespace

SdlDisplay::SdlDisplay() {
    // The game's window close is a request the current scene may answer; it must not also
    // arrive as a second close through SDL's quit event.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    videoStarted = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
    if (!videoStarted) {
        videoError = std::string("SDL: ") + SDL_GetError();
    } else if (const char* driver = SDL_GetCurrentVideoDriver(); invisibleDriverNotAsked(driver)) {
        videoError = std::string("SDL found only its invisible \"") + driver + "\" driver";
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        videoStarted = false;
    }
    // SDL's own choice has been seen to miss a fresh X display (its start slowed by a session
    // bus it could not reach) and a moment later to find it: x11 is tried once more by name.
    if (!videoStarted && x11Expected()) {
        SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
        videoStarted = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
        videoError = std::string("SDL: ") + SDL_GetError();
    }
    videoError = videoStarted ? std::string() : noScreenReason(videoError);
    // On X, the software renderer draws into the window's own shared-memory image; by default
    // SDL would put that image behind an OpenGL texture of its own, which is what the software
    // renderer stands in for.
    const char* driver = videoStarted ? SDL_GetCurrentVideoDriver() : nullptr;
    if (driver && SDL_strcmp(driver, "x11") == 0) {
        SDL_SetHintWithPriority(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0", SDL_HINT_DEFAULT);
    }
}

SdlDisplay::~SdlDisplay() {
    destroyWindow();
    if (videoStarted) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
}

int SdlDisplay::screenWidth() {
    SDL_DisplayMode mode;
    return videoStarted && desktopMode(window, mode) ? mode.w : 0;
}

int SdlDisplay::screenHeight() {
    SDL_DisplayMode mode;
    return videoStarted && desktopMode(window, mode) ? mode.h : 0;
}

int SdlDisplay::desktopBytesPerPixel() {
    SDL_DisplayMode mode;
    // The byte count, not bits / 8: SDL's 32-bit formats without alpha report 24 bits, which
    // would read as a 3-byte desktop.
    return videoStarted && desktopMode(window, mode) ? SDL_BYTESPERPIXEL(mode.format) : 0;
}

bool SdlDisplay::createWindow(const std::string& title, int newWidth, int newHeight,
                              bool fullScreen) {
    destroyWindow();
    if (!videoStarted || newWidth <= 0 || newHeight <= 0) {
        return false;
    }
    uint32_t flags = SDL_WINDOW_HIDDEN;
    if (fullScreen) {
        flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    }
    window = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                              newWidth, newHeight, flags);
    if (!window) {
        return false;
    }
    width = newWidth;
    height = newHeight;
    screenCovered = false;
    textureCount = 0;
    applyIcon();
    dropOwnSizeEvents();
    return true;
}

bool SdlDisplay::createPresenter(int newBytesPerPixel) {
    if (!window || (newBytesPerPixel != 2 && newBytesPerPixel != 4)) {
        return false;
    }
    backBuffer = SurfaceMemory{};
    if (texture) {
        SDL_DestroyTexture(texture);
        texture = nullptr;
    }
    if (renderer) {
        SDL_DestroyRenderer(renderer);
        renderer = nullptr;
    }
    renderer = createWindowRenderer(window);
    if (!renderer) {
        return false;
    }
    SDL_RendererInfo info;
    softwareRenderer = SDL_GetRendererInfo(renderer, &info) == 0 && info.name &&
                       SDL_strcmp(info.name, "software") == 0;
    filledSurface = nullptr;
    bytesPerPixel = newBytesPerPixel;
    colors565.clear();
    if (bytesPerPixel == 2) {
        // One table lookup a pixel, with SDL's own colors (which no simple formula gives).
        std::vector<uint16_t> every(65536);
        for (size_t p = 0; p < every.size(); ++p) {
            every[p] = static_cast<uint16_t>(p);
        }
        colors565.resize(every.size());
        if (SDL_ConvertPixels(256, 256, SDL_PIXELFORMAT_RGB565, every.data(), 512,
                              SDL_PIXELFORMAT_XRGB8888, colors565.data(), 1024) != 0) {
            SDL_DestroyRenderer(renderer);
            renderer = nullptr;
            return false;
        }
    }
    SDL_RenderSetVSync(renderer, vSync ? 1 : 0);
    if (SDL_RenderSetLogicalSize(renderer, width, height) != 0 || !createTexture()) {
        SDL_DestroyRenderer(renderer);
        renderer = nullptr;
        return false;
    }
    // The back buffer stays in system memory: drawing reads it back, which a streaming
    // texture's lock does not allow. Each present uploads it.
    const size_t area = static_cast<size_t>(width) * static_cast<size_t>(height);
    auto store = std::make_shared<std::vector<uint8_t>>(
        area * static_cast<size_t>(newBytesPerPixel + (newBytesPerPixel == 2 ? 1 : 0)));
    backBuffer = SurfaceMemory{store->data(),
                               newBytesPerPixel == 2 ? store->data() + area * 2 : nullptr,
                               width,
                               height,
                               width * newBytesPerPixel,
                               newBytesPerPixel,
                               store};
    return true;
}

bool SdlDisplay::createTexture() {
    if (texture) {
        SDL_DestroyTexture(texture);
    }
    // XRGB8888 at both depths: SDL scales and converts RGB565 pixel by pixel, many times slower
    // than the conversion on upload.
    texture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_XRGB8888, SDL_TEXTUREACCESS_STREAMING,
                                width, height);
    if (!texture) {
        return false;
    }
    ++textureCount;
    textureLost = false;
    textureFilled = false;
    return true;
}

void SdlDisplay::destroyWindow() {
    backBuffer = SurfaceMemory{};
    filledSurface = nullptr;
    if (texture) {
        SDL_DestroyTexture(texture);
        texture = nullptr;
    }
    if (renderer) {
        SDL_DestroyRenderer(renderer);
        renderer = nullptr;
    }
    if (window) {
        SDL_DestroyWindow(window);
        window = nullptr;
    }
    textureLost = false;
}

void SdlDisplay::show() {
    if (window) {
        SDL_ShowWindow(window);
        // Only a mapped window can be seen to lack its full screen; where it does, a window
        // of the screen's size stands in for it.
        if (isFullScreen() && !x11FullScreenGranted(window)) {
            coverScreen();
        }
    }
}

void SdlDisplay::coverScreen() {
    SDL_Rect screen{0, 0, screenWidth(), screenHeight()};
    SDL_GetDisplayBounds(std::max(SDL_GetWindowDisplayIndex(window), 0), &screen);
    SDL_SetWindowFullscreen(window, 0);
    SDL_SetWindowBordered(window, SDL_FALSE);
    SDL_SetWindowSize(window, screen.w, screen.h);
    SDL_SetWindowPosition(window, screen.x, screen.y);
    dropOwnSizeEvents();
    filledSurface = nullptr;
    screenCovered = true;
}

void SdlDisplay::restoreAndRaise() {
    if (window) {
        SDL_RestoreWindow(window);
        SDL_RaiseWindow(window);
    }
}

void SdlDisplay::minimise() {
    if (window) {
        SDL_MinimizeWindow(window);
    }
}

void SdlDisplay::setTitle(const std::string& title) {
    if (window) {
        SDL_SetWindowTitle(window, title.c_str());
    }
}

bool SdlDisplay::setFullScreen(bool fullScreen) {
    if (!window) {
        return false;
    }
    filledSurface = nullptr;
    if (screenCovered) {
        SDL_SetWindowBordered(window, SDL_TRUE);
        screenCovered = false;
    }
    const bool switched =
        SDL_SetWindowFullscreen(window, fullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) == 0;
    if (switched && !fullScreen) {
        // A window made in full screen has no windowed size of its own to go back to.
        SDL_SetWindowSize(window, width, height);
        SDL_SetWindowPosition(window, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    }
    dropOwnSizeEvents();
    return switched;
}

bool SdlDisplay::isFullScreen() {
    return window && (screenCovered || (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN) != 0);
}

bool SdlDisplay::present(const void* pixels, int pitch) {
    if (!renderer || !pixels || pitch < width * bytesPerPixel) {
        return false;
    }
    ++presents;
    // A lost texture is made again even while frames bypass it, ready for the renderer.
    if ((textureLost || !texture) && !createTexture()) {
        return false;
    }
    const DisplayRect whole{0, 0, width, height};
    if (SDL_Surface* surface = presentingSurface()) {
        copyRect(pixels, pitch, whole, surface->pixels, surface->pitch);
        // The texture misses this picture, should presents go through the renderer again.
        textureFilled = false;
        filledSurface = SDL_UpdateWindowSurface(window) == 0 ? surface : nullptr;
        return filledSurface != nullptr;
    }
    filledSurface = nullptr;
    if (!uploadRect(pixels, pitch, whole)) {
        textureLost = true;
        return false;
    }
    textureFilled = true;
    return showTexture();
}

bool SdlDisplay::presentRects(const void* pixels, int pitch, const DisplayRect* rects, int count) {
    if (!renderer || !pixels || pitch < width * bytesPerPixel) {
        return false;
    }
    ++presents;
    if (SDL_Surface* surface = presentingSurface()) {
        if (surface != filledSurface) {
            return present(pixels, pitch);
        }
        updatedRects.clear();
        for (int n = 0; n < count; ++n) {
            copyRect(pixels, pitch, rects[n], surface->pixels, surface->pitch);
            updatedRects.push_back(SDL_Rect{rects[n].x, rects[n].y, rects[n].w, rects[n].h});
        }
        if (SDL_UpdateWindowSurfaceRects(window, updatedRects.data(), count) != 0) {
            filledSurface = nullptr;
            return false;
        }
        return true;
    }
    if (textureLost || !texture || !textureFilled) {
        return present(pixels, pitch);
    }
    for (int n = 0; n < count; ++n) {
        if (!uploadRect(pixels, pitch, rects[n])) {
            textureLost = true;
            return false;
        }
    }
    return showTexture();
}

const uint8_t* SdlDisplay::shownFrame(int& pitch) {
    pitch = 0;
    if (bytesPerPixel != 4 || !filledSurface || presentingSurface() != filledSurface) {
        return nullptr;
    }
    pitch = filledSurface->pitch;
    return static_cast<const uint8_t*>(filledSurface->pixels);
}

bool SdlDisplay::uploadRect(const void* pixels, int pitch, const DisplayRect& rect) {
    const SDL_Rect area{rect.x, rect.y, rect.w, rect.h};
    if (bytesPerPixel == 4) {
        const auto* first = static_cast<const uint8_t*>(pixels) +
                            static_cast<ptrdiff_t>(rect.y) * pitch +
                            static_cast<ptrdiff_t>(rect.x) * 4;
        return SDL_UpdateTexture(texture, &area, first, pitch) == 0;
    }
    void* target = nullptr;
    int targetPitch = 0;
    if (SDL_LockTexture(texture, &area, &target, &targetPitch) != 0) {
        return false;
    }
    // The locked memory starts at the rectangle's corner.
    copyRect(pixels, pitch, rect,
             static_cast<uint8_t*>(target) - static_cast<ptrdiff_t>(rect.y) * targetPitch -
                 static_cast<ptrdiff_t>(rect.x) * 4,
             targetPitch);
    SDL_UnlockTexture(texture);
    return true;
}

SDL_Surface* SdlDisplay::presentingSurface() {
    if (!softwareRenderer || !window) {
        return nullptr;
    }
    int windowWidth = 0;
    int windowHeight = 0;
    SDL_GetWindowSize(window, &windowWidth, &windowHeight);
    if (windowWidth != width || windowHeight != height) {
        return nullptr;
    }
    SDL_Surface* surface = SDL_GetWindowSurface(window);
    if (!surface || !surface->pixels || surface->w < width || surface->h < height ||
        surface->format->format != SDL_PIXELFORMAT_XRGB8888) {
        return nullptr;
    }
    return surface;
}

void SdlDisplay::copyRect(const void* pixels, int pitch, const DisplayRect& rect, void* target,
                          int targetPitch) const {
    for (int y = rect.y; y < rect.y + rect.h; ++y) {
        const auto* from = static_cast<const uint8_t*>(pixels) + static_cast<ptrdiff_t>(y) * pitch;
        auto* to = static_cast<uint8_t*>(target) + static_cast<ptrdiff_t>(y) * targetPitch +
                   static_cast<ptrdiff_t>(rect.x) * 4;
        if (bytesPerPixel == 4) {
            std::memcpy(to, from + static_cast<ptrdiff_t>(rect.x) * 4,
                        static_cast<size_t>(rect.w) * 4);
            continue;
        }
        const uint32_t* colors = colors565.data();
        for (int x = 0; x < rect.w; ++x) {
            uint16_t p;
            std::memcpy(&p, from + static_cast<ptrdiff_t>(rect.x + x) * 2, 2);
            std::memcpy(to + static_cast<ptrdiff_t>(x) * 4, &colors[p], 4);
        }
    }
}

bool SdlDisplay::showTexture() {
    // Only letterboxing leaves bars for the clear to paint; otherwise the copy covers all.
    int outputWidth = 0;
    int outputHeight = 0;
    if (SDL_GetRendererOutputSize(renderer, &outputWidth, &outputHeight) != 0 ||
        outputWidth != width || outputHeight != height) {
        SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
        SDL_RenderClear(renderer);
    }
    if (SDL_RenderCopy(renderer, texture, nullptr, nullptr) != 0) {
        textureLost = true;
        return false;
    }
    SDL_RenderPresent(renderer);
    return true;
}

bool SdlDisplay::getClientPosition(int& x, int& y) {
    x = 0;
    y = 0;
    if (!window) {
        return false;
    }
    SDL_GetWindowPosition(window, &x, &y);
    return true;
}

void SdlDisplay::setClientPosition(int x, int y) {
    if (window) {
        SDL_SetWindowPosition(window, x, y);
    }
}

void SdlDisplay::getFrameBorders(int& left, int& top, int& right, int& bottom) {
    left = top = right = bottom = 0;
    // Unknown (all 0) while the window manager has not framed the window yet.
    if (window && !isFullScreen() &&
        SDL_GetWindowBordersSize(window, &top, &left, &bottom, &right) != 0) {
        left = top = right = bottom = 0;
    }
}

void SdlDisplay::setVSync(bool on) {
    vSync = on;
    if (renderer) {
        SDL_RenderSetVSync(renderer, on ? 1 : 0);
    }
}

bool SdlDisplay::hasFocus() {
    return window && (SDL_GetWindowFlags(window) & SDL_WINDOW_INPUT_FOCUS) != 0;
}

bool SdlDisplay::isMinimised() {
    return window && (SDL_GetWindowFlags(window) & SDL_WINDOW_MINIMIZED) != 0;
}

bool SdlDisplay::setIcon(const uint32_t* pixels, int newWidth, int newHeight) {
    if (!pixels || newWidth <= 0 || newHeight <= 0 || newWidth > MAX_ICON_SIDE ||
        newHeight > MAX_ICON_SIDE) {
        return false;
    }
    iconPixels.assign(pixels, pixels + static_cast<size_t>(newWidth) * newHeight);
    iconWidth = newWidth;
    iconHeight = newHeight;
    applyIcon();
    return true;
}

void SdlDisplay::applyIcon() {
    if (!window || iconPixels.empty()) {
        return;
    }
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(
        iconPixels.data(), iconWidth, iconHeight, 32, iconWidth * 4, SDL_PIXELFORMAT_ARGB8888);
    if (surface) {
        SDL_SetWindowIcon(window, surface);
        SDL_FreeSurface(surface);
    }
}

uint32_t SdlDisplay::getDirectXVersion() {
    return ::getDirectXVersion();
}

uint32_t SdlDisplay::windowId() const {
    return window ? SDL_GetWindowID(window) : 0;
}

void SdlDisplay::dropOwnSizeEvents() {
    uint32_t id = SDL_GetWindowID(window);
    SDL_PumpEvents();
    SDL_FilterEvents(filterOwnSizeEvents, &id);
}
