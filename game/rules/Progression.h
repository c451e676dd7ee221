#pragma once

#include "framework/core/AbstractProperty.h"
#include "framework/core/BaseObject.h"

class PropertyNode;

// One tunable number of a level that steps towards a cap from one level of a series to the
// next. A definition is either a plain number (a constant) or a node with the children "start",
// "delta" and "cap"; the cap is a ceiling for a rising and a floor for a falling progression.
class Progression : public BaseObject {
    QUOVEL_TYPE(Progression)
public:
    // All fields 0.
    Progression() = default;
    // A constant: start, value and cap hold the number, delta is 0.
    explicit Progression(float constant);
    // Starts at `start` and steps by `delta` towards `cap`.
    Progression(float start, float delta, float cap);
    // The factory's form: zeroed, then read from the definition.
    explicit Progression(AbstractProperty* definition);

    // Fills the fields from a value (a constant) or a node (a null or other property counts as
    // the empty node, so every field reads 0).
    void read(AbstractProperty* property);
    // One step: value + delta, not passing the cap in the direction of the delta.
    float advance();

    float getStart() const { return start; }
    float getValue() const { return value; }
    float getDelta() const { return delta; }
    float getCap() const { return cap; }
    // The integer part of the value (toward zero, clamped to the int32 range).
    int32_t getInt() const;

private:
    float start = 0.0f;
    float value = 0.0f;
    float delta = 0.0f;
    float cap = 0.0f;
};
