#pragma once

#include <cstdint>

#include "framework/core/Polygon.h"
#include "framework/core/RefHolder.h"
#include "framework/nodes/ModifierFraction.h"

// The base of the modifiers that move their target: a timed part without easing, the start
// point, the current point held in floats, and whether to move in x and in y (a modifier that
// moves in one axis leaves the other to someone else).
class ModifierLocation : public ModifierFraction {
    QUOVEL_TYPE(ModifierLocation)
public:
    ModifierLocation(int32_t duration, int32_t startX, int32_t startY);

    // Only the shared step.
    void update(int32_t elapsedMs) override;

    void setMoveX(bool value) { moveX = value; }
    void setMoveY(bool value) { moveY = value; }

protected:
    // Sets the target's x and y per axis flag.
    void placeTarget(int32_t x, int32_t y);

    int32_t startX;
    int32_t startY;
    float currentX;
    float currentY;
    bool moveX = true;
    bool moveY = true;
    bool done = false;
};

// Moves the target along a straight line, linearly or eased, ending on the end point exactly.
class ModifierLocationLine : public ModifierLocation {
    QUOVEL_TYPE(ModifierLocationLine)
public:
    ModifierLocationLine(int32_t startX, int32_t startY, int32_t endX, int32_t endY,
                         int32_t duration, bool smooth);

    void update(int32_t elapsedMs) override;

private:
    int32_t endX;
    int32_t endY;
};

// Moves the target on a circle or spiral about its start point: the radius and the angle each
// run from a start to an end value over a time of their own. Set up field by field by its user.
// It finishes in the update after both times have passed.
class ModifierLocationWave : public ModifierLocation {
    QUOVEL_TYPE(ModifierLocationWave)
public:
    ModifierLocationWave(int32_t centreX, int32_t centreY);

    void update(int32_t elapsedMs) override;

    void setRadius(float start, float end, int32_t time);
    // Angles in radians.
    void setAngle(float start, float end, int32_t time);

private:
    float startRadius = 0.0f;
    float endRadius = 0.0f;
    int32_t radiusTime = 0;
    float startAngle = 0.0f;
    float endAngle = 0.0f;
    int32_t angleTime = 0;
    int32_t waveElapsed = 0;
};

// Moves the target at constant speed along a polygon's path from a start point, linearly or
// eased over the duration; it ends on the path's last point, or starts again with the loop flag.
class ModifierLocationPolygonicPath : public ModifierLocation {
    QUOVEL_TYPE(ModifierLocationPolygonicPath)
public:
    // The path is referenced. A path of fewer than 2 points finishes at once (on its one point,
    // if it has one).
    ModifierLocationPolygonicPath(Polygon* path, int32_t startIndex, bool loop, int32_t duration,
                                  bool smooth);

    void update(int32_t elapsedMs) override;

    Polygon* getPath() const { return path.get(); }
    float getTotalLength() const { return totalLength; }

private:
    // The path's points the walk uses: a closed path's repeated last point is skipped.
    size_t usablePoints() const;
    // Moves the current point to distance `target` from the start along the path.
    void walkTo(float target);

    RefHolder<Polygon> path;
    float totalLength = 0.0f;
    float segmentStart = 0.0f;
    size_t startIndex = 0;
    size_t currentIndex = 0;
    bool loop;
    int32_t pathElapsed = 0;
    EasingFunction pathEasing;
};
