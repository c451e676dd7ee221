#pragma once

#include <cstdint>
#include <map>
#include <utility>
#include <vector>

#include "framework/platform/BlitGeometry.h"
#include "framework/platform/Graphics.h"

// A drawing context that records what reaches the pixels instead of writing them, so the
// depth-independent operations can be checked without a pixel format. Pixel operations apply
// the offset and the clip test as both depths do.
class RecordingGraphics : public Graphics {
public:
    using Pixel = std::pair<int32_t, int32_t>;

    explicit RecordingGraphics(Image* target) : Graphics(target) {}

    // The alpha each drawn pixel was last drawn with, keyed by (x, y) in target coordinates.
    std::map<Pixel, int32_t> pixels;
    // How often each pixel was drawn.
    std::map<Pixel, int32_t> drawCount;
    // The value each channel write left, keyed by (x, y).
    std::map<Pixel, int32_t> channelValues;
    struct BlitCall {
        int32_t dx, dy, sx, sy, w, h;
    };
    std::vector<BlitCall> blits;
    std::vector<std::vector<int32_t>> calls;

    void drawPixel(int32_t x, int32_t y) override {
        x += offsetX;
        y += offsetY;
        if (alpha > 0 && insideClip(x, y)) {
            pixels[{x, y}] = alpha;
            ++drawCount[{x, y}];
        }
    }
    void setPixelChannel(int32_t channel, int32_t value, int32_t x, int32_t y) override {
        x += offsetX;
        y += offsetY;
        if (channel >= 0 && channel <= 3 && insideClip(x, y)) {
            channelValues[{x, y}] = value;
        }
    }
    // Antialiased lines as asked for, before any clipping.
    std::vector<std::vector<float>> aaLines;
    void drawLineAA(float x1, float y1, float x2, float y2) override {
        aaLines.push_back({x1, y1, x2, y2});
    }
    void fillRect(int32_t x, int32_t y, int32_t w, int32_t h) override {
        const Rect area = intersectRects(Rect{x + offsetX, y + offsetY, w, h}, clip);
        calls.push_back({area.x, area.y, area.w, area.h});
    }
    void fillRectChannel(int32_t, int32_t, int32_t x, int32_t y, int32_t w, int32_t h) override {
        fillRect(x, y, w, h);
    }
    void blit(Image* source, int32_t dx, int32_t dy, int32_t sx, int32_t sy, int32_t w,
              int32_t h) override {
        dx += offsetX;
        dy += offsetY;
        const Image* target = getImage();
        if (source && clipBlit(dx, dy, sx, sy, w, h, target->getWidth(), target->getHeight(),
                               source->getWidth(), source->getHeight(), clip)) {
            blits.push_back(BlitCall{dx, dy, sx, sy, w, h});
        }
    }
    void blitRotated(Image*, double, double, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t,
                     int32_t, int32_t) override {}
    void blitStretched(Image*, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t,
                       int32_t) override {}
    void copyRect(Image* source, int32_t dx, int32_t dy, int32_t sx, int32_t sy, int32_t w,
                  int32_t h) override {
        blit(source, dx, dy, sx, sy, w, h);
    }
    void blitChannel(Image* source, int32_t, int32_t dx, int32_t dy, int32_t sx, int32_t sy,
                     int32_t w, int32_t h) override {
        blit(source, dx, dy, sx, sy, w, h);
    }
    void blitChannelMin(Image* source, int32_t, int32_t dx, int32_t dy, int32_t sx, int32_t sy,
                        int32_t w, int32_t h) override {
        blit(source, dx, dy, sx, sy, w, h);
    }
    void blitChannelMax(Image* source, int32_t, int32_t dx, int32_t dy, int32_t sx, int32_t sy,
                        int32_t w, int32_t h) override {
        blit(source, dx, dy, sx, sy, w, h);
    }
    uint32_t getNativeColor() const override { return color; }

    bool insideClip(int32_t x, int32_t y) const { return clip.contains(x, y); }
};
