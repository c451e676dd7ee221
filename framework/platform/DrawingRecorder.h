#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "framework/core/Rect.h"
#include "framework/core/RefHolder.h"
#include "framework/platform/DrawingList.h"
#include "framework/platform/Graphics.h"

// A drawing context that writes down every operation drawn through it, with the pixels it may
// change, in a DrawingList. Alone it draws nothing; given a context over the same target, it
// draws each operation through that context as well, cut to the damaged rectangles, so a frame
// drawn through it changes only those rectangles and leaves the same list as a frame drawn
// whole. The other context's state is restored when the recorder goes.
class DrawingRecorder : public Graphics {
    QUOVEL_TYPE(DrawingRecorder)
public:
    DrawingRecorder(Image* target, DrawingList& list);
    // `damage` must be disjoint rectangles of the target, or null for the whole target; it
    // must outlive the recorder.
    DrawingRecorder(Image* target, DrawingList& list, Graphics* drawer,
                    const std::vector<Rect>* damage);
    ~DrawingRecorder() override;

    void drawPixel(int32_t x, int32_t y) override;
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
    void copyRect(Image* source, int32_t dx, int32_t dy, int32_t sx, int32_t sy, int32_t w,
                  int32_t h) override;
    void blitChannel(Image* source, int32_t channel, int32_t dx, int32_t dy, int32_t sx, int32_t sy,
                     int32_t w, int32_t h) override;
    void blitChannelMin(Image* source, int32_t channel, int32_t dx, int32_t dy, int32_t sx,
                        int32_t sy, int32_t w, int32_t h) override;
    void blitChannelMax(Image* source, int32_t channel, int32_t dx, int32_t dy, int32_t sx,
                        int32_t sy, int32_t w, int32_t h) override;
    uint32_t getNativeColor() const override;

    // The kinds of operation, as written down.
    enum Kind : int32_t {
        PIXEL = 1,
        PIXEL_CHANNEL,
        LINE,
        LINE_AA,
        FILL,
        FILL_CHANNEL,
        BLIT,
        BLIT_ROTATED,
        BLIT_STRETCHED,
        COPY,
        BLIT_CHANNEL,
        BLIT_CHANNEL_MIN,
        BLIT_CHANNEL_MAX,
    };

private:
    // Writes the operation down with the pixels it may change, cut to the clip; false (nothing
    // written) when it can change none.
    bool record(Kind kind, const Rect& touched, std::initializer_list<int32_t> arguments,
                Image* source = nullptr, double angle = 0.0, double scale = 0.0);
    // Runs `draw` on the drawing context once for each damaged rectangle the operation reaches,
    // with this context's state and the clip cut to the rectangle.
    template <class Draw>
    void forward(Draw&& draw);
    // The blits and copies from a source rectangle to a target position, which differ only
    // in the operation drawn.
    template <class Draw>
    void sourceBlit(Kind kind, Image* source, int32_t channel, int32_t dx, int32_t dy, int32_t sx,
                    int32_t sy, int32_t w, int32_t h, Draw&& draw);
    // A plain blit's target rectangle, moved and cut like the blit itself.
    Rect blitArea(Image* source, int32_t dx, int32_t dy, int32_t sx, int32_t sy, int32_t w,
                  int32_t h) const;

    DrawingList& list;
    RefHolder<Graphics> drawer;
    const std::vector<Rect>* damage = nullptr;
    // What the last recorded operation touched.
    Rect touched;
    // The drawing context's state before the recorder used it.
    uint32_t savedColor = 0;
    int32_t savedAlpha = 255;
    bool savedSmooth = false;
    int32_t savedBlendMode = 0;
    int32_t savedOffsetX = 0;
    int32_t savedOffsetY = 0;
    Rect savedClip;
};
