#include "framework/platform/Graphics.h"

#include "framework/core/NumberClamp.h"
#include "framework/platform/CoverageMask.h"
#include "framework/platform/LineGeometry.h"

QUOVEL_DEFINE_TYPE(Graphics, &BaseObject::typeRecord)

Graphics::Graphics(Image* target) : image(target) {
    resetClip();
}

Graphics::~Graphics() = default;

int32_t Graphics::targetWidth() const {
    return image ? image->getWidth() : 0;
}

int32_t Graphics::targetHeight() const {
    return image ? image->getHeight() : 0;
}

void Graphics::drawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    traceLine(x1, y1, x2, y2, [this](int32_t x, int32_t y) { drawPixel(x, y); });
}

void Graphics::drawLineF(const PointF& a, const PointF& b) {
    drawLine(roundToInt32(a.x), roundToInt32(a.y), roundToInt32(b.x), roundToInt32(b.y));
}

void Graphics::drawLineChannel(int32_t channel, int32_t value, int32_t x1, int32_t y1, int32_t x2,
                               int32_t y2) {
    traceLine(x1, y1, x2, y2, [&](int32_t x, int32_t y) { setPixelChannel(channel, value, x, y); });
}

void Graphics::drawLineChannelF(int32_t channel, int32_t value, const PointF& a, const PointF& b) {
    drawLineChannel(channel, value, roundToInt32(a.x), roundToInt32(a.y), roundToInt32(b.x),
                    roundToInt32(b.y));
}

void Graphics::drawLineAAF(const PointF& a, const PointF& b) {
    drawLineAA(a.x, a.y, b.x, b.y);
}

void Graphics::drawRectR(const Rect& rect) {
    drawRect(rect.x, rect.y, rect.w, rect.h);
}

void Graphics::drawRect(int32_t x, int32_t y, int32_t w, int32_t h) {
    // 64-bit corners, cut back to int32: a rectangle at the edge of the range must not wrap.
    const int32_t right = truncToInt32(static_cast<double>(x) + w - 1);
    const int32_t bottom = truncToInt32(static_cast<double>(y) + h - 1);
    const int32_t below = truncToInt32(static_cast<double>(y) + 1);
    const int32_t above = truncToInt32(static_cast<double>(y) + h - 2);
    drawLine(x, y, right, y);
    drawLine(x, bottom, right, bottom);
    drawLine(x, below, x, above);
    drawLine(right, below, right, above);
}

void Graphics::clear() {
    fillRect(0, 0, targetWidth(), targetHeight());
}

void Graphics::fillRectR(const Rect& rect) {
    fillRect(rect.x, rect.y, rect.w, rect.h);
}

void Graphics::fillRectChannelR(int32_t channel, int32_t value, const Rect& rect) {
    fillRectChannel(channel, value, rect.x, rect.y, rect.w, rect.h);
}

void Graphics::fillChannel(int32_t channel, int32_t value) {
    fillRectChannel(channel, value, 0, 0, targetWidth(), targetHeight());
}

void Graphics::drawPolygon(const Polygon& polygon, bool antialiased) {
    const std::vector<PointF>& points = polygon.getPoints();
    for (size_t i = 0; i + 1 < points.size(); ++i) {
        const PointF& a = points[i];
        const PointF& b = points[i + 1];
        const bool axisAligned = (a.x == b.x) != (a.y == b.y);
        if (antialiased && !axisAligned) {
            drawLineAA(a.x, a.y, b.x, b.y);
        } else {
            drawLineF(a, b);
        }
    }
}

void Graphics::fillPolygon(const Polygon& polygon, bool antialiased) {
    const CoverageMask mask =
        scanPolygon(polygon.getPoints(), targetWidth(), targetHeight(), antialiased);
    const int32_t full = alpha;
    for (int32_t y = mask.getFirstRow(); y <= mask.getLastRow(); ++y) {
        const int32_t* row = mask.row(y);
        for (int32_t x = 0; x < mask.getWidth(); ++x) {
            const int32_t coverage = row[x];
            if (coverage >= 255) {
                alpha = full;
                drawPixel(x, y);
            } else if (coverage > 0) {
                setAlpha((coverage * full) >> 8);
                drawPixel(x, y);
            }
        }
    }
    alpha = full;
}

void Graphics::fillPolygonChannel(int32_t channel, int32_t value, const Polygon& polygon,
                                  bool antialiased) {
    const CoverageMask mask =
        scanPolygon(polygon.getPoints(), targetWidth(), targetHeight(), antialiased);
    for (int32_t y = mask.getFirstRow(); y <= mask.getLastRow(); ++y) {
        const int32_t* row = mask.row(y);
        for (int32_t x = 0; x < mask.getWidth(); ++x) {
            const int32_t coverage = row[x];
            if (coverage >= 255) {
                setPixelChannel(channel, value, x, y);
            } else if (coverage > 0) {
                setPixelChannel(channel, (value * coverage) >> 8, x, y);
            }
        }
    }
}

void Graphics::blitR(Image* source, int32_t dx, int32_t dy, const Rect& rect) {
    blit(source, dx, dy, rect.x, rect.y, rect.w, rect.h);
}

void Graphics::blitWhole(Image* source, int32_t dx, int32_t dy) {
    if (source) {
        blit(source, dx, dy, 0, 0, source->getWidth(), source->getHeight());
    }
}

void Graphics::copyRectR(Image* source, int32_t dx, int32_t dy, const Rect& rect) {
    copyRect(source, dx, dy, rect.x, rect.y, rect.w, rect.h);
}

void Graphics::copyRectWhole(Image* source, int32_t dx, int32_t dy) {
    if (source) {
        copyRect(source, dx, dy, 0, 0, source->getWidth(), source->getHeight());
    }
}

void Graphics::blitChannelR(Image* source, int32_t channel, int32_t dx, int32_t dy,
                            const Rect& rect) {
    blitChannel(source, channel, dx, dy, rect.x, rect.y, rect.w, rect.h);
}

void Graphics::blitChannelWhole(Image* source, int32_t channel, int32_t dx, int32_t dy) {
    if (source) {
        blitChannel(source, channel, dx, dy, 0, 0, source->getWidth(), source->getHeight());
    }
}

void Graphics::blitChannelMinR(Image* source, int32_t channel, int32_t dx, int32_t dy,
                               const Rect& rect) {
    blitChannelMin(source, channel, dx, dy, rect.x, rect.y, rect.w, rect.h);
}

void Graphics::blitChannelMinWhole(Image* source, int32_t channel, int32_t dx, int32_t dy) {
    if (source) {
        blitChannelMin(source, channel, dx, dy, 0, 0, source->getWidth(), source->getHeight());
    }
}

void Graphics::blitChannelMaxR(Image* source, int32_t channel, int32_t dx, int32_t dy,
                               const Rect& rect) {
    blitChannelMax(source, channel, dx, dy, rect.x, rect.y, rect.w, rect.h);
}

void Graphics::blitChannelMaxWhole(Image* source, int32_t channel, int32_t dx, int32_t dy) {
    if (source) {
        blitChannelMax(source, channel, dx, dy, 0, 0, source->getWidth(), source->getHeight());
    }
}

void Graphics::drawTextColors(const std::wstring& text, int32_t x, int32_t y,
                              const std::vector<uint32_t>& colors) {
    drawTextLines({TextLine{text, x, y}}, colors);
}

void Graphics::drawText(const std::wstring& text, int32_t x, int32_t y) {
    drawTextColors(text, x, y, {color});
}

void Graphics::drawTextLines(const std::vector<TextLine>& lines,
                             const std::vector<uint32_t>& colors) {
    if (font) {
        // Held for the call: the font may change this context's font while drawing.
        RefHolder<Font> current = font;
        current->drawText(this, lines, colors);
    }
}

void Graphics::setColor(uint32_t value) {
    color = value;
}

uint32_t Graphics::getColor() const {
    return color;
}

int32_t Graphics::setAlpha(int32_t value) {
    alpha = value < 1 ? 0 : (value > 255 ? 255 : value);
    return alpha;
}

int32_t Graphics::getAlpha() const {
    return alpha;
}

void Graphics::setSmooth(bool value) {
    smooth = value;
}

bool Graphics::isSmooth() const {
    return smooth;
}

void Graphics::setBlendMode(int32_t mode) {
    blendMode = mode;
}

int32_t Graphics::getBlendMode() const {
    return blendMode;
}

void Graphics::setOffsetX(int32_t value) {
    offsetX = value;
}

int32_t Graphics::getOffsetX() const {
    return offsetX;
}

void Graphics::setOffsetY(int32_t value) {
    offsetY = value;
}

int32_t Graphics::getOffsetY() const {
    return offsetY;
}

void Graphics::setOffset(int32_t x, int32_t y) {
    setOffsetX(x);
    setOffsetY(y);
}

namespace {
// Offsets wrap like the 32-bit registers they model instead of overflowing.
int32_t wrappingAdd(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
}  // namespace

void Graphics::translateX(int32_t d) {
    setOffsetX(wrappingAdd(getOffsetX(), d));
}

void Graphics::translateY(int32_t d) {
    setOffsetY(wrappingAdd(getOffsetY(), d));
}

void Graphics::translate(int32_t dx, int32_t dy) {
    translateX(dx);
    translateY(dy);
}

void Graphics::resetClip() {
    clip = Rect{0, 0, targetWidth(), targetHeight()};
}

void Graphics::setClipRectR(const Rect& rect) {
    resetClip();
    clipToR(rect);
}

void Graphics::setClipRect(int32_t x, int32_t y, int32_t w, int32_t h) {
    resetClip();
    clipTo(x, y, w, h);
}

void Graphics::clipToR(const Rect& rect) {
    clip = intersectRects(clip, rect);
}

void Graphics::clipTo(int32_t x, int32_t y, int32_t w, int32_t h) {
    clipToR(Rect{x, y, w, h});
}

const Rect* Graphics::getClipRect() const {
    return &clip;
}

void Graphics::setFont(Font* value) {
    font = value;
}

Font* Graphics::getFont() const {
    return font.get();
}

Image* Graphics::getImage() const {
    return image.get();
}
