#pragma once

#include <cstddef>
#include <vector>

#include "framework/core/BaseObject.h"
#include "framework/core/Rect.h"

// An ordered list of float points: a motion path for the path modifier and a shape for the
// polygon outline and fill. Fills treat it as closed (the last point joins the first).
class Polygon : public BaseObject {
    QUOVEL_TYPE(Polygon)
public:
    Polygon() = default;
    explicit Polygon(std::vector<PointF> points) : points(std::move(points)) {}

    // Points are appended by the polygon's users, in path order.
    void addPoint(float x, float y) { points.push_back(PointF{x, y}); }
    void addPoint(const PointF& point) { points.push_back(point); }
    void clear() { points.clear(); }

    size_t getPointCount() const { return points.size(); }
    const PointF& getPoint(size_t index) const { return points[index]; }
    const std::vector<PointF>& getPoints() const { return points; }

    // True when the last point equals the first within 0.001 in both coordinates.
    bool isClosed() const;
    // True when every coordinate is a finite number.
    bool isFinite() const;

    // Computes and stores the bounding rectangle: x and y the rounded minimum, width and height
    // the rounded maximum less x and y. A polygon without points has the bounds (0, 0, 0, 0).
    const Rect& getBounds();
    const Rect& getBoundsRect() const { return bounds; }

    // The path length: the sum of the distances between consecutive points (a closed polygon's
    // repeated last point adds nothing).
    float computeLengths() const;

    // A smoothed copy of the path from point `first` to point `last`: each segment follows a
    // cubic Hermite curve sampled `steps` times, with the tangent at a point being its next
    // neighbour less its previous one (indices wrap on a closed polygon). With `flatEnds` the
    // tangents at `first` and `last` are 0. A sample shared by two segments is written once.
    std::vector<PointF> build(size_t first, size_t last, int steps, bool flatEnds) const;

private:
    std::vector<PointF> points;
    Rect bounds;
};
