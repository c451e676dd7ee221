#include "game/rules/DisplayValue.h"

#include <algorithm>

QUOVEL_DEFINE_TYPE(DisplayValue, &BaseObject::typeRecord)

DisplayValue::DisplayValue(int32_t initial, int32_t minimum, int32_t maximum)
    : value(0), shown(0), minimum(minimum), maximum(maximum) {
    value = clamp(initial);
    shown = value;
}

int32_t DisplayValue::clamp(int64_t number) const {
    if (clamped) {
        // The minimum wins when the bounds cross, as the bound tests run in that order.
        if (number <= minimum) {
            return minimum;
        }
        if (number > maximum) {
            return maximum;
        }
        return static_cast<int32_t>(number);
    }
    return static_cast<int32_t>(std::clamp<int64_t>(number, INT32_MIN, INT32_MAX));
}

int32_t DisplayValue::applyDelta(int32_t number, int32_t delta) const {
    return clamp(int64_t{number} + delta);
}

void DisplayValue::add(int32_t delta) {
    value = applyDelta(value, delta);
    pending.push_back(delta);
}

void DisplayValue::arrive(int32_t delta) {
    shown = applyDelta(shown, delta);
    const auto found = std::find(pending.begin(), pending.end(), delta);
    if (found != pending.end()) {
        pending.erase(found);
    }
}

void DisplayValue::addImmediate(int32_t delta) {
    add(delta);
    arrive(delta);
}

void DisplayValue::set(int32_t number) {
    value = clamp(number);
    shown = value;
    pending.clear();
}
