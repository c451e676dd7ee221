#include "framework/platform/Graphics16.h"

#include <algorithm>
#include <cstring>

#include "framework/platform/BlendRows.h"
#include "framework/platform/DepthDrawing.h"
#include "framework/platform/ImageDD.h"
#include "framework/platform/PixelRules.h"

QUOVEL_DEFINE_TYPE(Graphics16, &Graphics::typeRecord)

namespace {

using Pixel16 = UnalignedPixel16;

// The 2-byte depth for the shared operation skeletons: RGB565 pixels, alpha in the alpha plane.
struct Depth16 {
    using Pixel = UnalignedPixel16;
    using Value = uint16_t;
    static constexpr int32_t BYTES = 2;
    static constexpr bool ALPHA_IN_PLANE = true;

    static uint16_t store(uint16_t, uint16_t s) { return s; }
    static uint16_t blend(uint16_t d, uint16_t s, uint32_t k) { return pixel16::blend(d, s, k); }
    static void fillRow(Pixel16* d, int32_t w, uint16_t color, uint32_t k);
    static void maskRow(Pixel16* d, const uint8_t* m, int32_t w, uint16_t color, uint32_t a);
    static uint16_t samplePixel(const uint8_t* pixels, int32_t pitch, const BlitSample& sample,
                                bool smooth);
    static void blitRows(Image* source, uint8_t* targetPixels, int32_t targetPitch, int32_t dx,
                         int32_t dy, int32_t sx, int32_t sy, int32_t w, int32_t h, uint32_t a,
                         bool perPixelAlpha, bool additive);
};
using Ops16 = drawing::DepthOps<Depth16>;

template <class Combine, class SourceByte>
void planeRow(uint8_t* d, int32_t w, Combine combine, SourceByte sourceByte) {
    for (int32_t i = 0; i < w; ++i) {
        d[i] = static_cast<uint8_t>(combine(d[i], sourceByte(i)));
    }
}

// One RGB565 sample, interpolated field by field.
inline uint16_t Depth16::samplePixel(const uint8_t* pixels, int32_t pitch, const BlitSample& sample,
                                     bool smooth) {
    const uint16_t p00 = drawing::rowAt<const Pixel16>(pixels, pitch, sample.y0)[sample.x0];
    if (!smooth) {
        return p00;
    }
    const uint16_t p10 = drawing::rowAt<const Pixel16>(pixels, pitch, sample.y0)[sample.x1];
    const uint16_t p01 = drawing::rowAt<const Pixel16>(pixels, pitch, sample.y1)[sample.x0];
    const uint16_t p11 = drawing::rowAt<const Pixel16>(pixels, pitch, sample.y1)[sample.x1];
    const auto field = [&](int shift, uint32_t mask) {
        return drawing::interpolate((p00 >> shift) & mask, (p10 >> shift) & mask,
                                    (p01 >> shift) & mask, (p11 >> shift) & mask, sample)
               << shift;
    };
    return static_cast<uint16_t>(field(11, 31) | field(5, 63) | field(0, 31));
}

void Depth16::fillRow(Pixel16* d, int32_t w, uint16_t color, uint32_t k) {
    blendrows::best().fill16(d, w, color, k);
}

void Depth16::maskRow(Pixel16* d, const uint8_t* m, int32_t w, uint16_t color, uint32_t a) {
    blendrows::best().mask16(d, m, w, color, a);
}

void Depth16::blitRows(Image* source, uint8_t* targetPixels, int32_t targetPitch, int32_t dx,
                       int32_t dy, int32_t sx, int32_t sy, int32_t w, int32_t h, uint32_t a,
                       bool perPixelAlpha, bool additive) {
    uint8_t* sourcePixels = source->getPixels();
    uint8_t* plane = source->getAlphaPlane();
    // A 2-byte image always has its alpha plane; without one the alpha is unreadable.
    if (!sourcePixels || (perPixelAlpha && !plane)) {
        return;
    }
    const int32_t sourcePitch = source->getPitch();
    const blendrows::RowLoops& rows = blendrows::best();
    for (int32_t j = 0; j < h; ++j) {
        Pixel16* d = drawing::rowAt<Pixel16>(targetPixels, targetPitch, dy + j) + dx;
        const Pixel16* s = drawing::rowAt<const Pixel16>(sourcePixels, sourcePitch, sy + j) + sx;
        if (!perPixelAlpha) {
            if (a == 255) {
                std::memmove(d, s, static_cast<size_t>(w) * 2);
            } else {
                rows.fixed16(d, s, w, a);
            }
            continue;
        }
        const uint8_t* sa = drawing::planeAt(plane, source->getWidth(), sx, sy + j);
        if (additive) {
            rows.add16(d, s, sa, w, a);
        } else if (a == 255) {
            rows.alphaFull16(d, s, sa, w);
        } else {
            rows.alpha16(d, s, sa, w, a);
        }
    }
}

bool isSurface(Image* image) {
    return objectCast<ImageDD>(image) != nullptr;
}

}  // namespace

Graphics16::Graphics16(Image* target) : Graphics(target) {
    setColor(color);
}

void Graphics16::setColor(uint32_t value) {
    Graphics::setColor(value);
    nativeColor = pixel16::fromColor(value);
}

uint32_t Graphics16::getNativeColor() const {
    return nativeColor;
}

void Graphics16::drawPixel(int32_t x, int32_t y) {
    Ops16::drawPixel(*this, x, y, nativeColor);
}

void Graphics16::setPixelChannel(int32_t channel, int32_t value, int32_t x, int32_t y) {
    const int64_t px = int64_t{x} + offsetX;
    const int64_t py = int64_t{y} + offsetY;
    if (channel < 0 || channel > 3 || !drawing::insideClip(px, py, clip)) {
        return;
    }
    drawing::ImageLocks locks(nullptr, image.get());
    if (!locks.ok()) {
        return;
    }
    if (channel == Channel::ALPHA) {
        if (uint8_t* plane = image->getAlphaPlane()) {
            *drawing::planeAt(plane, image->getWidth(), static_cast<int32_t>(px),
                              static_cast<int32_t>(py)) = static_cast<uint8_t>(value);
        }
    } else if (uint8_t* pixels = image->getPixels()) {
        Pixel16& d =
            drawing::rowAt<Pixel16>(pixels, image->getPitch(), static_cast<int32_t>(py))[px];
        d = pixel16::writeField(d, channel, static_cast<uint32_t>(value));
    }
}

void Graphics16::drawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    Ops16::drawLine(*this, x1, y1, x2, y2, nativeColor);
}

void Graphics16::drawLineAA(float x1, float y1, float x2, float y2) {
    Ops16::drawLineAA(*this, x1, y1, x2, y2, nativeColor);
}

void Graphics16::fillRect(int32_t x, int32_t y, int32_t w, int32_t h) {
    Ops16::fillRect(*this, x, y, w, h, nativeColor);
}

void Graphics16::fillRectChannel(int32_t channel, int32_t value, int32_t x, int32_t y, int32_t w,
                                 int32_t h) {
    const Rect area = drawing::placeRect(x, y, w, h, offsetX, offsetY, clip);
    if (channel < 0 || channel > 3 || area.isEmpty()) {
        return;
    }
    drawing::ImageLocks locks(nullptr, image.get());
    if (!locks.ok()) {
        return;
    }
    if (channel == Channel::ALPHA) {
        uint8_t* plane = image->getAlphaPlane();
        if (!plane) {
            return;
        }
        for (int32_t j = 0; j < area.h; ++j) {
            std::memset(drawing::planeAt(plane, image->getWidth(), area.x, area.y + j),
                        static_cast<uint8_t>(value), static_cast<size_t>(area.w));
        }
        return;
    }
    uint8_t* pixels = image->getPixels();
    if (!pixels) {
        return;
    }
    for (int32_t j = 0; j < area.h; ++j) {
        Pixel16* d = drawing::rowAt<Pixel16>(pixels, image->getPitch(), area.y + j) + area.x;
        for (int32_t i = 0; i < area.w; ++i) {
            d[i] = pixel16::writeField(d[i], channel, static_cast<uint32_t>(value));
        }
    }
}

void Graphics16::blit(Image* source, int32_t dx, int32_t dy, int32_t sx, int32_t sy, int32_t w,
                      int32_t h) {
    Ops16::blit(*this, source, dx, dy, sx, sy, w, h, nativeColor);
}

void Graphics16::copyRect(Image* source, int32_t dx, int32_t dy, int32_t sx, int32_t sy, int32_t w,
                          int32_t h) {
    const drawing::SourceKind kind = drawing::sourceKind(source, 2);
    if (kind == drawing::SourceKind::UNUSABLE ||
        !Ops16::placeBlit(*this, source, dx, dy, sx, sy, w, h)) {
        return;
    }
    drawing::ImageLocks locks(source, image.get());
    if (!locks.ok()) {
        return;
    }
    uint8_t* targetPixels = image->getPixels();
    uint8_t* sourcePixels = source->getPixels();
    if (kind == drawing::SourceKind::SAME_DEPTH && targetPixels && sourcePixels) {
        for (int32_t j = 0; j < h; ++j) {
            drawing::copyRowBytes(
                drawing::rowAt<uint8_t>(targetPixels, image->getPitch(), dy + j) +
                    static_cast<size_t>(dx) * 2,
                drawing::rowAt<uint8_t>(sourcePixels, source->getPitch(), sy + j) +
                    static_cast<size_t>(sx) * 2,
                static_cast<size_t>(w) * 2);
        }
    }
    uint8_t* targetPlane = image->getAlphaPlane();
    uint8_t* sourcePlane = source->getAlphaPlane();
    if (isSurface(source) || isSurface(image.get()) || !targetPlane || !sourcePlane) {
        return;
    }
    for (int32_t j = 0; j < h; ++j) {
        drawing::copyRowBytes(drawing::planeAt(targetPlane, image->getWidth(), dx, dy + j),
                              drawing::planeAt(sourcePlane, source->getWidth(), sx, sy + j),
                              static_cast<size_t>(w));
    }
}

void Graphics16::blitRotated(Image* source, double angle, double scale, int32_t dx, int32_t dy,
                             int32_t sx, int32_t sy, int32_t sw, int32_t sh, int32_t pivotX,
                             int32_t pivotY) {
    Ops16::blitRotated(*this, source, angle, scale, dx, dy, sx, sy, sw, sh, pivotX, pivotY,
                       nativeColor);
}

void Graphics16::blitStretched(Image* source, int32_t sx, int32_t sy, int32_t sw, int32_t sh,
                               int32_t dx, int32_t dy, int32_t dw, int32_t dh) {
    Ops16::blitStretched(*this, source, sx, sy, sw, sh, dx, dy, dw, dh, nativeColor);
}

void Graphics16::blitChannel(Image* source, int32_t channel, int32_t dx, int32_t dy, int32_t sx,
                             int32_t sy, int32_t w, int32_t h) {
    channelBlit(drawing::ChannelOp::COPY, source, channel, dx, dy, sx, sy, w, h);
}

void Graphics16::blitChannelMin(Image* source, int32_t channel, int32_t dx, int32_t dy, int32_t sx,
                                int32_t sy, int32_t w, int32_t h) {
    channelBlit(drawing::ChannelOp::MIN, source, channel, dx, dy, sx, sy, w, h);
}

void Graphics16::blitChannelMax(Image* source, int32_t channel, int32_t dx, int32_t dy, int32_t sx,
                                int32_t sy, int32_t w, int32_t h) {
    channelBlit(drawing::ChannelOp::MAX, source, channel, dx, dy, sx, sy, w, h);
}

void Graphics16::channelBlit(drawing::ChannelOp op, Image* source, int32_t channel, int32_t dx,
                             int32_t dy, int32_t sx, int32_t sy, int32_t w, int32_t h) {
    if (!source || channel < 0 || channel > 3) {
        return;
    }
    const bool wide = source->getBytesPerPixel() == 4;
    if (!wide && channel != Channel::ALPHA) {
        return;
    }
    if (!Ops16::placeBlit(*this, source, dx, dy, sx, sy, w, h)) {
        return;
    }
    drawing::ImageLocks locks(source, image.get());
    uint8_t* targetPlane = image->getAlphaPlane();
    uint8_t* sourceBase = wide ? source->getPixels() : source->getAlphaPlane();
    if (!locks.ok() || !targetPlane || !sourceBase) {
        return;
    }
    for (int32_t j = 0; j < h; ++j) {
        uint8_t* d = drawing::planeAt(targetPlane, image->getWidth(), dx, dy + j);
        drawing::withCombine(op, [&](auto combine) {
            if (wide) {
                const UnalignedPixel32* s =
                    drawing::rowAt<const UnalignedPixel32>(sourceBase, source->getPitch(), sy + j) +
                    sx;
                planeRow(d, w, combine, [s](int32_t i) { return s[i] >> 24; });
            } else {
                const uint8_t* m = drawing::planeAt(sourceBase, source->getWidth(), sx, sy + j);
                planeRow(d, w, combine, [m](int32_t i) { return static_cast<uint32_t>(m[i]); });
            }
        });
    }
}
