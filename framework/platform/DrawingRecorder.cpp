#include "framework/platform/DrawingRecorder.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "framework/platform/BlitGeometry.h"
#include "framework/platform/DrawingSupport.h"

QUOVEL_DEFINE_TYPE(DrawingRecorder, &Graphics::typeRecord)

namespace {

// The rectangle spanned by two points, both included.
Rect spanOf(int64_t x1, int64_t y1, int64_t x2, int64_t y2) {
    const int64_t left = std::clamp<int64_t>(std::min(x1, x2), INT32_MIN / 2, INT32_MAX / 2);
    const int64_t top = std::clamp<int64_t>(std::min(y1, y2), INT32_MIN / 2, INT32_MAX / 2);
    const int64_t right = std::clamp<int64_t>(std::max(x1, x2), INT32_MIN / 2, INT32_MAX / 2);
    const int64_t bottom = std::clamp<int64_t>(std::max(y1, y2), INT32_MIN / 2, INT32_MAX / 2);
    return Rect{static_cast<int32_t>(left), static_cast<int32_t>(top),
                static_cast<int32_t>(right - left + 1), static_cast<int32_t>(bottom - top + 1)};
}

int64_t floorOf(float v) {
    return std::isfinite(v) ? static_cast<int64_t>(std::clamp(std::floor(v), -1e9f, 1e9f)) : 0;
}

}  // namespace

DrawingRecorder::DrawingRecorder(Image* target, DrawingList& list) : Graphics(target), list(list) {}

DrawingRecorder::DrawingRecorder(Image* target, DrawingList& list, Graphics* drawer,
                                 const std::vector<Rect>* damage)
    : Graphics(target), list(list), drawer(drawer), damage(damage) {
    if (drawer) {
        savedColor = drawer->getColor();
        savedAlpha = drawer->getAlpha();
        savedSmooth = drawer->isSmooth();
        savedBlendMode = drawer->getBlendMode();
        savedOffsetX = drawer->getOffsetX();
        savedOffsetY = drawer->getOffsetY();
        savedClip = *drawer->getClipRect();
    }
}

DrawingRecorder::~DrawingRecorder() {
    if (drawer) {
        drawer->setColor(savedColor);
        drawer->setAlpha(savedAlpha);
        drawer->setSmooth(savedSmooth);
        drawer->setBlendMode(savedBlendMode);
        drawer->setOffset(savedOffsetX, savedOffsetY);
        drawer->setClipRectR(savedClip);
    }
}

bool DrawingRecorder::record(Kind kind, const Rect& area, std::initializer_list<int32_t> arguments,
                             Image* source, double angle, double scale) {
    touched = intersectRects(area, clip);
    if (touched.isEmpty()) {
        return false;
    }
    DrawnOperation operation;
    operation.touched = touched;
    operation.kind = kind;
    std::copy_n(arguments.begin(), std::min<size_t>(arguments.size(), 10), operation.arguments);
    operation.angle = angle;
    operation.scale = scale;
    if (source) {
        operation.source = source;
        operation.sourceChanges = source->getChangeCount();
        operation.sourceWidth = source->getWidth();
        operation.sourceHeight = source->getHeight();
        operation.sourceBytesPerPixel = source->getBytesPerPixel();
        operation.sourceAlpha = source->getUseAlphaChannel();
    }
    operation.clip = clip;
    operation.color = color;
    operation.alpha = alpha;
    operation.blendMode = blendMode;
    operation.smooth = smooth;
    list.add(operation);
    return true;
}

template <class Draw>
void DrawingRecorder::forward(Draw&& draw) {
    if (!drawer) {
        return;
    }
    drawer->setColor(color);
    drawer->setAlpha(alpha);
    drawer->setSmooth(smooth);
    drawer->setBlendMode(blendMode);
    drawer->setOffset(offsetX, offsetY);
    if (!damage) {
        drawer->setClipRectR(clip);
        draw(*drawer);
        return;
    }
    for (const Rect& rect : *damage) {
        if (!rectsOverlap(rect, touched)) {
            continue;
        }
        drawer->setClipRectR(intersectRects(rect, clip));
        draw(*drawer);
    }
}

template <class Draw>
void DrawingRecorder::sourceBlit(Kind kind, Image* source, int32_t channel, int32_t dx, int32_t dy,
                                 int32_t sx, int32_t sy, int32_t w, int32_t h, Draw&& draw) {
    const Rect area = blitArea(source, dx, dy, sx, sy, w, h);
    if (record(kind, area,
               {drawing::moved(dx, offsetX), drawing::moved(dy, offsetY), sx, sy, w, h, channel},
               source)) {
        forward(draw);
    }
}

Rect DrawingRecorder::blitArea(Image* source, int32_t dx, int32_t dy, int32_t sx, int32_t sy,
                               int32_t w, int32_t h) const {
    if (!source) {
        return Rect{};
    }
    dx = drawing::moved(dx, offsetX);
    dy = drawing::moved(dy, offsetY);
    if (!clipBlit(dx, dy, sx, sy, w, h, targetWidth(), targetHeight(), source->getWidth(),
                  source->getHeight(), clip)) {
        return Rect{};
    }
    return Rect{dx, dy, w, h};
}

void DrawingRecorder::drawPixel(int32_t x, int32_t y) {
    const Rect area = drawing::placeRect(x, y, 1, 1, offsetX, offsetY, clip);
    if (record(PIXEL, area, {area.x, area.y})) {
        forward([&](Graphics& g) { g.drawPixel(x, y); });
    }
}

void DrawingRecorder::setPixelChannel(int32_t channel, int32_t value, int32_t x, int32_t y) {
    const Rect area = drawing::placeRect(x, y, 1, 1, offsetX, offsetY, clip);
    if (record(PIXEL_CHANNEL, area, {area.x, area.y, channel, value})) {
        forward([&](Graphics& g) { g.setPixelChannel(channel, value, x, y); });
    }
}

void DrawingRecorder::drawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    const Rect area = spanOf(int64_t{x1} + offsetX, int64_t{y1} + offsetY, int64_t{x2} + offsetX,
                             int64_t{y2} + offsetY);
    if (record(LINE, area,
               {drawing::moved(x1, offsetX), drawing::moved(y1, offsetY),
                drawing::moved(x2, offsetX), drawing::moved(y2, offsetY)})) {
        forward([&](Graphics& g) { g.drawLine(x1, y1, x2, y2); });
    }
}

void DrawingRecorder::drawLineAA(float x1, float y1, float x2, float y2) {
    // Antialiased ends reach a pixel beyond the ends' own.
    const Rect inner = spanOf(floorOf(x1) + offsetX, floorOf(y1) + offsetY, floorOf(x2) + offsetX,
                              floorOf(y2) + offsetY);
    const Rect area{inner.x - 2, inner.y - 2, inner.w + 4, inner.h + 4};
    if (record(LINE_AA, area,
               {std::bit_cast<int32_t>(x1), std::bit_cast<int32_t>(y1), std::bit_cast<int32_t>(x2),
                std::bit_cast<int32_t>(y2), offsetX, offsetY})) {
        forward([&](Graphics& g) { g.drawLineAA(x1, y1, x2, y2); });
    }
}

void DrawingRecorder::fillRect(int32_t x, int32_t y, int32_t w, int32_t h) {
    const Rect area = drawing::placeRect(x, y, w, h, offsetX, offsetY, clip);
    if (record(FILL, area, {})) {
        forward([&](Graphics& g) { g.fillRect(x, y, w, h); });
    }
}

void DrawingRecorder::fillRectChannel(int32_t channel, int32_t value, int32_t x, int32_t y,
                                      int32_t w, int32_t h) {
    const Rect area = drawing::placeRect(x, y, w, h, offsetX, offsetY, clip);
    if (record(FILL_CHANNEL, area, {channel, value})) {
        forward([&](Graphics& g) { g.fillRectChannel(channel, value, x, y, w, h); });
    }
}

void DrawingRecorder::blit(Image* source, int32_t dx, int32_t dy, int32_t sx, int32_t sy, int32_t w,
                           int32_t h) {
    sourceBlit(BLIT, source, 0, dx, dy, sx, sy, w, h,
               [&](Graphics& g) { g.blit(source, dx, dy, sx, sy, w, h); });
}

void DrawingRecorder::blitRotated(Image* source, double angle, double scale, int32_t dx, int32_t dy,
                                  int32_t sx, int32_t sy, int32_t sw, int32_t sh, int32_t pivotX,
                                  int32_t pivotY) {
    BlitMapping mapping;
    if (!source || !mapping.setUpRotated(source->getWidth(), source->getHeight(), angle, scale,
                                         drawing::moved(dx, offsetX), drawing::moved(dy, offsetY),
                                         sx, sy, sw, sh, pivotX, pivotY, smooth, clip)) {
        return;
    }
    if (record(BLIT_ROTATED, mapping.getBox(),
               {drawing::moved(dx, offsetX), drawing::moved(dy, offsetY), sx, sy, sw, sh, pivotX,
                pivotY},
               source, angle, scale)) {
        forward([&](Graphics& g) {
            g.blitRotated(source, angle, scale, dx, dy, sx, sy, sw, sh, pivotX, pivotY);
        });
    }
}

void DrawingRecorder::blitStretched(Image* source, int32_t sx, int32_t sy, int32_t sw, int32_t sh,
                                    int32_t dx, int32_t dy, int32_t dw, int32_t dh) {
    BlitMapping mapping;
    if (!source || !mapping.setUpStretched(source->getWidth(), source->getHeight(), sx, sy, sw, sh,
                                           drawing::moved(dx, offsetX), drawing::moved(dy, offsetY),
                                           dw, dh, smooth, clip)) {
        return;
    }
    if (record(BLIT_STRETCHED, mapping.getBox(),
               {sx, sy, sw, sh, drawing::moved(dx, offsetX), drawing::moved(dy, offsetY), dw, dh},
               source)) {
        forward([&](Graphics& g) { g.blitStretched(source, sx, sy, sw, sh, dx, dy, dw, dh); });
    }
}

void DrawingRecorder::copyRect(Image* source, int32_t dx, int32_t dy, int32_t sx, int32_t sy,
                               int32_t w, int32_t h) {
    sourceBlit(COPY, source, 0, dx, dy, sx, sy, w, h,
               [&](Graphics& g) { g.copyRect(source, dx, dy, sx, sy, w, h); });
}

void DrawingRecorder::blitChannel(Image* source, int32_t channel, int32_t dx, int32_t dy,
                                  int32_t sx, int32_t sy, int32_t w, int32_t h) {
    sourceBlit(BLIT_CHANNEL, source, channel, dx, dy, sx, sy, w, h,
               [&](Graphics& g) { g.blitChannel(source, channel, dx, dy, sx, sy, w, h); });
}

void DrawingRecorder::blitChannelMin(Image* source, int32_t channel, int32_t dx, int32_t dy,
                                     int32_t sx, int32_t sy, int32_t w, int32_t h) {
    sourceBlit(BLIT_CHANNEL_MIN, source, channel, dx, dy, sx, sy, w, h,
               [&](Graphics& g) { g.blitChannelMin(source, channel, dx, dy, sx, sy, w, h); });
}

void DrawingRecorder::blitChannelMax(Image* source, int32_t channel, int32_t dx, int32_t dy,
                                     int32_t sx, int32_t sy, int32_t w, int32_t h) {
    sourceBlit(BLIT_CHANNEL_MAX, source, channel, dx, dy, sx, sy, w, h,
               [&](Graphics& g) { g.blitChannelMax(source, channel, dx, dy, sx, sy, w, h); });
}

uint32_t DrawingRecorder::getNativeColor() const {
    if (!drawer) {
        return color;
    }
    drawer->setColor(color);
    return drawer->getNativeColor();
}
