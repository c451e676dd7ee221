#include "framework/platform/Graphics32.h"

#include <cstring>

#include "framework/platform/BlendRows.h"
#include "framework/platform/DepthDrawing.h"
#include "framework/platform/PixelRules.h"

QUOVEL_DEFINE_TYPE(Graphics32, &Graphics::typeRecord)

namespace {

using Pixel32 = UnalignedPixel32;

// The 4-byte depth for the shared operation skeletons.
struct Depth32 {
    using Pixel = UnalignedPixel32;
    using Value = uint32_t;
    static constexpr int32_t BYTES = 4;
    static constexpr bool ALPHA_IN_PLANE = false;

    static uint32_t store(uint32_t d, uint32_t s) { return pixel32::store(d, s); }
    static uint32_t blend(uint32_t d, uint32_t s, uint32_t k) { return pixel32::blend(d, s, k); }
    static uint32_t alphaOf(uint32_t s) { return s >> 24; }
    static void fillRow(Pixel32* d, int32_t w, uint32_t color, uint32_t k);
    static void maskRow(Pixel32* d, const uint8_t* m, int32_t w, uint32_t color, uint32_t a);
    static uint32_t samplePixel(const uint8_t* pixels, int32_t pitch, const BlitSample& sample,
                                bool smooth);
    static void blitRows(Image* source, uint8_t* targetPixels, int32_t targetPitch, int32_t dx,
                         int32_t dy, int32_t sx, int32_t sy, int32_t w, int32_t h, uint32_t a,
                         bool perPixelAlpha, bool additive);
};
using Ops32 = drawing::DepthOps<Depth32>;

QUOVEL_ROW_LOOP void uniformRow(Pixel32* d, const Pixel32* s, int32_t w, uint32_t a) {
    for (int32_t i = 0; i < w; ++i) {
        d[i] = pixel32::uniform(d[i], s[i], a);
    }
}

// The byte at `shift` of each target pixel combined with a source byte.
template <class Combine, class SourceByte>
void channelRow(Pixel32* d, int32_t w, int shift, Combine combine, SourceByte sourceByte) {
    const uint32_t keep = ~(0xFFu << shift);
    for (int32_t i = 0; i < w; ++i) {
        const uint32_t old = (d[i] >> shift) & 0xFF;
        d[i] = (d[i] & keep) | (combine(old, sourceByte(i)) << shift);
    }
}

// One color sample of a 4-byte source: all four bytes, interpolated byte by byte.
inline uint32_t Depth32::samplePixel(const uint8_t* pixels, int32_t pitch, const BlitSample& sample,
                                     bool smooth) {
    const uint32_t p00 = drawing::rowAt<const Pixel32>(pixels, pitch, sample.y0)[sample.x0];
    if (!smooth) {
        return p00;
    }
    const uint32_t p10 = drawing::rowAt<const Pixel32>(pixels, pitch, sample.y0)[sample.x1];
    const uint32_t p01 = drawing::rowAt<const Pixel32>(pixels, pitch, sample.y1)[sample.x0];
    const uint32_t p11 = drawing::rowAt<const Pixel32>(pixels, pitch, sample.y1)[sample.x1];
    uint32_t result = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        result |= drawing::interpolate((p00 >> shift) & 0xFF, (p10 >> shift) & 0xFF,
                                       (p01 >> shift) & 0xFF, (p11 >> shift) & 0xFF, sample)
                  << shift;
    }
    return result;
}

void Depth32::fillRow(Pixel32* d, int32_t w, uint32_t color, uint32_t k) {
    blendrows::best().fill32(d, w, color, k);
}

void Depth32::maskRow(Pixel32* d, const uint8_t* m, int32_t w, uint32_t color, uint32_t a) {
    blendrows::best().mask32(d, m, w, color, a);
}

void Depth32::blitRows(Image* source, uint8_t* targetPixels, int32_t targetPitch, int32_t dx,
                       int32_t dy, int32_t sx, int32_t sy, int32_t w, int32_t h, uint32_t a,
                       bool perPixelAlpha, bool additive) {
    uint8_t* sourcePixels = source->getPixels();
    if (!sourcePixels) {
        return;
    }
    const int32_t sourcePitch = source->getPitch();
    const blendrows::RowLoops& rows = blendrows::best();
    for (int32_t j = 0; j < h; ++j) {
        Pixel32* d = drawing::rowAt<Pixel32>(targetPixels, targetPitch, dy + j) + dx;
        const Pixel32* s = drawing::rowAt<const Pixel32>(sourcePixels, sourcePitch, sy + j) + sx;
        drawing::checkRow(d, s, static_cast<size_t>(w) * 4);
        if (perPixelAlpha) {
            if (!additive) {
                rows.alpha32(d, s, w, a);
            } else {
                rows.add32(d, s, w, a);
            }
        } else if (a == 255) {
            rows.store32(d, s, w);
        } else {
            uniformRow(d, s, w, a);
        }
    }
}

}  // namespace

Graphics32::Graphics32(Image* target) : Graphics(target) {}

uint32_t Graphics32::getNativeColor() const {
    return color;
}

void Graphics32::drawPixel(int32_t x, int32_t y) {
    Ops32::drawPixel(*this, x, y, color);
}

void Graphics32::setPixelChannel(int32_t channel, int32_t value, int32_t x, int32_t y) {
    const int64_t px = int64_t{x} + offsetX;
    const int64_t py = int64_t{y} + offsetY;
    if (channel < 0 || channel > 3 || !drawing::insideClip(px, py, clip)) {
        return;
    }
    drawing::ImageLocks locks(nullptr, image.get());
    if (!locks.ok() || !image->getPixels()) {
        return;
    }
    Pixel32& d = drawing::rowAt<Pixel32>(image->getPixels(), image->getPitch(),
                                         static_cast<int32_t>(py))[px];
    d = pixel32::writeChannel(d, channel, static_cast<uint32_t>(value));
}

void Graphics32::drawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    Ops32::drawLine(*this, x1, y1, x2, y2, color);
}

void Graphics32::drawLineAA(float x1, float y1, float x2, float y2) {
    Ops32::drawLineAA(*this, x1, y1, x2, y2, color);
}

void Graphics32::fillRect(int32_t x, int32_t y, int32_t w, int32_t h) {
    Ops32::fillRect(*this, x, y, w, h, color);
}

void Graphics32::fillRectChannel(int32_t channel, int32_t value, int32_t x, int32_t y, int32_t w,
                                 int32_t h) {
    const Rect area = drawing::placeRect(x, y, w, h, offsetX, offsetY, clip);
    if (channel < 0 || channel > 3 || area.isEmpty()) {
        return;
    }
    drawing::ImageLocks locks(nullptr, image.get());
    if (!locks.ok() || !image->getPixels()) {
        return;
    }
    const uint32_t byte = static_cast<uint32_t>(value) & 0xFF;
    for (int32_t j = 0; j < area.h; ++j) {
        channelRow(
            drawing::rowAt<Pixel32>(image->getPixels(), image->getPitch(), area.y + j) + area.x,
            area.w, pixel32::channelShift(channel), drawing::CopyByte{},
            [byte](int32_t) { return byte; });
    }
}

void Graphics32::blit(Image* source, int32_t dx, int32_t dy, int32_t sx, int32_t sy, int32_t w,
                      int32_t h) {
    Ops32::blit(*this, source, dx, dy, sx, sy, w, h, color);
}

void Graphics32::copyRect(Image* source, int32_t dx, int32_t dy, int32_t sx, int32_t sy, int32_t w,
                          int32_t h) {
    const drawing::SourceKind kind = drawing::sourceKind(source, 4);
    if (kind == drawing::SourceKind::UNUSABLE ||
        !Ops32::placeBlit(*this, source, dx, dy, sx, sy, w, h)) {
        return;
    }
    drawing::ImageLocks locks(source, image.get());
    uint8_t* targetPixels = image->getPixels();
    if (!locks.ok() || !targetPixels) {
        return;
    }
    const int32_t targetPitch = image->getPitch();
    if (kind == drawing::SourceKind::MASK) {
        uint8_t* plane = source->getAlphaPlane();
        if (!plane) {
            return;
        }
        for (int32_t j = 0; j < h; ++j) {
            const uint8_t* m = drawing::planeAt(plane, source->getWidth(), sx, sy + j);
            channelRow(drawing::rowAt<Pixel32>(targetPixels, targetPitch, dy + j) + dx, w,
                       pixel32::channelShift(Channel::ALPHA), drawing::CopyByte{},
                       [m](int32_t i) { return static_cast<uint32_t>(m[i]); });
        }
        return;
    }
    uint8_t* sourcePixels = source->getPixels();
    if (!sourcePixels) {
        return;
    }
    for (int32_t j = 0; j < h; ++j) {
        drawing::copyRowBytes(drawing::rowAt<uint8_t>(targetPixels, targetPitch, dy + j) +
                                  static_cast<size_t>(dx) * 4,
                              drawing::rowAt<uint8_t>(sourcePixels, source->getPitch(), sy + j) +
                                  static_cast<size_t>(sx) * 4,
                              static_cast<size_t>(w) * 4);
    }
}

void Graphics32::blitRotated(Image* source, double angle, double scale, int32_t dx, int32_t dy,
                             int32_t sx, int32_t sy, int32_t sw, int32_t sh, int32_t pivotX,
                             int32_t pivotY) {
    Ops32::blitRotated(*this, source, angle, scale, dx, dy, sx, sy, sw, sh, pivotX, pivotY, color);
}

void Graphics32::blitStretched(Image* source, int32_t sx, int32_t sy, int32_t sw, int32_t sh,
                               int32_t dx, int32_t dy, int32_t dw, int32_t dh) {
    Ops32::blitStretched(*this, source, sx, sy, sw, sh, dx, dy, dw, dh, color);
}

void Graphics32::blitChannel(Image* source, int32_t channel, int32_t dx, int32_t dy, int32_t sx,
                             int32_t sy, int32_t w, int32_t h) {
    channelBlit(drawing::ChannelOp::COPY, source, channel, dx, dy, sx, sy, w, h);
}

void Graphics32::blitChannelMin(Image* source, int32_t channel, int32_t dx, int32_t dy, int32_t sx,
                                int32_t sy, int32_t w, int32_t h) {
    channelBlit(drawing::ChannelOp::MIN, source, channel, dx, dy, sx, sy, w, h);
}

void Graphics32::blitChannelMax(Image* source, int32_t channel, int32_t dx, int32_t dy, int32_t sx,
                                int32_t sy, int32_t w, int32_t h) {
    channelBlit(drawing::ChannelOp::MAX, source, channel, dx, dy, sx, sy, w, h);
}

void Graphics32::channelBlit(drawing::ChannelOp op, Image* source, int32_t channel, int32_t dx,
                             int32_t dy, int32_t sx, int32_t sy, int32_t w, int32_t h) {
    if (!source || channel < 0 || channel > 3 ||
        !Ops32::placeBlit(*this, source, dx, dy, sx, sy, w, h)) {
        return;
    }
    drawing::ImageLocks locks(source, image.get());
    uint8_t* targetPixels = image->getPixels();
    if (!locks.ok() || !targetPixels) {
        return;
    }
    // A 4-byte source gives the same channel's byte; 1- and 2-byte sources their alpha plane.
    const bool wide = source->getBytesPerPixel() == 4;
    uint8_t* sourceBase = wide ? source->getPixels() : source->getAlphaPlane();
    if (!sourceBase) {
        return;
    }
    const int shift = pixel32::channelShift(channel);
    for (int32_t j = 0; j < h; ++j) {
        Pixel32* d = drawing::rowAt<Pixel32>(targetPixels, image->getPitch(), dy + j) + dx;
        drawing::withCombine(op, [&](auto combine) {
            if (wide) {
                const Pixel32* s =
                    drawing::rowAt<const Pixel32>(sourceBase, source->getPitch(), sy + j) + sx;
                channelRow(d, w, shift, combine,
                           [s, shift](int32_t i) { return (s[i] >> shift) & 0xFFu; });
            } else {
                const uint8_t* m = drawing::planeAt(sourceBase, source->getWidth(), sx, sy + j);
                channelRow(d, w, shift, combine,
                           [m](int32_t i) { return static_cast<uint32_t>(m[i]); });
            }
        });
    }
}
