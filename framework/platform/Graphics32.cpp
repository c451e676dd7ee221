#include "framework/platform/Graphics32.h"

#include <cstring>

#include "framework/platform/BlitGeometry.h"
#include "framework/platform/DrawingSupport.h"
#include "framework/platform/LineGeometry.h"
#include "framework/platform/PixelRules.h"

QUOVEL_DEFINE_TYPE(Graphics32, &Graphics::typeRecord)

using namespace drawing;

namespace {

using Pixel = UnalignedPixel32;

// How a rotated or stretched blit turns the sampled effective alpha into a blend weight.
enum class WeightRule {
    // The source has no alpha: one weight for every pixel (256 stores).
    Fixed,
    // ea <= 5 draws nothing, ea > 250 stores, anything between blends.
    Thresholds,
    // Blend by ea as it is (stretched, nearest sampling).
    Plain,
};

template <WeightRule rule>
inline uint32_t mappedWeight(uint32_t ea, uint32_t fixed) {
    if constexpr (rule == WeightRule::Fixed) {
        return fixed;
    } else if constexpr (rule == WeightRule::Thresholds) {
        return ea <= 5 ? 0 : (ea > 250 ? 256 : ea);
    } else {
        return ea;
    }
}

// Fills a row with the colour at the weight k (256 stores).
QUOVEL_ROW_LOOP void fillRow(Pixel* d, int32_t w, uint32_t colour, uint32_t k) {
    if (k == 256) {
        for (int32_t i = 0; i < w; ++i) {
            d[i] = pixel32::store(d[i], colour);
        }
    } else {
        for (int32_t i = 0; i < w; ++i) {
            d[i] = pixel32::blend(d[i], colour, k);
        }
    }
}

// Per-pixel alpha, blend mode 0. Pixels go in pairs from the left: a pair whose effective alphas
// are both 254 is stored (weight 256); every other pixel, and a last unpaired one, blends by ea.
QUOVEL_ROW_LOOP void blendRowPaired(Pixel* d, const Pixel* s, int32_t w, uint32_t a) {
    int32_t i = 0;
    for (; i + 1 < w; i += 2) {
        const uint32_t s0 = s[i];
        const uint32_t s1 = s[i + 1];
        const uint32_t e0 = effectiveAlpha(s0 >> 24, a);
        const uint32_t e1 = effectiveAlpha(s1 >> 24, a);
        const uint32_t bump = static_cast<uint32_t>((e0 == 254) & (e1 == 254)) * 2;
        d[i] = pixel32::blend(d[i], s0, e0 + bump);
        d[i + 1] = pixel32::blend(d[i + 1], s1, e1 + bump);
    }
    if (i < w) {
        d[i] = pixel32::blend(d[i], s[i], effectiveAlpha(s[i] >> 24, a));
    }
}

// Per-pixel alpha, blend mode 1, paired as blendRowPaired: both ea 254 adds the whole source.
QUOVEL_ROW_LOOP void addRowPaired(Pixel* d, const Pixel* s, int32_t w, uint32_t a) {
    int32_t i = 0;
    for (; i + 1 < w; i += 2) {
        const uint32_t s0 = s[i];
        const uint32_t s1 = s[i + 1];
        const uint32_t e0 = effectiveAlpha(s0 >> 24, a);
        const uint32_t e1 = effectiveAlpha(s1 >> 24, a);
        const uint32_t bump = static_cast<uint32_t>((e0 == 254) & (e1 == 254)) * 2;
        d[i] = pixel32::add(d[i], s0, e0 + bump);
        d[i + 1] = pixel32::add(d[i + 1], s1, e1 + bump);
    }
    if (i < w) {
        d[i] = pixel32::add(d[i], s[i], effectiveAlpha(s[i] >> 24, a));
    }
}

// The colour through a mask: Blend(c, ea). A pair of zero weights leaves the pixels alone, which
// a blend by 0 does as well, so no pairing is needed.
QUOVEL_ROW_LOOP void maskRow(Pixel* d, const uint8_t* m, int32_t w, uint32_t colour, uint32_t a) {
    for (int32_t i = 0; i < w; ++i) {
        d[i] = pixel32::blend(d[i], colour, effectiveAlpha(m[i], a));
    }
}

QUOVEL_ROW_LOOP void storeRow(Pixel* d, const Pixel* s, int32_t w) {
    for (int32_t i = 0; i < w; ++i) {
        d[i] = pixel32::store(d[i], s[i]);
    }
}

QUOVEL_ROW_LOOP void uniformRow(Pixel* d, const Pixel* s, int32_t w, uint32_t a) {
    for (int32_t i = 0; i < w; ++i) {
        d[i] = pixel32::uniform(d[i], s[i], a);
    }
}

// The byte at `shift` of each target pixel combined with a source byte.
template <class Combine, class SourceByte>
void channelRow(Pixel* d, int32_t w, int shift, Combine combine, SourceByte sourceByte) {
    const uint32_t keep = ~(0xFFu << shift);
    for (int32_t i = 0; i < w; ++i) {
        const uint32_t old = (d[i] >> shift) & 0xFF;
        d[i] = (d[i] & keep) | (combine(old, sourceByte(i)) << shift);
    }
}

struct CopyByte {
    uint32_t operator()(uint32_t, uint32_t s) const { return s; }
};
struct MinByte {
    uint32_t operator()(uint32_t d, uint32_t s) const { return d < s ? d : s; }
};
struct MaxByte {
    uint32_t operator()(uint32_t d, uint32_t s) const { return d > s ? d : s; }
};

// One colour sample of a 4-byte source: all four bytes, interpolated byte by byte.
inline uint32_t samplePixel(const uint8_t* pixels, int32_t pitch, const BlitSample& sample,
                            bool smooth) {
    const uint32_t p00 = rowAt<const Pixel>(pixels, pitch, sample.y0)[sample.x0];
    if (!smooth) {
        return p00;
    }
    const uint32_t p10 = rowAt<const Pixel>(pixels, pitch, sample.y0)[sample.x1];
    const uint32_t p01 = rowAt<const Pixel>(pixels, pitch, sample.y1)[sample.x0];
    const uint32_t p11 = rowAt<const Pixel>(pixels, pitch, sample.y1)[sample.x1];
    uint32_t result = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        result |= interpolate((p00 >> shift) & 0xFF, (p10 >> shift) & 0xFF, (p01 >> shift) & 0xFF,
                              (p11 >> shift) & 0xFF, sample)
                  << shift;
    }
    return result;
}

inline uint32_t sampleMask(const uint8_t* plane, int32_t width, const BlitSample& sample,
                           bool smooth) {
    const auto at = [&](int32_t x, int32_t y) {
        return static_cast<uint32_t>(plane[static_cast<ptrdiff_t>(y) * width + x]);
    };
    if (!smooth) {
        return at(sample.x0, sample.y0);
    }
    return interpolate(at(sample.x0, sample.y0), at(sample.x1, sample.y0), at(sample.x0, sample.y1),
                       at(sample.x1, sample.y1), sample);
}

// Draws every mapped pixel. The source kind, sampling and weight rule are fixed per call, so the
// per-pixel work carries no test of them.
template <bool smooth, bool mask, WeightRule rule>
void drawMapped(const BlitMapping& mapping, Image* source, Image* target, uint32_t colour,
                uint32_t a) {
    uint8_t* targetPixels = target->getPixels();
    const int32_t targetPitch = target->getPitch();
    const uint8_t* sourcePixels = source->getPixels();
    const uint8_t* plane = source->getAlphaPlane();
    const int32_t sourcePitch = source->getPitch();
    const int32_t sourceWidth = source->getWidth();
    const uint32_t fixed = a == 255 ? 256 : a;
    mapping.forEachPixel([&](int32_t x, int32_t y, const BlitSample& sample) {
        uint32_t s;
        uint32_t sa;
        if constexpr (mask) {
            s = colour;
            sa = sampleMask(plane, sourceWidth, sample, smooth);
        } else {
            s = samplePixel(sourcePixels, sourcePitch, sample, smooth);
            sa = s >> 24;
        }
        const uint32_t k = mappedWeight<rule>(effectiveAlpha(sa, a), fixed);
        Pixel& d = rowAt<Pixel>(targetPixels, targetPitch, y)[x];
        d = pixel32::blend(d, s, k);
    });
}

template <bool smooth>
void drawMappedBy(WeightRule rule, bool mask, const BlitMapping& mapping, Image* source,
                  Image* target, uint32_t colour, uint32_t a) {
    if (mask) {
        if (rule == WeightRule::Thresholds) {
            drawMapped<smooth, true, WeightRule::Thresholds>(mapping, source, target, colour, a);
        } else {
            drawMapped<smooth, true, WeightRule::Plain>(mapping, source, target, colour, a);
        }
    } else if (rule == WeightRule::Fixed) {
        drawMapped<smooth, false, WeightRule::Fixed>(mapping, source, target, colour, a);
    } else if (rule == WeightRule::Thresholds) {
        drawMapped<smooth, false, WeightRule::Thresholds>(mapping, source, target, colour, a);
    } else {
        drawMapped<smooth, false, WeightRule::Plain>(mapping, source, target, colour, a);
    }
}

}  // namespace

Graphics32::Graphics32(Image* target) : Graphics(target) {}

uint32_t Graphics32::getNativeColor() const {
    return colour;
}

void Graphics32::drawPixel(int32_t x, int32_t y) {
    const int64_t px = int64_t{x} + offsetX;
    const int64_t py = int64_t{y} + offsetY;
    if (alpha == 0 || !insideClip(px, py, clip)) {
        return;
    }
    ImageLocks locks(nullptr, image.get());
    if (!locks.ok() || !image->getPixels()) {
        return;
    }
    Pixel& d = rowAt<Pixel>(image->getPixels(), image->getPitch(), static_cast<int32_t>(py))[px];
    d = pixel32::blend(d, colour, alpha == 255 ? 256 : alpha);
}

void Graphics32::setPixelChannel(int32_t channel, int32_t value, int32_t x, int32_t y) {
    const int64_t px = int64_t{x} + offsetX;
    const int64_t py = int64_t{y} + offsetY;
    if (channel < 0 || channel > 3 || !insideClip(px, py, clip)) {
        return;
    }
    ImageLocks locks(nullptr, image.get());
    if (!locks.ok() || !image->getPixels()) {
        return;
    }
    Pixel& d = rowAt<Pixel>(image->getPixels(), image->getPitch(), static_cast<int32_t>(py))[px];
    d = pixel32::writeChannel(d, channel, static_cast<uint32_t>(value));
}

void Graphics32::drawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    if (alpha != 255 || (x1 != x2 && y1 != y2)) {
        Graphics::drawLine(x1, y1, x2, y2);
        return;
    }
    const auto span = clipAxisLine(moved(x1, offsetX), moved(y1, offsetY), moved(x2, offsetX),
                                   moved(y2, offsetY), clip);
    if (!span) {
        return;
    }
    ImageLocks locks(nullptr, image.get());
    if (!locks.ok() || !image->getPixels()) {
        return;
    }
    uint8_t* pixels = image->getPixels();
    const int32_t pitch = image->getPitch();
    if (span->horizontal) {
        fillRow(rowAt<Pixel>(pixels, pitch, span->y) + span->x, span->length, colour, 256);
    } else {
        for (int32_t j = 0; j < span->length; ++j) {
            Pixel& d = rowAt<Pixel>(pixels, pitch, span->y + j)[span->x];
            d = pixel32::store(d, colour);
        }
    }
}

void Graphics32::drawLineAA(float x1, float y1, float x2, float y2) {
    if (alpha == 0) {
        return;
    }
    ImageLocks locks(nullptr, image.get());
    if (!locks.ok() || !image->getPixels()) {
        return;
    }
    uint8_t* pixels = image->getPixels();
    const int32_t pitch = image->getPitch();
    traceLineAA(x1 + static_cast<float>(offsetX), y1 + static_cast<float>(offsetY),
                x2 + static_cast<float>(offsetX), y2 + static_cast<float>(offsetY), clip,
                targetWidth(), targetHeight(), [&](int32_t x, int32_t y, int32_t weight) {
                    Pixel& d = rowAt<Pixel>(pixels, pitch, y)[x];
                    d = pixel32::blend(d, colour,
                                       static_cast<uint32_t>(std::clamp(weight, 0, 255)));
                });
}

void Graphics32::fillRect(int32_t x, int32_t y, int32_t w, int32_t h) {
    const Rect area = placeRect(x, y, w, h, offsetX, offsetY, clip);
    if (alpha == 0 || area.isEmpty()) {
        return;
    }
    ImageLocks locks(nullptr, image.get());
    if (!locks.ok() || !image->getPixels()) {
        return;
    }
    const uint32_t k = alpha == 255 ? 256 : static_cast<uint32_t>(alpha);
    for (int32_t j = 0; j < area.h; ++j) {
        fillRow(rowAt<Pixel>(image->getPixels(), image->getPitch(), area.y + j) + area.x, area.w,
                colour, k);
    }
}

void Graphics32::fillRectChannel(int32_t channel, int32_t value, int32_t x, int32_t y, int32_t w,
                                 int32_t h) {
    const Rect area = placeRect(x, y, w, h, offsetX, offsetY, clip);
    if (channel < 0 || channel > 3 || area.isEmpty()) {
        return;
    }
    ImageLocks locks(nullptr, image.get());
    if (!locks.ok() || !image->getPixels()) {
        return;
    }
    const uint32_t byte = static_cast<uint32_t>(value) & 0xFF;
    for (int32_t j = 0; j < area.h; ++j) {
        channelRow(rowAt<Pixel>(image->getPixels(), image->getPitch(), area.y + j) + area.x, area.w,
                   pixel32::channelShift(channel), CopyByte{}, [byte](int32_t) { return byte; });
    }
}

void Graphics32::blit(Image* source, int32_t dx, int32_t dy, int32_t sx, int32_t sy, int32_t w,
                      int32_t h) {
    const SourceKind kind = sourceKind(source, 4);
    if (alpha == 0 || kind == SourceKind::Unusable) {
        return;
    }
    const bool perPixelAlpha = kind == SourceKind::SameDepth && source->getUseAlphaChannel();
    if (perPixelAlpha && blendMode != BlendMode::Alpha && blendMode != BlendMode::Additive) {
        return;
    }
    dx = moved(dx, offsetX);
    dy = moved(dy, offsetY);
    if (!clipBlit(dx, dy, sx, sy, w, h, targetWidth(), targetHeight(), source->getWidth(),
                  source->getHeight(), clip)) {
        return;
    }
    ImageLocks locks(source, image.get());
    uint8_t* targetPixels = image->getPixels();
    if (!locks.ok() || !targetPixels) {
        return;
    }
    const int32_t targetPitch = image->getPitch();
    const uint32_t a = static_cast<uint32_t>(alpha);
    if (kind == SourceKind::Mask) {
        uint8_t* plane = source->getAlphaPlane();
        if (!plane) {
            return;
        }
        for (int32_t j = 0; j < h; ++j) {
            maskRow(rowAt<Pixel>(targetPixels, targetPitch, dy + j) + dx,
                    planeAt(plane, source->getWidth(), sx, sy + j), w, colour, a);
        }
        return;
    }
    uint8_t* sourcePixels = source->getPixels();
    if (!sourcePixels) {
        return;
    }
    const int32_t sourcePitch = source->getPitch();
    for (int32_t j = 0; j < h; ++j) {
        Pixel* d = rowAt<Pixel>(targetPixels, targetPitch, dy + j) + dx;
        const Pixel* s = rowAt<const Pixel>(sourcePixels, sourcePitch, sy + j) + sx;
        if (perPixelAlpha) {
            if (blendMode == BlendMode::Alpha) {
                blendRowPaired(d, s, w, a);
            } else {
                addRowPaired(d, s, w, a);
            }
        } else if (a == 255) {
            storeRow(d, s, w);
        } else {
            uniformRow(d, s, w, a);
        }
    }
}

void Graphics32::copyRect(Image* source, int32_t dx, int32_t dy, int32_t sx, int32_t sy, int32_t w,
                          int32_t h) {
    const SourceKind kind = sourceKind(source, 4);
    if (kind == SourceKind::Unusable) {
        return;
    }
    dx = moved(dx, offsetX);
    dy = moved(dy, offsetY);
    if (!clipBlit(dx, dy, sx, sy, w, h, targetWidth(), targetHeight(), source->getWidth(),
                  source->getHeight(), clip)) {
        return;
    }
    ImageLocks locks(source, image.get());
    uint8_t* targetPixels = image->getPixels();
    if (!locks.ok() || !targetPixels) {
        return;
    }
    const int32_t targetPitch = image->getPitch();
    if (kind == SourceKind::Mask) {
        uint8_t* plane = source->getAlphaPlane();
        if (!plane) {
            return;
        }
        for (int32_t j = 0; j < h; ++j) {
            const uint8_t* m = planeAt(plane, source->getWidth(), sx, sy + j);
            channelRow(rowAt<Pixel>(targetPixels, targetPitch, dy + j) + dx, w,
                       pixel32::channelShift(Channel::Alpha), CopyByte{},
                       [m](int32_t i) { return static_cast<uint32_t>(m[i]); });
        }
        return;
    }
    uint8_t* sourcePixels = source->getPixels();
    if (!sourcePixels) {
        return;
    }
    for (int32_t j = 0; j < h; ++j) {
        // memmove: a copy within one image may overlap.
        std::memmove(
            rowAt<uint8_t>(targetPixels, targetPitch, dy + j) + static_cast<size_t>(dx) * 4,
            rowAt<uint8_t>(sourcePixels, source->getPitch(), sy + j) + static_cast<size_t>(sx) * 4,
            static_cast<size_t>(w) * 4);
    }
}

void Graphics32::blitRotated(Image* source, double angle, double scale, int32_t dx, int32_t dy,
                             int32_t sx, int32_t sy, int32_t sw, int32_t sh, int32_t pivotX,
                             int32_t pivotY) {
    if (alpha == 0 || sourceKind(source, 4) == SourceKind::Unusable) {
        return;
    }
    BlitMapping mapping;
    if (!mapping.setUpRotated(source->getWidth(), source->getHeight(), angle, scale,
                              moved(dx, offsetX), moved(dy, offsetY), sx, sy, sw, sh, pivotX,
                              pivotY, smooth, clip)) {
        return;
    }
    mappedBlit(source, mapping, true);
}

void Graphics32::blitStretched(Image* source, int32_t sx, int32_t sy, int32_t sw, int32_t sh,
                               int32_t dx, int32_t dy, int32_t dw, int32_t dh) {
    if (alpha == 0 || sourceKind(source, 4) == SourceKind::Unusable) {
        return;
    }
    BlitMapping mapping;
    if (!mapping.setUpStretched(source->getWidth(), source->getHeight(), sx, sy, sw, sh,
                                moved(dx, offsetX), moved(dy, offsetY), dw, dh, smooth, clip)) {
        return;
    }
    mappedBlit(source, mapping, false);
}

void Graphics32::mappedBlit(Image* source, const BlitMapping& mapping, bool rotated) {
    ImageLocks locks(source, image.get());
    if (!locks.ok() || !image->getPixels()) {
        return;
    }
    const bool mask = source->getBytesPerPixel() == 1;
    if (mask ? !source->getAlphaPlane() : !source->getPixels()) {
        return;
    }
    WeightRule rule = WeightRule::Fixed;
    if (mask || source->getUseAlphaChannel()) {
        rule = (rotated || smooth) ? WeightRule::Thresholds : WeightRule::Plain;
    }
    const uint32_t a = static_cast<uint32_t>(alpha);
    if (smooth) {
        drawMappedBy<true>(rule, mask, mapping, source, image.get(), colour, a);
    } else {
        drawMappedBy<false>(rule, mask, mapping, source, image.get(), colour, a);
    }
}

void Graphics32::blitChannel(Image* source, int32_t channel, int32_t dx, int32_t dy, int32_t sx,
                             int32_t sy, int32_t w, int32_t h) {
    channelBlit(ChannelOp::Copy, source, channel, dx, dy, sx, sy, w, h);
}

void Graphics32::blitChannelMin(Image* source, int32_t channel, int32_t dx, int32_t dy, int32_t sx,
                                int32_t sy, int32_t w, int32_t h) {
    channelBlit(ChannelOp::Min, source, channel, dx, dy, sx, sy, w, h);
}

void Graphics32::blitChannelMax(Image* source, int32_t channel, int32_t dx, int32_t dy, int32_t sx,
                                int32_t sy, int32_t w, int32_t h) {
    channelBlit(ChannelOp::Max, source, channel, dx, dy, sx, sy, w, h);
}

void Graphics32::channelBlit(ChannelOp op, Image* source, int32_t channel, int32_t dx, int32_t dy,
                             int32_t sx, int32_t sy, int32_t w, int32_t h) {
    if (!source || channel < 0 || channel > 3) {
        return;
    }
    dx = moved(dx, offsetX);
    dy = moved(dy, offsetY);
    if (!clipBlit(dx, dy, sx, sy, w, h, targetWidth(), targetHeight(), source->getWidth(),
                  source->getHeight(), clip)) {
        return;
    }
    ImageLocks locks(source, image.get());
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
        Pixel* d = rowAt<Pixel>(targetPixels, image->getPitch(), dy + j) + dx;
        const auto run = [&](auto combine) {
            if (wide) {
                const Pixel* s = rowAt<const Pixel>(sourceBase, source->getPitch(), sy + j) + sx;
                channelRow(d, w, shift, combine,
                           [s, shift](int32_t i) { return (s[i] >> shift) & 0xFFu; });
            } else {
                const uint8_t* m = planeAt(sourceBase, source->getWidth(), sx, sy + j);
                channelRow(d, w, shift, combine,
                           [m](int32_t i) { return static_cast<uint32_t>(m[i]); });
            }
        };
        switch (op) {
            case ChannelOp::Copy:
                run(CopyByte{});
                break;
            case ChannelOp::Min:
                run(MinByte{});
                break;
            case ChannelOp::Max:
                run(MaxByte{});
                break;
        }
    }
}
