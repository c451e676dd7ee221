#pragma once

#include <cstdint>

#include "framework/platform/Graphics.h"

// The drawing context of 4-byte (0xAARRGGBB) images: the 32-bit back buffer and every memory
// image of that depth. Color drawing keeps each target pixel's alpha byte; only copyRect, the
// uniform-alpha blit and channel-0 operations change it. Blits take 4-byte sources and 1-byte
// masks; the channel blits also read the alpha plane of 2-byte sources.
class Graphics32 : public Graphics {
    QUOVEL_TYPE(Graphics32)
public:
    explicit Graphics32(Image* target);

    void drawPixel(int32_t x, int32_t y) override;
    // The channel's byte (0 alpha, 1 red, 2 green, 3 blue) becomes the value's low byte; other
    // channel numbers draw nothing.
    void setPixelChannel(int32_t channel, int32_t value, int32_t x, int32_t y) override;
    // Horizontal and vertical lines at full alpha are stored as one clipped span.
    void drawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2) override;
    void drawLineAA(float x1, float y1, float x2, float y2) override;
    void fillRect(int32_t x, int32_t y, int32_t w, int32_t h) override;
    void fillRectChannel(int32_t channel, int32_t value, int32_t x, int32_t y, int32_t w,
                         int32_t h) override;
    void blit(Image* source, int32_t dx, int32_t dy, int32_t sx, int32_t sy, int32_t w,
              int32_t h) override;
    void blitRotated(Image* source, double angle, double scale, int32_t dx, int32_t dy, int32_t sx,
                     int32_t sy, int32_t sw, int32_t sh, int32_t pivotX, int32_t pivotY) override;
    void blitStretched(Image* source, int32_t sx, int32_t sy, int32_t sw, int32_t sh, int32_t dx,
                       int32_t dy, int32_t dw, int32_t dh) override;
    // Copies all four bytes of a 4-byte source; a mask source becomes the alpha bytes.
    void copyRect(Image* source, int32_t dx, int32_t dy, int32_t sx, int32_t sy, int32_t w,
                  int32_t h) override;
    void blitChannel(Image* source, int32_t channel, int32_t dx, int32_t dy, int32_t sx, int32_t sy,
                     int32_t w, int32_t h) override;
    void blitChannelMin(Image* source, int32_t channel, int32_t dx, int32_t dy, int32_t sx,
                        int32_t sy, int32_t w, int32_t h) override;
    void blitChannelMax(Image* source, int32_t channel, int32_t dx, int32_t dy, int32_t sx,
                        int32_t sy, int32_t w, int32_t h) override;
    // The color as stored.
    uint32_t getNativeColor() const override;

private:
    void channelBlit(drawing::ChannelOp op, Image* source, int32_t channel, int32_t dx, int32_t dy,
                     int32_t sx, int32_t sy, int32_t w, int32_t h);
};
