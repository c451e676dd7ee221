#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/core/BaseObject.h"
#include "framework/core/Polygon.h"
#include "framework/core/Rect.h"
#include "framework/core/RefHolder.h"
#include "framework/platform/Font.h"
#include "framework/platform/Image.h"

// Channel numbers of every channel operation.
namespace Channel {
constexpr int32_t ALPHA = 0;
constexpr int32_t RED = 1;
constexpr int32_t GREEN = 2;
constexpr int32_t BLUE = 3;
}  // namespace Channel

namespace drawing {
template <class Depth>
class DepthOps;
enum class ChannelOp;
}  // namespace drawing

// How `blit` combines a source that has an alpha channel with the target.
namespace BlendMode {
constexpr int32_t ALPHA = 0;
constexpr int32_t ADDITIVE = 1;
}  // namespace BlendMode

// A drawing context bound to one target image: current color (0xAARRGGBB), alpha, clip
// rectangle, drawing offset, font, smoothing and blend mode, with pixel, line, rectangle,
// polygon, blit and text operations. Destination coordinates are moved by the offset; the clip
// is in target coordinates and never moves. Drawing never reports an error: empty, clipped or
// fully transparent requests draw nothing. The per-depth operations are given by Graphics32
// (4 bytes per pixel) and Graphics16 (2 bytes per pixel); lines, outlines and polygon fills are
// built here on drawPixel and setPixelChannel.
class Graphics : public BaseObject {
    QUOVEL_TYPE(Graphics)
public:
    // Takes a reference on the target; the clip starts as the whole target.
    explicit Graphics(Image* target);
    ~Graphics() override;
    Graphics(const Graphics&) = delete;
    Graphics& operator=(const Graphics&) = delete;

    virtual void drawPixel(int32_t x, int32_t y) = 0;
    virtual void setPixelChannel(int32_t channel, int32_t value, int32_t x, int32_t y) = 0;
    // Bresenham line of drawPixel, both ends included.
    virtual void drawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
    // Rounds the coordinates to the nearest integer (ties to even) and calls drawLine.
    virtual void drawLineF(const PointF& a, const PointF& b);
    virtual void drawLineChannel(int32_t channel, int32_t value, int32_t x1, int32_t y1, int32_t x2,
                                 int32_t y2);
    virtual void drawLineChannelF(int32_t channel, int32_t value, const PointF& a, const PointF& b);
    virtual void drawLineAA(float x1, float y1, float x2, float y2) = 0;
    virtual void drawLineAAF(const PointF& a, const PointF& b);
    virtual void drawRectR(const Rect& rect);
    // Outline of four lines: top, bottom, left and right (the sides without the corners).
    virtual void drawRect(int32_t x, int32_t y, int32_t w, int32_t h);
    virtual void clear();
    virtual void fillRect(int32_t x, int32_t y, int32_t w, int32_t h) = 0;
    virtual void fillRectR(const Rect& rect);
    virtual void fillRectChannel(int32_t channel, int32_t value, int32_t x, int32_t y, int32_t w,
                                 int32_t h) = 0;
    virtual void fillRectChannelR(int32_t channel, int32_t value, const Rect& rect);
    virtual void fillChannel(int32_t channel, int32_t value);
    // A line between each pair of consecutive points (not closed); fewer than two points draw
    // nothing.
    virtual void drawPolygon(const Polygon& polygon, bool antialiased);
    // Scan-converted fill of the closed polygon in the current color; the points are not moved
    // by the offset, but the pixels are. Fewer than three points draw nothing.
    virtual void fillPolygon(const Polygon& polygon, bool antialiased);
    virtual void fillPolygonChannel(int32_t channel, int32_t value, const Polygon& polygon,
                                    bool antialiased);
    virtual void blit(Image* source, int32_t dx, int32_t dy, int32_t sx, int32_t sy, int32_t w,
                      int32_t h) = 0;
    virtual void blitR(Image* source, int32_t dx, int32_t dy, const Rect& rect);
    virtual void blitWhole(Image* source, int32_t dx, int32_t dy);
    virtual void blitRotated(Image* source, double angle, double scale, int32_t dx, int32_t dy,
                             int32_t sx, int32_t sy, int32_t sw, int32_t sh, int32_t pivotX,
                             int32_t pivotY) = 0;
    virtual void blitStretched(Image* source, int32_t sx, int32_t sy, int32_t sw, int32_t sh,
                               int32_t dx, int32_t dy, int32_t dw, int32_t dh) = 0;
    virtual void copyRect(Image* source, int32_t dx, int32_t dy, int32_t sx, int32_t sy, int32_t w,
                          int32_t h) = 0;
    virtual void copyRectR(Image* source, int32_t dx, int32_t dy, const Rect& rect);
    virtual void copyRectWhole(Image* source, int32_t dx, int32_t dy);
    virtual void blitChannel(Image* source, int32_t channel, int32_t dx, int32_t dy, int32_t sx,
                             int32_t sy, int32_t w, int32_t h) = 0;
    virtual void blitChannelR(Image* source, int32_t channel, int32_t dx, int32_t dy,
                              const Rect& rect);
    virtual void blitChannelWhole(Image* source, int32_t channel, int32_t dx, int32_t dy);
    virtual void blitChannelMin(Image* source, int32_t channel, int32_t dx, int32_t dy, int32_t sx,
                                int32_t sy, int32_t w, int32_t h) = 0;
    virtual void blitChannelMinR(Image* source, int32_t channel, int32_t dx, int32_t dy,
                                 const Rect& rect);
    virtual void blitChannelMinWhole(Image* source, int32_t channel, int32_t dx, int32_t dy);
    virtual void blitChannelMax(Image* source, int32_t channel, int32_t dx, int32_t dy, int32_t sx,
                                int32_t sy, int32_t w, int32_t h) = 0;
    virtual void blitChannelMaxR(Image* source, int32_t channel, int32_t dx, int32_t dy,
                                 const Rect& rect);
    virtual void blitChannelMaxWhole(Image* source, int32_t channel, int32_t dx, int32_t dy);
    // One line of text at (x, y) handed to the font. The offset is not added here: the font
    // draws through this context's blits, which add it, so it applies exactly once.
    virtual void drawTextColors(const std::wstring& text, int32_t x, int32_t y,
                                const std::vector<uint32_t>& colors);
    virtual void drawText(const std::wstring& text, int32_t x, int32_t y);
    // The font's drawText with this context; without a font nothing is drawn.
    virtual void drawTextLines(const std::vector<TextLine>& lines,
                               const std::vector<uint32_t>& colors);
    virtual void setColor(uint32_t value);
    virtual uint32_t getColor() const;
    // The color in the target's pixel format.
    virtual uint32_t getNativeColor() const = 0;
    // Stores the alpha clamped: below 1 gives 0, above 255 gives 255; returns what it stored.
    virtual int32_t setAlpha(int32_t value);
    virtual int32_t getAlpha() const;
    virtual void setSmooth(bool value);
    virtual bool isSmooth() const;
    // Stored unchecked; blit draws nothing for alpha-channel sources in an unknown mode.
    virtual void setBlendMode(int32_t mode);
    virtual int32_t getBlendMode() const;
    virtual void setOffsetX(int32_t value);
    virtual int32_t getOffsetX() const;
    virtual void setOffsetY(int32_t value);
    virtual int32_t getOffsetY() const;
    virtual void setOffset(int32_t x, int32_t y);
    virtual void translateX(int32_t d);
    virtual void translateY(int32_t d);
    virtual void translate(int32_t dx, int32_t dy);
    virtual void resetClip();
    virtual void setClipRectR(const Rect& rect);
    virtual void setClipRect(int32_t x, int32_t y, int32_t w, int32_t h);
    // The clip becomes its intersection with the rectangle (possibly empty).
    virtual void clipToR(const Rect& rect);
    virtual void clipTo(int32_t x, int32_t y, int32_t w, int32_t h);
    virtual const Rect* getClipRect() const;
    virtual void setFont(Font* value);
    virtual Font* getFont() const;
    virtual Image* getImage() const;

protected:
    // The operation skeletons shared by the drawing depths read the state below.
    template <class Depth>
    friend class drawing::DepthOps;

    // The target's width and height.
    int32_t targetWidth() const;
    int32_t targetHeight() const;

    uint32_t color = 0;
    int32_t alpha = 255;
    Rect clip;
    int32_t offsetX = 0;
    int32_t offsetY = 0;
    RefHolder<Font> font;
    RefHolder<Image> image;
    bool smooth = false;
    int32_t blendMode = BlendMode::ALPHA;
};
