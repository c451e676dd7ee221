#pragma once

#include <cstdint>
#include <deque>

#include "framework/core/BaseObject.h"

// A clamped integer with a lagging copy for display: gains are booked in the value at once and
// reach the shown value only when the screen reports their arrival (a score floater landing on
// the score label, for instance). Holds the score, the time bar's time and the player's stocks.
class DisplayValue : public BaseObject {
    QUOVEL_TYPE(DisplayValue)
public:
    DisplayValue(int32_t initial, int32_t minimum, int32_t maximum);

    // Books the delta in the value and remembers it as pending.
    void add(int32_t delta);
    // Moves the shown value by the delta and forgets the oldest pending entry equal to it.
    void arrive(int32_t delta);
    // add then arrive: both numbers move, nothing stays pending.
    void addImmediate(int32_t delta);
    // Both numbers become the number; pending deltas are dropped.
    void set(int32_t number);

    int32_t getValue() const { return value; }
    int32_t getShown() const { return shown; }
    int32_t getMinimum() const { return minimum; }
    int32_t getMaximum() const { return maximum; }
    bool isClamped() const { return clamped; }
    void setClamped(bool value) { clamped = value; }
    // Deltas added but not yet arrived, oldest first.
    const std::deque<int32_t>& getPending() const { return pending; }

private:
    // The sum is made in 64 bits so that a large gain saturates at the maximum instead of
    // wrapping round to a small or negative number.
    int32_t applyDelta(int32_t number, int32_t delta) const;
    int32_t clamp(int64_t number) const;

    int32_t value;
    int32_t shown;
    int32_t minimum;
    int32_t maximum;
    bool clamped = true;
    std::deque<int32_t> pending;
};
