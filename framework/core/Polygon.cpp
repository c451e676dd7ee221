#include "framework/core/Polygon.h"

#include <cmath>

#include "framework/core/NumberClamp.h"

QUOVEL_DEFINE_TYPE(Polygon, &BaseObject::typeRecord)

bool Polygon::isClosed() const {
    if (points.size() < 2) {
        return false;
    }
    const PointF& first = points.front();
    const PointF& last = points.back();
    return std::fabs(first.x - last.x) < 0.001f && std::fabs(first.y - last.y) < 0.001f;
}

bool Polygon::isFinite() const {
    for (const PointF& point : points) {
        if (!std::isfinite(point.x) || !std::isfinite(point.y)) {
            return false;
        }
    }
    return true;
}

const Rect& Polygon::getBounds() {
    if (points.empty()) {
        // The running extremes would stay at +-2^31, which no int32 holds.
        bounds = Rect{};
        return bounds;
    }
    float minX = 2147483648.0f;
    float minY = 2147483648.0f;
    float maxX = -2147483648.0f;
    float maxY = -2147483648.0f;
    for (const PointF& point : points) {
        minX = std::min(minX, point.x);
        minY = std::min(minY, point.y);
        maxX = std::max(maxX, point.x);
        maxY = std::max(maxY, point.y);
    }
    bounds.x = roundToInt32(minX);
    bounds.y = roundToInt32(minY);
    bounds.w = truncToInt32(static_cast<double>(roundToInt32(maxX)) - bounds.x);
    bounds.h = truncToInt32(static_cast<double>(roundToInt32(maxY)) - bounds.y);
    return bounds;
}

float Polygon::computeLengths() const {
    float total = 0.0f;
    for (size_t i = 1; i < points.size(); ++i) {
        total += std::hypot(points[i].x - points[i - 1].x, points[i].y - points[i - 1].y);
    }
    return total;
}

std::vector<PointF> Polygon::build(size_t first, size_t last, int steps, bool flatEnds) const {
    std::vector<PointF> samples;
    const size_t count = points.size();
    if (count < 2 || steps < 1 || first >= count || last >= count || first >= last) {
        return samples;
    }
    const bool closed = isClosed();
    // A closed polygon's last point repeats its first, so wrapping skips it.
    const size_t ring = closed ? count - 1 : count;
    const auto neighbour = [&](size_t index, int direction) -> const PointF& {
        if (direction < 0) {
            if (index > 0) {
                return points[index - 1];
            }
            return closed ? points[ring - 1] : points[index];
        }
        if (index + 1 < ring) {
            return points[index + 1];
        }
        return closed ? points[(index + 1) % ring] : points[std::min(index + 1, count - 1)];
    };
    const auto tangent = [&](size_t index) {
        if (flatEnds && (index == first || index == last)) {
            return PointF{};
        }
        const PointF& next = neighbour(index, 1);
        const PointF& previous = neighbour(index, -1);
        return PointF{std::trunc(next.x - previous.x), std::trunc(next.y - previous.y)};
    };
    const auto hermite = [](float p0, float p1, float m0, float m1, float t) {
        const float a = 2 * p0 - 2 * p1 + m0 + m1;
        const float b = 3 * p1 - 3 * p0 - 2 * m0 - m1;
        return ((a * t + b) * t + m0) * t + p0;
    };
    const float increment = 1.0f / static_cast<float>(steps);
    for (size_t i = first + 1; i <= last; ++i) {
        const PointF& p0 = points[i - 1];
        const PointF& p1 = points[i];
        const PointF m0 = tangent(i - 1);
        const PointF m1 = tangent(i);
        // t accumulates by repeated addition, as the path's timing expects. The count bounds
        // the loop where a tiny increment no longer moves t.
        int sampled = 0;
        for (float t = 0.0f; t <= 1.0f && sampled <= steps; t += increment, ++sampled) {
            const PointF sample{hermite(p0.x, p1.x, m0.x, m1.x, t),
                                hermite(p0.y, p1.y, m0.y, m1.y, t)};
            if (!samples.empty() && samples.back() == sample) {
                continue;
            }
            samples.push_back(sample);
        }
    }
    return samples;
}
