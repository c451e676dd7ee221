#pragma once

#include <algorithm>
#include <cstdint>

#include "framework/platform/BlitGeometry.h"
#include "framework/platform/DrawingSupport.h"
#include "framework/platform/Graphics.h"
#include "framework/platform/LineGeometry.h"
#include "framework/platform/PixelRules.h"

// The operation skeletons shared by the drawing depths: placing and clipping, locking, row walking
// and the line tracers. A depth supplies them as a traits type with
//   Pixel, Value       the unaligned stored pixel and its value type;
//   bytes              the bytes per pixel of same-depth sources;
//   ALPHA_IN_PLANE       whether same-depth sources keep their alpha in the alpha plane;
//   store, blend       the per-pixel rules (store keeps what the depth keeps of the target);
//   fillRow, maskRow   its row loops (the vector loops of BlendRows);
//   samplePixel        one color sample of a same-depth source.
// Every per-pixel call is resolved at compile time, so the row loops stay branch-free.
namespace drawing {

struct CopyByte {
    uint32_t operator()(uint32_t, uint32_t s) const { return s; }
};
struct MinByte {
    uint32_t operator()(uint32_t d, uint32_t s) const { return d < s ? d : s; }
};
struct MaxByte {
    uint32_t operator()(uint32_t d, uint32_t s) const { return d > s ? d : s; }
};

enum class ChannelOp { COPY, MIN, MAX };

// Calls run with the byte combiner of op, so the row loop it instantiates has no test of op.
template <class Run>
void withCombine(ChannelOp op, Run run) {
    switch (op) {
        case ChannelOp::COPY:
            run(CopyByte{});
            break;
        case ChannelOp::MIN:
            run(MinByte{});
            break;
        case ChannelOp::MAX:
            run(MaxByte{});
            break;
    }
}

// How a rotated or stretched blit turns the sampled effective alpha into a blend weight.
enum class WeightRule {
    // The source has no alpha: one weight for every pixel (256 stores).
    FIXED,
    // ea <= 5 draws nothing, ea > 250 stores, anything between blends.
    THRESHOLDS,
    // Blend by ea as it is (stretched, nearest sampling).
    PLAIN,
};

template <WeightRule rule>
inline uint32_t mappedWeight(uint32_t ea, uint32_t fixed) {
    if constexpr (rule == WeightRule::FIXED) {
        return fixed;
    } else if constexpr (rule == WeightRule::THRESHOLDS) {
        return ea <= 5 ? 0 : (ea > 250 ? 256 : ea);
    } else {
        return ea;
    }
}

// Source kinds of rotated and stretched blits: color without alpha, color with alpha, or the
// drawing color through a mask.
enum class MappedSource { OPAQUE, WITH_ALPHA, MASK };

inline uint32_t samplePlane(const uint8_t* plane, int32_t width, const BlitSample& sample,
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

template <class D>
class DepthOps {
public:
    using Pixel = typename D::Pixel;
    using Value = typename D::Value;

    static void drawPixel(Graphics& g, int32_t x, int32_t y, Value color) {
        const int64_t px = int64_t{x} + g.offsetX;
        const int64_t py = int64_t{y} + g.offsetY;
        if (g.alpha == 0 || !insideClip(px, py, g.clip)) {
            return;
        }
        ImageLocks locks(nullptr, g.image.get());
        if (!locks.ok() || !g.image->getPixels()) {
            return;
        }
        Pixel& d =
            rowAt<Pixel>(g.image->getPixels(), g.image->getPitch(), static_cast<int32_t>(py))[px];
        d = D::blend(d, color, g.alpha == 255 ? 256 : g.alpha);
    }

    // Horizontal and vertical lines at full alpha are stored as one clipped span; the others go
    // to the general tracer.
    static void drawLine(Graphics& g, int32_t x1, int32_t y1, int32_t x2, int32_t y2, Value color) {
        if (g.alpha != 255 || (x1 != x2 && y1 != y2)) {
            g.Graphics::drawLine(x1, y1, x2, y2);
            return;
        }
        const auto span = clipAxisLine(moved(x1, g.offsetX), moved(y1, g.offsetY),
                                       moved(x2, g.offsetX), moved(y2, g.offsetY), g.clip);
        if (!span) {
            return;
        }
        ImageLocks locks(nullptr, g.image.get());
        if (!locks.ok() || !g.image->getPixels()) {
            return;
        }
        uint8_t* pixels = g.image->getPixels();
        const int32_t pitch = g.image->getPitch();
        if (span->horizontal) {
            D::fillRow(rowAt<Pixel>(pixels, pitch, span->y) + span->x, span->length, color, 256);
        } else {
            for (int32_t j = 0; j < span->length; ++j) {
                Pixel& d = rowAt<Pixel>(pixels, pitch, span->y + j)[span->x];
                d = D::store(d, color);
            }
        }
    }

    static void drawLineAA(Graphics& g, float x1, float y1, float x2, float y2, Value color) {
        if (g.alpha == 0) {
            return;
        }
        ImageLocks locks(nullptr, g.image.get());
        if (!locks.ok() || !g.image->getPixels()) {
            return;
        }
        uint8_t* pixels = g.image->getPixels();
        const int32_t pitch = g.image->getPitch();
        traceLineAA(x1 + static_cast<float>(g.offsetX), y1 + static_cast<float>(g.offsetY),
                    x2 + static_cast<float>(g.offsetX), y2 + static_cast<float>(g.offsetY), g.clip,
                    g.targetWidth(), g.targetHeight(), [&](int32_t x, int32_t y, int32_t weight) {
                        Pixel& d = rowAt<Pixel>(pixels, pitch, y)[x];
                        d = D::blend(d, color, static_cast<uint32_t>(std::clamp(weight, 0, 255)));
                    });
    }

    static void fillRect(Graphics& g, int32_t x, int32_t y, int32_t w, int32_t h, Value color) {
        const Rect area = placeRect(x, y, w, h, g.offsetX, g.offsetY, g.clip);
        if (g.alpha == 0 || area.isEmpty()) {
            return;
        }
        ImageLocks locks(nullptr, g.image.get());
        if (!locks.ok() || !g.image->getPixels()) {
            return;
        }
        const uint32_t k = g.alpha == 255 ? 256 : static_cast<uint32_t>(g.alpha);
        for (int32_t j = 0; j < area.h; ++j) {
            D::fillRow(rowAt<Pixel>(g.image->getPixels(), g.image->getPitch(), area.y + j) + area.x,
                       area.w, color, k);
        }
    }

    // Moves the target position by the offset and cuts the rectangle to the clip and both images;
    // false when nothing is left.
    static bool placeBlit(const Graphics& g, Image* source, int32_t& dx, int32_t& dy, int32_t& sx,
                          int32_t& sy, int32_t& w, int32_t& h) {
        dx = moved(dx, g.offsetX);
        dy = moved(dy, g.offsetY);
        return clipBlit(dx, dy, sx, sy, w, h, g.targetWidth(), g.targetHeight(), source->getWidth(),
                        source->getHeight(), g.clip);
    }

    // The whole of blit: same-depth sources go to D::blitRows with the target locked.
    static void blit(Graphics& g, Image* source, int32_t dx, int32_t dy, int32_t sx, int32_t sy,
                     int32_t w, int32_t h, Value color) {
        const SourceKind kind = sourceKind(source, D::BYTES);
        if (g.alpha == 0 || kind == SourceKind::UNUSABLE) {
            return;
        }
        const bool perPixelAlpha = kind == SourceKind::SAME_DEPTH && source->getUseAlphaChannel();
        if (perPixelAlpha && g.blendMode != BlendMode::ALPHA &&
            g.blendMode != BlendMode::ADDITIVE) {
            return;
        }
        if (!placeBlit(g, source, dx, dy, sx, sy, w, h)) {
            return;
        }
        ImageLocks locks(source, g.image.get());
        uint8_t* targetPixels = g.image->getPixels();
        if (!locks.ok() || !targetPixels) {
            return;
        }
        const int32_t targetPitch = g.image->getPitch();
        const uint32_t a = static_cast<uint32_t>(g.alpha);
        if (kind == SourceKind::MASK) {
            uint8_t* plane = source->getAlphaPlane();
            if (!plane) {
                return;
            }
            for (int32_t j = 0; j < h; ++j) {
                D::maskRow(rowAt<Pixel>(targetPixels, targetPitch, dy + j) + dx,
                           planeAt(plane, source->getWidth(), sx, sy + j), w, color, a);
            }
            return;
        }
        D::blitRows(source, targetPixels, targetPitch, dx, dy, sx, sy, w, h, a, perPixelAlpha,
                    g.blendMode == BlendMode::ADDITIVE);
    }

    static void blitRotated(Graphics& g, Image* source, double angle, double scale, int32_t dx,
                            int32_t dy, int32_t sx, int32_t sy, int32_t sw, int32_t sh,
                            int32_t pivotX, int32_t pivotY, Value color) {
        if (g.alpha == 0 || sourceKind(source, D::BYTES) == SourceKind::UNUSABLE) {
            return;
        }
        BlitMapping mapping;
        if (!mapping.setUpRotated(source->getWidth(), source->getHeight(), angle, scale,
                                  moved(dx, g.offsetX), moved(dy, g.offsetY), sx, sy, sw, sh,
                                  pivotX, pivotY, g.smooth, g.clip)) {
            return;
        }
        mappedBlit(g, source, mapping, true, color);
    }

    static void blitStretched(Graphics& g, Image* source, int32_t sx, int32_t sy, int32_t sw,
                              int32_t sh, int32_t dx, int32_t dy, int32_t dw, int32_t dh,
                              Value color) {
        if (g.alpha == 0 || sourceKind(source, D::BYTES) == SourceKind::UNUSABLE) {
            return;
        }
        BlitMapping mapping;
        if (!mapping.setUpStretched(source->getWidth(), source->getHeight(), sx, sy, sw, sh,
                                    moved(dx, g.offsetX), moved(dy, g.offsetY), dw, dh, g.smooth,
                                    g.clip)) {
            return;
        }
        mappedBlit(g, source, mapping, false, color);
    }

private:
    static void mappedBlit(Graphics& g, Image* source, const BlitMapping& mapping, bool rotated,
                           Value color) {
        ImageLocks locks(source, g.image.get());
        if (!locks.ok() || !g.image->getPixels()) {
            return;
        }
        MappedSource kind = MappedSource::OPAQUE;
        if (source->getBytesPerPixel() == 1) {
            kind = MappedSource::MASK;
        } else if (source->getUseAlphaChannel()) {
            kind = MappedSource::WITH_ALPHA;
        }
        const bool needsPlane =
            kind == MappedSource::MASK || (kind == MappedSource::WITH_ALPHA && D::ALPHA_IN_PLANE);
        if ((kind != MappedSource::MASK && !source->getPixels()) ||
            (needsPlane && !source->getAlphaPlane())) {
            return;
        }
        const WeightRule rule = kind == MappedSource::OPAQUE ? WeightRule::FIXED
                                : (rotated || g.smooth)      ? WeightRule::THRESHOLDS
                                                             : WeightRule::PLAIN;
        const uint32_t a = static_cast<uint32_t>(g.alpha);
        if (g.smooth) {
            drawMappedBy<true>(kind, rule, mapping, source, g.image.get(), color, a);
        } else {
            drawMappedBy<false>(kind, rule, mapping, source, g.image.get(), color, a);
        }
    }

    // Draws every mapped pixel. The source kind, sampling and weight rule are fixed per call, so
    // the per-pixel work carries no test of them.
    template <bool smooth, MappedSource kind, WeightRule rule>
    static void drawMapped(const BlitMapping& mapping, Image* source, Image* target, Value color,
                           uint32_t a) {
        uint8_t* targetPixels = target->getPixels();
        const int32_t targetPitch = target->getPitch();
        const uint8_t* sourcePixels = source->getPixels();
        const uint8_t* plane = source->getAlphaPlane();
        const int32_t sourcePitch = source->getPitch();
        const int32_t sourceWidth = source->getWidth();
        const uint32_t fixed = a == 255 ? 256 : a;
        mapping.forEachPixel([&](int32_t x, int32_t y, const BlitSample& sample) {
            Value s = color;
            uint32_t sa = 255;
            if constexpr (kind != MappedSource::MASK) {
                s = D::samplePixel(sourcePixels, sourcePitch, sample, smooth);
            }
            if constexpr (kind == MappedSource::MASK ||
                          (kind == MappedSource::WITH_ALPHA && D::ALPHA_IN_PLANE)) {
                sa = samplePlane(plane, sourceWidth, sample, smooth);
            } else if constexpr (kind == MappedSource::WITH_ALPHA) {
                sa = D::alphaOf(s);
            }
            const uint32_t k = mappedWeight<rule>(effectiveAlpha(sa, a), fixed);
            Pixel& d = rowAt<Pixel>(targetPixels, targetPitch, y)[x];
            d = D::blend(d, s, k);
        });
    }

    template <bool smooth, MappedSource kind>
    static void drawMappedByRule(WeightRule rule, const BlitMapping& mapping, Image* source,
                                 Image* target, Value color, uint32_t a) {
        switch (rule) {
            case WeightRule::FIXED:
                drawMapped<smooth, kind, WeightRule::FIXED>(mapping, source, target, color, a);
                break;
            case WeightRule::THRESHOLDS:
                drawMapped<smooth, kind, WeightRule::THRESHOLDS>(mapping, source, target, color, a);
                break;
            case WeightRule::PLAIN:
                drawMapped<smooth, kind, WeightRule::PLAIN>(mapping, source, target, color, a);
                break;
        }
    }

    template <bool smooth>
    static void drawMappedBy(MappedSource kind, WeightRule rule, const BlitMapping& mapping,
                             Image* source, Image* target, Value color, uint32_t a) {
        switch (kind) {
            case MappedSource::OPAQUE:
                drawMappedByRule<smooth, MappedSource::OPAQUE>(rule, mapping, source, target, color,
                                                               a);
                break;
            case MappedSource::WITH_ALPHA:
                drawMappedByRule<smooth, MappedSource::WITH_ALPHA>(rule, mapping, source, target,
                                                                   color, a);
                break;
            case MappedSource::MASK:
                drawMappedByRule<smooth, MappedSource::MASK>(rule, mapping, source, target, color,
                                                             a);
                break;
        }
    }
};

}  // namespace drawing
