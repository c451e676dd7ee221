#pragma once

#include <cstdint>

#include "framework/platform/Graphics.h"

// The drawing context of 2-byte images: RGB565 pixels with a separate alpha plane of one byte per
// pixel (the 16-bit back buffer and every memory image converted to that depth). Color drawing
// works on the 5-, 6- and 5-bit fields and never changes the alpha plane; channel 0 is the alpha
// plane, channels 1-3 are the fields. Blits take 2-byte sources and 1-byte masks; the channel
// blits also read the alpha of 4-byte sources.
class Graphics16 : public Graphics {
    QUOVEL_TYPE(Graphics16)
public:
    explicit Graphics16(Image* target);

    void drawPixel(int32_t x, int32_t y) override;
    // Channel 0 sets the alpha-plane byte; 1, 2, 3 set the red, green or blue field to the
    // value's low 5, 6 or 5 bits. Other channels, and channel 0 without an alpha plane, draw
    // nothing.
    void setPixelChannel(int32_t channel, int32_t value, int32_t x, int32_t y) override;
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
    // Copies the RGB565 pixels, and the alpha plane too unless the source or the target is a
    // surface image (ImageDD). A mask source gives its alpha plane only.
    void copyRect(Image* source, int32_t dx, int32_t dy, int32_t sx, int32_t sy, int32_t w,
                  int32_t h) override;
    // Every channel blit writes the alpha plane: from a 4-byte source its alpha bytes whatever
    // the channel; from a 1- or 2-byte source its alpha plane, for channel 0 only.
    void blitChannel(Image* source, int32_t channel, int32_t dx, int32_t dy, int32_t sx, int32_t sy,
                     int32_t w, int32_t h) override;
    void blitChannelMin(Image* source, int32_t channel, int32_t dx, int32_t dy, int32_t sx,
                        int32_t sy, int32_t w, int32_t h) override;
    void blitChannelMax(Image* source, int32_t channel, int32_t dx, int32_t dy, int32_t sx,
                        int32_t sy, int32_t w, int32_t h) override;
    // Also computes the RGB565 form of the color.
    void setColor(uint32_t value) override;
    // The RGB565 form of the color.
    uint32_t getNativeColor() const override;

private:
    void channelBlit(drawing::ChannelOp op, Image* source, int32_t channel, int32_t dx, int32_t dy,
                     int32_t sx, int32_t sy, int32_t w, int32_t h);

    uint16_t nativeColor = 0;
};
