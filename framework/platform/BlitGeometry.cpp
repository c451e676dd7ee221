#include "framework/platform/BlitGeometry.h"

#include <algorithm>
#include <cmath>

#include "framework/core/NumberClamp.h"

namespace {

// One axis of clipBlit: d, s and length against the target, the source and the clip.
bool clipBlitAxis(int32_t& d, int32_t& s, int32_t& length, int32_t targetLength,
                  int32_t sourceLength, int32_t clipStart, int32_t clipLength) {
    int64_t dest = d;
    int64_t source = s;
    int64_t len = length;
    if (dest >= targetLength) {
        return false;
    }
    if (source + len > sourceLength) {
        len = sourceLength - source;
    }
    if (source < 0) {
        dest -= source;
        len += source;
        source = 0;
    }
    const int64_t left = std::max<int64_t>(std::max<int64_t>(dest, 0), clipStart);
    const int64_t right =
        std::min<int64_t>(targetLength, std::min(int64_t{clipStart} + clipLength, dest + len));
    if (left >= right) {
        return false;
    }
    source += left - dest;
    if (source >= sourceLength) {
        return false;
    }
    d = static_cast<int32_t>(left);
    s = static_cast<int32_t>(source);
    length = static_cast<int32_t>(right - left);
    return true;
}

// Coordinates far beyond any image, yet small enough that differences stay exact in doubles and
// products with fixed-point steps are checked rather than wrapped.
constexpr double COORDINATE_LIMIT = 9007199254740992.0;  // 2^53

int64_t toBlitCoordinate(double value) {
    return clampToInt64(value, COORDINATE_LIMIT);
}

Rect boxInClip(int64_t left, int64_t top, int64_t right, int64_t bottom, const Rect& clip) {
    left = std::max<int64_t>(left, clip.x);
    top = std::max<int64_t>(top, clip.y);
    right = std::min<int64_t>(right, int64_t{clip.x} + clip.w);
    bottom = std::min<int64_t>(bottom, int64_t{clip.y} + clip.h);
    if (left >= right || top >= bottom) {
        return Rect{};
    }
    return Rect{static_cast<int32_t>(left), static_cast<int32_t>(top),
                static_cast<int32_t>(right - left), static_cast<int32_t>(bottom - top)};
}

// The source rectangle's extent along one axis cut to the image, relative to its origin.
bool sourceWindow(int32_t origin, int32_t size, int32_t imageSize, int32_t& low, int32_t& high) {
    low = static_cast<int32_t>(std::max<int64_t>(0, -int64_t{origin}));
    high = static_cast<int32_t>(std::min<int64_t>(size, int64_t{imageSize} - origin));
    return low < high;
}

int64_t ceilDivide(int64_t numerator, int64_t denominator) {
    const int64_t quotient = numerator / denominator;
    return quotient + ((numerator % denominator != 0 && numerator > 0) ? 1 : 0);
}

}  // namespace

bool clipBlit(int32_t& dx, int32_t& dy, int32_t& sx, int32_t& sy, int32_t& w, int32_t& h,
              int32_t targetWidth, int32_t targetHeight, int32_t sourceWidth, int32_t sourceHeight,
              const Rect& clip) {
    return clipBlitAxis(dx, sx, w, targetWidth, sourceWidth, clip.x, clip.w) &&
           clipBlitAxis(dy, sy, h, targetHeight, sourceHeight, clip.y, clip.h);
}

bool BlitMapping::setUpRotated(int32_t sourceWidth, int32_t sourceHeight, double angle,
                               double scale, int32_t dx, int32_t dy, int32_t sx, int32_t sy,
                               int32_t sw, int32_t sh, int32_t pivotX, int32_t pivotY,
                               bool smoothSampling, const Rect& clip) {
    if (!std::isfinite(angle) || !std::isfinite(scale) || std::fabs(scale) <= 0.0001) {
        return false;
    }
    if (!sourceWindow(sx, sw, sourceWidth, lowU, highU) ||
        !sourceWindow(sy, sh, sourceHeight, lowV, highV)) {
        return false;
    }
    rotated = true;
    smooth = smoothSampling;
    originX = sx;
    originY = sy;
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    const int64_t ox = toBlitCoordinate(
        static_cast<double>(dx) + pivotX -
        std::trunc(scale * (static_cast<double>(pivotX) * c - static_cast<double>(pivotY) * s)));
    const int64_t oy = toBlitCoordinate(
        static_cast<double>(dy) + pivotY -
        std::trunc(scale * (static_cast<double>(pivotY) * c + static_cast<double>(pivotX) * s)));

    // Bounding box of the mapped corners; bilinear sampling reaches one pixel further out.
    const double grow = smooth ? 1.0 : 0.0;
    const double us[2] = {lowU - grow, highU + grow};
    const double vs[2] = {lowV - grow, highV + grow};
    double minX = INFINITY;
    double minY = INFINITY;
    double maxX = -INFINITY;
    double maxY = -INFINITY;
    for (double u : us) {
        for (double v : vs) {
            const double x = static_cast<double>(ox) + scale * (u * c - v * s);
            const double y = static_cast<double>(oy) + scale * (u * s + v * c);
            minX = std::min(minX, x);
            maxX = std::max(maxX, x);
            minY = std::min(minY, y);
            maxY = std::max(maxY, y);
        }
    }
    const int64_t left = toBlitCoordinate(minX);
    const int64_t top = toBlitCoordinate(minY);
    box = boxInClip(left, top, left + toBlitCoordinate(maxX - minX),
                    top + toBlitCoordinate(maxY - minY), clip);
    if (box.isEmpty()) {
        return false;
    }

    const double k = static_cast<double>(ONE) / scale;
    const int64_t cosStep = clampToInt64(c * k);
    const int64_t sinStep = clampToInt64(s * k);
    columnU = cosStep;
    columnV = -sinStep;
    rowU = sinStep;
    rowV = cosStep;
    const int64_t bx = box.x - ox;
    const int64_t by = box.y - oy;
    int64_t a;
    int64_t b;
    if (__builtin_mul_overflow(cosStep, bx, &a) || __builtin_mul_overflow(sinStep, by, &b) ||
        __builtin_add_overflow(a, b, &startU)) {
        return false;
    }
    if (__builtin_mul_overflow(-sinStep, bx, &a) || __builtin_mul_overflow(cosStep, by, &b) ||
        __builtin_add_overflow(a, b, &startV)) {
        return false;
    }
    return positionsFit();
}

bool BlitMapping::setUpStretched(int32_t sourceWidth, int32_t sourceHeight, int32_t sx, int32_t sy,
                                 int32_t sw, int32_t sh, int32_t dx, int32_t dy, int32_t dw,
                                 int32_t dh, bool smoothSampling, const Rect& clip) {
    if (int64_t{dx} + dw < 0 || int64_t{dy} + dh < 0 || dw <= 0 || dh <= 0) {
        return false;
    }
    if (!sourceWindow(sx, sw, sourceWidth, lowU, highU) ||
        !sourceWindow(sy, sh, sourceHeight, lowV, highV)) {
        return false;
    }
    rotated = false;
    smooth = smoothSampling;
    originX = sx;
    originY = sy;
    const int64_t stepX = clampToInt64(std::nearbyint(static_cast<double>(sw) / dw * ONE));
    const int64_t stepY = clampToInt64(std::nearbyint(static_cast<double>(sh) / dh * ONE));
    // The destination part that the cut source covers, exactly; the whole destination when the
    // source rectangle lies inside the image.
    const int64_t left = dx + ceilDivide(int64_t{lowU} * dw, sw);
    const int64_t right = dx + ceilDivide(int64_t{highU} * dw, sw);
    const int64_t top = dy + ceilDivide(int64_t{lowV} * dh, sh);
    const int64_t bottom = dy + ceilDivide(int64_t{highV} * dh, sh);
    box = boxInClip(left, top, right, bottom, clip);
    if (box.isEmpty()) {
        return false;
    }
    columnU = stepX;
    columnV = 0;
    rowU = 0;
    rowV = stepY;
    // Both factors are below 2^31 and the steps below 2^52, so the products fit.
    if (__builtin_mul_overflow(int64_t{box.x} - dx, stepX, &startU) ||
        __builtin_mul_overflow(int64_t{box.y} - dy, stepY, &startV)) {
        return false;
    }
    return positionsFit();
}

bool BlitMapping::positionsFit() const {
    int64_t lastU;
    int64_t lastV;
    int64_t across;
    int64_t down;
    return !__builtin_mul_overflow(int64_t{box.w} - 1, columnU, &across) &&
           !__builtin_mul_overflow(int64_t{box.h} - 1, rowU, &down) &&
           !__builtin_add_overflow(startU, across, &lastU) &&
           !__builtin_add_overflow(lastU, down, &lastU) &&
           !__builtin_add_overflow(startU, down, &lastU) &&
           !__builtin_mul_overflow(int64_t{box.w} - 1, columnV, &across) &&
           !__builtin_mul_overflow(int64_t{box.h} - 1, rowV, &down) &&
           !__builtin_add_overflow(startV, across, &lastV) &&
           !__builtin_add_overflow(lastV, down, &lastV) &&
           !__builtin_add_overflow(startV, down, &lastV);
}

bool BlitMapping::sampleAt(int64_t u, int64_t v, BlitSample& sample) const {
    // Arithmetic shifts: a position just left of or above the origin gives -1.
    const int64_t iu = u >> FRACTION_BITS;
    const int64_t iv = v >> FRACTION_BITS;
    const float fx = static_cast<float>(u & (ONE - 1)) / static_cast<float>(ONE);
    const float fy = static_cast<float>(v & (ONE - 1)) / static_cast<float>(ONE);
    int64_t x0;
    int64_t y0;
    int64_t x1;
    int64_t y1;
    if (rotated) {
        const int64_t reach = smooth ? 1 : 0;
        if (iu < lowU - reach || iu >= highU || iv < lowV - reach || iv >= highV) {
            return false;
        }
        if (!smooth) {
            x0 = x1 = iu;
            y0 = y1 = iv;
        } else {
            // Positions outside the source rectangle take its nearest edge pixel.
            x0 = std::clamp<int64_t>(iu, lowU, highU - 1);
            x1 = std::clamp<int64_t>(iu + 1, lowU, highU - 1);
            y0 = std::clamp<int64_t>(iv, lowV, highV - 1);
            y1 = std::clamp<int64_t>(iv + 1, lowV, highV - 1);
            sample.fx = fx;
            sample.fy = fy;
        }
    } else {
        // A rounded step can overshoot the last column of a large enlargement by one.
        x0 = x1 = std::clamp<int64_t>(iu, lowU, highU - 1);
        y0 = y1 = std::clamp<int64_t>(iv, lowV, highV - 1);
        if (smooth) {
            if (iu < highU - 1 && iu >= lowU) {
                x1 = x0 + 1;
                sample.fx = fx;
            }
            if (iv < highV - 1 && iv >= lowV) {
                y1 = y0 + 1;
                sample.fy = fy;
            }
        }
    }
    sample.x0 = static_cast<int32_t>(originX + x0);
    sample.y0 = static_cast<int32_t>(originY + y0);
    sample.x1 = static_cast<int32_t>(originX + x1);
    sample.y1 = static_cast<int32_t>(originY + y1);
    return true;
}
