#include "framework/nodes/ModifierLocation.h"

#include <algorithm>
#include <cmath>

#include "framework/core/GameNode.h"
#include "framework/core/NumberClamp.h"

QUOVEL_DEFINE_TYPE(ModifierLocation, &Modifier::typeRecord)
QUOVEL_DEFINE_TYPE(ModifierLocationLine, &ModifierLocation::typeRecord)
QUOVEL_DEFINE_TYPE(ModifierLocationWave, &ModifierLocation::typeRecord)
QUOVEL_DEFINE_TYPE(ModifierLocationPolygonicPath, &ModifierLocation::typeRecord)

ModifierLocation::ModifierLocation(int32_t duration, int32_t startX, int32_t startY)
    : ModifierFraction(duration),
      startX(startX),
      startY(startY),
      currentX(static_cast<float>(startX)),
      currentY(static_cast<float>(startY)) {}

void ModifierLocation::update(int32_t elapsedMs) {
    step(elapsedMs);
}

void ModifierLocation::placeTarget(int32_t x, int32_t y) {
    GameNode* node = getTarget();
    if (!node) {
        return;
    }
    if (moveX) {
        node->setX(x);
    }
    if (moveY) {
        node->setY(y);
    }
}

ModifierLocationLine::ModifierLocationLine(int32_t startX, int32_t startY, int32_t endX,
                                           int32_t endY, int32_t duration, bool smooth)
    : ModifierLocation(duration, startX, startY), endX(endX), endY(endY) {
    setEasing(easingFor(smooth));
}

void ModifierLocationLine::update(int32_t elapsedMs) {
    step(elapsedMs);
    const float fraction = getFraction();
    currentX = static_cast<float>(startX + (static_cast<double>(endX) - startX) * fraction);
    currentY = static_cast<float>(startY + (static_cast<double>(endY) - startY) * fraction);
    if (isFinished()) {
        // Floats need not land on the end point by themselves.
        currentX = static_cast<float>(endX);
        currentY = static_cast<float>(endY);
        placeTarget(endX, endY);
        return;
    }
    placeTarget(truncToInt32(currentX), truncToInt32(currentY));
}

ModifierLocationWave::ModifierLocationWave(int32_t centreX, int32_t centreY)
    : ModifierLocation(0, centreX, centreY) {}

void ModifierLocationWave::setRadius(float start, float end, int32_t time) {
    startRadius = start;
    endRadius = end;
    radiusTime = time;
}

void ModifierLocationWave::setAngle(float start, float end, int32_t time) {
    startAngle = start;
    endAngle = end;
    angleTime = time;
}

void ModifierLocationWave::update(int32_t elapsedMs) {
    const auto progress = [this](float from, float to, int32_t time) {
        if (waveElapsed < time) {
            return static_cast<float>(from + (static_cast<double>(to) - from) * waveElapsed / time);
        }
        return to;
    };
    const float radius = progress(startRadius, endRadius, radiusTime);
    const float angle = progress(startAngle, endAngle, angleTime);
    currentX = static_cast<float>(startX + std::trunc(std::cos(angle) * radius));
    currentY = static_cast<float>(startY + std::trunc(std::sin(angle) * radius));
    placeTarget(truncToInt32(currentX), truncToInt32(currentY));
    if (waveElapsed >= radiusTime && waveElapsed >= angleTime) {
        done = true;
        finish();
        return;
    }
    waveElapsed = static_cast<int32_t>(
        std::clamp<int64_t>(int64_t{waveElapsed} + elapsedMs, INT32_MIN, INT32_MAX));
}

ModifierLocationPolygonicPath::ModifierLocationPolygonicPath(Polygon* path, int32_t startIndex,
                                                             bool loop, int32_t duration,
                                                             bool smooth)
    : ModifierLocation(duration, 0, 0), path(path), loop(loop), pathEasing(easingFor(smooth)) {
    const size_t usable = usablePoints();
    this->startIndex = (startIndex >= 0 && static_cast<size_t>(startIndex) < usable)
                           ? static_cast<size_t>(startIndex)
                           : 0;
    currentIndex = this->startIndex;
    if (usable > 0) {
        const PointF& start = path->getPoint(this->startIndex);
        this->startX = roundToInt32(start.x);
        this->startY = roundToInt32(start.y);
        currentX = start.x;
        currentY = start.y;
    }
    totalLength = path ? path->computeLengths() : 0.0f;
}

size_t ModifierLocationPolygonicPath::usablePoints() const {
    if (!path) {
        return 0;
    }
    const size_t count = path->getPointCount();
    return path->isClosed() ? count - 1 : count;
}

void ModifierLocationPolygonicPath::walkTo(float target) {
    const size_t usable = usablePoints();
    // Float sums of the segments may fall short of the total: each segment is tried at most
    // once, and a distance that no segment holds ends the walk on the last point.
    for (size_t tried = 0; tried < usable; ++tried) {
        const size_t next = currentIndex + 1 < usable ? currentIndex + 1 : 0;
        const PointF& from = path->getPoint(currentIndex);
        const PointF& to = path->getPoint(next);
        const float length = std::hypot(to.x - from.x, to.y - from.y);
        if (target <= segmentStart + length) {
            const float along = length > 0.0f ? (target - segmentStart) / length : 0.0f;
            currentX = from.x + (to.x - from.x) * along;
            currentY = from.y + (to.y - from.y) * along;
            return;
        }
        segmentStart += length;
        currentIndex = next;
    }
    const PointF& last = path->getPoints().back();
    currentX = last.x;
    currentY = last.y;
}

void ModifierLocationPolygonicPath::update(int32_t elapsedMs) {
    const int32_t duration = getDuration();
    if (duration <= 0 || usablePoints() < 2) {
        done = true;
    }
    if (done) {
        if (path && path->getPointCount() > 0) {
            const PointF& last = path->getPoints().back();
            currentX = last.x;
            currentY = last.y;
            if (GameNode* node = getTarget()) {
                node->setX(roundToInt32(last.x));
                node->setY(roundToInt32(last.y));
            }
        }
        finish();
        return;
    }
    float fraction = static_cast<float>(pathElapsed) / static_cast<float>(duration);
    if (pathEasing) {
        fraction = pathEasing(fraction);
    }
    walkTo(std::clamp(fraction, 0.0f, 1.0f) * totalLength);
    placeTarget(roundToInt32(currentX), roundToInt32(currentY));
    const int64_t elapsed = int64_t{pathElapsed} + elapsedMs;
    if (elapsed >= duration) {
        if (loop) {
            pathElapsed = 0;
            segmentStart = 0.0f;
            currentIndex = startIndex;
        } else {
            done = true;
            pathElapsed = duration;
        }
        return;
    }
    pathElapsed = static_cast<int32_t>(std::max<int64_t>(elapsed, 0));
}
