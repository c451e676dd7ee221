#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/os/Display.h"

// A display for tests: the screen, the desktop depth, focus and failures are scripted, and
// every call that changes something is logged in order ("createWindow full", "present"...).
class FakeDisplay : public Display {
public:
    int screenWidth() override { return screenW; }
    int screenHeight() override { return screenH; }
    int desktopBytesPerPixel() override { return desktopDepth; }

    bool createWindow(const std::string& newTitle, int width, int height,
                      bool newFullScreen) override {
        calls.push_back(std::string("createWindow ") + (newFullScreen ? "full" : "windowed"));
        destroyState();
        if (windowFailures > 0) {
            --windowFailures;
            return false;
        }
        if ((newFullScreen && fullScreenFails) || (!newFullScreen && windowedFails)) {
            return false;
        }
        window = true;
        title = newTitle;
        windowWidth = width;
        windowHeight = height;
        fullScreen = newFullScreen;
        return true;
    }
    bool createPresenter(int depth) override {
        calls.push_back("createPresenter " + std::to_string(depth));
        if (!window || presenterFails || (depth != 2 && depth != 4)) {
            return false;
        }
        bytesPerPixel = depth;
        auto store = std::make_shared<std::vector<uint8_t>>(
            static_cast<size_t>(windowWidth) * windowHeight * (depth + (depth == 2 ? 1 : 0)));
        backBuffer = SurfaceMemory{
            store->data(),
            depth == 2 ? store->data() + size_t{2} * windowWidth * windowHeight : nullptr,
            windowWidth,
            windowHeight,
            windowWidth * depth,
            depth,
            store};
        return true;
    }
    SurfaceMemory getBackBuffer() override { return backBuffer; }
    void destroyWindow() override {
        calls.push_back("destroyWindow");
        destroyState();
    }
    bool hasWindow() override { return window; }

    void show() override {
        calls.push_back("show");
        shown = window;
    }
    void restoreAndRaise() override {
        calls.push_back("restoreAndRaise");
        minimised = false;
    }
    void minimise() override {
        calls.push_back("minimise");
        minimised = window;
    }
    void setTitle(const std::string& newTitle) override { title = newTitle; }
    bool setFullScreen(bool newFullScreen) override {
        calls.push_back(std::string("setFullScreen ") + (newFullScreen ? "full" : "windowed"));
        if (!window) {
            return false;
        }
        fullScreen = newFullScreen;
        return true;
    }
    bool isFullScreen() override { return window && fullScreen; }

    bool present(const void* pixels, int pitch) override {
        if (!window || bytesPerPixel == 0 || presentFails || !pixels) {
            return false;
        }
        ++presentCount;
        lastPixels = pixels;
        lastPitch = pitch;
        if (keepShownPicture) {
            const auto* bytes = static_cast<const uint8_t*>(pixels);
            shownPicture.assign(bytes, bytes + static_cast<size_t>(pitch) * backBuffer.height);
        }
        return true;
    }

    // Like a texture that keeps the last picture: only the rectangles are taken into the
    // picture shown, so a change drawn outside them stays off the screen.
    bool presentRects(const void* pixels, int pitch, const DisplayRect* rects, int count) override {
        if (shownPicture.size() != static_cast<size_t>(pitch) * backBuffer.height) {
            return present(pixels, pitch);
        }
        if (!window || bytesPerPixel == 0 || presentFails || !pixels) {
            return false;
        }
        ++presentCount;
        ++rectPresentCount;
        lastPixels = pixels;
        lastPitch = pitch;
        const auto* bytes = static_cast<const uint8_t*>(pixels);
        for (int n = 0; n < count; ++n) {
            const DisplayRect& r = rects[n];
            presentedArea += static_cast<int64_t>(r.w) * r.h;
            for (int y = r.y; y < r.y + r.h; ++y) {
                const size_t at =
                    static_cast<size_t>(y) * pitch + static_cast<size_t>(r.x) * bytesPerPixel;
                std::copy_n(bytes + at, static_cast<size_t>(r.w) * bytesPerPixel,
                            shownPicture.begin() + static_cast<ptrdiff_t>(at));
            }
        }
        return true;
    }

    bool getClientPosition(int& x, int& y) override {
        x = window ? clientX : 0;
        y = window ? clientY : 0;
        return window;
    }
    void setClientPosition(int x, int y) override {
        calls.push_back("setClientPosition " + std::to_string(x) + "," + std::to_string(y));
        if (window) {
            clientX = x;
            clientY = y;
        }
    }
    void getFrameBorders(int& left, int& top, int& right, int& bottom) override {
        const bool framed = window && !fullScreen;
        left = framed ? borderLeft : 0;
        top = framed ? borderTop : 0;
        right = framed ? borderRight : 0;
        bottom = framed ? borderBottom : 0;
    }
    void setVSync(bool on) override { vSync = on; }

    bool hasFocus() override { return window && focus; }
    bool isMinimised() override { return window && minimised; }

    bool setIcon(const uint32_t* pixels, int width, int height) override {
        calls.push_back("setIcon");
        if (!pixels || width <= 0 || height <= 0) {
            return false;
        }
        iconWidth = width;
        iconHeight = height;
        iconPixels.assign(pixels, pixels + static_cast<size_t>(width) * height);
        ++iconCount;
        return true;
    }
    uint32_t getDirectXVersion() override { return directXVersion; }

    // Scripted by the test.
    int screenW = 1024;
    int screenH = 768;
    int desktopDepth = 4;
    int windowFailures = 0;  // so many next window creations fail, whatever the mode
    bool windowedFails = false;
    bool fullScreenFails = false;
    bool presenterFails = false;
    bool presentFails = false;  // stands for surfaces lost beyond repair
    bool focus = true;
    uint32_t directXVersion = 0x900;
    int borderLeft = 4;  // a window's frame; a full-screen window has none
    int borderTop = 30;
    int borderRight = 4;
    int borderBottom = 4;

    // Observed by the test.
    std::vector<std::string> calls;
    bool window = false;
    bool shown = false;
    bool fullScreen = false;
    bool minimised = false;
    std::string title;
    int windowWidth = 0;
    int windowHeight = 0;
    int bytesPerPixel = 0;
    int presentCount = 0;
    // Presents of rectangles alone, and the pixels they took.
    int rectPresentCount = 0;
    int64_t presentedArea = 0;
    SurfaceMemory backBuffer;
    int clientX = 0;
    int clientY = 0;
    bool vSync = false;
    const void* lastPixels = nullptr;
    // A copy of the picture last presented, kept when asked for.
    bool keepShownPicture = false;
    std::vector<uint8_t> shownPicture;
    int lastPitch = 0;
    int iconWidth = 0;
    int iconHeight = 0;
    std::vector<uint32_t> iconPixels;
    int iconCount = 0;  // icons accepted

private:
    void destroyState() {
        window = false;
        shown = false;
        minimised = false;
        bytesPerPixel = 0;
        backBuffer = SurfaceMemory{};
    }
};
